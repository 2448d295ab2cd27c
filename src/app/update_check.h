// The update check's rules: when to check, whether the version document offers
// a newer version, and the addresses involved. Both hosts are reserved
// ".example" hosts, so no real server is ever contacted.
#pragma once

#include <string>
#include <string_view>

namespace kurvana {

inline constexpr std::string_view kOwnVersion = "1.0";

// The text of the offer box, shown with OK and Cancel.
inline constexpr std::string_view kUpdateOffer =
    "A new program version is available!\r\nDo you want to download it now?";

// True when `draw`, a random integer from 0 to 29, selects this start for a
// check (it equals 1: about one start in thirty).
bool updateCheckDue(unsigned draw);

// True when the version document names another version than kOwnVersion: it
// is at least 10 bytes long, contains "version" (letter case as written)
// anywhere, and its bytes at positions 8 to 10 (counting from 1) differ from
// kOwnVersion. A document "version1.1" thus offers 1.1.
bool offersUpdate(std::string_view document);

// "https://update.talvoren.example/kurvana/version.txt", kept scrambled in the
// program like webHost().
std::string versionDocumentAddress();

// The installer on the maker's file server: webHost() with "files." in place
// of "www.", followed by "/kvsetup.exe".
std::string downloadAddress();

}  // namespace kurvana
