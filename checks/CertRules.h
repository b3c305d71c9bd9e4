// The fund's ordered record rules over the header and one detail record.
#pragma once

#include <string>

#include "CertDate.h"
#include "CertLayout.h"

namespace cert {

// Outcome of a rule run: the failing rule's position in the table, its field and message;
// Field -1 (and Rule == RuleCount()) when every rule passed.
struct TCheckResult {
  int Rule = 0;
  int Field = -1;
  const std::string* Message = nullptr;
};

// Rules 1 to 33 in order; stops at the first failure.
TCheckResult CheckRecordRules(const THeaderRec& header, const TDetailRec& detail);
// The processing-type rules alone: field 13 or 14 on failure, -1 when they pass.
TCheckResult CheckProcessingTypeRules(const TDetailRec& detail);

int RuleCount();
// For each rule in order, the field whose message slot it writes; ProcessingTypeSlot for the
// two processing-type rules, which write field 13 or 14.
const int* RuleFields();
constexpr int ProcessingTypeSlot = -2;

// Whether to lies after from moved forward by 12 months (29 February lands on 28 February);
// false when the moved date cannot be formed (a from date in 9999).
bool SpansMoreThanOneYear(const TYmd& from, const TYmd& to);

}  // namespace cert
