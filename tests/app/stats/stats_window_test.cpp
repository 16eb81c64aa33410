#include <QApplication>
#include <QClipboard>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include <string_view>

#include "app/stats/figures_panel.h"
#include "app/stats/reference_box.h"
#include "app/stats/stats_tab.h"
#include "app/stats/stats_window.h"
#include "circle_recording.h"
#include "display_fixture.h"

namespace {

// Hears what the window tells its tabs.
class CountingTab : public StatsTab {
 public:
  void Refresh(const StatsContext& now) override { ++Refreshes, LastSamples = now.Figures.Samples; }
  void Restart() override { ++Restarts; }
  void LineReceived(std::string_view) override { ++Lines; }
  int Refreshes = 0, Restarts = 0, Lines = 0;
  uint64_t LastSamples = 0;
};

class StatsWindowReplay : public DisplayFixture {
 protected:
  void SetUp() override {
    DisplayFixture::SetUp();
    NMEAParser = CNMEAParser();
    ShowForm();
  }

  void PlayToEnd(const QString& path) {
    Open(path);
    Form->ParserButtonClick();
    for (int guard = 0; Form->ParserTimer->isActive() && guard < 100000; ++guard) Form->ParserTimerTimer();
    ASSERT_EQ(Form->ParserButton->text(), "Finish");
  }

  // The tool's one JSON line for `path`; its per-sample rows go to `epochs`.
  static QJsonObject ToolFigures(const QString& path, const QStringList& options, const QString& epochs) {
    QProcess tool;
    tool.start(QStringLiteral(QV_STATS_TOOL), options + QStringList{QStringLiteral("--epochs"), epochs, path});
    EXPECT_TRUE(tool.waitForFinished(60000));
    return QJsonDocument::fromJson(tool.readAllStandardOutput()).object();
  }

  static QByteArray Contents(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
  }
};

TEST_F(StatsWindowReplay, CopiedFiguresEqualTheToolsOnTheSameRecording) {
  const QString circles = WriteFile(
      "circles.nmea", CircleRecording({51.4779, -0.0015, 46.0}, {{0.5, 40}, {2.0, 37}, {7.5, 23}}, 1.5));
  const struct {
    QString path;
    const char* lat;  // the fixed reference; none: the mean
    const char* lon;
    const char* alt;
  } cases[] = {
      {circles, nullptr, nullptr, nullptr},
      {circles, "51.4779", "-0.0015", ""},
      {circles, "51.478", "-0.0016", "40"},
      {QStringLiteral(QV_TEST_DATA_DIR "/replay_3d_fix.txt"), nullptr, nullptr, nullptr},
  };
  Form->ShowStatistics();
  StatsWindow& window = *Form->Statistics;
  // As with a day of samples: the panel's figures come from another thread.
  window.SetBackgroundFiguresFrom(1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.toStdString() + " " + (c.lat ? c.lat : "mean"));
    QStringList options;
    if (c.lat) {
      window.Reference->FixedButton->setChecked(true);
      window.Reference->LatEdit->setText(QString::fromLatin1(c.lat));
      window.Reference->LonEdit->setText(QString::fromLatin1(c.lon));
      window.Reference->AltEdit->setText(QString::fromLatin1(c.alt));
      const QString alt = *c.alt ? QStringLiteral(",") + c.alt : QString();
      options << QStringLiteral("--ref") << QStringLiteral("%1,%2%3").arg(c.lat, c.lon, alt);
    } else {
      window.Reference->MeanButton->setChecked(true);
    }
    PlayToEnd(c.path);
    window.RefreshNow();
    ASSERT_TRUE(window.ComputingFigures());
    // A computation the window's own timer started may still be for fewer samples.
    const auto current = [&window] { return window.Session().LatestVersion() == window.Session().CurrentVersion(); };
    for (int wait = 0; (window.ComputingFigures() || !current()) && wait < 1000; ++wait) {
      if (!window.ComputingFigures()) window.RefreshNow();
      QTest::qWait(10);
    }
    ASSERT_TRUE(current());
    // The shortcut wherever the focus is, a reference field included.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    window.Reference->AltEdit->setFocus();
    QApplication::clipboard()->clear();
    QTest::keyClick(window.Reference->AltEdit, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int row = 0; row < window.Figures->rowCount() && row < lines.size(); ++row) {
      EXPECT_EQ(window.Figures->item(row, 1)->toolTip(), lines[row].split(QLatin1Char('\t'))[1]) << row;
    }
    const QJsonObject tool = ToolFigures(c.path, options, Dir.filePath(QStringLiteral("tool.csv")));
    ChosenFile = Dir.filePath(QStringLiteral("window.csv"));
    window.SaveCsvButton->click();
    EXPECT_EQ(Contents(ChosenFile), Contents(Dir.filePath(QStringLiteral("tool.csv"))));
    ASSERT_EQ(lines.size(), tool.size() - 1);  // all but "File"
    ASSERT_GT(tool["Samples"].toDouble(), 0.0);
    for (const QString& line : lines) {
      const QStringList cells = line.split(QLatin1Char('\t'));
      ASSERT_EQ(cells.size(), 3) << line.toStdString();
      const QJsonValue expected = tool[cells[0]];
      ASSERT_FALSE(expected.isUndefined()) << cells[0].toStdString();
      if (expected.isNull()) {
        EXPECT_TRUE(cells[1].isEmpty()) << line.toStdString();
      } else {
        EXPECT_EQ(cells[1].toDouble(), expected.toDouble()) << line.toStdString();
      }
    }
    if (!c.lat) {
      window.Reference->UseMeanButton->click();
      EXPECT_EQ(window.Reference->LatEdit->text().toDouble(), tool["MeanLat"].toDouble());
      EXPECT_EQ(window.Session().Reference()->Lon, tool["MeanLon"].toDouble());
    }
  }
  window.Reference->MeanButton->setChecked(true);
}

TEST_F(StatsWindowReplay, SamplesAndTabsRestartWhenAReplayStartsAndAtClear) {
  const QString path = QStringLiteral(QV_TEST_DATA_DIR "/replay_3d_fix.txt");
  Form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
  QTest::keyClick(Form.get(), Qt::Key_T, Qt::ControlModifier);
  ASSERT_TRUE(Form->Statistics && Form->Statistics->isVisible());
  StatsWindow& window = *Form->Statistics;
  auto* tab = new CountingTab;
  window.AddTab(tab, QStringLiteral("Counting"));
  PlayToEnd(path);
  const size_t samples = window.Session().Samples().Samples().Size();
  ASSERT_GT(samples, 0u);
  EXPECT_EQ(tab->Lines, static_cast<int>(Form->ListBox2Lines->count()));
  EXPECT_EQ(tab->Restarts, 1);

  // Hidden, the window goes on gathering; a new replay starts the samples again.
  window.close();
  PlayToEnd(path);
  EXPECT_EQ(window.Session().Samples().Samples().Size(), samples);
  EXPECT_EQ(tab->Restarts, 2);
  EXPECT_EQ(tab->Lines, 2 * static_cast<int>(Form->ListBox2Lines->count()));

  window.show();
  EXPECT_EQ(tab->LastSamples, samples);  // refreshed as it showed again
  ChosenFile = Dir.filePath(QStringLiteral("window.png"));
  window.SavePictureButton->click();
  EXPECT_EQ(QImage(ChosenFile).size(), window.size() * window.devicePixelRatio());
  window.ClearButton->click();
  EXPECT_EQ(window.Session().Samples().Samples().Size(), 0u);
  EXPECT_EQ(tab->Restarts, 3);
  EXPECT_EQ(tab->LastSamples, 0u);
}

TEST_F(StatsWindowReplay, AHalfTypedReferenceLeavesTheMeanInUse) {
  Form->ShowStatistics();
  ReferenceBox& box = *Form->Statistics->Reference;
  box.FixedButton->setChecked(true);
  box.LatEdit->setText(QStringLiteral("51.4779"));
  box.LonEdit->setText(QStringLiteral("-"));
  EXPECT_FALSE(box.Reference());
  EXPECT_FALSE(Form->Statistics->Session().Reference());
  box.LonEdit->setText(QStringLiteral("-0.0015"));
  ASSERT_TRUE(Form->Statistics->Session().Reference());
  EXPECT_EQ(Form->Statistics->Session().Reference()->Lon, -0.0015);

  // The fixed point comes back in the next window.
  Form.reset();
  ShowForm().ShowStatistics();
  ASSERT_TRUE(Form->Statistics->Reference->Reference());
  EXPECT_EQ(Form->Statistics->Reference->LatEdit->text(), "51.4779");
  Form->Statistics->Reference->MeanButton->setChecked(true);
}

}  // namespace
