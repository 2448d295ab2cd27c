// Writes the program's pictures, painted by the same code as the window's:
//
//   write_icons OUTPUT_ROOT SIZE...   the icon for installation,
//                                     OUTPUT_ROOT/<n>x<n>/apps/kurvana.png per size
//   write_icons --stored FOLDER       the pictures kept in the program
//                                     (storedArt): FOLDER/<file> each and
//                                     FOLDER/kurvana_art.qrc listing them
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/chrome_art.h"

namespace {

int writeStored(const QString& folder) {
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "write_icons: cannot make %s\n", qPrintable(folder));
    return 1;
  }
  QString qrc = QStringLiteral(
      "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/kurvana/art\">\n");
  for (const kurvana::ui::StoredArt& art : kurvana::ui::storedArt()) {
    const QByteArray bytes = kurvana::ui::storedArtBytes(art);
    QFile file(folder + QLatin1Char('/') + art.file);
    if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
      std::fprintf(stderr, "write_icons: cannot write %s/%s\n", qPrintable(folder),
                   qPrintable(art.file));
      return 1;
    }
    qrc += QStringLiteral("  <file>") + art.file + QStringLiteral("</file>\n");
  }
  qrc += QStringLiteral("</qresource>\n</RCC>\n");
  const QString path = folder + QStringLiteral("/kurvana_art.qrc");
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(qrc.toUtf8()) < 0 ||
      !file.flush()) {
    std::fprintf(stderr, "write_icons: cannot write %s\n", qPrintable(path));
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: write_icons OUTPUT_ROOT SIZE...\n       write_icons --stored FOLDER\n");
    return 2;
  }
  // Painting is set up as in the window (fonts: the splash has text), but a
  // build needs no display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  if (std::strcmp(argv[1], "--stored") == 0) {
    if (argc != 3) {
      std::fprintf(stderr, "usage: write_icons --stored FOLDER\n");
      return 2;
    }
    return writeStored(QString::fromLocal8Bit(argv[2]));
  }
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
