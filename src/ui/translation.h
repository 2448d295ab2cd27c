// The window's own catalogue of the texts the language files do not carry
// (menus, tool tips, file dialogs, problem messages, the update offer),
// installed in the application for the language chosen in the settings,
// with Qt's catalogue for its standard buttons and dialogs where the system
// has one. English when none is installed.
#pragma once

#include <QTranslator>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/status.h"

namespace kurvana::ui {

// A .qm file is a few kilobytes; one this large is not ours.
inline constexpr std::size_t kMaxCatalogueBytes = 1 << 20;

class WindowTranslation {
 public:
  WindowTranslation() = default;
  WindowTranslation(const WindowTranslation&) = delete;
  WindowTranslation& operator=(const WindowTranslation&) = delete;
  ~WindowTranslation();

  // Installs the first of `files` (Controller::translationFiles) that
  // exists, or nothing for none: English. A file that exists but cannot be
  // read, or is no catalogue, is reported and the next one tried. The same
  // list as last time changes nothing and reads nothing.
  Status use(const std::vector<std::filesystem::path>& files);

  // The catalogue installed, or empty.
  const std::filesystem::path& installed() const { return installed_; }

 private:
  void remove();

  bool used_ = false;
  std::vector<std::filesystem::path> files_;  // as last used
  std::filesystem::path installed_;
  std::string bytes_;  // the catalogue; the translator reads it in place
  std::unique_ptr<QTranslator> own_;
  std::unique_ptr<QTranslator> qt_;
};

}  // namespace kurvana::ui
