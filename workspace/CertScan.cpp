#include "CertScan.h"

#include <cstring>

// The pieces of the masks are put together little-endian, as x86 stores them.
#if defined(__SSE2__) || defined(_M_X64)
#include <immintrin.h>
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

#ifdef CERT_SCAN_SSE2
namespace {

// Sixteen bytes at a time: the masks of four loads make one 64-bit word, put together in
// registers (pieces stored apart and read back whole would stall). The last load ends at the
// layout's last column and overlaps the one before it, so nothing past the line is read.
void ScanSse2(const char* p, bool blanks, char* copyTo, std::uint64_t* text, std::uint64_t* blank) {
  constexpr std::size_t kWidth = 16, kFull = DetailLineLength / kWidth;
  constexpr unsigned kLate = kWidth - DetailLineLength % kWidth;
  const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
  const __m128i above = _mm_set1_epi8(static_cast<char>(32 ^ 0x80));
  const __m128i space = _mm_set1_epi8(' ');
  for (std::size_t w = 0; w * 4 <= kFull; ++w) {
    std::uint64_t tw = 0, bw = 0;
    for (std::size_t k = 0; k < 4 && w * 4 + k <= kFull; ++k) {
      const std::size_t c = w * 4 + k;
      const std::size_t at = c < kFull ? c * kWidth : DetailLineLength - kWidth;
      const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
      if (copyTo) _mm_storeu_si128(reinterpret_cast<__m128i*>(copyTo + at), x);
      std::uint64_t t = static_cast<std::uint32_t>(
          _mm_movemask_epi8(_mm_cmpgt_epi8(_mm_xor_si128(x, flip), above)));
      std::uint64_t b =
          blanks ? static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, space))) : 0;
      if (c == kFull) {
        t >>= kLate;
        b >>= kLate;
      }
      tw |= t << (16 * k);
      bw |= b << (16 * k);
    }
    text[w] = tw;
    blank[w] = bw;
  }
}

#if defined(__GNUC__) && defined(__x86_64__)
#define CERT_SCAN_AVX2 1
// As ScanSse2, 32 bytes a load (written out: a lambda would not get the target's instructions).
__attribute__((target("avx2"))) void ScanAvx2(const char* p, bool blanks, char* copyTo,
                                              std::uint64_t* text, std::uint64_t* blank) {
  constexpr std::size_t kWidth = 32, kFull = DetailLineLength / kWidth;
  constexpr unsigned kLate = kWidth - DetailLineLength % kWidth;
  const __m256i flip = _mm256_set1_epi8(static_cast<char>(0x80));
  const __m256i above = _mm256_set1_epi8(static_cast<char>(32 ^ 0x80));
  const __m256i space = _mm256_set1_epi8(' ');
  for (std::size_t w = 0; w * 2 <= kFull; ++w) {
    std::uint64_t tw = 0, bw = 0;
    for (std::size_t k = 0; k < 2 && w * 2 + k <= kFull; ++k) {
      const std::size_t c = w * 2 + k;
      const std::size_t at = c < kFull ? c * kWidth : DetailLineLength - kWidth;
      const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + at));
      if (copyTo) _mm256_storeu_si256(reinterpret_cast<__m256i*>(copyTo + at), x);
      std::uint64_t t = static_cast<std::uint32_t>(
          _mm256_movemask_epi8(_mm256_cmpgt_epi8(_mm256_xor_si256(x, flip), above)));
      std::uint64_t b =
          blanks ? static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(x, space)))
                 : 0;
      if (c == kFull) {
        t >>= kLate;
        b >>= kLate;
      }
      tw |= t << (32 * k);
      bw |= b << (32 * k);
    }
    text[w] = tw;
    blank[w] = bw;
  }
}
#endif

// The widest loads the processor has, chosen once.
using TScanFn = void (*)(const char*, bool, char*, std::uint64_t*, std::uint64_t*);
TScanFn WidestScan() {
#ifdef CERT_SCAN_AVX2
  // Chosen while globals are set up, perhaps before the processor was looked at for others.
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return &ScanAvx2;
#endif
  return &ScanSse2;
}
TScanFn TheScan = WidestScan();  // set once at start; tests may choose the narrower one

}  // namespace
#endif

int TLineScan::UseLoads(int bytes) {
#ifdef CERT_SCAN_SSE2
  TheScan = bytes == 16 ? &ScanSse2 : WidestScan();
  return TheScan == &ScanSse2 ? 16 : 32;
#else
  (void)bytes;
  return 1;
#endif
}

bool TLineScan::Scan(std::string_view line, bool blanks, char* copyTo) {
  if (line.size() < DetailLineLength) return false;
  const char* p = line.data();
#ifdef CERT_SCAN_SSE2
  TheScan(p, blanks, copyTo, FText, FBlank);
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
