#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/window/application.h"
#include "app/settings/settings.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The window tests never need a screen; test discovery runs without one too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QuorvaneApplication app(argc, argv);
  // Remembered settings go to a scratch file, never the user's own.
  QTemporaryDir settings;
  SetSettingsFile(settings.filePath(QStringLiteral("settings.ini")));
  return RUN_ALL_TESTS();
}
