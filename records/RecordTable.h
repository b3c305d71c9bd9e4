// What the records window knows of every detail record, kept in step with the workspace.
#pragma once

#include <cstdint>
#include <vector>

#include "CertFormat.h"
#include "CertRules.h"
#include "CertScan.h"

namespace certrec {

// What one Sync found.
struct TTableChange {
  enum TKind { tcNone, tcChanged, tcInserted, tcRemoved, tcReset };
  TKind Kind = tcNone;
  int Record = -1;                 // the record changed, inserted or removed
  bool DuplicatesChanged = false;  // a record other than Record became or stopped being one
  bool HeaderChanged = false;      // the header's first failure is another one
  bool CurrentMoved = false;       // the workspace's current record is another one
};

// Per record, the first of its own rules (9 to 33) that fails and the first earlier record with
// the same provider key; 13 bytes a record. Header failures are kept apart: every record check
// tests the header first, so they say nothing about one record.
class TRecordTable {
 public:
  explicit TRecordTable(const cert::TCertFormat& cert) : FCert(cert) {}

  // Reads every record afresh.
  void Rebuild();
  // Brings the table in line with the workspace after one of its events: a record appended
  // at the end (a new record stored), the current record removed (Delete), the record that
  // was current changed (an edit stored), or else everything.
  TTableChange Sync();

  int Count() const { return static_cast<int>(FRule.size()); }
  // The position in the rule table of the record's first failing rule, or -1.
  int FirstRule(int record) const;
  bool Failing(int record) const { return FirstRule(record) >= 0; }
  // The first earlier record with the same provider key, or -1.
  int DuplicateOf(int record) const { return FDuplicateOf[static_cast<std::size_t>(record)]; }
  // Whether a later record repeats this record's provider key.
  bool Repeated(int record) const { return FRepeated[static_cast<std::size_t>(record)]; }
  // The later records that repeat this one's key, in list order.
  std::vector<int> RepeatsOf(int record) const;
  int FailingCount() const { return FFailing; }
  int DuplicateCount() const { return FDuplicates; }
  // The header's first failing rule; Field -1 when the header passes.
  const cert::TCheckResult& HeaderFailure() const { return FHeader; }
  // The first failing record after `from` (step 1) or before it (step -1), or -1.
  int NextFailing(int from, int step) const;
  // The workspace's current record at the last Sync or Rebuild.
  int Current() const { return FCurrent; }
  // Every failing rule of the record's own, in rule order.
  void Problems(int record, std::vector<cert::TCheckResult>& out) const;

 private:
  void Evaluate(int record, std::uint8_t& rule, std::uint64_t& key) const;
  void Insert(int record);
  void Remove(int record);
  bool Recheck(int record);
  // Recomputes every duplicate mark from the keys; true when any changed.
  bool FindDuplicates();
  bool CheckHeader();
  void Remember();

  const cert::TCertFormat& FCert;
  std::vector<std::uint8_t> FRule;  // kPasses when every rule passes
  std::vector<std::int32_t> FDuplicateOf;
  std::vector<std::uint64_t> FKey;  // 0: no provider key
  std::vector<bool> FRepeated;
  int FFailing = 0;
  int FDuplicates = 0;
  cert::TCheckResult FHeader{0, -1, nullptr};
  // The workspace as the last Sync saw it.
  int FCurrent = -1;
  cert::TDetailRecStatus FState = cert::drBrowse;
  mutable cert::TDetailRec FScratch, FOther;
  mutable cert::TLineScan FScan;
  mutable cert::TRuleMemo FMemo{cert::rsDetail};
};

}  // namespace certrec
