// One pass over the detail columns of a line that tells, for every detail field, which of its
// bytes are text (code above 32) and which are blanks: enough to know at once whether a field
// is empty and whether the line is already in its list form, without trimming field by field.
#pragma once

#include <cstdint>
#include <string_view>

#include "CertLayout.h"

namespace cert {

class TLineScan {
 public:
  // False, and nothing scanned, for a line shorter than the detail layout (DetailLineLength).
  bool Scan(std::string_view line);
  // Field n (9 to 34): bit i stands for the field's byte i.
  std::uint64_t Text(int n) const { return Slice(FText, n); }
  std::uint64_t Blank(int n) const { return Slice(FBlank, n); }
  // Whether field n holds anything once trimmed.
  bool Filled(int n) const { return Text(n) != 0; }
  // Whether the line's first DetailLineLength bytes are what NormaliseDetailLine makes of it.
  bool IsListForm() const;

 private:
  static constexpr int kWords = (DetailLineLength + 63) / 64;
  static std::uint64_t Slice(const std::uint64_t* bits, int n);
  std::uint64_t FText[kWords];   // bytes above 32
  std::uint64_t FBlank[kWords];  // bytes equal to 32
};

}  // namespace cert
