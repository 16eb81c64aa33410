#include "app/views/line_list_model.h"

#include <QMetaObject>
#include <climits>
#include <cstring>

LineListModel::LineListModel(QObject* parent) : QAbstractListModel(parent) {}

void LineListModel::appendLine(const char* bytes, size_t length) {
  lines_.append(bytes, length);
  if (!flushQueued_) {
    flushQueued_ = true;
    QMetaObject::invokeMethod(this, &LineListModel::flush, Qt::QueuedConnection);
  }
}

void LineListModel::flush() {
  flushQueued_ = false;
  // A view counts rows in int; lines beyond that stay readable through lineBytes().
  const int total = lines_.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(lines_.size());
  if (total <= announced_) {
    return;
  }
  beginInsertRows(QModelIndex(), announced_, total - 1);
  announced_ = total;
  endInsertRows();
}

void LineListModel::clear() {
  beginResetModel();
  DiscardLines(lines_);
  announced_ = 0;
  endResetModel();
}

void LineListModel::loadFromFile(const std::string& path) {
  LineStore loaded;
  LoadLinesFromFile(path, loaded);
  adopt(loaded);
}

void LineListModel::adopt(LineStore& lines) {
  beginResetModel();
  lines_.swap(lines);
  announced_ = lines_.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(lines_.size());
  endResetModel();
}

void LineListModel::saveToFile(const std::string& path) const { SaveLinesToFile(path, lines_); }

int LineListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : announced_; }

QVariant LineListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= announced_) {
    return {};
  }
  return DisplayText(lines_.line(static_cast<size_t>(index.row())));
}

QString LineListModel::DisplayText(std::string_view line) {
  line = line.substr(0, kShownBytes);
  const void* zero = std::memchr(line.data(), 0, line.size());
  const size_t shown = zero ? static_cast<size_t>(static_cast<const char*>(zero) - line.data()) : line.size();
  // A row is one line of text: a line feed inside a live line (from a receiver
  // that ends sentences with LF alone), or any other control byte, would
  // otherwise wrap the row and hide the sentence.
  QString text;
  text.reserve(static_cast<qsizetype>(shown));
  for (size_t i = 0; i < shown; ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c >= 0x20 && c != 0x7F) text.append(QChar(c));
  }
  return text;
}
