#include "CsvText.h"

#include <cstdio>

namespace certcsv {

std::string CodePointName(char32_t cp) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(cp));
  return buf;
}

}  // namespace certcsv
