// UTF-8 at the CSV side, Windows-1252 at the certificate side.
#pragma once

#include <string>
#include <string_view>

namespace certcsv {

// Windows-1252 bytes of well-formed UTF-8 text; false, with the first code point the code
// page cannot hold in `bad`, when there is one.
bool Utf8ToCp1252(std::string_view utf8, std::string& out, char32_t& bad);

// "U+2603" for a code point.
std::string CodePointName(char32_t cp);

}  // namespace certcsv
