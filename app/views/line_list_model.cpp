#include "app/views/line_list_model.h"

#include <QMetaObject>
#include <QtGlobal>
#include <algorithm>
#include <climits>
#include <cstring>

namespace {
int ViewRows(size_t count) { return count > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(count); }
}  // namespace

LineListModel::LineListModel(QObject* parent) : QAbstractListModel(parent) {}

LineListModel::~LineListModel() { releaseRanges(0); }

void LineListModel::queueFlush() {
  if (!flushQueued_ && !announcementsHeld_) {
    flushQueued_ = true;
    QMetaObject::invokeMethod(this, &LineListModel::flush, Qt::QueuedConnection);
  }
}

void LineListModel::appendLine(const char* bytes, size_t length) {
  lines_.append(bytes, length);
  if (!ranges_.empty() && ranges_.back().store == &lines_ && ranges_.back().first + ranges_.back().count == lines_.size() - 1) {
    ++ranges_.back().count;
  } else {
    ranges_.push_back({&lines_, nullptr, lines_.size() - 1, 1, count_});
  }
  ++count_;
  queueFlush();
}

void LineListModel::appendShared(const LineListModel& source, size_t first, size_t count) {
  if (count == 0) return;
  // Only a list of its own lines lends, so a reference never points at another reference.
  if (source.lines_.size() != source.count_ || first + count > source.count_) {
    qFatal("LineListModel::appendShared: lines %zu..%zu are not the source's own", first, first + count);
  }
  if (!ranges_.empty() && ranges_.back().store == &source.lines_ && ranges_.back().first + ranges_.back().count == first) {
    ranges_.back().count += count;
  } else {
    ranges_.push_back({&source.lines_, &source, first, count, count_});
    ++source.lentRanges_;
  }
  count_ += count;
  queueFlush();
}

std::string_view LineListModel::lineBytes(size_t i) const {
  const auto after =
      std::upper_bound(ranges_.begin(), ranges_.end(), i, [](size_t index, const Range& r) { return index < r.start; });
  const Range& r = *std::prev(after);
  return r.store->line(r.first + (i - r.start));
}

void LineListModel::releaseRanges(size_t fromRange) {
  for (size_t k = fromRange; k < ranges_.size(); ++k) {
    if (ranges_[k].lender) --ranges_[k].lender->lentRanges_;
  }
  ranges_.resize(std::min(fromRange, ranges_.size()));
}

void LineListModel::checkNotLent() const {
  if (lentRanges_ != 0) qFatal("LineListModel: lines changed while another list shows them");
}

void LineListModel::flush() {
  flushQueued_ = false;
  // A view counts rows in int; lines beyond that stay readable through lineBytes().
  const int total = ViewRows(count_);
  if (total <= announced_) {
    return;
  }
  beginInsertRows(QModelIndex(), announced_, total - 1);
  announced_ = total;
  endInsertRows();
}

void LineListModel::truncate(size_t count) {
  if (count >= count_) return;
  beginResetModel();
  const auto keep =
      std::upper_bound(ranges_.begin(), ranges_.end(), count, [](size_t index, const Range& r) { return index < r.start; });
  size_t kept = static_cast<size_t>(keep - ranges_.begin());
  if (kept > 0 && ranges_[kept - 1].start == count) --kept;
  releaseRanges(kept);
  if (!ranges_.empty()) ranges_.back().count = count - ranges_.back().start;
  count_ = count;
  // Own lines past the kept ones would only take room: keep a store of exactly the kept ones.
  size_t ownKept = 0;
  for (const Range& r : ranges_) {
    if (r.store == &lines_) ownKept = r.first + r.count;
  }
  if (ownKept < lines_.size()) {
    checkNotLent();
    LineStore kept;
    for (size_t i = 0; i < ownKept; ++i) kept.append(lines_.line(i));
    lines_.swap(kept);
  }
  announced_ = std::min(announced_, ViewRows(count_));
  endResetModel();
}

void LineListModel::clear() {
  checkNotLent();
  beginResetModel();
  releaseRanges(0);
  DiscardLines(lines_);
  loadedFrom_.clear();
  count_ = 0;
  announced_ = 0;
  endResetModel();
}

void LineListModel::loadFromFile(const std::string& path) {
  checkNotLent();
  LineStore loaded;
  LoadLinesFromFile(path, loaded);
  adopt(loaded, path);
}

void LineListModel::adopt(LineStore& lines, const std::string& path) {
  checkNotLent();
  beginResetModel();
  releaseRanges(0);
  lines_.swap(lines);
  loadedFrom_ = path;
  count_ = lines_.size();
  if (count_ > 0) ranges_.push_back({&lines_, nullptr, 0, count_, 0});
  announced_ = ViewRows(count_);
  endResetModel();
}

void LineListModel::saveToFile(const std::string& path) const {
  if (lines_.size() == count_) {
    SaveLinesToFile(path, lines_);
    return;
  }
  LineStore all;
  for (size_t i = 0; i < count_; ++i) all.append(lineBytes(i));
  SaveLinesToFile(path, all);
}

int LineListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : announced_; }

QVariant LineListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= announced_) {
    return {};
  }
  return DisplayText(lineBytes(static_cast<size_t>(index.row())));
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
