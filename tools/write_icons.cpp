// Writes the program's icon as PNG files for installation, painted by the same
// code as the window's icon: OUTPUT_ROOT/<n>x<n>/apps/kurvana.png per size.
//
//   write_icons OUTPUT_ROOT SIZE...
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>

#include "ui/chrome_art.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: write_icons OUTPUT_ROOT SIZE...\n");
    return 2;
  }
  // Painting is set up as in the window (fonts, if the art ever has text),
  // but a build needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  const QString root = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    char* end = nullptr;
    const long size = std::strtol(argv[i], &end, 10);
    // applicationIcon() is drawn for 16..256 pixels.
    if (*end != '\0' || size < 16 || size > 256) {
      std::fprintf(stderr, "write_icons: bad size '%s'\n", argv[i]);
      return 2;
    }
    const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
    const QString file = folder + QStringLiteral("/kurvana.png");
    if (!QDir().mkpath(folder) ||
        !kurvana::ui::applicationIcon(static_cast<int>(size)).save(file, "PNG")) {
      std::fprintf(stderr, "write_icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
