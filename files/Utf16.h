// Names between the file layer (UTF-8 bytes) and Windows (UTF-16). Windows allows a lone
// surrogate in a name; it travels as the three bytes UTF-8 would give it, as in WTF-8, so
// every name Windows gives comes back to Windows unchanged.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace cert {

// nullopt when the bytes are not UTF-8 (lone surrogates allowed).
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace cert
