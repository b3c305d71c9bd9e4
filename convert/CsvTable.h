// A CSV file as a table of text: its column names and its rows, in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace certcsv {

enum TCsvEncoding { ceUtf8, ceCp1252 };

class TCsvTable {
 public:
  // How the bytes were read.
  TCsvEncoding Encoding() const { return FEncoding; }
  char Separator() const { return FSeparator; }
  bool HadByteOrderMark() const { return FBom; }

  // The first row: the column names.
  const std::vector<std::string>& Columns() const { return FColumns; }
  int ColumnCount() const { return static_cast<int>(FColumns.size()); }
  // The rows after the column names that hold anything; blank rows are left out.
  int RowCount() const { return static_cast<int>(FRowRow.size()); }
  // The row's number in the CSV, counting the column names as row 1 and blank rows too.
  int SourceRow(int row) const { return FRowRow[static_cast<std::size_t>(row)]; }
  int CellCount(int row) const;
  // Empty past the row's last cell.
  std::string_view Cell(int row, int column) const;
  // The row of a quoted cell that the file never closes (the cell then holds the rest of the
  // file), or 0.
  int UnclosedQuoteRow() const { return FUnclosedQuoteRow; }

  // Reads CSV bytes: a UTF-8 byte-order mark is skipped; text that is not UTF-8 is read as
  // Windows-1252; the separator (comma, semicolon or tab) is the one the first row uses most.
  static TCsvTable Parse(std::string_view bytes);

 private:
  friend class TCsvTableBuilder;
  TCsvEncoding FEncoding = ceUtf8;
  char FSeparator = ',';
  bool FBom = false;
  int FUnclosedQuoteRow = 0;
  std::vector<std::string> FColumns;
  std::string FText;                   // every cell's text, one after the other
  std::vector<std::size_t> FCellEnd;   // end of each cell in FText
  std::vector<std::size_t> FRowFirst;  // each row's first cell in FCellEnd, plus one past
  std::vector<int> FRowRow;            // SourceRow of each row
};

// Whether the bytes begin with a UTF-16 byte-order mark (as spreadsheets' "Unicode text"
// does): such text is neither UTF-8 nor Windows-1252 and cannot be read.
bool IsUtf16Text(std::string_view bytes);

// The separator the first row uses most, outside quotes: ',' ';' or '\t' (',' when none).
char DetectSeparator(std::string_view bytes);

}  // namespace certcsv
