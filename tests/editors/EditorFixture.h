// Shared test support for the field editors: a shown window, keystroke scripts, counted beeps.
#pragma once

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QWidget>

#include "CertDate.h"
#include "EditorSupport.h"

namespace edtest {

inline int& Beeps() {
  static int n = 0;
  return n;
}

// Fixes today to 10 December 2026 and counts beeps instead of sounding them.
inline void FixEnvironment() {
  cert::SetTodayProvider([] { return cert::TYmd{2026, 12, 10}; });
  wwed::SetBeepHandler([] { ++Beeps(); });
}

// Types a script into the focused widget: plain characters, and {Tab}, {BackTab}, {BS},
// {Del}, {Esc}, {Enter}, {Left}, {Right}, {Up}, {Down}, {Home}, {End}, {F4}, {AltDown},
// {ShiftHome}.
inline void Type(QWidget* w, const QString& script) {
  static const struct {
    const char* Name;
    Qt::Key Key;
    Qt::KeyboardModifiers Mods;
  } kKeys[] = {{"Tab", Qt::Key_Tab, Qt::NoModifier},
               {"BackTab", Qt::Key_Backtab, Qt::ShiftModifier},
               {"BS", Qt::Key_Backspace, Qt::NoModifier},
               {"Del", Qt::Key_Delete, Qt::NoModifier},
               {"Esc", Qt::Key_Escape, Qt::NoModifier},
               {"Enter", Qt::Key_Return, Qt::NoModifier},
               {"Left", Qt::Key_Left, Qt::NoModifier},
               {"Right", Qt::Key_Right, Qt::NoModifier},
               {"Up", Qt::Key_Up, Qt::NoModifier},
               {"Down", Qt::Key_Down, Qt::NoModifier},
               {"Home", Qt::Key_Home, Qt::NoModifier},
               {"End", Qt::Key_End, Qt::NoModifier},
               {"F4", Qt::Key_F4, Qt::NoModifier},
               {"AltDown", Qt::Key_Down, Qt::AltModifier},
               {"ShiftHome", Qt::Key_Home, Qt::ShiftModifier}};
  for (int i = 0; i < script.size(); ++i) {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
    if (QWidget* popup = QApplication::activePopupWidget())
      target = popup->focusWidget() ? popup->focusWidget() : popup;
    if (script[i] == QLatin1Char('{')) {
      const int close = script.indexOf(QLatin1Char('}'), i);
      const QString name = script.mid(i + 1, close - i - 1);
      i = close;
      for (const auto& k : kKeys)
        if (name == QLatin1String(k.Name)) QTest::keyClick(target, k.Key, k.Mods);
    } else if (script[i].unicode() < 128) {
      QTest::keyClicks(target, QString(script[i]));
    } else {  // the test library's key table knows ASCII only
      QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(script[i]));
      QApplication::sendEvent(target, &press);
      QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(script[i]));
      QApplication::sendEvent(target, &release);
    }
    QApplication::processEvents();
  }
}

// Drops a text on the field at x (y in the middle), as a drag from another program would.
inline void DropText(QWidget* w, const QString& text, int x,
                     Qt::DropAction action = Qt::CopyAction) {
  QMimeData mime;
  mime.setText(text);
  const QPointF at(x, w->height() / 2);
  QDragEnterEvent enter(at.toPoint(), action, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &enter);
  QDropEvent drop(at, action, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(w, &drop);
}

// Whether the field shows its text from the first character: what it shows does not change when
// its view is moved to the start (the selection kept as it is). Moves the caret.
inline bool ShowsStart(QLineEdit* field) {
  const QImage shown = field->grab().toImage();
  const int len = static_cast<int>(field->text().size());
  if (field->hasSelectedText() && field->selectedText() == field->text())
    field->setSelection(len, -len);
  else
    field->setCursorPosition(0);
  return field->grab().toImage() == shown;
}

// A top-level window holding the widgets under test and a neighbour to move the focus to.
struct TWindow {
  QWidget Top;
  QLineEdit* Next;
  TWindow() {
    Top.resize(400, 200);
    Next = new QLineEdit(&Top);
    Next->setObjectName(QStringLiteral("Next"));
    Next->setGeometry(10, 150, 100, 20);
  }
  void Show(QWidget* focus) {
    Top.show();
    Top.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Top));
    focus->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
  }
  // The user turns to another window and comes back.
  void VisitAnotherWindow() {
    QWidget other;
    other.resize(100, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    Top.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&Top));
    QApplication::processEvents();
  }
};

}  // namespace edtest
