#include "CsvCheck.h"

#include "CertFormat.h"

namespace certcsv {

std::vector<TRecordFinding> CheckRecords(cert::TCertFormat& cert) {
  std::vector<TRecordFinding> findings;
  const cert::TStringList& list = cert.DetailStr();
  for (int i = 0; i < list.Count(); ++i) {
    cert::ParseDetailLine(list[i], cert.DetailRec);
    const int field = cert.CheckForErrors();
    if (field < 0) continue;
    const bool header = field < cert::HeaderFieldCount;
    findings.push_back({header ? 0 : i + 1, field, cert.Binding(field).ErrorMsg});
    if (header) break;
  }
  return findings;
}

int FailingRecords(const std::vector<TRecordFinding>& findings, int records) {
  if (!findings.empty() && findings.front().Record == 0) return records;
  return static_cast<int>(findings.size());
}

}  // namespace certcsv
