// The fund's ordered record rules over the header and one detail record.
//
// The rules are data: each fails on a condition over facts, and a fact is one bit that says
// something about one field (filled, holds a hyphen, equals a code) or about the policy dates.
// So the same table checks the workspace's records and a line straight from a file, and a
// record's facts decide its outcome: records with equal facts fare alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CertDate.h"
#include "CertLayout.h"

namespace cert {

class TLineScan;

// Outcome of a rule run: the failing rule's position in the table, its field and message, and
// for a processing-type failure the row of that table; Field -1 (and Rule == RuleCount()) when
// every rule passed.
struct TCheckResult {
  int Rule = 0;
  int Field = -1;
  const std::string* Message = nullptr;
  int Row = -1;
};

// A failing result in one byte, and back: for keeping many findings small.
std::uint8_t ResultCode(const TCheckResult& result);
TCheckResult ResultOfCode(std::uint8_t code);

// Which rules a run covers: all 33, the header's (1 to 8, which read only the header) or the
// detail record's own (9 to 33, which read only the detail record).
enum TRuleScope { rsAll, rsHeader, rsDetail };

// The facts the rules read, one bit each. Bits 0 to 34: field n holds something once trimmed.
using TFacts = std::uint64_t;
enum TFact : int {
  ftInsurerFinHyphen = FieldCount,
  ftInsurerTypeLicensed,  // exactly "1"
  ftInsuredFinHyphen,
  ftSuffixMdOrMo,           // trimmed and upper-cased, "MD" or "MO"
  ftClaimsMade,             // coverage type exactly "1"
  ftOccurrence,             // coverage type exactly "2"
  ftToBeforeFrom,           // both dates readable, the to date earlier
  ftSpansTooLong,           // both dates readable, the to date after the from date plus a year
  ftNewOrRenewal,           // processing type, trimmed, "1"
  ftRevisedCertificate,     // "2"
  ftTerminatedCertificate,  // "3"
  ftCount
};
static_assert(ftCount <= 64);

// The facts of the header (fields 0 to 8 of the view) and of the detail record (9 to 34).
TFacts HeaderFacts(const TRecordView& view);
TFacts HeaderFacts(const THeaderRec& header);
TFacts DetailFacts(const TRecordView& view);
// DetailFacts of a line, as ViewDetailLine or ViewFileLine would show it, from its scan.
TFacts LineDetailFacts(std::string_view line, const TLineScan& scan);
// DetailFacts of a list line, which always has the layout's length: scanned into `scan`, whose
// result then also serves for the line's provider key.
TFacts ListLineDetailFacts(std::string_view line, TLineScan& scan);
TFacts RecordFacts(const THeaderRec& header, const TDetailRec& detail);

// The rules of the scope in order; stops at the first failure.
TCheckResult CheckRecordRules(TFacts facts, TRuleScope scope = rsAll);
TCheckResult CheckRecordRules(const THeaderRec& header, const TDetailRec& detail,
                              TRuleScope scope = rsAll);
// Every rule of the scope that fails, in rule order, into `out` (cleared first); its first
// entry is what CheckRecordRules returns. Rules 25 and 33 apply the same processing-type rules:
// their one failure is listed once, at the first of them that fails.
void ListFailingRules(TFacts facts, std::vector<TCheckResult>& out, TRuleScope scope = rsAll);
void ListFailingRules(const THeaderRec& header, const TDetailRec& detail,
                      std::vector<TCheckResult>& out, TRuleScope scope = rsAll);
// The processing-type rules alone: field 13 or 14 on failure, -1 when they pass.
TCheckResult CheckProcessingTypeRules(TFacts facts);
TCheckResult CheckProcessingTypeRules(const TDetailRec& detail);

// CheckRecordRules of one scope, remembered for the last few hundred distinct facts: a file's
// records mostly share a handful.
class TRuleMemo {
 public:
  explicit TRuleMemo(TRuleScope scope = rsAll);
  TCheckResult First(TFacts facts);

 private:
  static constexpr int kBits = 8;
  struct TEntry {
    TFacts Facts = 0;
    std::uint8_t Code = 0;
    bool Used = false;
  };
  TRuleScope FScope;
  TEntry FEntries[1 << kBits];
};

int RuleCount();
// For each rule in order, the field whose message slot it writes; ProcessingTypeSlot for the
// two processing-type rules, which write field 13 or 14.
const int* RuleFields();
constexpr int ProcessingTypeSlot = -2;

// Whether to lies after from moved forward by 12 months (29 February lands on 28 February);
// false when the moved date cannot be formed (a from date in 9999).
bool SpansMoreThanOneYear(const TYmd& from, const TYmd& to);

}  // namespace cert
