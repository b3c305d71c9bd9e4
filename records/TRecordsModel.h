// The rows of the records window: a virtual table over the detail lines, filtered and sorted
// through one vector of record numbers; no copied text and no widget per row.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <vector>

#include "RecordFind.h"
#include "RecordTable.h"

namespace certrec {

enum TRecordFilter { rfAll, rfFailing, rfDuplicates };

class TRecordsModel : public QAbstractTableModel {
 public:
  TRecordsModel(const cert::TCertFormat& cert, const TRecordTable& table, QObject* parent);

  // Starts over from the table (after a Rebuild).
  void Reset();
  // Passes one Sync's outcome on as rows inserted, removed or changed.
  void Apply(const TTableChange& change);
  void SetFilter(TRecordFilter filter);
  TRecordFilter Filter() const { return FFilter; }

  // The record (0-based) a row shows; -1 for none.
  int RecordAt(int row) const;
  // The row that shows a record, or -1 when the filter hides it.
  int RowOf(int record) const;
  // The first row from `row` on (step 1) or back (step -1) whose record the finder matches,
  // going round the end; `row` itself is tried first when `inclusive`. -1 when none does.
  int FindRow(const TRecordFinder& finder, int row, int step, bool inclusive) const;
  // The record's name, every rule it fails and its possible duplicates, a line each.
  QString Describe(int record) const { return ToolTip(Row(record)); }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void sort(int column, Qt::SortOrder order) override;

 private:
  // What data() needs of one record, read once for all its cells.
  struct TRowCache {
    int Record = -1;
    cert::TDetailRec Rec;
    std::vector<cert::TCheckResult> Problems;
    unsigned long long FailingFields = 0;  // bit N: a rule of field N fails
  };
  const TRowCache& Row(int record) const;
  QVariant Display(const TRowCache& row, int column) const;
  QVariant Background(const TRowCache& row, int column) const;
  QString StatusText(int record) const;
  QString ToolTip(const TRowCache& row) const;

  bool Passes(int record) const;
  bool Sorted() const;
  bool Less(int a, int b) const;
  int Compare(int a, int b) const;
  int StatusRank(int record) const;
  void SortRows(std::vector<int>& rows) const;
  std::vector<int> MappedRows() const;
  // The rows again after a change of filter, sort or records.
  void Remap();
  void InsertRecord(int record);
  void RemoveRecord(int record);
  void ChangeRecord(int record);
  void InsertMapped(int record);
  void AllChanged();

  const cert::TCertFormat& FCert;
  const TRecordTable& FTable;
  TRecordFilter FFilter = rfAll;
  int FSortColumn = 0;
  Qt::SortOrder FSortOrder = Qt::AscendingOrder;
  // All records in list order: no vector at all, and the row is the record.
  bool FIdentity = true;
  int FCount = 0;          // rows while FIdentity
  std::vector<int> FRows;  // records shown, in row order, otherwise
  mutable TRowCache FCache;
  QIcon FFailingIcon, FDuplicateIcon;
};

}  // namespace certrec
