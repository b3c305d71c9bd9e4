// The real message boxes, answered by keys and clicks once they are up.
#include "DialogsTest.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "Dialogs.h"

namespace {

enum TAct { acEscape, acClose, acEnter, acOk, acSkip };

// Runs `act` on the next message box once it shows (the box runs its own event loop). A box
// still open two seconds later is closed and reported through `stuck`.
void WhenBoxShows(std::function<void(QMessageBox*)> act, bool* stuck) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act, stuck] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    act(box);
    QTimer::singleShot(2000, box, [box, stuck] {
      *stuck = true;
      box->done(-1);
    });
  });
  poll->start();
}

QAbstractButton* ButtonCalled(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == text) return b;
  return nullptr;
}

}  // namespace

void DialogsTest::skipOnlyByItsButton_data() {
  QTest::addColumn<int>("act");
  QTest::addColumn<bool>("skipped");
  QTest::newRow("Escape") << int(acEscape) << false;
  QTest::newRow("closing the box") << int(acClose) << false;
  QTest::newRow("Enter") << int(acEnter) << false;
  QTest::newRow("OK") << int(acOk) << false;
  QTest::newRow("Skip the rest") << int(acSkip) << true;
}

void DialogsTest::skipOnlyByItsButton() {
  QFETCH(int, act);
  certwin::TQtDialogs dialogs(nullptr);
  bool stuck = false;
  QString title;
  WhenBoxShows(
      [act, &title](QMessageBox* box) {
        title = box->windowTitle();
        switch (act) {
          case acEscape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
          case acClose:
            box->close();
            break;
          case acEnter:
            QTest::keyClick(box, Qt::Key_Return);
            break;
          case acOk:
            box->button(QMessageBox::Ok)->click();
            break;
          default:
            if (QAbstractButton* skip = ButtonCalled(box, QStringLiteral("Skip the rest")))
              skip->click();
        }
      },
      &stuck);
  QTEST(dialogs.MessageOrSkip(QStringLiteral("*** a message")), "skipped");
  QVERIFY(!stuck);
  QCOMPARE(title, QFileInfo(QCoreApplication::applicationFilePath()).baseName());
}

void DialogsTest::errorBoxHasIconAndTitle() {
  certwin::TQtDialogs dialogs(nullptr);
  bool stuck = false;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QString title, text;
  WhenBoxShows(
      [&](QMessageBox* box) {
        icon = box->icon();
        title = box->windowTitle();
        text = box->text();
        QTest::keyClick(box, Qt::Key_Escape);
      },
      &stuck);
  dialogs.Error(QStringLiteral("Unable to write to /opt/cert/dovrane.ini"));
  QVERIFY(!stuck);
  QCOMPARE(icon, QMessageBox::Critical);
  QCOMPARE(title, QStringLiteral("window_dialogs_tests"));
  QCOMPARE(text, QStringLiteral("Unable to write to /opt/cert/dovrane.ini"));
}

QTEST_MAIN(DialogsTest)
