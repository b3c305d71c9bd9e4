// Records that pass every rule, for tests to mutate.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CertFormat.h"
#include "FileBytes.h"

namespace certtest {

inline void FillPassingHeader(cert::THeaderRec& h) {
  h.RecordCode = "1";
  h.HInsurerName = "Acme Mutual Insurance";
  h.HInsurerAddr1 = "100 Main St";
  h.HInsurerAddr2 = "";
  h.HInsurerCity = "Madison";
  h.HInsurerState = "WI";
  h.HInsurerZip = "53703";
  h.HInsurerNAIC_Num = "12345";
  h.HInsurerFIN = "391234567";
  h.HInsurerType = "1";
}

inline void FillPassingDetail(cert::TDetailRec& d, const std::string& last = "Smith") {
  d.Clear();
  d.RecordCode = "2";
  d.DPolicyNum = "POL-1";
  d.DPolicyFormNum = "F1";
  d.DPolicyFromDate = "20260101";
  d.DPolicyToDate = "20261231";
  d.DPolicyRetroDate = "20200101";
  d.DPolicyCoverageType = "1";
  d.DPolicyOccurrenceLimit = "1000000";
  d.DPolicyAggregateLimit = "3000000";
  d.DInsuredLicenseNum = "12345";
  d.DInsuredLastName = last;
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
}

inline std::string PassingDetailLine(const std::string& last = "Smith") {
  cert::TDetailRec d;
  FillPassingDetail(d, last);
  return cert::BuildDetailLine(d, "2");
}

// The passing header, changed by `mutate`, as a line dated `written`.
inline std::string PassingHeaderLine(
    const std::string& written, const std::function<void(cert::THeaderRec&)>& mutate = nullptr) {
  cert::THeaderRec h;
  FillPassingHeader(h);
  if (mutate) mutate(h);
  return cert::BuildHeaderLine(h, written);
}

// A file's bytes: the header line, then each detail line, each ended by CR LF.
inline std::string FileOfLines(const std::string& header, const std::vector<std::string>& lines) {
  std::string bytes = header + "\r\n";
  for (const std::string& l : lines) bytes += l + "\r\n";
  return bytes;
}

}  // namespace certtest
