// Case-insensitive comparison and search of Windows-1252 text.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace certrec {

// The lower-case byte of each Windows-1252 byte (letters only; other bytes map to themselves).
const std::array<unsigned char, 256>& FoldTable();
inline unsigned char Fold(char c) { return FoldTable()[static_cast<unsigned char>(c)]; }
std::string Folded(std::string_view s);
// <0, 0 or >0 as a orders before, with or after b, without regard to case.
int CompareFolded(std::string_view a, std::string_view b);
// Whether `folded` (already lower-case) occurs in `text`, without regard to case.
bool ContainsFolded(std::string_view text, std::string_view folded);

}  // namespace certrec
