// Column layout of the certificate file: one header record, then detail records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace cert {

enum TJustify : unsigned char { jLeft, jRight, jNone };
enum TRecordKind : unsigned char { rkHeader, rkDetail };
enum TEditorKind : unsigned char { ekMaskEdit, ekComboBox, ekDateTimePicker };

// clang-format off
// The field table. Columns are 1-based; Justify is the padding rule used when a line is built
// (jLeft "%-Ns", jRight "%Ns", jNone the stored value as is).
//   No  Property                 Col  Width Justify Editor
#define CERT_HEADER_FIELDS(X)                                   \
  X(0, HInsurerName, 2, 45, jLeft, ekMaskEdit)                  \
  X(1, HInsurerAddr1, 47, 30, jLeft, ekMaskEdit)                \
  X(2, HInsurerAddr2, 77, 30, jLeft, ekMaskEdit)                \
  X(3, HInsurerCity, 107, 28, jLeft, ekMaskEdit)                \
  X(4, HInsurerState, 135, 2, jRight, ekComboBox)               \
  X(5, HInsurerZip, 137, 10, jLeft, ekMaskEdit)                 \
  X(6, HInsurerNAIC_Num, 147, 8, jLeft, ekMaskEdit)             \
  X(7, HInsurerFIN, 155, 9, jLeft, ekMaskEdit)                  \
  X(8, HInsurerType, 164, 1, jNone, ekComboBox)
#define CERT_DETAIL_FIELDS(X)                                   \
  X(9, DPolicyNum, 2, 22, jLeft, ekMaskEdit)                    \
  X(10, DPolicyFormNum, 24, 25, jLeft, ekMaskEdit)              \
  X(11, DPolicyFromDate, 49, 8, jLeft, ekDateTimePicker)        \
  X(12, DPolicyToDate, 57, 8, jLeft, ekDateTimePicker)          \
  X(13, DPolicyRevisedDate, 65, 8, jLeft, ekDateTimePicker)     \
  X(14, DPolicyTerminatedDate, 73, 8, jLeft, ekDateTimePicker)  \
  X(15, DPolicyRetroDate, 81, 8, jLeft, ekDateTimePicker)       \
  X(16, DPolicyCoverageType, 89, 1, jRight, ekComboBox)         \
  X(17, DPolicyOccurrenceLimit, 90, 9, jRight, ekMaskEdit)      \
  X(18, DPolicyAggregateLimit, 99, 9, jRight, ekMaskEdit)       \
  X(19, DInsuredLicenseNum, 108, 7, jLeft, ekMaskEdit)          \
  X(20, DInsuredCompanyName, 115, 45, jLeft, ekMaskEdit)        \
  X(21, DInsuredLastName, 160, 25, jLeft, ekMaskEdit)           \
  X(22, DInsuredFirstName, 185, 15, jLeft, ekMaskEdit)          \
  X(23, DInsuredMidName, 200, 15, jLeft, ekMaskEdit)            \
  X(24, DInsuredSuffix, 215, 3, jLeft, ekMaskEdit)              \
  X(25, DInsuredAttnLine, 218, 30, jLeft, ekMaskEdit)           \
  X(26, DInsuredAddress, 248, 30, jLeft, ekMaskEdit)            \
  X(27, DInsuredCity, 278, 28, jLeft, ekMaskEdit)               \
  X(28, DInsuredState, 306, 2, jLeft, ekComboBox)               \
  X(29, DInsuredZip, 308, 10, jLeft, ekMaskEdit)                \
  X(30, DInsuredFIN, 318, 9, jRight, ekMaskEdit)                \
  X(31, DInsuredISO, 327, 5, jRight, ekMaskEdit)                \
  X(32, DInsuredProvType, 332, 2, jRight, ekComboBox)           \
  X(33, DLimitedCovInd, 334, 1, jLeft, ekComboBox)              \
  X(34, DRecordProcessingType, 335, 1, jRight, ekComboBox)
// clang-format on

// Field numbers by name: fnHInsurerName = 0 ... fnDRecordProcessingType = 34.
#define CERT_FIELD_NUMBER(No, Name, Col, Width, Justify, Editor) fn##Name = No,
enum TFieldNumber : int {
  CERT_HEADER_FIELDS(CERT_FIELD_NUMBER) CERT_DETAIL_FIELDS(CERT_FIELD_NUMBER)
};
#undef CERT_FIELD_NUMBER

constexpr int FieldCount = 35;
constexpr int HeaderFieldCount = 9;
constexpr int FirstDetailField = 9;
constexpr std::size_t MaxFieldWidth = 45;

// Header: record code, fields, date of writing (cols 165-172), reserved 173-350; text from
// column 351 on is excess. Detail: reserved 336-351; text from column 352 on is excess.
constexpr std::size_t HeaderDateCol = 165;
constexpr std::size_t HeaderDateWidth = 8;
constexpr std::size_t HeaderExcessCol = 351;
constexpr std::size_t DetailExcessCol = 352;
constexpr std::size_t DetailLineLength = 335;

struct TFieldDef {
  int Number;
  const char* Property;
  std::size_t FirstCol;
  std::size_t Width;
  TJustify Justify;
  TEditorKind Editor;
  TRecordKind Record() const { return Number < HeaderFieldCount ? rkHeader : rkDetail; }
};

#define CERT_FIELD_DEF(No, Name, Col, Width, Justify, Editor) \
  TFieldDef{No, #Name, Col, Width, Justify, Editor},
inline constexpr std::array<TFieldDef, FieldCount> FieldTable = {
    {CERT_HEADER_FIELDS(CERT_FIELD_DEF) CERT_DETAIL_FIELDS(CERT_FIELD_DEF)}};
#undef CERT_FIELD_DEF

// A text of at most its field's width; a longer value keeps its first characters.
class TFieldText {
 public:
  explicit constexpr TFieldText(std::size_t capacity)
      : FCap(static_cast<unsigned char>(capacity)) {}
  void Assign(std::string_view value) {
    // A plain loop: for these short copies it is several times faster than a memcpy call.
    const std::size_t n = value.size() < FCap ? value.size() : FCap;
    for (std::size_t i = 0; i < n; ++i) FBuf[i] = value[i];
    FLen = static_cast<unsigned char>(n);
  }
  TFieldText& operator=(std::string_view value) {
    Assign(value);
    return *this;
  }
  void Clear() { FLen = 0; }
  std::string_view View() const { return {FBuf, FLen}; }
  std::string Str() const { return std::string(View()); }
  std::size_t Capacity() const { return FCap; }
  bool Empty() const { return FLen == 0; }
  bool operator==(std::string_view other) const { return View() == other; }
  bool operator!=(std::string_view other) const { return View() != other; }

 private:
  unsigned char FCap;
  unsigned char FLen = 0;
  char FBuf[MaxFieldWidth] = {};
};

#define CERT_RECORD_MEMBER(No, Name, Col, Width, Justify, Editor) TFieldText Name{Width};

#define CERT_MEMBER_PTR(No, Name, Col, Width, Justify, Editor) &Rec::Name,

struct THeaderRec {
  TFieldText RecordCode{1};
  CERT_HEADER_FIELDS(CERT_RECORD_MEMBER)
  TFieldText DateWritten{HeaderDateWidth};
  TFieldText Reserved{0};
  // Field number 0 to 8.
  TFieldText& Field(int number) { return this->*Members()[number]; }
  const TFieldText& Field(int number) const { return this->*Members()[number]; }
  void Clear();

 private:
  using Rec = THeaderRec;
  static const std::array<TFieldText Rec::*, HeaderFieldCount>& Members() {
    static constexpr std::array<TFieldText Rec::*, HeaderFieldCount> list = {
        CERT_HEADER_FIELDS(CERT_MEMBER_PTR)};
    return list;
  }
};

struct TDetailRec {
  TFieldText RecordCode{1};
  CERT_DETAIL_FIELDS(CERT_RECORD_MEMBER)
  TFieldText Reserved{0};
  // Field number 9 to 34.
  TFieldText& Field(int number) { return this->*Members()[number - FirstDetailField]; }
  const TFieldText& Field(int number) const { return this->*Members()[number - FirstDetailField]; }
  void Clear();

 private:
  using Rec = TDetailRec;
  static const std::array<TFieldText Rec::*, FieldCount - HeaderFieldCount>& Members() {
    static constexpr std::array<TFieldText Rec::*, FieldCount - HeaderFieldCount> list = {
        CERT_DETAIL_FIELDS(CERT_MEMBER_PTR)};
    return list;
  }
};

#undef CERT_MEMBER_PTR
#undef CERT_RECORD_MEMBER

inline bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

namespace detail {
// Whether any of eight bytes is above 32: the low seven bits plus 0x5F reach the high bit
// from 33 on, without carrying into the next byte; bytes from 128 on have it already.
inline bool AnyAbove32(const char* p) {
  std::uint64_t x;
  std::memcpy(&x, p, 8);
  const std::uint64_t lo = 0x7F7F7F7F7F7F7F7FULL, add = 0x5F5F5F5F5F5F5F5FULL;
  return (((x & lo) + add) | x) & ~lo;
}
}  // namespace detail

// Removes leading and trailing characters with codes 0 to 32.
inline std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (e - b >= 8 && !detail::AnyAbove32(s.data() + b)) b += 8;
  while (b < e && IsBlankOrControl(s[b])) ++b;
  while (e - b >= 8 && !detail::AnyAbove32(s.data() + e - 8)) e -= 8;
  while (e > b && IsBlankOrControl(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// True when nothing but characters of code 0 to 32 is present.
inline bool IsEmptyTrimmed(std::string_view s) {
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8)
    if (detail::AnyAbove32(s.data() + i)) return false;
  for (; i < s.size(); ++i)
    if (!IsBlankOrControl(s[i])) return false;
  return true;
}

// Characters of a line in the given 1-based columns; fewer or none when the line is shorter.
inline std::string_view Columns(std::string_view line, std::size_t firstCol, std::size_t width) {
  const std::size_t start = firstCol - 1;
  if (start >= line.size()) return {};
  return line.substr(start, width);
}

// The 35 field values as the rules read them, each a view into a record or into a line: the
// same rules then serve the workspace's records and a line straight from a file.
struct TRecordView {
  std::array<std::string_view, FieldCount> F;
  std::string_view operator[](int number) const { return F[static_cast<std::size_t>(number)]; }
};
// Fields 0 to 8, as stored.
void ViewHeader(const THeaderRec& rec, TRecordView& view);
// Fields 9 to 34, as stored.
void ViewDetail(const TDetailRec& rec, TRecordView& view);
// Fields 9 to 34 as ParseDetailLine would store them from a list line (trimmed columns).
void ViewDetailLine(std::string_view line, TRecordView& view);
// Fields 9 to 34 as ParseDetailLine would store them from the list form of a line read from a
// file: as ViewDetailLine, with a one-digit provider type written with a leading zero.
void ViewFileLine(std::string_view line, TRecordView& view);

// Detail line: record code, then fields 9 to 34 trimmed and padded by their justification.
void BuildDetailLine(const TDetailRec& rec, std::string_view recordCode, std::string& out);
std::string BuildDetailLine(const TDetailRec& rec, std::string_view recordCode);
// The list form of a line read from a file: its own record code, every field trimmed and padded,
// a one-digit provider type written with a leading zero.
void NormaliseDetailLine(std::string_view line, std::string& out);
// The same into the bytes at out: DetailLineLength of them, or one fewer for an empty line.
void NormaliseDetailLine(std::string_view line, char* out);
// Fills rec from a detail line: record code untrimmed, fields trimmed. Checks nothing.
void ParseDetailLine(std::string_view line, TDetailRec& rec);
// Header line: "1", fields 0 to 7 padded as stored, field 8 as stored, the date "YYYYMMDD".
std::string BuildHeaderLine(const THeaderRec& rec, std::string_view dateYYYYMMDD);

}  // namespace cert
