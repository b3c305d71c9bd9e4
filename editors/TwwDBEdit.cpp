#include "TwwDBEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimer>
#include <algorithm>
#include <optional>
#include <typeinfo>

#include "PictureValidator.h"

using wwed::FromCp1252;
using wwed::ToCp1252;

namespace {

// Only the text before the first line break enters a one-line field.
QString FirstLine(QString text) {
  const int brk = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (brk >= 0) text.truncate(brk);
  return text;
}

// A key whose text the edit box would insert. Alt alone makes a mnemonic, not text; Ctrl with
// Alt is how some keyboards type their third-level characters.
bool TypesText(const QKeyEvent* e) {
  const QString typed = e->text();
  if (typed.isEmpty() || typed.at(0).unicode() < 32 || typed.at(0).unicode() == 127) return false;
  const Qt::KeyboardModifiers ctrlAlt = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
  return ctrlAlt == Qt::NoModifier || ctrlAlt == (Qt::ControlModifier | Qt::AltModifier);
}

}  // namespace

TwwCustomMaskEdit::TwwCustomMaskEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this](const QString&) { Change(); });
  connect(this, &QLineEdit::textEdited, this, [this](const QString&) { FModified = true; });
}

std::string TwwCustomMaskEdit::Text() const { return ToCp1252(text()).value_or(std::string()); }

void TwwCustomMaskEdit::SetText(const std::string& value) {
  const QString v = FromCp1252(value);
  if (v == text()) return;
  setText(v);
  setCursorPosition(0);
}

void TwwCustomMaskEdit::SelectAllFromStart() {
  const int len = static_cast<int>(text().size());
  setSelection(len, -len);
}

void TwwCustomMaskEdit::ReportCheck(bool passes) {
  if (OnCheckValue) OnCheckValue(CheckSender(), passes);
}

bool TwwCustomMaskEdit::ValueCheck(const QString& text) {
  bool passes = true;
  if (!text.isEmpty() && MaskApplies()) {
    TwwPictureValidator v(Picture.PictureMask, Picture.AutoFill);
    std::string copy = ToCp1252(text).value_or(std::string());
    passes = v.CheckPicture(copy, false) == picComplete;
  }
  ReportCheck(passes);
  return passes;
}

void TwwCustomMaskEdit::HandleChar(QKeyEvent* e, const std::string& typed) {
  const std::string cur = Text();
  const bool hasSel = hasSelectedText();
  const std::size_t selStart =
      static_cast<std::size_t>(hasSel ? selectionStart() : cursorPosition());
  const std::size_t selLen = hasSel ? static_cast<std::size_t>(selectedText().size()) : 0;
  const bool wholeSelected = selLen == cur.size();
  const std::string before = cur.substr(0, selStart), after = cur.substr(selStart + selLen);

  TwwPictureValidator v(Picture.PictureMask, Picture.AutoFill);
  std::string cand;
  const TwwPictureResult r = TypeKey(v, Picture.AutoFill, before, typed, after, cand);
  const long growth = static_cast<long>(cand.size()) - static_cast<long>(cur.size());
  auto place = [&](long caret) {
    FModified = true;
    EditText(FromCp1252(cand));
    deselect();
    const long len = static_cast<long>(cand.size());
    setCursorPosition(static_cast<int>(caret < 0 ? 0 : caret > len ? len : caret));
  };
  const long caret = static_cast<long>(selStart);
  switch (r) {
    case picComplete:
      place(wholeSelected ? static_cast<long>(cand.size())
            : growth > 0  ? caret + growth
                          : caret + 1);
      ReportCheck(true);
      break;
    case picIncomplete:
      place(wholeSelected ? static_cast<long>(cand.size()) : hasSel ? caret + 1 : caret + growth);
      ReportCheck(false);
      break;
    case picError:
      if (selStart + selLen < cur.size()) {
        QLineEdit::keyPressEvent(e);
        ReportCheck(false);
      } else {
        wwed::Beep();
      }
      break;
    default:
      QLineEdit::keyPressEvent(e);
      ReportCheck(true);
      break;
  }
  e->accept();
}

void TwwCustomMaskEdit::EditText(const QString& result) {
  const QString cur = text();
  if (result == cur) return;
  // Only the part that differs is replaced, so that undo and redo act as after Qt's own edits.
  const int most = static_cast<int>(std::min(cur.size(), result.size()));
  int head = 0;
  while (head < most && cur[head] == result[head]) ++head;
  int tail = 0;
  while (tail < most - head && cur[cur.size() - 1 - tail] == result[result.size() - 1 - tail])
    ++tail;
  const int replaced = static_cast<int>(cur.size()) - head - tail;
  if (replaced > 0)
    setSelection(head, replaced);
  else
    setCursorPosition(head);
  insert(result.mid(head, result.size() - head - tail));
}

void TwwCustomMaskEdit::RevertToSaved() {
  setText(FSavedText);
  SelectAllFromStart();
  FModified = false;
  ValueCheck(text());
}

bool TwwCustomMaskEdit::TakeText(const QString& base, int at, QString incoming, bool refuseError) {
  if (isReadOnly()) return false;
  incoming = FirstLine(incoming);
  std::optional<std::string> bytes = ToCp1252(base.left(at) + incoming + base.mid(at));
  if (!bytes) {
    wwed::Beep();
    return false;
  }
  if (MaskApplies()) {
    TwwPictureValidator v(Picture.PictureMask, Picture.AutoFill);
    if (v.CheckPicture(*bytes, Picture.AutoFill) == picError && refuseError) {
      wwed::Beep();
      return false;
    }
  }
  FModified = true;
  const QString result = FromCp1252(*bytes);
  EditText(result);
  deselect();
  const int len = static_cast<int>(result.size());
  const int caret = at + len - static_cast<int>(base.size());
  setCursorPosition(caret < 0 ? 0 : caret > len ? len : caret);
  ValueCheck(text());
  return true;
}

void TwwCustomMaskEdit::PasteFromClipboard() {
  // The clipboard itself keeps every line.
  QString base = text();
  const int at = hasSelectedText() ? selectionStart() : cursorPosition();
  if (hasSelectedText()) base.remove(at, selectedText().size());
  TakeText(base, at, QApplication::clipboard()->text(), false);
}

void TwwCustomMaskEdit::CutToClipboard() {
  if (isReadOnly() || !hasSelectedText()) return;
  cut();
  FModified = true;
  ValueCheck(text());
}

void TwwCustomMaskEdit::keyPressEvent(QKeyEvent* e) {
  if (e->matches(QKeySequence::Paste)) {
    PasteFromClipboard();
    e->accept();
    return;
  }
  if (e->matches(QKeySequence::Cut)) {
    CutToClipboard();
    e->accept();
    return;
  }
  if (e->matches(QKeySequence::Undo) || e->matches(QKeySequence::Redo)) {
    UndoRedo(e->matches(QKeySequence::Undo));
    e->accept();
    return;
  }
  switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (!WantReturns) {
        e->accept();
        return;
      }
      break;
    case Qt::Key_Escape:
      RevertToSaved();
      e->accept();
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      QLineEdit::keyPressEvent(e);
      return;
    case Qt::Key_Backspace:
      if (MaskApplies() && !isReadOnly()) {
        QString left = text();
        if (hasSelectedText())
          left.remove(selectionStart(), selectedText().size());
        else if (cursorPosition() > 0)
          left.remove(cursorPosition() - 1, 1);
        ValueCheck(left);
      }
      QLineEdit::keyPressEvent(e);
      return;
    default:
      break;
  }
  if ((e->modifiers() & Qt::AltModifier) && !(e->modifiers() & Qt::ControlModifier) &&
      !e->text().isEmpty()) {
    e->ignore();  // the edit box would insert the letter of a mnemonic nobody took
    return;
  }
  if (!TypesText(e) || isReadOnly()) {
    QLineEdit::keyPressEvent(e);
    return;
  }
  const QString typed = e->text();
  const auto bytes = ToCp1252(typed);
  if (!bytes) {
    wwed::Beep();
    e->accept();
    return;
  }
  if (!MaskApplies()) {
    QLineEdit::keyPressEvent(e);
    return;
  }
  HandleChar(e, *bytes);
}

void TwwCustomMaskEdit::keyReleaseEvent(QKeyEvent* e) {
  QLineEdit::keyReleaseEvent(e);
  if (e->key() == Qt::Key_Delete && MaskApplies() && !e->isAutoRepeat()) ValueCheck(text());
}

void TwwCustomMaskEdit::focusInEvent(QFocusEvent* e) {
  QLineEdit::focusInEvent(e);
  if (hasSelectedText() && selectedText() == text()) SelectAllFromStart();
  if (FRefocusing) {  // taken back after a refused exit: the visit goes on
    FRefocusing = false;
    SelectAllFromStart();
    return;
  }
  // The focus coming back from a pop-up (the code list, a menu) or from another window is the
  // same visit: the text saved for Esc and the Modified flag stay as they are.
  if (FInVisit && wwed::SameVisit(e->reason())) return;
  FInVisit = true;
  FSavedText = text();
  FExitRefused = false;
  if (OnEnterField) OnEnterField();
  FModified = false;
}

bool TwwCustomMaskEdit::ExitCheck() {
  if (OnExitField) OnExitField();
  FExitRefused = false;
  if (MaskApplies() && FModified && !ValueCheck(text()) && !Picture.AllowInvalidExit) {
    SelectAllFromStart();
    FModified = true;
    FExitRefused = true;
    wwed::Beep();
    return false;
  }
  return true;
}

bool TwwCustomMaskEdit::focusNextPrevChild(bool next) {
  if (!ExitCheck()) return true;
  FExitChecked = true;  // the focus-out that follows has been checked already
  const bool moved = QLineEdit::focusNextPrevChild(next);
  FExitChecked = false;
  return moved;
}

void TwwCustomMaskEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  // Another window or a pop-up taking the focus is not leaving the field.
  if (!FExitChecked && wwed::SameVisit(e->reason())) return;
  if (!FExitChecked && !ExitCheck()) {
    FRefocusing = true;
    QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
    return;
  }
  FExitChecked = false;
  FInVisit = false;
  setCursorPosition(0);  // a field not being edited shows where its text begins
}

void TwwCustomMaskEdit::paintEvent(QPaintEvent* e) {
  QLineEdit::paintEvent(e);
  QPainter p(this);
  Frame.Paint(this, p, hasFocus());
}

void TwwCustomMaskEdit::UndoRedo(bool undoing) {
  if (isReadOnly() || !(undoing ? isUndoAvailable() : isRedoAvailable())) return;
  const QString before = text();
  bool allowed;
  {
    // A trial: nobody hears of a text that may be taken back at once.
    const QSignalBlocker quiet(this);
    undoing ? undo() : redo();
    std::optional<std::string> bytes = ToCp1252(text());
    allowed = bytes.has_value();
    if (allowed && MaskApplies() && !text().isEmpty()) {
      TwwPictureValidator v(Picture.PictureMask, Picture.AutoFill);
      allowed = v.CheckPicture(*bytes, false) != picError;
    }
    if (!allowed) undoing ? redo() : undo();
  }
  if (!allowed) {
    wwed::Beep();
    return;
  }
  if (text() == before) return;
  FModified = true;
  Change();
  ValueCheck(text());
}

void TwwCustomMaskEdit::dropEvent(QDropEvent* e) {
  // The edit box's own drop would skip the mask; a drop is taken as a paste at the drop point
  // into the field, which takes the focus for it as a click would.
  QDragLeaveEvent leave;
  QLineEdit::dragLeaveEvent(&leave);  // ends the drop caret
  if (isReadOnly() || !e->mimeData()->hasText()) {
    e->ignore();
    return;
  }
  auto* before = dynamic_cast<TwwCustomMaskEdit*>(QApplication::focusWidget());
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  if (!hasFocus() || (before && before != this && before->ExitRefused())) {
    e->ignore();
    return;
  }
  const int at = cursorPositionAt(e->position().toPoint());
  if (TakeText(text(), at, e->mimeData()->text(), true))
    e->acceptProposedAction();
  else
    e->ignore();
}

void TwwCustomMaskEdit::inputMethodEvent(QInputMethodEvent* e) {
  if (isReadOnly() || (e->commitString().isEmpty() && e->replacementLength() == 0)) {
    QLineEdit::inputMethodEvent(e);
    return;
  }
  // The text being composed stays the input method's business; what it commits enters the
  // field through the mask.
  QInputMethodEvent composing(e->preeditString(), e->attributes());
  QLineEdit::inputMethodEvent(&composing);
  QString base = text();
  int at = hasSelectedText() ? selectionStart() : cursorPosition();
  int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
  if (e->replacementLength() > 0) {
    at = std::clamp(cursorPosition() + e->replacementStart(), 0, static_cast<int>(base.size()));
    length = std::min(e->replacementLength(), static_cast<int>(base.size()) - at);
  }
  base.remove(at, length);
  TakeText(base, at, e->commitString(), true);
  e->accept();
}

void TwwCustomMaskEdit::mouseReleaseEvent(QMouseEvent* e) {
  // The middle button pastes the selection where the system has one: a paste like any other.
  if (e->button() == Qt::MiddleButton && !isReadOnly() &&
      QApplication::clipboard()->supportsSelection()) {
    const int at = cursorPositionAt(e->position().toPoint());
    TakeText(text(), at, QApplication::clipboard()->text(QClipboard::Selection), false);
    e->accept();
    return;
  }
  QLineEdit::mouseReleaseEvent(e);
}

void TwwCustomMaskEdit::contextMenuEvent(QContextMenuEvent* e) {
  // The toolkit's own menu would paste past the mask; these go through the field's rules.
  QMenu menu(this);
  menu.addAction(tr("&Undo"), this, [this] { UndoRedo(true); })
      ->setEnabled(isUndoAvailable() && !isReadOnly());
  menu.addAction(tr("&Redo"), this, [this] { UndoRedo(false); })
      ->setEnabled(isRedoAvailable() && !isReadOnly());
  menu.addSeparator();
  menu.addAction(tr("Cu&t"), this, [this] { CutToClipboard(); })
      ->setEnabled(hasSelectedText() && !isReadOnly());
  menu.addAction(tr("&Copy"), this, [this] { copy(); })->setEnabled(hasSelectedText());
  menu.addAction(tr("&Paste"), this, [this] { PasteFromClipboard(); })->setEnabled(!isReadOnly());
  menu.addSeparator();
  menu.addAction(tr("Select &All"), this, [this] { selectAll(); });
  menu.exec(e->globalPos());
}

cert::TEditorClass TwwDBEdit::EditorClass() const {
  return typeid(*this) == typeid(TwwDBEdit) ? cert::ecMaskEdit : cert::ecOther;
}
