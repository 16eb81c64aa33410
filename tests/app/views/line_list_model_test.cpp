#include "app/views/line_list_model.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QListView>
#include <QSignalSpy>
#include <cstring>
#include <string_view>

#include "app/window/fixed_row_delegate.h"
#include "temp_dir.h"

using namespace std::string_literals;

namespace {

QString Row(const LineListModel& model, int row) { return model.data(model.index(row), Qt::DisplayRole).toString(); }

TEST(LineListModel, AnnouncesManyAppendsAsOneInsertion) {
  LineListModel model;
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  for (int i = 0; i < 1000; ++i) {
    model.appendLine("$GPGSV," + std::to_string(i));
  }
  EXPECT_EQ(model.count(), 1000u);
  EXPECT_EQ(model.rowCount(), 0);
  QCoreApplication::processEvents();
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 0);
  EXPECT_EQ(inserted[0][2].toInt(), 999);
  EXPECT_EQ(model.rowCount(), 1000);
  EXPECT_EQ(Row(model, 999), "$GPGSV,999");
}

TEST(LineListModel, ShowsTextUpToFirstZeroButKeepsAllBytes) {
  LineListModel model;
  const std::string line = "$GPGGA\0tail"s;
  model.appendLine(line);
  model.appendLine("\xB0 deg");
  model.appendLine("");
  model.flush();
  EXPECT_EQ(Row(model, 0), "$GPGGA");
  EXPECT_EQ(model.lineBytes(0), line);
  EXPECT_EQ(Row(model, 1), QString::fromUtf8("\u00B0 deg"));
  EXPECT_EQ(Row(model, 2), "");
  EXPECT_FALSE(model.data(model.index(0), Qt::DecorationRole).isValid());
}

TEST(LineListModel, ShowsEachRowOnOneLineWithoutControlBytes) {
  LineListModel model;
  model.appendLine("\n$GPGSA,A,3*1E");
  model.appendLine("a\tb\x7f");
  model.flush();
  EXPECT_EQ(Row(model, 0), "$GPGSA,A,3*1E");
  EXPECT_EQ(Row(model, 1), "ab");
  EXPECT_EQ(model.lineBytes(0), "\n$GPGSA,A,3*1E");
}

// All but the first page of the line is unreadable, so a row made from more
// than its first bytes faults; its size hint is that of its first bytes alone.
TEST(LineListModel, RowOfATenMegabyteLineLooksAtItsFirstBytesOnly) {
  constexpr size_t kTen = 10u << 20;
  const auto page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  void* map = ::mmap(nullptr, kTen, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(map, MAP_FAILED);
  char* guarded = static_cast<char*>(map);
  ASSERT_EQ(::mprotect(guarded, page, PROT_READ | PROT_WRITE), 0);
  std::memset(guarded, 'x', page);
  std::memcpy(guarded, "$GPGGA,", 7);
  const QString shown = LineListModel::DisplayText(std::string_view(guarded, kTen));
  ::munmap(map, kTen);
  EXPECT_EQ(static_cast<size_t>(shown.size()), LineListModel::kShownBytes);
  EXPECT_TRUE(shown.startsWith("$GPGGA,xxx"));

  LineListModel model;
  model.appendLine(std::string(kTen, 'y'));
  model.appendLine(std::string(LineListModel::kShownBytes, 'y'));
  model.flush();
  EXPECT_EQ(model.lineBytes(0).size(), kTen);
  QListView view;
  view.setItemDelegate(new FixedRowDelegate(13, &view));
  view.setModel(&model);
  view.resize(345, 209);
  EXPECT_EQ(view.sizeHintForIndex(model.index(0)), view.sizeHintForIndex(model.index(1)));
  EXPECT_EQ(view.sizeHintForIndex(model.index(0)).height(), 13);
}

TEST(LineListModel, ClearWithPendingAppendsAnnouncesOnlyNewLines) {
  LineListModel model;
  model.appendLine("old 1");
  model.appendLine("old 2");
  model.clear();
  model.appendLine("new");
  QCoreApplication::processEvents();
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.count(), 1u);
  EXPECT_EQ(Row(model, 0), "new");
}

TEST(LineListModel, LoadReplacesLinesAndFailedLoadKeepsThem) {
  TempDir dir;
  LineListModel model;
  model.appendLine("before");
  model.loadFromFile(dir.write("rec.txt", "a\r\nb\rc\n"));
  ASSERT_EQ(model.rowCount(), 3);
  EXPECT_EQ(Row(model, 2), "c");

  const std::string unreadable = dir.file("");
  try {
    model.loadFromFile(unreadable);
    FAIL() << "no exception";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file " + unreadable);
  }
  EXPECT_EQ(model.rowCount(), 3);
}

TEST(LineListModel, SaveWritesEveryLineWithCrLf) {
  TempDir dir;
  LineListModel model;
  model.appendLine("\n$GPGGA*00");
  model.appendLine("$GPRMC*00");
  const std::string path = dir.file("nmea.txt");
  model.saveToFile(path);
  EXPECT_EQ(ReadAll(path), "\n$GPGGA*00\r\n$GPRMC*00\r\n");
}

TEST(LineListModel, ViewScrollsToLastOfManyLines) {
  LineListModel model;
  QListView view;
  view.setUniformItemSizes(true);
  view.resize(345, 209);
  view.setModel(&model);
  view.show();
  const int total = 200000;
  for (int i = 0; i < total; ++i) {
    model.appendLine("$GPGGA," + std::to_string(i));
  }
  model.flush();
  view.scrollTo(model.index(total - 1), QAbstractItemView::PositionAtTop);
  QCoreApplication::processEvents();
  EXPECT_TRUE(view.viewport()->rect().contains(view.visualRect(model.index(total - 1))));
  EXPECT_FALSE(view.viewport()->rect().intersects(view.visualRect(model.index(0))));
}

// A list that shows ranges of another's lines alongside its own: every item
// reads back right through appends, a cut inside either kind of range, and a
// save; the lender cannot change under a lent range.
TEST(LineListModel, SharedRangesReadAsTheLendersLines) {
  TempDir dir;
  const std::string file = dir.write("f.txt", "F0\nF1\nF2\nF3\nF4\nF5\nF6\nF7\nF8\nF9\n");
  LineListModel lender;
  lender.loadFromFile(file);
  LineListModel list;
  list.appendLine("own0");
  list.appendShared(lender, 0, 3);
  list.appendShared(lender, 3, 2);  // continues the range before
  list.appendLine("own1");
  list.appendShared(lender, 7, 3);
  const auto items = [&list] {
    std::string all;
    for (size_t i = 0; i < list.count(); ++i) all += std::string(list.lineBytes(i)) + " ";
    return all;
  };
  EXPECT_EQ(items(), "own0 F0 F1 F2 F3 F4 own1 F7 F8 F9 ");
  list.truncate(8);
  EXPECT_EQ(items(), "own0 F0 F1 F2 F3 F4 own1 F7 ");
  list.truncate(3);
  EXPECT_EQ(items(), "own0 F0 F1 ");
  list.appendLine("own2");
  list.appendShared(lender, 5, 1);
  EXPECT_EQ(items(), "own0 F0 F1 own2 F5 ");
  list.saveToFile(dir.file("saved.txt"));
  EXPECT_EQ(ReadAll(dir.file("saved.txt")), "own0\r\nF0\r\nF1\r\nown2\r\nF5\r\n");
  EXPECT_DEATH(lender.clear(), "another list shows them");
  list.clear();
  lender.clear();
  EXPECT_EQ(lender.count(), 0u);
}

}  // namespace
