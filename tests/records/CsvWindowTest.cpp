// Import CSV... and Export CSV... in the records window: the preview with its mapping, append,
// replace after the save-changes prompt, and export of the list with a pending edit posted.
#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "CsvExport.h"
#include "CsvImport.h"
#include "RecordsFixture.h"
#include "TfrmCsvImport.h"

using namespace rectest;
using certrec::TCsvMappingModel;
using certrec::TfrmCsvImport;

namespace {

const char kCsv[] =
    "Insurer Name,Surname,Insured First Name,Policy Number,City,Zipcode,Notes\r\n"
    "New Insurer,Smith,Anna,p-1,Madison,1234,x\r\n"
    "New Insurer,Jones,Bob,p-2,Racine,53703,y\r\n";

// Once the preview is open, `act` runs on it; a preview `act` leaves open is cancelled.
void WithPreview(TfrmRecords* r, std::function<void(TfrmCsvImport&)> act) {
  QTimer::singleShot(0, r, [r, act] {
    auto* d = dynamic_cast<TfrmCsvImport*>(r->findChild<QDialog*>(QStringLiteral("frmCsvImport")));
    if (!d) return;
    act(*d);
    if (d->isVisible()) d->reject();
  });
}

QString Text(const cert::TFieldText& f) { return QString::fromStdString(f.Str()).trimmed(); }

QString PreviewCell(const TfrmCsvImport& d, int row, int field) {
  return d.PreviewModel()->index(row, 2 + field).data().toString();
}

// The records the CSV gives, as the import builds them.
std::vector<std::string> CsvLines(const char* csv) {
  const certcsv::TCsvTable t = certcsv::TCsvTable::Parse(csv);
  return certcsv::ImportCsv(t, certcsv::MapColumns(t)).Lines;
}

}  // namespace

class CsvWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void previewShowsMappingRecordsAndProblems();
  void appendKeepsTheListAndCountsAsAChange();
  void replaceAsksToSaveFirst();
  void exportPostsThePendingEditAndWritesTheList();
};

void CsvWindowTest::previewShowsMappingRecordsAndProblems() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  const QString csv = QString::fromStdString(w.Dir.File("in.csv"));
  certtest::WriteAll(csv.toStdString(), kCsv);
  w.Dialogs->Files.push_back(csv);
  bool seen = false;
  WithPreview(w.R(), [&seen](TfrmCsvImport& d) {
    seen = true;
    TCsvMappingModel* m = d.MappingModel();
    QCOMPARE(m->rowCount(), 7);
    QCOMPARE(m->index(1, TCsvMappingModel::mcName).data().toString(), QStringLiteral("Surname"));
    QCOMPARE(m->index(1, TCsvMappingModel::mcField).data(Qt::EditRole).toInt(), -1);
    QCOMPARE(m->index(2, TCsvMappingModel::mcField).data(Qt::EditRole).toInt(),
             int(cert::fnDInsuredFirstName));
    QCOMPARE(m->index(2, TCsvMappingModel::mcFirstValue).data().toString(), QStringLiteral("Anna"));
    QCOMPARE(d.PreviewModel()->rowCount(), 2);
    QCOMPARE(d.PreviewModel()->index(1, 0).data().toInt(), 3);
    QCOMPARE(PreviewCell(d, 0, cert::fnDPolicyNum), QStringLiteral("P-1"));
    QCOMPARE(PreviewCell(d, 0, cert::fnDInsuredZip), QString());
    // The header the records would get: the CSV's name, the rest as the workspace has it.
    QCOMPARE(PreviewCell(d, 1, cert::fnHInsurerName), QStringLiteral("New Insurer"));
    QCOMPARE(PreviewCell(d, 1, cert::fnHInsurerCity), QStringLiteral("Madison"));
    QVERIFY(d.PreviewRecords()[0].FailingField >= 0);
    QCOMPARE(d.PreviewModel()->index(0, 1).data().toString(),
             QString::fromStdString(d.PreviewRecords()[0].Message));
    const QString problems = d.ProblemsBox()->toPlainText();
    QVERIFY2(problems.contains(QStringLiteral("\"Surname\" (column 2)")), qPrintable(problems));
    QVERIFY2(problems.contains(QStringLiteral("Row 2, column \"Zipcode\": 29 DInsuredZip")),
             qPrintable(problems));
    QVERIFY(d.SummaryLabel()->text().startsWith(QStringLiteral("2 records; 1 values left empty")));

    // The user says Surname is the last name: the preview follows at once.
    QVERIFY(m->setData(m->index(1, TCsvMappingModel::mcField), int(cert::fnDInsuredLastName),
                       Qt::EditRole));
    QCOMPARE(PreviewCell(d, 0, cert::fnDInsuredLastName), QStringLiteral("Smith"));
    QCOMPARE(PreviewCell(d, 1, cert::fnDInsuredLastName), QStringLiteral("Jones"));
    QVERIFY(!d.ProblemsBox()->toPlainText().contains(QStringLiteral("\"Surname\"")));
    QVERIFY(!m->setData(m->index(1, TCsvMappingModel::mcField), 35, Qt::EditRole));
    // Nothing mapped: nothing to import.
    for (int c = 0; c < m->rowCount(); ++c)
      m->setData(m->index(c, TCsvMappingModel::mcField), -1, Qt::EditRole);
    QVERIFY(!d.AppendButton()->isEnabled());
    QVERIFY(!d.ReplaceButton()->isEnabled());
  });
  TriggerAction(w.R(), "actImportCsv");
  QVERIFY(seen);
  QCOMPARE(w.Dialogs->Filters.last(), QString::fromLatin1(certwin::CsvFileFilter));
  // Cancelled: the workspace is as it was.
  QCOMPARE(w.Form->CertFormat1.DetailStr().Count(), 6);
  QVERIFY(!w.Form->CertFormat1.FileChanged());
  QCOMPARE(Text(w.Form->CertFormat1.HeaderRec.HInsurerName),
           QStringLiteral("Acme Mutual Insurance"));
}

void CsvWindowTest::appendKeepsTheListAndCountsAsAChange() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  const std::vector<std::string> before = w.Form->CertFormat1.DetailStr().Items();
  const QString csv = QString::fromStdString(w.Dir.File("in.csv"));
  certtest::WriteAll(csv.toStdString(), kCsv);
  w.Dialogs->Files.push_back(csv);
  WithPreview(w.R(), [](TfrmCsvImport& d) { d.AppendButton()->click(); });
  TriggerAction(w.R(), "actImportCsv");

  const cert::TCertFormat& c = w.Form->CertFormat1;
  std::vector<std::string> expected = before;
  for (const std::string& line : CsvLines(kCsv)) expected.push_back(line);
  QVERIFY(c.DetailStr().Items() == expected);
  QVERIFY(c.FileChanged());
  QCOMPARE(c.DetailRecStatus, cert::drBrowse);
  QCOMPARE(w.CurrentNumber(), 7);
  QCOMPARE(Text(c.HeaderRec.HInsurerName), QStringLiteral("New Insurer"));
  QCOMPARE(Text(c.HeaderRec.HInsurerCity), QStringLiteral("Madison"));
  // The main window shows the first new record, and the table has every record.
  QCOMPARE(w.Form->FieldEditor(cert::fnDInsuredFirstName)->property("text").toString(),
           QStringLiteral("Anna"));
  QCOMPARE(w.Rows(), 8);
  QVERIFY(w.R()->Summary()->text().contains(QStringLiteral("2 records appended from")));
}

void CsvWindowTest::replaceAsksToSaveFirst() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.TypeInto(cert::fnDInsuredCity, QStringLiteral("x"));
  QVERIFY(w.Form->CertFormat1.FileChanged());
  const QString csv = QString::fromStdString(w.Dir.File("in.csv"));
  certtest::WriteAll(csv.toStdString(), kCsv);
  w.Dialogs->Files.push_back(csv);
  w.Dialogs->YesNoCancel = {certwin::anCancel, certwin::anNo};
  bool stayed = false;
  WithPreview(w.R(), [&stayed](TfrmCsvImport& d) {
    d.ReplaceButton()->click();  // Cancel: the preview stays
    stayed = d.isVisible() && d.Choice() == TfrmCsvImport::icNone;
    d.ReplaceButton()->click();  // No: the changes are dropped
  });
  TriggerAction(w.R(), "actImportCsv");
  QVERIFY(stayed);
  QCOMPARE(w.Dialogs->Log.filter(QStringLiteral("save?: ")).size(), 2);

  const cert::TCertFormat& c = w.Form->CertFormat1;
  QVERIFY(c.DetailStr().Items() == CsvLines(kCsv));
  QVERIFY(c.FileChanged());
  QCOMPARE(w.CurrentNumber(), 1);
  QCOMPARE(Text(c.HeaderRec.HInsurerName), QStringLiteral("New Insurer"));
  QCOMPARE(Text(c.HeaderRec.HInsurerState), QStringLiteral("WI"));
  QCOMPARE(w.Rows(), 2);
  QCOMPARE(w.Form->FieldEditor(cert::fnDInsuredCity)->property("text").toString(),
           QStringLiteral("Madison"));
}

void CsvWindowTest::exportPostsThePendingEditAndWritesTheList() {
  TRecordsWindow w;
  w.OpenFixture();
  w.ShowRecords();
  w.TypeInto(cert::fnDInsuredCity, QStringLiteral("x"));
  QCOMPARE(w.Form->CertFormat1.DetailRecStatus, cert::drEdit);
  const std::string out = w.Dir.File("out.csv");
  w.Dialogs->Files.push_back(QString::fromStdString(out));
  TriggerAction(w.R(), "actExportCsv");

  const cert::TCertFormat& c = w.Form->CertFormat1;
  QCOMPARE(c.DetailRecStatus, cert::drBrowse);
  QCOMPARE(c.DetailStr().Count(), 6);
  const std::string written = certtest::ReadAll(out);
  QVERIFY(written == certcsv::ExportCsv(c.HeaderRec, c.DetailStr(), true));
  cert::TDetailRec first;
  cert::ParseDetailLine(c.DetailStr()[0], first);
  QVERIFY(first.DInsuredCity.Str().find('x') != std::string::npos);
  QVERIFY(written.find("," + first.DInsuredCity.Str() + ",") != std::string::npos);
  QCOMPARE(w.Dialogs->Filters.last(), QString::fromLatin1(certwin::CsvFileFilter));
  QVERIFY(w.Dialogs->Log.last().startsWith(QStringLiteral("save as Export CSV: ")));

  // An existing file is replaced only when the user says so.
  certtest::WriteAll(out, "old");
  w.Dialogs->Files.push_back(QString::fromStdString(out));
  w.Dialogs->OkCancel.push_back(false);
  TriggerAction(w.R(), "actExportCsv");
  QVERIFY(w.Dialogs->Log.last().startsWith(QStringLiteral("confirm: File ")));
  QVERIFY(certtest::ReadAll(out) == "old");
}

QTEST_MAIN(CsvWindowTest)
#include "CsvWindowTest.moc"
