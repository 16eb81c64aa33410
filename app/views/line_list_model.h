#pragma once

#include <QAbstractListModel>
#include <QPointer>
#include <string>
#include <string_view>
#include <vector>

#include "app/replay/line_store.h"

// The items of a list box as a model for QListView: lines kept as raw bytes in
// a LineStore. Appends are announced to views in batches (see flush()), so
// adding one line costs the same at the millionth line as at the first; use
// the view with uniform item sizes so it never measures every row.
//
// Besides its own lines a list may show ranges of another list's lines without
// copying them (the line list shows the played lines of the loaded file this
// way). The lending list must then keep those lines unchanged: clearing or
// reloading it while a range is lent is a programming error that stops the
// program, never a dangling read. The window keeps this by emptying the line
// list before the file list on every open.
class LineListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit LineListModel(QObject* parent = nullptr);

  // The list box's own view of its items: every appended line counts at once,
  // whether or not views have been told yet.
  size_t count() const { return count_; }
  std::string_view lineBytes(size_t i) const;
  // The list's own lines: all its items unless it shows ranges of another list.
  const LineStore& lines() const { return lines_; }

  void appendLine(const char* bytes, size_t length);
  void appendLine(std::string_view line) { appendLine(line.data(), line.size()); }
  // Appends lines [first, first + count) of `source`, which holds only lines
  // of its own, as a reference to them.
  void appendShared(const LineListModel& source, size_t first, size_t count);
  // Keeps the first `count` items.
  void truncate(size_t count);
  void clear();

  // While held, appends wait for an explicit flush(): a view lays out all its
  // rows again at every announcement, which a list of millions of lines
  // growing many times a second cannot afford.
  void holdAnnouncements(bool hold) { announcementsHeld_ = hold; }

  // Tells views about lines appended since the last call. Runs by itself once
  // control returns to the event loop; call it directly before scrolling to a
  // new line. rowCount() covers only announced lines.
  void flush();

  // Replaces the items with the file's lines; on failure (EFileError) the
  // items are unchanged.
  void loadFromFile(const std::string& path);
  // Replaces the items with `lines`, taken without a copy; `lines` gets the old items.
  void adopt(LineStore& lines, const std::string& path);
  void saveToFile(const std::string& path) const;
  // The file the items were loaded from; empty after clear().
  const std::string& loadedFrom() const { return loadedFrom_; }

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

  ~LineListModel() override;

 private:
  // A run of items: lines of `store`, from `first`; `lender` is the list the
  // store belongs to when it is not this one.
  struct Range {
    const LineStore* store;
    QPointer<const LineListModel> lender;
    size_t first;
    size_t count;
    size_t start;  // index of the run's first item
  };
  void queueFlush();
  void releaseRanges(size_t fromRange);
  void checkNotLent() const;

  LineStore lines_;
  std::string loadedFrom_;
  std::vector<Range> ranges_;
  size_t count_ = 0;
  // Ranges of this list's lines that other lists show.
  mutable size_t lentRanges_ = 0;
  int announced_ = 0;
  bool flushQueued_ = false;
  bool announcementsHeld_ = false;
};
