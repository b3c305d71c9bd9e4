// UTF-8 at the CSV side, Windows-1252 at the certificate side.
#pragma once

#include <string>
#include <string_view>

namespace certcsv {

// "U+2603" for a code point.
std::string CodePointName(char32_t cp);

}  // namespace certcsv
