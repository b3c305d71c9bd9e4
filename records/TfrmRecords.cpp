#include "TfrmRecords.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "CertEntry.h"
#include "CertVersion.h"
#include "CsvExport.h"
#include "CsvImport.h"
#include "EditorSupport.h"
#include "FileNameText.h"
#include "FileSystem.h"
#include "ProblemList.h"
#include "RecordColumns.h"
#include "ReplacingWriter.h"
#include "Settings.h"
#include "TRecordsLink.h"
#include "TfrmCsvImport.h"

using namespace certrec;

namespace {

const char kSettingsSection[] = "Records Window";
const char kAboutTitle[] = "About Certificate File Editor";
const char kAboutText[] =
    "Prepares and checks an insurer's certificate-of-insurance file for the state patients' "
    "compensation fund: one header record, then one detail record per insured provider and "
    "policy, each checked against the fund's rules.";
const QColor kMaroon(128, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kNoMatch(255, 200, 200);

}  // namespace

TfrmRecords::TfrmRecords(TRecordsLink& link) : QWidget(&link.Form(), Qt::Window), FLink(link) {
  setObjectName(QStringLiteral("frmRecords"));
  setWindowTitle(QStringLiteral("Records"));
  FModel = new TRecordsModel(link.Form().CertFormat1, link.Table(), this);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->setSpacing(4);
  BuildMenus();
  layout->setMenuBar(FMenuBar);
  BuildTop();
  BuildGrid();
  BuildHelpMenu();  // last: after View, which the grid adds
  resize(1000, 560);
  LoadColumns();
}

void TfrmRecords::BuildMenus() {
  FMenuBar = new QMenuBar(this);
  FFileMenu = FMenuBar->addMenu(QStringLiteral("&File"));
  QAction* importCsv = FFileMenu->addAction(QStringLiteral("&Import CSV..."));
  importCsv->setObjectName(QStringLiteral("actImportCsv"));
  importCsv->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
  connect(importCsv, &QAction::triggered, this, [this] { ImportCsv(); });
  QAction* exportCsv = FFileMenu->addAction(QStringLiteral("Export &CSV..."));
  exportCsv->setObjectName(QStringLiteral("actExportCsv"));
  connect(exportCsv, &QAction::triggered, this, [this] { ExportCsv(); });
  FFileMenu->addSeparator();
  QAction* exportList = FFileMenu->addAction(QStringLiteral("&Export Problem List..."));
  exportList->setObjectName(QStringLiteral("actExportProblems"));
  exportList->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  connect(exportList, &QAction::triggered, this, [this] { ExportProblemList(); });
  FFileMenu->addSeparator();
  QAction* closeWindow = FFileMenu->addAction(QStringLiteral("&Close"));
  closeWindow->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
  connect(closeWindow, &QAction::triggered, this, &QWidget::close);

  QMenu* go = FMenuBar->addMenu(QStringLiteral("&Go"));
  auto add = [this, go](const char* name, const char* text, const QKeySequence& key, auto fn) {
    QAction* a = go->addAction(QString::fromLatin1(text));
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    connect(a, &QAction::triggered, this, fn);
    addAction(a);
  };
  add("actGotoRecord", "&Go to Record (Enter)", QKeySequence(), [this] { GotoSelected(); });
  add("actNextError", "&Next Error", QKeySequence(Qt::Key_F8), [this] { FLink.GotoError(1); });
  add("actPreviousError", "&Previous Error", QKeySequence(Qt::SHIFT | Qt::Key_F8),
      [this] { FLink.GotoError(-1); });
  go->addSeparator();
  add("actFind", "&Find", QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
    editFind->setFocus(Qt::ShortcutFocusReason);
    editFind->selectAll();
  });
  add("actFindNext", "Find Ne&xt", QKeySequence(Qt::Key_F3), [this] { FindNext(1); });
  add("actFindPrevious", "Find Pre&vious", QKeySequence(Qt::SHIFT | Qt::Key_F3),
      [this] { FindNext(-1); });
}

void TfrmRecords::BuildHelpMenu() {
  QMenu* help = FMenuBar->addMenu(QStringLiteral("&Help"));
  QAction* about = help->addAction(QStringLiteral("&About..."));
  about->setObjectName(QStringLiteral("actAbout"));
  about->setMenuRole(QAction::AboutRole);
  connect(about, &QAction::triggered, this, [this] { ShowAbout(); });
}

void TfrmRecords::ShowAbout() {
  FLink.Form().Dialogs().About(
      QString::fromLatin1(kAboutTitle),
      QStringLiteral("Certificate File Editor (certeditor) %1\r\n\r\n%2")
          .arg(QString::fromLatin1(cert::kVersion), QString::fromLatin1(kAboutText)));
}

void TfrmRecords::BuildTop() {
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  auto* show = new QLabel(QStringLiteral("&Show:"), this);
  cbFilter = new QComboBox(this);
  cbFilter->setObjectName(QStringLiteral("cbFilter"));
  cbFilter->addItems({QStringLiteral("All records"), QStringLiteral("Failing only"),
                      QStringLiteral("Possible duplicates only")});
  show->setBuddy(cbFilter);
  connect(cbFilter, &QComboBox::currentIndexChanged, this, [this](int i) { cbFilterChange(i); });
  auto* find = new QLabel(QStringLiteral("F&ind:"), this);
  editFind = new QLineEdit(this);
  editFind->setObjectName(QStringLiteral("editFind"));
  editFind->setPlaceholderText(QStringLiteral("any field, as you type (Ctrl+F; F3, Shift+F3)"));
  editFind->setClearButtonEnabled(true);
  find->setBuddy(editFind);
  connect(editFind, &QLineEdit::textChanged, this, [this] { editFindChange(); });
  connect(editFind, &QLineEdit::returnPressed, this, [this] { FindNext(1); });
  row->addWidget(show);
  row->addWidget(cbFilter);
  row->addSpacing(12);
  row->addWidget(find);
  row->addWidget(editFind, 1);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);

  lblBanner = new QLabel(this);
  lblBanner->setObjectName(QStringLiteral("lblBanner"));
  lblBanner->setWordWrap(true);
  lblBanner->setAutoFillBackground(true);
  lblBanner->setMargin(4);
  QPalette p = lblBanner->palette();
  p.setColor(QPalette::Window, kMaroon);
  p.setColor(QPalette::WindowText, kYellow);
  lblBanner->setPalette(p);
  QFont bold = lblBanner->font();
  bold.setBold(true);
  lblBanner->setFont(bold);
  lblBanner->hide();
  layout()->addWidget(lblBanner);
}

void TfrmRecords::BuildGrid() {
  auto* split = new QSplitter(Qt::Vertical, this);
  gridRecords = new QTableView(split);
  gridRecords->setObjectName(QStringLiteral("gridRecords"));
  gridRecords->setModel(FModel);
  gridRecords->setSelectionBehavior(QAbstractItemView::SelectRows);
  gridRecords->setSelectionMode(QAbstractItemView::SingleSelection);
  gridRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
  gridRecords->setWordWrap(false);
  gridRecords->verticalHeader()->hide();
  // Fixed row heights: the view then never asks a million rows for their size.
  gridRecords->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  gridRecords->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  QHeaderView* header = gridRecords->horizontalHeader();
  header->setSortIndicator(0, Qt::AscendingOrder);
  gridRecords->setSortingEnabled(true);
  header->setContextMenuPolicy(Qt::CustomContextMenu);
  // Widths from the titles, not from the rows: reading every row for its width would take
  // as long as the rows are many.
  const auto& columns = RecordColumns();
  const QFontMetrics metrics(header->font());
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const QString title = QString::fromLatin1(ColumnTitle(columns[c]).c_str());
    const int width = columns[c].Kind == ckStatus ? 60 * metrics.averageCharWidth()
                      : columns[c].Kind == ckInsured
                          ? 30 * metrics.averageCharWidth()
                          : std::max(metrics.horizontalAdvance(title) + 28, 72);
    gridRecords->setColumnWidth(static_cast<int>(c), width);
  }
  connect(gridRecords, &QAbstractItemView::activated, this, [this] { GotoSelected(); });
  connect(gridRecords->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this] { UpdateDetails(); });
  connect(FModel, &QAbstractItemModel::modelAboutToBeReset, this,
          [this] { FSelectedBeforeReset = SelectedRecord(); });
  connect(FModel, &QAbstractItemModel::modelReset, this,
          [this] { SelectRecord(FSelectedBeforeReset); });

  // The columns the user can show or hide, in the header's menu and under View.
  QMenu* view = FMenuBar->addMenu(QStringLiteral("&View"));
  QMenu* shown = view->addMenu(QStringLiteral("&Columns"));
  FColumnActions.assign(columns.size(), nullptr);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (!ColumnCanHide(columns[c])) continue;
    QAction* a = shown->addAction(QString::fromLatin1(ColumnTitle(columns[c]).c_str()));
    a->setCheckable(true);
    a->setChecked(columns[c].Shown);
    connect(a, &QAction::toggled, this, [this, c](bool on) {
      gridRecords->setColumnHidden(static_cast<int>(c), !on);
      SaveColumns();
    });
    FColumnActions[c] = a;
  }
  connect(header, &QWidget::customContextMenuRequested, this,
          [shown, header](const QPoint& at) { shown->popup(header->mapToGlobal(at)); });

  memoDetails = new QPlainTextEdit(split);
  memoDetails->setObjectName(QStringLiteral("memoDetails"));
  memoDetails->setReadOnly(true);
  split->setStretchFactor(0, 4);
  split->setStretchFactor(1, 1);
  layout()->addWidget(split);

  lblSummary = new QLabel(this);
  lblSummary->setObjectName(QStringLiteral("lblSummary"));
  layout()->addWidget(lblSummary);
}

// ---- Columns -------------------------------------------------------------------------------

void TfrmRecords::ShowColumn(int column, bool shown) {
  QAction* a = FColumnActions[static_cast<std::size_t>(column)];
  if (a) a->setChecked(shown);
}

bool TfrmRecords::ColumnShown(int column) const { return !gridRecords->isColumnHidden(column); }

void TfrmRecords::LoadColumns() {
  const auto& columns = RecordColumns();
  certwin::TSettingsKeys keys;
  for (const TColumn& c : columns)
    if (ColumnCanHide(c)) keys[ColumnKey(c)] = c.Shown ? "1" : "0";
  certwin::LoadSettingsKeys(certwin::SettingsPath(FLink.Form().SettingsDirectory), kSettingsSection,
                            keys);
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (!FColumnActions[c]) continue;
    const bool on = keys[ColumnKey(columns[c])] != "0";
    const QSignalBlocker quiet(FColumnActions[c]);
    FColumnActions[c]->setChecked(on);
    gridRecords->setColumnHidden(static_cast<int>(c), !on);
  }
}

void TfrmRecords::SaveColumns() const {
  const auto& columns = RecordColumns();
  certwin::TSettingsKeys keys;
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (FColumnActions[c])
      keys[ColumnKey(columns[c])] = ColumnShown(static_cast<int>(c)) ? "1" : "0";
  // A settings file that cannot be written costs only the choice of columns.
  certwin::SaveSettingsKeys(certwin::SettingsPath(FLink.Form().SettingsDirectory), kSettingsSection,
                            keys);
}

// ---- Following the workspace ---------------------------------------------------------------

void TfrmRecords::Reset() {
  FNotice.clear();
  FModel->Reset();
  SelectRecord(FLink.Table().Current());
  UpdateBanner();
  UpdateSummary();
  UpdateDetails();
}

void TfrmRecords::Apply(const TTableChange& change) {
  if (change.Kind == TTableChange::tcNone && !change.CurrentMoved && !change.HeaderChanged) return;
  FNotice.clear();
  const int current = FLink.Table().Current();
  const bool wasShown = FModel->RowOf(current) >= 0;
  FModel->Apply(change);
  // The current row follows the main window's record, also when the filter takes it away or
  // brings it back; otherwise the user's own selection stays.
  const bool shown = FModel->RowOf(current) >= 0;
  if (change.CurrentMoved || change.Kind == TTableChange::tcReset || shown != wasShown)
    SelectRecord(current);
  if (change.HeaderChanged) UpdateBanner();
  UpdateSummary();
  UpdateDetails();
}

void TfrmRecords::SetNotice(const QString& text) {
  FNotice = text;
  UpdateSummary();
}

void TfrmRecords::UpdateSummary() {
  const TRecordTable& t = FLink.Table();
  QString text = QStringLiteral("%1 records, %2 failing, %3 possible duplicates")
                     .arg(t.Count())
                     .arg(t.FailingCount())
                     .arg(t.DuplicateCount());
  if (!FNotice.isEmpty()) text += QStringLiteral("    ") + FNotice;
  lblSummary->setText(text);
}

void TfrmRecords::UpdateBanner() {
  const cert::TCheckResult& h = FLink.Table().HeaderFailure();
  if (h.Field < 0) {
    lblBanner->hide();
    return;
  }
  lblBanner->setText(QStringLiteral("Header: %1  Every record fails with it until it is mended.")
                         .arg(wwed::FromCp1252(ProblemText(h))));
  lblBanner->show();
}

void TfrmRecords::UpdateDetails() {
  const int record = SelectedRecord();
  memoDetails->setPlainText(record < 0 ? QString() : FModel->Describe(record));
}

int TfrmRecords::SelectedRecord() const {
  const QModelIndex current = gridRecords->currentIndex();
  return current.isValid() ? FModel->RecordAt(current.row()) : -1;
}

void TfrmRecords::SelectRecord(int record) {
  const int row = FModel->RowOf(record);
  if (row < 0) {
    gridRecords->selectionModel()->clear();
    return;
  }
  const QModelIndex at = FModel->index(row, 0);
  gridRecords->selectionModel()->setCurrentIndex(
      at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  gridRecords->scrollTo(at);
}

// ---- Commands ------------------------------------------------------------------------------

void TfrmRecords::cbFilterChange(int index) {
  FModel->SetFilter(static_cast<TRecordFilter>(index));
  UpdateDetails();
}

void TfrmRecords::editFindChange() {
  const auto text = wwed::ToCp1252(editFind->text());
  // A character the code page lacks is in no record.
  FFinder = std::make_unique<TRecordFinder>(text ? *text : std::string("\x01\x01"));
  if (FFinder->Empty()) {
    editFind->setPalette(QPalette());
    return;
  }
  const int row = gridRecords->currentIndex().row();
  ShowMatch(FModel->FindRow(*FFinder, row, 1, true));
}

void TfrmRecords::FindNext(int step) {
  if (!FFinder || FFinder->Empty()) return;
  ShowMatch(FModel->FindRow(*FFinder, gridRecords->currentIndex().row(), step, false));
}

void TfrmRecords::ShowMatch(int row) {
  QPalette p = editFind->palette();
  p.setColor(QPalette::Base, row < 0 ? kNoMatch : QPalette().color(QPalette::Base));
  editFind->setPalette(p);
  if (row >= 0) SelectRecord(FModel->RecordAt(row));
}

void TfrmRecords::GotoSelected() { FLink.GotoRecord(SelectedRecord()); }

namespace {

// The workspace's events are held back while records pour in, so that the window and the
// table are told once afterwards instead of once for every record.
class TQuietWorkspace {
 public:
  explicit TQuietWorkspace(cert::TCertFormat& c)
      : FCert(c),
        FDetail(std::move(c.OnCertDetailChange)),
        FStatus(std::move(c.OnCertStatusChange)),
        FError(std::move(c.OnCertError)),
        FBefore(std::move(c.OnBeforeFetchDetailRec)),
        FAfter(std::move(c.OnAfterFetchDetailRec)),
        FPass(std::move(c.OnCertPassErrorCheck)) {
    c.OnCertDetailChange = nullptr;
    c.OnCertStatusChange = nullptr;
    c.OnCertError = nullptr;
    c.OnBeforeFetchDetailRec = nullptr;
    c.OnAfterFetchDetailRec = nullptr;
    c.OnCertPassErrorCheck = nullptr;
  }
  TQuietWorkspace(const TQuietWorkspace&) = delete;
  TQuietWorkspace& operator=(const TQuietWorkspace&) = delete;
  ~TQuietWorkspace() {
    FCert.OnCertDetailChange = std::move(FDetail);
    FCert.OnCertStatusChange = std::move(FStatus);
    FCert.OnCertError = std::move(FError);
    FCert.OnBeforeFetchDetailRec = std::move(FBefore);
    FCert.OnAfterFetchDetailRec = std::move(FAfter);
    FCert.OnCertPassErrorCheck = std::move(FPass);
  }

 private:
  cert::TCertFormat& FCert;
  cert::TNotifyEvent FDetail;
  cert::TCertStatusChangeEvent FStatus;
  cert::TCertErrorEvent FError;
  cert::TNotifyEvent FBefore, FAfter;
  cert::TNotifyEvent FPass;
};

// Where a CSV named after the open certificate file would go, or `fallback`.
QString BesideOpenFile(const cert::TCertFormat& c, const QString& suffix, const QString& fallback) {
  const QFileInfo open(certwin::NameToText(c.FileNameOpen));
  return open.completeBaseName().isEmpty()
             ? fallback
             : open.path() + QLatin1Char('/') + open.completeBaseName() + suffix;
}

}  // namespace

void TfrmRecords::ImportCsv() {
  TfrmNewFile& form = FLink.Form();
  certwin::TDialogs& dialogs = form.Dialogs();
  cert::TCertFormat& c = form.CertFormat1;
  const auto chosen =
      dialogs.OpenFileName(QStringLiteral("Import CSV"),
                           BesideOpenFile(c, QStringLiteral(".csv"), QStringLiteral("*.csv")),
                           certwin::CsvFileFilter, certwin::CsvDefaultSuffix);
  if (!chosen) return;
  std::string bytes;
  try {
    bytes = cert::ReadWholeFile(cert::DefaultFileSystem(), certwin::TextToName(*chosen));
  } catch (const cert::TCertIOError& e) {
    dialogs.Error(certwin::NameToText(e.what()));
    return;
  }
  if (certcsv::IsUtf16Text(bytes)) {
    dialogs.Error(
        QStringLiteral("%1 is UTF-16 text; save it as CSV in UTF-8 or Windows-1252.").arg(*chosen));
    return;
  }
  certcsv::TCsvTable table = certcsv::TCsvTable::Parse(bytes);
  bytes = std::string();
  if (table.ColumnCount() == 0) {
    dialogs.Message(QStringLiteral("%1 holds no column names.").arg(*chosen));
    return;
  }
  certrec::TfrmCsvImport preview(
      std::move(table), QFileInfo(*chosen).fileName(), c.HeaderRec,
      [&form] { return form.SaveChangesPrompt(); }, this);
  if (preview.exec() != QDialog::Accepted) return;

  const int before = c.DetailStr().Count();
  const cert::THeaderRec header = c.HeaderRec;
  const bool replace = preview.Choice() == certrec::TfrmCsvImport::icReplace;
  int first = 0;
  {
    TQuietWorkspace quiet(c);
    if (replace) {
      certcsv::ImportIntoWorkspace(c, preview.Table(), preview.Mapping());
      cert::THeaderRec merged = header;
      certcsv::MergeHeader(merged, c.HeaderRec);
      c.HeaderRec = merged;
    } else {
      certcsv::AppendIntoWorkspace(c, preview.Table(), preview.Mapping());
      first = before;
    }
  }
  c.SetFileChanged();
  FLink.WorkspaceReset();
  // Moving to the first new record tells the window of the new list and state.
  if (replace)
    c.FirstDetailRec();
  else if (first == c.DetailIndex())
    c.LastDetailRec();
  else
    c.GotoDetailRec(first);
  form.ShowHeader(false);
  form.ShowDetail(false);
  const int added = c.DetailStr().Count() - (replace ? 0 : before);
  SetNotice(QStringLiteral("%1 records %2 from %3")
                .arg(added)
                .arg(replace ? QStringLiteral("read") : QStringLiteral("appended"))
                .arg(*chosen));
}

bool TfrmRecords::SaveAs(const QString& title, const QString& suffix, const QString& fallback,
                         const std::string& bytes, QString& chosen) {
  certwin::TDialogs& dialogs = FLink.Form().Dialogs();
  const auto name =
      dialogs.SaveFileName(title, BesideOpenFile(FLink.Form().CertFormat1, suffix, fallback),
                           certwin::CsvFileFilter, certwin::CsvDefaultSuffix);
  if (!name) return false;
  chosen = *name;
  const std::string path = certwin::TextToName(chosen);
  cert::TFileSystem& fs = cert::DefaultFileSystem();
  try {
    if (fs.Info(path).Kind != cert::fkMissing &&
        !dialogs.ConfirmOkCancel(QStringLiteral("File %1 already exists.  Overwrite?").arg(chosen)))
      return false;
    cert::ReplaceWholeFile(fs, path, bytes);
  } catch (const cert::TCertIOError& e) {
    dialogs.Error(certwin::NameToText(e.what()));
    return false;
  }
  return true;
}

void TfrmRecords::ExportCsv() {
  cert::TCertFormat& c = FLink.Form().CertFormat1;
  // As Save File does: what is being typed belongs to the list.
  if (c.DetailRecStatus == cert::drEdit || c.DetailRecStatus == cert::drNew) c.PostDetailRec();
  QString chosen;
  if (!SaveAs(QStringLiteral("Export CSV"), QStringLiteral(".csv"),
              QStringLiteral("certificates.csv"),
              certcsv::ExportCsv(c.HeaderRec, c.DetailStr(), true), chosen))
    return;
  SetNotice(QStringLiteral("%1 records written to %2").arg(c.DetailStr().Count()).arg(chosen));
}

void TfrmRecords::ExportProblemList() {
  QString chosen;
  if (!SaveAs(QStringLiteral("Export Problem List"), QStringLiteral("-problems.csv"),
              QStringLiteral("problems.csv"),
              ProblemListCsv(FLink.Form().CertFormat1, FLink.Table()), chosen))
    return;
  SetNotice(QStringLiteral("Problem list written to %1").arg(chosen));
}
