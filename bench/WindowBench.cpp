// The main window at many records: Open to the first record shown, Verify of a file whose
// records all pass, and Delete of the first record; on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <map>

#include "BenchFiles.h"
#include "QtBenchMain.h"
#include "RecordsSession.h"
#include "TfrmNewFile.h"

namespace {

using TWindow = certbench::TBenchWindow;

// One opened window per size, kept for the whole run.
TWindow& Opened(long records) {
  static std::map<long, std::unique_ptr<TWindow>> windows;
  auto& w = windows[records];
  if (!w) {
    w = std::make_unique<TWindow>(certbench::PassingFile(records));
    w->Open();
  }
  return *w;
}

void BM_WindowOpen(benchmark::State& state) {
  const std::string file = certbench::PassingFile(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<TWindow>(file);
    state.ResumeTiming();
    w->Open();
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_WindowVerify(benchmark::State& state) {
  TWindow& w = Opened(state.range(0));
  for (auto _ : state) {
    w.Form->btnVerifyClick();
    QApplication::processEvents();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Each round deletes the record shown, the first: the list loses one record a round.
void BM_WindowDeleteFirst(benchmark::State& state) {
  TWindow w(certbench::PassingFile(state.range(0)));
  w.Open();
  for (auto _ : state) {
    w.Form->btnDeleteClick();
    QApplication::processEvents();
  }
}

}  // namespace

BENCHMARK(BM_WindowOpen)->Arg(100000)->Arg(1000000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowVerify)->Arg(100000)->Arg(1000000)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowDeleteFirst)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return certbench::RunQtBenchmarks(argc, argv); }
