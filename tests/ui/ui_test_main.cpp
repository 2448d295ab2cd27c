// The window tests share one QApplication on the offscreen platform, so they
// run without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <QtGlobal>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window's fields are checked with a decimal point, whatever the
  // developer's own locale writes.
  qunsetenv("LC_ALL");
  qputenv("LC_NUMERIC", "C");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
