#include "Utf8.h"

#include <cstdint>
#include <cstring>

namespace cert {

std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t& cp, bool allowSurrogates) {
  const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  const unsigned char b = at(0);
  if (b < 0x80) {
    cp = b;
    return 1;
  }
  std::size_t len;
  // The second byte's range rules out overlong forms, code points past U+10FFFF and, unless
  // allowed, surrogates.
  unsigned char lo = 0x80, hi = 0xBF;
  if (b >= 0xC2 && b <= 0xDF) {
    len = 2;
  } else if (b >= 0xE0 && b <= 0xEF) {
    len = 3;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED && !allowSurrogates) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    len = 4;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return 0;
  }
  if (i + len > s.size() || at(1) < lo || at(1) > hi) return 0;
  char32_t value = b & (0xFF >> (len + 1));
  for (std::size_t k = 1; k < len; ++k) {
    if ((at(k) & 0xC0) != 0x80) return 0;
    value = (value << 6) | (at(k) & 0x3F);
  }
  cp = value;
  return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsValidUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    // Plain ASCII runs, eight bytes at a time: most text is nothing else.
    while (i + 8 <= s.size()) {
      std::uint64_t x;
      std::memcpy(&x, s.data() + i, 8);
      if (x & 0x8080808080808080ULL) break;
      i += 8;
    }
    if (i >= s.size()) break;
    char32_t cp;
    const std::size_t len = DecodeUtf8(s, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

}  // namespace cert
