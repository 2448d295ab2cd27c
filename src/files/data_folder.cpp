#include "files/data_folder.h"

#include <string>
#include <string_view>
#include <system_error>

#include "files/atomic_file.h"

namespace kurvana {
namespace {

// user-dirs.dirs holds a few lines.
constexpr std::size_t kMaxUserDirsBytes = 64u << 10;

}  // namespace

std::optional<std::filesystem::path> documentsFolder(const Environment& env) {
  const char* home = env("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  const std::filesystem::path homePath(home);
  const char* configHome = env("XDG_CONFIG_HOME");
  const std::filesystem::path config = configHome != nullptr && *configHome != '\0'
                                           ? std::filesystem::path(configHome)
                                           : homePath / ".config";
  // Unreadable (or not a file at all): the default, as when it is missing.
  const FileContents dirs = readFile(config / "user-dirs.dirs", kMaxUserDirsBytes);
  std::string_view rest = dirs.bytes ? std::string_view(*dirs.bytes) : std::string_view();
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string line(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
    if (!line.starts_with(kKey) || line.size() < kKey.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
    if (value.starts_with("$HOME")) value = std::string(home) + value.substr(5);
    if (!value.empty() && value.front() == '/') return std::filesystem::path(value);
  }
  return homePath / "Documents";
}

DataFolder dataFolder(const Environment& env) {
  const auto documents = documentsFolder(env);
  if (!documents) {
    return {
        std::nullopt,
        Status::fatal("Kurvana cannot find your documents folder: the HOME variable is not set.")};
  }
  const auto folder = *documents / "Talvoren" / kProductName;
  std::error_code code;
  std::filesystem::create_directories(folder, code);
  std::error_code isFolder;
  if (!std::filesystem::is_directory(folder, isFolder)) {
    const std::string reason = code ? code.message() : "a file of that name is in the way";
    return {std::nullopt, Status::fatal("Kurvana cannot create its data folder \"" +
                                        folder.string() + "\": " + reason + ".")};
  }
  return {folder, Status()};
}

}  // namespace kurvana
