#include "ComboBoxTest.h"

#include <QListWidget>
#include <QTest>

#include "CertFormat.h"
#include "EditorFixture.h"
#include "TwwDBComboBox.h"

using edtest::Type;

namespace {

const QStringList kStates = {
    "AL - Alabama",  "VT - Vermont", "VA - Virginia", "WV - West Virginia", "VI - Virgin Islands",
    "NY - New York", "A1 - One",     "MO - Missouri", "MT - Montana",       "NE - Nebraska"};
const QStringList kTypes = {"1 - Licensed Insurer", "2 - Self Insurer"};

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

QTEST_MAIN(ComboBoxTest)
