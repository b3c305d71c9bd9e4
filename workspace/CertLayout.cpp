#include "CertLayout.h"

#include <cstring>

namespace cert {

static_assert(FieldTable[34].FirstCol + FieldTable[34].Width - 1 == DetailLineLength);
static_assert(FieldTable[8].FirstCol + 1 == HeaderDateCol);

void TFieldText::Assign(std::string_view value) {
  const std::size_t n = value.size() < FCap ? value.size() : FCap;
  if (n) std::memcpy(FBuf, value.data(), n);
  FLen = static_cast<unsigned char>(n);
}

namespace {

#define CERT_MEMBER_PTR(No, Name, Col, Width, Justify, Editor) &Rec::Name,
template <typename Rec>
struct TMembers;
template <>
struct TMembers<THeaderRec> {
  using Rec = THeaderRec;
  static constexpr TFieldText Rec::*List[] = {CERT_HEADER_FIELDS(CERT_MEMBER_PTR)};
};
template <>
struct TMembers<TDetailRec> {
  using Rec = TDetailRec;
  static constexpr TFieldText Rec::*List[] = {CERT_DETAIL_FIELDS(CERT_MEMBER_PTR)};
};
#undef CERT_MEMBER_PTR

static_assert(std::size(TMembers<THeaderRec>::List) == HeaderFieldCount);
static_assert(std::size(TMembers<TDetailRec>::List) == FieldCount - HeaderFieldCount);

void AppendPadded(std::string& out, std::string_view value, const TFieldDef& def) {
  const std::size_t pad = value.size() < def.Width ? def.Width - value.size() : 0;
  if (def.Justify == jRight) out.append(pad, ' ');
  out.append(value);
  if (def.Justify == jLeft) out.append(pad, ' ');
}

}  // namespace

TFieldText& THeaderRec::Field(int number) { return this->*TMembers<THeaderRec>::List[number]; }
const TFieldText& THeaderRec::Field(int number) const {
  return this->*TMembers<THeaderRec>::List[number];
}
void THeaderRec::Clear() {
  RecordCode.Clear();
  for (auto m : TMembers<THeaderRec>::List) (this->*m).Clear();
  DateWritten.Clear();
}

TFieldText& TDetailRec::Field(int number) {
  return this->*TMembers<TDetailRec>::List[number - FirstDetailField];
}
const TFieldText& TDetailRec::Field(int number) const {
  return this->*TMembers<TDetailRec>::List[number - FirstDetailField];
}
void TDetailRec::Clear() {
  RecordCode.Clear();
  for (auto m : TMembers<TDetailRec>::List) (this->*m).Clear();
}

std::string_view Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlankOrControl(s[b])) ++b;
  while (e > b && IsBlankOrControl(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool IsEmptyTrimmed(std::string_view s) {
  for (char c : s)
    if (!IsBlankOrControl(c)) return false;
  return true;
}

std::string_view Columns(std::string_view line, std::size_t firstCol, std::size_t width) {
  const std::size_t start = firstCol - 1;
  if (start >= line.size()) return {};
  return line.substr(start, width);
}

void BuildDetailLine(const TDetailRec& rec, std::string_view recordCode, std::string& out) {
  out.clear();
  out.reserve(DetailLineLength);
  out.append(recordCode);
  for (int n = FirstDetailField; n < FieldCount; ++n)
    AppendPadded(out, Trim(rec.Field(n).View()), FieldTable[n]);
  out.append(rec.Reserved.View());
}

std::string BuildDetailLine(const TDetailRec& rec, std::string_view recordCode) {
  std::string line;
  BuildDetailLine(rec, recordCode, line);
  return line;
}

void ParseDetailLine(std::string_view line, TDetailRec& rec) {
  rec.RecordCode = line.substr(0, 1);
  for (int n = FirstDetailField; n < FieldCount; ++n) {
    const TFieldDef& def = FieldTable[n];
    rec.Field(n) = Trim(Columns(line, def.FirstCol, def.Width));
  }
}

std::string BuildHeaderLine(const THeaderRec& rec, std::string_view dateYYYYMMDD) {
  std::string line = "1";
  for (int n = 0; n < HeaderFieldCount; ++n) {
    const TFieldDef& def = FieldTable[n];
    AppendPadded(line, rec.Field(n).View(), def);
  }
  line.append(dateYYYYMMDD);
  line.append(rec.Reserved.View());
  return line;
}

}  // namespace cert
