// The fund's rules over every record of a workspace, going on past failing records.
#pragma once

#include <string>
#include <vector>

namespace cert {
class TCertFormat;
}

namespace certcsv {

struct TRecordFinding {
  int Record;  // 1-based; 0 for the header
  int Field;
  std::string Message;
};

// The first failing rule of each record, by the rule table Verify uses. A failing header
// fails every record on the same rule, so it is reported once, as record 0, and ends the
// check.
std::vector<TRecordFinding> CheckRecords(const cert::TCertFormat& cert);

// Records that fail: all of them when the header does.
int FailingRecords(const std::vector<TRecordFinding>& findings, int records);

}  // namespace certcsv
