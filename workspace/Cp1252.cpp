#include "Cp1252.h"

#include <algorithm>

#include "Utf8.h"

namespace cert {

namespace {
// Bytes 0x80 to 0x9F; the rest of the code page equals Latin-1.
// The five bytes the code page leaves undefined map to the C1 controls of the same value, so
// that every byte survives a round trip.
const char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

char32_t Cp1252ToUnicode(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHigh[byte - 0x80] : byte;
}

int UnicodeToCp1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
  for (int i = 0; i < 32; ++i)
    if (kHigh[i] == cp) return 0x80 + i;
  return -1;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) {
    AppendUtf8(out, Cp1252ToUnicode(b));
  }
  return out;
}

bool Utf8ToCp1252(std::string_view utf8, std::string& out, char32_t& bad) {
  // Most values are plain ASCII, which both encodings spell alike.
  const auto ascii = std::find_if(utf8.begin(), utf8.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  out.assign(utf8.begin(), ascii);
  if (ascii == utf8.end()) return true;
  out.reserve(utf8.size());
  for (std::size_t i = out.size(); i < utf8.size();) {
    char32_t cp;
    std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {  // not UTF-8: that byte alone, which no character stands for
      cp = static_cast<unsigned char>(utf8[i]);
      len = 1;
    }
    i += len;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
    const int byte = len == 1 ? -1 : UnicodeToCp1252(cp);
    if (byte < 0) {
      bad = cp;
      return false;
    }
    out += static_cast<char>(byte);
  }
  return true;
}

}  // namespace cert
