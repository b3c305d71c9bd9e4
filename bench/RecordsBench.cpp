// The records window's speed: opening it, scrolling, selecting, filtering, a find keystroke,
// sorting, and a Post shown live; on files with failing records and possible duplicates.
#include <benchmark/benchmark.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <map>

#include "BenchFiles.h"
#include "CertLayout.h"
#include "QtBenchMain.h"
#include "RecordColumns.h"
#include "RecordsSession.h"
#include "TfrmRecords.h"
#include "TwwDBEdit.h"

namespace {

using certbench::TRecordsSession;

// One session per size, kept for the whole run: reading a million records takes a second.
TRecordsSession& Session(long records) {
  static std::map<long, std::unique_ptr<TRecordsSession>> sessions;
  auto& s = sessions[records];
  if (!s) s = std::make_unique<TRecordsSession>(certbench::MixedFile(records));
  return *s;
}

TfrmRecords& Shown(long records) {
  TRecordsSession& s = Session(records);
  s.Link->ShowRecords();
  QApplication::processEvents();
  return *s.Link->Window();
}

// Paints what the table shows now, as the screen would.
void Paint(TfrmRecords& w) { w.Grid()->viewport()->repaint(); }

int ColumnOf(certrec::TColumnKind kind, int field = -1) {
  const auto& columns = certrec::RecordColumns();
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (columns[c].Kind == kind && columns[c].Field == field) return static_cast<int>(c);
  return 0;
}

void BM_OpenRecordsWindow(benchmark::State& state) {
  TRecordsSession& s = Session(state.range(0));
  for (auto _ : state) {
    // A fresh link: the table is read and the window built, shown and painted.
    s.Link = std::make_unique<certrec::TRecordsLink>(*s.Form);
    s.Link->ShowRecords();
    QApplication::processEvents();
    Paint(*s.Link->Window());
    state.PauseTiming();
    s.Link.reset();
    QApplication::processEvents();
    s.Link = std::make_unique<certrec::TRecordsLink>(*s.Form);
    state.ResumeTiming();
  }
}

void BM_ScrollOnePage(benchmark::State& state) {
  TfrmRecords& w = Shown(state.range(0));
  QScrollBar* bar = w.Grid()->verticalScrollBar();
  for (auto _ : state) {
    const int next = bar->value() + bar->pageStep();
    bar->setValue(next > bar->maximum() ? 0 : next);
    Paint(w);
  }
}

void BM_ScrollToEnd(benchmark::State& state) {
  TfrmRecords& w = Shown(state.range(0));
  QScrollBar* bar = w.Grid()->verticalScrollBar();
  for (auto _ : state) {
    bar->setValue(bar->value() == bar->maximum() ? 0 : bar->maximum());
    Paint(w);
  }
}

void BM_SelectRow(benchmark::State& state) {
  TfrmRecords& w = Shown(state.range(0));
  const int rows = w.Model()->rowCount();
  int row = 0;
  for (auto _ : state) {
    row = (row + 7919) % rows;
    const QModelIndex at = w.Model()->index(row, 0);
    w.Grid()->selectionModel()->setCurrentIndex(
        at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    w.Grid()->scrollTo(at);
    Paint(w);
  }
}

void BM_FilterFailingOnly(benchmark::State& state) {
  TfrmRecords& w = Shown(state.range(0));
  for (auto _ : state) {
    w.FilterBox()->setCurrentIndex(1);
    Paint(w);
    state.PauseTiming();
    w.FilterBox()->setCurrentIndex(0);
    state.ResumeTiming();
  }
}

// A keystroke that matches nothing: every row is searched.
void BM_FindKeystrokeNoMatch(benchmark::State& state) {
  TfrmRecords& w = Shown(state.range(0));
  int k = 0;
  for (auto _ : state) {
    w.FindBox()->setText(QStringLiteral("zq%1").arg(++k % 2));
    Paint(w);
  }
  w.FindBox()->clear();
}

// A keystroke whose match lies 10,000 records on.
void BM_FindKeystrokeFar(benchmark::State& state) {
  TfrmRecords& w = Shown(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    w.SelectRecord(0);
    w.FindBox()->setText(QStringLiteral("name997"));
    state.ResumeTiming();
    w.FindBox()->setText(QStringLiteral("name9972"));
    Paint(w);
  }
  w.FindBox()->clear();
}

void SortBy(benchmark::State& state, int column) {
  TfrmRecords& w = Shown(state.range(0));
  QHeaderView* header = w.Grid()->horizontalHeader();
  bool up = true;
  for (auto _ : state) {
    header->setSortIndicator(column, up ? Qt::AscendingOrder : Qt::DescendingOrder);
    up = !up;
    Paint(w);
  }
  header->setSortIndicator(0, Qt::AscendingOrder);
}

void BM_SortByInsured(benchmark::State& state) { SortBy(state, ColumnOf(certrec::ckInsured)); }
void BM_SortByLicense(benchmark::State& state) {
  SortBy(state, ColumnOf(certrec::ckField, cert::fnDInsuredLicenseNum));
}
void BM_SortByStatus(benchmark::State& state) { SortBy(state, ColumnOf(certrec::ckStatus)); }

// An edit of the current record's city posted in the main window and shown in the records
// window: the record checked again, duplicates found again, the row repainted.
void BM_PostShownLive(benchmark::State& state) {
  TRecordsSession& s = Session(state.range(0));
  TfrmRecords& w = Shown(state.range(0));
  auto* city = dynamic_cast<TwwDBEdit*>(s.Form->FieldEditor(cert::fnDInsuredCity));
  bool empty = false;
  for (auto _ : state) {
    city->SetText(empty ? "Racine" : "");
    empty = !empty;
    s.Form->btnSaveClick();
    Paint(w);
  }
}

// As above with the license: the provider keys change, so duplicates are found again.
void BM_PostNewKeyShownLive(benchmark::State& state) {
  TRecordsSession& s = Session(state.range(0));
  TfrmRecords& w = Shown(state.range(0));
  auto* license = dynamic_cast<TwwDBEdit*>(s.Form->FieldEditor(cert::fnDInsuredLicenseNum));
  bool other = false;
  for (auto _ : state) {
    license->SetText(other ? "L7" : "X7");
    other = !other;
    s.Form->btnSaveClick();
    Paint(w);
  }
}

}  // namespace

BENCHMARK(BM_OpenRecordsWindow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollOnePage)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollToEnd)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectRow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterFailingOnly)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindKeystrokeNoMatch)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindKeystrokeFar)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByInsured)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByLicense)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByStatus)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostShownLive)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PostNewKeyShownLive)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return certbench::RunQtBenchmarks(argc, argv); }
