#include "ui/translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include "files/atomic_file.h"

namespace kurvana::ui {

WindowTranslation::~WindowTranslation() {
  remove();
}

void WindowTranslation::remove() {
  if (own_) QCoreApplication::removeTranslator(own_.get());
  if (qt_) QCoreApplication::removeTranslator(qt_.get());
  own_.reset();
  qt_.reset();
  bytes_.clear();
  installed_.clear();
}

Status WindowTranslation::use(const std::vector<std::filesystem::path>& files) {
  Status status;
  if (used_ && files == files_) return status;
  used_ = true;
  files_ = files;
  remove();
  for (const std::filesystem::path& file : files) {
    // Read as every other file is (no pipe or device opened, a cap), then
    // handed to Qt from memory.
    FileContents contents = readFile(file, kMaxCatalogueBytes);
    if (contents.missing) continue;
    if (!contents.bytes) {
      status.add(std::move(contents.status));
      continue;
    }
    // The translator reads the bytes where they are: they stay in bytes_.
    bytes_ = std::move(*contents.bytes);
    auto translator = std::make_unique<QTranslator>();
    if (bytes_.empty() || !translator->load(reinterpret_cast<const uchar*>(bytes_.data()),
                                            static_cast<int>(bytes_.size()))) {
      bytes_.clear();
      status.add("Cannot read \"" + file.string() + "\": it is not a translation file");
      continue;
    }
    own_ = std::move(translator);
    installed_ = file;
    // Qt's own for the buttons of message boxes and the file dialog:
    // qtbase_<code>, the code as the catalogue's name gives it.
    const QString name = QString::fromStdString(file.stem().string());
    const QString code = name.mid(name.indexOf('_') + 1);
    auto qt = std::make_unique<QTranslator>();
    if (qt->load("qtbase_" + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      qt_ = std::move(qt);
      QCoreApplication::installTranslator(qt_.get());
    }
    // Installed last, so it is asked first.
    QCoreApplication::installTranslator(own_.get());
    break;
  }
  return status;
}

}  // namespace kurvana::ui
