// Reads one certificate file and prints its size and the process's peak memory.
#include <cstdio>
#include <cstring>
#include <string>

#include "BenchFiles.h"
#include "CertFormat.h"

int main(int argc, char** argv) {
  const long records = argc > 1 ? std::atol(argv[1]) : 1000000;
  const std::string path = certbench::PassingFile(records);
  cert::TCertFormat c;
  c.FileNameOpen = path;
  c.ReadCertFile();
  const double peak = certbench::ProcessMemory().Peak;
  const double fileMb = cert::DefaultFileSystem().Info(path).Size / 1e6;
  std::printf("records %d, file %.1f MB, peak memory %.1f MB, limit %.1f MB\n",
              c.DetailStr().Count(), fileMb, peak, fileMb * 1.3 + 50);
  return 0;
}
