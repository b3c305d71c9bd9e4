#include "CertFormat.h"

namespace cert {

TFieldText& FieldOf(THeaderRec& h, TDetailRec& d, int number) {
  return number < HeaderFieldCount ? h.Field(number) : d.Field(number);
}

const TFieldText& FieldOf(const THeaderRec& h, const TDetailRec& d, int number) {
  return number < HeaderFieldCount ? h.Field(number) : d.Field(number);
}

TCertFormat::TCertFormat() = default;

void TCertFormat::FireDetailChange() {
  if (OnCertDetailChange) OnCertDetailChange(&FDetailStr);
}

void TCertFormat::SetStatus(TDetailRecStatus state) {
  const TDetailRecStatus prev = DetailRecStatus;
  DetailRecStatus = state;
  if (OnCertStatusChange) OnCertStatusChange(this, prev, state);
}

void TCertFormat::StoreDetailRec() {
  switch (DetailRecStatus) {
    case drNew:
      FDetailStr.Add(BuildDetailLine(DetailRec, "2"));
      FDetailIndex = FDetailStr.Count() - 1;
      break;
    case drEdit:
      if (InList(FDetailIndex)) FDetailStr.Set(FDetailIndex, BuildDetailLine(DetailRec, "2"));
      break;
    case drBrowse:
      break;
  }
}

void TCertFormat::StoreIfPending() {
  if (DetailRecStatus == drEdit || DetailRecStatus == drNew) StoreDetailRec();
}

void TCertFormat::FetchDetailRec() {
  // An index outside the list has no line to parse: show nothing rather than read past it.
  if (!InList(FDetailIndex)) {
    DetailRec.Clear();
    return;
  }
  if (OnBeforeFetchDetailRec) OnBeforeFetchDetailRec(this);
  ParseDetailLine(FDetailStr[FDetailIndex], DetailRec);
  if (CheckForErrors() == -1 && OnCertPassErrorCheck) OnCertPassErrorCheck(this);
  if (OnAfterFetchDetailRec) OnAfterFetchDetailRec(this);
}

void TCertFormat::Settle() {
  FetchDetailRec();
  SetStatus(drBrowse);
}

void TCertFormat::MoveTo(int index) {
  FDetailIndex = index;
  Settle();
  FireDetailChange();
}

int TCertFormat::ReturnIndex() const {
  if (InList(FRememberedIndex)) return FRememberedIndex;
  if (InList(FDetailIndex)) return FDetailIndex;
  return FDetailStr.Count() - 1;
}

void TCertFormat::SetDetailIndex(int value) {
  FDetailIndex = value;
  if (DetailRecStatus != drBrowse) Settle();
  FireDetailChange();
}

void TCertFormat::PostDetailRec() {
  StoreDetailRec();
  const TDetailRecStatus prev = DetailRecStatus;
  DetailRecStatus = drBrowse;
  if (CheckForErrors() == -1 && OnCertPassErrorCheck) OnCertPassErrorCheck(this);
  if (OnCertStatusChange) OnCertStatusChange(this, prev, drBrowse);
  FireDetailChange();
}

void TCertFormat::NewDetailRec() {
  FRememberedIndex = FDetailIndex;
  ChangeStatus = true;
  SetStatus(drNew);
}

void TCertFormat::CancelDetailRec() {
  FDetailIndex = ReturnIndex();
  Settle();
}

void TCertFormat::RefreshDetailRec() {
  StoreIfPending();
  FDetailIndex = ReturnIndex();
  Settle();
}

void TCertFormat::DeleteDetailRec() {
  if (!InList(FDetailIndex)) return;
  FDetailStr.Delete(FDetailIndex);
  if (FDetailStr.Count() == 0)
    FDetailIndex = -1;
  else if (FDetailIndex >= FDetailStr.Count())
    FDetailIndex = FDetailStr.Count() - 1;
  // A deletion is a change: without this, New, Open and Close would drop it without asking.
  FFileChanged = true;
  Settle();
  FireDetailChange();
}

void TCertFormat::FirstDetailRec() {
  StoreIfPending();
  MoveTo(0);
}

void TCertFormat::PriorDetailRec() {
  if (FDetailIndex <= 0) return;
  StoreIfPending();
  MoveTo(FDetailIndex - 1);
}

void TCertFormat::NextDetailRec() {
  if (FDetailIndex >= FDetailStr.Count() - 1) return;
  StoreIfPending();
  // From a new record the store has just made the appended line the last: stay on it.
  const int next = FDetailIndex + 1 < FDetailStr.Count() ? FDetailIndex + 1 : FDetailIndex;
  MoveTo(next);
}

void TCertFormat::LastDetailRec() {
  StoreIfPending();
  MoveTo(FDetailStr.Count() - 1);
}

void TCertFormat::GotoDetailRec(int Index) {
  if (Index == FDetailIndex) return;
  StoreIfPending();
  MoveTo(Index);
}

void TCertFormat::ClearWorkspace() {
  FDetailStr.Clear();
  HeaderRec.Clear();
  DetailRec.Clear();
  FDetailIndex = -1;
  FFileChanged = false;
}

}  // namespace cert
