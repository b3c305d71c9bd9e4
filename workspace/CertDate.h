// Calendar dates: Gregorian, years 1 to 9999; day counts since 30 December 1899.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace cert {

struct TYmd {
  int Year = 0, Month = 0, Day = 0;
  bool operator==(const TYmd& o) const {
    return Year == o.Year && Month == o.Month && Day == o.Day;
  }
  bool operator<(const TYmd& o) const {
    if (Year != o.Year) return Year < o.Year;
    if (Month != o.Month) return Month < o.Month;
    return Day < o.Day;
  }
};

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
bool IsValidYmd(const TYmd& d);
// Day count since 30 December 1899 (that day is 0).
long DaysFromYmd(const TYmd& d);
TYmd YmdFromDays(long days);
// A two-digit year as a date field reads it: the year from `epoch` to 99 years after it that
// ends in those digits.
inline int WidenTwoDigitYear(int twoDigits, int epoch) {
  return epoch / 100 * 100 + twoDigits + (twoDigits < epoch % 100 ? 100 : 0);
}
// "YYYYMMDD" with leading zeros.
std::string FormatYYYYMMDD(const TYmd& d);
// Reads "YYYYMMDD" untrimmed; each part may have leading blanks; false when not a valid date.
bool ReadYYYYMMDD(std::string_view text, TYmd& out);

// The one clock of the program (the system's, through the file layer); tests replace it to fix
// "today".
using TTodayFn = std::function<TYmd()>;
void SetTodayProvider(TTodayFn fn);
TYmd Today();

}  // namespace cert
