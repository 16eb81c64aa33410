#include <gtest/gtest.h>

#include "application.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // The window tests never need a screen; test discovery runs without one too.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QuorvaneApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
