// The records window: every detail record in a table with its status, the header's failure,
// filter, find, the details of the selected record and the problem list.
#pragma once

#include <QWidget>
#include <memory>
#include <vector>

#include "RecordFind.h"
#include "TRecordsModel.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QTableView;

namespace certrec {
class TRecordsLink;
}

class TfrmRecords : public QWidget {
 public:
  // A window of its own, owned by the main window, which it neither blocks nor covers.
  explicit TfrmRecords(certrec::TRecordsLink& link);

  certrec::TRecordsModel* Model() const { return FModel; }
  QTableView* Grid() const { return gridRecords; }
  QComboBox* FilterBox() const { return cbFilter; }
  QLineEdit* FindBox() const { return editFind; }
  QLabel* Banner() const { return lblBanner; }
  QLabel* Summary() const { return lblSummary; }
  QPlainTextEdit* Details() const { return memoDetails; }
  // Menus others add commands to.
  QMenuBar* MenuBar() const { return FMenuBar; }
  QMenu* FileMenu() const { return FFileMenu; }

  // The table was read afresh.
  void Reset();
  // One change the table saw.
  void Apply(const certrec::TTableChange& change);
  // A note shown after the summary until the next change.
  void SetNotice(const QString& text);

  // The record of the current row, or -1.
  int SelectedRecord() const;
  // Makes the record's row current, or none when the filter hides it.
  void SelectRecord(int record);
  // F3 (1) and Shift+F3 (-1): the next or previous row that matches the find box.
  void FindNext(int step);
  // Enter and a double click: the main window goes to the current row's record.
  void GotoSelected();
  void ExportProblemList();
  // File > Import CSV...: the file, its preview, then its records appended or in place of the
  // list. File > Export CSV...: the list (a pending edit posted first) as CSV.
  void ImportCsv();
  void ExportCsv();
  void ShowColumn(int column, bool shown);
  bool ColumnShown(int column) const;
  // Help > About...: the tool's name, version and what it is for.
  void ShowAbout();

 private:
  void BuildMenus();
  void BuildTop();
  void BuildGrid();
  void BuildHelpMenu();
  // Asks where to save (beside the open file by default), confirms replacing a file and saves
  // the bytes through the file layer; false when the user declined or the save failed.
  bool SaveAs(const QString& title, const QString& suffix, const QString& fallback,
              const std::string& bytes, QString& chosen);
  void LoadColumns();
  void SaveColumns() const;
  void editFindChange();
  void cbFilterChange(int index);
  void ShowMatch(int row);
  void UpdateSummary();
  void UpdateBanner();
  void UpdateDetails();

  certrec::TRecordsLink& FLink;
  certrec::TRecordsModel* FModel = nullptr;
  std::unique_ptr<certrec::TRecordFinder> FFinder;
  QString FNotice;
  int FSelectedBeforeReset = -1;
  std::vector<QAction*> FColumnActions;  // by column; nullptr for fixed columns

  QMenuBar* FMenuBar = nullptr;
  QMenu* FFileMenu = nullptr;
  QComboBox* cbFilter = nullptr;
  QLineEdit* editFind = nullptr;
  QLabel* lblBanner = nullptr;
  QTableView* gridRecords = nullptr;
  QPlainTextEdit* memoDetails = nullptr;
  QLabel* lblSummary = nullptr;
};
