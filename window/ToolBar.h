// A row of command buttons that is one stop in the window's tab order.
#pragma once

#include <QFrame>
#include <QPointer>
#include <vector>

class QAbstractButton;

namespace certwin {

// Tab enters the bar at one enabled button (the one last used, else the first Qt's tab order
// reaches) and the next Tab leaves the bar; the arrow keys, Home and End move between its
// enabled buttons. Buttons created on the bar take part on their own and keep their place in
// the window's tab order.
class TToolBar : public QFrame {
 public:
  explicit TToolBar(QWidget* parent);

 protected:
  void childEvent(QChildEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  bool focusNextPrevChild(bool next) override;

 private:
  std::vector<QAbstractButton*> Buttons() const;  // in creation order, left to right
  // The enabled button `step` places from `from` (wrapping round), or nullptr.
  QAbstractButton* Neighbour(QAbstractButton* from, int step) const;
  bool ArrowKey(QAbstractButton* button, int key);

  QPointer<QAbstractButton> FLastUsed;
};

}  // namespace certwin
