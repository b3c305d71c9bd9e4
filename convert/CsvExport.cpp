#include "CsvExport.h"

#include <csv.h>

#include "CertObject.h"
#include "Cp1252.h"

namespace certcsv {

namespace {

bool NeedsQuotes(std::string_view v) {
  if (v.empty()) return false;
  // Blanks at either end are quoted so that readers which trim unquoted cells keep them.
  if (v.front() == ' ' || v.front() == '\t' || v.back() == ' ' || v.back() == '\t') return true;
  return v.find_first_of(",\"\r\n") != std::string_view::npos;
}

bool IsAscii(std::string_view v) {
  for (char c : v)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// One cell: the Windows-1252 value as UTF-8, quoted by the CSV library where it must be.
void AppendCell(std::string& out, std::string_view value) {
  std::string utf8;
  if (!IsAscii(value)) {
    utf8 = cert::Cp1252ToUtf8(value);
    value = utf8;
  }
  if (!NeedsQuotes(value)) {
    out.append(value);
    return;
  }
  const std::size_t need = csv_write(nullptr, 0, value.data(), value.size());
  const std::size_t at = out.size();
  out.resize(at + need);
  csv_write(out.data() + at, need, value.data(), value.size());
}

// A header value as stored, less the blanks that pad it in the file.
std::string_view Unpadded(std::string_view v) {
  while (!v.empty() && cert::IsBlankOrControl(v.back())) v.remove_suffix(1);
  return v;
}

}  // namespace

std::string ExportCsv(const cert::THeaderRec& header, const cert::TStringList& lines,
                      bool byteOrderMark) {
  std::string out;
  out.reserve(static_cast<std::size_t>(lines.Count() + 2) * 420);
  if (byteOrderMark) out += "\xEF\xBB\xBF";
  for (int n = 0; n < cert::FieldCount; ++n) {
    if (n > 0) out += ',';
    out += cert::FieldTable[static_cast<std::size_t>(n)].Property;
  }
  out += "\r\n";

  std::string headerCells;
  for (int n = 0; n < cert::HeaderFieldCount; ++n) {
    AppendCell(headerCells, Unpadded(header.Field(n).View()));
    headerCells += ',';
  }
  cert::TDetailRec rec;
  for (int i = 0; i < lines.Count(); ++i) {
    cert::ParseDetailLine(lines[i], rec);
    out += headerCells;
    for (int n = cert::FirstDetailField; n < cert::FieldCount; ++n) {
      if (n > cert::FirstDetailField) out += ',';
      AppendCell(out, rec.Field(n).View());
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace certcsv
