#include "app/web_address.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

#include "base/product.h"

namespace kurvana {
namespace {

// Byte i of the host is stored XOR (0x5A + 7 i) mod 256.
constexpr std::array<std::uint8_t, 28> kScrambledHost = {
    0x32, 0x15, 0x1C, 0x1F, 0x05, 0x47, 0xAB, 0xA4, 0xE5, 0xEE, 0xD7, 0x89, 0xDA, 0xD4,
    0xD0, 0xB5, 0xA5, 0xA3, 0xBD, 0xB1, 0xC8, 0x88, 0x8C, 0x9A, 0x6F, 0x79, 0x7C, 0x72};

}  // namespace

std::string webHost() {
  std::string host;
  for (std::size_t i = 0; i < kScrambledHost.size(); ++i) {
    host += static_cast<char>(kScrambledHost[i] ^ static_cast<std::uint8_t>(0x5A + 7 * i));
  }
  return host;
}

std::string productPageAddress() {
  std::string name = kProductName;
  std::transform(name.begin(), name.end(), name.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return webHost() + "/" + name + ".htm";
}

}  // namespace kurvana
