#include <QAction>

#include "app/views/sky_view.h"
#include "app/window/command_line.h"
#include "form_fixture.h"
#include "app/settings/settings.h"

using GnssModeSwitch = FormFixture;

// The menu entry switches, clears the record as connecting does, and is
// remembered by the next window; the command line asks only with "--gnss".
TEST_F(GnssModeSwitch, MenuEntrySwitchesClearsAndIsRememberedCommandLineAsksWithGnss) {
  ShowForm();
  EXPECT_FALSE(Form->GnssModeAction->isChecked());
  EXPECT_EQ(Form->GnssModeAction->text(), QStringLiteral("Decode all GNSS talkers"));
  NMEAParser.GgaLat = 12.5;
  Form->GnssModeAction->trigger();
  EXPECT_TRUE(NMEAParser.GnssMode());
  EXPECT_EQ(NMEAParser.GgaLat, 0.0);
  EXPECT_TRUE(GnssModeSetting());

  ShowForm();
  EXPECT_TRUE(Form->GnssModeAction->isChecked());
  EXPECT_TRUE(NMEAParser.GnssMode());
  QImage earth = Form->Image1->Canvas();
  DrawSkyBackground(earth, *EarthBitmap);
  EXPECT_FALSE(Form->Image1->Canvas() == earth) << "the sky's corner says GNSS from the start";
  Form->GnssModeAction->trigger();
  EXPECT_FALSE(NMEAParser.GnssMode() || GnssModeSetting());
  EXPECT_TRUE(Form->Image1->Canvas() == earth) << "and no longer once the mode is off";

  ViewerOptions options;
  ParseViewerCommandLine({QStringLiteral("quorvane-viewer"), QStringLiteral("--gnss")}, options);
  EXPECT_TRUE(options.Gnss);
}

// The offer comes once, for a receiver with no GP fix sentences in its first ten seconds.
TEST(GnssOffer, AsksOnceForThreeOtherTalkerSentencesWithoutGpInTenSeconds) {
  GnssOfferWatch watch;
  watch.Start(0, 0);
  EXPECT_FALSE(watch.Due(0, 2, 1000));
  EXPECT_TRUE(watch.Due(0, 3, 2000));
  watch.Start(0, 0);
  EXPECT_FALSE(watch.Due(0, 9, 2000)) << "once per run";

  GnssOfferWatch gp, late;
  gp.Start(5, 0);
  EXPECT_FALSE(gp.Due(6, 3, 1000));
  late.Start(0, 0);
  EXPECT_FALSE(late.Due(0, 3, 10001));
  GnssOfferWatch reset;
  reset.Start(40, 40);
  EXPECT_TRUE(reset.Due(0, 3, 500)) << "counted from the record's reset";
}
