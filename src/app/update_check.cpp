#include "app/update_check.h"

#include <array>
#include <cstdint>

#include "app/web_address.h"

namespace kurvana {
namespace {

// Scrambled like webHost(): byte i is stored XOR (0x5A + 7 i) mod 256.
constexpr std::array<std::uint8_t, 51> kScrambledVersionDocument = {
    0x32, 0x15, 0x1C, 0x1F, 0x05, 0x47, 0xAB, 0xA4, 0xE7, 0xE9, 0xC4, 0xC6, 0xDA,
    0xD0, 0x92, 0xB7, 0xAB, 0xBD, 0xAE, 0xB0, 0x94, 0x88, 0x9A, 0xD5, 0x67, 0x71,
    0x71, 0x7A, 0x6E, 0x49, 0x49, 0x1C, 0x51, 0x34, 0x3A, 0x39, 0x37, 0x33, 0x05,
    0x44, 0x04, 0x1C, 0xF2, 0xF4, 0xE7, 0xFA, 0xF2, 0x8D, 0xDE, 0xC9, 0xCC};

template <std::size_t N>
std::string unscramble(const std::array<std::uint8_t, N>& scrambled) {
  std::string text;
  for (std::size_t i = 0; i < N; ++i) {
    text += static_cast<char>(scrambled[i] ^ static_cast<std::uint8_t>(0x5A + 7 * i));
  }
  return text;
}

}  // namespace

bool updateCheckDue(unsigned draw) {
  return draw == 1;
}

bool offersUpdate(std::string_view document) {
  return document.size() >= 10 && document.find("version") != std::string_view::npos &&
         document.substr(7, 3) != kOwnVersion;
}

std::string versionDocumentAddress() {
  return unscramble(kScrambledVersionDocument);
}

std::string downloadAddress() {
  std::string host = webHost();
  const std::size_t name = host.find("://");
  const std::size_t start = name == std::string::npos ? 0 : name + 3;
  // A host without "www." still gets a file server of its own.
  if (host.compare(start, 4, "www.") == 0) {
    host.replace(start, 4, "files.");
  } else {
    host.insert(start, "files.");
  }
  return host + "/kvsetup.exe";
}

}  // namespace kurvana
