#include <benchmark/benchmark.h>

#include <cstdio>

#include "BenchFiles.h"
#include "CertDuplicates.h"
#include "CertFormat.h"
#include "CertRules.h"
#include "CertScan.h"
#include "CertStream.h"

namespace {

void BM_ReadCertFile(benchmark::State& state) {
  const long n = state.range(0);
  certbench::PassingFile(n);
  for (auto _ : state) {
    cert::TCertFormat c;
    certbench::LoadPassing(c, n);
    benchmark::DoNotOptimize(c.DetailStr().Count());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_WriteCertFile(benchmark::State& state) {
  const long n = state.range(0);
  cert::TCertFormat c;
  certbench::LoadPassing(c, n);
  c.OnConfirmOverwrite = [](const std::string&) { return true; };
  c.FileNameSave = certbench::BenchDir() + "/certbench-out.dat";
  for (auto _ : state) c.WriteCertFile();
  std::remove(c.FileNameSave.c_str());
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_NavigateFirstToLast(benchmark::State& state) {
  const long n = state.range(0);
  cert::TCertFormat c;
  certbench::LoadPassing(c, n);
  for (auto _ : state) {
    c.FirstDetailRec();
    for (long i = 1; i < n; ++i) c.NextDetailRec();
  }
  state.SetItemsProcessed(state.iterations() * n);
}

void BM_CheckAllForErrors(benchmark::State& state) {
  const long n = state.range(0);
  cert::TCertFormat c;
  certbench::LoadPassing(c, n);
  for (auto _ : state)
    if (!c.CheckAllForErrors()) state.SkipWithError("a record failed");
  state.SetItemsProcessed(state.iterations() * n);
}

// Each round deletes the current record, the first: the list loses one record a round.
void BM_DeleteFirstRecord(benchmark::State& state) {
  const long n = state.range(0);
  cert::TCertFormat c;
  certbench::LoadPassing(c, n);
  c.FirstDetailRec();
  for (auto _ : state) c.DeleteDetailRec();
}

// The stream check of certcheck over the whole file, on one thread and on two.
void BM_StreamCheck(benchmark::State& state) {
  const long n = state.range(0);
  const std::string file = certbench::PassingFile(n);
  cert::TStreamOptions options;
  options.Threads = static_cast<int>(state.range(1));
  for (auto _ : state) {
    cert::TStreamCheck check(cert::DefaultFileSystem(), file, options);
    check.Run();
    benchmark::DoNotOptimize(check.Records());
  }
  state.SetItemsProcessed(state.iterations() * n);
}

// The fast path's work on one line held in memory: its scan, its facts and its provider key.
void BM_LineFacts(benchmark::State& state) {
  cert::TCertFormat c;
  certbench::LoadPassing(c, 100000);
  const cert::TStringList& lines = c.DetailStr();
  cert::TLineScan scan;
  cert::TRuleMemo memo(cert::rsDetail);
  long i = 0;
  for (auto _ : state) {
    const std::string_view line = lines[static_cast<int>(i++ % lines.Count())];
    scan.Scan(line, false);
    benchmark::DoNotOptimize(memo.First(cert::LineDetailFacts(line, scan)));
    if (state.range(0)) benchmark::DoNotOptimize(cert::LineProviderKeyHash(line, scan));
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(BM_ReadCertFile)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteCertFile)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NavigateFirstToLast)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckAllForErrors)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamCheck)
    ->Args({100000, 1})
    ->Args({100000, 2})
    ->Args({1000000, 1})
    ->Args({1000000, 2})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineFacts)->Arg(0)->Arg(1);
BENCHMARK(BM_DeleteFirstRecord)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
