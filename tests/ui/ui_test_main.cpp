// The window tests share one QApplication on the offscreen platform, so they
// run without a display.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QtGlobal>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window's fields are checked with a decimal point, whatever the
  // developer's own locale writes.
  qunsetenv("LC_ALL");
  qputenv("LC_NUMERIC", "C");
  // The window marks its instance in the runtime folder: a private one.
  namespace fs = std::filesystem;
  const fs::path runtime =
      fs::temp_directory_path() / ("kurvana_ui_runtime_" + std::to_string(::getpid()));
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all);
  qputenv("XDG_RUNTIME_DIR", runtime.string().c_str());
  ::testing::InitGoogleTest(&argc, argv);
  int status = 0;
  {
    QApplication application(argc, argv);
    status = RUN_ALL_TESTS();
  }
  std::error_code ignored;
  fs::remove_all(runtime, ignored);
  return status;
}
