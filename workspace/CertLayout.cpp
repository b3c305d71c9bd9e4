#include "CertLayout.h"

#include <cstring>

#include "CertScan.h"

namespace cert {

static_assert(FieldTable[34].FirstCol + FieldTable[34].Width - 1 == DetailLineLength);
static_assert(FieldTable[8].FirstCol + 1 == HeaderDateCol);

namespace {

void AppendPadded(std::string& out, std::string_view value, const TFieldDef& def) {
  const std::size_t pad = value.size() < def.Width ? def.Width - value.size() : 0;
  if (def.Justify == jRight) out.append(pad, ' ');
  out.append(value);
  if (def.Justify == jLeft) out.append(pad, ' ');
}

}  // namespace

void THeaderRec::Clear() {
  RecordCode.Clear();
  for (auto m : Members()) (this->*m).Clear();
  DateWritten.Clear();
}

void TDetailRec::Clear() {
  RecordCode.Clear();
  for (auto m : Members()) (this->*m).Clear();
}

namespace {

// The record code, then each detail field's value (valueOf(n), trimmed here) padded to its
// width, into the recordCode.size() + DetailLineLength - 1 bytes at out. Values never exceed
// their widths, so each is copied into a line of blanks in place.
template <typename ValueOf>
void FillLine(std::string_view recordCode, ValueOf valueOf, char* out) {
  const std::size_t codeLen = recordCode.size();
  std::memset(out, ' ', codeLen + DetailLineLength - 1);
  if (codeLen) std::memcpy(out, recordCode.data(), codeLen);
  for (int n = FirstDetailField; n < FieldCount; ++n) {
    const TFieldDef& def = FieldTable[n];
    const std::string_view v = Trim(valueOf(n));
    const std::size_t at = def.Justify == jRight ? def.Width - v.size() : 0;
    char* to = out + codeLen + def.FirstCol - 2 + at;
    for (std::size_t i = 0; i < v.size(); ++i) to[i] = v[i];
  }
}

template <typename ValueOf>
void BuildLine(std::string_view recordCode, ValueOf valueOf, std::string& out) {
  out.resize(recordCode.size() + DetailLineLength - 1);
  FillLine(recordCode, valueOf, out.data());
}

// The list form of a file line, field by field.
void FillListForm(std::string_view line, char* out) {
  const TFieldDef& prov = FieldTable[fnDInsuredProvType];
  const std::string_view provType = Trim(Columns(line, prov.FirstCol, prov.Width));
  const char padded[2] = {'0', provType.empty() ? '0' : provType[0]};
  FillLine(
      line.substr(0, 1),
      [&](int n) {
        if (n == fnDInsuredProvType && provType.size() == 1) return std::string_view(padded, 2);
        return Columns(line, FieldTable[n].FirstCol, FieldTable[n].Width);
      },
      out);
}

}  // namespace

void BuildDetailLine(const TDetailRec& rec, std::string_view recordCode, std::string& out) {
  BuildLine(
      recordCode, [&rec](int n) { return rec.Field(n).View(); }, out);
  out.append(rec.Reserved.View());
}

// Files this program wrote hold their lines in list form already: those are copied whole.
void NormaliseDetailLine(std::string_view line, char* out) {
  TLineScan scan;
  if (!scan.Scan(line, true, out) || !scan.IsListForm()) FillListForm(line, out);
}

void NormaliseDetailLine(std::string_view line, std::string& out) {
  out.resize((line.empty() ? 0 : 1) + DetailLineLength - 1);
  NormaliseDetailLine(line, out.data());
}

void ViewHeader(const THeaderRec& rec, TRecordView& view) {
  for (int n = 0; n < HeaderFieldCount; ++n) view.F[n] = rec.Field(n).View();
}

void ViewDetail(const TDetailRec& rec, TRecordView& view) {
  for (int n = FirstDetailField; n < FieldCount; ++n) view.F[n] = rec.Field(n).View();
}

void ViewDetailLine(std::string_view line, TRecordView& view) {
#define CERT_VIEW_FIELD(No, Name, Col, Width, Justify, Editor) \
  view.F[No] = Trim(Columns(line, Col, Width));
  CERT_DETAIL_FIELDS(CERT_VIEW_FIELD)
#undef CERT_VIEW_FIELD
}

namespace {

// "0" followed by each byte: the list form of a one-character provider type.
struct TZeroPadded {
  char Pairs[512];
  TZeroPadded() {
    for (int c = 0; c < 256; ++c) {
      Pairs[2 * c] = '0';
      Pairs[2 * c + 1] = static_cast<char>(c);
    }
  }
};
const TZeroPadded kZeroPadded;

}  // namespace

void ViewFileLine(std::string_view line, TRecordView& view) {
  ViewDetailLine(line, view);
  std::string_view& prov = view.F[fnDInsuredProvType];
  if (prov.size() == 1)
    prov = std::string_view(kZeroPadded.Pairs + 2 * static_cast<unsigned char>(prov[0]), 2);
}

std::string BuildDetailLine(const TDetailRec& rec, std::string_view recordCode) {
  std::string line;
  BuildDetailLine(rec, recordCode, line);
  return line;
}

void ParseDetailLine(std::string_view line, TDetailRec& rec) {
  rec.RecordCode = line.substr(0, 1);
  // Unrolled over the table so that every column and width is a constant.
#define CERT_PARSE_FIELD(No, Name, Col, Width, Justify, Editor) \
  rec.Name = Trim(Columns(line, Col, Width));
  CERT_DETAIL_FIELDS(CERT_PARSE_FIELD)
#undef CERT_PARSE_FIELD
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
