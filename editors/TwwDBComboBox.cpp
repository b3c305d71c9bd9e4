#include "TwwDBComboBox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>
#include <QVBoxLayout>
#include <typeinfo>

#include "PictureValidator.h"

TwwDBCustomCombo::TwwDBCustomCombo(QWidget* parent) : TwwDBCustomEdit(parent) {
  setReadOnly(true);
  setContextMenuPolicy(Qt::NoContextMenu);
  setTextMargins(0, 0, 18, 0);
}

TwwDBCustomCombo::~TwwDBCustomCombo() {
  if (!FPopup) return;
  // Hiding the list while it is destroyed must not reach a field that is half gone.
  FPopup->removeEventFilter(this);
  FList->removeEventFilter(this);
  delete FPopup;
}

QRect TwwDBCustomCombo::ButtonRect() const {
  return ShowButton ? QRect(width() - 17, 0, 17, height()) : QRect();
}

bool TwwDBCustomCombo::ListOpen() const { return FPopup && FPopup->isVisible(); }

void TwwDBCustomCombo::DropDown() {
  if (ListOpen()) return;
  if (!FPopup) {
    FPopup = new QFrame(nullptr, Qt::Popup);
    FPopup->setObjectName(QStringLiteral("ComboPopup"));
    auto* layout = new QVBoxLayout(FPopup);
    layout->setContentsMargins(0, 0, 0, 0);
    // Neither the list nor its frame takes the focus: it stays in the field, which gets the
    // keys, and the list never picks a first row on its own.
    FPopup->setFocusPolicy(Qt::NoFocus);
    FList = new QListWidget(FPopup);
    FList->setObjectName(QStringLiteral("ComboList"));
    FList->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(FList);
    FList->setFrameShape(QFrame::Box);
    FList->setLineWidth(1);
    FPopup->installEventFilter(this);
    FList->setUniformItemSizes(true);
    FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FList->installEventFilter(this);
    connect(FList, &QListWidget::currentRowChanged, this, [this](int row) {
      if (!FAccepting && row >= 0 && ListOpen()) ListHighlighted(row);
    });
    connect(FList, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { CloseUp(true); });
  }
  FList->setFont(font());
  const QStringList rows = ListRows();
  const int rowHeight = fontMetrics().height() + 2;
  FAccepting = true;  // filling the list is not a highlight move
  FList->clear();
  for (const QString& row : rows) {
    auto* item = new QListWidgetItem(row, FList);
    item->setSizeHint(QSize(10, rowHeight));
  }
  const int chosen = ListChosen();
  FList->setCurrentRow(chosen);
  if (chosen < 0) FList->clearSelection();
  FAccepting = false;
  const int visible = std::max(1, std::min(static_cast<int>(rows.size()), DropDownCount));
  const QSize size(DropDownWidth > 0 ? DropDownWidth : width(), visible * rowHeight + 4);
  FPopup->setFixedSize(size);
  FPopup->move(wwed::PopupPosition(this, size));
  FTextAtOpen = text();
  if (OnDropDown) OnDropDown();
  FPopup->show();
  if (chosen >= 0) FList->scrollToItem(FList->item(chosen));
}

void TwwDBCustomCombo::CloseUp(bool accept) {
  if (!ListOpen() || FAccepting) return;
  FAccepting = true;
  const int row = FList->currentRow();
  const bool highlighted = row >= 0 && FList->item(row)->isSelected();
  FPopup->hide();
  if (accept && highlighted) ListAccepted(row, text() != FTextAtOpen);
  FAccepting = false;
  if (OnCloseUp) OnCloseUp();
}

void TwwDBCustomCombo::paintEvent(QPaintEvent* e) {
  TwwDBCustomEdit::paintEvent(e);
  if (!ShowButton) return;
  QPainter p(this);
  QStyleOption opt;
  opt.initFrom(this);
  opt.rect = ButtonRect().adjusted(4, 5, -4, -5);
  style()->drawPrimitive(QStyle::PE_IndicatorArrowDown, &opt, &p, this);
}

void TwwDBCustomCombo::mousePressEvent(QMouseEvent* e) {
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  if (ListOpen())
    CloseUp(true);
  else
    DropDown();
  e->accept();
}

void TwwDBCustomCombo::keyPressEvent(QKeyEvent* e) {
  if (!ListOpen()) return TwwDBCustomEdit::keyPressEvent(e);
  e->accept();
  const bool alt = e->modifiers() & Qt::AltModifier;
  switch (e->key()) {
    case Qt::Key_Escape:
      return CloseUp(false);
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F4:
      return CloseUp(true);
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      CloseUp(true);
      focusNextPrevChild(e->key() == Qt::Key_Tab);
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
      if (alt) return CloseUp(true);
      const int step = e->key() == Qt::Key_Up       ? -1
                       : e->key() == Qt::Key_Down   ? 1
                       : e->key() == Qt::Key_PageUp ? -DropDownCount
                                                    : DropDownCount;
      const int last = FList->count() - 1;
      int row = FList->currentRow() < 0 || !FList->currentItem()->isSelected()
                    ? (step > 0 ? 0 : last)
                    : FList->currentRow() + step;
      row = row < 0 ? 0 : row > last ? last : row;
      if (row >= 0) FList->setCurrentRow(row);
      return;
    }
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
      return TwwDBCustomEdit::keyPressEvent(e);  // they move in the text box
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
      return;  // the clear key acts on release
    default:
      return ListKey(e);
  }
}

void TwwDBCustomCombo::keyReleaseEvent(QKeyEvent* e) {
  if (ListOpen() && (e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace)) {
    e->accept();
    return ListKey(e);
  }
  TwwDBCustomEdit::keyReleaseEvent(e);
}

void TwwDBCustomCombo::focusOutEvent(QFocusEvent* e) {
  // Leaving the field closes an open list, taking the highlighted row.
  if (!wwed::SameVisit(e->reason())) CloseUp(true);
  TwwDBCustomEdit::focusOutEvent(e);
}

bool TwwDBCustomCombo::eventFilter(QObject* watched, QEvent* event) {
  if (FPopup && (watched == FList || watched == FPopup)) {
    // The open list grabs the keyboard; its keys belong to the field, which keeps the focus.
    if (event->type() == QEvent::KeyPress) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
    if (event->type() == QEvent::KeyRelease) {
      keyReleaseEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
    if (watched == FPopup && event->type() == QEvent::Hide && !FAccepting) {
      // The toolkit closed the list (a click outside): that accepts the highlighted row.
      FAccepting = true;
      const int row = FList->currentRow();
      if (row >= 0 && FList->item(row)->isSelected()) ListAccepted(row, text() != FTextAtOpen);
      FAccepting = false;
      if (OnCloseUp) OnCloseUp();
    }
  }
  return TwwDBCustomEdit::eventFilter(watched, event);
}

TwwDBCustomComboBox::TwwDBCustomComboBox(QWidget* parent) : TwwDBCustomCombo(parent) {}

QString TwwDBCustomComboBox::Shown(const QString& row) const {
  if (CharCase == ecNormal) return row;
  std::string bytes = wwed::ToCp1252(row).value_or(std::string());
  for (char& c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    c = static_cast<char>(CharCase == ecUpperCase ? Cp1252Upper(b) : Cp1252Lower(b));
  }
  return wwed::FromCp1252(bytes);
}

void TwwDBCustomComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= Items.size()) return;
  FItemIndex = index;
  const QString shown = index < 0 ? QString() : Shown(Items[index]);
  if (shown != text()) {
    setText(shown);
    setCursorPosition(0);  // the code at the start is what must be seen
  }
  if (ListOpen() && List()->currentRow() != index) List()->setCurrentRow(index);
}

int TwwDBCustomComboBox::ListChosen() const {
  if (text().isEmpty()) return -1;
  for (int i = 0; i < Items.size(); ++i)
    if (Items[i].compare(text(), Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void TwwDBCustomComboBox::Choose(int index) {
  SetItemIndex(index);
  SetModified(true);
}

void TwwDBCustomComboBox::ListHighlighted(int row) {
  if (row != FItemIndex) Choose(row);
}

void TwwDBCustomComboBox::ListAccepted(int row, bool changed) {
  if (row != FItemIndex || changed) Choose(row);
}

void TwwDBCustomComboBox::ChooseByChar(QChar ch) {
  const int n = static_cast<int>(Items.size());
  for (int k = 0; k < n; ++k) {
    const int i = FItemIndex < 0 ? k : (FItemIndex + 1 + k) % n;
    if (Items[i].startsWith(ch, Qt::CaseInsensitive)) return Choose(i);
  }
}

void TwwDBCustomComboBox::ListKey(QKeyEvent* e) {
  if (e->type() == QEvent::KeyRelease) {
    if (AllowClearKey && text().isEmpty()) SetItemIndex(-1);
    return;
  }
  const QString t = e->text();
  if (!t.isEmpty() && t[0].isPrint() && !(e->modifiers() & (Qt::AltModifier | Qt::ControlModifier)))
    ChooseByChar(t[0]);
}

void TwwDBCustomComboBox::keyPressEvent(QKeyEvent* e) {
  if (ListOpen()) return TwwDBCustomCombo::keyPressEvent(e);
  const bool alt = e->modifiers() & Qt::AltModifier;
  const int key = e->key();
  if (key == Qt::Key_F4 || (alt && (key == Qt::Key_Down || key == Qt::Key_Up))) {
    DropDown();
    return e->accept();
  }
  switch (key) {
    case Qt::Key_Up:
      if (FItemIndex > 0) ListAccepted(FItemIndex - 1, true);
      return e->accept();
    case Qt::Key_Down:
      if (FItemIndex < Items.size() - 1) ListAccepted(FItemIndex + 1, true);
      return e->accept();
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return e->accept();  // the clear key acts on release
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
      return TwwDBCustomCombo::keyPressEvent(e);
    default:
      break;
  }
  const QString t = e->text();
  if (!t.isEmpty() && t[0].isPrint() &&
      !(e->modifiers() & (Qt::AltModifier | Qt::ControlModifier))) {
    if (AutoDropDown) DropDown();
    ChooseByChar(t[0]);
  }
  e->accept();
}

void TwwDBCustomComboBox::keyReleaseEvent(QKeyEvent* e) {
  if ((e->key() == Qt::Key_Delete || e->key() == Qt::Key_Backspace) && AllowClearKey &&
      !ListOpen() && !e->isAutoRepeat()) {
    Choose(-1);
    return e->accept();
  }
  TwwDBCustomCombo::keyReleaseEvent(e);
}

cert::TEditorClass TwwDBComboBox::EditorClass() const {
  return typeid(*this) == typeid(TwwDBComboBox) ? cert::ecComboBox : cert::ecOther;
}
