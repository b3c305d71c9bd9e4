// Find as you type over the detail lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace certrec {

// Whether any detail field of a line contains a text, without regard to case: the field as
// stored, a date also as MM/DD/YYYY, a code also with its list text ("wisc" finds "WI").
class TRecordFinder {
 public:
  // The text in Windows-1252; blanks around it do not count.
  explicit TRecordFinder(std::string_view text);
  bool Empty() const { return FQuery.empty(); }
  bool Matches(std::string_view line) const;

 private:
  bool MatchesStored(std::string_view line) const;
  bool MatchesAt(std::string_view line, std::size_t pos) const;
  bool MatchesDate(std::string_view line) const;
  bool MatchesCode(std::string_view line) const;

  std::string FQuery;  // folded
  std::string FFirst;  // every byte that folds to the query's first
  bool FDates = false;
  // Per code field, the codes whose list row contains the text.
  std::vector<std::pair<int, std::vector<std::string>>> FCodes;
};

}  // namespace certrec
