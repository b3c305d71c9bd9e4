// From CSV text to record form, field by field, as typing or choosing in the window would give.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "CertDate.h"
#include "CertLayout.h"

class TwwPictureValidator;

namespace certcsv {

// The field a column name stands for, or -1: its property name with or without the H/D
// prefix, or its caption, ignoring case, blanks and punctuation. "City", "State" and
// "Zipcode" caption a header and a detail field; they name the detail field.
int FieldOfColumnName(std::string_view name);

// Record form of a CSV value (UTF-8) for a field; false, with the reason, when the value
// cannot become one without being cut or changed. The reason follows the quoted value:
// "is not a date ...".
bool ConvertValue(int field, std::string_view utf8, std::string& out, std::string& reason);

// One value's outcome: the record form, or why there is none.
struct TConversion {
  bool Ok = false;
  std::string Value;
  std::string Reason;
};

// ConvertValue for many rows: it remembers each field's last value and outcome, since a
// column often repeats a value row after row (the header's columns always do).
class TValueConverter {
 public:
  TValueConverter();
  ~TValueConverter();
  TValueConverter(const TValueConverter&) = delete;
  TValueConverter& operator=(const TValueConverter&) = delete;
  // Valid until the next conversion for the same field.
  const TConversion& Convert(int field, std::string_view utf8);

 private:
  struct TMemo {
    bool Valid = false;
    std::string Text;
    TConversion Outcome;
  };
  bool ConvertFresh(int field, std::string_view utf8, std::string& out, std::string& reason);
  bool TypeMasked(int field, std::string_view v, std::string& out, std::string& reason);
  bool TypeChecked(std::size_t field, const std::string& text, std::string& out,
                   std::string& reason);
  // For all-digit values of each length: a typed result, its digits standing for any digits.
  using TShapes = std::array<std::string, cert::MaxFieldWidth + 1>;
  std::array<TMemo, cert::FieldCount> FMemo;
  std::array<std::unique_ptr<TShapes>, cert::FieldCount> FDigitShapes;
  std::array<std::unique_ptr<TwwPictureValidator>, cert::FieldCount> FMatchers;
  std::string FBytes;
};

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
// Whether the mask holds a digit as a literal (not as a repeat count, as in "*45"): only such a
// mask can tell one digit from another.
bool HasLiteralDigit(std::string_view mask);

}  // namespace certcsv
