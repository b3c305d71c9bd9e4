#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <nlohmann/json.hpp>

#include "../support/CertSamples.h"
#include "../support/TempDir.h"

using namespace cert;
using namespace certtest;

namespace {

struct TRun {
  int Status;
  std::string Out;
};

TRun RunCertcheck(const std::string& args) {
  const std::string cmd = std::string(CERTCHECK_PATH) + " " + args + " 2>/dev/null";
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
  const int st = pclose(p);
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, out};
}

std::string Header(bool nameMissing = false) {
  THeaderRec h;
  FillPassingHeader(h);
  if (nameMissing) h.HInsurerName = "";
  return BuildHeaderLine(h, "20261210") + "\r\n";
}

std::string Detail(void (*mutate)(TDetailRec&) = nullptr) {
  TDetailRec d;
  FillPassingDetail(d);
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

}  // namespace
