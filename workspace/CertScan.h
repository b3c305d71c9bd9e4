// One pass over the detail columns of a line that tells, for every detail field, which of its
// bytes are text (code above 32) and which are blanks: enough to know at once whether a field
// is empty and whether the line is already in its list form, without trimming field by field.
#pragma once

#include <cstdint>
#include <string_view>

#include "CertLayout.h"

#ifdef _MSC_VER
#include <intrin.h>
#endif

namespace cert {

class TLineScan {
 public:
  // False, and nothing scanned, for a line shorter than the detail layout (DetailLineLength).
  // Without blanks only Text, Filled, FilledFields and Trimmed are known. With copyTo, the
  // line's first DetailLineLength bytes are copied there on the way.
  bool Scan(std::string_view line, bool blanks = true, char* copyTo = nullptr);
  // Field n (9 to 34): bit i stands for the field's byte i.
  std::uint64_t Text(int n) const { return Slice(FText, n); }
  // Whether field n holds anything once trimmed.
  bool Filled(int n) const { return Text(n) != 0; }
  // Bit n set for each detail field n that is filled.
  std::uint64_t FilledFields() const;
  // Field n of the scanned line, trimmed.
  std::string_view Trimmed(std::string_view line, int n) const {
    const std::uint64_t t = Text(n);
    if (t == 0) return {};
    const int lo = LowestBit(t), hi = HighestBit(t);
    return line.substr(
        FieldTable[static_cast<std::size_t>(n)].FirstCol - 1 + static_cast<std::size_t>(lo),
        static_cast<std::size_t>(hi - lo + 1));
  }
  // Whether the line's first DetailLineLength bytes are what NormaliseDetailLine makes of it.
  bool IsListForm() const;
  // For tests: scan 16 bytes at a time, or (0) as wide as the processor can; returns the width
  // now in use. Not to be called while another thread scans.
  static int UseLoads(int bytes);

 private:
#ifdef _MSC_VER
  static int HighestBit(std::uint64_t x) {
    unsigned long i;
    _BitScanReverse64(&i, x);
    return static_cast<int>(i);
  }
  static int LowestBit(std::uint64_t x) {
    unsigned long i;
    _BitScanForward64(&i, x);
    return static_cast<int>(i);
  }
#else
  static int HighestBit(std::uint64_t x) { return 63 - __builtin_clzll(x); }
  static int LowestBit(std::uint64_t x) { return __builtin_ctzll(x); }
#endif
  static bool InListForm(std::uint64_t text, std::uint64_t blank, std::size_t width, bool right);
  static constexpr int kWords = (DetailLineLength + 63) / 64;
  static std::uint64_t Slice(const std::uint64_t* bits, int n) {
    const std::size_t first = FieldTable[static_cast<std::size_t>(n)].FirstCol - 1;
    return SliceAt(bits, first / 64, first % 64, FieldTable[static_cast<std::size_t>(n)].Width);
  }
  // Field n's bits where n is a constant, so that they are taken with constant shifts.
  template <int N>
  static std::uint64_t SliceOf(const std::uint64_t* bits) {
    constexpr std::size_t first = FieldTable[N].FirstCol - 1;
    return SliceAt(bits, first / 64, first % 64, FieldTable[N].Width);
  }
  static std::uint64_t SliceAt(const std::uint64_t* bits, std::size_t word, std::size_t shift,
                               std::size_t width) {
    std::uint64_t v = bits[word] >> shift;
    if (shift + width > 64) v |= bits[word + 1] << (64 - shift);
    return v & ((std::uint64_t{1} << width) - 1);
  }
  std::uint64_t FText[kWords];   // bytes above 32
  std::uint64_t FBlank[kWords];  // bytes equal to 32
};

}  // namespace cert
