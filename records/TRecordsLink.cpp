#include "TRecordsLink.h"

#include "TfrmRecords.h"

namespace certrec {

TRecordsLink::TRecordsLink(TfrmNewFile& form) : FForm(form) { FForm.SetWorkspaceView(this); }

TRecordsLink::~TRecordsLink() {
  FForm.SetWorkspaceView(nullptr);
  delete FWindow.data();
}

TfrmRecords* TRecordsLink::Window() const { return FWindow.data(); }

TRecordTable& TRecordsLink::Table() {
  if (!FTable) {
    FTable = std::make_unique<TRecordTable>(FForm.CertFormat1);
    FStale = true;
  }
  if (FStale) {
    FTable->Rebuild();
    FStale = false;
    if (FWindow) FWindow->Reset();
  }
  return *FTable;
}

void TRecordsLink::WorkspaceChanged() {
  if (!FTable || FStale) return;
  const TTableChange change = FTable->Sync();
  if (FWindow) FWindow->Apply(change);
}

void TRecordsLink::WorkspaceReset() {
  if (!FTable) return;
  FStale = true;
  if (FWindow && FWindow->isVisible()) Table();
}

void TRecordsLink::ShowRecords() {
  Table();
  if (!FWindow) {
    FWindow = new TfrmRecords(*this);
    FWindow->Reset();
  }
  FWindow->show();
  FWindow->raise();
  FWindow->activateWindow();
}

void TRecordsLink::GotoRecord(int record) {
  cert::TCertFormat& c = FForm.CertFormat1;
  if (record < 0 || record >= c.DetailStr().Count()) return;
  // Navigation to the index a new record started from would keep the new record pending.
  if (c.DetailRecStatus == cert::drNew && record == c.DetailIndex()) c.PostDetailRec();
  c.GotoDetailRec(record);
  FForm.ShowDetail(false);
  const cert::TCheckResult failed = cert::CheckRecordRules(c.HeaderRec, c.DetailRec);
  if (failed.Field < 0) return;
  FForm.raise();
  FForm.activateWindow();
  FForm.FieldEditor(failed.Field)->setFocus(Qt::OtherFocusReason);
}

void TRecordsLink::GotoError(int step) {
  const int from = FForm.CertFormat1.DetailIndex();
  const int target = Table().NextFailing(from, step);
  if (target < 0)
    SayNoMoreErrors(from, step);
  else
    GotoRecord(target);
}

void TRecordsLink::SayNoMoreErrors(int from, int step) {
  const int n = FForm.CertFormat1.DetailStr().Count();
  QString text = QStringLiteral("No failing record.");
  if (from >= 0 && from < n && Table().FailingCount() > 0)
    text = (step > 0 ? QStringLiteral("No failing record after record %1.")
                     : QStringLiteral("No failing record before record %1."))
               .arg(from + 1);
  FForm.ShowErrorLine(text);
  FForm.Dialogs().Beep();
  if (FWindow) FWindow->SetNotice(text);
}

}  // namespace certrec
