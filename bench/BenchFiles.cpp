#include "BenchFiles.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include "CertFormat.h"

namespace certbench {

std::string PassingFile(long records) {
  const char* dir = std::getenv("CERT_BENCH_DIR");
  const std::string path = std::string(dir ? dir : "/tmp") + "/certbench-" +
                           std::to_string(records) + ".dat";
  if (std::filesystem::exists(path)) return path;
  cert::THeaderRec h;
  h.HInsurerName = "Bench Mutual";
  h.HInsurerAddr1 = "1 Main St";
  h.HInsurerCity = "Madison";
  h.HInsurerState = "WI";
  h.HInsurerZip = "53703";
  h.HInsurerNAIC_Num = "12345";
  h.HInsurerFIN = "391234567";
  h.HInsurerType = "1";
  cert::TDetailRec d;
  d.DPolicyFromDate = "20260101";
  d.DPolicyToDate = "20261231";
  d.DPolicyRetroDate = "20200101";
  d.DPolicyCoverageType = "1";
  d.DPolicyOccurrenceLimit = "1000000";
  d.DPolicyAggregateLimit = "3000000";
  d.DInsuredLicenseNum = "12345";
  d.DInsuredFirstName = "Anna";
  d.DInsuredAddress = "1 Elm St";
  d.DInsuredCity = "Milwaukee";
  d.DInsuredState = "WI";
  d.DInsuredZip = "53202";
  d.DInsuredFIN = "123456789";
  d.DInsuredISO = "80263";
  d.DInsuredProvType = "01";
  d.DLimitedCovInd = "N";
  d.DRecordProcessingType = "1";
  const std::string tmp = path + ".part";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot create " + tmp);
  std::string line = cert::BuildHeaderLine(h, "20261210") + "\r\n";
  std::fwrite(line.data(), 1, line.size(), f);
  for (long i = 0; i < records; ++i) {
    d.DPolicyNum = "P" + std::to_string(i);
    d.DInsuredLastName = "Name" + std::to_string(i % 9973);
    cert::BuildDetailLine(d, "2", line);
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), f);
  }
  std::fclose(f);
  std::filesystem::rename(tmp, path);
  return path;
}

}  // namespace certbench
