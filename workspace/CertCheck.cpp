#include "CertFormat.h"
#include "CertRules.h"

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

bool TCertFormat::CheckAllForErrors() {
  const int count = FDetailStr.Count();
  if (count == 0) return false;
  const int remembered = FDetailIndex;
  int failed = -1;
  for (int i = 0; i < count && failed < 0; ++i) {
    FDetailIndex = i;
    ParseDetailLine(FDetailStr[i], DetailRec);
    failed = CheckForErrors();
  }
  if (failed < 0) {
    FDetailIndex = remembered;
    if (InList(remembered)) ParseDetailLine(FDetailStr[remembered], DetailRec);
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
