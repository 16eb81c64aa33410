#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include <stdexcept>

#include "form_fixture.h"

namespace {

// Throws from its event handler the way a click handler would.
class ThrowingObject : public QObject {
 public:
  enum Kind { Std, NotStd };
  explicit ThrowingObject(Kind kind) : ThrowKind(kind) {}

  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    if (ThrowKind == Std) throw std::runtime_error("Error opening serial port");
    throw 42;
  }

 private:
  Kind ThrowKind;
};

class CountingObject : public QObject {
 public:
  bool event(QEvent* e) override {
    if (e->type() != QEvent::User) return QObject::event(e);
    ++Handled;
    return true;
  }
  int Handled = 0;
};

TEST(ExceptionReport, AppendsFullStopAfterCharactersThatSortAfterIt) {
  struct Case {
    const char* message;
    const char* shown;
  };
  const Case cases[] = {
      {"Error opening serial port", "Error opening serial port."},
      {"'48x0' is not a valid integer value", "'48x0' is not a valid integer value."},
      {"Cannot open file /tmp/a.txt", "Cannot open file /tmp/a.txt."},
      {"Already ended.", "Already ended."},
      {"Code 7", "Code 7."},
      {"path/", "path/."},
      {"Really!", "Really!"},
      {"(see above)", "(see above)"},
      {"Error opening serial port\n/dev/ttyS0: in use by gpsd (pid 7)", "Error opening serial port.\n/dev/ttyS0: in use by gpsd (pid 7)"},
      {"a-", "a-"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ExceptionReportText(c.message), c.shown) << c.message;
}

using EventLoopReport = FormFixture;

TEST_F(EventLoopReport, ExceptionInHandlerIsReportedAndTheLoopGoesOn) {
  ThrowingObject thrower(ThrowingObject::Std);
  CountingObject counter;
  QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.Handled, 2);
  EXPECT_EQ(Texts(QMessageBox::Critical), (QStringList{"Error opening serial port.", "Error opening serial port."}));
}

TEST_F(EventLoopReport, ForeignExceptionIsReportedWithAnEmptyMessage) {
  ThrowingObject thrower(ThrowingObject::NotStd);
  CountingObject counter;
  QCoreApplication::postEvent(&thrower, new QEvent(QEvent::User));
  QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(counter.Handled, 1);
  EXPECT_EQ(Texts(QMessageBox::Critical), QStringList{QString()});
}

TEST_F(EventLoopReport, TickThatRaisesIsReportedAndTicksAgain) {
  TMainForm& form = ShowForm();
  Sysfs.AddPort("ttyUSB0");
  OnMessage = [](QMessageBox::Icon icon, const QString&) {
    if (icon == QMessageBox::NoIcon) throw std::runtime_error("port list unreadable");
  };
  QMetaObject::invokeMethod(&form, &TMainForm::NMEATimerTimer, Qt::QueuedConnection);
  QCoreApplication::processEvents();
  EXPECT_EQ(TimerTicks, 1);
  EXPECT_EQ(Texts(QMessageBox::Critical), QStringList{"port list unreadable."});
  EXPECT_TRUE(form.NMEATimer->isActive());

  // The port was not taken into the box, so the next tick announces it again.
  OnMessage = nullptr;
  QMetaObject::invokeMethod(&form, &TMainForm::NMEATimerTimer, Qt::QueuedConnection);
  QCoreApplication::processEvents();
  EXPECT_EQ(TimerTicks, 2);
  EXPECT_EQ(Texts(QMessageBox::NoIcon),
            (QStringList{"Com Port Plug In  ttyUSB0", "Com Port Plug In  ttyUSB0"}));
  EXPECT_EQ(form.ComComboBox1->currentText(), "ttyUSB0");
}

TEST_F(EventLoopReport, TimerTicksWhileTheWindowIsOpen) {
  ShowForm();
  EXPECT_TRUE(QTest::qWaitFor([] { return TimerTicks >= 1; }, 10000));
}

TEST_F(EventLoopReport, NoTickRunsAfterFormClose) {
  TMainForm& form = ShowForm();
  form.close();
  EXPECT_FALSE(form.NMEATimer->isActive());
  EXPECT_FALSE(form.ParserTimer->isActive());
  EXPECT_EQ(EarthBitmap, nullptr);
  EXPECT_EQ(PortRegistry, nullptr);
  EXPECT_EQ(PortNames, nullptr);

  QMetaObject::invokeMethod(&form, &TMainForm::NMEATimerTimer, Qt::QueuedConnection);
  QTest::qWait(1300);  // longer than one interval
  EXPECT_EQ(TimerTicks, 0);
  EXPECT_TRUE(Boxes.empty());
}

TEST_F(EventLoopReport, ClosingWhileAPortIsAnnouncedStopsTheTick) {
  TMainForm& form = ShowForm();
  Sysfs.AddPort("ttyUSB0");
  Sysfs.AddPort("ttyUSB1");
  OnMessage = [&form](QMessageBox::Icon, const QString&) { form.close(); };
  form.NMEATimerTimer();
  EXPECT_EQ(Texts(QMessageBox::NoIcon), QStringList{"Com Port Plug In  ttyUSB0"});
  EXPECT_FALSE(form.NMEATimer->isActive());
  EXPECT_EQ(form.ComComboBox1->count(), 0);
}

}  // namespace
