// Test support for the records window: the main window with its records link, and a fixture
// file whose records fail in known ways.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <functional>

#include "../window/WindowFixture.h"
#include "TRecordsLink.h"
#include "TfrmRecords.h"

namespace rectest {

using TDetailMutation = std::function<void(cert::TDetailRec&)>;

// A passing record of its own policy number and license, changed by `mutate`.
inline std::string DetailLine(const std::string& last, int policy,
                              const TDetailMutation& mutate = nullptr) {
  cert::TDetailRec d;
  certtest::FillPassingDetail(d, last);
  d.DPolicyNum = "POL-" + std::to_string(policy);
  d.DInsuredLicenseNum = "L" + std::to_string(policy);
  if (mutate) mutate(d);
  return cert::BuildDetailLine(d, "2");
}

// Records 1 to 6: Able passes; Baker lacks a city; Cole repeats Able's provider key; Dale
// names a company and a last name and lacks the aggregate limit; Eve passes; Fay is a
// revised certificate without a revised date.
inline std::vector<std::string> FixtureLines() {
  return {
      DetailLine("Able", 1),
      DetailLine("Baker", 2, [](cert::TDetailRec& d) { d.DInsuredCity = ""; }),
      DetailLine("Cole", 1),
      DetailLine("Dale", 4,
                 [](cert::TDetailRec& d) {
                   d.DInsuredCompanyName = "Dale Clinic";
                   d.DPolicyAggregateLimit = "";
                 }),
      DetailLine("Eve", 5),
      DetailLine("Fay", 6, [](cert::TDetailRec& d) { d.DRecordProcessingType = "2"; }),
  };
}

// Triggers the action of that object name in w's window and lets it finish.
inline void TriggerAction(QWidget* w, const char* name) {
  auto* a = w->findChild<QAction*>(QString::fromLatin1(name));
  QVERIFY2(a, name);
  a->trigger();
  QApplication::processEvents();
}

// The main window with the records window's link, as the program builds them.
struct TRecordsWindow : wintest::TWindow {
  certrec::TRecordsLink Link{*Form};

  // Writes a file with a passing header (or the one given) and these detail lines.
  QString MakeLines(const QString& name, const std::vector<std::string>& lines,
                    const std::function<void(cert::THeaderRec&)>& header = nullptr) {
    const std::string path = Dir.File(name.toStdString());
    certtest::WriteAll(
        path, certtest::FileOfLines(certtest::PassingHeaderLine("20250101", header), lines));
    return QString::fromStdString(path);
  }
  void OpenFixture() { Open(MakeLines(QStringLiteral("fixture.dat"), FixtureLines())); }
  // Ctrl+L in the main window.
  TfrmRecords* ShowRecords() {
    Activate(Form.get());
    QTest::keyClick(Form.get(), Qt::Key_L, Qt::ControlModifier);
    QApplication::processEvents();
    return Link.Window();
  }
  static void Activate(QWidget* w) {
    w->activateWindow();
    QApplication::processEvents();
    if (QApplication::activeWindow() != w) (void)QTest::qWaitForWindowActive(w);
  }
  TfrmRecords* R() const { return Link.Window(); }
  certrec::TRecordsModel* M() const { return R()->Model(); }
  int Rows() const { return M()->rowCount(); }
  QString Cell(int row, int column) const { return M()->index(row, column).data().toString(); }
  // The record numbers the rows show, in row order.
  QList<int> RecordNumbers() const {
    QList<int> out;
    for (int r = 0; r < Rows(); ++r) out << M()->RecordAt(r) + 1;
    return out;
  }
  int SelectedNumber() const { return R()->SelectedRecord() + 1; }
  int CurrentNumber() const { return Form->CertFormat1.DetailIndex() + 1; }
  void KeyInRecords(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    R()->activateWindow();
    QTest::keyClick(R()->Grid(), static_cast<Qt::Key>(key), mods);
    QApplication::processEvents();
  }
  void KeyInMain(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Form->activateWindow();
    QWidget* target =
        QApplication::focusWidget() && QApplication::focusWidget()->window() == Form.get()
            ? QApplication::focusWidget()
            : Form.get();
    QTest::keyClick(target, static_cast<Qt::Key>(key), mods);
    QApplication::processEvents();
  }
};

// Status column and the first field columns by their place in the table.
constexpr int kRecordColumn = 0;
constexpr int kStatusColumn = 1;
constexpr int kInsuredColumn = 2;

}  // namespace rectest
