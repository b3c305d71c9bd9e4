// How much the records window adds to the process's memory: a file read in the main window,
// then the records window opened, scrolled to the end, sorted and filtered.
#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <cstdio>
#include <string>

#include "BenchFiles.h"
#include "FileSystem.h"
#include "RecordsSession.h"
#include "TfrmRecords.h"

int main(int argc, char** argv) {
  certbench::UseOffscreenPlatform();
  QApplication app(argc, argv);
  const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
  certbench::TRecordsSession s(certbench::MixedFile(records));
  const auto [rss0, peak0] = certbench::ProcessMemory();
  std::printf("records %ld, main window with the file: %.1f MB resident, peak %.1f MB\n", records,
              rss0, peak0);
  s.Link->ShowRecords();
  QApplication::processEvents();
  TfrmRecords& w = *s.Link->Window();
  w.Grid()->verticalScrollBar()->setValue(w.Grid()->verticalScrollBar()->maximum());
  w.Grid()->viewport()->repaint();
  auto report = [rss0 = rss0, peak0 = peak0](const char* what) {
    const auto [rss, peak] = certbench::ProcessMemory();
    std::printf("%-21s %.1f MB resident (+%.1f%%), peak %.1f MB (+%.1f%%)\n", what, rss,
                (rss / rss0 - 1) * 100, peak, (peak / peak0 - 1) * 100);
  };
  report("records window open:");
  w.Grid()->horizontalHeader()->setSortIndicator(2, Qt::AscendingOrder);  // the insured
  w.Grid()->viewport()->repaint();
  report("sorted by insured:");
  w.FilterBox()->setCurrentIndex(1);
  w.Grid()->viewport()->repaint();
  report("and failing only:");
  return 0;
}
