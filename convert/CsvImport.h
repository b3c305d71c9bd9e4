// A CSV table become a certificate header and detail lines, with every value that could not
// be taken reported.
#pragma once

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
  std::vector<std::string> Lines;     // detail lines, built by the rule posting uses
  std::vector<int> LineRows;          // the CSV row of each line
  std::vector<TCsvProblem> Problems;  // in row order, then column order
  std::vector<std::string> Warnings;  // about columns and rows as a whole
};

// Converts every row by the mapping (one field or -1 per column); a field named by two
// columns is fed by the first, and the other is reported. The header takes each header
// column's value; rows that leave it empty do not count, rows that disagree are reported
// and leave that header field empty.
TCsvImport ImportCsv(const TCsvTable& table, const std::vector<int>& columnFields);

// Makes the workspace hold the import alone, as reading a file would: its header, its lines
// posted one by one as new records, the first record current.
void LoadImport(cert::TCertFormat& cert, const TCsvImport& import);

}  // namespace certcsv
