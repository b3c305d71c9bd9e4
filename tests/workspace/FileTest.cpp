#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>

#include "../support/CertSamples.h"
#include "../support/FakeEditor.h"
#include "../support/FaultyFileSystem.h"
#include "../support/NullDevice.h"
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
    Cert.SetFileSystem(&Fs);
    Cert.OnFileError = [this](TObject* sender, const std::string& msg) {
      EXPECT_EQ(sender, &Cert);
      Messages.push_back(msg);
    };
  }

  std::string HeaderLine() { return PassingHeaderLine("20250101"); }
  void Read(const std::string& bytes) {
    WriteAll(Dir.File("in.dat"), bytes);
    Cert.FileNameOpen = Dir.File("in.dat");
    Cert.ReadCertFile();
  }
  std::vector<std::string> Lines() const { return Cert.DetailStr().Items(); }

  TTempDir Dir;
  TFaultyFileSystem Fs;
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
  EXPECT_EQ(written, FileOfLines(PassingHeaderLine("20261210"), {before[0], before[1]}));

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
  const std::string_view out = Cert.DetailStr()[0];
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

// Everything a failed read or save must leave as it was.
struct TWorkspaceState {
  std::vector<std::string> Lines;
  std::string Header, Detail;
  int Index;
  TDetailRecStatus Status;
  bool Changed, Blank;
  bool operator==(const TWorkspaceState& o) const {
    return Lines == o.Lines && Header == o.Header && Detail == o.Detail && Index == o.Index &&
           Status == o.Status && Changed == o.Changed && Blank == o.Blank;
  }
};

TWorkspaceState StateOf(const TCertFormat& c) {
  return {c.DetailStr().Items(),
          BuildHeaderLine(c.HeaderRec, c.HeaderRec.DateWritten.View()),
          BuildDetailLine(c.DetailRec, c.DetailRec.RecordCode.View()),
          c.DetailIndex(),
          c.DetailRecStatus,
          c.FileChanged(),
          c.BlankLineEncounter};
}

class CertFaultTest : public CertFileTest {
 protected:
  // Two records read, the second shown and edited, so that FileChanged is set.
  void SetUp() override {
    CertFileTest::SetUp();
    Read(HeaderLine() + "\r\n" + PassingDetailLine("Able") + "\r\n" + PassingDetailLine("Baker"));
    Cert.SetDInsuredMidName(&Editor);
    Cert.ChangeStatus = true;
    Cert.LastDetailRec();
    Editor.SetText("Q");
    ASSERT_TRUE(Cert.FileChanged());
    ASSERT_EQ(Cert.DetailRecStatus, drEdit);
    Messages.clear();
  }
  TFakeEditor Editor{ecMaskEdit};
};

constexpr std::uint64_t kLastByte = ~std::uint64_t(0);

struct TReadFault {
  const char* Name;
  TFault Fault;
  const char* Reason;
};

void PrintTo(const TReadFault& f, std::ostream* os) { *os << f.Name; }

class ReadFaults : public CertFaultTest, public ::testing::WithParamInterface<TReadFault> {};

// A file with blank lines and long lines, so a half read would have changed the flag and the
// list; its messages may be shown before the failure, but nothing else may change.
TEST_P(ReadFaults, LeaveTheWorkspaceAsItWas) {
  std::string body;
  for (int i = 0; i < 2000; ++i)
    body += (i % 7 ? PassingDetailLine("N" + std::to_string(i)) : std::string()) + "\r\n";
  const std::string file = Dir.File("other.dat");
  WriteAll(file, HeaderLine() + "\r\n" + body);
  const TWorkspaceState before = StateOf(Cert);
  Fs.Fault = GetParam().Fault;
  if (Fs.Fault.After == kLastByte) Fs.Fault.After = std::filesystem::file_size(file) - 1;
  Cert.FileNameOpen = file;
  const std::string error = IOErrorOf([&] { Cert.ReadCertFile(); });
  EXPECT_NE(error.find("\"" + file + "\""), std::string::npos) << error;
  EXPECT_NE(error.find(GetParam().Reason), std::string::npos) << error;
  EXPECT_TRUE(StateOf(Cert) == before);

  Fs.Fault = {};
  Cert.ReadCertFile();
  EXPECT_EQ(Cert.DetailStr().Count(), 2000 - 286);
  EXPECT_TRUE(Cert.BlankLineEncounter);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, ReadFaults,
    ::testing::Values(
        TReadFault{"OpenRefused", {fpOpenRead, std::errc::permission_denied}, "Permission denied"},
        TReadFault{"FirstRead", {fpRead, std::errc::io_error, 0}, "Input/output error"},
        TReadFault{"HalfWay", {fpRead, std::errc::io_error, 300000}, "Input/output error"},
        TReadFault{"LastByte", {fpRead, std::errc::io_error, kLastByte}, "Input/output error"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CertFaultTest, RunningOutOfMemoryWhileReadingIsAnError) {
  const TWorkspaceState before = StateOf(Cert);
  const std::string file = Dir.File("long.dat");
  WriteAll(file, HeaderLine() + "\r\n" + PassingDetailLine() + std::string(400, 'x') + "\r\n");
  Cert.OnFileError = [](TObject*, const std::string&) { throw std::bad_alloc(); };
  Cert.FileNameOpen = file;
  const std::string error = IOErrorOf([&] { Cert.ReadCertFile(); });
  EXPECT_EQ(error, "Cannot read \"" + file + "\": not enough memory to hold the file");
  EXPECT_TRUE(StateOf(Cert) == before);
}

TEST_F(CertFaultTest, SpecialFilesAreRefusedNamingThem) {
  const TWorkspaceState before = StateOf(Cert);
  Cert.FileNameOpen = kNullDevice;
  EXPECT_EQ(IOErrorOf([&] { Cert.ReadCertFile(); }),
            "Cannot read \"" + kNullDevice + "\": not a file but a device");
  Cert.FileNameOpen = Dir.Path();
  EXPECT_EQ(IOErrorOf([&] { Cert.ReadCertFile(); }),
            "Cannot read \"" + Dir.Path() + "\": Is a directory");
  EXPECT_TRUE(StateOf(Cert) == before);
  EXPECT_TRUE(Messages.empty());
}

struct TSaveFault {
  const char* Name;
  TFault Fault;
  const char* Reason;
};

void PrintTo(const TSaveFault& f, std::ostream* os) { *os << f.Name; }

class SaveFaults : public CertFaultTest, public ::testing::WithParamInterface<TSaveFault> {};

TEST_P(SaveFaults, KeepTheOldFileWholeAndNameIt) {
  for (int i = 0; i < 50; ++i) Cert.NewDetailRec(), Cert.PostDetailRec();
  Editor.SetText("R");
  const std::string out = Dir.File("out.dat");
  WriteAll(out, "precious");
  Cert.FileNameSave = out;
  Cert.OnConfirmOverwrite = [](const std::string&) { return true; };
  const TWorkspaceState before = StateOf(Cert);
  Fs.Fault = GetParam().Fault;
  const std::string error = IOErrorOf([&] { Cert.WriteCertFile(); });
  EXPECT_NE(error.find("\"" + out + "\": "), std::string::npos) << error;
  EXPECT_NE(error.find(GetParam().Reason), std::string::npos) << error;
  EXPECT_EQ(ReadAll(out), "precious");
  EXPECT_TRUE(StateOf(Cert) == before);
  EXPECT_EQ(Dir.Names(), (std::vector<std::string>{"in.dat", "out.dat"}))
      << "the new file is removed";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaults,
    ::testing::Values(
        TSaveFault{"CreateRefused", {fpCreate, std::errc::permission_denied}, "Permission denied"},
        TSaveFault{"NoSpace",
                   {fpWrite, std::errc::no_space_on_device, 0},
                   "No space left on device (the file is saved beside the old one and needs "
                   "room for both)"},
        TSaveFault{"ShortWriteThenNoSpace",
                   {fpWrite, std::errc::no_space_on_device, 5000},
                   "No space left on device"},
        TSaveFault{"FileSizeLimit", {fpWrite, std::errc::file_too_large, 4096}, "File too large"},
        TSaveFault{"WriteIOError", {fpWrite, std::errc::io_error, 100}, "Input/output error"},
        TSaveFault{"FlushFails", {fpFlush, std::errc::io_error}, "Input/output error"},
        TSaveFault{"CloseFails", {fpClose, std::errc::io_error}, "Input/output error"},
        TSaveFault{"ReplaceFails",
                   {fpReplace, std::errc::cross_device_link},
                   "Invalid cross-device link"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(CertFaultTest, SaveReplacesThenFlushesTheDirectory) {
  Cert.FileNameSave = Dir.File("out.dat");
  Cert.WriteCertFile();
  EXPECT_EQ(Fs.Log, (std::vector<std::string>{"create", "write", "flush", "close", "replace",
                                              "flush directory"}));
  EXPECT_FALSE(Cert.FileChanged());

  // The new file is in place, but the save cannot be called durable: it is reported.
  Editor.SetText("S");
  Fs.Fault = {fpFlushDirectory, std::errc::io_error};
  Cert.OnConfirmOverwrite = [](const std::string&) { return true; };
  EXPECT_NE(IOErrorOf([&] { Cert.WriteCertFile(); }).find("Input/output error"), std::string::npos);
  EXPECT_TRUE(Cert.FileChanged());
  EXPECT_EQ(Dir.Names(), (std::vector<std::string>{"in.dat", "out.dat"}));
}

TEST_F(CertFaultTest, ReadOnlyTargetIsRefused) {
  const std::string out = Dir.File("out.dat");
  WriteAll(out, "precious");
  namespace fs = std::filesystem;
  fs::permissions(out, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Cert.FileNameSave = out;
  Cert.OnConfirmOverwrite = [](const std::string&) { return true; };
  const TWorkspaceState before = StateOf(Cert);
  EXPECT_EQ(IOErrorOf([&] { Cert.WriteCertFile(); }),
            "Cannot replace \"" + out + "\": the file is read-only");
  EXPECT_EQ(ReadAll(out), "precious");
  EXPECT_TRUE(StateOf(Cert) == before);
  EXPECT_TRUE(Fs.Log.empty()) << "nothing was created";
}

TEST_F(CertFaultTest, MissingDirectoryNamesTheFile) {
  Cert.FileNameSave = Dir.File("no-such-dir/out.dat");
  EXPECT_EQ(IOErrorOf([&] { Cert.WriteCertFile(); }),
            "Cannot create \"" + Cert.FileNameSave + "\": No such file or directory");
  EXPECT_TRUE(Cert.FileChanged());
}
