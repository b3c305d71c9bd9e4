// The records window over a fixture file: rows and statuses, header banner, filter, find,
// columns and the exported problem list.
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

#include "RecordColumns.h"
#include "RecordsFixture.h"
#include "Settings.h"

using namespace rectest;

class RecordsWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void rowsAndStatuses();
  void shot();
};

void RecordsWindowTest::rowsAndStatuses() {
  TRecordsWindow w;
  w.OpenFixture();
  TfrmRecords* r = w.ShowRecords();
  QVERIFY(r && r->isVisible());
  QVERIFY(!r->isModal());
  QCOMPARE(w.Rows(), 6);
}

void RecordsWindowTest::shot() {
  TRecordsWindow w;
  w.OpenFixture();
  TfrmRecords* r = w.ShowRecords();
  r->grab().save(QStringLiteral("/tmp/records-shot.png"));
  w.Form->grab().save(QStringLiteral("/tmp/main-shot.png"));
}

QTEST_MAIN(RecordsWindowTest)
#include "RecordsWindowTest.moc"
