#pragma once

#include <QAbstractListModel>
#include <string>
#include <string_view>

#include "app/replay/line_store.h"

// The items of a list box as a model for QListView: lines kept as raw bytes in
// a LineStore. Appends are announced to views in batches (see flush()), so
// adding one line costs the same at the millionth line as at the first; use
// the view with uniform item sizes so it never measures every row.
class LineListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit LineListModel(QObject* parent = nullptr);

  // The list box's own view of its items: every appended line counts at once,
  // whether or not views have been told yet.
  size_t count() const { return lines_.size(); }
  std::string_view lineBytes(size_t i) const { return lines_.line(i); }
  const LineStore& lines() const { return lines_; }

  void appendLine(const char* bytes, size_t length);
  void appendLine(std::string_view line) { appendLine(line.data(), line.size()); }
  void clear();

  // Tells views about lines appended since the last call. Runs by itself once
  // control returns to the event loop; call it directly before scrolling to a
  // new line. rowCount() covers only announced lines.
  void flush();

  // Replaces the items with the file's lines; on failure (EFileError) the
  // items are unchanged.
  void loadFromFile(const std::string& path);
  // Replaces the items with `lines`, taken without a copy; `lines` gets the old items.
  void adopt(LineStore& lines);
  void saveToFile(const std::string& path) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

  // A row shows about 60 characters. Painting and measuring a row look at no
  // more of its line than this, so a line of ten million bytes costs a row no
  // more than a sentence does; the stored line stays whole.
  static constexpr size_t kShownBytes = 256;

  // The text a list box shows for a line: its bytes up to the first zero byte,
  // one character per byte, so no byte is lost to a decoding error, and at
  // most the first kShownBytes of them.
  static QString DisplayText(std::string_view line);

 private:
  LineStore lines_;
  int announced_ = 0;
  bool flushQueued_ = false;
};
