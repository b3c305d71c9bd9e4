// The stream check against the workspace, record by record: what certcheck finds while it reads
// a file must be what the workspace's CheckForErrors, ListFailingRules, CheckAllForErrors and
// FindDuplicateProviders find in the list ReadCertFile builds; the fast path must agree with
// the full check; and certcheck must print what it printed when it read the whole list first.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <set>

#include "../support/CertSamples.h"
#include "../support/RunShell.h"
#include "../support/TempDir.h"
#include "CertDuplicates.h"
#include "CertReader.h"
#include "CertRules.h"
#include "CertScan.h"
#include "CertStream.h"

using namespace cert;
using namespace certtest;

namespace {

struct TFound {
  int Record;  // -1: the header
  int Field;
  std::string Message;
  bool operator==(const TFound& o) const {
    return Record == o.Record && Field == o.Field && Message == o.Message;
  }
};

void PrintTo(const TFound& f, std::ostream* os) {
  *os << "record " << f.Record << " field " << f.Field << " " << f.Message;
}

// What the workspace finds in a file: the list as ReadCertFile builds it, each record checked
// as certcheck checked it before it streamed.
struct TReference {
  std::vector<std::string> Messages;
  bool BlankLines = false;
  int Records = 0;
  std::vector<TFound> First;  // the first failure of each failing record, or of the header
  std::vector<TFound> All;    // every failing rule of the header, then of each record
  std::vector<std::pair<int, int>> Duplicates;
  std::vector<std::string> List;
};

TReference Reference(const std::string& path) {
  TReference ref;
  TCertFormat c;
  c.OnFileError = [&](TObject*, const std::string& m) { ref.Messages.push_back(m); };
  c.FileNameOpen = path;
  c.ReadCertFile();
  ref.BlankLines = c.BlankLineEncounter;
  ref.Records = c.DetailStr().Count();
  ref.List = c.DetailStr().Items();
  c.OnDuplicateProvider = [&](TObject*, int first, int later) {
    ref.Duplicates.emplace_back(later, first);
  };
  c.FindDuplicateProviders();
  for (int i = 0; i < ref.Records; ++i) {
    ParseDetailLine(c.DetailStr()[i], c.DetailRec);
    const int field = c.CheckForErrors();
    if (field < 0) continue;
    const bool header = field < HeaderFieldCount;
    ref.First.push_back({header ? -1 : i, field, c.Binding(field).ErrorMsg});
    if (header) break;
  }
  std::vector<TCheckResult> failed;
  ListFailingRules(c.HeaderRec, c.DetailRec, failed, rsHeader);
  for (const TCheckResult& r : failed) ref.All.push_back({-1, r.Field, *r.Message});
  for (int i = 0; i < ref.Records; ++i) {
    ParseDetailLine(c.DetailStr()[i], c.DetailRec);
    ListFailingRules(c.HeaderRec, c.DetailRec, failed, rsDetail);
    for (const TCheckResult& r : failed) ref.All.push_back({i, r.Field, *r.Message});
  }

  // The whole-file check stops where the first record check fails.
  c.SetDetailIndex(0);
  int eventField = -2;
  std::string eventMessage;
  c.OnCertCheckAllForErrors = [&](TObject*, int index, const std::string& msg, bool) {
    eventField = index;
    eventMessage = msg;
  };
  const bool passed = c.CheckAllForErrors();
  if (ref.Records == 0) {
    EXPECT_FALSE(passed);
    EXPECT_EQ(eventField, -2);
  } else if (ref.First.empty()) {
    EXPECT_TRUE(passed);
    EXPECT_EQ(eventField, -1);
  } else {
    EXPECT_FALSE(passed);
    EXPECT_EQ(c.DetailIndex(), std::max(ref.First[0].Record, 0));
    EXPECT_EQ(eventField, ref.First[0].Field);
    EXPECT_EQ(eventMessage, ref.First[0].Message);
  }
  return ref;
}

std::vector<TFound> StreamFindings(const TStreamCheck& s) {
  std::vector<TFound> found;
  s.ForEachFinding([&](const TStreamFinding& f) {
    found.push_back({f.Record, f.Result.Field, *f.Result.Message});
  });
  return found;
}

int FailingRecords(const std::vector<TFound>& found, int records) {
  if (!found.empty() && found[0].Record < 0) return records;
  std::set<int> failing;
  for (const TFound& f : found) failing.insert(f.Record);
  return static_cast<int>(failing.size());
}

// ---- Inputs ------------------------------------------------------------------------------------

using TMutation = std::function<void(TDetailRec&)>;

// A record for every way a detail record can fail, and some that only nearly do.
const std::vector<TMutation>& DetailCases() {
  static const std::vector<TMutation> cases = {
      [](TDetailRec&) {},
      [](TDetailRec& d) { d.DInsuredCompanyName = "Clinic"; },
      [](TDetailRec& d) {
        d.DInsuredCompanyName = "Clinic";
        d.DInsuredLastName = d.DInsuredFirstName = "";
        d.DInsuredAttnLine = "Attn";
      },
      [](TDetailRec& d) { d.DInsuredLastName = ""; },
      [](TDetailRec& d) { d.DInsuredFirstName = ""; },
      [](TDetailRec& d) { d.DInsuredSuffix = " md"; },
      [](TDetailRec& d) { d.DInsuredSuffix = "Mo"; },
      [](TDetailRec& d) { d.DInsuredSuffix = "MDS"; },
      [](TDetailRec& d) { d.DInsuredAddress = ""; },
      [](TDetailRec& d) { d.DInsuredCity = ""; },
      [](TDetailRec& d) { d.DInsuredState = ""; },
      [](TDetailRec& d) { d.DInsuredZip = ""; },
      [](TDetailRec& d) { d.DInsuredISO = ""; },
      [](TDetailRec& d) { d.DInsuredProvType = ""; },
      [](TDetailRec& d) { d.DInsuredProvType = "7"; },
      [](TDetailRec& d) { d.DInsuredLicenseNum = ""; },
      [](TDetailRec& d) {
        d.DInsuredLicenseNum = "";
        d.DInsuredCompanyName = "Clinic";
        d.DInsuredLastName = d.DInsuredFirstName = "";
      },
      [](TDetailRec& d) { d.DInsuredFIN = "12-345678"; },
      [](TDetailRec& d) { d.DPolicyFromDate = ""; },
      [](TDetailRec& d) { d.DPolicyToDate = ""; },
      [](TDetailRec& d) { d.DPolicyToDate = "20251231"; },
      [](TDetailRec& d) { d.DPolicyToDate = "20270102"; },
      [](TDetailRec& d) {
        d.DPolicyFromDate = "20040229";
        d.DPolicyToDate = "20050228";
      },
      [](TDetailRec& d) {
        d.DPolicyFromDate = "20040229";
        d.DPolicyToDate = "20050301";
      },
      [](TDetailRec& d) { d.DPolicyFromDate = "20261301"; },
      [](TDetailRec& d) { d.DPolicyToDate = "2026x231"; },
      [](TDetailRec& d) { d.DPolicyFromDate = " 2026010"; },
      [](TDetailRec& d) { d.DPolicyFromDate = "2026 101"; },
      [](TDetailRec& d) {
        d.DPolicyFromDate = "99990101";
        d.DPolicyToDate = "99991231";
      },
      [](TDetailRec& d) {
        d.DPolicyRevisedDate = "20260301";
        d.DPolicyTerminatedDate = "20260401";
      },
      [](TDetailRec& d) { d.DPolicyRevisedDate = "20260301"; },
      [](TDetailRec& d) { d.DPolicyTerminatedDate = "20260401"; },
      [](TDetailRec& d) {
        d.DRecordProcessingType = "2";
        d.DPolicyRevisedDate = "20260301";
      },
      [](TDetailRec& d) { d.DRecordProcessingType = "2"; },
      [](TDetailRec& d) {
        d.DRecordProcessingType = "3";
        d.DPolicyTerminatedDate = "20260401";
      },
      [](TDetailRec& d) { d.DRecordProcessingType = "3"; },
      [](TDetailRec& d) {
        d.DRecordProcessingType = "3";
        d.DPolicyRevisedDate = "20260301";
      },
      [](TDetailRec& d) { d.DRecordProcessingType = "4"; },
      [](TDetailRec& d) { d.DRecordProcessingType = ""; },
      [](TDetailRec& d) { d.DPolicyRetroDate = ""; },
      [](TDetailRec& d) { d.DPolicyCoverageType = "2"; },
      [](TDetailRec& d) {
        d.DPolicyCoverageType = "2";
        d.DPolicyRetroDate = "";
      },
      [](TDetailRec& d) { d.DPolicyCoverageType = "3"; },
      [](TDetailRec& d) { d.DPolicyCoverageType = ""; },
      [](TDetailRec& d) { d.DPolicyNum = ""; },
      [](TDetailRec& d) {
        d.DPolicyNum = "";
        d.DInsuredCompanyName = "Clinic";
        d.DInsuredLastName = d.DInsuredFirstName = "";
      },
      [](TDetailRec& d) { d.DPolicyOccurrenceLimit = ""; },
      [](TDetailRec& d) { d.DPolicyAggregateLimit = ""; },
      [](TDetailRec& d) {  // many at once
        d.DInsuredCity = d.DInsuredZip = d.DPolicyAggregateLimit = "";
        d.DInsuredFIN = "1-2";
        d.DRecordProcessingType = "2";
      },
  };
  return cases;
}

std::string Header(void (*mutate)(THeaderRec&) = nullptr) {
  return PassingHeaderLine("20261210", mutate) + "\r\n";
}

std::string Detail(long key, const TMutation& mutate) {
  TDetailRec d;
  FillPassingDetail(d);
  d.DPolicyNum = "P" + std::to_string(key);
  mutate(d);
  return BuildDetailLine(d, "2");
}

// Every case once, then lines the reader has to mend or drop.
std::string EveryFailure() {
  std::string text = Header();
  long key = 0;
  for (const TMutation& m : DetailCases()) text += Detail(++key, m) + "\r\n";
  std::string loose = Detail(++key, DetailCases()[0]);
  loose.replace(89, 9, "1000000  ");  // a right-justified field written left-justified
  loose.replace(159, 25, "  Lee" + std::string(20, ' '));
  loose.replace(277, 1, "\t");
  text += loose + "\n";
  text += Detail(++key, DetailCases()[0]).substr(0, 120) + "\r\n";  // stops before the city
  text += Detail(++key, DetailCases()[0]) + std::string(20, ' ') + "TOO LONG\r\n";
  text += "\r\n   \r\nX" + Detail(++key, DetailCases()[0]).substr(1) + "\r\n";
  text += "1" + Detail(++key, DetailCases()[0]).substr(1) + "\r\r\n";
  text += Detail(++key, DetailCases()[0]).substr(0, 335);  // no line break at the end
  return text;
}

// Enough records for many blocks, with failures and possible duplicates throughout and one line
// longer than a block.
std::string ManyBlocks() {
  std::string text = Header();
  const auto& cases = DetailCases();
  for (long i = 0; i < 12000; ++i) {
    const long key = i % 97 == 96 ? i - 40 : i;
    text += Detail(key, cases[static_cast<std::size_t>(i % 7 == 3 ? i % cases.size() : 0)]);
    if (i == 5000) text += std::string(2500000, i % 2 ? ' ' : 'z');
    text += i % 1000 == 999 ? "\r\n\r\n" : "\r\n";
  }
  return text;
}

struct TInput {
  std::string Name;
  std::function<std::string()> Bytes;  // unset: Name is a file of the source tree
};

void PrintTo(const TInput& in, std::ostream* os) { *os << in.Name; }

std::string SourceFile(const std::string& name) {
  return std::string(CERT_SOURCE_DIR) + "/" + name;
}

std::vector<TInput> Inputs() {
  std::vector<TInput> inputs = {
      {"samples/passing.dat", nullptr},
      {"samples/failing.dat", nullptr},
      {"samples/blank-lines.dat", nullptr},
      {"every_failure", EveryFailure},
      {"many_blocks", ManyBlocks},
      {"no_records", [] { return Header(); }},
      {"insurer_name_missing",
       [] {
         return Header([](THeaderRec& h) { h.HInsurerName = ""; }) + Detail(1, DetailCases()[9]) +
                "\r\n" + Detail(1, DetailCases()[0]) + "\r\n";
       }},
      {"header_fails_everything",
       [] {
         return Header([](THeaderRec& h) {
                  h.HInsurerAddr1 = h.HInsurerZip = h.HInsurerNAIC_Num = "";
                  h.HInsurerFIN = "39-12";
                }) +
                Detail(1, DetailCases()[11]) + "\r\n";
       }},
      {"insurer_type_missing",
       [] {
         return Header([](THeaderRec& h) {
                  h.HInsurerType = "";
                  h.HInsurerNAIC_Num = "";
                }) +
                Detail(1, DetailCases()[0]) + "\r\n";
       }},
      {"header_alone_fails", [] { return Header([](THeaderRec& h) { h.HInsurerCity = ""; }); }},
  };
  for (const char* name : {"blank-lines", "cr-only", "empty", "failing", "long-line", "no-header",
                           "nul-and-codes", "passing", "provider-type", "second-header"})
    inputs.push_back({std::string("workspace/fuzz/corpus/") + name, nullptr});
  return inputs;
}

class StreamAgreesWithWorkspace : public ::testing::TestWithParam<TInput> {
 protected:
  void SetUp() override {
    const TInput& in = GetParam();
    if (in.Bytes) {
      Path = Dir.File("input.dat");
      WriteAll(Path, in.Bytes());
    } else {
      Path = SourceFile(in.Name);
    }
    Ref = Reference(Path);
  }
  void FactsAgree();
  TTempDir Dir;
  std::string Path;
  TReference Ref;
};

TEST_P(StreamAgreesWithWorkspace, RecordByRecord) {
  for (const bool all : {false, true})
    for (const bool fast : {true, false})
      for (const int threads : {1, 2}) {
        SCOPED_TRACE(std::string(all ? "all rules" : "first rule") + (fast ? ", fast" : ", full") +
                     ", threads " + std::to_string(threads));
        TStreamOptions options;
        options.AllRules = all;
        options.FastPath = fast;
        options.Threads = threads;
        TStreamCheck s(DefaultFileSystem(), Path, options);
        ASSERT_TRUE(s.Run());
        EXPECT_EQ(s.Messages(), Ref.Messages);
        EXPECT_EQ(s.BlankLines(), Ref.BlankLines);
        EXPECT_EQ(s.Records(), Ref.Records);
        const std::vector<TFound> found = StreamFindings(s);
        EXPECT_EQ(found, all ? Ref.All : Ref.First);
        EXPECT_EQ(s.Found(), !found.empty());
        EXPECT_EQ(s.Failing(), FailingRecords(found, Ref.Records));
        std::vector<std::pair<int, int>> dups;
        s.ForEachDuplicate([&](const TStreamDuplicate& d) { dups.emplace_back(d.Record, d.Of); });
        EXPECT_EQ(dups, Ref.Duplicates);
        EXPECT_EQ(s.Duplicates(), static_cast<int>(Ref.Duplicates.size()));
      }
}

// The facts the fast path takes from a line's scan are the facts of its record view, for the
// lines as read and for the list's lines; and the remembered outcome of facts is the rules'.
TEST_P(StreamAgreesWithWorkspace, FastPathFactsAreTheFullChecksFacts) {
  for (const int width : {16, 0}) {
    SCOPED_TRACE("loads of " + std::to_string(TLineScan::UseLoads(width)) + " bytes");
    FactsAgree();
  }
  TLineScan::UseLoads(0);
}

void StreamAgreesWithWorkspace::FactsAgree() {
  std::vector<std::string> lines;
  TCertReader reader(Path, nullptr, [&](std::string_view line) { lines.emplace_back(line); });
  reader.Feed(ReadWholeFile(DefaultFileSystem(), Path));
  reader.Finish();
  ASSERT_EQ(lines.size(), Ref.List.size());
  TLineScan scan;
  TRecordView view;
  TRuleMemo memo(rsDetail);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE("record " + std::to_string(i));
    ViewFileLine(lines[i], view);
    const TFacts facts = DetailFacts(view);
    if (scan.Scan(lines[i])) {
      EXPECT_EQ(LineDetailFacts(lines[i], scan), facts);
      std::string_view key[4];
      for (int k = 0; k < 4; ++k) {
        key[k] = scan.Trimmed(lines[i], ProviderKeyFields[k]);
        EXPECT_EQ(key[k], view[ProviderKeyFields[k]]);
      }
      TDetailRec parsed;
      ParseDetailLine(Ref.List[i], parsed);
      EXPECT_EQ(ProviderKeyHash(key, lines[i].data() + lines[i].size()), ProviderKeyHash(parsed));
      EXPECT_EQ(LineProviderKeyHash(lines[i]), ProviderKeyHash(parsed));
    }
    ASSERT_TRUE(scan.Scan(Ref.List[i]));
    EXPECT_EQ(LineDetailFacts(Ref.List[i], scan), facts);
    TDetailRec rec;
    ParseDetailLine(Ref.List[i], rec);
    ViewDetail(rec, view);
    EXPECT_EQ(DetailFacts(view), facts);
    EXPECT_EQ(ResultCode(memo.First(facts)), ResultCode(CheckRecordRules(facts, rsDetail)));
  }
}

// certcheck with the arguments, its standard output and error together.
TShellRun RunCertcheck(const std::string& args) {
  return RunShell(ShellWord(CERTCHECK_PATH) + " " + args + " 2>&1");
}

// certcheck's lines as they were when it checked the list ReadCertFile built.
std::string ExpectedText(const std::string& file, const TReference& ref, bool all) {
  const std::string p = file + ": ";
  std::string out;
  for (const std::string& m : ref.Messages) out += p + m + "\n";
  if (ref.BlankLines)
    out += p +
           "blank lines or lines without a record code were dropped while reading; saving the "
           "file in the window removes them (the fund rejects files with blank lines)\n";
  std::vector<TFound> found = all ? ref.All : ref.First;
  if (!all && !found.empty() && found[0].Record < 0 && ref.Records == 0) found.clear();
  for (const TFound& f : found)
    out += p + (f.Record < 0 ? std::string("header") : "record " + std::to_string(f.Record + 1)) +
           ": field " + std::to_string(f.Field) + " " + FieldTable[f.Field].Property + ": " +
           f.Message + "\n";
  for (const auto& d : ref.Duplicates)
    out += p + "record " + std::to_string(d.first + 1) + ": possible duplicate of record " +
           std::to_string(d.second + 1) + "\n";
  const std::size_t n = ref.Duplicates.size();
  out += p + std::to_string(ref.Records) + " records, " +
         std::to_string(FailingRecords(found, ref.Records)) + " failing" +
         (n == 0   ? std::string()
          : n == 1 ? ", 1 possible duplicate"
                   : ", " + std::to_string(n) + " possible duplicates") +
         "\n";
  return out;
}

TEST_P(StreamAgreesWithWorkspace, CertcheckPrintsWhatItPrintedFromTheList) {
  for (const bool all : {false, true}) {
    const TShellRun r = RunCertcheck(std::string(all ? "--all-rules " : "") + ShellWord(Path));
    EXPECT_EQ(r.Out, ExpectedText(Path, Ref, all)) << (all ? "--all-rules" : "");
    std::vector<TFound> found = all ? Ref.All : Ref.First;
    if (!all && Ref.Records == 0) found.clear();
    const bool clean = Ref.Messages.empty() && !Ref.BlankLines && found.empty();
    EXPECT_EQ(r.Status, clean ? 0 : 1);
    EXPECT_EQ(
        RunCertcheck("--strict " + std::string(all ? "--all-rules " : "") + ShellWord(Path)).Status,
        clean && Ref.Duplicates.empty() ? 0 : 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Inputs, StreamAgreesWithWorkspace, ::testing::ValuesIn(Inputs()),
                         [](const ::testing::TestParamInfo<TInput>& info) {
                           std::string name = info.param.Name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
