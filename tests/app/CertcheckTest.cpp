#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <nlohmann/json.hpp>

#include "../support/CertSamples.h"
#include "../support/RunShell.h"
#include "../support/TempDir.h"

using namespace cert;
using namespace certtest;

namespace {

using TRun = TShellRun;

// redirect: where standard error and output go, in the shell's words.
TRun RunCertcheck(const std::string& args, const std::string& redirect = "2>" + kNullDevice) {
  return RunShell(ShellWord(CERTCHECK_PATH) + " " + args + " " + redirect);
}

std::string Header(bool nameMissing = false) {
  return PassingHeaderLine("20261210",
                           [&](THeaderRec& h) {
                             if (nameMissing) h.HInsurerName = "";
                           }) +
         "\r\n";
}

std::string Detail(void (*mutate)(TDetailRec&) = nullptr) {
  TDetailRec d;
  FillPassingDetail(d);
  // A policy number of its own: equal records would be reported as possible duplicates.
  static int policy = 0;
  d.DPolicyNum = "POL-" + std::to_string(++policy);
  if (mutate) mutate(d);
  return BuildDetailLine(d, "2") + "\r\n";
}

class Certcheck : public ::testing::Test {
 protected:
  std::string Make(const std::string& name, const std::string& bytes) {
    WriteAll(Dir.File(name), bytes);
    return Dir.File(name);
  }
  TTempDir Dir;
};

TEST_F(Certcheck, CleanFileExitsZero) {
  const std::string f = Make("good.dat", Header() + Detail() + Detail());
  const TRun r = RunCertcheck(f);
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, f + ": 2 records, 0 failing\n");
}

TEST_F(Certcheck, ReportsEveryFailingRecordInOrder) {
  const std::string f =
      Make("bad.dat", Header() + Detail([](TDetailRec& d) { d.DInsuredCity = ""; }) + Detail() +
                          "\r\n" + Detail([](TDetailRec& d) { d.DPolicyAggregateLimit = ""; }) +
                          std::string(360, '2') + "\r\n");
  const TRun r = RunCertcheck(f);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out,
            f +
                ": *** This file's record length exceeds 351 characters.  Please make sure that "
                "all records in this file are exactly 351 characters.\n" +
                f +
                ": blank lines or lines without a record code were dropped while reading; saving "
                "the file in the window removes them (the fund rejects files with blank lines)\n" +
                f + ": record 1: field 27 DInsuredCity: *** Insured's city is required!\n" + f +
                ": record 3: field 18 DPolicyAggregateLimit: *** Policy aggregate limit is "
                "required!\n" +
                f +
                ": record 4: field 20 DInsuredCompanyName: *** Lastname, Firstname, Middle name, "
                "suffix and Attn Line are not  allowed when the Insured Company Name is used and "
                "vice-versa!\n" +
                f + ": 4 records, 3 failing\n");
}

TEST_F(Certcheck, HeaderFaultStopsTheFile) {
  const std::string f = Make("hdr.dat", Header(true) + Detail() + Detail());
  const TRun r = RunCertcheck(f);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, f + ": header: field 0 HInsurerName: *** Insurer name is required!\n" + f +
                       ": 2 records, 2 failing\n");
}

TEST_F(Certcheck, MissingFileAndUsage) {
  const std::string good = Make("good.dat", Header() + Detail());
  const TRun r = RunCertcheck(Dir.File("none.dat") + " " + good);
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(r.Out, Dir.File("none.dat") + ": *** File \"" + Dir.File("none.dat") +
                       "\" does not exist!\n" + good + ": 1 records, 0 failing\n");
  EXPECT_EQ(RunCertcheck("").Status, 2);
  EXPECT_EQ(RunCertcheck("--bogus " + good).Status, 2);
  EXPECT_EQ(RunCertcheck(Dir.Path()).Status, 2);
  const TRun help = RunCertcheck("--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("--json"), std::string::npos);
}

TEST_F(Certcheck, JsonCarriesTheSameContent) {
  const std::string f = Make("bad.dat", Header() + Detail([](TDetailRec& d) {
                                          d.DInsuredLastName = "Mu\xF1oz";
                                          d.DInsuredCity = "";
                                        }) + "X" +
                                            Detail([](TDetailRec& d) {
                                              d.DInsuredLastName =
                                                  "Pe\xF1"
                                                  "a";
                                            }).substr(1));
  const TRun r = RunCertcheck("--json " + f);
  EXPECT_EQ(r.Status, 1);
  const auto doc = nlohmann::json::parse(r.Out);
  EXPECT_EQ(doc["status"], 1);
  const auto& file = doc["files"][0];
  EXPECT_EQ(file["messages"][0],
            "*** Invalid detail record code found for Pe\xC3\xB1"
            "a, Anna!");
  EXPECT_EQ(file["blankLines"], true);
  EXPECT_TRUE(file["header"].is_null());
  EXPECT_EQ(file["records"][0]["record"], 1);
  EXPECT_EQ(file["records"][0]["field"], 27);
  EXPECT_EQ(file["records"][0]["property"], "DInsuredCity");
  EXPECT_EQ(file["recordCount"], 1);
  EXPECT_EQ(file["failing"], 1);
}

TEST_F(Certcheck, AllRulesListsEveryFailureOfEachRecord) {
  const std::string f = Make("all.dat", Header() + Detail([](TDetailRec& d) {
                                          d.DInsuredCity = "";
                                          d.DPolicyAggregateLimit = "";
                                          // Rules 25 and 33 both fail on this: listed once.
                                          d.DPolicyTerminatedDate = "20260601";
                                        }) + Detail() +
                                            Detail([](TDetailRec& d) { d.DInsuredISO = ""; }));
  const std::string city = ": record 1: field 27 DInsuredCity: *** Insured's city is required!\n";
  const TRun first = RunCertcheck(f);
  EXPECT_EQ(first.Out, f + city + f +
                           ": record 3: field 31 DInsuredISO: *** Insured's ISO code is "
                           "required!\n" +
                           f + ": 3 records, 2 failing\n");
  const TRun r = RunCertcheck("--all-rules " + f);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, f + city + f +
                       ": record 1: field 14 DPolicyTerminatedDate: *** Termination date not allow "
                       "for new/renewal certificate!\n" +
                       f +
                       ": record 1: field 18 DPolicyAggregateLimit: *** Policy aggregate limit is "
                       "required!\n" +
                       f +
                       ": record 3: field 31 DInsuredISO: *** Insured's ISO code is required!\n" +
                       f + ": 3 records, 2 failing\n");
}

TEST_F(Certcheck, AllRulesGoesOnPastAFailingHeader) {
  THeaderRec h;
  FillPassingHeader(h);
  h.HInsurerName = "";
  h.HInsurerCity = "";
  const std::string f = Make("hdr.dat", BuildHeaderLine(h, "20261210") + "\r\n" + Detail() +
                                            Detail([](TDetailRec& d) { d.DInsuredState = ""; }));
  const TRun r = RunCertcheck("--all-rules " + f);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Out, f + ": header: field 0 HInsurerName: *** Insurer name is required!\n" + f +
                       ": header: field 3 HInsurerCity: *** Insurer's city is required!\n" + f +
                       ": record 2: field 28 DInsuredState: *** Insured's state is required!\n" +
                       f + ": 2 records, 2 failing\n");
}

// Records of one license, policy number, from date and processing type, told apart by name.
std::string Repeat(const std::string& last) {
  TDetailRec d;
  FillPassingDetail(d, last);
  d.DPolicyNum = "DUP-1";
  return BuildDetailLine(d, "2") + "\r\n";
}

TEST_F(Certcheck, DuplicatesWarnWithoutChangingTheStatusUnlessStrict) {
  const std::string f =
      Make("dup.dat", Header() + Repeat("Smith") + Detail() + Repeat("Jones") + Repeat("Brown"));
  const TRun r = RunCertcheck(f);
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, f + ": record 3: possible duplicate of record 1\n" + f +
                       ": record 4: possible duplicate of record 1\n" + f +
                       ": 4 records, 0 failing, 2 possible duplicates\n");
  EXPECT_EQ(RunCertcheck("--strict " + f).Status, 1);
  const std::string clean = Make("clean.dat", Header() + Detail());
  EXPECT_EQ(RunCertcheck("--strict " + clean).Status, 0);
  const TRun one = RunCertcheck(Make("one.dat", Header() + Repeat("Smith") + Repeat("Jones")));
  EXPECT_NE(one.Out.find(": 2 records, 0 failing, 1 possible duplicate\n"), std::string::npos);
  const TRun help = RunCertcheck("--help");
  for (const char* option : {"--all-rules", "--strict", "possible duplicate"})
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
}

TEST_F(Certcheck, JsonCarriesAllRulesAndWarnings) {
  THeaderRec h;
  FillPassingHeader(h);
  h.HInsurerName = "";
  h.HInsurerCity = "";
  const std::string f =
      Make("all.dat", BuildHeaderLine(h, "20261210") + "\r\n" + Detail([](TDetailRec& d) {
                        d.DInsuredCity = "";
                        d.DInsuredISO = "";
                        d.DPolicyNum = "DUP-1";
                      }) + Repeat("Jones"));
  const auto doc = nlohmann::json::parse(RunCertcheck("--json --all-rules " + f).Out);
  EXPECT_EQ(doc["status"], 1);
  const auto& file = doc["files"][0];
  EXPECT_EQ(file["header"]["field"], 0);
  ASSERT_EQ(file["headerRules"].size(), 2u);
  EXPECT_EQ(file["headerRules"][1]["message"], "*** Insurer's city is required!");
  ASSERT_EQ(file["records"].size(), 2u);
  EXPECT_EQ(file["records"][1]["record"], 1);
  EXPECT_EQ(file["records"][1]["field"], 31);
  EXPECT_EQ(file["failing"], 2);
  ASSERT_EQ(file["warnings"].size(), 1u);
  EXPECT_EQ(file["warnings"][0]["record"], 2);
  EXPECT_EQ(file["warnings"][0]["duplicateOf"], 1);
  EXPECT_EQ(file["warnings"][0]["message"], "record 2: possible duplicate of record 1");
  EXPECT_EQ(file["possibleDuplicates"], 1);

  const std::string dup = Make("dup.dat", Header() + Repeat("Smith") + Repeat("Jones"));
  const auto plain = nlohmann::json::parse(RunCertcheck("--json " + dup).Out);
  EXPECT_EQ(plain["status"], 0);
  EXPECT_FALSE(plain["files"][0].contains("headerRules"));
  EXPECT_EQ(nlohmann::json::parse(RunCertcheck("--json --strict " + dup).Out)["status"], 1);
}

#ifdef _WIN32
// A device has no end: reading it would never finish.
TEST_F(Certcheck, WhatIsNotAFileIsRefusedAtOnce) {
  const std::string good = Make("good.dat", Header() + Detail());
  const TRun r = RunCertcheck("NUL " + good);
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(r.Out, "NUL: Cannot read \"NUL\": not a file but a device\n" + good +
                       ": 1 records, 0 failing\n");
}
#else
// FIFOs, devices under /dev, memory limits (ulimit), /dev/full and closed descriptors: POSIX's.

// A FIFO without a writer would make a plain open wait for ever; a device has no end.
TEST_F(Certcheck, WhatIsNotAFileIsRefusedAtOnce) {
  const std::string fifo = Dir.File("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string good = Make("good.dat", Header() + Detail());
  const TRun r = RunCertcheck(fifo + " /dev/zero " + good);
  EXPECT_EQ(r.Status, 2);
  EXPECT_EQ(r.Out, fifo + ": Cannot read \"" + fifo + "\": not a file but a named pipe\n" +
                       "/dev/zero: Cannot read \"/dev/zero\": not a file but a device\n" + good +
                       ": 1 records, 0 failing\n");
}

// Under a memory limit, running out of memory is an error of that file, not an abort. Lines are
// checked as they are read, so it takes the index of possible duplicates, which is sized by the
// file (here a gigabyte of holes after a record with a license number), to run out.
TEST_F(Certcheck, RunningOutOfMemoryNamesTheFile) {
  const std::string big = Make("big.dat", Header() + Detail());
  ASSERT_EQ(::truncate(big.c_str(), 1L << 30), 0);
  const TShellRun r =
      RunShell("ulimit -v 30000; " + ShellWord(CERTCHECK_PATH) + " " + big + " 2>&1");
  EXPECT_EQ(r.Status, 2) << r.Out;
  EXPECT_EQ(r.Out, big + ": Cannot check \"" + big + "\": not enough memory\n");
}

// Findings that cannot be written must not pass for a clean run.
TEST_F(Certcheck, OutputThatCannotBeWrittenIsAnError) {
  const std::string good = Make("good.dat", Header() + Detail());
  for (const char* mode : {"", "--json "}) {
    TRun r = RunCertcheck(mode + good, "2>&1 >/dev/full");
    EXPECT_EQ(r.Status, 2) << mode;
    EXPECT_EQ(r.Out,
              "certcheck: cannot write the findings to standard output: No space left on "
              "device\n");
    r = RunCertcheck(mode + good, "2>&1 >&-");
    EXPECT_EQ(r.Status, 2) << mode;
    EXPECT_EQ(r.Out,
              "certcheck: cannot write the findings to standard output: Bad file descriptor\n");
  }
}
#endif

}  // namespace
