#include "CsvCheck.h"

#include "CertFormat.h"
#include "CertRules.h"
#include "CertScan.h"

namespace certcsv {

// As Verify decides: a record's facts give its outcome, so no line is parsed.
std::vector<TRecordFinding> CheckRecords(const cert::TCertFormat& cert) {
  std::vector<TRecordFinding> findings;
  const cert::TFacts header = cert::HeaderFacts(cert.HeaderRec);
  cert::TRuleMemo memo;
  cert::TLineScan scan;
  const cert::TStringList& list = cert.DetailStr();
  for (int i = 0; i < list.Count(); ++i) {
    const cert::TCheckResult r = memo.First(header | cert::ListLineDetailFacts(list[i], scan));
    if (r.Field < 0) continue;
    const bool failsHeader = r.Field < cert::HeaderFieldCount;
    findings.push_back({failsHeader ? 0 : i + 1, r.Field, *r.Message});
    if (failsHeader) break;
  }
  return findings;
}

int FailingRecords(const std::vector<TRecordFinding>& findings, int records) {
  if (!findings.empty() && findings.front().Record == 0) return records;
  return static_cast<int>(findings.size());
}

}  // namespace certcsv
