#include "CertScan.h"

#include <cstring>

// The pieces of the masks are put together little-endian, as x86 stores them.
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define CERT_SCAN_SSE2 1
#endif

#if defined(__GNUC__)
#define CERT_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define CERT_ALWAYS_INLINE inline
#endif

namespace cert {

namespace {

constexpr std::uint64_t Ones(unsigned width) {
  return width >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << width) - 1;
}

}  // namespace

std::uint64_t TLineScan::FilledFields() const {
  std::uint64_t filled = 0;
#define CERT_FILLED_BIT(No, Name, Col, Width, Justify, Editor) \
  filled |= std::uint64_t{SliceOf<No>(FText) != 0} << No;
  CERT_DETAIL_FIELDS(CERT_FILLED_BIT)
#undef CERT_FILLED_BIT
  return filled;
}

bool TLineScan::Scan(std::string_view line, bool blanks, char* copyTo) {
  if (line.size() < DetailLineLength) return false;
  const char* p = line.data();
#ifdef CERT_SCAN_SSE2
  // Sixteen bytes at a time; the last load ends at the layout's last column and overlaps the
  // one before it, so nothing past the line is read. The masks of 16 bytes land in 16-bit
  // pieces of the 64-bit words.
  std::uint16_t text[kWords * 4] = {}, blank[kWords * 4] = {};
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i above = _mm_set1_epi8(static_cast<char>(32 ^ 0x80));
  const __m128i space = _mm_set1_epi8(' ');
  auto load = [&](std::size_t at, std::uint16_t& t, std::uint16_t& b) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
    if (copyTo) _mm_storeu_si128(reinterpret_cast<__m128i*>(copyTo + at), x);
    t = static_cast<std::uint16_t>(
        _mm_movemask_epi8(_mm_cmpgt_epi8(_mm_xor_si128(x, flip), above)));
    if (blanks) b = static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, space)));
  };
  constexpr std::size_t kFull = DetailLineLength / 16;  // 20 loads of whole chunks
  for (std::size_t c = 0; c < kFull; ++c) load(c * 16, text[c], blank[c]);
  std::uint16_t t = 0, b = 0;
  load(DetailLineLength - 16, t, b);
  constexpr unsigned kLate = 16 - DetailLineLength % 16;  // bytes the last load repeats
  text[kFull] = static_cast<std::uint16_t>(t >> kLate);
  blank[kFull] = static_cast<std::uint16_t>(b >> kLate);
  static_assert(sizeof text == sizeof FText);
  std::memcpy(FText, text, sizeof FText);
  std::memcpy(FBlank, blank, sizeof FBlank);
#else
  if (copyTo) std::memcpy(copyTo, p, DetailLineLength);
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
// With nb the bytes that are not blanks (text and control characters): a left-justified field
// is in list form when nb is empty, or when its first byte is text and nb's highest byte is
// the text's highest (then nb ^ t, which loses that byte, stays below t); a right-justified
// one mirrors it with the lowest bytes.
CERT_ALWAYS_INLINE bool TLineScan::InListForm(std::uint64_t t, std::uint64_t b, std::size_t width,
                                              bool right) {
  const std::uint64_t nb = ~b & Ones(static_cast<unsigned>(width));
  if (nb == 0) return true;
  if (right) return (t >> (width - 1)) != 0 && (nb & (0 - nb)) == (t & (0 - t));
  return (t & 1) != 0 && (nb ^ t) < t;
}

// Unrolled over the table, so that every field's position is a constant.
bool TLineScan::IsListForm() const {
  bool normal = true;
#define CERT_FIELD_IN_LIST_FORM(No, Name, Col, Width, Justify, Editor) \
  normal = normal && InListForm(SliceOf<No>(FText), SliceOf<No>(FBlank), Width, Justify == jRight);
  CERT_DETAIL_FIELDS(CERT_FIELD_IN_LIST_FORM)
#undef CERT_FIELD_IN_LIST_FORM
  const std::uint64_t prov = Text(fnDInsuredProvType);
  return normal && (prov == 0 || prov == Ones(2));
}

}  // namespace cert
