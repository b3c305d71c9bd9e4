// The main window's memory with a file open, against the file's size and the empty window's.
#include <QApplication>
#include <cstdio>
#include <string>

#include "BenchFiles.h"
#include "FileSystem.h"
#include "RecordsSession.h"
#include "TfrmNewFile.h"

int main(int argc, char** argv) {
  certbench::UseOffscreenPlatform();
  QApplication app(argc, argv);
  const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
  const std::string file = certbench::PassingFile(records);
  const double fileMb = cert::DefaultFileSystem().Info(file).Size / 1e6;
  certbench::TBenchWindow window(file);
  const auto [empty, emptyPeak] = certbench::ProcessMemory();
  window.Open();
  const auto [open, peak] = certbench::ProcessMemory();
  std::printf(
      "records %ld, file %.1f MB; empty window %.1f MB; with the file %.1f MB resident, peak "
      "%.1f MB: (resident - empty) / file = %.3f, (peak - empty) / file = %.3f\n",
      records, fileMb, empty, open, peak, (open - empty) / fileMb, (peak - empty) / fileMb);
  return 0;
}
