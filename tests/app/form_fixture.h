#pragma once

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "fake_sysfs.h"
#include "app/window/main_form.h"
#include "app/window/main_unit.h"
#include "app/dialogs/message_box.h"
#include "app/settings/settings.h"

// Builds a window over a fake port tree and records message boxes instead of
// showing them. `OnMessage` may act while a box would be open.
class FormFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateModuleObjects();
    PortRegistry = std::make_unique<SysfsPortRegistry>(Sysfs.TtyRoot());
    IsConnected = IsLogging = IsReplaying = ReplayIndex = TTFFCount = TimerTicks = 0;
    // Every window starts in the default mode unless a test switches.
    SaveGnssModeSetting(false);
    SaveRecentSourcesSetting({});
    SetQuestionAnswer(false);
    SetMessageBoxSink([this](QMessageBox::Icon icon, const QString& text) {
      Boxes.emplace_back(icon, text);
      if (OnMessage) OnMessage(icon, text);
    });
  }

  void TearDown() override {
    Form.reset();
    SetMessageBoxSink({});
    NMEAParser.SetGnssMode(false);
  }

  TMainForm& MakeForm() {
    Form = std::make_unique<TMainForm>();
    return *Form;
  }

  TMainForm& ShowForm() {
    MakeForm().show();
    return *Form;
  }

  QStringList Texts(QMessageBox::Icon icon) const {
    QStringList texts;
    for (const auto& [i, text] : Boxes) {
      if (i == icon) texts << text;
    }
    return texts;
  }

  FakeSysfs Sysfs;
  std::unique_ptr<TMainForm> Form;
  std::vector<std::pair<QMessageBox::Icon, QString>> Boxes;
  std::function<void(QMessageBox::Icon, const QString&)> OnMessage;
};
