#include "RecordColumns.h"

#include "CertDate.h"
#include "CertEntry.h"
#include "TextFold.h"

namespace certrec {

namespace {

std::vector<TColumn> MakeColumns() {
  std::vector<TColumn> columns = {
      {ckRecord, -1, true}, {ckStatus, -1, true}, {ckInsured, -1, true}};
  const int usual[] = {cert::fnDInsuredLicenseNum,  cert::fnDInsuredFIN,
                       cert::fnDPolicyNum,          cert::fnDPolicyFromDate,
                       cert::fnDPolicyToDate,       cert::fnDRecordProcessingType,
                       cert::fnDPolicyCoverageType, cert::fnDInsuredProvType};
  for (int f : usual) columns.push_back({ckField, f, true});
  for (int f = cert::FirstDetailField; f < cert::FieldCount; ++f) {
    bool listed = false;
    for (int u : usual) listed = listed || u == f;
    if (!listed) columns.push_back({ckField, f, false});
  }
  return columns;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

void Append(std::string& out, std::string_view part, const char* separator) {
  if (part.empty()) return;
  if (!out.empty()) out += separator;
  out.append(part);
}

}  // namespace

const std::vector<TColumn>& RecordColumns() {
  static const std::vector<TColumn> columns = MakeColumns();
  return columns;
}

std::string ColumnTitle(const TColumn& column) {
  switch (column.Kind) {
    case ckRecord:
      return "Record";
    case ckStatus:
      return "Status";
    case ckInsured:
      return "Insured";
    default:
      return cert::FieldEntries[static_cast<std::size_t>(column.Field)].Caption;
  }
}

std::string ColumnKey(const TColumn& column) {
  if (column.Kind == ckInsured) return "Insured";
  if (column.Kind == ckField)
    return cert::FieldTable[static_cast<std::size_t>(column.Field)].Property;
  return std::string();
}

bool ColumnCanHide(const TColumn& column) {
  return column.Kind == ckInsured || column.Kind == ckField;
}

std::string InsuredName(const cert::TDetailRec& rec) {
  if (!rec.DInsuredCompanyName.Empty()) return rec.DInsuredCompanyName.Str();
  std::string given;
  Append(given, rec.DInsuredFirstName.View(), " ");
  Append(given, rec.DInsuredMidName.View(), " ");
  Append(given, rec.DInsuredSuffix.View(), " ");
  std::string name = rec.DInsuredLastName.Str();
  Append(name, given, ", ");
  return name;
}

const char* CodeRow(int field, std::string_view code) {
  if (code.empty()) return nullptr;
  const cert::TCodeListId list = cert::FieldEntries[static_cast<std::size_t>(field)].List;
  for (const char* row : cert::CodeListRows(list)) {
    const std::string_view r(row);
    if (r.size() > code.size() && r.compare(0, code.size(), code) == 0 && r[code.size()] == ' ')
      return row;
  }
  return nullptr;
}

std::string ProblemText(const cert::TCheckResult& failed) {
  return std::string(cert::FieldEntries[static_cast<std::size_t>(failed.Field)].Caption) + ": " +
         *failed.Message;
}

std::string DuplicateText(int first) {
  return "Possible duplicate of record " + std::to_string(first + 1);
}

std::string ShownDate(std::string_view stored) {
  cert::TYmd d;
  if (!cert::ReadYYYYMMDD(stored, d)) return std::string(stored);
  return std::string(stored.substr(4, 2)) + "/" + std::string(stored.substr(6, 2)) + "/" +
         std::string(stored.substr(0, 4));
}

std::string FieldText(const cert::TDetailRec& rec, int field) {
  const std::string_view v = rec.Field(field).View();
  const cert::TEditorKind kind = cert::FieldTable[static_cast<std::size_t>(field)].Editor;
  if (kind == cert::ekDateTimePicker) return ShownDate(v);
  if (kind == cert::ekComboBox)
    if (const char* row = CodeRow(field, v)) return row;
  return std::string(v);
}

std::string_view FieldValue(std::string_view line, int field) {
  const cert::TFieldDef& def = cert::FieldTable[static_cast<std::size_t>(field)];
  return cert::Trim(cert::Columns(line, def.FirstCol, def.Width));
}

int CompareField(std::string_view a, std::string_view b) {
  if (AllDigits(a) && AllDigits(b)) {
    const std::size_t za = a.find_first_not_of('0'), zb = b.find_first_not_of('0');
    a = za == std::string_view::npos ? std::string_view() : a.substr(za);
    b = zb == std::string_view::npos ? std::string_view() : b.substr(zb);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
  }
  return CompareFolded(a, b);
}

}  // namespace certrec
