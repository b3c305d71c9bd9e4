#include "CsvText.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "Cp1252.h"

namespace certcsv {

namespace {

// Length of the sequence a lead byte begins, 0 for a byte that cannot lead.
int SequenceLength(unsigned char b) {
  if (b < 0x80) return 1;
  if (b >= 0xC2 && b <= 0xDF) return 2;
  if (b >= 0xE0 && b <= 0xEF) return 3;
  if (b >= 0xF0 && b <= 0xF4) return 4;
  return 0;
}

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

bool IsValidUtf8(std::string_view text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  std::size_t i = 0;
  while (i < n) {
    // Plain ASCII runs, eight bytes at a time.
    while (i + 8 <= n) {
      std::uint64_t x;
      std::memcpy(&x, p + i, 8);
      if (x & 0x8080808080808080ULL) break;
      i += 8;
    }
    if (i >= n) break;
    const unsigned char b = p[i];
    const int len = SequenceLength(b);
    if (len == 0 || i + static_cast<std::size_t>(len) > n) return false;
    for (int k = 1; k < len; ++k)
      if (!IsContinuation(p[i + static_cast<std::size_t>(k)])) return false;
    // The second byte's range rules out overlong forms, surrogates and code points past
    // U+10FFFF.
    const unsigned char c = len > 1 ? p[i + 1] : 0;
    if ((b == 0xE0 && c < 0xA0) || (b == 0xED && c > 0x9F) || (b == 0xF0 && c < 0x90) ||
        (b == 0xF4 && c > 0x8F))
      return false;
    i += static_cast<std::size_t>(len);
  }
  return true;
}

bool Utf8ToCp1252(std::string_view utf8, std::string& out, char32_t& bad) {
  out.clear();
  out.reserve(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    int len = SequenceLength(b);
    if (len == 0 || i + static_cast<std::size_t>(len) > n) len = 1;  // not UTF-8: one byte
    char32_t cp = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : len == 4 ? (b & 0x07) : b;
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (p[i + static_cast<std::size_t>(k)] & 0x3F);
    i += static_cast<std::size_t>(len);
    const int byte = len == 1 ? -1 : cert::UnicodeToCp1252(cp);
    if (byte < 0) {
      bad = cp;
      return false;
    }
    out += static_cast<char>(byte);
  }
  return true;
}

std::string CodePointName(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

}  // namespace certcsv
