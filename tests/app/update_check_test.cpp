// The update rule on the version document, the addresses and the one-in-thirty draw.
#include "app/update_check.h"

#include <gtest/gtest.h>

#include <string>

namespace kurvana {
namespace {

TEST(UpdateCheck, TheVersionDocumentRule) {
  struct Case {
    std::string document;
    bool offered;
  };
  const Case cases[] = {
      {"version1.0", false},
      {"version1.1", true},
      {"VERSION1.1", false},  // the letter case of "version" counts
      {"Version1.1", false},
      {"new version 2", true},  // positions 8..10 are "s", "i", "o"
      {"version2.", false},     // 9 bytes: too short whatever it says
      {"xversion2", false},     // 9 bytes
      {"xversion22", true},     // exactly 10 bytes
      {"1234567890", false},    // long enough but no "version"
      {"versio1.1n", false},
      {"abcversion", true},          // "version" at the very end
      {"abcdefg1.0version", false},  // "1.0" exactly at positions 8..10
      {"abcdef1.0xversion", true},   // "1.0" at 7..9
      {"abcdefgh1.0version", true},  // "1.0" at 9..11
      {"version1.00", false},        // only three bytes are compared
      {"version1.0\r\n", false},
      {"version 1.0", true},  // the rule reads " 1." here
      {"", false},
      {std::string("version\0001.1", 11), true},  // bytes, not C strings
  };
  for (const Case& c : cases) {
    EXPECT_EQ(offersUpdate(c.document), c.offered) << '"' << c.document << '"';
  }
}

TEST(UpdateCheck, AddressesAreOnReservedHosts) {
  const std::string document = versionDocumentAddress();
  EXPECT_EQ(document, "https://update.talvoren.example/kurvana/version.txt");
  const std::string download = downloadAddress();
  EXPECT_EQ(download, "https://files.talvoren.example/kvsetup.exe");
}

TEST(UpdateCheck, DueOnlyWhenTheDrawIsOne) {
  for (unsigned draw = 0; draw < 30; ++draw) {
    EXPECT_EQ(updateCheckDue(draw), draw == 1) << draw;
  }
  EXPECT_FALSE(updateCheckDue(31));
}

}  // namespace
}  // namespace kurvana
