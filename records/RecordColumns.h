// The columns of the records window and how a detail record shows in them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "CertLayout.h"
#include "CertRules.h"

namespace certrec {

enum TColumnKind { ckRecord, ckStatus, ckInsured, ckField };

struct TColumn {
  TColumnKind Kind;
  int Field;   // ckField: the field number
  bool Shown;  // shown until the user chooses otherwise
};

// Record, status, insured, then the 26 detail fields: the usual ones first.
const std::vector<TColumn>& RecordColumns();
// The column's title: a field's caption as the main window shows it.
std::string ColumnTitle(const TColumn& column);
// The settings key of a column the user can show or hide (its property name, or "Insured").
std::string ColumnKey(const TColumn& column);
bool ColumnCanHide(const TColumn& column);

// "Company", or "Last, First Middle Suffix" from the parts there are.
std::string InsuredName(const cert::TDetailRec& rec);
// A field as the window shows it: dates as MM/DD/YYYY (a stored text that is no date as it
// is), codes with their list text ("WI - Wisconsin"), other values as stored.
std::string FieldText(const cert::TDetailRec& rec, int field);
// A stored date (YYYYMMDD) as the window shows it, MM/DD/YYYY; a text that is no date as it is.
std::string ShownDate(std::string_view stored);
// A failing rule as the records window words it: "Caption: message" (Windows-1252).
std::string ProblemText(const cert::TCheckResult& failed);
// "Possible duplicate of record N", N 1-based.
std::string DuplicateText(int first);
// The list row of a stored code, or nullptr when the field has no list or the code no row.
const char* CodeRow(int field, std::string_view code);

// Orders two values of one field of two lines: dates and codes as stored, digits by their
// value, other text without regard to case; ties are equal.
int CompareField(std::string_view a, std::string_view b);
// The trimmed value of a field in a detail line.
std::string_view FieldValue(std::string_view line, int field);

}  // namespace certrec
