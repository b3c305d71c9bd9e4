// The records window and the main window together: going to a record, F8 and Shift+F8, and
// every command of the main window showing in the records window at once.
#include <QLabel>
#include <QSignalSpy>

#include "RecordsFixture.h"

using namespace rectest;

namespace {

QString Text(const TRecordsWindow& w, int field) {
  return w.Form->FieldEditor(field)->property("text").toString();
}

// Empties a field of the main window as a user would: select everything, press Delete.
void Clear(TRecordsWindow& w, int field) {
  QWidget* e = w.Form->FieldEditor(field);
  TRecordsWindow::Activate(w.Form.get());
  e->setFocus();
  QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(e, Qt::Key_Delete);
  QApplication::processEvents();
}

}  // namespace

class RecordsLiveTest : public QObject {
  Q_OBJECT
 private slots:
  void gotoRecordStoresThePendingEdit();
  void gotoRecordFromANewRecord();
  void f8AndShiftF8();
  void f8InTheRecordsWindowAndItsSummary();
  void postDeleteAndAddShowAtOnce();
  void cancelRefreshNewOpenAndSave();
  void mendedRowsLeaveTheFailingFilter();
  void newcomerMendsTheFailingSample();
};

void RecordsLiveTest::gotoRecordStoresThePendingEdit() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.TypeInto(cert::fnDInsuredMidName, QStringLiteral("Q"));
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drEdit);
  w.R()->SelectRecord(3);
  w.KeyInRecords(Qt::Key_Return);
  QCOMPARE(w.CurrentNumber(), 4);
  QCOMPARE(Text(w, cert::fnDInsuredCompanyName), QStringLiteral("Dale Clinic"));
  cert::TDetailRec first;
  cert::ParseDetailLine(w.Form->CertFormat1.DetailStr()[0], first);
  QCOMPARE(first.DInsuredMidName.Str(), std::string("Q"));  // stored before moving on
  // The failing field of the record has the focus in the main window.
  QCOMPARE(w.Form->focusWidget(), w.Form->FieldEditor(cert::fnDInsuredCompanyName));
  QCOMPARE(w.SelectedNumber(), 4);
  // A double click does the same.
  const QRect cell = w.R()->Grid()->visualRect(w.M()->index(1, kInsuredColumn));
  TRecordsWindow::Activate(w.R());
  // A double click is a press, a release, then the double-click event.
  QTest::mouseClick(w.R()->Grid()->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(w.R()->Grid()->viewport(), Qt::LeftButton, {}, cell.center());
  QApplication::processEvents();
  QCOMPARE(w.CurrentNumber(), 2);
  QCOMPARE(w.Form->focusWidget(), w.Form->FieldEditor(cert::fnDInsuredCity));
  // A passing record is shown; the focus stays where it was.
  w.R()->SelectRecord(4);
  w.KeyInRecords(Qt::Key_Return);
  QCOMPARE(w.CurrentNumber(), 5);
  QCOMPARE(Text(w, cert::fnDInsuredLastName), QStringLiteral("Eve"));
  QVERIFY(w.R()->Grid()->hasFocus());
}

void RecordsLiveTest::gotoRecordFromANewRecord() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.Form->CertFormat1.GotoDetailRec(4);
  w.Click("btnNew");
  w.TypeInto(cert::fnDInsuredLastName, QStringLiteral("X"));
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drNew);
  // The record Add started from: the new record is stored, as navigating away stores it.
  w.R()->SelectRecord(4);
  w.KeyInRecords(Qt::Key_Return);
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drBrowse);
  QCOMPARE(w.Form->CertFormat1.DetailStr().Count(), 7);
  QCOMPARE(w.Rows(), 7);
  QCOMPARE(w.CurrentNumber(), 5);
  QCOMPARE(Text(w, cert::fnDInsuredLastName), QStringLiteral("Eve"));
}

void RecordsLiveTest::f8AndShiftF8() {
  TRecordsWindow w;
  w.OpenFixture();  // the records window is never opened: F8 works without it
  struct TStop {
    int Record;
    int Field;
  };
  for (const TStop& s : {TStop{2, cert::fnDInsuredCity}, TStop{4, cert::fnDInsuredCompanyName},
                         TStop{6, cert::fnDPolicyRevisedDate}}) {
    w.KeyInMain(Qt::Key_F8);
    QCOMPARE(w.CurrentNumber(), s.Record);
    QCOMPARE(w.Form->focusWidget(), w.Form->FieldEditor(s.Field));
  }
  QCOMPARE(w.Dialogs->Beeps, 0);
  w.KeyInMain(Qt::Key_F8);  // no wrapping
  QCOMPARE(w.CurrentNumber(), 6);
  QCOMPARE(w.Form->ErrorLine()->text(), QStringLiteral("No failing record after record 6."));
  QCOMPARE(w.Dialogs->Beeps, 1);
  w.KeyInMain(Qt::Key_F8, Qt::ShiftModifier);
  QCOMPARE(w.CurrentNumber(), 4);
  QCOMPARE(w.Form->focusWidget(), w.Form->FieldEditor(cert::fnDInsuredCompanyName));
  w.KeyInMain(Qt::Key_F8, Qt::ShiftModifier);
  QCOMPARE(w.CurrentNumber(), 2);
  w.KeyInMain(Qt::Key_F8, Qt::ShiftModifier);
  QCOMPARE(w.CurrentNumber(), 2);
  QCOMPARE(w.Form->ErrorLine()->text(), QStringLiteral("No failing record before record 2."));
  QVERIFY(!w.R());
  // A pending edit is stored on the way, and a mended record is no stop any more.
  w.TypeInto(cert::fnDInsuredCity, QStringLiteral("Racine"));
  w.Form->CertFormat1.GotoDetailRec(0);
  w.Form->ShowDetail(false);
  w.KeyInMain(Qt::Key_F8);
  QCOMPARE(w.CurrentNumber(), 4);
}

void RecordsLiveTest::f8InTheRecordsWindowAndItsSummary() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.KeyInRecords(Qt::Key_F8);
  QCOMPARE(w.CurrentNumber(), 2);
  QCOMPARE(w.SelectedNumber(), 2);
  w.Form->CertFormat1.GotoDetailRec(5);
  w.KeyInRecords(Qt::Key_F8);
  QCOMPARE(w.CurrentNumber(), 6);
  QCOMPARE(w.R()->Summary()->text(),
           QStringLiteral("6 records, 3 failing, 1 possible duplicates    No failing record after "
                          "record 6."));
}

void RecordsLiveTest::postDeleteAndAddShowAtOnce() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  QSignalSpy resets(w.M(), &QAbstractItemModel::modelReset);
  QSignalSpy inserted(w.M(), &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(w.M(), &QAbstractItemModel::rowsRemoved);
  QSignalSpy changed(w.M(), &QAbstractItemModel::dataChanged);
  // Post: the mended record passes at once.
  w.KeyInMain(Qt::Key_F8);
  w.TypeInto(cert::fnDInsuredCity, QStringLiteral("Racine"));
  QCOMPARE(w.Cell(1, kStatusColumn), QStringLiteral("City: *** Insured's city is required!"));
  w.Click("btnSave");
  QCOMPARE(w.Cell(1, kStatusColumn), QStringLiteral("OK"));
  QVERIFY(!changed.isEmpty());
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("6 records, 2 failing, 1 possible duplicates"));
  // Delete: the row goes, and with it the duplicate.
  w.Click("btnNext");  // record 3, Cole
  QCOMPARE(w.SelectedNumber(), 3);
  w.Click("btnDelete");
  QCOMPARE(removed.count(), 1);
  QCOMPARE(w.Rows(), 5);
  QCOMPARE(w.Cell(2, kInsuredColumn), QStringLiteral("Dale Clinic"));
  QCOMPARE(w.Cell(0, kStatusColumn), QStringLiteral("OK"));
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("5 records, 2 failing, 0 possible duplicates"));
  QCOMPARE(w.SelectedNumber(), 3);
  // Add and Post: a new row at the end, here a duplicate of the record it started from.
  w.Click("btnNew");
  QCOMPARE(w.Rows(), 5);
  w.TypeInto(cert::fnDInsuredFirstName, QStringLiteral("B"));
  w.Click("btnSave");
  QCOMPARE(inserted.count(), 1);
  QCOMPARE(w.Rows(), 6);
  QCOMPARE(w.SelectedNumber(), 6);
  QVERIFY(w.Cell(5, kStatusColumn).startsWith(QStringLiteral("Insured Company Name")));
  QCOMPARE(w.M()
               ->index(5, kStatusColumn)
               .data(Qt::ToolTipRole)
               .toString()
               .count(QStringLiteral("Possible duplicate of record 3")),
           1);
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("6 records, 3 failing, 1 possible duplicates"));
  QCOMPARE(resets.count(), 0);
}

void RecordsLiveTest::cancelRefreshNewOpenAndSave() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  QSignalSpy resets(w.M(), &QAbstractItemModel::modelReset);
  // Cancel drops the edit: the row stays as stored.
  w.KeyInMain(Qt::Key_F8);
  w.TypeInto(cert::fnDInsuredCity, QStringLiteral("Racine"));
  w.Click("btnCancel");
  QCOMPARE(w.Cell(1, kStatusColumn), QStringLiteral("City: *** Insured's city is required!"));
  // Refresh stores it.
  w.TypeInto(cert::fnDInsuredCity, QStringLiteral("Racine"));
  w.Click("btnRefresh");
  QCOMPARE(w.Cell(1, kStatusColumn), QStringLiteral("OK"));
  QCOMPARE(resets.count(), 0);
  // The current row follows the main window.
  w.Click("btnLast");
  QCOMPARE(w.SelectedNumber(), 6);
  // Save File stops on the first failing record, which becomes current.
  w.Form->OutputFileName()->setText(QString::fromStdString(w.Dir.File("out.dat")));
  w.Click("btnWriteFile");
  QCOMPARE(w.CurrentNumber(), 4);
  QCOMPARE(w.SelectedNumber(), 4);
  // New empties the window, Open fills it again.
  w.Dialogs->YesNoCancel = {certwin::anNo};
  w.Click("btnNewFile");
  QCOMPARE(w.Rows(), 0);
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("0 records, 0 failing, 0 possible duplicates"));
  QVERIFY(w.R()->Banner()->isVisible());  // a new file's header is empty
  // A file of as many records as before is read afresh too.
  w.Open(w.MakeLines(QStringLiteral("other.dat"),
                     {DetailLine("Gus", 7),
                      DetailLine("Hal", 8, [](cert::TDetailRec& d) { d.DInsuredZip = ""; })}));
  QCOMPARE(w.Rows(), 2);
  QCOMPARE(w.Cell(1, kStatusColumn), QStringLiteral("Zipcode: *** Insured's zipcode is required!"));
  QVERIFY(!w.R()->Banner()->isVisible());
  QCOMPARE(w.SelectedNumber(), 1);
  w.Open(w.MakeLines(QStringLiteral("same.dat"),
                     {DetailLine("Ida", 9),
                      DetailLine("Jo", 10, [](cert::TDetailRec& d) { d.DInsuredISO = ""; })}));
  QCOMPARE(w.Cell(0, kInsuredColumn), QStringLiteral("Ida, Anna"));
  QCOMPARE(w.Cell(1, kStatusColumn),
           QStringLiteral("Insured ISO Code: *** Insured's ISO code is required!"));
}

void RecordsLiveTest::mendedRowsLeaveTheFailingFilter() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.R()->FilterBox()->setCurrentIndex(1);
  QCOMPARE(w.RecordNumbers(), (QList<int>{2, 4, 6}));
  w.KeyInMain(Qt::Key_F8);
  QCOMPARE(w.SelectedNumber(), 2);
  w.TypeInto(cert::fnDInsuredCity, QStringLiteral("Racine"));
  w.Click("btnSave");
  QCOMPARE(w.RecordNumbers(), (QList<int>{4, 6}));
  QCOMPARE(w.SelectedNumber(), 0);
  w.KeyInMain(Qt::Key_F8);
  QCOMPARE(w.SelectedNumber(), 4);
  // A record that starts failing joins the rows, in its place.
  w.Form->CertFormat1.GotoDetailRec(0);
  w.Form->ShowDetail(false);
  Clear(w, cert::fnDInsuredAddress);
  w.Click("btnSave");
  QCOMPARE(w.RecordNumbers(), (QList<int>{1, 4, 6}));
  QCOMPARE(w.SelectedNumber(), 1);
}

// What the README promises a newcomer: open the failing sample, Ctrl+L, mend every failing
// record with F8, save.
void RecordsLiveTest::newcomerMendsTheFailingSample() {
  TRecordsWindow w;
  w.Open(QStringLiteral(CERT_SAMPLES_DIR "/failing.dat"));
  w.ShowRecords();
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("4 records, 3 failing, 1 possible duplicates"));
  QCOMPARE(w.Cell(1, kStatusColumn), QStringLiteral("City: *** Insured's city is required!"));
  w.KeyInMain(Qt::Key_F8);
  QCOMPARE(w.CurrentNumber(), 2);
  QTest::keyClicks(w.Form->focusWidget(), QStringLiteral("Madison"));
  w.KeyInMain(Qt::Key_F8);
  QCOMPARE(w.CurrentNumber(), 3);
  QCOMPARE(w.Form->focusWidget(), w.Form->FieldEditor(cert::fnDPolicyToDate));
  QTest::keyClicks(w.Form->focusWidget(), QStringLiteral("12312026"));
  QApplication::processEvents();
  w.KeyInMain(Qt::Key_F8);
  QCOMPARE(w.CurrentNumber(), 4);
  Clear(w, cert::fnDInsuredLastName);
  w.KeyInMain(Qt::Key_F8);
  QCOMPARE(w.CurrentNumber(), 4);
  QCOMPARE(w.Form->ErrorLine()->text(), QStringLiteral("No failing record after record 4."));
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drEdit);  // the last edit is pending
  const std::string out = w.Dir.File("mended.dat");
  w.Form->OutputFileName()->setText(QString::fromStdString(out));
  w.Click("btnWriteFile");  // stores it, checks every record, writes
  QCOMPARE(w.R()->Summary()->text(), QStringLiteral("4 records, 0 failing, 1 possible duplicates"));
  QVERIFY(certtest::ReadAll(out).size() > 4 * 335);
}

QTEST_MAIN(RecordsLiveTest)
#include "RecordsLiveTest.moc"
