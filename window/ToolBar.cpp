#include "ToolBar.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChildEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <algorithm>

namespace certwin {

TToolBar::TToolBar(QWidget* parent) : QFrame(parent) {}

std::vector<QAbstractButton*> TToolBar::Buttons() const {
  std::vector<QAbstractButton*> out;
  for (QObject* o : children())
    if (auto* b = qobject_cast<QAbstractButton*>(o)) out.push_back(b);
  return out;
}

void TToolBar::childEvent(QChildEvent* e) {
  QFrame::childEvent(e);
  // A child is not yet a button when it is added; the filter looks at it as events arrive.
  if (e->type() == QEvent::ChildAdded && e->child()->isWidgetType())
    e->child()->installEventFilter(this);
}

QAbstractButton* TToolBar::Neighbour(QAbstractButton* from, int step) const {
  const std::vector<QAbstractButton*> buttons = Buttons();
  const auto n = static_cast<int>(buttons.size());
  const auto at = std::find(buttons.begin(), buttons.end(), from);
  if (at == buttons.end()) return nullptr;
  int i = static_cast<int>(at - buttons.begin());
  for (int k = 1; k <= n; ++k) {
    i = ((i + step) % n + n) % n;
    QAbstractButton* b = buttons[static_cast<std::size_t>(i)];
    if (b->isEnabled()) return b;
  }
  return nullptr;
}

bool TToolBar::ArrowKey(QAbstractButton* button, int key) {
  const std::vector<QAbstractButton*> buttons = Buttons();
  QAbstractButton* to = nullptr;
  switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      to = Neighbour(button, -1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      to = Neighbour(button, 1);
      break;
    case Qt::Key_Home:
      to = Neighbour(buttons.back(), 1);
      break;
    case Qt::Key_End:
      to = Neighbour(buttons.front(), -1);
      break;
    default:
      return false;
  }
  if (to) to->setFocus(Qt::OtherFocusReason);
  return true;
}

bool TToolBar::eventFilter(QObject* watched, QEvent* e) {
  auto* button = qobject_cast<QAbstractButton*>(watched);
  if (!button || button->parent() != this) return QFrame::eventFilter(watched, e);
  if (e->type() == QEvent::KeyPress) {
    const auto* k = static_cast<QKeyEvent*>(e);
    if (k->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) return false;
    return ArrowKey(button, k->key());
  }
  if (e->type() == QEvent::FocusIn) {
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
    // Tab never moves between the bar's own buttons, so a Tab arrival comes from outside: it
    // goes on to the button last used while that one can take it.
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) && FLastUsed &&
        FLastUsed != button && FLastUsed->isEnabled() && FLastUsed->isVisible()) {
      FLastUsed->setFocus(reason);
      return true;
    }
    FLastUsed = button;
  }
  return false;
}

bool TToolBar::focusNextPrevChild(bool next) {
  auto* focused = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
  if (!focused || focused->parent() != this) return QFrame::focusNextPrevChild(next);
  // A focused button that has just been disabled (a command that turns itself off) hands the
  // focus to a neighbour in the bar rather than pushing it out of the bar.
  if (!focused->isEnabled()) {
    if (QAbstractButton* to = Neighbour(focused, next ? 1 : -1)) {
      to->setFocus(Qt::OtherFocusReason);
      return true;
    }
    return QFrame::focusNextPrevChild(next);
  }
  // Tab leaves the bar: on the way out its other buttons are no stops. They keep their policy
  // otherwise, so the window's tab order (which skips widgets without one) still holds them.
  std::vector<std::pair<QAbstractButton*, Qt::FocusPolicy>> others;
  for (QAbstractButton* b : Buttons())
    if (b != focused) {
      others.emplace_back(b, b->focusPolicy());
      b->setFocusPolicy(Qt::NoFocus);
    }
  const bool moved = QFrame::focusNextPrevChild(next);
  for (const auto& [b, policy] : others) b->setFocusPolicy(policy);
  return moved;
}

}  // namespace certwin
