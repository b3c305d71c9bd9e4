// The records window over a fixture file: rows and statuses, the header banner, filter, find,
// columns and the exported problem list.
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "CertEntry.h"
#include "CertVersion.h"
#include "RecordColumns.h"
#include "RecordsFixture.h"
#include "Settings.h"

using namespace rectest;

namespace {

const QString kCity = QStringLiteral("*** Insured's city is required!");
const QString kRevised = QStringLiteral("*** Revised date is required for revised certificate!");
const QString kNames = QStringLiteral(
    "*** Lastname, Firstname, Middle name, suffix and Attn Line are not  allowed when the "
    "Insured Company Name is used and vice-versa!");

int ColumnOf(int field) {
  const auto& columns = certrec::RecordColumns();
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (columns[c].Kind == certrec::ckField && columns[c].Field == field)
      return static_cast<int>(c);
  return -1;
}

}  // namespace

class RecordsWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void rowsAndStatuses();
  void statusIsWhatTheMainWindowShows();
  void headerBanner();
  void filter_data();
  void filter();
  void findAsYouTypeAndF3();
  void columnsPersistInTheirOwnSection();
  void exportedProblemList();
  void exportAsksBeforeReplacingAndReportsFailures();
  void recordsButtonAndTabOrder();
  void aboutTellsNameVersionAndPurpose();
};

void RecordsWindowTest::rowsAndStatuses() {
  TRecordsWindow w;
  w.OpenFixture();
  TfrmRecords* r = w.ShowRecords();
  QVERIFY(r && r->isVisible());
  QVERIFY(!r->isModal());
  QCOMPARE(r->windowTitle(), QStringLiteral("Records"));
  QCOMPARE(w.RecordNumbers(), (QList<int>{1, 2, 3, 4, 5, 6}));
  const QStringList statuses = {
      QStringLiteral("Has possible duplicates"),
      QStringLiteral("City: ") + kCity,
      QStringLiteral("Possible duplicate of record 1"),
      QStringLiteral("Insured Company Name (only for corporations etc.): ") + kNames,
      QStringLiteral("OK"),
      QStringLiteral("Policy Revised Date: ") + kRevised};
  for (int row = 0; row < 6; ++row) QCOMPARE(w.Cell(row, kStatusColumn), statuses[row]);
  QCOMPARE(w.Cell(0, kInsuredColumn), QStringLiteral("Able, Anna"));
  QCOMPARE(w.Cell(3, kInsuredColumn), QStringLiteral("Dale Clinic"));
  QCOMPARE(w.Cell(1, ColumnOf(cert::fnDInsuredLicenseNum)), QStringLiteral("L2"));
  QCOMPARE(w.Cell(1, ColumnOf(cert::fnDPolicyFromDate)), QStringLiteral("01/01/2026"));
  QCOMPARE(w.Cell(1, ColumnOf(cert::fnDRecordProcessingType)),
           QStringLiteral("1 - NEW/RENEWAL CERT"));
  QCOMPARE(w.Cell(1, ColumnOf(cert::fnDInsuredProvType)),
           QStringLiteral("01 - PHYSICIAN AND SURGEON"));
  // Failing rows and their failing cells are marked; so are duplicates.
  auto background = [&w](int row, int column) {
    return w.M()->index(row, column).data(Qt::BackgroundRole).value<QColor>();
  };
  const QColor failingRow = background(3, kRecordColumn);
  const QColor failingCell = background(3, kInsuredColumn);
  QVERIFY(failingRow.isValid() && failingCell.isValid() && failingRow != failingCell);
  QCOMPARE(background(3, kStatusColumn), failingCell);
  QCOMPARE(background(3, ColumnOf(cert::fnDPolicyAggregateLimit)), failingCell);
  QCOMPARE(background(3, ColumnOf(cert::fnDInsuredLicenseNum)), failingRow);
  QVERIFY(!w.M()->index(4, kStatusColumn).data(Qt::BackgroundRole).isValid());
  QVERIFY(background(2, kStatusColumn).isValid());
  QVERIFY(!w.M()->index(1, kStatusColumn).data(Qt::DecorationRole).isNull());
  QVERIFY(w.M()->index(4, kStatusColumn).data(Qt::DecorationRole).isNull());
  // The tooltip and the details list every rule the record fails, in rule order.
  const QString dale =
      QStringLiteral(
          "Record 4: Dale Clinic\nInsured Company Name (only for "
          "corporations etc.): ") +
      kNames + QStringLiteral("\nPolicy Aggr Limit: *** Policy aggregate limit is required!");
  QCOMPARE(w.M()->index(3, kInsuredColumn).data(Qt::ToolTipRole).toString(), dale);
  w.R()->SelectRecord(3);
  QCOMPARE(w.R()->Details()->toPlainText(), dale);
  w.R()->SelectRecord(0);
  QCOMPARE(w.R()->Details()->toPlainText(),
           QStringLiteral("Record 1: Able, Anna\nPossible duplicate: record 3"));
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("6 records, 3 failing, 1 possible duplicates"));
  QVERIFY(!w.R()->Banner()->isVisible());
  // The current row is the main window's current record.
  QCOMPARE(w.SelectedNumber(), 1);
}

void RecordsWindowTest::statusIsWhatTheMainWindowShows() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  for (int record : {1, 3, 5}) {
    w.Form->CertFormat1.GotoDetailRec(record);
    w.Form->ShowDetail(false);
    const int field =
        cert::CheckRecordRules(w.Form->CertFormat1.HeaderRec, w.Form->CertFormat1.DetailRec).Field;
    const QString shown =
        w.Form->Components()[w.Form->FlashLabelIndex()]->property("text").toString() +
        QStringLiteral(": ") + w.Form->ErrorLine()->text();
    QCOMPARE(w.Cell(record, kStatusColumn), shown);
    QCOMPARE(w.Form->Components()[w.Form->FlashLabelIndex()]->objectName(),
             QStringLiteral("Label%1").arg(field));
  }
}

void RecordsWindowTest::headerBanner() {
  TRecordsWindow w;
  w.Open(w.MakeLines(QStringLiteral("header.dat"), FixtureLines(),
                     [](cert::THeaderRec& h) { h.HInsurerZip = ""; }));
  w.ShowRecords();
  QLabel* banner = w.R()->Banner();
  QVERIFY(banner->isVisible());
  QVERIFY2(banner->text().contains(QStringLiteral("Zipcode: *** Insurer's zipcode is required!")),
           qPrintable(banner->text()));
  // Rows keep their own problems: the banner says what every record check reports first.
  QCOMPARE(w.Cell(4, kStatusColumn), QStringLiteral("OK"));
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("6 records, 3 failing, 1 possible duplicates"));
  // Mending the header in the main window takes the banner away at once.
  w.TypeInto(cert::fnHInsurerZip, QStringLiteral("53703"));
  QVERIFY(!banner->isVisible());
  w.TypeInto(cert::fnHInsurerCity, QStringLiteral("x"));
  w.Form->FieldEditor(cert::fnHInsurerCity)->setFocus();
  QTest::keyClick(w.Form->FieldEditor(cert::fnHInsurerCity), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w.Form->FieldEditor(cert::fnHInsurerCity), Qt::Key_Delete);
  QApplication::processEvents();
  QVERIFY(banner->isVisible());
  QVERIFY2(banner->text().contains(QStringLiteral("City: *** Insurer's city is required!")),
           qPrintable(banner->text()));
}

void RecordsWindowTest::filter_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QList<int>>("records");
  QTest::newRow("all") << 0 << QList<int>{1, 2, 3, 4, 5, 6};
  QTest::newRow("failing only") << 1 << QList<int>{2, 4, 6};
  QTest::newRow("possible duplicates only") << 2 << QList<int>{1, 3};
}

void RecordsWindowTest::filter() {
  QFETCH(int, index);
  QFETCH(QList<int>, records);
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.R()->SelectRecord(3);
  w.R()->FilterBox()->setCurrentIndex(index);
  QCOMPARE(w.RecordNumbers(), records);
  // The selected record stays selected while it is shown.
  QCOMPARE(w.SelectedNumber(), records.contains(4) ? 4 : 0);
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("6 records, 3 failing, 1 possible duplicates"));
  w.R()->FilterBox()->setCurrentIndex(0);
  QCOMPARE(w.Rows(), 6);
}

void RecordsWindowTest::findAsYouTypeAndF3() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.KeyInRecords(Qt::Key_F, Qt::ControlModifier);
  QLineEdit* find = w.R()->FindBox();
  QVERIFY(find->hasFocus());
  // As you type, without regard to case, from the current row on.
  QTest::keyClicks(find, QStringLiteral("ba"));
  QCOMPARE(w.SelectedNumber(), 2);
  QTest::keyClicks(find, QStringLiteral("KER"));
  QCOMPARE(w.SelectedNumber(), 2);
  QTest::keyClick(find, Qt::Key_X);
  QCOMPARE(w.SelectedNumber(), 2);  // no match: the selection stays
  QVERIFY(find->palette().color(QPalette::Base) != QPalette().color(QPalette::Base));
  find->setText(QStringLiteral("clinic"));
  QCOMPARE(w.SelectedNumber(), 4);
  QCOMPARE(find->palette().color(QPalette::Base), QPalette().color(QPalette::Base));
  // Any field: the license, a date as shown, a code's list text.
  find->setText(QStringLiteral("l5"));
  QCOMPARE(w.SelectedNumber(), 5);
  // F3 and Shift+F3: the next and previous match, round the end.
  find->setText(QStringLiteral("pol-"));
  QCOMPARE(w.SelectedNumber(), 5);
  w.KeyInRecords(Qt::Key_F3);
  QCOMPARE(w.SelectedNumber(), 6);
  w.KeyInRecords(Qt::Key_F3);
  QCOMPARE(w.SelectedNumber(), 1);
  w.KeyInRecords(Qt::Key_F3, Qt::ShiftModifier);
  QCOMPARE(w.SelectedNumber(), 6);
  w.KeyInRecords(Qt::Key_F3, Qt::ShiftModifier);
  QCOMPARE(w.SelectedNumber(), 5);
  // Enter in the find box is F3 too; find only moves the selection, not the main window.
  QTest::keyClick(find, Qt::Key_Return);
  QCOMPARE(w.SelectedNumber(), 6);
  QCOMPARE(w.CurrentNumber(), 1);
  // Only the rows the filter shows.
  w.R()->FilterBox()->setCurrentIndex(2);
  find->setText(QStringLiteral("anna"));
  QCOMPARE(w.SelectedNumber(), 1);
  w.KeyInRecords(Qt::Key_F3);
  QCOMPARE(w.SelectedNumber(), 3);
  w.KeyInRecords(Qt::Key_F3);
  QCOMPARE(w.SelectedNumber(), 1);
}

void RecordsWindowTest::columnsPersistInTheirOwnSection() {
  const int city = ColumnOf(cert::fnDInsuredCity);
  const int license = ColumnOf(cert::fnDInsuredLicenseNum);
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  QVERIFY(!w.R()->ColumnShown(city));
  QVERIFY(w.R()->ColumnShown(license));
  // The header's menu lists every column that can go, checked when shown.
  QMenu* columns = nullptr;
  for (QMenu* m : w.R()->findChildren<QMenu*>())
    if (m->title() == QStringLiteral("&Columns")) columns = m;
  QVERIFY(columns);
  QCOMPARE(columns->actions().size(), 27);
  QCOMPARE(columns->actions()[0]->text(), QStringLiteral("Insured"));
  w.R()->ShowColumn(city, true);
  w.R()->ShowColumn(license, false);
  QVERIFY(w.R()->ColumnShown(city));
  QVERIFY(!w.R()->ColumnShown(license));
  w.Form->SaveSettings();  // the main window's own sections alongside
  const std::string ini = certtest::ReadAll(certwin::SettingsPath(w.Dir.Path()));
  QVERIFY(ini.find("[Records Window]") != std::string::npos);
  QVERIFY(ini.find("DInsuredCity=1") != std::string::npos);
  QVERIFY(ini.find("DInsuredLicenseNum=0") != std::string::npos);
  QVERIFY(ini.find("[New Detail Record]") != std::string::npos);
  QVERIFY(ini.find("[Filename]") != std::string::npos);
  // A records window opened later shows the same columns.
  TRecordsWindow again;
  again.Form->SettingsDirectory = w.Dir.Path();
  again.OpenFixture();
  again.ShowRecords();
  QVERIFY(again.R()->ColumnShown(city));
  QVERIFY(!again.R()->ColumnShown(license));
  QVERIFY(again.R()->ColumnShown(kInsuredColumn));
}

void RecordsWindowTest::exportedProblemList() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  const QString out = QString::fromStdString(w.Dir.File("problems.csv"));
  w.Dialogs->Files.push_back(out);
  TriggerAction(w.R(), "actExportProblems");
  QVERIFY2(w.Dialogs->Log.last().startsWith(QStringLiteral("save as Export Problem List: ")),
           qPrintable(w.Dialogs->Log.last()));
  QVERIFY(w.Dialogs->Log.last().endsWith(QStringLiteral("fixture-problems.csv")));
  QCOMPARE(QString::fromStdString(certtest::ReadAll(out.toStdString())),
           QStringLiteral("Record,Field Number,Field Name,Message\r\n"
                          "2,27,City,*** Insured's city is required!\r\n"
                          "3,,,Possible duplicate of record 1\r\n"
                          "4,20,Insured Company Name (only for corporations etc.),\"") +
               kNames +
               QStringLiteral("\"\r\n"
                              "4,18,Policy Aggr Limit,*** Policy aggregate limit is required!\r\n"
                              "6,13,Policy Revised Date,") +
               kRevised + QStringLiteral("\r\n"));
  QVERIFY(w.R()->Summary()->text().contains(QStringLiteral("Problem list written to ")));
}

void RecordsWindowTest::exportAsksBeforeReplacingAndReportsFailures() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  const std::string out = w.Dir.File("old.csv");
  certtest::WriteAll(out, "keep");
  w.Dialogs->Files.push_back(QString::fromStdString(out));
  w.Dialogs->OkCancel = {false};
  TriggerAction(w.R(), "actExportProblems");
  QVERIFY(w.Dialogs->Log.last().startsWith(QStringLiteral("confirm: File ")));
  QCOMPARE(certtest::ReadAll(out), std::string("keep"));
  w.Dialogs->Files.push_back(QString::fromStdString(out));
  w.Dialogs->OkCancel = {true};
  TriggerAction(w.R(), "actExportProblems");
  QVERIFY(certtest::ReadAll(out).rfind("Record,Field Number", 0) == 0);
  const QString bad = QString::fromStdString(w.Dir.File("missing/folder/x.csv"));
  w.Dialogs->Files.push_back(bad);
  TriggerAction(w.R(), "actExportProblems");
  QVERIFY(w.Dialogs->Log.last().startsWith(QStringLiteral("error: Cannot create \"")));
  QVERIFY(w.Dialogs->Log.last().contains(bad));
  w.Dialogs->Files.push_back(QString());  // cancelled
  const int asked = w.Dialogs->Log.size();
  TriggerAction(w.R(), "actExportProblems");
  QCOMPARE(w.Dialogs->Log.size(), asked + 1);
}

void RecordsWindowTest::recordsButtonAndTabOrder() {
  TRecordsWindow w;
  w.OpenFixture();
  QWidget* button = w.W("btnRecords");
  QVERIFY(button);
  QCOMPARE(button->property("text").toString(), QStringLiteral("Records"));
  QCOMPARE(button->parentWidget()->objectName(), QStringLiteral("Panel5"));
  // In free space: it overlaps no other control of its panel.
  for (QWidget* sibling :
       button->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
    if (sibling != button && sibling->isVisible())
      QVERIFY2(!sibling->geometry().intersects(button->geometry()),
               qPrintable(sibling->objectName()));
  QVERIFY(button->geometry().right() < button->parentWidget()->width());
  QVERIFY(button->geometry().bottom() < button->parentWidget()->height());
  // The last stop: after the last remember box, and Tab goes from it to the first field.
  QWidget* next = w.W("CheckBox13")->nextInFocusChain();
  while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
  QCOMPARE(next, button);
  QTest::mouseClick(button, Qt::LeftButton);
  QApplication::processEvents();
  QVERIFY(w.R() && w.R()->isVisible());
}

QTEST_MAIN(RecordsWindowTest)
// The last menu is Help, whose About... shows the name, the version and what the tool is for,
// through the window's dialogs; the main window keeps its title.
void RecordsWindowTest::aboutTellsNameVersionAndPurpose() {
  TRecordsWindow w;
  TfrmRecords* r = w.ShowRecords();
  QVERIFY(r);
  const QList<QAction*> menus = r->MenuBar()->actions();
  QCOMPARE(menus.last()->text(), QStringLiteral("&Help"));
  QCOMPARE(menus.last()->menu()->actions().first()->objectName(), QStringLiteral("actAbout"));
  QCOMPARE(menus.last()->menu()->actions().first()->text(), QStringLiteral("&About..."));
  w.Dialogs->Log.clear();
  TriggerAction(r, "actAbout");
  QCOMPARE(w.Dialogs->Log.size(), 1);
  const QString shown = w.Dialogs->Log.first();
  const QString head = QStringLiteral(
                           "about About Certificate File Editor: Certificate File "
                           "Editor (certeditor) ") +
                       QString::fromLatin1(cert::kVersion) + QStringLiteral("\r\n\r\n");
  QVERIFY2(shown.startsWith(head), qPrintable(shown));
  QVERIFY2(shown.contains(QStringLiteral("certificate-of-insurance file")), qPrintable(shown));
  QCOMPARE(w.Form->windowTitle(), QStringLiteral("Create New Certificate File"));
}

#include "RecordsWindowTest.moc"
