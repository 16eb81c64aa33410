#include <QComboBox>

#include "form_fixture.h"
#include "app/link/port_poll.h"

namespace {

// Drives the poll on a port box of its own, as the idle tick does.
class PortPoll : public FormFixture {
 protected:
  void SetUp() override {
    FormFixture::SetUp();
    Box.setEditable(true);
    Box.setEditText("ComComboBox1");
  }

  void Fill() { FillPortBox(Registry, Names, Box); }
  void Poll() { PollPortBox(Registry, Names, Box); }

  QStringList Items() const {
    QStringList items;
    for (int i = 0; i < Box.count(); ++i) items << Box.itemText(i);
    return items;
  }

  SysfsPortRegistry Registry{Sysfs.TtyRoot()};
  QStringList Names;
  QComboBox Box;
};

TEST_F(PortPoll, InitialFillSelectsTheFirstPort) {
  Sysfs.AddPort("ttyUSB0");
  Sysfs.AddPort("ttyACM0");
  Fill();
  EXPECT_EQ(Items(), (QStringList{"ttyACM0", "ttyUSB0"}));
  EXPECT_EQ(Box.currentIndex(), 0);
  EXPECT_EQ(Box.currentText(), "ttyACM0");
  EXPECT_EQ(Names.size(), 2);
}

TEST_F(PortPoll, OnePortAddedIsAnnouncedAndBecomesTheText) {
  Sysfs.AddPort("ttyS0", 4);
  Fill();
  Sysfs.AddPort("ttyUSB0");
  Poll();
  EXPECT_EQ(Texts(QMessageBox::NoIcon), QStringList{"Com Port Plug In  ttyUSB0"});
  EXPECT_EQ(Items(), (QStringList{"ttyS0", "ttyUSB0"}));
  EXPECT_EQ(Box.currentText(), "ttyUSB0");
  Poll();
  EXPECT_EQ(Boxes.size(), 1u);
}

TEST_F(PortPoll, TwoPortsAddedAreAnnouncedInOrderAndTheTextEndsOnTheSecond) {
  Sysfs.AddPort("ttyS0", 4);
  Fill();
  Sysfs.AddPort("ttyUSB1");
  Sysfs.AddPort("ttyACM0");
  QStringList textWhileShown;
  OnMessage = [&](QMessageBox::Icon, const QString&) { textWhileShown << Box.currentText(); };
  Poll();
  EXPECT_EQ(Texts(QMessageBox::NoIcon),
            (QStringList{"Com Port Plug In  ttyACM0", "Com Port Plug In  ttyUSB1"}));
  // Each port becomes the text once its message is closed.
  EXPECT_EQ(textWhileShown, (QStringList{"ttyS0", "ttyACM0"}));
  EXPECT_EQ(Items(), (QStringList{"ttyACM0", "ttyS0", "ttyUSB1"}));
  EXPECT_EQ(Box.currentText(), "ttyUSB1");
}

TEST_F(PortPoll, FirstPortPluggedIntoAnEmptyBox) {
  Fill();
  EXPECT_EQ(Box.currentText(), "ComComboBox1");
  Sysfs.AddPort("ttyUSB0");
  Poll();
  EXPECT_EQ(Texts(QMessageBox::NoIcon), QStringList{"Com Port Plug In  ttyUSB0"});
  EXPECT_EQ(Items(), QStringList{"ttyUSB0"});
  EXPECT_EQ(Box.currentText(), "ttyUSB0");
}

TEST_F(PortPoll, RemovedPortSelectsTheLastEntry) {
  for (const char* name : {"ttyS0", "ttyUSB0", "ttyUSB1"}) Sysfs.AddPort(name);
  Fill();
  ASSERT_EQ(Box.currentText(), "ttyS0");
  Sysfs.Remove("ttyUSB0");
  Poll();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Items(), (QStringList{"ttyS0", "ttyUSB1"}));
  EXPECT_EQ(Box.currentIndex(), 1);
  EXPECT_EQ(Box.currentText(), "ttyUSB1");
}

TEST_F(PortPoll, LastPortRemovedLeavesNoEntry) {
  Sysfs.AddPort("ttyUSB0");
  Fill();
  Sysfs.Remove("ttyUSB0");
  Poll();
  EXPECT_EQ(Box.count(), 0);
  EXPECT_EQ(Box.currentIndex(), -1);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(PortPoll, OneRemovedAndOneAddedChangesNothing) {
  Sysfs.AddPort("ttyS0", 4);
  Sysfs.AddPort("ttyUSB0");
  Fill();
  Box.setCurrentIndex(1);
  Sysfs.Remove("ttyUSB0");
  Sysfs.AddPort("ttyACM3");
  Poll();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Items(), (QStringList{"ttyS0", "ttyUSB0"}));
  EXPECT_EQ(Box.currentText(), "ttyUSB0");
}

TEST_F(PortPoll, TextTypedByHandIsNotRebuilt) {
  Sysfs.AddPort("ttyUSB0");
  Fill();
  Box.setEditText("ttyUSB7");
  Poll();
  Poll();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Items(), QStringList{"ttyUSB0"});
  EXPECT_EQ(Box.currentText(), "ttyUSB7");
}

TEST_F(PortPoll, NoTreeLeavesTheBoxAsItWas) {
  Sysfs.AddPort("ttyUSB0");
  Fill();
  SysfsPortRegistry missing(Sysfs.Base / "gone");
  PollPortBox(missing, Names, Box);
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Items(), QStringList{"ttyUSB0"});
  EXPECT_EQ(Box.currentText(), "ttyUSB0");

  QComboBox fresh;
  fresh.setEditable(true);
  fresh.setEditText("ComComboBox1");
  FillPortBox(missing, Names, fresh);
  EXPECT_EQ(fresh.count(), 0);
  EXPECT_EQ(fresh.currentText(), "ComComboBox1");
}

TEST_F(PortPoll, PlaceholderUartsAreNeverAnnounced) {
  Sysfs.AddPort("ttyUSB0");
  Fill();
  Sysfs.AddPort("ttyS1", 0);
  Sysfs.AddPort("ttyS2", 0);
  Poll();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(Items(), QStringList{"ttyUSB0"});
}

TEST_F(PortPoll, CaseOfTheNameDoesNotMakeANewPort) {
  Sysfs.AddPort("ttyUSB0");
  Box.addItem("TTYUSB0");
  Sysfs.AddPort("ttyUSB1");
  Poll();
  EXPECT_EQ(Texts(QMessageBox::NoIcon), QStringList{"Com Port Plug In  ttyUSB1"});
}

using IdleTick = FormFixture;

TEST_F(IdleTick, PollsOnlyWhileNeitherConnectedNorReplaying) {
  TMainForm& form = ShowForm();
  Sysfs.AddPort("ttyUSB0");
  IsConnected = 1;
  form.NMEATimerTimer();
  IsConnected = 0;
  IsReplaying = 1;
  form.NMEATimerTimer();
  EXPECT_TRUE(Boxes.empty());
  EXPECT_EQ(form.ComComboBox1->count(), 0);
  EXPECT_EQ(TimerTicks, 2);

  IsReplaying = 0;
  form.NMEATimerTimer();
  EXPECT_EQ(Texts(QMessageBox::NoIcon), QStringList{"Com Port Plug In  ttyUSB0"});
  EXPECT_EQ(form.ComComboBox1->currentText(), "ttyUSB0");
  EXPECT_EQ(TimerTicks, 3);
  EXPECT_TRUE(form.NMEATimer->isActive());
}

}  // namespace

TEST_F(PortPoll, RememberedSourcesFollowThePortsWhichThePollAloneCounts) {
  Sysfs.AddPort("ttyS0", 4);
  Fill();
  ShowRecentSources(Box, {"tcp://a:1", "gpsd://"});
  EXPECT_EQ(Items(), (QStringList{"ttyS0", "tcp://a:1", "gpsd://"}));
  EXPECT_EQ(Box.currentText(), "ttyS0");
  Poll();
  EXPECT_TRUE(Boxes.empty()) << "the same ports: nothing changes";
  Sysfs.AddPort("ttyUSB0");
  Poll();
  EXPECT_EQ(Texts(QMessageBox::NoIcon), QStringList{"Com Port Plug In  ttyUSB0"});
  EXPECT_EQ(Items(), (QStringList{"ttyS0", "ttyUSB0", "tcp://a:1", "gpsd://"}));
  EXPECT_EQ(Box.currentText(), "ttyUSB0");
  Box.setEditText("udp://:10110");
  ShowRecentSources(Box, {"udp://:10110", "tcp://a:1"});
  EXPECT_EQ(Items(), (QStringList{"ttyS0", "ttyUSB0", "udp://:10110", "tcp://a:1"}));
  EXPECT_EQ(Box.currentText(), "udp://:10110");
}
