#include "Utf16.h"

namespace cert {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

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

}  // namespace

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(utf8[i + k]); };
    const unsigned char b = at(0);
    std::size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte: shortest forms only
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      ++i;
      continue;
    } else if (b >= 0xC2 && b <= 0xDF) {
      len = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      if (b == 0xE0) lo = 0xA0;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      return std::nullopt;
    }
    if (i + len > utf8.size() || at(1) < lo || at(1) > hi) return std::nullopt;
    char32_t cp = b & (0xFF >> (len + 1));
    for (std::size_t k = 1; k < len; ++k) {
      if (!IsContinuation(at(k))) return std::nullopt;
      cp = (cp << 6) | (at(k) & 0x3F);
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += len;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) +
                          (static_cast<char32_t>(utf16[i + 1]) - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, u);  // a lone surrogate too, as its three bytes
    }
  }
  return out;
}

}  // namespace cert
