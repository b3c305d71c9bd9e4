// The main of a benchmark program whose benchmarks need the application object.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include "RecordsSession.h"

namespace certbench {

inline int RunQtBenchmarks(int argc, char** argv) {
  UseOffscreenPlatform();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace certbench
