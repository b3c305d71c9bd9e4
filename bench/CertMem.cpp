// Reads one certificate file and prints its size and the process's peak memory.
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>

#include "BenchFiles.h"
#include "CertFormat.h"

int main(int argc, char** argv) {
  const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
  const std::string path = certbench::PassingFile(records);
  cert::TCertFormat c;
  c.FileNameOpen = path;
  c.ReadCertFile();
  std::istringstream status(cert::ReadWholeFile(cert::DefaultFileSystem(), "/proc/self/status"));
  long peakKb = 0;
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) peakKb = std::atol(line.c_str() + 6);
  const double fileMb = cert::DefaultFileSystem().Info(path).Size / 1e6;
  std::printf("records %d, file %.1f MB, peak memory %.1f MB, limit %.1f MB\n",
              c.DetailStr().Count(), fileMb, peakKb * 1024 / 1e6, fileMb * 1.3 + 50);
  return 0;
}
