// Windows-1252, the code page of certificate files, to and from Unicode.
#pragma once

#include <string>

namespace cert {

// Unicode code point of a byte; every byte has one, so text round-trips.
char32_t Cp1252ToUnicode(unsigned char byte);
// The byte of a code point, or -1 when the code page cannot hold it.
int UnicodeToCp1252(char32_t cp);
std::string Cp1252ToUtf8(const std::string& bytes);

}  // namespace cert
