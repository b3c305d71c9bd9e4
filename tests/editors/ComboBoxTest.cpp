#include "ComboBoxTest.h"

#include <QListWidget>
#include <QTest>
#include <memory>

#include "CertFormat.h"
#include "EditorFixture.h"
#include "TwwDBComboBox.h"

using edtest::Type;

namespace {

const QStringList kStates = {
    "AL - Alabama",  "VT - Vermont", "VA - Virginia", "WV - West Virginia", "VI - Virgin Islands",
    "NY - New York", "A1 - One",     "MO - Missouri", "MT - Montana",       "NE - Nebraska"};
const QStringList kTypes = {"1 - Licensed Insurer", "2 - Self Insurer"};
const QStringList kLong = {"AL - Alabama", "DC - District Of Columbia",
                           "AE - Armed Forces - Europe", "AA - Armed Forces - Americas",
                           "AP - Armed Forces - Pacific"};

struct TComboField {
  edtest::TWindow W;
  TwwDBComboBox* Edit;
  int Changes = 0;
  explicit TComboField(const QStringList& items, int width = 129) {
    Edit = new TwwDBComboBox(&W.Top);
    Edit->setGeometry(10, 10, width, 19);
    Edit->Items = items;
    Edit->Style = csDropDownList;
    Edit->AllowClearKey = true;
    Edit->AutoDropDown = true;
    Edit->CharCase = ecUpperCase;
    Edit->OnChange = cert::TChangeHandler([this](cert::TObject*) { ++Changes; });
  }
};

}  // namespace

void ComboBoxTest::init() { edtest::FixEnvironment(); }

void ComboBoxTest::keys_data() {
  QTest::addColumn<int>("initial");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("index");
  QTest::newRow("v steps in list order") << -1 << "v{Esc}"
                                         << "VT - VERMONT" << 1;
  QTest::newRow("v wraps around") << 4 << "v{Esc}"
                                  << "VT - VERMONT" << 1;
  QTest::newRow("v v v") << -1 << "vvv{Enter}"
                         << "VI - VIRGIN ISLANDS" << 4;
  QTest::newRow("no row begins with q") << 5 << "q{Esc}"
                                        << "NY - NEW YORK" << 5;
  QTest::newRow("delete clears") << 5 << "{Del}"
                                 << "" << -1;
  QTest::newRow("backspace clears") << 5 << "{BS}"
                                    << "" << -1;
  QTest::newRow("down when closed") << 0 << "{Down}"
                                    << "VT - VERMONT" << 1;
  QTest::newRow("down on last") << 9 << "{Down}"
                                << "NE - NEBRASKA" << 9;
  QTest::newRow("up on first") << 0 << "{Up}"
                               << "AL - ALABAMA" << 0;
  QTest::newRow("enter does nothing") << 2 << "{Enter}"
                                      << "VA - VIRGINIA" << 2;
  QTest::newRow("list arrows move text") << 0 << "{F4}{Down}{Down}{Enter}"
                                         << "VA - VIRGINIA" << 2;
  QTest::newRow("esc in list keeps passed rows") << 0 << "{AltDown}{Down}{Esc}"
                                                 << "VT - VERMONT" << 1;
}

void ComboBoxTest::keys() {
  QFETCH(int, initial);
  QFETCH(QString, keys);
  TComboField f(kStates);
  f.Edit->SetItemIndex(initial);
  f.W.Show(f.Edit);
  Type(f.Edit, keys);
  QVERIFY(!f.Edit->ListOpen());
  QTEST(f.Edit->text(), "text");
  QTEST(f.Edit->ItemIndex(), "index");
  QVERIFY(f.Edit->hasFocus());
}

void ComboBoxTest::programIndex() {
  TComboField f(kTypes);
  f.Edit->SetItemIndex(-1);
  QCOMPARE(f.Changes, 0);
  f.Edit->SetItemIndex(0);
  QCOMPARE(f.Changes, 1);
  f.Edit->SetItemIndex(0);
  QCOMPARE(f.Changes, 1);
  QCOMPARE(f.Edit->Text(), std::string("1 - LICENSED INSURER"));
  f.Edit->SetItemIndex(7);
  QCOMPARE(f.Edit->ItemIndex(), 0);
  f.W.Show(f.Edit);
  f.Edit->SetItemIndex(-1);
  Type(f.Edit, QStringLiteral("1"));
  QVERIFY(f.Edit->ListOpen());
  QCOMPARE(f.Edit->text(), QStringLiteral("1 - LICENSED INSURER"));
  Type(f.Edit, QStringLiteral("{Enter}"));
  QVERIFY(!f.Edit->ListOpen());
}

void ComboBoxTest::popupGeometry_data() {
  QTest::addColumn<int>("rows");
  QTest::addColumn<int>("dropDownWidth");
  QTest::addColumn<int>("visibleRows");
  QTest::addColumn<int>("width");
  QTest::newRow("provider list") << 25 << 350 << 8 << 350;
  QTest::newRow("state list") << 58 << 0 << 8 << 129;
  QTest::newRow("two rows") << 2 << 0 << 2 << 129;
}

void ComboBoxTest::popupGeometry() {
  QFETCH(int, rows);
  QFETCH(int, dropDownWidth);
  QStringList items;
  for (int i = 0; i < rows; ++i)
    items << QStringLiteral("%1 - ROW").arg(i, 2, 10, QLatin1Char('0'));
  TComboField f(items);
  f.Edit->DropDownWidth = dropDownWidth;
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("{F4}"));
  QListWidget* list = f.Edit->List();
  QVERIFY(list && list->isVisible());
  QWidget* popup = list->window();
  QCOMPARE(popup->objectName(), QStringLiteral("ComboPopup"));
  const int rowHeight = f.Edit->fontMetrics().height() + 2;
  QFETCH(int, visibleRows);
  QTEST(popup->width(), "width");
  QCOMPARE(popup->height(), visibleRows * rowHeight + 4);
  // The offscreen platform may add its 2-pixel window frame to a pop-up's position.
  QVERIFY(qAbs(popup->frameGeometry().top() -
               f.Edit->mapToGlobal(QPoint(0, f.Edit->height())).y()) <= 2);
  QVERIFY(list->selectedItems().isEmpty());
  Type(f.Edit, QStringLiteral("{Esc}"));
}

void ComboBoxTest::popupAcceptAndEsc() {
  TComboField f(kStates);
  f.Edit->SetItemIndex(5);
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("{F4}"));
  QListWidget* list = f.Edit->List();
  QCOMPARE(list->currentRow(), 5);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(7)).center());
  QVERIFY(!f.Edit->ListOpen());
  QCOMPARE(f.Edit->ItemIndex(), 7);
  QVERIFY(f.Edit->Modified());
  Type(f.Edit, QStringLiteral("{Tab}"));
  QVERIFY(f.W.Next->hasFocus());
}

void ComboBoxTest::changeReachesWorkspace() {
  TComboField f(kStates);
  cert::TCertFormat cert;
  cert.BindEditor(28, f.Edit);
  cert.NewDetailRec();
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("n{Enter}"));
  QCOMPARE(cert.DetailRec.DInsuredState.Str(), std::string("NY"));
  Type(f.Edit, QStringLiteral("{Del}"));
  QCOMPARE(cert.DetailRec.DInsuredState.Str(), std::string());
  QCOMPARE(f.Edit->EditorClass(), cert::ecComboBox);
}

void ComboBoxTest::escAfterListRestoresFocusText_data() {
  QTest::addColumn<QStringList>("items");
  QTest::addColumn<int>("initial");
  QTest::addColumn<QString>("inList");  // keys typed while the list opens and is open
  QTest::addColumn<QString>("chosen");
  QTest::addColumn<QString>("restored");
  QTest::newRow("state, arrows in the list") << kStates << 0 << "{F4}{Down}{Down}{Enter}"
                                             << "VA - VIRGINIA"
                                             << "AL - ALABAMA";
  QTest::newRow("insurer type, key opens the list") << kTypes << -1 << "1{Enter}"
                                                    << "1 - LICENSED INSURER"
                                                    << "";
  QTest::newRow("closed by a click on the field") << kStates << 5 << "{AltDown}{Up}"
                                                  << "VI - VIRGIN ISLANDS"
                                                  << "NY - NEW YORK";
}

// Closing the list is not a new visit to the field: Esc still restores the text that the field
// had when the user came to it, and the choice made in the list still counts as a change.
void ComboBoxTest::escAfterListRestoresFocusText() {
  QFETCH(QStringList, items);
  QFETCH(int, initial);
  QFETCH(QString, inList);
  TComboField f(items);
  cert::TCertFormat cert;
  cert.BindEditor(28, f.Edit);
  cert.NewDetailRec();
  f.Edit->SetItemIndex(initial);
  int enters = 0;
  f.Edit->OnEnterField = [&enters] { ++enters; };
  f.W.Show(f.Edit);
  QCOMPARE(enters, 1);
  Type(f.Edit, inList);
  if (QTest::currentDataTag() == QLatin1String("closed by a click on the field")) {
    QVERIFY(f.Edit->ListOpen());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Edit));
    QTest::mouseClick(f.Edit, Qt::LeftButton, {}, QPoint(5, 9));
  }
  QVERIFY(!f.Edit->ListOpen());
  QTEST(f.Edit->text(), "chosen");
  QVERIFY(f.Edit->Modified());
  QCOMPARE(enters, 1);
  Type(f.Edit, QStringLiteral("{Esc}"));
  QTEST(f.Edit->text(), "restored");
  QVERIFY(!f.Edit->Modified());
  QCOMPARE(enters, 1);
  QFETCH(QString, restored);
  QCOMPARE(QString::fromStdString(cert.DetailRec.DInsuredState.Str()), restored.left(2));
  QVERIFY(f.Edit->hasFocus());
}

// While the list is open the keyboard focus stays in the field, and the keys that move in a
// text box move in the field's text.
void ComboBoxTest::textKeysWhileListOpen() {
  TComboField f(kStates);
  f.Edit->SetItemIndex(2);
  f.W.Show(f.Edit);
  Type(f.Edit, QStringLiteral("{F4}"));
  QVERIFY(f.Edit->ListOpen());
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.Edit));
  const int len = static_cast<int>(f.Edit->text().size());
  Type(f.Edit, QStringLiteral("{End}"));
  QCOMPARE(f.Edit->cursorPosition(), len);
  QVERIFY(!f.Edit->hasSelectedText());
  Type(f.Edit, QStringLiteral("{Left}{Left}"));
  QCOMPARE(f.Edit->cursorPosition(), len - 2);
  Type(f.Edit, QStringLiteral("{Home}{Right}"));
  QCOMPARE(f.Edit->cursorPosition(), 1);
  QVERIFY(f.Edit->ListOpen());
  QCOMPARE(f.Edit->List()->currentRow(), 2);
  QCOMPARE(f.Edit->text(), QStringLiteral("VA - VIRGINIA"));
  Type(f.Edit, QStringLiteral("{Down}{Enter}"));
  QCOMPARE(f.Edit->text(), QStringLiteral("WV - WEST VIRGINIA"));
}

void ComboBoxTest::showsStartWhenNotEdited_data() {
  QTest::addColumn<int>("initial");
  QTest::addColumn<QString>("keys");
  QTest::addColumn<QString>("text");
  QTest::newRow("written by the program") << 1 << ""
                                          << "DC - DISTRICT OF COLUMBIA";
  QTest::newRow("chosen by key, then left") << 0 << "aa{Enter}{Tab}"
                                            << "AA - ARMED FORCES - AMERICAS";
  QTest::newRow("chosen in the list, then left") << 0 << "{F4}{Down}{Down}{Down}{Down}{Tab}"
                                                 << "AP - ARMED FORCES - PACIFIC";
  QTest::newRow("esc, then left") << 3 << "{Down}{Esc}{Tab}"
                                  << "AA - ARMED FORCES - AMERICAS";
}

void ComboBoxTest::showsStartWhenNotEdited() {
  QFETCH(int, initial);
  QFETCH(QString, keys);
  TComboField f(kLong);
  f.Edit->SetItemIndex(initial);
  f.W.Show(f.W.Next);
  if (!keys.isEmpty()) {
    f.Edit->setFocus(Qt::TabFocusReason);
    Type(f.Edit, keys);
  }
  QTEST(f.Edit->text(), "text");
  QVERIFY(f.W.Next->hasFocus());
  QVERIFY(edtest::ShowsStart(f.Edit));
  // In the field, whether reached by keyboard or while the list is open, the code stays in view.
  f.Edit->setFocus(Qt::TabFocusReason);
  QVERIFY(edtest::ShowsStart(f.Edit));
  Type(f.Edit, QStringLiteral("{Up}"));
  QVERIFY(edtest::ShowsStart(f.Edit));
  Type(f.Edit, QStringLiteral("{F4}{Down}"));
  QVERIFY(edtest::ShowsStart(f.Edit));
  Type(f.Edit, QStringLiteral("{Esc}"));
}

// A window closed while a list is open takes the field and its list with it.
void ComboBoxTest::destroyedWithListOpen() {
  auto f = std::make_unique<TComboField>(kStates);
  f->Edit->SetItemIndex(2);
  f->W.Show(f->Edit);
  Type(f->Edit, QStringLiteral("{F4}{Down}"));
  QVERIFY(f->Edit->ListOpen());
  f.reset();
  QVERIFY(!QApplication::activePopupWidget());
}

// A click outside the open list, on the field or elsewhere, closes it taking the highlighted row;
// the field's visit goes on.
void ComboBoxTest::clickOutsideClosesList() {
  TComboField f(kStates);
  f.Edit->SetItemIndex(0);
  int enters = 0;
  f.Edit->OnEnterField = [&enters] { ++enters; };
  f.W.Show(f.Edit);
  // On the field, then on the window beside the list.
  const QPoint targets[] = {f.Edit->mapToGlobal(QPoint(5, 5)),
                            f.W.Top.mapToGlobal(QPoint(300, 60))};
  for (const QPoint& target : targets) {
    Type(f.Edit, QStringLiteral("{F4}{Down}"));
    QWidget* popup = QApplication::activePopupWidget();
    QVERIFY(popup);
    QVERIFY(!popup->geometry().contains(target));
    // As the window system delivers it: the open list has the mouse.
    QTest::mouseClick(popup->windowHandle(), Qt::LeftButton, {}, popup->mapFromGlobal(target));
    QTest::qWait(20);
    QVERIFY(!f.Edit->ListOpen());
  }
  QCOMPARE(f.Edit->text(), QStringLiteral("VA - VIRGINIA"));
  QVERIFY(f.Edit->hasFocus());
  QCOMPARE(enters, 1);
  Type(f.Edit, QStringLiteral("{Esc}"));
  QCOMPARE(f.Edit->text(), QStringLiteral("AL - ALABAMA"));
}

QTEST_MAIN(ComboBoxTest)
