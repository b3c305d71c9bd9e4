#include "TfrmCsvImport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include "CertEntry.h"
#include "CertRules.h"
#include "EditorSupport.h"

namespace certrec {

namespace {

const char kNoField[] = "(not imported)";
// The problem box shows this many lines; the count says how many more there are.
constexpr std::size_t kProblemLines = 500;

QString FieldName(int field) {
  if (field < 0) return QString::fromLatin1(kNoField);
  const std::size_t f = static_cast<std::size_t>(field);
  return QStringLiteral("%1 %2 (%3)")
      .arg(field)
      .arg(QString::fromLatin1(cert::FieldTable[f].Property))
      .arg(QString::fromLatin1(cert::FieldEntries[f].Caption));
}

// The field column is edited with a list of every field.
class TFieldDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                        const QModelIndex&) const override {
    auto* box = new QComboBox(parent);
    box->addItem(FieldName(-1), -1);
    for (int f = 0; f < cert::FieldCount; ++f) box->addItem(FieldName(f), f);
    return box;
  }
  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(box->findData(index.data(Qt::EditRole)));
  }
  void setModelData(QWidget* editor, QAbstractItemModel* model,
                    const QModelIndex& index) const override {
    model->setData(index, static_cast<QComboBox*>(editor)->currentData(), Qt::EditRole);
  }
};

}  // namespace

// ---- Mapping -------------------------------------------------------------------------------

TCsvMappingModel::TCsvMappingModel(const certcsv::TCsvTable& table, std::vector<int>& fields,
                                   std::function<void()> onChange, QObject* parent)
    : QAbstractTableModel(parent), FTable(table), FFields(fields), FOnChange(std::move(onChange)) {}

int TCsvMappingModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : FTable.ColumnCount();
}

int TCsvMappingModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : mcCount;
}

QVariant TCsvMappingModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const int c = index.row();
  const int field = FFields[static_cast<std::size_t>(c)];
  if (index.column() == mcField && role == Qt::EditRole) return field;
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case mcName:
      return QString::fromStdString(FTable.Columns()[static_cast<std::size_t>(c)]);
    case mcField:
      return FieldName(field);
    case mcFirstValue:
      return FTable.RowCount() > 0 ? QString::fromStdString(std::string(FTable.Cell(0, c)))
                                   : QString();
    default:
      return {};
  }
}

QVariant TCsvMappingModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  static const char* const titles[] = {"CSV column", "Field", "First row"};
  return section >= 0 && section < mcCount ? QString::fromLatin1(titles[section]) : QVariant();
}

Qt::ItemFlags TCsvMappingModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (index.column() == mcField) f |= Qt::ItemIsEditable;
  return f;
}

bool TCsvMappingModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || index.column() != mcField || role != Qt::EditRole) return false;
  bool ok = false;
  const int field = value.toInt(&ok);
  if (!ok || field < -1 || field >= cert::FieldCount) return false;
  int& slot = FFields[static_cast<std::size_t>(index.row())];
  if (slot == field) return true;
  slot = field;
  emit dataChanged(index, index);
  if (FOnChange) FOnChange();
  return true;
}

// ---- Preview -------------------------------------------------------------------------------

TCsvPreviewModel::TCsvPreviewModel(const cert::THeaderRec& header,
                                   const std::vector<TPreviewRecord>& records, QObject* parent)
    : QAbstractTableModel(parent), FHeader(header), FRecords(records) {}

int TCsvPreviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(FRecords.size());
}

int TCsvPreviewModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2 + cert::FieldCount;
}

QVariant TCsvPreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const TPreviewRecord& r = FRecords[static_cast<std::size_t>(index.row())];
  const int column = index.column();
  if (role == Qt::ForegroundRole && column == 1 && r.FailingField >= 0) return QColor(128, 0, 0);
  if (role != Qt::DisplayRole) return {};
  if (column == 0) return r.Row;
  if (column == 1)
    return r.FailingField < 0 ? QStringLiteral("passes") : wwed::FromCp1252(r.Message);
  const int field = column - 2;
  // Header values are held padded as the file has them; shown, as everywhere, trimmed.
  return wwed::FromCp1252(
      std::string(cert::Trim(field < cert::HeaderFieldCount ? FHeader.Field(field).View()
                                                            : r.Record.Field(field).View())));
}

QVariant TCsvPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  if (section == 0) return QStringLiteral("Row");
  if (section == 1) return QStringLiteral("Check");
  return QString::fromLatin1(cert::FieldTable[static_cast<std::size_t>(section - 2)].Property);
}

void TCsvPreviewModel::Reload() {
  beginResetModel();
  endResetModel();
}

// ---- The window ----------------------------------------------------------------------------

TfrmCsvImport::TfrmCsvImport(certcsv::TCsvTable table, const QString& fileName,
                             const cert::THeaderRec& header, std::function<bool()> mayReplace,
                             QWidget* parent)
    : QDialog(parent),
      FTable(std::move(table)),
      FWorkspaceHeader(header),
      FMayReplace(std::move(mayReplace)) {
  setObjectName(QStringLiteral("frmCsvImport"));
  setWindowTitle(QStringLiteral("Import CSV"));
  FFields = certcsv::MapColumns(FTable);
  FMappingModel = new TCsvMappingModel(
      FTable, FFields, [this] { Refresh(); }, this);
  FPreviewModel = new TCsvPreviewModel(FHeader, FPreview, this);
  BuildLayout(fileName);
  Refresh();
  resize(960, 640);
}

void TfrmCsvImport::BuildLayout(const QString& fileName) {
  auto* layout = new QVBoxLayout(this);
  const char* encoding = FTable.Encoding() == certcsv::ceUtf8 ? "UTF-8" : "Windows-1252";
  const QString separator =
      FTable.Separator() == '\t' ? QStringLiteral("tab") : QString(QChar(FTable.Separator()));
  auto* source = new QLabel(QStringLiteral("%1: %2 rows, %3, separator %4")
                                .arg(fileName)
                                .arg(FTable.RowCount())
                                .arg(QString::fromLatin1(encoding), separator),
                            this);
  source->setObjectName(QStringLiteral("lblSource"));
  layout->addWidget(source);

  auto* split = new QSplitter(Qt::Vertical, this);
  gridMapping = new QTableView(split);
  gridMapping->setObjectName(QStringLiteral("gridMapping"));
  gridMapping->setModel(FMappingModel);
  gridMapping->setItemDelegateForColumn(TCsvMappingModel::mcField, new TFieldDelegate(gridMapping));
  gridMapping->setEditTriggers(QAbstractItemView::AllEditTriggers);
  gridMapping->horizontalHeader()->setStretchLastSection(true);
  gridMapping->setColumnWidth(TCsvMappingModel::mcName, 200);
  gridMapping->setColumnWidth(TCsvMappingModel::mcField, 340);

  gridPreview = new QTableView(split);
  gridPreview->setObjectName(QStringLiteral("gridPreview"));
  gridPreview->setModel(FPreviewModel);
  gridPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridPreview->verticalHeader()->hide();
  gridPreview->setColumnWidth(1, 320);

  memoProblems = new QPlainTextEdit(split);
  memoProblems->setObjectName(QStringLiteral("memoProblems"));
  memoProblems->setReadOnly(true);
  memoProblems->setLineWrapMode(QPlainTextEdit::NoWrap);
  layout->addWidget(split, 1);

  lblSummary = new QLabel(this);
  lblSummary->setObjectName(QStringLiteral("lblSummary"));
  lblSummary->setWordWrap(true);
  layout->addWidget(lblSummary);

  auto* buttons = new QDialogButtonBox(this);
  btnAppend =
      buttons->addButton(QStringLiteral("&Append to the List"), QDialogButtonBox::ActionRole);
  btnAppend->setObjectName(QStringLiteral("btnAppend"));
  btnReplace =
      buttons->addButton(QStringLiteral("&Replace the List"), QDialogButtonBox::ActionRole);
  btnReplace->setObjectName(QStringLiteral("btnReplace"));
  QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
  cancel->setObjectName(QStringLiteral("btnCancel"));
  connect(btnAppend, &QPushButton::clicked, this, [this] { btnAppendClick(); });
  connect(btnReplace, &QPushButton::clicked, this, [this] { btnReplaceClick(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
}

void TfrmCsvImport::Refresh() {
  FPreview.clear();
  FOutcome = certcsv::ImportCsv(FTable, FFields, [this](const cert::TDetailRec& rec, int row) {
    if (FPreview.size() < static_cast<std::size_t>(PreviewRows)) {
      TPreviewRecord p;
      p.Row = row;
      p.Record = rec;
      FPreview.push_back(std::move(p));
    }
  });
  FHeader = FWorkspaceHeader;
  certcsv::MergeHeader(FHeader, FOutcome.Header);

  // Each record is checked as it would stand in the workspace, under the header it would get.
  int failing = 0;
  for (TPreviewRecord& p : FPreview) {
    const cert::TCheckResult r = cert::CheckRecordRules(FHeader, p.Record);
    p.FailingField = r.Field;
    p.Message = r.Field < 0 ? std::string() : *r.Message;
    failing += r.Field >= 0;
  }
  FPreviewModel->Reload();

  QStringList lines;
  for (const std::string& w : FOutcome.Warnings)
    lines << QStringLiteral("Warning: ") + QString::fromStdString(w);
  for (std::size_t i = 0; i < FOutcome.Problems.size() && i < kProblemLines; ++i) {
    const certcsv::TCsvProblem& p = FOutcome.Problems[i];
    lines << QStringLiteral("Row %1, column \"%2\": %3: \"%4\" %5; left empty")
                 .arg(p.Row)
                 .arg(QString::fromStdString(FTable.Columns()[static_cast<std::size_t>(p.Column)]))
                 .arg(FieldName(p.Field))
                 .arg(QString::fromStdString(p.Value))
                 .arg(QString::fromStdString(p.Reason));
  }
  if (FOutcome.Problems.size() > kProblemLines)
    lines << QStringLiteral("... and %1 more").arg(FOutcome.Problems.size() - kProblemLines);
  memoProblems->setPlainText(lines.join(QLatin1Char('\n')));

  const int records = FTable.RowCount();
  const int shown = static_cast<int>(FPreview.size());
  lblSummary->setText(
      QStringLiteral("%1 records; %2 values left empty; %3 of the first %4 fail a rule.")
          .arg(records)
          .arg(FOutcome.Problems.size())
          .arg(failing)
          .arg(shown));
  bool anyField = false;
  for (int f : FFields) anyField = anyField || f >= 0;
  btnAppend->setEnabled(records > 0 && anyField);
  btnReplace->setEnabled(records > 0 && anyField);
}

void TfrmCsvImport::btnAppendClick() {
  FChoice = icAppend;
  accept();
}

void TfrmCsvImport::btnReplaceClick() {
  // As Open asks: unsaved changes are saved, dropped, or the preview stays open.
  if (FMayReplace && !FMayReplace()) return;
  FChoice = icReplace;
  accept();
}

}  // namespace certrec
