#include "RecordFind.h"

#include <array>
#include <cstring>

#include "CertEntry.h"
#include "RecordColumns.h"
#include "TextFold.h"

namespace certrec {

namespace {

// The detail field in each 0-based position of a line, -1 outside every field.
const std::array<signed char, cert::DetailExcessCol>& FieldAt() {
  static const std::array<signed char, cert::DetailExcessCol> at = [] {
    std::array<signed char, cert::DetailExcessCol> t;
    t.fill(-1);
    for (int f = cert::FirstDetailField; f < cert::FieldCount; ++f) {
      const cert::TFieldDef& def = cert::FieldTable[static_cast<std::size_t>(f)];
      for (std::size_t c = def.FirstCol; c < def.FirstCol + def.Width; ++c)
        t[c - 1] = static_cast<signed char>(f);
    }
    return t;
  }();
  return at;
}

int FieldOfPosition(std::size_t pos) { return pos < FieldAt().size() ? FieldAt()[pos] : -1; }

}  // namespace

TRecordFinder::TRecordFinder(std::string_view text) : FQuery(Folded(cert::Trim(text))) {
  if (FQuery.empty()) return;
  for (int b = 0; b < 256; ++b)
    if (FoldTable()[static_cast<std::size_t>(b)] == static_cast<unsigned char>(FQuery[0]))
      FFirst += static_cast<char>(b);
  FDates = FQuery.find('/') != std::string::npos;
  for (int f = cert::FirstDetailField; f < cert::FieldCount; ++f) {
    const cert::TFieldEntry& entry = cert::FieldEntries[static_cast<std::size_t>(f)];
    if (entry.List == cert::clNone) continue;
    std::vector<std::string> codes;
    for (const char* row : cert::CodeListRows(entry.List)) {
      if (!ContainsFolded(row, FQuery)) continue;
      const std::string_view r(row);
      codes.emplace_back(r.substr(0, r.find(' ')));
    }
    if (!codes.empty()) FCodes.emplace_back(f, std::move(codes));
  }
}

bool TRecordFinder::Matches(std::string_view line) const {
  if (FQuery.empty()) return false;
  return MatchesStored(line) || (FDates && MatchesDate(line)) ||
         (!FCodes.empty() && MatchesCode(line));
}

// Candidates come from memchr on each byte that folds to the query's first: far faster than
// folding every byte of every line.
bool TRecordFinder::MatchesStored(std::string_view line) const {
  if (line.size() < FQuery.size()) return false;
  const char* begin = line.data();
  const char* end = begin + (line.size() - FQuery.size() + 1);
  for (const char first : FFirst) {
    for (const char* p = begin; p < end; ++p) {
      p = static_cast<const char*>(std::memchr(p, first, static_cast<std::size_t>(end - p)));
      if (!p) break;
      if (MatchesAt(line, static_cast<std::size_t>(p - begin))) return true;
    }
  }
  return false;
}

bool TRecordFinder::MatchesAt(std::string_view line, std::size_t pos) const {
  for (std::size_t k = 1; k < FQuery.size(); ++k)
    if (Fold(line[pos + k]) != static_cast<unsigned char>(FQuery[k])) return false;
  // Within one field: text that runs from one field into the next is no field's.
  const int field = FieldOfPosition(pos);
  return field >= 0 && field == FieldOfPosition(pos + FQuery.size() - 1);
}

bool TRecordFinder::MatchesDate(std::string_view line) const {
  for (int f = cert::fnDPolicyFromDate; f <= cert::fnDPolicyRetroDate; ++f) {
    const std::string_view v = FieldValue(line, f);
    // A text that is no date is shown as stored, which the stored match covers.
    if (v.size() == 8 && ContainsFolded(ShownDate(v), FQuery)) return true;
  }
  return false;
}

bool TRecordFinder::MatchesCode(std::string_view line) const {
  for (const auto& [field, codes] : FCodes) {
    const std::string_view v = FieldValue(line, field);
    for (const std::string& code : codes)
      if (v == code) return true;
  }
  return false;
}

}  // namespace certrec
