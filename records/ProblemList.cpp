#include "ProblemList.h"

#include "CertEntry.h"
#include "RecordColumns.h"
#include "ReplacingWriter.h"

namespace certrec {

namespace {

void AppendCell(std::string& out, const std::string& cell) {
  if (cell.find_first_of(",\"\r\n") == std::string::npos) {
    out += cell;
    return;
  }
  out += '"';
  for (char c : cell) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendRow(std::string& out, const std::string& record, int field, const std::string& message) {
  AppendCell(out, record);
  out += ',';
  if (field >= 0) {
    out += std::to_string(field);
    out += ',';
    AppendCell(out, cert::FieldEntries[static_cast<std::size_t>(field)].Caption);
  } else {
    out += ',';
  }
  out += ',';
  AppendCell(out, message);
  out += "\r\n";
}

}  // namespace

std::string ProblemListCsv(const cert::TCertFormat& cert, const TRecordTable& table) {
  std::string out = "Record,Field Number,Field Name,Message\r\n";
  std::vector<cert::TCheckResult> failed;
  cert::TDetailRec none;
  cert::ListFailingRules(cert.HeaderRec, none, failed, cert::rsHeader);
  for (const cert::TCheckResult& r : failed) AppendRow(out, "header", r.Field, *r.Message);
  for (int i = 0; i < table.Count(); ++i) {
    const std::string record = std::to_string(i + 1);
    if (table.Failing(i)) {
      table.Problems(i, failed);
      for (const cert::TCheckResult& r : failed) AppendRow(out, record, r.Field, *r.Message);
    }
    if (table.DuplicateOf(i) >= 0) AppendRow(out, record, -1, DuplicateText(table.DuplicateOf(i)));
  }
  return out;
}

}  // namespace certrec
