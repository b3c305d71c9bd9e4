#include "CertFormat.h"
#include "CertRules.h"
#include "CertScan.h"

namespace cert {

int TCertFormat::ReportFailure(int field, const std::string& message) {
  TCertObject& slot = FFields[static_cast<std::size_t>(field)];
  slot.ErrorMsg = message;
  if (OnCertError) OnCertError(slot.Editor, field, message);
  return field;
}

void TCertFormat::ClearSlotsBefore(int rule) {
  const int* fields = RuleFields();
  for (int k = 0; k < rule; ++k) {
    const int field = fields[k];
    if (field == ProcessingTypeSlot) {
      FFields[fnDPolicyRevisedDate].ErrorMsg.clear();
      FFields[fnDPolicyTerminatedDate].ErrorMsg.clear();
    } else {
      FFields[static_cast<std::size_t>(field)].ErrorMsg.clear();
    }
  }
}

int TCertFormat::CheckForErrors() {
  const TCheckResult r = CheckRecordRules(HeaderRec, DetailRec);
  ClearSlotsBefore(r.Rule);
  if (r.Field < 0) {
    FieldErrorIndex = -1;
    return -1;
  }
  return ReportFailure(r.Field, *r.Message);
}

int TCertFormat::CheckProcessingType() {
  const TCheckResult r = CheckProcessingTypeRules(DetailRec);
  return r.Field < 0 ? -1 : ReportFailure(r.Field, *r.Message);
}

// The first record that fails, found from each line's facts without parsing it: records with
// the facts of one that passed pass too. Only the failing record (or the one returned to) is
// parsed and checked with its reporting, after what the checks of the passing records before
// it would have left: every slot cleared and FieldErrorIndex -1.
bool TCertFormat::CheckAllForErrors() {
  const int count = FDetailStr.Count();
  if (count == 0) return false;
  const int remembered = FDetailIndex;
  const TFacts header = HeaderFacts(HeaderRec);
  TRuleMemo memo;
  TLineScan scan;
  int failedAt = 0;
  for (; failedAt < count; ++failedAt) {
    if (memo.First(header | ListLineDetailFacts(FDetailStr[failedAt], scan)).Field >= 0) break;
  }
  if (failedAt > 0) {
    ClearSlotsBefore(RuleCount());
    FieldErrorIndex = -1;
  }
  int failed = -1;
  if (failedAt < count) {
    FDetailIndex = failedAt;
    ParseDetailLine(FDetailStr[failedAt], DetailRec);
    failed = CheckForErrors();
  } else {
    FDetailIndex = remembered;
    ParseDetailLine(FDetailStr[InList(remembered) ? remembered : count - 1], DetailRec);
  }
  if (OnCertCheckAllForErrors) {
    if (failed >= 0) {
      const TCertObject& slot = FFields[static_cast<std::size_t>(failed)];
      OnCertCheckAllForErrors(slot.Editor, failed, slot.ErrorMsg, false);
    } else {
      OnCertCheckAllForErrors(nullptr, -1, std::string(), true);
    }
    FireDetailChange();
  }
  return failed < 0;
}

}  // namespace cert
