// The window tests share one QApplication on the offscreen platform, so they
// run without a display (or on the platform QT_QPA_PLATFORM names).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QtGlobal>
#include <filesystem>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  // The offscreen platform with a desktop's 1920 x 1080 screen (its own is
  // 800 x 800, narrower than the smallest window), and beside it one of
  // device pixel ratio 2 for the window to move to.
  const fs::path screens =
      fs::temp_directory_path() / ("kurvana_ui_screen_" + std::to_string(::getpid()) + ".json");
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == "offscreen") {
    std::ofstream(screens) << R"({"screens":[{"name":"desktop","x":0,"y":0,"width":1920,)"
                              R"("height":1080,"logicalDpi":96,"logicalBaseDpi":96,"dpr":1},)"
                              R"({"name":"sharp","x":1920,"y":0,"width":1920,"height":1080,)"
                              R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":2}]})";
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screens.string()).c_str());
  }
  // The window's fields are checked with a decimal point, whatever the
  // developer's own locale writes.
  qunsetenv("LC_ALL");
  qputenv("LC_NUMERIC", "C");
  // The window marks its instance in the runtime folder: a private one.
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
  fs::remove(screens, ignored);
  return status;
}
