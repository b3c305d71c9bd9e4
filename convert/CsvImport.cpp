#include "CsvImport.h"

#include <algorithm>

#include "CertFormat.h"
#include "CsvValue.h"

namespace certcsv {

namespace {

using cert::FieldCount;
using cert::FieldTable;
using cert::FirstDetailField;
using cert::HeaderFieldCount;

std::string ColumnLabel(const TCsvTable& table, int column) {
  const std::string& name = table.Columns()[static_cast<std::size_t>(column)];
  const std::string at = "column " + std::to_string(column + 1);
  return cert::IsEmptyTrimmed(name) ? "unnamed " + at : "\"" + name + "\" (" + at + ")";
}

// "rows 2, 5, 9 and 4 more" from the first few rows and a count.
std::string RowList(const std::vector<int>& rows, int count) {
  std::string s = count == 1 ? "row " : "rows ";
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (i > 0) s += i + 1 == rows.size() && count == static_cast<int>(rows.size()) ? " and " : ", ";
    s += std::to_string(rows[i]);
  }
  if (count > static_cast<int>(rows.size()))
    s += " and " + std::to_string(count - static_cast<int>(rows.size())) + " more";
  return s;
}

constexpr std::size_t kRowsNamed = 5;

// The rows that gave one header value.
struct THeaderValue {
  std::string Value;  // record form
  std::string Text;   // as in the CSV
  std::vector<int> Rows;
  int Count = 0;
  void Add(int row) {
    if (Rows.size() < kRowsNamed) Rows.push_back(row);
    ++Count;
  }
};

// Every value one header column took, in the order first seen.
class THeaderColumn {
 public:
  void Take(int row, std::string_view text, const std::string& value) {
    for (THeaderValue& v : FValues)
      if (v.Value == value) return v.Add(row);
    FValues.push_back({value, std::string(text), {}, 0});
    FValues.back().Add(row);
  }
  bool Agrees() const { return FValues.size() <= 1; }
  const std::string& Value() const { return FValues.front().Value; }
  bool Empty() const { return FValues.empty(); }
  // One problem for each value that differs from the first, at its first row.
  void Report(int column, int field, std::vector<TCsvProblem>& out) const {
    const THeaderValue& first = FValues.front();
    for (std::size_t k = 1; k < FValues.size(); ++k) {
      const THeaderValue& v = FValues[k];
      out.push_back({v.Rows.front(), column, field, v.Text,
                     "differs from \"" + first.Text + "\" in " + RowList(first.Rows, first.Count) +
                         " (this value in " + RowList(v.Rows, v.Count) +
                         "); a header column must hold one value"});
    }
  }

 private:
  std::vector<THeaderValue> FValues;
};

void WarnAboutColumns(const TCsvTable& table, const std::vector<int>& fields,
                      const std::vector<int>& feeder, std::vector<std::string>& warnings) {
  std::vector<bool> holdsData(static_cast<std::size_t>(table.ColumnCount()), false);
  std::vector<int> extraRows;
  int extraCount = 0;
  for (int r = 0; r < table.RowCount(); ++r) {
    bool extra = false;
    for (int c = 0; c < table.CellCount(r); ++c) {
      if (cert::IsEmptyTrimmed(table.Cell(r, c))) continue;
      if (c < table.ColumnCount())
        holdsData[static_cast<std::size_t>(c)] = true;
      else
        extra = true;
    }
    if (extra) {
      if (extraRows.size() < kRowsNamed) extraRows.push_back(table.SourceRow(r));
      ++extraCount;
    }
  }
  std::string unknown;
  for (int c = 0; c < table.ColumnCount(); ++c) {
    const int field =
        c < static_cast<int>(fields.size()) ? fields[static_cast<std::size_t>(c)] : -1;
    if (field >= 0 && feeder[static_cast<std::size_t>(field)] != c) {
      const int first = feeder[static_cast<std::size_t>(field)];
      warnings.push_back(ColumnLabel(table, c) + " feeds field " + std::to_string(field) + " " +
                         FieldTable[static_cast<std::size_t>(field)].Property + ", which " +
                         ColumnLabel(table, first) + " feeds already; it is ignored");
    } else if (field < 0 && (!cert::IsEmptyTrimmed(table.Columns()[static_cast<std::size_t>(c)]) ||
                             holdsData[static_cast<std::size_t>(c)])) {
      unknown += (unknown.empty() ? "" : ", ") + ColumnLabel(table, c);
    }
  }
  if (!unknown.empty()) warnings.push_back("columns that name no field are ignored: " + unknown);
  if (extraCount > 0)
    warnings.push_back("cells beyond the named columns are ignored: " +
                       RowList(extraRows, extraCount));
  if (table.UnclosedQuoteRow() > 0)
    warnings.push_back("row " + std::to_string(table.UnclosedQuoteRow()) +
                       " opens a quoted cell that is never closed: the rest of the file was "
                       "read as that one cell");
  if (table.RowCount() == 0) warnings.push_back("the CSV holds no records");
}

}  // namespace

std::vector<int> MapColumns(const TCsvTable& table) {
  std::vector<int> fields;
  fields.reserve(table.Columns().size());
  for (const std::string& name : table.Columns()) fields.push_back(FieldOfColumnName(name));
  return fields;
}

TCsvImport ImportCsv(const TCsvTable& table, const std::vector<int>& columnFields,
                     const TRecordSink& sink) {
  TCsvImport result;
  // The column feeding each field: the first one that names it.
  std::vector<int> feeder(FieldCount, -1);
  for (int c = 0; c < table.ColumnCount() && c < static_cast<int>(columnFields.size()); ++c) {
    const int field = columnFields[static_cast<std::size_t>(c)];
    if (field >= 0 && field < FieldCount && feeder[static_cast<std::size_t>(field)] < 0)
      feeder[static_cast<std::size_t>(field)] = c;
  }
  WarnAboutColumns(table, columnFields, feeder, result.Warnings);

  std::vector<THeaderColumn> header(HeaderFieldCount);
  cert::TDetailRec rec;
  TValueConverter converter;
  result.LineRows.reserve(static_cast<std::size_t>(table.RowCount()));
  for (int r = 0; r < table.RowCount(); ++r) {
    const int row = table.SourceRow(r);
    rec.Clear();
    for (int field = 0; field < FieldCount; ++field) {
      const int c = feeder[static_cast<std::size_t>(field)];
      if (c < 0) continue;
      const std::string_view text = table.Cell(r, c);
      if (text.empty()) continue;
      const TConversion& v = converter.Convert(field, text);
      if (!v.Ok) {
        result.Problems.push_back({row, c, field, std::string(text), v.Reason});
        continue;
      }
      if (field >= FirstDetailField)
        rec.Field(field) = v.Value;
      else if (!v.Value.empty())
        header[static_cast<std::size_t>(field)].Take(row, text, v.Value);
    }
    sink(rec, row);
    result.LineRows.push_back(row);
  }

  result.Header.RecordCode = "1";
  for (int field = 0; field < HeaderFieldCount; ++field) {
    const THeaderColumn& h = header[static_cast<std::size_t>(field)];
    if (h.Empty()) continue;
    if (h.Agrees())
      result.Header.Field(field) = h.Value();
    else
      h.Report(feeder[static_cast<std::size_t>(field)], field, result.Problems);
  }
  std::stable_sort(result.Problems.begin(), result.Problems.end(),
                   [](const TCsvProblem& a, const TCsvProblem& b) {
                     return a.Row != b.Row ? a.Row < b.Row : a.Column < b.Column;
                   });
  return result;
}

TCsvImport ImportCsv(const TCsvTable& table, const std::vector<int>& columnFields) {
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(table.RowCount()));
  TCsvImport result = ImportCsv(table, columnFields, [&lines](const cert::TDetailRec& rec, int) {
    lines.push_back(cert::BuildDetailLine(rec, "2"));
  });
  result.Lines = std::move(lines);
  return result;
}

void MergeHeader(cert::THeaderRec& header, const cert::THeaderRec& imported) {
  for (int field = 0; field < HeaderFieldCount; ++field)
    if (!imported.Field(field).Empty()) header.Field(field) = imported.Field(field).View();
}

namespace {

// Each record is posted as a typed one is, so the list holds lines built as posting builds them.
auto PostingInto(cert::TCertFormat& cert) {
  return [&cert](const cert::TDetailRec& rec, int) {
    cert.NewDetailRec();
    cert.DetailRec = rec;
    cert.DetailRec.RecordCode = "2";
    cert.PostDetailRec();
  };
}

}  // namespace

TCsvImport AppendIntoWorkspace(cert::TCertFormat& cert, const TCsvTable& table,
                               const std::vector<int>& columnFields) {
  if (cert.DetailRecStatus == cert::drNew) {
    bool typed = false;
    for (int field = FirstDetailField; field < FieldCount && !typed; ++field)
      typed = !cert::IsEmptyTrimmed(cert.DetailRec.Field(field).View());
    if (typed)
      cert.PostDetailRec();
    else
      cert.CancelDetailRec();
  } else if (cert.DetailRecStatus == cert::drEdit) {
    cert.PostDetailRec();
  }
  TCsvImport result = ImportCsv(table, columnFields, PostingInto(cert));
  MergeHeader(cert.HeaderRec, result.Header);
  return result;
}

TCsvImport ImportIntoWorkspace(cert::TCertFormat& cert, const TCsvTable& table,
                               const std::vector<int>& columnFields) {
  cert.ClearWorkspace();
  TCsvImport result = ImportCsv(table, columnFields, PostingInto(cert));
  cert.HeaderRec = result.Header;
  if (cert.DetailStr().Count() > 0) cert.FirstDetailRec();
  return result;
}

}  // namespace certcsv
