// The maker's web addresses. The host is kept scrambled in the program and
// built at run time; it is a reserved ".example" host, so no real server is
// ever contacted.
#pragma once

#include <string>

namespace kurvana {

// "https://www.talvoren.example", unscrambled.
std::string webHost();

// The product page: the web host, "/", the lower-cased product name and ".htm".
std::string productPageAddress();

}  // namespace kurvana
