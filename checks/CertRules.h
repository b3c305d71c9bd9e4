// The fund's ordered record rules over the header and one detail record.
#pragma once

#include <string>
#include <vector>

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

// Which rules a run covers: all 33, the header's (1 to 8, which read only the header) or the
// detail record's own (9 to 33, which read only the detail record).
enum TRuleScope { rsAll, rsHeader, rsDetail };

// The rules of the scope in order; stops at the first failure.
TCheckResult CheckRecordRules(const THeaderRec& header, const TDetailRec& detail,
                              TRuleScope scope = rsAll);
// Every rule of the scope that fails, in rule order, into `out` (cleared first); its first
// entry is what CheckRecordRules returns. Rules 25 and 33 apply the same processing-type rules:
// their one failure is listed once, at the first of them that fails.
void ListFailingRules(const THeaderRec& header, const TDetailRec& detail,
                      std::vector<TCheckResult>& out, TRuleScope scope = rsAll);
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
