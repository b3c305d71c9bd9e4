// A CSV table become a certificate header and detail lines, with every value that could not
// be taken reported.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CertLayout.h"
#include "CsvTable.h"

namespace cert {
class TCertFormat;
}

namespace certcsv {

// The field each CSV column names (FieldOfColumnName), -1 for none.
std::vector<int> MapColumns(const TCsvTable& table);

// A value left empty: where it stood, what it was, and why.
struct TCsvProblem {
  int Row;     // CSV row, the column names being row 1
  int Column;  // 0-based
  int Field;
  std::string Value;  // UTF-8, as in the CSV
  std::string Reason;
};

struct TCsvImport {
  cert::THeaderRec Header;
  std::vector<std::string> Lines;     // detail lines built by the rule posting uses, when asked
  std::vector<int> LineRows;          // the CSV row of each record
  std::vector<TCsvProblem> Problems;  // in row order, then column order
  std::vector<std::string> Warnings;  // about columns and rows as a whole
};

// Receives each row's record, in row order, with its CSV row.
using TRecordSink = std::function<void(const cert::TDetailRec& record, int row)>;

// Converts every row by the mapping (one field or -1 per column); a field named by two
// columns is fed by the first, and the other is reported. Each record goes to the sink; the
// header takes each header column's value: rows that leave it empty do not count, rows that
// disagree are reported and leave that header field empty.
TCsvImport ImportCsv(const TCsvTable& table, const std::vector<int>& columnFields,
                     const TRecordSink& sink);
// The same, with the records as detail lines in Lines.
TCsvImport ImportCsv(const TCsvTable& table, const std::vector<int>& columnFields);

// The header fields the import fills replace those of `header`; the others stay.
void MergeHeader(cert::THeaderRec& header, const cert::THeaderRec& imported);

// Posts the import's records after the workspace's list as new records, one by one (a pending
// edit is posted first, an untouched new record dropped), and merges the header fields the
// CSV fills; the last record posted is current.
TCsvImport AppendIntoWorkspace(cert::TCertFormat& cert, const TCsvTable& table,
                               const std::vector<int>& columnFields);

// Makes the workspace hold the import alone, as reading a file would: the CSV's header, its
// records posted one by one as new records, the first record current.
TCsvImport ImportIntoWorkspace(cert::TCertFormat& cert, const TCsvTable& table,
                               const std::vector<int>& columnFields);

}  // namespace certcsv
