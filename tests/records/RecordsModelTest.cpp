// The records model: sorting, filtering, and row-level updates that keep every view right,
// watched by Qt's model tester.
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <deque>
#include <random>

#include "../support/CertSamples.h"
#include "../support/FakeEditor.h"
#include "RecordColumns.h"
#include "TRecordsModel.h"
#include "TextFold.h"

using namespace certrec;

namespace {

int ColumnOf(TColumnKind kind, int field = -1) {
  const auto& columns = RecordColumns();
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (columns[c].Kind == kind && columns[c].Field == field) return static_cast<int>(c);
  return -1;
}

// A workspace, its table and a model over it, with editors to type into.
struct TModelBench {
  cert::TCertFormat Cert;
  std::deque<certtest::TFakeEditor> Editors;
  TRecordTable Table{Cert};
  TRecordsModel Model{Cert, Table, nullptr};
  bool Following = false;

  TModelBench() {
    certtest::FillPassingHeader(Cert.HeaderRec);
    for (int f : {cert::fnDInsuredCity, cert::fnDInsuredLicenseNum, cert::fnDInsuredLastName})
      Cert.BindEditor(f, &Editors.emplace_back(cert::ecMaskEdit));
    auto sync = [this] {
      if (Following) Model.Apply(Table.Sync());
    };
    Cert.OnCertDetailChange = [sync](cert::TObject*) { sync(); };
    Cert.OnCertStatusChange = [sync](cert::TObject*, cert::TDetailRecStatus,
                                     cert::TDetailRecStatus) { sync(); };
    Cert.OnCertError = [sync](cert::TObject*, int, const std::string&) { sync(); };
    Cert.OnCertPassErrorCheck = [sync](cert::TObject*) { sync(); };
  }
  certtest::TFakeEditor& Editor(int field) {
    return *static_cast<certtest::TFakeEditor*>(Cert.Binding(field).Editor);
  }
  // Records by last name, city (empty fails) and license (equal ones are duplicates).
  void Load(const std::vector<std::array<std::string, 3>>& records) {
    for (const auto& [last, city, license] : records) {
      certtest::FillPassingDetail(Cert.DetailRec, last);
      Cert.DetailRec.DInsuredCity = city;
      Cert.DetailRec.DInsuredLicenseNum = license;
      Cert.NewDetailRec();
      Cert.PostDetailRec();
    }
    Cert.FirstDetailRec();
    Table.Rebuild();
    Model.Reset();
    Following = true;
  }
  QList<int> Records(const TRecordsModel& m) const {
    QList<int> out;
    for (int r = 0; r < m.rowCount(); ++r) out << m.RecordAt(r) + 1;
    return out;
  }
  QList<int> Records() const { return Records(Model); }
  // The rows a model made afresh with the same filter and order would show.
  QList<int> Fresh(int column, Qt::SortOrder order) const {
    TRecordsModel fresh(Cert, Table, nullptr);
    fresh.SetFilter(Model.Filter());
    fresh.sort(column, order);
    fresh.Reset();
    return Records(fresh);
  }
};

}  // namespace

class RecordsModelTest : public QObject {
  Q_OBJECT
 private slots:
  void sortsByAnyColumn_data();
  void sortsByAnyColumn();
  void sortingKeepsTheSelectedRecord();
  void sortsManyEqualNamesByTheirGivenNames();
  void filters();
  void rowLevelUpdatesUnderEveryFilterAndOrder_data();
  void rowLevelUpdatesUnderEveryFilterAndOrder();
  void noCopiesPerRow();
};

void RecordsModelTest::sortsByAnyColumn_data() {
  QTest::addColumn<int>("column");
  QTest::addColumn<bool>("descending");
  QTest::addColumn<QList<int>>("records");
  // 1 Cole (no city, license 7), 2 adams (license 7: repeats 1), 3 Baker, 4 Able (no city),
  // 5 Dale.
  QTest::newRow("record") << ColumnOf(ckRecord) << false << QList<int>{1, 2, 3, 4, 5};
  QTest::newRow("record down") << ColumnOf(ckRecord) << true << QList<int>{5, 4, 3, 2, 1};
  QTest::newRow("insured") << ColumnOf(ckInsured) << false << QList<int>{4, 2, 3, 1, 5};
  QTest::newRow("insured down") << ColumnOf(ckInsured) << true << QList<int>{5, 1, 3, 2, 4};
  // Failing by their first rule (ties in list order), then duplicates, repeated, the rest.
  QTest::newRow("status") << ColumnOf(ckStatus) << false << QList<int>{1, 4, 2, 3, 5};
  // Licenses 7, 7, 30, 200, 1000 by value; ties keep list order.
  QTest::newRow("license") << ColumnOf(ckField, cert::fnDInsuredLicenseNum) << false
                           << QList<int>{1, 2, 5, 4, 3};
  QTest::newRow("license down") << ColumnOf(ckField, cert::fnDInsuredLicenseNum) << true
                                << QList<int>{3, 4, 5, 1, 2};
  QTest::newRow("city") << ColumnOf(ckField, cert::fnDInsuredCity) << false
                        << QList<int>{1, 4, 3, 5, 2};
}

void RecordsModelTest::sortsByAnyColumn() {
  QFETCH(int, column);
  QFETCH(bool, descending);
  QFETCH(QList<int>, records);
  TModelBench b;
  b.Load({{"Cole", "", "7"},
          {"adams", "Waukesha", "7"},
          {"Baker", "Milwaukee", "1000"},
          {"Able", "", "200"},
          {"Dale", "Racine", "30"}});
  QAbstractItemModelTester tester(&b.Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
  b.Model.sort(column, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
  QCOMPARE(b.Records(), records);
}

// Records sort by the company or last name from their keys alone, and records of one name by
// their given names: the order must be that of comparing the whole insured, record by record,
// with names longer than a key holds, names equal but for case, and names that only begin alike.
void RecordsModelTest::sortsManyEqualNamesByTheirGivenNames() {
  TModelBench b;
  const char* lasts[] = {"Lindqvist-Haraldsen",
                         "LINDQVIST-HARALDSEN",
                         "Lindqvist-Har",
                         "Okafor",
                         "okafor",
                         "Ng",
                         "Ng",
                         ""};
  const char* firsts[] = {"Anna", "anna", "Per", "Per-Olof"};
  const char* middles[] = {"", "B", "b", "Bea"};
  const char* suffixes[] = {"", "Jr", "JR"};
  std::mt19937 random(11);
  auto pick = [&random](std::size_t n) { return random() % n; };
  for (int i = 0; i < 600; ++i) {
    certtest::FillPassingDetail(b.Cert.DetailRec, lasts[pick(std::size(lasts))]);
    cert::TDetailRec& d = b.Cert.DetailRec;
    if (d.DInsuredLastName.Empty()) {
      d.DInsuredCompanyName = pick(2) ? "Westside Ambulatory Surgery" : "westside ambulatory";
      d.DInsuredFirstName = "";
    } else {
      d.DInsuredFirstName = firsts[pick(std::size(firsts))];
      d.DInsuredMidName = middles[pick(std::size(middles))];
      d.DInsuredSuffix = suffixes[pick(std::size(suffixes))];
    }
    b.Cert.NewDetailRec();
    b.Cert.PostDetailRec();
  }
  b.Cert.FirstDetailRec();
  b.Table.Rebuild();
  b.Model.Reset();
  // The whole insured, as shown: the company or the last name, then the given names.
  auto compare = [&b](int x, int y) {
    cert::TDetailRec p, q;
    cert::ParseDetailLine(b.Cert.DetailStr()[x], p);
    cert::ParseDetailLine(b.Cert.DetailStr()[y], q);
    auto first = [](const cert::TDetailRec& r) {
      return r.DInsuredCompanyName.Empty() ? r.DInsuredLastName.View()
                                           : r.DInsuredCompanyName.View();
    };
    if (const int c = CompareFolded(first(p), first(q))) return c;
    for (int f : {cert::fnDInsuredFirstName, cert::fnDInsuredMidName, cert::fnDInsuredSuffix})
      if (const int c = CompareFolded(p.Field(f).View(), q.Field(f).View())) return c;
    return 0;
  };
  for (const bool descending : {false, true}) {
    QList<int> expected;
    std::vector<int> records(600);
    for (int i = 0; i < 600; ++i) records[static_cast<std::size_t>(i)] = i;
    std::sort(records.begin(), records.end(), [&](int x, int y) {
      const int c = compare(x, y);
      return c != 0 ? (descending ? c > 0 : c < 0) : x < y;
    });
    for (int r : records) expected << r + 1;
    b.Model.sort(ColumnOf(ckInsured), descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    QCOMPARE(b.Records(), expected);
  }
}

void RecordsModelTest::sortingKeepsTheSelectedRecord() {
  TModelBench b;
  b.Load({{"Cole", "A", "1"}, {"Able", "B", "2"}, {"Baker", "C", "3"}});
  QPersistentModelIndex selected(b.Model.index(0, 0));  // Cole
  b.Model.sort(ColumnOf(ckInsured), Qt::AscendingOrder);
  QCOMPARE(selected.row(), 2);
  QCOMPARE(b.Model.RecordAt(selected.row()), 0);
}

void RecordsModelTest::filters() {
  TModelBench b;
  b.Load({{"A", "X", "1"}, {"B", "", "2"}, {"C", "X", "1"}, {"D", "X", "4"}, {"E", "", "1"}});
  QAbstractItemModelTester tester(&b.Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
  b.Model.SetFilter(rfFailing);
  QCOMPARE(b.Records(), (QList<int>{2, 5}));
  QCOMPARE(b.Model.RowOf(4), 1);
  QCOMPARE(b.Model.RowOf(0), -1);
  b.Model.SetFilter(rfDuplicates);
  QCOMPARE(b.Records(), (QList<int>{1, 3, 5}));
  b.Model.sort(ColumnOf(ckRecord), Qt::DescendingOrder);
  QCOMPARE(b.Records(), (QList<int>{5, 3, 1}));
  b.Model.SetFilter(rfAll);
  QCOMPARE(b.Records(), (QList<int>{5, 4, 3, 2, 1}));
}

void RecordsModelTest::rowLevelUpdatesUnderEveryFilterAndOrder_data() {
  QTest::addColumn<int>("filter");
  QTest::addColumn<int>("column");
  QTest::addColumn<bool>("descending");
  // In list order with every record shown, a row's record number is its place: removing a
  // row changes the numbers after it, which the model tester takes for a fault.
  QTest::addColumn<bool>("tester");
  const int status = ColumnOf(ckStatus), insured = ColumnOf(ckInsured);
  const int city = ColumnOf(ckField, cert::fnDInsuredCity);
  QTest::newRow("all, list order") << int(rfAll) << 0 << false << false;
  QTest::newRow("all, by insured") << int(rfAll) << insured << false << true;
  QTest::newRow("all, by status down") << int(rfAll) << status << true << true;
  QTest::newRow("failing, list order") << int(rfFailing) << 0 << false << true;
  QTest::newRow("failing, by city") << int(rfFailing) << city << false << true;
  QTest::newRow("duplicates, list order") << int(rfDuplicates) << 0 << false << true;
  QTest::newRow("duplicates, by record down") << int(rfDuplicates) << 0 << true << true;
}

// Every command in any order: the rows are what a model made afresh would show, and every
// signal on the way is one a view can follow.
void RecordsModelTest::rowLevelUpdatesUnderEveryFilterAndOrder() {
  QFETCH(int, filter);
  QFETCH(int, column);
  QFETCH(bool, descending);
  QFETCH(bool, tester);
  const Qt::SortOrder order = descending ? Qt::DescendingOrder : Qt::AscendingOrder;
  TModelBench b;
  b.Load({{"Cole", "X", "1"}, {"Able", "", "2"}, {"Baker", "X", "1"}, {"Dale", "", "4"}});
  std::unique_ptr<QAbstractItemModelTester> watch;
  if (tester)
    watch = std::make_unique<QAbstractItemModelTester>(
        &b.Model, QAbstractItemModelTester::FailureReportingMode::QtTest);
  b.Model.SetFilter(static_cast<TRecordFilter>(filter));
  b.Model.sort(column, order);
  QSignalSpy resets(&b.Model, &QAbstractItemModel::modelReset);
  std::mt19937 random(7);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const char* names[] = {"Able", "baker", "Cole", "Zed"};
  for (int step = 0; step < 600; ++step) {
    const int n = b.Cert.DetailStr().Count();
    const bool canType = b.Cert.DetailRecStatus == cert::drNew || n > 0;
    switch (pick(9)) {
      case 0:
        if (canType) b.Editor(cert::fnDInsuredCity).SetText(pick(3) ? "X" : "");
        break;
      case 1:
        if (canType) b.Editor(cert::fnDInsuredLicenseNum).SetText(std::to_string(pick(4)));
        break;
      case 2:
        if (canType) b.Editor(cert::fnDInsuredLastName).SetText(names[pick(4)]);
        break;
      case 3:
        b.Cert.PostDetailRec();
        break;
      case 4:
        if (b.Cert.DetailRecStatus != cert::drNew) b.Cert.NewDetailRec();
        break;
      case 5:
        if (n > 1 && b.Cert.DetailRecStatus != cert::drNew) b.Cert.DeleteDetailRec();
        break;
      case 6:
        if (n > 0) b.Cert.GotoDetailRec(pick(n));
        break;
      case 7:
        b.Cert.CancelDetailRec();
        break;
      default:
        b.Cert.RefreshDetailRec();
        break;
    }
    QCOMPARE(b.Records(), b.Fresh(column, order));
    if (QTest::currentTestFailed()) {
      qWarning("after step %d", step);
      return;
    }
  }
  // Changes of one record come as rows, not as a new model, unless duplicates decide
  // membership or order.
  if (filter != rfDuplicates && column != ColumnOf(ckStatus)) QCOMPARE(resets.count(), 0);
}

void RecordsModelTest::noCopiesPerRow() {
  TModelBench b;
  std::vector<std::array<std::string, 3>> many;
  for (int i = 0; i < 2000; ++i) many.push_back({"N" + std::to_string(i), "X", std::to_string(i)});
  b.Load(many);
  // In list order with every record shown the model keeps no row vector at all.
  QCOMPARE(b.Model.rowCount(), 2000);
  QCOMPARE(b.Model.RowOf(1999), 1999);
  QCOMPARE(b.Model.index(1999, ColumnOf(ckInsured)).data().toString(),
           QStringLiteral("N1999, Anna"));
  QCOMPARE(b.Model.index(5, ColumnOf(ckField, cert::fnDPolicyToDate)).data().toString(),
           QStringLiteral("12/31/2026"));
}

QTEST_MAIN(RecordsModelTest)
#include "RecordsModelTest.moc"
