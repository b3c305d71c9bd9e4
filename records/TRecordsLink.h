// The link between the main window and the records window: keeps the record table in step
// with the workspace, opens the records window, and moves the main window to a record.
#pragma once

#include <QPointer>
#include <memory>

#include "RecordTable.h"
#include "TfrmNewFile.h"

class TfrmRecords;

namespace certrec {

class TRecordsLink : public certwin::TWorkspaceView {
 public:
  // Attaches to the main window until destroyed; must go before the main window does.
  explicit TRecordsLink(TfrmNewFile& form);
  ~TRecordsLink() override;
  TRecordsLink(const TRecordsLink&) = delete;
  TRecordsLink& operator=(const TRecordsLink&) = delete;

  void WorkspaceChanged() override;
  void WorkspaceReset() override;
  void ShowRecords() override;
  void GotoError(int step) override;

  // Makes the record the main window's current one as navigation does (a pending edit is
  // stored first), shows it, and when it fails gives its failing field the focus.
  void GotoRecord(int record);

  TfrmNewFile& Form() const { return FForm; }
  // The table, read on first use.
  TRecordTable& Table();
  // The records window once it was shown, else nullptr.
  TfrmRecords* Window() const;

 private:
  void SayNoMoreErrors(int from, int step);

  TfrmNewFile& FForm;
  std::unique_ptr<TRecordTable> FTable;
  // A file was read while nobody looked: the table is read again when it is next needed.
  bool FStale = false;
  QPointer<TfrmRecords> FWindow;
};

}  // namespace certrec
