#include "TRecordsModel.h"

#include <QApplication>
#include <QColor>
#include <QStyle>
#include <algorithm>

#include "CertEntry.h"
#include "EditorSupport.h"
#include "RecordColumns.h"
#include "TextFold.h"

namespace certrec {

namespace {

const QColor kFailingRow(255, 228, 225);
const QColor kFailingCell(255, 170, 160);
const QColor kDuplicateRow(255, 246, 204);

QString Text(const std::string& cp1252) { return wwed::FromCp1252(cp1252); }

// The name the insured is shown and sorted by first: the company, or the last name.
std::string_view InsuredFirst(std::string_view line) {
  const std::string_view company = FieldValue(line, cert::fnDInsuredCompanyName);
  return company.empty() ? FieldValue(line, cert::fnDInsuredLastName) : company;
}

// Orders the insured as shown: the company, or the last name, then the given names.
int CompareInsured(std::string_view a, std::string_view b) {
  if (const int c = CompareFolded(InsuredFirst(a), InsuredFirst(b))) return c;
  for (int f : {cert::fnDInsuredFirstName, cert::fnDInsuredMidName, cert::fnDInsuredSuffix})
    if (const int c = CompareFolded(FieldValue(a, f), FieldValue(b, f))) return c;
  return 0;
}

}  // namespace

TRecordsModel::TRecordsModel(const cert::TCertFormat& cert, const TRecordTable& table,
                             QObject* parent)
    : QAbstractTableModel(parent),
      FCert(cert),
      FTable(table),
      FFailingIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical)),
      FDuplicateIcon(QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning)) {
  FCount = FTable.Count();
}

// ---- Rows ----------------------------------------------------------------------------------

int TRecordsModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return FIdentity ? FCount : static_cast<int>(FRows.size());
}

int TRecordsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(RecordColumns().size());
}

int TRecordsModel::RecordAt(int row) const {
  if (row < 0 || row >= rowCount()) return -1;
  const int record = FIdentity ? row : FRows[static_cast<std::size_t>(row)];
  // Between a change of the table and the signal that tells the views, rows can lag behind.
  return record < FTable.Count() ? record : -1;
}

int TRecordsModel::RowOf(int record) const {
  if (record < 0) return -1;
  if (FIdentity) return record < FCount ? record : -1;
  if (!Sorted()) {
    const auto at = std::lower_bound(FRows.begin(), FRows.end(), record);
    return at != FRows.end() && *at == record ? static_cast<int>(at - FRows.begin()) : -1;
  }
  const auto at = std::find(FRows.begin(), FRows.end(), record);
  return at == FRows.end() ? -1 : static_cast<int>(at - FRows.begin());
}

bool TRecordsModel::Passes(int record) const {
  switch (FFilter) {
    case rfFailing:
      return FTable.Failing(record);
    case rfDuplicates:
      return FTable.DuplicateOf(record) >= 0 || FTable.Repeated(record);
    default:
      return true;
  }
}

bool TRecordsModel::Sorted() const {
  return !(FSortColumn == 0 && FSortOrder == Qt::AscendingOrder);
}

int TRecordsModel::Compare(int a, int b) const {
  const TColumn& column = RecordColumns()[static_cast<std::size_t>(FSortColumn)];
  const auto& lines = FCert.DetailStr();
  switch (column.Kind) {
    case ckRecord:
      return a < b ? -1 : a > b ? 1 : 0;
    case ckStatus: {
      const int ra = StatusRank(a), rb = StatusRank(b);
      return ra < rb ? -1 : ra > rb ? 1 : 0;
    }
    case ckInsured:
      return CompareInsured(lines[a], lines[b]);
    default:
      return CompareField(FieldValue(lines[a], column.Field), FieldValue(lines[b], column.Field));
  }
}

// Equal values keep list order whichever way the column sorts, so that every record has one
// place: a row changed or inserted goes exactly where sorting afresh would put it.
// Failing records by their first failing rule, then duplicates, then the rest.
int TRecordsModel::StatusRank(int record) const {
  if (FTable.Failing(record)) return FTable.FirstRule(record);
  if (FTable.DuplicateOf(record) >= 0) return 100;
  return FTable.Repeated(record) ? 101 : 102;
}

bool TRecordsModel::Less(int a, int b) const {
  const int c = Compare(a, b);
  if (c == 0) return a < b;
  return FSortOrder == Qt::AscendingOrder ? c < 0 : c > 0;
}

std::vector<int> TRecordsModel::MappedRows() const {
  std::vector<int> rows;
  const int n = FTable.Count();
  if (FFilter == rfAll) {
    rows.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) rows[static_cast<std::size_t>(i)] = i;
  } else {
    for (int i = 0; i < n; ++i)
      if (Passes(i)) rows.push_back(i);
  }
  if (Sorted()) SortRows(rows);
  return rows;
}

namespace {

// A record, where in its line the value it sorts by lies, and the value's first bytes: 16
// bytes, so that sorting a million rows needs 16 MB beside the rows themselves, and most
// comparisons are settled without reading two lines from all over the list.
struct TSortKey {
  std::int32_t Record;
  std::uint16_t Start;
  std::uint8_t Length;
  char First[9];
  std::string_view Prefix() const { return {First, Length < 9 ? Length : std::uint8_t{9}}; }
  bool Whole() const { return Length <= sizeof First; }
};
static_assert(sizeof(TSortKey) == 16);

TSortKey KeyOf(int record, std::string_view line, std::string_view value) {
  TSortKey k{record,
             static_cast<std::uint16_t>(value.data() - line.data()),
             static_cast<std::uint8_t>(value.size()),
             {}};
  value.copy(k.First, sizeof k.First);
  return k;
}

// CompareFolded of two keys' values where their first bytes settle it; 2 where they do not.
int CompareFoldedPrefix(const TSortKey& x, const TSortKey& y) {
  const std::string_view a = x.Prefix(), b = y.Prefix();
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const unsigned char p = Fold(a[i]), q = Fold(b[i]);
    if (p != q) return p < q ? -1 : 1;
  }
  // Equal so far: a value that ends here is the shorter, and sorts first.
  if (x.Length == n || y.Length == n)
    return x.Length == y.Length ? 0 : x.Length < y.Length ? -1 : 1;
  return 2;
}

}  // namespace

// Sorts by the values found once, not once a comparison: the same order as Less.
void TRecordsModel::SortRows(std::vector<int>& rows) const {
  const TColumn& column = RecordColumns()[static_cast<std::size_t>(FSortColumn)];
  const bool ascending = FSortOrder == Qt::AscendingOrder;
  const auto& lines = FCert.DetailStr();
  auto before = [ascending](int c, int a, int b) {
    return c != 0 ? (ascending ? c < 0 : c > 0) : a < b;
  };
  if (column.Kind == ckRecord) {
    std::sort(rows.begin(), rows.end(), [this](int a, int b) { return Less(a, b); });
    return;
  }
  if (column.Kind == ckStatus) {
    std::vector<std::pair<std::int32_t, std::int32_t>> keyed;
    keyed.reserve(rows.size());
    for (int r : rows) keyed.emplace_back(StatusRank(r), r);
    std::sort(keyed.begin(), keyed.end(), [&before](const auto& x, const auto& y) {
      return before(x.first < y.first ? -1 : x.first > y.first, x.second, y.second);
    });
    for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = keyed[k].second;
    return;
  }
  const bool insured = column.Kind == ckInsured;
  std::vector<TSortKey> keyed;
  keyed.reserve(rows.size());
  for (int r : rows) {
    const std::string_view line = lines[r];
    keyed.push_back(KeyOf(r, line, insured ? InsuredFirst(line) : FieldValue(line, column.Field)));
  }
  auto value = [&lines](const TSortKey& k) {
    return std::string_view(lines[k.Record]).substr(k.Start, k.Length);
  };
  auto compareFirst = [&](const TSortKey& x, const TSortKey& y) {
    const int c = CompareFoldedPrefix(x, y);
    return c == 2 ? CompareFolded(value(x), value(y)) : c;
  };
  std::sort(keyed.begin(), keyed.end(), [&](const TSortKey& x, const TSortKey& y) {
    int c;
    if (insured)
      c = compareFirst(x, y);
    else if (x.Whole() && y.Whole())
      c = CompareField(x.Prefix(), y.Prefix());
    else
      c = CompareField(value(x), value(y));
    return before(c, x.Record, y.Record);
  });
  // Records of one name are then put in the order of their given names. Only those records' lines
  // are read, and each run of them soon lies in the cache: comparing their lines from the start
  // would read two lines from all over the list for each comparison.
  struct TGiven {
    std::int32_t Record;
    std::string_view Names[3];  // first and middle name, suffix
  };
  std::vector<TGiven> given;
  for (std::size_t i = 0; insured && i < keyed.size();) {
    std::size_t j = i + 1;
    while (j < keyed.size() && compareFirst(keyed[i], keyed[j]) == 0) ++j;
    if (j - i > 1) {
      given.clear();
      for (std::size_t k = i; k < j; ++k) {
        const std::string_view line = lines[keyed[k].Record];
        given.push_back({keyed[k].Record,
                         {FieldValue(line, cert::fnDInsuredFirstName),
                          FieldValue(line, cert::fnDInsuredMidName),
                          FieldValue(line, cert::fnDInsuredSuffix)}});
      }
      std::sort(given.begin(), given.end(), [&](const TGiven& x, const TGiven& y) {
        int c = 0;
        for (int f = 0; f < 3 && c == 0; ++f) c = CompareFolded(x.Names[f], y.Names[f]);
        return before(c, x.Record, y.Record);
      });
      for (std::size_t k = i; k < j; ++k) keyed[k].Record = given[k - i].Record;
    }
    i = j;
  }
  for (std::size_t k = 0; k < rows.size(); ++k) rows[k] = keyed[k].Record;
}

void TRecordsModel::Remap() {
  FIdentity = FFilter == rfAll && !Sorted();
  FCount = FTable.Count();
  // Rows are records themselves unless a filter or a sort is on.
  if (FIdentity)
    std::vector<int>().swap(FRows);
  else
    FRows = MappedRows();
}

void TRecordsModel::Reset() {
  beginResetModel();
  FCache.Record = -1;
  Remap();
  endResetModel();
}

void TRecordsModel::SetFilter(TRecordFilter filter) {
  if (filter == FFilter) return;
  FFilter = filter;
  Reset();
}

void TRecordsModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= columnCount()) return;
  if (column == FSortColumn && order == FSortOrder) return;
  FSortColumn = column;
  FSortOrder = order;
  // The same rows in another order: the views keep their selection.
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList before = persistentIndexList();
  std::vector<int> records;
  for (const QModelIndex& i : before) records.push_back(RecordAt(i.row()));
  Remap();
  QModelIndexList after;
  for (int k = 0; k < before.size(); ++k) {
    const int row = RowOf(records[static_cast<std::size_t>(k)]);
    after << (row < 0 ? QModelIndex() : index(row, before[k].column()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// ---- Changes -------------------------------------------------------------------------------

void TRecordsModel::AllChanged() {
  if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void TRecordsModel::InsertMapped(int record) {
  const auto at = Sorted() ? std::lower_bound(FRows.begin(), FRows.end(), record,
                                              [this](int a, int b) { return Less(a, b); })
                           : std::lower_bound(FRows.begin(), FRows.end(), record);
  const int row = static_cast<int>(at - FRows.begin());
  beginInsertRows(QModelIndex(), row, row);
  FRows.insert(FRows.begin() + row, record);
  endInsertRows();
}

void TRecordsModel::InsertRecord(int record) {
  if (FIdentity) {
    beginInsertRows(QModelIndex(), record, record);
    ++FCount;
    endInsertRows();
    return;
  }
  for (int& r : FRows)
    if (r >= record) ++r;
  if (Passes(record)) InsertMapped(record);
}

void TRecordsModel::RemoveRecord(int record) {
  if (FIdentity) {
    beginRemoveRows(QModelIndex(), record, record);
    --FCount;
    endRemoveRows();
    return;
  }
  const int row = RowOf(record);
  if (row >= 0) {
    beginRemoveRows(QModelIndex(), row, row);
    FRows.erase(FRows.begin() + row);
    endRemoveRows();
  }
  for (int& r : FRows)
    if (r > record) --r;
  AllChanged();  // the record numbers after it
}

void TRecordsModel::ChangeRecord(int record) {
  const int row = RowOf(record);
  if (FIdentity) {
    if (row >= 0) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    return;
  }
  const bool passes = Passes(record);
  if (row < 0) {
    if (passes) InsertMapped(record);
    return;
  }
  const auto at = static_cast<std::size_t>(row);
  const bool outOfOrder = Sorted() && ((row > 0 && Less(record, FRows[at - 1])) ||
                                       (at + 1 < FRows.size() && Less(FRows[at + 1], record)));
  if (!passes || outOfOrder) {
    beginRemoveRows(QModelIndex(), row, row);
    FRows.erase(FRows.begin() + row);
    endRemoveRows();
    if (passes) InsertMapped(record);
    return;
  }
  emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void TRecordsModel::Apply(const TTableChange& change) {
  FCache.Record = -1;
  switch (change.Kind) {
    case TTableChange::tcReset:
      Reset();
      return;
    case TTableChange::tcInserted:
      InsertRecord(change.Record);
      break;
    case TTableChange::tcRemoved:
      RemoveRecord(change.Record);
      break;
    case TTableChange::tcChanged:
      ChangeRecord(change.Record);
      break;
    case TTableChange::tcNone:
      break;
  }
  if (!change.DuplicatesChanged) return;
  const bool byStatus = RecordColumns()[static_cast<std::size_t>(FSortColumn)].Kind == ckStatus;
  if (FFilter == rfDuplicates || (byStatus && Sorted()))
    Reset();
  else
    AllChanged();
}

// ---- Find ----------------------------------------------------------------------------------

int TRecordsModel::FindRow(const TRecordFinder& finder, int row, int step, bool inclusive) const {
  const int n = rowCount();
  if (n == 0 || finder.Empty()) return -1;
  if (row < 0 || row >= n) {
    row = step > 0 ? 0 : n - 1;
    inclusive = true;
  }
  const auto& lines = FCert.DetailStr();
  int r = inclusive ? row : (row + step + n) % n;
  for (int k = 0; k < n; ++k, r = (r + step + n) % n) {
    const int record = RecordAt(r);
    if (record >= 0 && finder.Matches(lines[record])) return r;
  }
  return -1;
}

// ---- Cells ---------------------------------------------------------------------------------

const TRecordsModel::TRowCache& TRecordsModel::Row(int record) const {
  if (FCache.Record == record) return FCache;
  FCache.Record = record;
  cert::ParseDetailLine(FCert.DetailStr()[record], FCache.Rec);
  FCache.FailingFields = 0;
  if (FTable.Failing(record)) {
    FTable.Problems(record, FCache.Problems);
    for (const cert::TCheckResult& p : FCache.Problems) FCache.FailingFields |= 1ULL << p.Field;
  } else {
    FCache.Problems.clear();
  }
  return FCache;
}

QString TRecordsModel::StatusText(int record) const {
  const TRowCache& row = Row(record);
  if (!row.Problems.empty()) {
    return Text(ProblemText(row.Problems.front()));
  }
  if (FTable.DuplicateOf(record) >= 0) return Text(DuplicateText(FTable.DuplicateOf(record)));
  if (FTable.Repeated(record)) return QStringLiteral("Has possible duplicates");
  return QStringLiteral("OK");
}

QVariant TRecordsModel::Display(const TRowCache& row, int column) const {
  const TColumn& c = RecordColumns()[static_cast<std::size_t>(column)];
  switch (c.Kind) {
    case ckRecord:
      return row.Record + 1;
    case ckStatus:
      return StatusText(row.Record);
    case ckInsured:
      return Text(InsuredName(row.Rec));
    default:
      return Text(FieldText(row.Rec, c.Field));
  }
}

QVariant TRecordsModel::Background(const TRowCache& row, int column) const {
  if (!row.Problems.empty()) {
    const TColumn& c = RecordColumns()[static_cast<std::size_t>(column)];
    bool cell = c.Kind == ckStatus;
    if (c.Kind == ckField) cell = row.FailingFields & (1ULL << c.Field);
    if (c.Kind == ckInsured)
      for (int f = cert::fnDInsuredCompanyName; f <= cert::fnDInsuredSuffix; ++f)
        cell = cell || (row.FailingFields & (1ULL << f));
    return cell ? kFailingCell : kFailingRow;
  }
  if (FTable.DuplicateOf(row.Record) >= 0 || FTable.Repeated(row.Record)) return kDuplicateRow;
  return QVariant();
}

QString TRecordsModel::ToolTip(const TRowCache& row) const {
  QStringList lines;
  lines << QStringLiteral("Record %1: %2").arg(row.Record + 1).arg(Text(InsuredName(row.Rec)));
  for (const cert::TCheckResult& p : row.Problems) lines << Text(ProblemText(p));
  const int first = FTable.DuplicateOf(row.Record);
  if (first >= 0) lines << Text(DuplicateText(first));
  if (FTable.Repeated(row.Record)) {
    QStringList later;
    for (int r : FTable.RepeatsOf(row.Record)) later << QString::number(r + 1);
    lines << (later.size() == 1 ? QStringLiteral("Possible duplicate: record %1")
                                : QStringLiteral("Possible duplicates: records %1"))
                 .arg(later.join(QStringLiteral(", ")));
  }
  if (lines.size() == 1) lines << QStringLiteral("Passes every rule");
  return lines.join(QLatin1Char('\n'));
}

QVariant TRecordsModel::data(const QModelIndex& index, int role) const {
  const int record = RecordAt(index.row());
  if (record < 0 || index.column() < 0 || index.column() >= columnCount()) return QVariant();
  const bool status = RecordColumns()[static_cast<std::size_t>(index.column())].Kind == ckStatus;
  switch (role) {
    case Qt::DisplayRole:
      return Display(Row(record), index.column());
    case Qt::ToolTipRole:
      return ToolTip(Row(record));
    case Qt::BackgroundRole:
      return Background(Row(record), index.column());
    case Qt::DecorationRole:
      if (!status) return QVariant();
      if (FTable.Failing(record)) return FFailingIcon;
      if (FTable.DuplicateOf(record) >= 0 || FTable.Repeated(record)) return FDuplicateIcon;
      return QVariant();
    case Qt::TextAlignmentRole:
      if (RecordColumns()[static_cast<std::size_t>(index.column())].Kind == ckRecord)
        return int(Qt::AlignRight | Qt::AlignVCenter);
      return QVariant();
    case Qt::UserRole:
      return record;
    default:
      return QVariant();
  }
}

QVariant TRecordsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return QVariant();
  const TColumn& c = RecordColumns()[static_cast<std::size_t>(section)];
  if (role == Qt::DisplayRole) return QString::fromLatin1(ColumnTitle(c).c_str());
  if (role == Qt::ToolTipRole && c.Kind == ckField)
    return QStringLiteral("Field %1, %2")
        .arg(c.Field)
        .arg(QString::fromLatin1(cert::FieldTable[static_cast<std::size_t>(c.Field)].Property));
  return QVariant();
}

}  // namespace certrec
