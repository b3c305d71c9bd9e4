// Certificate files of passing records, built once per size for the benchmarks.
#pragma once

#include <string>

namespace cert {
class TCertFormat;
}

namespace certbench {

// Path of a file with a passing header and `records` passing detail lines (made on first use).
std::string PassingFile(long records);
// As PassingFile, but every 7th record lacks its city (fails) and every 100th repeats the
// provider key of the record 50 before it (a possible duplicate).
std::string MixedFile(long records);
// Where the benchmarks' files go: $CERT_BENCH_DIR, or /tmp.
std::string BenchDir();
// Reads PassingFile(records) into the workspace.
void LoadPassing(cert::TCertFormat& c, long records);

// Resident and peak resident memory of this process, in MB, after handing freed heap back.
struct TMemory {
  double Resident;
  double Peak;
};
TMemory ProcessMemory();

}  // namespace certbench
