#include "CsvTable.h"

#include <csv.h>

#include <new>
#include <stdexcept>

#include "Cp1252.h"
#include "CsvText.h"
#include "Utf8.h"

namespace certcsv {

int TCsvTable::CellCount(int row) const {
  const std::size_t r = static_cast<std::size_t>(row);
  return static_cast<int>(FRowFirst[r + 1] - FRowFirst[r]);
}

std::string_view TCsvTable::Cell(int row, int column) const {
  if (column < 0 || column >= CellCount(row)) return {};
  const std::size_t k = FRowFirst[static_cast<std::size_t>(row)] + static_cast<std::size_t>(column);
  const std::size_t begin = k == 0 ? 0 : FCellEnd[k - 1];
  return std::string_view(FText).substr(begin, FCellEnd[k] - begin);
}

bool IsUtf16Text(std::string_view bytes) {
  const std::string_view mark = bytes.substr(0, 2);
  return mark == "\xFF\xFE" || mark == "\xFE\xFF";
}

char DetectSeparator(std::string_view bytes) {
  std::size_t comma = 0, semicolon = 0, tab = 0;
  bool quoted = false;
  for (char c : bytes) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') {
      if (comma + semicolon + tab > 0) break;  // a first row that holds a separator
      continue;
    }
    comma += c == ',';
    semicolon += c == ';';
    tab += c == '\t';
  }
  if (semicolon > comma && semicolon >= tab) return ';';
  if (tab > comma && tab > semicolon) return '\t';
  return ',';
}

// Collects libcsv's fields and row ends into a table.
class TCsvTableBuilder {
 public:
  explicit TCsvTableBuilder(TCsvTable& t) : FT(t) { FT.FRowFirst.push_back(0); }

  static void OnField(void* data, std::size_t len, void* self) {
    static_cast<TCsvTableBuilder*>(self)->Field(static_cast<const char*>(data), len);
  }
  static void OnRowEnd(int c, void* self) { static_cast<TCsvTableBuilder*>(self)->RowEnd(c); }
  // The CSV row that the cell in progress belongs to.
  int RowInProgress() const { return FSourceRow + (FCells == 0 ? 1 : 0); }

 private:
  void Field(const char* data, std::size_t len) {
    if (FCells == 0) ++FSourceRow;
    ++FCells;
    for (std::size_t i = 0; i < len && FBlank; ++i)
      FBlank = static_cast<unsigned char>(data[i]) <= 32;
    if (FNamesDone) {
      FT.FText.append(data, len);
      FT.FCellEnd.push_back(FT.FText.size());
    } else {
      FT.FColumns.emplace_back(data, len);
    }
  }

  // Called at the end of a row of fields, and (CSV_REPALL_NL) for every line break outside
  // one, so that empty lines count as rows as a spreadsheet shows them.
  void RowEnd(int c) {
    if (FCells == 0) {
      const bool crlfTail = c == CSV_LF && FLastWasCR;
      FLastWasCR = c == CSV_CR;
      if (!crlfTail && c != -1) ++FSourceRow;
      return;
    }
    FLastWasCR = c == CSV_CR;
    if (!FNamesDone) {
      FNamesDone = true;
    } else if (FBlank) {
      // A row of empty cells holds nothing to import.
      const std::size_t first = FT.FRowFirst.back();
      const std::size_t begin = first == 0 ? 0 : FT.FCellEnd[first - 1];
      FT.FText.resize(begin);
      FT.FCellEnd.resize(first);
    } else {
      FT.FRowFirst.push_back(FT.FCellEnd.size());
      FT.FRowRow.push_back(FSourceRow);
    }
    FCells = 0;
    FBlank = true;
  }

  TCsvTable& FT;
  bool FNamesDone = false;
  bool FBlank = true;
  bool FLastWasCR = false;
  std::size_t FCells = 0;
  int FSourceRow = 0;
};

namespace {

// libcsv trims blanks around unquoted fields; with the tab as separator only spaces are blanks.
int IsSpaceOnly(unsigned char c) { return c == ' '; }

}  // namespace

TCsvTable TCsvTable::Parse(std::string_view bytes) {
  TCsvTable t;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    t.FBom = true;
    bytes.remove_prefix(3);
  }
  std::string converted;
  if (!cert::IsValidUtf8(bytes)) {
    t.FEncoding = ceCp1252;
    converted = cert::Cp1252ToUtf8(bytes);
    bytes = converted;
  }
  t.FSeparator = DetectSeparator(bytes);
  t.FText.reserve(bytes.size());

  csv_parser p;
  if (csv_init(&p, CSV_REPALL_NL) != 0) throw std::bad_alloc();
  csv_set_delim(&p, static_cast<unsigned char>(t.FSeparator));
  if (t.FSeparator == '\t') csv_set_space_func(&p, IsSpaceOnly);
  csv_set_blk_size(&p, 1024);
  TCsvTableBuilder b(t);
  const std::size_t done = csv_parse(&p, bytes.data(), bytes.size(), TCsvTableBuilder::OnField,
                                     TCsvTableBuilder::OnRowEnd, &b);
  const int err = done == bytes.size() ? CSV_SUCCESS : csv_error(&p);
  // Still inside a quoted cell at the end: libcsv's state for a cell begun (2) with its quote
  // not yet closed.
  constexpr int kFieldBegun = 2;
  if (err == CSV_SUCCESS && p.quoted && p.pstate == kFieldBegun)
    t.FUnclosedQuoteRow = b.RowInProgress();
  if (err == CSV_SUCCESS) csv_fini(&p, TCsvTableBuilder::OnField, TCsvTableBuilder::OnRowEnd, &b);
  csv_free(&p);
  // Only memory can fail: the parser reads any bytes at all in its default (lenient) mode.
  if (err != CSV_SUCCESS) throw std::bad_alloc();
  return t;
}

}  // namespace certcsv
