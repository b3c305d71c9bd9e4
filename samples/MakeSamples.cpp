// Writes the sample certificate files of samples/ (run: certsamples DIRECTORY), or a generated
// file of many records (run: certsamples --records N FILE).
#include <cstdio>
#include <cstdlib>
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
  cert::ReplaceWholeFile(cert::DefaultFileSystem(), path, text);
  std::printf("wrote %s\n", path.c_str());
}

std::string Line(const cert::TDetailRec& d) { return cert::BuildDetailLine(d, "2") + "\r\n"; }

const char* const kLastNames[] = {"Okafor",   "Lindqvist", "Nguyen", "Garcia",   "Schmidt",
                                  "Kowalski", "Haddad",    "Ito",    "Brennan",  "Moreau",
                                  "Osei",     "Petrov",    "Silva",  "Johansen", "Reyes"};
const char* const kFirstNames[] = {"Grace", "Per",  "Linh",   "Maria", "Jonas", "Anna", "Omar",
                                   "Yuki",  "Sean", "Claire", "Kwame", "Irina", "Tomas"};
const char* const kCities[] = {"Madison",   "Milwaukee", "Green Bay", "Eau Claire",
                               "La Crosse", "Wausau",    "Kenosha",   "Appleton"};
const char* const kProvTypes[] = {"01", "02", "05", "09", "11", "17", "22"};

template <std::size_t N>
const char* Pick(const char* const (&list)[N], long i) {
  return list[static_cast<std::size_t>(i) % N];
}

// Record i of a generated file: a provider or now and then a clinic, each with a license and
// policy number of its own, over a few policy years. Every 250th record fails a rule, a
// different one each time.
cert::TDetailRec Generated(long i) {
  const std::string n = std::to_string(100000 + i);
  cert::TDetailRec d = Provider(Pick(kLastNames, i * 7 + i / 13), Pick(kFirstNames, i * 5 + i / 11),
                                ("L" + n).c_str(), ("LM-" + n).c_str(), Pick(kProvTypes, i));
  const int year = 2023 + static_cast<int>(i % 4);
  const std::string month = i % 3 == 0 ? "01" : i % 3 == 1 ? "04" : "07";
  d.DPolicyFromDate = std::to_string(year) + month + "01";
  d.DPolicyToDate = std::to_string(year + 1) + month + "01";
  d.DInsuredCity = Pick(kCities, i / 3);
  d.DInsuredZip = std::to_string(53000 + i % 900);
  d.DInsuredAddress = std::to_string(100 + i % 4900) + " Lake St";
  if (i % 10 == 4) {
    d = Clinic();
    d.DPolicyNum = "LM-" + n;
    d.DInsuredLicenseNum = "L" + n;
  }
  if (i % 250 == 249) {
    switch (i / 250 % 5) {
      case 0:
        d.DInsuredCity = "";
        break;
      case 1:
        d.DPolicyToDate = std::to_string(year + 2) + month + "01";
        break;
      case 2:
        d.DInsuredZip = "";
        break;
      case 3:
        d.DRecordProcessingType = "3";
        break;
      default:
        d.DPolicyOccurrenceLimit = "";
        break;
    }
  }
  return d;
}

int WriteGenerated(long records, const std::string& path) {
  cert::TReplacingWriter out(cert::DefaultFileSystem(), path);
  out.Write(cert::BuildHeaderLine(Header(), "20261201") + "\r\n");
  std::string line;
  for (long i = 0; i < records; ++i) {
    cert::BuildDetailLine(Generated(i), "2", line);
    line += "\r\n";
    out.Write(line);
  }
  out.Commit();
  std::printf("wrote %s: %ld records\n", path.c_str(), records);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--records") {
    if (argc != 4 || std::atol(argv[2]) < 0) {
      std::fputs("usage: certsamples --records N FILE\n", stderr);
      return 2;
    }
    return WriteGenerated(std::atol(argv[2]), argv[3]);
  }
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
