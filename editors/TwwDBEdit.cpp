#include "TwwDBEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>
#include <typeinfo>

#include "PictureValidator.h"

using wwed::FromCp1252;
using wwed::ToCp1252;

TwwCustomMaskEdit::TwwCustomMaskEdit(QWidget* parent) : QLineEdit(parent) {
  connect(this, &QLineEdit::textChanged, this, [this](const QString&) { Change(); });
  connect(this, &QLineEdit::textEdited, this, [this](const QString&) { FModified = true; });
}

std::string TwwCustomMaskEdit::Text() const { return ToCp1252(text()).value_or(std::string()); }

void TwwCustomMaskEdit::SetText(const std::string& value) {
  const QString v = FromCp1252(value);
  if (v != text()) setText(v);
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
  std::string cand = before + typed + after;
  TwwPictureResult r = v.CheckPicture(cand, Picture.AutoFill);
  if (r == picError && Picture.AutoFill) {
    // A space stands for the literal the mask expects here; the key then follows it.
    std::string spaced = before + " " + after;
    r = v.CheckPicture(spaced, true);
    if (r != picError) {
      cand = spaced + typed;
      r = v.CheckPicture(cand, true);
    }
  }
  const long growth = static_cast<long>(cand.size()) - static_cast<long>(cur.size());
  auto place = [&](long caret) {
    FModified = true;
    SetText(cand);
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

void TwwCustomMaskEdit::RevertToSaved() {
  setText(FSavedText);
  selectAll();
  FModified = false;
  ValueCheck(text());
}

void TwwCustomMaskEdit::PasteFromClipboard() {
  if (isReadOnly()) return;
  QString clip = QApplication::clipboard()->text();
  // One line only: whatever follows the first line break stays on the clipboard.
  const int brk = clip.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (brk >= 0) clip.truncate(brk);
  if (!ToCp1252(clip)) {
    wwed::Beep();
    return;
  }
  const int caretBefore = hasSelectedText() ? selectionStart() : cursorPosition();
  const int lenBefore = text().size();
  insert(clip);
  FModified = true;
  std::string t = Text();
  if (MaskApplies()) {
    TwwPictureValidator v(Picture.PictureMask, Picture.AutoFill);
    v.CheckPicture(t, Picture.AutoFill);
  }
  SetText(t);
  const int len = text().size();
  const int caret = caretBefore + (len - lenBefore);
  setCursorPosition(caret < 0 ? 0 : caret > len ? len : caret);
  ValueCheck(text());
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
  const QString typed = e->text();
  const bool printable = !typed.isEmpty() && typed.at(0).unicode() >= 32 &&
                         typed.at(0).unicode() != 127 &&
                         !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (!printable || isReadOnly()) {
    QLineEdit::keyPressEvent(e);
    return;
  }
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
  if (FRefocusing) {  // taken back after a refused exit: the visit goes on
    FRefocusing = false;
    selectAll();
    return;
  }
  FSavedText = text();
  FExitRefused = false;
  if (OnEnterField) OnEnterField();
  FModified = false;
}

bool TwwCustomMaskEdit::ExitCheck() {
  if (OnExitField) OnExitField();
  FExitRefused = false;
  if (MaskApplies() && FModified && !ValueCheck(text()) && !Picture.AllowInvalidExit) {
    selectAll();
    FModified = true;
    FExitRefused = true;
    wwed::Beep();
    return false;
  }
  return true;
}

bool TwwCustomMaskEdit::focusNextPrevChild(bool next) {
  if (!ExitCheck()) return true;
  FExitChecked = true;
  return QLineEdit::focusNextPrevChild(next);
}

void TwwCustomMaskEdit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  if (FExitChecked) {
    FExitChecked = false;
    return;
  }
  // Another window or a menu taking the focus is not leaving the field.
  if (e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason) return;
  if (!ExitCheck()) {
    FRefocusing = true;
    QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
  }
}

void TwwCustomMaskEdit::paintEvent(QPaintEvent* e) {
  QLineEdit::paintEvent(e);
  QPainter p(this);
  Frame.Paint(this, p, hasFocus());
}

void TwwCustomMaskEdit::contextMenuEvent(QContextMenuEvent* e) {
  // The toolkit's own menu would paste past the mask; these go through the field's rules.
  QMenu menu(this);
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
