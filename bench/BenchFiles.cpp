#include "BenchFiles.h"

#include <malloc.h>

#include <cstdlib>
#include <sstream>

#include "../tests/support/CertSamples.h"
#include "CertFormat.h"
#include "ReplacingWriter.h"

namespace certbench {

namespace {

// Writes the file once: a passing header, then `records` detail lines from `fill`.
template <typename Fill>
std::string MakeFile(const std::string& kind, long records, Fill fill) {
  const std::string path = BenchDir() + "/certbench-" + kind + std::to_string(records) + ".dat";
  cert::TFileSystem& fs = cert::DefaultFileSystem();
  if (fs.Info(path).Kind != cert::fkMissing) return path;
  cert::THeaderRec h;
  certtest::FillPassingHeader(h);
  cert::TDetailRec d;
  certtest::FillPassingDetail(d);
  // A run stopped half way leaves no half file behind to be taken for a whole one.
  cert::TReplacingWriter out(fs, path);
  std::string line = cert::BuildHeaderLine(h, "20261210") + "\r\n";
  out.Write(line);
  for (long i = 0; i < records; ++i) {
    fill(i, d);
    cert::BuildDetailLine(d, "2", line);
    line += "\r\n";
    out.Write(line);
  }
  out.Commit();
  return path;
}

}  // namespace

std::string BenchDir() {
  const char* dir = std::getenv("CERT_BENCH_DIR");
  return dir ? dir : "/tmp";
}

void LoadPassing(cert::TCertFormat& c, long records) {
  c.FileNameOpen = PassingFile(records);
  c.ReadCertFile();
}

std::string PassingFile(long records) {
  return MakeFile("", records, [](long i, cert::TDetailRec& d) {
    d.DPolicyNum = "P" + std::to_string(i);
    d.DInsuredLastName = "Name" + std::to_string(i % 9973);
  });
}

std::string MixedFile(long records) {
  return MakeFile("mixed-", records, [](long i, cert::TDetailRec& d) {
    const long key = i % 100 == 99 ? i - 50 : i;
    d.DPolicyNum = "P" + std::to_string(key);
    d.DInsuredLicenseNum = "L" + std::to_string(key % 1000000);
    d.DInsuredLastName = "Name" + std::to_string(i % 9973);
    d.DInsuredCity = i % 7 == 3 ? "" : "Milwaukee";
  });
}

TMemory ProcessMemory() {
  malloc_trim(0);
  std::istringstream status(cert::ReadWholeFile(cert::DefaultFileSystem(), "/proc/self/status"));
  long rss = 0, peak = 0;
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) rss = std::atol(line.c_str() + 6);
    if (line.rfind("VmHWM:", 0) == 0) peak = std::atol(line.c_str() + 6);
  }
  return {rss * 1024 / 1e6, peak * 1024 / 1e6};
}

}  // namespace certbench
