#include "CertDate.h"

#include <cstdio>

#include "FileSystem.h"

namespace cert {

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidYmd(const TYmd& d) {
  return d.Year >= 1 && d.Year <= 9999 && d.Month >= 1 && d.Month <= 12 && d.Day >= 1 &&
         d.Day <= DaysInMonth(d.Year, d.Month);
}

// The well-known days-from-civil algorithm, shifted so that 1899-12-30 is day 0.
static constexpr long CivilToUnixDays(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}
static constexpr long kEpochShift = -CivilToUnixDays(1899, 12, 30);

long DaysFromYmd(const TYmd& d) {
  return CivilToUnixDays(d.Year, static_cast<unsigned>(d.Month), static_cast<unsigned>(d.Day)) +
         kEpochShift;
}

TYmd YmdFromDays(long days) {
  long z = days - kEpochShift + 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return TYmd{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

std::string FormatYYYYMMDD(const TYmd& d) {
  char buf[16];
  if (d.Year < 0 || d.Month < 0 || d.Day < 0) {
    std::snprintf(buf, sizeof buf, "%04d%02d%02d", d.Year % 10000, d.Month % 100, d.Day % 100);
    return buf;
  }
  // Called for every date of every imported record: no formatted printing on the common path.
  const auto put = [&buf](int at, int value, int digits) {
    for (int k = digits - 1; k >= 0; --k, value /= 10)
      buf[at + k] = static_cast<char>('0' + value % 10);
  };
  put(0, d.Year % 10000, 4);
  put(4, d.Month % 100, 2);
  put(6, d.Day % 100, 2);
  return std::string(buf, 8);
}

// A part: leading blanks, then at least one digit, and nothing else.
static bool ReadPart(std::string_view s, int& out) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  if (i == s.size()) return false;
  int v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  out = v;
  return true;
}

bool ReadYYYYMMDD(std::string_view text, TYmd& out) {
  // Eight digits, as dates mostly are, read at once.
  if (text.size() == 8) {
    int v[8];
    bool digits = true;
    for (int i = 0; i < 8; ++i) {
      v[i] = text[static_cast<std::size_t>(i)] - '0';
      digits &= v[i] >= 0 && v[i] <= 9;
    }
    if (digits) {
      const TYmd d{v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]};
      if (!IsValidYmd(d)) return false;
      out = d;
      return true;
    }
  }
  auto part = [&](std::size_t pos, std::size_t len) {
    return pos < text.size() ? text.substr(pos, len) : std::string_view{};
  };
  TYmd d;
  if (!ReadPart(part(0, 4), d.Year) || !ReadPart(part(4, 2), d.Month) ||
      !ReadPart(part(6, 2), d.Day) || !IsValidYmd(d))
    return false;
  out = d;
  return true;
}

static TTodayFn& TodayProvider() {
  static TTodayFn fn;
  return fn;
}

void SetTodayProvider(TTodayFn fn) { TodayProvider() = std::move(fn); }

TYmd Today() {
  if (TodayProvider()) return TodayProvider()();
  const TLocalDate d = DefaultFileSystem().Today();
  return TYmd{d.Year, d.Month, d.Day};
}

}  // namespace cert
