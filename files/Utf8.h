// UTF-8, the form names and text take between the project's parts: the one decoder and encoder
// that file names, Windows names, the CSV text and the code page conversion share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cert {

// The length of the well-formed sequence at s[i] (shortest form, at most U+10FFFF) with its
// code point in cp; 0 when the bytes there do not form one. Encoded surrogates (U+D800 to
// U+DFFF) are well formed only when allowSurrogates is set.
std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp,
                       bool allowSurrogates = false);
void AppendUtf8(std::string& out, char32_t cp);
// Every byte belongs to a well-formed sequence; no surrogates.
bool IsValidUtf8(std::string_view s);

}  // namespace cert
