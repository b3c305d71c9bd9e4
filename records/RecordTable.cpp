#include "RecordTable.h"

#include "CertDuplicates.h"

namespace certrec {

namespace {

constexpr std::uint8_t kPasses = 0xFF;

}  // namespace

int TRecordTable::FirstRule(int record) const {
  const std::uint8_t r = FRule[static_cast<std::size_t>(record)];
  return r == kPasses ? -1 : r;
}

// The record's own rules decided from the line's facts (records with the facts of one seen
// before fare alike) and its key read from the same scan of the line.
void TRecordTable::Evaluate(int record, std::uint8_t& rule, std::uint64_t& key) const {
  const std::string_view line = FCert.DetailStr()[record];
  const cert::TCheckResult r = FMemo.First(cert::ListLineDetailFacts(line, FScan));
  rule = r.Field < 0 ? kPasses : static_cast<std::uint8_t>(r.Rule);
  key = cert::LineProviderKeyHash(line, FScan);
}

void TRecordTable::Problems(int record, std::vector<cert::TCheckResult>& out) const {
  cert::ParseDetailLine(FCert.DetailStr()[record], FScratch);
  cert::ListFailingRules(FCert.HeaderRec, FScratch, out, cert::rsDetail);
}

void TRecordTable::Rebuild() {
  const int n = FCert.DetailStr().Count();
  FRule.assign(static_cast<std::size_t>(n), kPasses);
  FKey.assign(static_cast<std::size_t>(n), 0);
  FDuplicateOf.assign(static_cast<std::size_t>(n), -1);
  FRepeated.assign(static_cast<std::size_t>(n), false);
  FFailing = 0;
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    Evaluate(i, FRule[k], FKey[k]);
    if (FRule[k] != kPasses) ++FFailing;
  }
  FindDuplicates();
  CheckHeader();
  Remember();
}

void TRecordTable::Remember() {
  FCurrent = FCert.DetailIndex();
  FState = FCert.DetailRecStatus;
}

bool TRecordTable::CheckHeader() {
  const cert::TCheckResult r = cert::CheckRecordRules(FCert.HeaderRec, FScratch, cert::rsHeader);
  const bool changed = r.Field != FHeader.Field || r.Message != FHeader.Message;
  FHeader = r;
  return changed;
}

bool TRecordTable::FindDuplicates() {
  cert::TDuplicateIndex index;
  index.Reserve(FKey.size());
  const std::vector<bool> repeated = FRepeated;
  FDuplicates = 0;
  std::fill(FRepeated.begin(), FRepeated.end(), false);
  bool changed = false;
  for (int i = 0; i < Count(); ++i) {
    const auto k = static_cast<std::size_t>(i);
    int first = FKey[k] == 0 ? -1 : index.FirstOrAdd(FKey[k], i);
    // Equal hashes of different keys are all but impossible; the lines tell for certain.
    if (first >= 0 && !cert::SameLineProviderKey(FCert.DetailStr()[i], FCert.DetailStr()[first]))
      first = -1;
    if (first >= 0) {
      ++FDuplicates;
      FRepeated[static_cast<std::size_t>(first)] = true;
    }
    if (FDuplicateOf[k] != first) changed = true;
    FDuplicateOf[k] = first;
  }
  return changed || FRepeated != repeated;
}

std::vector<int> TRecordTable::RepeatsOf(int record) const {
  std::vector<int> later;
  if (!Repeated(record)) return later;
  for (int i = record + 1; i < Count(); ++i)
    if (FDuplicateOf[static_cast<std::size_t>(i)] == record) later.push_back(i);
  return later;
}

int TRecordTable::NextFailing(int from, int step) const {
  for (int i = from + step; i >= 0 && i < Count(); i += step)
    if (FRule[static_cast<std::size_t>(i)] != kPasses) return i;
  return -1;
}

void TRecordTable::Insert(int record) {
  std::uint8_t rule;
  std::uint64_t key;
  Evaluate(record, rule, key);
  const auto at = static_cast<std::size_t>(record);
  FRule.insert(FRule.begin() + record, rule);
  FKey.insert(FKey.begin() + record, key);
  FDuplicateOf.insert(FDuplicateOf.begin() + record, -1);
  FRepeated.insert(FRepeated.begin() + record, false);
  if (FRule[at] != kPasses) ++FFailing;
}

void TRecordTable::Remove(int record) {
  const auto at = static_cast<std::size_t>(record);
  if (FRule[at] != kPasses) --FFailing;
  FRule.erase(FRule.begin() + record);
  FKey.erase(FKey.begin() + record);
  FDuplicateOf.erase(FDuplicateOf.begin() + record);
  FRepeated.erase(FRepeated.begin() + record);
  // Marks that name a later record move with it, so that only real changes count as changes.
  for (std::int32_t& first : FDuplicateOf)
    if (first > record) --first;
}

// Reads the record again; true when its provider key changed.
bool TRecordTable::Recheck(int record) {
  const auto at = static_cast<std::size_t>(record);
  std::uint8_t rule;
  std::uint64_t key;
  Evaluate(record, rule, key);
  FFailing += (rule != kPasses) - (FRule[at] != kPasses);
  FRule[at] = rule;
  const bool keyChanged = key != FKey[at];
  FKey[at] = key;
  return keyChanged;
}

TTableChange TRecordTable::Sync() {
  TTableChange change;
  const int n = FCert.DetailStr().Count();
  const int rows = Count();
  bool keysChanged = false;
  if (n == rows + 1) {
    // Only a stored new record adds a line, and it goes to the end.
    change.Kind = TTableChange::tcInserted;
    change.Record = n - 1;
    Insert(n - 1);
    keysChanged = true;
  } else if (n == rows - 1 && FCurrent >= 0 && FCurrent < rows) {
    // Only Delete removes a line: the one that was current.
    change.Kind = TTableChange::tcRemoved;
    change.Record = FCurrent;
    Remove(FCurrent);
    keysChanged = true;
  } else if (n == rows) {
    // Only an edit is stored into a line, the current one, and only outside drBrowse.
    if (FState == cert::drEdit && FCurrent >= 0 && FCurrent < rows) {
      change.Kind = TTableChange::tcChanged;
      change.Record = FCurrent;
      keysChanged = Recheck(FCurrent);
    }
  } else {
    Rebuild();
    change.Kind = TTableChange::tcReset;
    change.HeaderChanged = change.CurrentMoved = change.DuplicatesChanged = true;
    return change;
  }
  if (keysChanged) change.DuplicatesChanged = FindDuplicates();
  change.HeaderChanged = CheckHeader();
  change.CurrentMoved = FCert.DetailIndex() != FCurrent || change.Kind == TTableChange::tcRemoved;
  Remember();
  return change;
}

}  // namespace certrec
