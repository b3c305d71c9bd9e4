// The preview of a CSV import: which CSV column feeds which field (changeable per column), the
// first rows as they will become records with their check, and every value that will be left
// empty; the user then appends the records to the list or replaces the list.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <functional>
#include <vector>

#include "CertFormat.h"
#include "CsvImport.h"
#include "CsvTable.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace certrec {

// One row per CSV column: its name, the field it feeds (editable) and its first value.
class TCsvMappingModel : public QAbstractTableModel {
 public:
  enum TColumn { mcName, mcField, mcFirstValue, mcCount };
  TCsvMappingModel(const certcsv::TCsvTable& table, std::vector<int>& fields,
                   std::function<void()> onChange, QObject* parent);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // The field column takes a field number, -1 for none.
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  const certcsv::TCsvTable& FTable;
  std::vector<int>& FFields;
  std::function<void()> FOnChange;
};

// A record of the preview: its CSV row, its fields, and the first rule it fails.
struct TPreviewRecord {
  int Row = 0;
  cert::TDetailRec Record;
  int FailingField = -1;
  std::string Message;
};

// The first rows as records: row, check, then the 35 fields in record form.
class TCsvPreviewModel : public QAbstractTableModel {
 public:
  TCsvPreviewModel(const cert::THeaderRec& header, const std::vector<TPreviewRecord>& records,
                   QObject* parent);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // The rows were worked out anew.
  void Reload();

 private:
  const cert::THeaderRec& FHeader;
  const std::vector<TPreviewRecord>& FRecords;
};

class TfrmCsvImport : public QDialog {
 public:
  enum TChoice { icNone, icAppend, icReplace };
  // `header` is the workspace's, which the CSV's header fields would change; `mayReplace` is
  // asked before Replace closes the preview (the save-changes prompt).
  TfrmCsvImport(certcsv::TCsvTable table, const QString& fileName, const cert::THeaderRec& header,
                std::function<bool()> mayReplace, QWidget* parent);

  static constexpr int PreviewRows = 50;

  TChoice Choice() const { return FChoice; }
  const certcsv::TCsvTable& Table() const { return FTable; }
  const std::vector<int>& Mapping() const { return FFields; }
  // The conversion as the mapping now stands (its records not kept).
  const certcsv::TCsvImport& Outcome() const { return FOutcome; }
  const std::vector<TPreviewRecord>& PreviewRecords() const { return FPreview; }

  TCsvMappingModel* MappingModel() const { return FMappingModel; }
  TCsvPreviewModel* PreviewModel() const { return FPreviewModel; }
  QPlainTextEdit* ProblemsBox() const { return memoProblems; }
  QLabel* SummaryLabel() const { return lblSummary; }
  QPushButton* AppendButton() const { return btnAppend; }
  QPushButton* ReplaceButton() const { return btnReplace; }

  void btnAppendClick();
  void btnReplaceClick();

 private:
  void BuildLayout(const QString& fileName);
  // Converts every row by the mapping and shows the outcome.
  void Refresh();

  certcsv::TCsvTable FTable;
  std::vector<int> FFields;
  cert::THeaderRec FWorkspaceHeader;
  cert::THeaderRec FHeader;  // the workspace's with the CSV's header fields
  std::function<bool()> FMayReplace;
  certcsv::TCsvImport FOutcome;
  std::vector<TPreviewRecord> FPreview;
  TChoice FChoice = icNone;

  TCsvMappingModel* FMappingModel = nullptr;
  TCsvPreviewModel* FPreviewModel = nullptr;
  QTableView* gridMapping = nullptr;
  QTableView* gridPreview = nullptr;
  QPlainTextEdit* memoProblems = nullptr;
  QLabel* lblSummary = nullptr;
  QPushButton* btnAppend = nullptr;
  QPushButton* btnReplace = nullptr;
};

}  // namespace certrec
