#include "EditorSupport.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QWidget>

#include "Cp1252.h"

namespace wwed {

namespace {
std::function<void()>& BeepHandler() {
  static std::function<void()> fn;
  return fn;
}
}  // namespace

void SetBeepHandler(std::function<void()> beep) { BeepHandler() = std::move(beep); }

void Beep() {
  if (BeepHandler())
    BeepHandler()();
  else
    QApplication::beep();
}

QString FromCp1252(const std::string& bytes) {
  QString out;
  out.reserve(static_cast<int>(bytes.size()));
  for (unsigned char b : bytes) out += QChar(static_cast<char16_t>(cert::Cp1252ToUnicode(b)));
  return out;
}

std::optional<std::string> ToCp1252(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (QChar ch : text) {
    const int b = cert::UnicodeToCp1252(ch.unicode());
    if (b < 0) return std::nullopt;
    out += static_cast<char>(b);
  }
  return out;
}

void TwwFrame::Paint(QWidget* w, QPainter& p, bool focused) const {
  if (!Enabled) return;
  const int edges = focused ? FocusBorders : NonFocusBorders;
  const QRect r = w->rect().adjusted(0, 0, -1, -1);
  p.setPen(w->palette().color(QPalette::Shadow));
  if (edges & feLeft) p.drawLine(r.topLeft(), r.bottomLeft());
  if (edges & feTop) p.drawLine(r.topLeft(), r.topRight());
  if (edges & feRight) p.drawLine(r.topRight(), r.bottomRight());
  if (edges & feBottom) p.drawLine(r.bottomLeft(), r.bottomRight());
}

QPoint PopupPosition(const QWidget* field, const QSize& size) {
  const QScreen* s = field->screen() ? field->screen() : QApplication::primaryScreen();
  const QRect screen = s->availableGeometry();
  QPoint at = field->mapToGlobal(QPoint(0, field->height()));
  if (at.y() + size.height() > screen.bottom() + 1)
    at = field->mapToGlobal(QPoint(0, -size.height()));
  if (at.x() + size.width() > screen.right() + 1)
    at.setX(field->mapToGlobal(QPoint(field->width(), 0)).x() - size.width());
  return at;
}

void ApplyFieldLook(QWidget* w, TwwFrame& frame) {
  frame.Enabled = true;
  frame.FocusBorders = feBottom;
  frame.NonFocusBorders = feBottom;
  QPalette pal = w->palette();
  pal.setColor(QPalette::Base, pal.color(QPalette::Button));
  w->setPalette(pal);
  w->setAutoFillBackground(true);
}

}  // namespace wwed
