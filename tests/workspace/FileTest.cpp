#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "../support/CertSamples.h"
#include "../support/TempDir.h"
#include "CertDate.h"
#include "CertFormat.h"

using namespace cert;
using namespace certtest;

namespace {

const char kLength[] =
    "*** This file's record length exceeds 351 characters.  Please make sure that all records "
    "in this file are exactly 351 characters.";
const char kSecondHeader[] =
    "*** This file has more than than 1 header record!  The limit is 1 header per file.";

class CertFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetTodayProvider([] { return TYmd{2026, 12, 10}; });
    Cert.OnFileError = [this](TObject* sender, const std::string& msg) {
      EXPECT_EQ(sender, &Cert);
      Messages.push_back(msg);
    };
  }
  void TearDown() override { SetTodayProvider(nullptr); }

  std::string HeaderLine() {
    THeaderRec h;
    FillPassingHeader(h);
    return BuildHeaderLine(h, "20250101");
  }
  void Read(const std::string& bytes) {
    WriteAll(Dir.File("in.dat"), bytes);
    Cert.FileNameOpen = Dir.File("in.dat");
    Cert.ReadCertFile();
  }
  std::vector<std::string> Lines() const { return Cert.DetailStr().Items(); }

  TTempDir Dir;
  TCertFormat Cert;
  std::vector<std::string> Messages;
};

}  // namespace

TEST_F(CertFileTest, WrittenFileReadsBackUnchanged) {
  Read(HeaderLine() + "\r\n" + PassingDetailLine("Able") + "\r\n" + PassingDetailLine("Baker"));
  ASSERT_TRUE(Messages.empty());
  const auto before = Lines();
  Cert.FileNameSave = Dir.File("out.dat");
  Cert.WriteCertFile();
  const std::string written = ReadAll(Dir.File("out.dat"));
  THeaderRec h;
  FillPassingHeader(h);
  EXPECT_EQ(written,
            BuildHeaderLine(h, "20261210") + "\r\n" + before[0] + "\r\n" + before[1] + "\r\n");

  TCertFormat again;
  again.OnFileError = [&](TObject*, const std::string& m) { Messages.push_back(m); };
  again.FileNameOpen = Dir.File("out.dat");
  again.ReadCertFile();
  EXPECT_TRUE(Messages.empty());
  EXPECT_EQ(again.DetailStr().Items(), before);
  EXPECT_EQ(again.HeaderRec.DateWritten, "20261210");
  EXPECT_EQ(again.DetailIndex(), 0);
  EXPECT_EQ(again.DetailRecStatus, drBrowse);
  EXPECT_EQ(Trim(again.DetailRec.DInsuredLastName.View()), "Baker") << "the last line read";
  EXPECT_FALSE(again.FileChanged());
}

struct TReadCase {
  const char* Name;
  std::string Body;  // after a valid header line and CRLF
  std::vector<std::string> Messages;
  int Kept;
  bool Blank;
};

class ReaderCases : public CertFileTest, public ::testing::WithParamInterface<TReadCase> {};

TEST_P(ReaderCases, ReportsAndKeeps) {
  const TReadCase& c = GetParam();
  Read(HeaderLine() + "\r\n" + c.Body);
  EXPECT_EQ(Messages, c.Messages);
  EXPECT_EQ(Cert.DetailStr().Count(), c.Kept);
  EXPECT_EQ(Cert.BlankLineEncounter, c.Blank);
  for (const std::string& line : Lines()) EXPECT_EQ(line.size(), DetailLineLength);
}

static std::string Padded(std::string s, std::size_t n, char fill = ' ') {
  s.resize(n, fill);
  return s;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReaderCases,
    ::testing::Values(
        TReadCase{"EndsWithLineBreak", PassingDetailLine() + "\r\n", {}, 1, false},
        TReadCase{"TrailingEmptyLine", PassingDetailLine() + "\r\n\r\n", {}, 1, true},
        TReadCase{"BlankAndControlLines", "   \r\n\r\n\x1A", {}, 0, true},
        TReadCase{"LfAndCrlfMixed",
                  PassingDetailLine() + "\n" + PassingDetailLine() + "\r\n",
                  {},
                  2,
                  false},
        TReadCase{"ExcessBlanksOnly", Padded(PassingDetailLine(), 400), {}, 1, false},
        TReadCase{"ReservedColumnsDropped", Padded(PassingDetailLine(), 351, 'R'), {}, 1, false},
        TReadCase{"TextBeyond351", Padded(PassingDetailLine(), 351) + "X", {kLength}, 1, false},
        TReadCase{"SecondHeader", "1" + PassingDetailLine().substr(1), {kSecondHeader}, 1, false},
        TReadCase{"InvalidCode",
                  "X" + PassingDetailLine("  Doe ").substr(1),
                  {"*** Invalid detail record code found for Doe, Anna!"},
                  0,
                  true},
        TReadCase{"NulBytes", std::string("\0\0\x01garbage", 10) + "\r\n", {}, 0, true},
        TReadCase{
            "ManyLongLines",
            Padded(PassingDetailLine(), 360, 'x') + "\n" + Padded(PassingDetailLine(), 360, 'x'),
            {kLength, kLength},
            2,
            false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CertFileTest, HeaderProblems) {
  Read(Padded(HeaderLine(), 350) + "  \r\n");
  EXPECT_TRUE(Messages.empty()) << "blanks beyond column 350";
  Read(Padded(HeaderLine(), 350) + "Z\r\n");
  EXPECT_EQ(Messages, std::vector<std::string>{kLength});
  Messages.clear();

  const std::string detailFirst = PassingDetailLine("First");
  Read(detailFirst + "\r\n" + PassingDetailLine("Second"));
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0],
            "*** File \"" + Cert.FileNameOpen + "\" does not contain a header record!");
  EXPECT_EQ(Cert.HeaderRec.RecordCode, "2");
  EXPECT_EQ(Cert.HeaderRec.HInsurerName, detailFirst.substr(1, 45));
  ASSERT_EQ(Cert.DetailStr().Count(), 1);
  EXPECT_EQ(Cert.DetailStr()[0], PassingDetailLine("Second"));
}

TEST_F(CertFileTest, EmptyFileKeepsIndex) {
  Read(HeaderLine() + "\r\n" + PassingDetailLine() + "\r\n" + PassingDetailLine());
  Cert.LastDetailRec();
  ASSERT_EQ(Cert.DetailIndex(), 1);
  Read("");
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("does not contain a header record!"), std::string::npos);
  EXPECT_EQ(Cert.DetailStr().Count(), 0);
  EXPECT_EQ(Cert.DetailIndex(), 1);
  EXPECT_FALSE(Cert.FileChanged());
}

TEST_F(CertFileTest, MissingFileChangesNothing) {
  Read(HeaderLine() + "\r\n" + PassingDetailLine());
  Cert.FileNameOpen = Dir.File("nope.dat");
  Cert.ReadCertFile();
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0], "*** File \"" + Dir.File("nope.dat") + "\" does not exist!");
  EXPECT_EQ(Cert.DetailStr().Count(), 1);
}

TEST_F(CertFileTest, NormalisesJustificationAndProviderType) {
  std::string line = PassingDetailLine();
  line.replace(89, 9, "1000000  ");  // occurrence limit written left-justified
  line.replace(331, 2, " 7");        // one-digit provider type in column 333
  line.replace(159, 25, Padded("  Lee", 25));
  Read(HeaderLine() + "\n" + line + "\n" + line.substr(0, 331) + "7 NN");
  ASSERT_EQ(Cert.DetailStr().Count(), 2);
  const std::string& out = Cert.DetailStr()[0];
  EXPECT_EQ(out.substr(89, 9), "  1000000");
  EXPECT_EQ(out.substr(331, 2), "07");
  EXPECT_EQ(out.substr(159, 5), "Lee  ");
  EXPECT_EQ(Cert.DetailStr()[1].substr(331, 2), "07");
}

TEST_F(CertFileTest, BadInputNeverLosesBytes) {
  // CR-only line ends make one long header line.
  Read(HeaderLine() + "\r" + PassingDetailLine() + "\r");
  EXPECT_EQ(Messages, std::vector<std::string>{kLength});
  EXPECT_EQ(Cert.DetailStr().Count(), 0);
  Messages.clear();

  Read(HeaderLine() + "\n2" + std::string(10 * 1024 * 1024, 'q'));
  EXPECT_EQ(Messages, std::vector<std::string>{kLength});
  ASSERT_EQ(Cert.DetailStr().Count(), 1);
  EXPECT_EQ(Cert.DetailStr()[0].size(), DetailLineLength);

  std::string high = PassingDetailLine();
  high.replace(159, 5, "\xC9\xE9\x80\xFF\x9A");
  Read(HeaderLine() + "\n" + high);
  EXPECT_EQ(Cert.DetailStr()[0], high);
}

TEST_F(CertFileTest, DirectoryIsAnErrorNamingTheFile) {
  Cert.FileNameOpen = Dir.Path();
  try {
    Cert.ReadCertFile();
    FAIL() << "no exception";
  } catch (const TCertIOError& e) {
    EXPECT_NE(std::string(e.what()).find(Dir.Path()), std::string::npos);
  }
  EXPECT_TRUE(Messages.empty());
}

TEST_F(CertFileTest, UnreadableFileIsAnErrorNamingTheFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = Dir.File("locked.dat");
  WriteAll(path, "1\r\n");
  chmod(path.c_str(), 0);
  Cert.FileNameOpen = path;
  try {
    Cert.ReadCertFile();
    FAIL() << "no exception";
  } catch (const TCertIOError& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
  }
}

TEST_F(CertFileTest, OverwriteIsAsked) {
  const std::string out = Dir.File("out.dat");
  WriteAll(out, "old");
  Cert.FileNameSave = out;
  Cert.WriteCertFile();  // no callback: never replaced
  EXPECT_EQ(ReadAll(out), "old");

  std::string asked;
  Cert.OnConfirmOverwrite = [&](const std::string& q) {
    asked = q;
    return false;
  };
  Cert.WriteCertFile();
  EXPECT_EQ(asked, "File " + out + " already exist.  Overwrite?");
  EXPECT_EQ(ReadAll(out), "old");

  Cert.OnConfirmOverwrite = [](const std::string&) { return true; };
  Cert.WriteCertFile();
  EXPECT_EQ(ReadAll(out).substr(0, 1), "1");
  EXPECT_EQ(ReadAll(out).size(), 171u + 2) << "empty header: no type, date, CRLF";
}

TEST_F(CertFileTest, FailedWriteLeavesOldFileAndFlag) {
  Read(HeaderLine() + "\n" + PassingDetailLine() + "\n" + PassingDetailLine());
  Cert.DeleteDetailRec();
  ASSERT_TRUE(Cert.FileChanged());
  for (int i = 0; i < 50; ++i) Cert.NewDetailRec(), Cert.PostDetailRec();

  const std::string out = Dir.File("out.dat");
  WriteAll(out, "precious");
  Cert.FileNameSave = out;
  Cert.OnConfirmOverwrite = [](const std::string&) { return true; };
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  bool threw = false;
  try {
    Cert.WriteCertFile();
  } catch (const TCertIOError& e) {
    threw = std::string(e.what()).find(out) != std::string::npos;
  }
  setrlimit(RLIMIT_FSIZE, &old);
  EXPECT_TRUE(threw);
  EXPECT_EQ(ReadAll(out), "precious");
  EXPECT_TRUE(Cert.FileChanged());
  int files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(Dir.Path())) ++files;
  EXPECT_EQ(files, 2) << "the temporary file is removed";

  Cert.FileNameSave = Dir.File("no-such-dir/out.dat");
  EXPECT_THROW(Cert.WriteCertFile(), TCertIOError);
}
