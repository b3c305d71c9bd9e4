// The main window's memory with a file open, against the file's size and the empty window's.
#include <malloc.h>

#include <QApplication>
#include <cstdio>
#include <sstream>
#include <string>

#include "BenchFiles.h"
#include "FileSystem.h"
#include "RecordsSession.h"
#include "TfrmNewFile.h"

namespace {

// Resident and peak resident memory of the process, in MB.
std::pair<double, double> Memory() {
  malloc_trim(0);
  std::istringstream status(cert::ReadWholeFile(cert::DefaultFileSystem(), "/proc/self/status"));
  long rss = 0, peak = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::atol(line.c_str() + 6);
    if (line.rfind("VmHWM:", 0) == 0) peak = std::atol(line.c_str() + 6);
  }
  return {rss * 1024 / 1e6, peak * 1024 / 1e6};
}

}  // namespace

int main(int argc, char** argv) {
  certbench::UseOffscreenPlatform();
  QApplication app(argc, argv);
  const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
  const std::string file = certbench::PassingFile(records);
  const double fileMb = cert::DefaultFileSystem().Info(file).Size / 1e6;
  TfrmNewFile form(std::make_unique<certbench::TBenchDialogs>(QString::fromStdString(file)));
  form.SettingsDirectory = "/tmp";
  form.show();
  QApplication::processEvents();
  const auto [empty, emptyPeak] = Memory();
  form.btnOpenClick();
  QApplication::processEvents();
  const auto [open, peak] = Memory();
  std::printf(
      "records %ld, file %.1f MB; empty window %.1f MB; with the file %.1f MB resident, peak "
      "%.1f MB: (resident - empty) / file = %.3f, (peak - empty) / file = %.3f\n",
      records, fileMb, empty, open, peak, (open - empty) / fileMb, (peak - empty) / fileMb);
  form.setAttribute(Qt::WA_DeleteOnClose, false);
  form.hide();
  return 0;
}
