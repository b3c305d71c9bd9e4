#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "../support/CertSamples.h"
#include "../support/RunShell.h"
#include "../support/TempDir.h"

using namespace cert;
using namespace certtest;

namespace {

struct TRun {
  int Status;
  std::string Out, Err;
};

class Certcsv : public ::testing::Test {
 protected:
  TRun Run(const std::string& args) {
    const std::string out = Dir.File("stdout"), err = Dir.File("stderr");
    const int st = RunToFiles(ShellWord(CERTCSV_PATH) + " " + args, out, err);
    return {st, ReadAll(out), ReadAll(err)};
  }
  std::string Make(const std::string& name, const std::string& bytes) {
    WriteAll(Dir.File(name), bytes);
    return Dir.File(name);
  }
  std::string DatFile(const std::string& name, int records, bool failing = false) {
    THeaderRec h;
    FillPassingHeader(h);
    std::string bytes = BuildHeaderLine(h, "20261201") + "\r\n";
    for (int i = 0; i < records; ++i) {
      TDetailRec d;
      FillPassingDetail(d);
      if (failing && i == 1) d.DInsuredCity = "";
      bytes += BuildDetailLine(d, "2") + "\r\n";
    }
    return Make(name, bytes);
  }
  TTempDir Dir;
};

const char kColumns[] =
    "Insurer Name,Insurer Address 1,Insurer City,Insurer State,Insurer Zip,Insurer NAIC #,"
    "Insurer FIN #,Insurer Type,Policy Number,Policy Form Number,Policy From Date,"
    "Policy To Date,Policy Retroactive Date,Policy Coverage Type,Policy Occur Limit,"
    "Policy Aggr Limit,Insured Lic Num,Insured Last Name,Insured First Name,Insured Address,"
    "City,State,Zipcode,Insured FIN Num,Insured ISO Code,Insured Provider Type,"
    "Limited Cov Ind,Process Record Type\r\n";
const char kPassingRow[] =
    "Acme Mutual Insurance,100 Main St,Madison,Wisconsin,53703,12345,39-1234567,Licensed "
    "Insurer,pol-1,F1,1/1/2026,12/31/2026,1/1/20,Claims Made,\"$1,000,000\",\"$3,000,000\","
    "12345,Smith,Anna,1 Elm St,Milwaukee,WI,53202,123456789,80263,1,N,1\r\n";

TEST_F(Certcsv, ExportWritesTheCsvAndReportsOnStandardOutput) {
  const std::string dat = DatFile("in.dat", 2);
  const TRun r = Run("export " + dat + " -o " + Dir.File("out.csv"));
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, dat + ": 2 records, 0 failing\n");
  EXPECT_EQ(r.Err, "");
  const std::string csv = ReadAll(Dir.File("out.csv"));
  EXPECT_EQ(csv.substr(0, 16), "\xEF\xBB\xBFHInsurerName,");
  EXPECT_NE(csv.find("\r\nAcme Mutual Insurance,"), std::string::npos);
}

TEST_F(Certcsv, ExportToStandardOutputReportsOnStandardError) {
  const std::string dat = DatFile("in.dat", 1);
  const TRun r = Run("export --no-bom " + dat);
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out.substr(0, 13), "HInsurerName,");
  EXPECT_EQ(r.Out.substr(r.Out.size() - 2), "\r\n");
  EXPECT_EQ(r.Err, dat + ": 1 records, 0 failing\n");
  // The same bytes as in a file: no platform adds a CR before each LF.
  ASSERT_EQ(Run("export --no-bom " + dat + " -o " + Dir.File("out.csv")).Status, 0);
  EXPECT_EQ(r.Out, ReadAll(Dir.File("out.csv")));
}

TEST_F(Certcsv, ExportReportsFailingRecordsAndReadingProblems) {
  std::string bytes = ReadAll(DatFile("in.dat", 2, true));
  const std::string dat = Make("in.dat", bytes + "\r\n");
  const TRun r = Run("export " + dat + " -o " + Dir.File("out.csv"));
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, dat +
                       ": blank lines or lines without a record code were dropped while reading; "
                       "saving the file in the window removes them (the fund rejects files with "
                       "blank lines)\n" +
                       dat +
                       ": record 2: field 27 DInsuredCity: *** Insured's city is required!\n" +
                       dat + ": 2 records, 1 failing\n");
}

TEST_F(Certcsv, ImportWritesTheCertificateFile) {
  const std::string csv =
      Make("in.csv", std::string("\xEF\xBB\xBF") + kColumns + kPassingRow + kPassingRow);
  const std::string dat = Dir.File("out.dat");
  const TRun r = Run("import " + csv + " -o " + dat);
  EXPECT_EQ(r.Status, 0) << r.Out << r.Err;
  EXPECT_EQ(r.Out, dat + ": 2 records, 0 failing\n");
  const std::string file = ReadAll(dat);
  THeaderRec h;
  FillPassingHeader(h);
  TDetailRec d;
  FillPassingDetail(d);
  d.DPolicyNum = "POL-1";
  const std::string header = BuildHeaderLine(h, "########");
  ASSERT_GT(file.size(), header.size());
  EXPECT_EQ(file.substr(0, 164), header.substr(0, 164));
  EXPECT_EQ(file.substr(174), BuildDetailLine(d, "2") + "\r\n" + BuildDetailLine(d, "2") + "\r\n");
}

TEST_F(Certcsv, ImportReportsValuesLeftEmptyAndFailingRecordsButStillWrites) {
  const std::string csv = Make(
      "in.csv", std::string(kColumns) + kPassingRow +
                    "Acme Mutual Insurance,100 Main St,Madison,WI,53703,12345,391234567,1,pol-2,F1,"
                    "1/1/2026,12/31/2026,,1,1000000,3000000,12345,Smith,Anna,1 Elm St,Milwaukee,"
                    "WI,5320,123456789,80263,01,N,1,extra\r\n");
  const std::string dat = Dir.File("out.dat");
  const TRun r = Run("import " + csv + " -o " + dat);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, csv + ": warning: cells beyond the named columns are ignored: row 3\n" + csv +
                       ": row 3, column \"Zipcode\": field 29 DInsuredZip: \"5320\" is incomplete "
                       "for the field's mask \"*5{#}[-*4#]\"; left empty\n" +
                       dat +
                       ": record 2 (row 3): field 29 DInsuredZip: *** Insured's zipcode is "
                       "required!\n" +
                       dat + ": 2 records, 1 failing\n");
  EXPECT_NE(ReadAll(dat), "");
}

TEST_F(Certcsv, ImportReportsEachFindingOnOneLine) {
  const std::string csv =
      Make("in.csv", "DInsuredAddress,DInsuredLastName\r\n\"1 Main St\r\nSuite\t4\"," +
                         std::string(100, 'x') + "\r\n");
  const TRun r = Run("import " + csv + " -o " + Dir.File("out.dat"));
  EXPECT_EQ(r.Status, 1);
  const std::string first = r.Out.substr(0, r.Out.find('\n'));
  EXPECT_EQ(first, csv +
                       ": row 2, column \"DInsuredAddress\": field 26 DInsuredAddress: \"1 Main "
                       "St\\r\\nSuite\\t4\" holds a line break; left empty");
  EXPECT_NE(r.Out.find(": \"" + std::string(80, 'x') +
                       "... (100 bytes)\" is longer than the field "
                       "(25 characters); left empty\n"),
            std::string::npos);
}

TEST_F(Certcsv, ImportReplacesAnExistingFileOnlyWithForce) {
  const std::string csv = Make("in.csv", std::string(kColumns) + kPassingRow);
  const std::string dat = Make("out.dat", "old");
  TRun r = Run("import " + csv + " -o " + dat);
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(r.Out, "");
  EXPECT_EQ(r.Err, "certcsv: " + dat + " exists; --force replaces it\n");
  EXPECT_EQ(ReadAll(dat), "old");
  r = Run("import --force " + csv + " -o " + dat);
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(ReadAll(dat).substr(0, 22), "1Acme Mutual Insurance");
}

TEST_F(Certcsv, NothingWrittenExitsTwo) {
  const std::string dat = Dir.File("out.dat");
  EXPECT_EQ(Run("import " + Dir.File("none.csv") + " -o " + dat).Status, 2);
  EXPECT_EQ(Run("import " + Make("empty.csv", "") + " -o " + dat).Status, 2);
  const TRun r = Run("import " + Make("other.csv", "Name,Notes\r\nx,y\r\n") + " -o " + dat);
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(r.Err, "certcsv: " + Dir.File("other.csv") + ": no column names a certificate field\n");
  EXPECT_EQ(Run("import " + Dir.Path() + " -o " + dat).Status, 2);
  const TRun utf16 =
      Run("import " + Make("utf16.csv", std::string("\xFF\xFEN\0a\0m\0e\0", 10)) + " -o " + dat);
  EXPECT_EQ(utf16.Status, 2);
  EXPECT_NE(utf16.Err.find("UTF-16 text"), std::string::npos);
  EXPECT_EQ(ReadAll(dat), "");
  EXPECT_EQ(Run("export " + Dir.File("none.dat")).Status, 2);
  EXPECT_EQ(Run("export " + DatFile("in.dat", 1) + " -o " + Dir.File("no/such/dir.csv")).Status, 2);
  // A name the system refuses is that file's error, not an abort.
  const std::string tooLong = Dir.File(std::string(5000, 'a') + ".dat");
  const TRun refused = Run("export " + tooLong);
  EXPECT_EQ(refused.Status, 2);
  EXPECT_EQ(refused.Err.rfind("certcsv: ", 0), 0u) << refused.Err;
  EXPECT_NE(refused.Err.find(tooLong), std::string::npos);
}

#ifndef _WIN32
// A report that cannot be written must not pass for a clean run.
TEST_F(Certcsv, ReportThatCannotBeWrittenIsAnError) {
  const std::string dat = DatFile("in.dat", 1);
  for (const char* mode : {"", "--json "}) {
    const TShellRun r = RunShell(ShellWord(CERTCSV_PATH) + " export " + mode + dat + " -o " +
                                 Dir.File("out.csv") + " 2>&1 >/dev/full");
    EXPECT_EQ(r.Status, 2) << mode;
    EXPECT_EQ(r.Out,
              "certcsv: cannot write the report to standard output: No space left on device\n");
  }
}
#endif

struct TUsageCase {
  const char* Name;
  const char* Args;
};

void PrintTo(const TUsageCase& c, std::ostream* os) { *os << c.Name; }

class CertcsvUsage : public Certcsv, public ::testing::WithParamInterface<TUsageCase> {};

TEST_P(CertcsvUsage, ExitsTwoWithAHint) {
  const TRun r = Run(GetParam().Args);
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("Try 'certcsv --help'."), std::string::npos);
  EXPECT_EQ(r.Out, "");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CertcsvUsage,
    ::testing::Values(TUsageCase{"NoCommand", ""}, TUsageCase{"UnknownCommand", "convert a.csv"},
                      TUsageCase{"NoFile", "export"}, TUsageCase{"TwoFiles", "export a.dat b.dat"},
                      TUsageCase{"ImportWithoutOutput", "import a.csv"},
                      TUsageCase{"OutputWithoutName", "import a.csv -o"},
                      TUsageCase{"UnknownOption", "export a.dat --bogus"},
                      TUsageCase{"ForceOnExport", "export a.dat --force"},
                      TUsageCase{"NoBomOnImport", "import a.csv -o b.dat --no-bom"}));

TEST_F(Certcsv, HelpExplainsBothCommands) {
  const TRun r = Run("--help");
  EXPECT_EQ(r.Status, 0);
  for (const char* word : {"export", "import", "--no-bom", "--force", "--json", "Exit status"})
    EXPECT_NE(r.Out.find(word), std::string::npos) << word;
}

TEST_F(Certcsv, ImportJsonCarriesTheSameContent) {
  const std::string csv = Make(
      "in.csv", std::string("Insured Last Name;DInsuredZip;Notes\r\n") + "M\xFCller;5320;x\r\n");
  const std::string dat = Dir.File("out.dat");
  const TRun r = Run("import --json " + csv + " -o " + dat);
  EXPECT_EQ(r.Status, 1);
  const auto doc = nlohmann::json::parse(r.Out);
  EXPECT_EQ(doc["command"], "import");
  EXPECT_EQ(doc["written"], true);
  EXPECT_EQ(doc["status"], 1);
  EXPECT_EQ(doc["encoding"], "Windows-1252");
  EXPECT_EQ(doc["separator"], ";");
  EXPECT_EQ(doc["columns"][0]["field"], fnDInsuredLastName);
  EXPECT_TRUE(doc["columns"][2]["field"].is_null());
  EXPECT_EQ(doc["warnings"].size(), 1u);
  const auto& p = doc["problems"][0];
  EXPECT_EQ(p["row"], 2);
  EXPECT_EQ(p["column"], 2);
  EXPECT_EQ(p["columnName"], "DInsuredZip");
  EXPECT_EQ(p["property"], "DInsuredZip");
  EXPECT_EQ(p["value"], "5320");
  // The header is empty, so the check stops there and every record fails on it.
  EXPECT_EQ(doc["header"]["field"], fnHInsurerName);
  EXPECT_EQ(doc["recordCount"], 1);
  EXPECT_EQ(doc["failing"], 1);
  EXPECT_NE(ReadAll(dat).find("\r\n2" + std::string(158, ' ') + "M\xFCller "), std::string::npos);
}

TEST_F(Certcsv, ExportJsonAndRefusedImportJson) {
  const std::string dat = DatFile("in.dat", 2, true);
  TRun r = Run("export --json " + dat);
  EXPECT_EQ(r.Status, 1);
  auto doc = nlohmann::json::parse(r.Err);
  EXPECT_TRUE(doc["output"].is_null());
  EXPECT_EQ(doc["records"][0]["record"], 2);
  EXPECT_EQ(doc["records"][0]["property"], "DInsuredCity");
  EXPECT_EQ(doc["failing"], 1);
  EXPECT_EQ(r.Out.substr(0, 3), "\xEF\xBB\xBF");

  const std::string csv = Make("in.csv", std::string(kColumns) + kPassingRow);
  r = Run("import --json " + csv + " -o " + dat);
  EXPECT_EQ(r.Status, 2);
  doc = nlohmann::json::parse(r.Out);
  EXPECT_EQ(doc["written"], false);
  EXPECT_EQ(doc["error"], dat + " exists; --force replaces it");
}

}  // namespace
