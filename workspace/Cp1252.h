// Windows-1252, the code page of certificate files, to and from Unicode.
#pragma once

#include <string>
#include <string_view>

namespace cert {

// Unicode code point of a byte; every byte has one, so text round-trips.
char32_t Cp1252ToUnicode(unsigned char byte);
// The byte of a code point, or -1 when the code page cannot hold it.
int UnicodeToCp1252(char32_t cp);
std::string Cp1252ToUtf8(std::string_view bytes);
// The Windows-1252 bytes of UTF-8 text; false when a code point has no byte in the code page
// or a byte is not UTF-8, with that code point (or byte) in `bad`.
bool Utf8ToCp1252(std::string_view utf8, std::string& out, char32_t& bad);

}  // namespace cert
