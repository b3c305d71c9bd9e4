// From CSV text to record form, field by field, as typing or choosing in the window would give.
#pragma once

#include <string>
#include <string_view>

#include "CertDate.h"

namespace certcsv {

// The field a column name stands for, or -1: its property name with or without the H/D
// prefix, or its caption, ignoring case, blanks and punctuation. "City", "State" and
// "Zipcode" caption a header and a detail field; they name the detail field.
int FieldOfColumnName(std::string_view name);

// Record form of a CSV value (UTF-8) for a field; false, with the reason, when the value
// cannot become one without being cut or changed. The reason follows the quoted value:
// "is not a date ...".
bool ConvertValue(int field, std::string_view utf8, std::string& out, std::string& reason);

// The parts of the conversion, for the window and the tests.

// YYYYMMDD, MM/DD/YYYY, M/D/YYYY, YYYY-MM-DD or M/D/YY (two-digit years from 1950 on).
bool ReadCsvDate(std::string_view text, cert::TYmd& out, std::string& reason);
// The code of a list row given by its code or its text ("WI", "Wisconsin", "WI - Wisconsin"),
// ignoring case; false when no row matches.
bool FindListCode(int field, std::string_view text, std::string& code);
// What typing the text character by character at the end of an empty field with this mask
// gives (auto-fill on); false, with the reason, when a key is refused or the field could not
// be left with the result.
bool TypeIntoMask(const std::string& mask, std::string_view text, std::string& out,
                  std::string& reason);

}  // namespace certcsv
