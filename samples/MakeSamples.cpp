// Writes the sample certificate files of samples/ (run: certsamples DIRECTORY).
#include <cstdio>
#include <string>

#include "CertLayout.h"
#include "ReplacingWriter.h"

namespace {

cert::THeaderRec Header() {
  cert::THeaderRec h;
  h.HInsurerName = "Lakeshore Mutual Insurance Company";
  h.HInsurerAddr1 = "2200 Harbor Drive";
  h.HInsurerAddr2 = "Suite 400";
  h.HInsurerCity = "Madison";
  h.HInsurerState = "WI";
  h.HInsurerZip = "53703-1234";
  h.HInsurerNAIC_Num = "40512";
  h.HInsurerFIN = "391234567";
  h.HInsurerType = "1";
  return h;
}

cert::TDetailRec Provider(const char* last, const char* first, const char* license,
                          const char* policy, const char* provType) {
  cert::TDetailRec d;
  d.DPolicyNum = policy;
  d.DPolicyFormNum = "LM-100";
  d.DPolicyFromDate = "20260101";
  d.DPolicyToDate = "20261231";
  d.DPolicyRetroDate = "20180701";
  d.DPolicyCoverageType = "1";
  d.DPolicyOccurrenceLimit = "1000000";
  d.DPolicyAggregateLimit = "3000000";
  d.DInsuredLicenseNum = license;
  d.DInsuredLastName = last;
  d.DInsuredFirstName = first;
  d.DInsuredAddress = "800 University Bay Dr";
  d.DInsuredCity = "Madison";
  d.DInsuredState = "WI";
  d.DInsuredZip = "53705";
  d.DInsuredFIN = "";
  d.DInsuredISO = "80263";
  d.DInsuredProvType = provType;
  d.DLimitedCovInd = "N";
  d.DRecordProcessingType = "1";
  return d;
}

cert::TDetailRec Clinic() {
  cert::TDetailRec d = Provider("", "", "", "LM-2026-0103", "17");
  d.DInsuredCompanyName = "Westside Ambulatory Surgery Center";
  d.DInsuredAttnLine = "Attn: Risk Management";
  d.DInsuredFIN = "391112222";
  d.DPolicyCoverageType = "2";
  d.DPolicyRetroDate = "";
  return d;
}

void Write(const std::string& path, const std::string& text) {
  cert::TReplacingWriter out(cert::DefaultFileSystem(), path);
  out.Write(text);
  out.Commit();
  std::printf("wrote %s\n", path.c_str());
}

std::string Line(const cert::TDetailRec& d) { return cert::BuildDetailLine(d, "2") + "\r\n"; }

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = argc > 1 ? argv[1] : ".";
  const std::string header = cert::BuildHeaderLine(Header(), "20261201") + "\r\n";
  const cert::TDetailRec a = Provider("Okafor", "Grace", "20455", "LM-2026-0101", "01");
  const cert::TDetailRec b = Provider("Lindqvist", "Per", "31877", "LM-2026-0102", "09");
  const cert::TDetailRec c = Clinic();

  Write(dir + "/passing.dat", header + Line(a) + Line(b) + Line(c));

  // Blank lines, a line running past the layout, and a one-digit provider type.
  std::string longLine = cert::BuildDetailLine(b, "2") + std::string(16, ' ') + "OVERFLOW";
  std::string oneDigit = cert::BuildDetailLine(a, "2");
  oneDigit.replace(331, 2, "1 ");
  Write(dir + "/blank-lines.dat",
        header + Line(a) + "\r\n" + longLine + "\r\n" + "   \r\n" + oneDigit + "\r\n" + Line(c));

  // Records that fail the fund's rules: a missing city, a span of more than a year, a
  // company name together with a last name.
  cert::TDetailRec noCity = b;
  noCity.DInsuredCity = "";
  cert::TDetailRec tooLong = a;
  tooLong.DPolicyToDate = "20270215";
  cert::TDetailRec both = c;
  both.DInsuredLastName = "Nguyen";
  Write(dir + "/failing.dat", header + Line(a) + Line(noCity) + Line(tooLong) + Line(both));
  return 0;
}
