#include "TextFold.h"

#include "PictureValidator.h"

namespace certrec {

const std::array<unsigned char, 256>& FoldTable() {
  static const std::array<unsigned char, 256> table = [] {
    std::array<unsigned char, 256> t{};
    for (int c = 0; c < 256; ++c)
      t[static_cast<std::size_t>(c)] = Cp1252Lower(static_cast<unsigned char>(c));
    return t;
  }();
  return table;
}

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(Fold(c));
  return out;
}

int CompareFolded(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char x = Fold(a[i]), y = Fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

bool ContainsFolded(std::string_view text, std::string_view folded) {
  if (folded.empty()) return true;
  if (folded.size() > text.size()) return false;
  const std::size_t last = text.size() - folded.size();
  for (std::size_t p = 0; p <= last; ++p) {
    if (Fold(text[p]) != static_cast<unsigned char>(folded[0])) continue;
    std::size_t k = 1;
    while (k < folded.size() && Fold(text[p + k]) == static_cast<unsigned char>(folded[k])) ++k;
    if (k == folded.size()) return true;
  }
  return false;
}

}  // namespace certrec
