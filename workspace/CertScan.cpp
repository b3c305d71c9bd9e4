#include "CertScan.h"

#include <array>
#include <cstring>
#ifdef _MSC_VER
#include <intrin.h>
#endif

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CERT_SCAN_SSE2 1
#endif

namespace cert {

namespace {

struct TSliceDef {
  unsigned char Word, Shift, Width;
  bool Spans;  // the field's bits run on into the next word
};

constexpr std::array<TSliceDef, FieldCount> kSlices = [] {
  std::array<TSliceDef, FieldCount> s{};
  for (int n = FirstDetailField; n < FieldCount; ++n) {
    const std::size_t first = FieldTable[n].FirstCol - 1;
    const std::size_t shift = first % 64;
    s[n] = TSliceDef{static_cast<unsigned char>(first / 64), static_cast<unsigned char>(shift),
                     static_cast<unsigned char>(FieldTable[n].Width),
                     shift + FieldTable[n].Width > 64};
  }
  return s;
}();

constexpr std::uint64_t Ones(unsigned width) {
  return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

#ifdef _MSC_VER
int HighestBit(std::uint64_t x) {
  unsigned long i;
  _BitScanReverse64(&i, x);
  return static_cast<int>(i);
}
int LowestBit(std::uint64_t x) {
  unsigned long i;
  _BitScanForward64(&i, x);
  return static_cast<int>(i);
}
#else
int HighestBit(std::uint64_t x) { return 63 - __builtin_clzll(x); }
int LowestBit(std::uint64_t x) { return __builtin_ctzll(x); }
#endif

}  // namespace

std::uint64_t TLineScan::Slice(const std::uint64_t* bits, int n) {
  const TSliceDef& d = kSlices[static_cast<std::size_t>(n)];
  std::uint64_t v = bits[d.Word] >> d.Shift;
  if (d.Spans) v |= bits[d.Word + 1] << (64 - d.Shift);
  return v & Ones(d.Width);
}

bool TLineScan::Scan(std::string_view line) {
  if (line.size() < DetailLineLength) return false;
  const char* p = line.data();
#ifdef CERT_SCAN_SSE2
  // Sixteen bytes at a time; the last load ends at the layout's last column and overlaps the
  // one before it, so nothing past the line is read.
  std::uint16_t text[kWords * 4] = {}, blank[kWords * 4] = {};
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i above = _mm_set1_epi8(static_cast<char>(32 ^ 0x80));
  const __m128i space = _mm_set1_epi8(' ');
  auto load = [&](std::size_t at, std::uint16_t& t, std::uint16_t& b) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    t = static_cast<std::uint16_t>(
        _mm_movemask_epi8(_mm_cmpgt_epi8(_mm_xor_si128(x, flip), above)));
    b = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, space)));
  };
  constexpr std::size_t kFull = DetailLineLength / 16;  // 20 loads of whole chunks
  for (std::size_t c = 0; c < kFull; ++c) load(c * 16, text[c], blank[c]);
  std::uint16_t t, b;
  load(DetailLineLength - 16, t, b);
  constexpr unsigned kLate = 16 - DetailLineLength % 16;  // bytes the last load repeats
  text[kFull] = static_cast<std::uint16_t>(t >> kLate);
  blank[kFull] = static_cast<std::uint16_t>(b >> kLate);
  for (int w = 0; w < kWords; ++w) {
    FText[w] = FBlank[w] = 0;
    for (int k = 0; k < 4; ++k) {
      FText[w] |= std::uint64_t{text[w * 4 + k]} << (16 * k);
      FBlank[w] |= std::uint64_t{blank[w * 4 + k]} << (16 * k);
    }
  }
#else
  for (int w = 0; w < kWords; ++w) FText[w] = FBlank[w] = 0;
  for (std::size_t i = 0; i < DetailLineLength; ++i) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    FText[i / 64] |= std::uint64_t{c > 32} << (i % 64);
    FBlank[i / 64] |= std::uint64_t{c == 32} << (i % 64);
  }
#endif
  return true;
}

// A field is in list form when it is all blanks, or when its text starts at its justified end
// and everything between the text and the other end is blanks. The provider type's list form
// also has two characters or none (one is written with a leading zero).
bool TLineScan::IsListForm() const {
  for (int n = FirstDetailField; n < FieldCount; ++n) {
    const TFieldDef& def = FieldTable[n];
    const std::uint64_t all = Ones(static_cast<unsigned>(def.Width));
    const std::uint64_t t = Text(n), b = Blank(n);
    if (t == 0) {
      if (b != all) return false;
      continue;
    }
    if (def.Justify == jRight) {
      if (!(t >> (def.Width - 1))) return false;
      if ((Ones(static_cast<unsigned>(LowestBit(t))) & ~b) != 0) return false;
    } else {
      if (!(t & 1)) return false;
      if ((all & ~Ones(static_cast<unsigned>(HighestBit(t) + 1)) & ~b) != 0) return false;
    }
    if (n == fnDInsuredProvType && t != all) return false;
  }
  return true;
}

}  // namespace cert
