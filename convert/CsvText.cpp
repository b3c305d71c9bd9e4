#include "CsvText.h"

#include <algorithm>
#include <cstdio>

#include "Cp1252.h"
#include "Utf8.h"

namespace certcsv {

bool Utf8ToCp1252(std::string_view utf8, std::string& out, char32_t& bad) {
  // Most values are plain ASCII, which both encodings spell alike.
  const auto ascii = std::find_if(utf8.begin(), utf8.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  out.assign(utf8.begin(), ascii);
  if (ascii == utf8.end()) return true;
  out.reserve(utf8.size());
  for (std::size_t i = out.size(); i < utf8.size();) {
    char32_t cp;
    std::size_t len = cert::DecodeUtf8(utf8, i, cp);
    if (len == 0) {  // not UTF-8: that byte alone, which no character stands for
      cp = static_cast<unsigned char>(utf8[i]);
      len = 1;
    }
    i += len;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
      continue;
    }
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
