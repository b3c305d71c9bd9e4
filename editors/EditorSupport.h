// What the three field editors share: the beep, the code page at the Qt boundary, the frame.
#pragma once

#include <QPoint>
#include <QSize>
#include <QString>
#include <Qt>
#include <functional>
#include <optional>
#include <string>

class QWidget;
class QPainter;

namespace wwed {

// The system's default beep; tests replace it to count beeps.
void SetBeepHandler(std::function<void()> beep);
void Beep();

// Windows-1252 bytes to and from Qt text; nullopt when a character has no byte.
QString FromCp1252(const std::string& bytes);
std::optional<std::string> ToCp1252(const QString& text);

// Whether the focus goes to, or comes back from, a pop-up (a list, a calendar, a menu) or
// another window: that is not leaving the field, and the visit goes on.
inline bool SameVisit(Qt::FocusReason reason) {
  return reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
}

enum TFrameEdge { feLeft = 1, feTop = 2, feRight = 4, feBottom = 8 };

// The flat frame line drawn instead of a border.
struct TwwFrame {
  bool Enabled = false;
  int FocusBorders = feLeft | feTop | feRight | feBottom;
  int NonFocusBorders = feBottom;
  void Paint(QWidget* w, QPainter& p, bool focused) const;
};

// Where a drop-down of `size` opens: directly below the field, above it when the screen has no
// room below, shifted left to end at the field's right edge when it would run off the screen.
QPoint PopupPosition(const QWidget* field, const QSize& size);

// Gives the field editors the one look the window wants: no border, button-face background,
// the bottom frame line.
void ApplyFieldLook(QWidget* w, TwwFrame& frame);

}  // namespace wwed
