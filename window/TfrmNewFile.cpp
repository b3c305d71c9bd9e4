#include "TfrmNewFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <new>
#include <utility>

#include "CertDate.h"
#include "FieldTable.h"
#include "FileNameText.h"
#include "Settings.h"
#include "ToolBar.h"
#include "TwwDBComboBox.h"
#include "TwwDBDateTimePicker.h"
#include "TwwDBEdit.h"

using namespace certwin;
using cert::TDetailRecStatus;

namespace {

const QColor kMaroon(128, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kNavy(0, 0, 128);

const char kSavePrompt[] = "Do you want to save your current changes first?";
const char kDeletePrompt[] = "Are you sure you want to delete the current detail record?";
const char kAllPassed[] = "All records have pass the error checking routine.";
const char kAllPassedBlankLines[] =
    "All records have pass the error checking routine.  However \r\n"
    "one or more blank lines were found in the file.  You must \r\n"
    "SAVE this file in order to remove them.  Leaving the blank lines \r\n"
    "in the file will result in certificate rejections.";
const char kExitBlankLines[] =
    "One or more blank lines were found in the file.  You must \r\n"
    "SAVE this file in order to remove them.  Leaving the blank lines \r\n"
    "in the file will result in certificate rejections.  Do you still want to exit?";
const char kNoRecords[] =
    "Nothing was written: the file has no detail records. Add at least one detail record "
    "before saving.";
// After this many messages about one file, each box also offers to skip the rest.
constexpr int kMessagesBeforeSkip = 5;

QStringList ListItems(cert::TCodeListId list) {
  QStringList out;
  for (const char* row : cert::CodeListRows(list)) out << QString::fromLatin1(row);
  return out;
}

QIcon CommandIcon(QStyle* style, int image) {
  static const QStyle::StandardPixmap kIcons[14] = {
      QStyle::SP_MediaSkipBackward,   QStyle::SP_ArrowLeft,          QStyle::SP_ArrowRight,
      QStyle::SP_MediaSkipForward,    QStyle::SP_FileIcon,           QStyle::SP_DialogApplyButton,
      QStyle::SP_TrashIcon,           QStyle::SP_DialogCancelButton, QStyle::SP_DialogCloseButton,
      QStyle::SP_FileDialogNewFolder, QStyle::SP_BrowserReload,      QStyle::SP_DialogYesButton,
      QStyle::SP_DialogOpenButton,    QStyle::SP_DialogSaveButton};
  return style->standardIcon(kIcons[image]);
}

// "MS Sans Serif" 8 points; where it is missing, a sans font of Arial's widths, which the
// fixed layout was drawn for (the wider default sans would overlap neighbouring captions).
QFont WindowFont() {
  const QStringList installed = QFontDatabase::families();
  for (const char* family : {"MS Sans Serif", "Liberation Sans", "Arial"})
    if (installed.contains(QString::fromLatin1(family)))
      return QFont(QString::fromLatin1(family), 8);
  return QFont(QApplication::font().family(), 8);
}

void SetBackground(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Window, c);
  w->setPalette(p);
}

}  // namespace

template <typename T>
T* TfrmNewFile::Make(const QString& name, QWidget* parent) {
  T* w = new T(parent);
  w->setObjectName(name);
  FComponents.push_back(w);
  return w;
}

QFrame* TfrmNewFile::MakePanel(const QString& name, QWidget* parent, const QRect& r, int shape) {
  QFrame* p = Make<QFrame>(name, parent);
  p->setGeometry(r);
  if (shape) {
    p->setFrameShape(QFrame::Panel);
    p->setFrameShadow(shape < 0 ? QFrame::Sunken : QFrame::Raised);
  }
  return p;
}

TfrmNewFile::TfrmNewFile(std::unique_ptr<TDialogs> dialogs, QWidget* parent)
    : QWidget(parent), FDialogs(dialogs ? std::move(dialogs) : std::make_unique<TQtDialogs>(this)) {
  setObjectName(QStringLiteral("frmNewFile"));
  setWindowTitle(QStringLiteral("Create New Certificate File"));
  setFont(WindowFont());
  resize(772, 546);
  SettingsDirectory = FindSettingsDirectory();
  wwed::SetBeepHandler([this] { FDialogs->Beep(); });
  BuildPanels();
  BuildFields();
  BuildCommands();
  BuildOptions();
  BuildRemember();
  TmrFlashLabel = new QTimer(this);
  TmrFlashLabel->setObjectName(QStringLiteral("TmrFlashLabel"));
  TmrFlashLabel->setInterval(500);
  connect(TmrFlashLabel, &QTimer::timeout, this, [this] { TmrFlashLabelTimer(); });
  FComponents.push_back(TmrFlashLabel);
  SetTabOrder();
  AttachWorkspace();
  AttachWorkspaceView();
}

TfrmNewFile::~TfrmNewFile() {
  // The editors go with the window; none may report a change to the workspace on the way.
  for (int n = 0; n < cert::FieldCount; ++n) {
    if (auto* e = dynamic_cast<cert::TCertEditor*>(FieldEditor(n))) e->OnChange = {};
    CertFormat1.BindEditor(n, nullptr);
  }
  CertFormat1.ChangeStatus = false;
  wwed::SetBeepHandler(nullptr);
}

void TfrmNewFile::BuildPanels() {
  QFrame* p1 = MakePanel(QStringLiteral("Panel1"), this, QRect(0, 0, 772, 129), -1);
  auto* header = Make<QLabel>(QStringLiteral("HeaderLabel"), p1);
  header->setText(QStringLiteral("Header Record"));
  header->setGeometry(2, 2, 768, 24);
  header->setAlignment(Qt::AlignCenter);
  QFont big = font();
  big.setBold(true);
  big.setPixelSize(19);
  header->setFont(big);
  lblLengthError = Make<QLabel>(QStringLiteral("lblLengthError"), p1);
  lblLengthError->setText(QStringLiteral("Length Error Label"));
  lblLengthError->move(8, 8);
  QFont bold = font();
  bold.setBold(true);
  lblLengthError->setFont(bold);
  QPalette lp = lblLengthError->palette();
  lp.setColor(QPalette::WindowText, kMaroon);
  lblLengthError->setPalette(lp);
  lblLengthError->adjustSize();
  lblLengthError->hide();

  QFrame* p2 = MakePanel(QStringLiteral("Panel2"), this, QRect(0, 129, 772, 272), 0);
  auto* detail = Make<QLabel>(QStringLiteral("DetailLabel"), p2);
  detail->setText(QStringLiteral("Detail Record"));
  detail->setGeometry(0, 0, 772, 24);
  detail->setAlignment(Qt::AlignCenter);
  detail->setFont(big);
  QFrame* p9 = MakePanel(QStringLiteral("Panel9"), p2, QRect(0, 24, 520, 248), 0);
  QFrame* p8 = MakePanel(QStringLiteral("Panel8"), p2, QRect(520, 24, 252, 248), -1);
  FFieldPanels = {p1, p9, p8};
}

void TfrmNewFile::BuildFields() {
  for (const TWindowField& f : WindowFields) {
    const cert::TFieldEntry& entry = cert::FieldEntries[static_cast<std::size_t>(f.Number)];
    const cert::TEditorKind kind = cert::FieldTable[static_cast<std::size_t>(f.Number)].Editor;
    QWidget* panel = FFieldPanels[static_cast<std::size_t>(f.Panel)];
    auto* label = Make<QLabel>(QStringLiteral("Label%1").arg(f.Number), panel);
    label->setText(QString::fromLatin1(entry.Caption));
    QPalette lp = label->palette();
    lp.setColor(QPalette::WindowText, kNavy);
    label->setPalette(lp);
    label->setAutoFillBackground(false);
    label->adjustSize();
    const bool limit =
        f.Number == cert::fnDPolicyOccurrenceLimit || f.Number == cert::fnDPolicyAggregateLimit;
    label->move(f.Left, f.Top - (limit ? 13 : 16));
    QWidget* editor = nullptr;
    if (kind == cert::ekMaskEdit) {
      auto* e = Make<TwwDBEdit>(QString::fromLatin1(f.Editor), panel);
      e->Picture.PictureMask = entry.Mask;
      e->WantReturns = false;
      e->WordWrap = false;
      e->setFrame(false);
      wwed::ApplyFieldLook(e, e->Frame);
      if (f.Length == lhOptional)
        e->OnCheckValue = [this](cert::TObject* s, bool ok) { CustomLengthCheckValue(s, ok); };
      else if (f.Length == lhExact)
        e->OnCheckValue = [this](cert::TObject* s, bool ok) { CustomLengthCheckValue2(s, ok); };
      editor = e;
    } else if (kind == cert::ekDateTimePicker) {
      auto* e = Make<TwwDBDateTimePicker>(QString::fromLatin1(f.Editor), panel);
      e->DisplayFormat = "MM/DD/YYYY";
      e->Epoch = cert::DateFieldEpoch;
      e->ShowButton = true;
      e->setFrame(false);
      wwed::ApplyFieldLook(e, e->Frame);
      editor = e;
    } else {
      auto* e = Make<TwwDBComboBox>(QString::fromLatin1(f.Editor), panel);
      e->Style = csDropDownList;
      e->MapList = false;
      e->AllowClearKey = true;
      e->AutoDropDown = true;
      e->CharCase = ecUpperCase;
      e->DropDownCount = 8;
      e->Sorted = false;
      e->ShowButton = true;
      e->Items = ListItems(entry.List);
      if (entry.List == cert::clProvider) e->DropDownWidth = 350;
      e->setFrame(false);
      wwed::ApplyFieldLook(e, e->Frame);
      editor = e;
    }
    editor->setGeometry(f.Left, f.Top, f.Width, 19);
    editor->setProperty("Tag", f.Tag);
    if (f.Hint) editor->setToolTip(QString::fromLatin1(f.Hint));
    FEditors[static_cast<std::size_t>(f.Number)] = editor;
  }
}

QToolButton* TfrmNewFile::MakeButton(const char* name, const char* caption, const char* hint,
                                     int image, QWidget* parent, int x, int w) {
  auto* b = Make<QToolButton>(QString::fromLatin1(name), parent);
  b->setText(QString::fromLatin1(caption));
  if (hint) b->setToolTip(QString::fromLatin1(hint));
  b->setIcon(CommandIcon(style(), image));
  b->setIconSize(QSize(16, 16));
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::TabFocus);
  b->setGeometry(x, 1, w, 36);
  return b;
}

void TfrmNewFile::BuildCommands() {
  QWidget* p9 = FFieldPanels[pnDetailLeft];
  auto* tb1 = Make<TToolBar>(QStringLiteral("ToolBar1"), p9);
  tb1->setGeometry(0, 210, 520, 38);
  int x = 0;
  for (const TCommand& c : RecordCommands) {
    QToolButton* b = MakeButton(c.Name, c.Caption, c.Hint, c.Image, tb1, x, 54);
    b->setEnabled(c.Enabled);
    x += 54;
  }
  QFrame* p3 = MakePanel(QStringLiteral("Panel3"), this, QRect(0, 401, 772, 40), 0);
  lblErrorMsg = Make<QLabel>(QStringLiteral("lblErrorMsg"), p3);
  lblErrorMsg->setGeometry(0, 0, 385, 40);
  lblErrorMsg->setWordWrap(true);
  lblErrorMsg->setText(QStringLiteral(" "));
  lblErrorMsg->setAutoFillBackground(true);
  QPalette ep = lblErrorMsg->palette();
  ep.setColor(QPalette::WindowText, kYellow);
  ep.setColor(QPalette::Window, palette().color(QPalette::Button));
  lblErrorMsg->setPalette(ep);
  lblRecordNum = Make<QLabel>(QStringLiteral("lblRecordNum"), p3);
  lblRecordNum->setGeometry(385, 0, 102, 40);
  lblRecordNum->setWordWrap(true);
  lblRecordNum->setText(QStringLiteral(" "));
  QFont bold = font();
  bold.setBold(true);
  lblRecordNum->setFont(bold);
  auto* tb2 = Make<TToolBar>(QStringLiteral("ToolBar2"), p3);
  tb2->setGeometry(487, 0, 285, 40);
  x = 0;
  for (const TCommand& c : FileCommands) {
    QToolButton* b = MakeButton(c.Name, c.Caption, c.Hint, c.Image, tb2, x, 57);
    b->setEnabled(c.Enabled);
    x += 57;
  }
  const std::pair<const char*, void (TfrmNewFile::*)()> handlers[] = {
      {"btnFirst", &TfrmNewFile::btnFirstClick},
      {"btnPrevious", &TfrmNewFile::btnPreviousClick},
      {"btnNext", &TfrmNewFile::btnNextClick},
      {"btnLast", &TfrmNewFile::btnLastClick},
      {"btnNew", &TfrmNewFile::btnNewClick},
      {"btnSave", &TfrmNewFile::btnSaveClick},
      {"btnDelete", &TfrmNewFile::btnDeleteClick},
      {"btnCancel", &TfrmNewFile::btnCancelClick},
      {"btnRefresh", &TfrmNewFile::btnRefreshClick},
      {"btnVerify", &TfrmNewFile::btnVerifyClick},
      {"btnNewFile", &TfrmNewFile::btnNewFileClick},
      {"btnOpen", &TfrmNewFile::btnOpenClick},
      {"btnClose", &TfrmNewFile::btnCloseClick}};
  for (const auto& [name, fn] : handlers)
    connect(findChild<QToolButton*>(QString::fromLatin1(name)), &QToolButton::clicked, this,
            [this, fn = fn] { (this->*fn)(); });
  connect(findChild<QToolButton*>(QStringLiteral("btnWriteFile")), &QToolButton::clicked, this,
          [this] { btnWriteFileClick(); });
}

void TfrmNewFile::BuildOptions() {
  QFrame* p4 = MakePanel(QStringLiteral("Panel4"), this, QRect(0, 441, 772, 40), 1);
  QFrame* p6 = MakePanel(QStringLiteral("Panel6"), p4, QRect(1, 1, 368, 38), 0);
  TrackBar1 = Make<QSlider>(QStringLiteral("TrackBar1"), p6);
  TrackBar1->setOrientation(Qt::Horizontal);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  TrackBar1->setRange(1, 10);
  TrackBar1->setValue(1);
  TrackBar1->setEnabled(false);
  TrackBar1->setGeometry(0, 0, 265, 38);
  // Every move the user makes goes through an action, which comes just before the value
  // follows it; a move by the program comes without one.
  connect(TrackBar1, &QSlider::actionTriggered, this,
          [this](int) { FTrackBarUserMove = TrackBar1->sliderPosition() != TrackBar1->value(); });
  connect(TrackBar1, &QSlider::valueChanged, this, [this](int) { TrackBar1Change(); });
  auto* l38 = Make<QLabel>(QStringLiteral("Label38"), p6);
  l38->setText(QStringLiteral("Delete Option"));
  QFont bold = font();
  bold.setBold(true);
  l38->setFont(bold);
  l38->adjustSize();
  l38->move(272, 3);
  cbConfirmDel = Make<QCheckBox>(QStringLiteral("cbConfirmDel"), p6);
  cbConfirmDel->setText(QStringLiteral("Confir&m Delete"));
  cbConfirmDel->setChecked(true);
  cbConfirmDel->adjustSize();
  cbConfirmDel->move(272, 19);
  QFrame* p7 = MakePanel(QStringLiteral("Panel7"), p4, QRect(369, 1, 402, 38), 1);
  auto* l39 = Make<QLabel>(QStringLiteral("Label39"), p7);
  l39->setText(QStringLiteral("Output Filename:"));
  l39->adjustSize();
  l39->move(8, 14);
  editLoc = Make<QLineEdit>(QStringLiteral("editLoc"), p7);
  editLoc->setText(QString::fromLatin1(DefaultCertFile));
  editLoc->setGeometry(93, 9, 276, 21);
  auto* sb = Make<QToolButton>(QStringLiteral("SpeedButton1"), p7);
  sb->setText(QStringLiteral("..."));
  QFont dots = font();
  dots.setBold(true);
  dots.setPixelSize(19);
  sb->setFont(dots);
  sb->setToolTip(QStringLiteral("Click here to specify output filename"));
  sb->setAutoRaise(true);
  sb->setGeometry(370, 9, 23, 22);
  connect(sb, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
}

void TfrmNewFile::BuildRemember() {
  QFrame* p5 = MakePanel(QStringLiteral("Panel5"), this, QRect(0, 481, 772, 65), 1);
  auto* l37 = Make<QLabel>(QStringLiteral("Label37"), p5);
  l37->setText(QStringLiteral("Remember these options upon new record"));
  QFont bold = font();
  bold.setBold(true);
  l37->setFont(bold);
  l37->setWordWrap(true);
  l37->setGeometry(8, 8, 105, 39);
  for (std::size_t i = 0; i < RememberBoxes.size(); ++i) {
    auto* cb = Make<QCheckBox>(QStringLiteral("CheckBox%1").arg(i + 1), p5);
    cb->setText(QString::fromLatin1(RememberBoxes[i].Caption));
    cb->setChecked(true);
    cb->adjustSize();
    cb->move(RememberBoxes[i].Left, RememberBoxes[i].Top);
    FRemember[i] = cb;
  }
}

void TfrmNewFile::SetTabOrder() {
  std::vector<QWidget*> order;
  for (TPanelId panel : {pnHeader, pnDetailLeft, pnDetailRight}) {
    std::vector<const TWindowField*> fields;
    for (const TWindowField& f : WindowFields)
      if (f.Panel == panel) fields.push_back(&f);
    std::sort(fields.begin(), fields.end(),
              [](const TWindowField* a, const TWindowField* b) { return a->Tab < b->Tab; });
    for (const TWindowField* f : fields) order.push_back(FieldEditor(f->Number));
    if (panel == pnDetailLeft)
      for (const TCommand& c : RecordCommands) order.push_back(Component(c.Name));
  }
  for (const TCommand& c : FileCommands) order.push_back(Component(c.Name));
  order.push_back(cbConfirmDel);
  order.push_back(TrackBar1);
  order.push_back(editLoc);
  order.push_back(Component(QStringLiteral("SpeedButton1")));
  for (QCheckBox* cb : FRemember) order.push_back(cb);
  for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget* TfrmNewFile::Component(const QString& name) const {
  for (QObject* o : FComponents)
    if (o->objectName() == name) return qobject_cast<QWidget*>(o);
  return nullptr;
}

void TfrmNewFile::AttachWorkspace() {
  CertFormat1.SetDetailIndex(0);
  CertFormat1.DetailRecStatus = cert::drBrowse;
  CertFormat1.ChangeStatus = false;
  CertFormat1.BlankLineEncounter = false;
  CertFormat1.FieldErrorIndex = 0;
  for (int n = 0; n < cert::FieldCount; ++n)
    CertFormat1.BindEditor(n, dynamic_cast<cert::TCertEditor*>(FieldEditor(n)));
  CertFormat1.OnCertDetailChange = [this](cert::TObject* s) { CertFormat1CertDetailChange(s); };
  CertFormat1.OnCertStatusChange = [this](cert::TObject* s, TDetailRecStatus p,
                                          TDetailRecStatus c) {
    CertFormat1CertStatusChange(s, p, c);
  };
  CertFormat1.OnCertError = [this](cert::TObject* s, int i, const std::string& m) {
    CertFormat1CertError(s, i, m);
  };
  CertFormat1.OnFileError = [this](cert::TObject* s, const std::string& m) {
    CertFormat1FileError(s, m);
  };
  CertFormat1.OnBeforeFetchDetailRec = [this](cert::TObject* s) {
    CertFormat1BeforeFetchDetailRec(s);
  };
  CertFormat1.OnCertPassErrorCheck = [this](cert::TObject* s) { CertFormat1CertPassErrorCheck(s); };
  CertFormat1.OnCertCheckAllForErrors = [this](cert::TObject* s, int i, const std::string& m,
                                               bool pass) {
    CertFormat1CertCheckAllForErrors(s, i, m, pass);
  };
  CertFormat1.OnConfirmOverwrite = [this](const std::string& question) {
    const bool ok = FDialogs->ConfirmOkCancel(NameToText(question));
    FOverwriteDeclined = !ok;
    return ok;
  };
}

// ---- The view that follows the workspace ---------------------------------------------------

namespace {

// Wraps a workspace event so that `after` runs once the window's own handler has.
template <typename Event, typename After>
void Chain(Event& event, After after) {
  event = [inner = std::move(event), after](auto... args) {
    if (inner) inner(args...);
    after();
  };
}

}  // namespace

void TfrmNewFile::AttachWorkspaceView() {
  // In free space below the last remember box, after every other stop in the tab order.
  auto* records =
      Make<QToolButton>(QStringLiteral("btnRecords"), Component(QStringLiteral("Panel5")));
  records->setText(QStringLiteral("Records"));
  records->setToolTip(QStringLiteral("Every record and its problems (Ctrl+L)"));
  records->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  records->setIconSize(QSize(16, 16));
  records->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  records->setAutoRaise(true);
  records->setFocusPolicy(Qt::TabFocus);
  records->setGeometry(656, 28, 100, 28);
  QWidget::setTabOrder(FRemember.back(), records);
  auto show = [this] {
    if (FView) FView->ShowRecords();
  };
  connect(records, &QToolButton::clicked, this, show);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this), &QShortcut::activated, this,
          show);
  connect(new QShortcut(QKeySequence(Qt::Key_F8), this), &QShortcut::activated, this, [this] {
    if (FView) FView->GotoError(1);
  });
  connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), this), &QShortcut::activated, this,
          [this] {
            if (FView) FView->GotoError(-1);
          });
  auto changed = [this] {
    if (FView) FView->WorkspaceChanged();
  };
  Chain(CertFormat1.OnCertDetailChange, changed);
  Chain(CertFormat1.OnCertStatusChange, changed);
  Chain(CertFormat1.OnCertError, changed);
  Chain(CertFormat1.OnCertPassErrorCheck, changed);
}

// ---- Show, close and the settings file -------------------------------------------------

void TfrmNewFile::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  FormShow();
}

void TfrmNewFile::FormShow() {
  if (FShown) return;
  FShown = true;
  if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
  FFlashLabelIndex = -1;
  FFlashColor = kYellow;
  CertFormat1.NewDetailRec();
  LoadSettings();
}

void TfrmNewFile::closeEvent(QCloseEvent* e) {
  if (FormClose())
    e->accept();
  else
    e->ignore();
}

bool TfrmNewFile::FormClose() {
  if (!SaveChangesPrompt()) return false;
  if (CertFormat1.BlankLineEncounter &&
      !FDialogs->AskYesNo(QStringLiteral("Confirm..."), QString::fromLatin1(kExitBlankLines)))
    return false;
  SaveSettings();
  return true;
}

void TfrmNewFile::LoadSettings() {
  TSettingsValues v;
  if (!LoadSettingsFile(SettingsPath(SettingsDirectory), v)) return;
  for (std::size_t i = 0; i < FRemember.size(); ++i) FRemember[i]->setChecked(v.Remember[i]);
  cbConfirmDel->setChecked(v.ConfirmDelete);
  editLoc->setText(NameToText(v.OutputFilename));
  CertFormat1.FileNameOpen = v.InputFilename;
}

void TfrmNewFile::SaveSettings() {
  TSettingsValues v;
  for (std::size_t i = 0; i < FRemember.size(); ++i) v.Remember[i] = FRemember[i]->isChecked();
  v.ConfirmDelete = cbConfirmDel->isChecked();
  v.OutputFilename = TextToName(editLoc->text());
  v.InputFilename = CertFormat1.FileNameOpen;
  const std::string path = SettingsPath(SettingsDirectory);
  if (!SaveSettingsFile(path, v))
    FDialogs->Error(QStringLiteral("Unable to write to %1").arg(NameToText(path)));
}

// ---- File commands -------------------------------------------------------------------------

bool TfrmNewFile::SaveChangesPrompt() {
  if (!CertFormat1.FileChanged()) return true;
  switch (FDialogs->ConfirmYesNoCancel(QString::fromLatin1(kSavePrompt))) {
    case anYes:
      return btnWriteFileClick();  // nothing is dropped unless it was written
    case anNo:
      return true;
    default:
      return false;
  }
}

void TfrmNewFile::btnOpenClick() {
  if (!SaveChangesPrompt()) return;
  const std::string current = CertFormat1.FileNameOpen;
  const QString initial =
      cert::Trim(current).empty() ? QString::fromLatin1(DefaultCertFile) : NameToText(current);
  const auto chosen = FDialogs->OpenFileName(QStringLiteral("Open Certificate File"), initial);
  if (!chosen) return;
  CertFormat1.FileNameOpen = TextToName(*chosen);
  FFileMessages = 0;
  FSkipFileMessages = false;
  if (!ReadOpenFile()) {
    CertFormat1.FileNameOpen = current;
    return;
  }
  if (FView) FView->WorkspaceReset();
  CertFormat1.FirstDetailRec();
  ShowHeader(false);
  ShowDetail(false);
  setWindowTitle(QStringLiteral("Editing File: ") + NameToText(CertFormat1.FileNameOpen));
}

bool TfrmNewFile::ReadOpenFile() {
  // The reader changes nothing when the system fails it, so after the error box the window is
  // left exactly as it was: no pending edit stored, no other record shown, the same caption.
  try {
    CertFormat1.ReadCertFile();
    return true;
  } catch (const cert::TCertIOError& e) {
    FDialogs->Error(NameToText(e.what()));
  } catch (const std::bad_alloc&) {
    FDialogs->Error(QStringLiteral("Cannot read \"%1\": out of memory")
                        .arg(NameToText(CertFormat1.FileNameOpen)));
  }
  return false;
}

void TfrmNewFile::btnNewFileClick() {
  if (!SaveChangesPrompt()) return;
  StopFlashing();
  lblRecordNum->setText(QString());
  const QColor face = palette().color(QPalette::Button);
  SetErrorLine(QString(), &face);
  CertFormat1.ClearWorkspace();
  ShowDetail(false);
  ShowHeader(false);
  CertFormat1.NewDetailRec();
}

bool TfrmNewFile::btnWriteFileClick() {
  if (CertFormat1.DetailRecStatus == cert::drEdit || CertFormat1.DetailRecStatus == cert::drNew)
    CertFormat1.PostDetailRec();
  if (CertFormat1.DetailStr().Count() == 0) {
    FDialogs->Message(QString::fromLatin1(kNoRecords));
    return false;
  }
  if (!CertFormat1.CheckAllForErrors()) return false;
  CertFormat1.FileNameSave = TextToName(editLoc->text());
  FOverwriteDeclined = false;
  try {
    CertFormat1.WriteCertFile();
  } catch (const cert::TCertIOError& e) {
    FDialogs->Error(NameToText(e.what()));
    return false;
  }
  if (FOverwriteDeclined) return false;
  CertFormat1.BlankLineEncounter = false;
  return true;
}

void TfrmNewFile::btnVerifyClick() {
  if (CertFormat1.DetailRecStatus == cert::drEdit || CertFormat1.DetailRecStatus == cert::drNew)
    CertFormat1.PostDetailRec();
  if (!CertFormat1.CheckAllForErrors()) return;
  FDialogs->Message(
      QString::fromLatin1(CertFormat1.BlankLineEncounter ? kAllPassedBlankLines : kAllPassed));
}

void TfrmNewFile::btnCloseClick() { close(); }

void TfrmNewFile::SpeedButton1Click() {
  const QString current = editLoc->text();
  const QString initial =
      current.trimmed().isEmpty() ? QString::fromLatin1(DefaultCertFile) : current;
  const auto chosen =
      FDialogs->SaveFileName(QStringLiteral("Save Certificate File Location"), initial);
  if (chosen) editLoc->setText(*chosen);
}

// ---- Record commands -----------------------------------------------------------------------

void TfrmNewFile::RunAndShow(void (cert::TCertFormat::*operation)()) {
  (CertFormat1.*operation)();
  ShowDetail(false);
}

void TfrmNewFile::btnFirstClick() { RunAndShow(&cert::TCertFormat::FirstDetailRec); }
void TfrmNewFile::btnPreviousClick() { RunAndShow(&cert::TCertFormat::PriorDetailRec); }
void TfrmNewFile::btnNextClick() { RunAndShow(&cert::TCertFormat::NextDetailRec); }
void TfrmNewFile::btnLastClick() { RunAndShow(&cert::TCertFormat::LastDetailRec); }
void TfrmNewFile::btnCancelClick() { RunAndShow(&cert::TCertFormat::CancelDetailRec); }
void TfrmNewFile::btnRefreshClick() { RunAndShow(&cert::TCertFormat::RefreshDetailRec); }
void TfrmNewFile::btnSaveClick() { CertFormat1.PostDetailRec(); }

void TfrmNewFile::btnDeleteClick() {
  if (cbConfirmDel->isChecked() && !FDialogs->ConfirmOkCancel(QString::fromLatin1(kDeletePrompt)))
    return;
  CertFormat1.DeleteDetailRec();
  ShowDetail(false);
  if (CertFormat1.DetailStr().Count() == 0) {
    const QColor face = palette().color(QPalette::Button);
    SetErrorLine(QString(), &face);
    StopFlashing();
  }
}

void TfrmNewFile::btnNewClick() {
  for (QObject* o : FComponents) {
    auto* w = qobject_cast<QWidget*>(o);
    if (!w || !w->parentWidget()) continue;
    const QString parent = w->parentWidget()->objectName();
    if (parent != QLatin1String("Panel9") && parent != QLatin1String("Panel8")) continue;
    if (IsRemembered(w->property("Tag").toInt())) continue;
    if (auto* e = dynamic_cast<TwwDBEdit*>(w))
      e->SetText(std::string());
    else if (auto* d = dynamic_cast<TwwDBDateTimePicker*>(w))
      d->SetDate(0);
    else if (auto* c = dynamic_cast<TwwDBComboBox*>(w))
      c->SetItemIndex(-1);
  }
  Component(QStringLiteral("btnNew"))->setEnabled(false);
  CertFormat1.NewDetailRec();
}

bool TfrmNewFile::IsRemembered(int Tag) const {
  if (Tag < 1) return false;
  auto* cb = qobject_cast<QCheckBox*>(Component(QStringLiteral("CheckBox%1").arg(Tag)));
  return cb && cb->isChecked();
}

void TfrmNewFile::TrackBar1Change() {
  // Only the user's move navigates: the program moving the bar to the current record must not.
  if (!std::exchange(FTrackBarUserMove, false)) return;
  CertFormat1.GotoDetailRec(TrackBar1->value() - 1);
  ShowDetail(false);
}

void TfrmNewFile::CertFormat1CertStatusChange(cert::TObject*, TDetailRecStatus,
                                              TDetailRecStatus CurState) {
  const int i = CertFormat1.DetailIndex();
  const int n = CertFormat1.DetailStr().Count();
  auto enable = [this](const char* name, bool on) {
    Component(QString::fromLatin1(name))->setEnabled(on);
  };
  const bool previous = i > 0, next = i < n - 1;
  const bool post = CurState == cert::drEdit || CurState == cert::drNew;
  enable("btnPrevious", previous);
  enable("btnFirst", previous);
  enable("btnNext", next);
  enable("btnLast", next);
  enable("btnSave", post);
  enable("btnNew", !post);
  enable("btnCancel", post);
  enable("btnDelete", n > 0 && CurState != cert::drNew);
  enable("btnRefresh", n > 0);
  enable("btnWriteFile", n > 0);
  enable("btnVerify", n > 0);
  TrackBar1->setEnabled(n > 0);
}

void TfrmNewFile::CertFormat1CertDetailChange(cert::TObject*) {
  const int i = CertFormat1.DetailIndex();
  const int n = CertFormat1.DetailStr().Count();
  lblRecordNum->setText(QStringLiteral("Record %1 of %2").arg(i + 1).arg(n));
  if (n != TrackBar1->maximum()) {
    if (n >= TrackBar1->minimum()) TrackBar1->setMaximum(n);
    TrackBar1->setPageStep(TrackBar1->maximum() / 10 + 2);
  }
  if (i + 1 != TrackBar1->value()) TrackBar1->setValue(i + 1);
}

// ---- Filling the editors -------------------------------------------------------------------

int TfrmNewFile::FindListItem(const TwwDBComboBox* List, const std::string& Code) const {
  if (Code.empty()) return -1;
  const QString code = wwed::FromCp1252(Code);
  for (int i = 0; i < List->Items.size(); ++i)
    if (List->Items[i].contains(code, Qt::CaseSensitive)) return i;
  return -1;
}

void TfrmNewFile::ShowDate(TwwDBDateTimePicker* editor, const cert::TFieldText& stored) {
  cert::TYmd d;
  if (stored.Empty()) {
    editor->SetDate(0);
  } else if (cert::ReadYYYYMMDD(stored.View(), d)) {
    editor->SetDate(cert::DaysFromYmd(d));
  } else {
    // A date that is not one shows as none, and showing it must not erase the stored text.
    const bool tracking = CertFormat1.ChangeStatus;
    CertFormat1.ChangeStatus = false;
    editor->SetDate(0);
    CertFormat1.ChangeStatus = tracking;
  }
}

void TfrmNewFile::ShowHeader(bool TrackChanges) {
  CertFormat1.ChangeStatus = TrackChanges;
  for (int n = 0; n < cert::HeaderFieldCount; ++n) {
    const cert::TFieldText& v = CertFormat1.HeaderRec.Field(n);
    if (auto* e = dynamic_cast<TwwDBEdit*>(FieldEditor(n)))
      e->SetText(std::string(cert::Trim(v.View())));
    else if (auto* c = dynamic_cast<TwwDBComboBox*>(FieldEditor(n)))
      c->SetItemIndex(FindListItem(c, v.Str()));
  }
  if (!TrackChanges) CertFormat1.ChangeStatus = true;
}

void TfrmNewFile::ShowDetail(bool TrackChanges) {
  CertFormat1.ChangeStatus = TrackChanges;
  static const int kOrder[] = {20, 9,  10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                               22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34};
  for (int n : kOrder) {
    const cert::TFieldText& v = CertFormat1.DetailRec.Field(n);
    QWidget* w = FieldEditor(n);
    if (auto* e = dynamic_cast<TwwDBEdit*>(w))
      e->SetText(std::string(cert::Trim(v.View())));
    else if (auto* c = dynamic_cast<TwwDBComboBox*>(w))
      c->SetItemIndex(FindListItem(c, v.Str()));
    else if (auto* d = dynamic_cast<TwwDBDateTimePicker*>(w))
      ShowDate(d, v);
  }
  if (!TrackChanges) CertFormat1.ChangeStatus = true;
}

// ---- Error display -------------------------------------------------------------------------

void TfrmNewFile::SetErrorLine(const QString& text, const QColor* background) {
  lblErrorMsg->setText(text);
  if (background) SetBackground(lblErrorMsg, *background);
}

void TfrmNewFile::ShowErrorLine(const QString& text) { SetErrorLine(text, &kMaroon); }

void TfrmNewFile::CertFormat1CertError(cert::TObject*, int Index, const std::string& ErrorMsg) {
  ShowErrorLine(wwed::FromCp1252(ErrorMsg));
  StartFlashing(QStringLiteral("Label%1").arg(Index));
}

void TfrmNewFile::CertFormat1CertPassErrorCheck(cert::TObject*) {
  const QColor face = palette().color(QPalette::Button);
  SetErrorLine(QString(), &face);
  StopFlashing();
}

void TfrmNewFile::CertFormat1BeforeFetchDetailRec(cert::TObject*) {
  SetErrorLine(QString(), nullptr);
  StopFlashing();
}

void TfrmNewFile::CertFormat1FileError(cert::TObject*, const std::string& ErrorMsg) {
  if (FSkipFileMessages) return;
  const QString text = NameToText(cert::FileErrorToUtf8(ErrorMsg));
  if (++FFileMessages > kMessagesBeforeSkip)
    FSkipFileMessages = FDialogs->MessageOrSkip(text);
  else
    FDialogs->Message(text);
}

void TfrmNewFile::CertFormat1CertCheckAllForErrors(cert::TObject* Sender, int, const std::string&,
                                                   bool PassErrorCheck) {
  if (PassErrorCheck) return;
  ShowDetail(true);
  if (auto* w = dynamic_cast<QWidget*>(Sender)) w->setFocus(Qt::OtherFocusReason);
}

void TfrmNewFile::FindComponentIndex(const QString& Name) {
  FFlashLabelIndex = -1;
  for (std::size_t i = 0; i < FComponents.size(); ++i)
    if (FComponents[i]->objectName().compare(Name, Qt::CaseInsensitive) == 0) {
      FFlashLabelIndex = static_cast<int>(i);
      return;
    }
}

QLabel* TfrmNewFile::FlashLabel() const {
  if (FFlashLabelIndex < 0) return nullptr;
  return qobject_cast<QLabel*>(FComponents[static_cast<std::size_t>(FFlashLabelIndex)]);
}

void TfrmNewFile::StartFlashing(const QString& Name) {
  StopFlashing();
  FindComponentIndex(Name);
  QLabel* label = FlashLabel();
  if (!label) return;
  FSavedLabelColor = label->palette().color(QPalette::Window);
  label->setAutoFillBackground(true);
  TmrFlashLabel->start();
}

void TfrmNewFile::StopFlashing() {
  if (FFlashLabelIndex < 0) return;
  TmrFlashLabel->stop();
  QLabel* label = FlashLabel();
  if (!label) return;
  SetBackground(label, FSavedLabelColor);
  label->setAutoFillBackground(false);
}

bool TfrmNewFile::FlashTimerActive() const { return TmrFlashLabel->isActive(); }

void TfrmNewFile::TmrFlashLabelTimer() {
  QLabel* label = FlashLabel();
  if (!label) return;
  SetBackground(label, FFlashPhase ? FSavedLabelColor : FFlashColor);
  FFlashPhase = !FFlashPhase;
}

void TfrmNewFile::CustomLengthCheckValue(cert::TObject* Sender, bool PassesPictureTest) {
  LengthMessage(Sender, PassesPictureTest, LengthBracket(lhOptional), "Cannot be more than ");
}

void TfrmNewFile::CustomLengthCheckValue2(cert::TObject* Sender, bool PassesPictureTest) {
  LengthMessage(Sender, PassesPictureTest, LengthBracket(lhExact), "Must be exactly ");
}

void TfrmNewFile::LengthMessage(cert::TObject* Sender, bool passes, char bracket,
                                const char* prefix) {
  if (passes) {
    lblLengthError->setText(QString());
    lblLengthError->hide();
    return;
  }
  auto* edit = dynamic_cast<TwwDBEdit*>(Sender);
  if (!edit) return;
  const std::string_view count = LengthCount(edit->Picture.PictureMask, bracket);
  lblLengthError->setText(QString::fromLatin1(prefix) +
                          QString::fromLatin1(count.data(), static_cast<qsizetype>(count.size())) +
                          QStringLiteral(" characters and/or digits."));
  lblLengthError->adjustSize();
  lblLengthError->show();
}
