#include "CsvValue.h"

#include <array>
#include <memory>
#include <unordered_map>

#include "CertEntry.h"
#include "CertLayout.h"
#include "Cp1252.h"
#include "CsvText.h"
#include "PictureValidator.h"

namespace certcsv {

namespace {

using cert::FieldEntries;
using cert::FieldTable;

std::string NameKey(std::string_view name) {
  std::string key;
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z')
      key += static_cast<char>(c - 'A' + 'a');
    else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c >= 0x80)
      key += ch;
  }
  return key;
}

const std::unordered_map<std::string, int>& ColumnNames() {
  static const std::unordered_map<std::string, int> names = [] {
    std::unordered_map<std::string, int> m;
    for (const cert::TFieldDef& def : FieldTable) {
      const std::string_view prop = def.Property;
      m.emplace(NameKey(prop), def.Number);
      m.emplace(NameKey(prop.substr(1)), def.Number);
    }
    // From the last field back, so that a caption shared by a header and a detail field
    // names the detail field.
    for (int n = cert::FieldCount - 1; n >= 0; --n) m.emplace(NameKey(FieldEntries[n].Caption), n);
    return m;
  }();
  return names;
}

std::string UpperKey(std::string_view text) {
  std::string key(text);
  for (char& c : key) c = static_cast<char>(Cp1252Upper(static_cast<unsigned char>(c)));
  return key;
}

using TCodeIndex = std::unordered_map<std::string, std::string>;

// For each code field: its codes by every way of naming a row (the code, the text after
// " - ", the whole row), in upper case; the first row wins where two would share a name.
const std::array<TCodeIndex, cert::FieldCount>& ListCodes() {
  static const std::array<TCodeIndex, cert::FieldCount> codes = [] {
    std::array<TCodeIndex, cert::FieldCount> all;
    for (const cert::TFieldEntry& e : FieldEntries) {
      const std::size_t width = FieldTable[static_cast<std::size_t>(e.Number)].Width;
      TCodeIndex& index = all[static_cast<std::size_t>(e.Number)];
      for (const char* row : cert::CodeListRows(e.List)) {
        const std::string_view r = row;
        const std::string code(r.substr(0, width));
        const std::size_t dash = r.find(" - ");
        index.emplace(UpperKey(code), code);
        if (dash != std::string_view::npos) index.emplace(UpperKey(r.substr(dash + 3)), code);
        index.emplace(UpperKey(r), code);
      }
    }
    return all;
  }();
  return codes;
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

int Number(std::string_view s) {
  int v = 0;
  for (char c : s) v = v * 10 + (c - '0');
  return v;
}

// Splits "a<sep>b<sep>c" into three parts; false for any other count.
bool SplitThree(std::string_view s, char sep, std::string_view (&parts)[3]) {
  for (int k = 0; k < 2; ++k) {
    const std::size_t at = s.find(sep);
    if (at == std::string_view::npos) return false;
    parts[k] = s.substr(0, at);
    s.remove_prefix(at + 1);
  }
  parts[2] = s;
  return s.find(sep) == std::string_view::npos;
}

bool LengthIn(std::string_view s, std::size_t lo, std::size_t hi) {
  return s.size() >= lo && s.size() <= hi;
}

const char* ListName(cert::TCodeListId id) {
  switch (id) {
    case cert::clState:
      return "state";
    case cert::clInsurerType:
      return "insurer type";
    case cert::clCoverage:
      return "coverage type";
    case cert::clProvider:
      return "provider type";
    case cert::clLimited:
      return "limited coverage";
    case cert::clProcessing:
      return "processing type";
    default:
      return "";
  }
}

// Masks of digits only: the numbers, limits and identification numbers.
bool TakesDigitsOnly(std::string_view mask) {
  for (char c : mask)
    if (std::string_view("*0123456789#[]{}").find(c) == std::string_view::npos) return false;
  return true;
}

bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == 0xA0; }

// "$1,000,000" is 1000000; where the mask wants an exact count of digits (the FINs) a "-" can
// only be formatting, as in 39-1234567, while in an amount it would be a sign and is kept
// for the mask to refuse.
std::string DigitsCleaned(std::string_view value, std::string_view mask) {
  const bool fixedCount = mask.find('{') != std::string_view::npos;
  std::string out;
  for (char ch : value) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == '$' || c == ',' || IsBlank(c) || (fixedCount && c == '-')) continue;
    out += ch;
  }
  return out;
}

std::string Quoted(char c) {
  // The reason is UTF-8 text; a byte above 127 is a Windows-1252 character.
  return "\"" + cert::Cp1252ToUtf8(std::string(1, c)) + "\"";
}

}  // namespace

bool HasLiteralDigit(std::string_view mask) {
  bool inCount = false;
  for (std::size_t i = 0; i < mask.size(); ++i) {
    const bool digit = mask[i] >= '0' && mask[i] <= '9';
    if (mask[i] == ';') {
      if (i + 1 < mask.size() && mask[i + 1] >= '0' && mask[i + 1] <= '9') return true;
      ++i;
      inCount = false;
    } else if (mask[i] == '*') {
      inCount = true;
    } else if (digit && !inCount) {
      return true;
    } else if (!digit) {
      inCount = false;
    }
  }
  return false;
}

int FieldOfColumnName(std::string_view name) {
  const std::string key = NameKey(name);
  if (key.empty()) return -1;
  const auto it = ColumnNames().find(key);
  return it == ColumnNames().end() ? -1 : it->second;
}

bool ReadCsvDate(std::string_view t, cert::TYmd& out, std::string& reason) {
  cert::TYmd d;
  std::string_view p[3];
  if (t.size() == 8 && AllDigits(t)) {
    d = {Number(t.substr(0, 4)), Number(t.substr(4, 2)), Number(t.substr(6, 2))};
  } else if (SplitThree(t, '/', p) && AllDigits(p[0]) && AllDigits(p[1]) && AllDigits(p[2]) &&
             LengthIn(p[0], 1, 2) && LengthIn(p[1], 1, 2) &&
             (p[2].size() == 4 || p[2].size() == 2)) {
    const int y = Number(p[2]);
    d = {p[2].size() == 2 ? cert::WidenTwoDigitYear(y, cert::DateFieldEpoch) : y, Number(p[0]),
         Number(p[1])};
  } else if (SplitThree(t, '-', p) && AllDigits(p[0]) && AllDigits(p[1]) && AllDigits(p[2]) &&
             p[0].size() == 4 && p[1].size() == 2 && p[2].size() == 2) {
    d = {Number(p[0]), Number(p[1]), Number(p[2])};
  } else {
    reason = "is not a date in a known form (YYYYMMDD, MM/DD/YYYY, M/D/YYYY, YYYY-MM-DD, M/D/YY)";
    return false;
  }
  if (!cert::IsValidYmd(d)) {
    reason = "is not a valid date";
    return false;
  }
  // The date field takes 12/31/1899 (day 1) to 12/31/9999; day 0 means no date.
  if (cert::DaysFromYmd(d) < 1) {
    reason = "lies before 12/31/1899, the first date the field takes";
    return false;
  }
  out = d;
  return true;
}

bool FindListCode(int field, std::string_view text, std::string& code) {
  std::string key = UpperKey(text);
  // The reader's rule for the provider type: one digit is that digit with a leading zero.
  if (FieldTable[static_cast<std::size_t>(field)].Width == 2 && key.size() == 1 && key[0] >= '0' &&
      key[0] <= '9')
    key.insert(key.begin(), '0');
  const auto& codes = ListCodes()[static_cast<std::size_t>(field)];
  const auto it = codes.find(key);
  if (it == codes.end()) return false;
  code = it->second;
  return true;
}

bool TypeIntoMask(const std::string& mask, std::string_view text, std::string& out,
                  std::string& reason) {
  TwwPictureValidator v(mask, true);
  std::string cur;
  TwwPictureResult last = picEmpty;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char typed = text[i];
    std::string cand;
    const TwwPictureResult r = TypeKey(v, true, cur, std::string(1, typed), "", cand);
    last = r;
    if (r == picComplete || r == picIncomplete) {
      cur = std::move(cand);
    } else if (r == picError) {
      out = cur;
      reason = "has " + Quoted(typed) + " (character " + std::to_string(i + 1) +
               ") where the field's mask \"" + mask + "\" does not take it";
      return false;
    } else {
      cur += typed;
    }
  }
  out = cur;
  if (cur.empty() || last == picComplete) return true;
  // Leaving the field checks the text as it stands, without auto-fill (which only ever adds
  // to an incomplete text, so a complete one needs no second look).
  std::string copy = cur;
  if (v.CheckPicture(copy, false) != picComplete) {
    reason = "is incomplete for the field's mask \"" + mask + "\"";
    return false;
  }
  return true;
}

bool ConvertValue(int field, std::string_view utf8, std::string& out, std::string& reason) {
  TValueConverter converter;
  const TConversion& c = converter.Convert(field, utf8);
  out = c.Value;
  if (!c.Ok) reason = c.Reason;
  return c.Ok;
}

TValueConverter::TValueConverter() = default;
TValueConverter::~TValueConverter() = default;

const TConversion& TValueConverter::Convert(int field, std::string_view utf8) {
  TMemo& memo = FMemo[static_cast<std::size_t>(field)];
  if (!memo.Valid || memo.Text != utf8) {
    memo.Text.assign(utf8);
    TConversion& c = memo.Outcome;
    c.Reason.clear();
    c.Ok = ConvertFresh(field, utf8, c.Value, c.Reason);
    if (!c.Ok) c.Value.clear();
    memo.Valid = true;
  }
  return memo.Outcome;
}

bool TValueConverter::ConvertFresh(int field, std::string_view utf8, std::string& out,
                                   std::string& reason) {
  const std::size_t f = static_cast<std::size_t>(field);
  const cert::TFieldDef& def = FieldTable[f];
  const cert::TFieldEntry& entry = FieldEntries[f];
  out.clear();

  char32_t bad = 0;
  if (!cert::Utf8ToCp1252(utf8, FBytes, bad)) {
    reason = "holds a character that Windows-1252 cannot hold (" + CodePointName(bad) + ")";
    return false;
  }
  // Blanks around a value are the CSV's: detail values lose them when the line is built and
  // header values are padded. Only a header text keeps its leading blanks, as typed.
  std::string_view v = FBytes;
  while (!v.empty() && cert::IsBlankOrControl(v.back())) v.remove_suffix(1);
  const bool keepLeading = def.Record() == cert::rkHeader && entry.Mask &&
                           std::string_view(entry.Mask).find('@') != std::string_view::npos &&
                           !cert::IsEmptyTrimmed(v);
  if (!keepLeading) v = cert::Trim(v);
  if (v.empty()) return true;
  for (char c : v) {
    if (static_cast<unsigned char>(c) >= 32) continue;
    reason = c == '\r' || c == '\n' ? "holds a line break"
                                    : "holds a control character (" +
                                          CodePointName(static_cast<unsigned char>(c)) + ")";
    return false;
  }

  switch (def.Editor) {
    case cert::ekDateTimePicker: {
      cert::TYmd d;
      if (!ReadCsvDate(v, d, reason)) return false;
      // Eight valid digits are already the record form.
      if (v.size() == 8 && AllDigits(v))
        out.assign(v);
      else
        out = cert::FormatYYYYMMDD(d);
      return true;
    }
    case cert::ekComboBox:
      if (FindListCode(field, v, out)) return true;
      reason =
          std::string("is neither a code nor an item of the ") + ListName(entry.List) + " list";
      return false;
    case cert::ekMaskEdit:
      break;
  }
  return TypeMasked(field, v, out, reason);
}

bool TValueConverter::TypeMasked(int field, std::string_view v, std::string& out,
                                 std::string& reason) {
  const std::size_t f = static_cast<std::size_t>(field);
  const std::size_t width = FieldTable[f].Width;
  const std::string mask = FieldEntries[f].Mask;
  const std::string text = TakesDigitsOnly(mask) ? DigitsCleaned(v, mask) : std::string(v);
  if (text.size() > width) {
    reason = "is longer than the field (" + std::to_string(width) + " characters)";
    return false;
  }
  // Digits are alike to every mask element but a literal digit, so all-digit texts of one
  // length type alike: the outcome of the first, digits put back, is that of the others.
  const bool byShape = AllDigits(text) && !HasLiteralDigit(mask);
  if (byShape) {
    if (!FDigitShapes[f]) FDigitShapes[f] = std::make_unique<TShapes>();
    const std::string& shape = (*FDigitShapes[f])[text.size()];
    if (!shape.empty()) {
      out = shape;
      auto digit = text.begin();
      for (char& c : out)
        if (c >= '0' && c <= '9') c = *digit++;
      return true;
    }
  }
  if (!TypeChecked(f, text, out, reason)) return false;
  if (byShape) (*FDigitShapes[f])[text.size()] = out;
  return true;
}

bool TValueConverter::TypeChecked(std::size_t f, const std::string& text, std::string& out,
                                  std::string& reason) {
  const std::size_t width = FieldTable[f].Width;
  const char* const mask = FieldEntries[f].Mask;
  const auto tooLong = [width] {
    return "is longer than the field (" + std::to_string(width) + " characters)";
  };
  // When the whole value matches, typing it gives the same: with the window's masks every
  // beginning of such a value is taken key by key, with the same conversions.
  std::unique_ptr<TwwPictureValidator>& matcher = FMatchers[f];
  if (!matcher) matcher = std::make_unique<TwwPictureValidator>(mask, true);
  out = text;
  if (matcher->CheckPicture(out, true) == picComplete && out.size() <= width) return true;
  std::string typed;
  if (!TypeIntoMask(mask, text, typed, reason)) {
    if (typed.size() >= width) reason = tooLong();
    out.clear();
    return false;
  }
  if (typed.size() > width) {
    reason = tooLong();
    out.clear();
    return false;
  }
  out = std::move(typed);
  return true;
}

}  // namespace certcsv
