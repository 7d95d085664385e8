// Runs GoogleTest inside one QApplication shared by every test of the
// binary. The platform is chosen before Qt starts: test discovery runs the
// binary without the environment that ctest sets.
#include <QApplication>
#include <QtGlobal>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!qEnvironmentVariableIsSet("QT_FONT_DPI")) qputenv("QT_FONT_DPI", "96");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
