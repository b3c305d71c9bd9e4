#include <gtest/gtest.h>

#include <memory>

#include "../support/CertSamples.h"
#include "../support/FakeEditor.h"
#include "CertFormat.h"

using namespace cert;
using namespace certtest;

namespace {

class Verify : public ::testing::Test {
 protected:
  void Load(const std::vector<std::string>& cities) {
    FillPassingHeader(Cert.HeaderRec);
    for (const std::string& city : cities) {
      FillPassingDetail(Cert.DetailRec);
      Cert.DetailRec.DInsuredCity = city;
      Cert.NewDetailRec();
      Cert.PostDetailRec();
    }
    Cert.BindEditor(27, &City);
    Cert.BindEditor(0, &Name);
    Cert.OnCertError = [this](TObject* s, int i, const std::string& m) {
      Log.push_back("error " + std::to_string(i) + " " + m + (s == &City || s == &Name ? "" : "?"));
    };
    Cert.OnCertPassErrorCheck = [this](TObject*) { Log.push_back("pass"); };
    Cert.OnCertStatusChange = [this](TObject*, TDetailRecStatus, TDetailRecStatus) {
      Log.push_back("status");
    };
    Cert.OnBeforeFetchDetailRec = [this](TObject*) { Log.push_back("before"); };
    Cert.OnCertDetailChange = [this](TObject*) {
      Log.push_back("detail at " + std::to_string(Cert.DetailIndex()));
    };
  }
  void WatchAll() {
    Cert.OnCertCheckAllForErrors = [this](TObject* s, int i, const std::string& m, bool pass) {
      Log.push_back("all " + std::to_string(i) + " " + m + (pass ? " pass" : " fail") +
                    (s == nullptr ? " nil"
                     : s == &City ? " city"
                                  : " name"));
    };
  }

  TCertFormat Cert;
  TFakeEditor City{ecMaskEdit}, Name{ecMaskEdit};
  std::vector<std::string> Log;
};

const std::string kCity = "*** Insured's city is required!";

TEST_F(Verify, EmptyListIsFalseWithoutEvents) {
  Load({});
  WatchAll();
  Cert.SetDetailIndex(-1);
  Log.clear();
  EXPECT_FALSE(Cert.CheckAllForErrors());
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(Cert.DetailIndex(), -1);
}

TEST_F(Verify, StopsAtFirstFailingRecord) {
  Load({"A", "", ""});
  WatchAll();
  Cert.LastDetailRec();
  Log.clear();
  EXPECT_FALSE(Cert.CheckAllForErrors());
  EXPECT_EQ(Log, (std::vector<std::string>{"error 27 " + kCity, "all 27 " + kCity + " fail city",
                                           "detail at 1"}));
  EXPECT_EQ(Cert.DetailIndex(), 1);
  EXPECT_EQ(Cert.DetailRecStatus, drBrowse);
}

TEST_F(Verify, AllPassingReturnsToTheRememberedRecord) {
  Load({"A", "B", "C", "D", "E"});
  WatchAll();
  Cert.GotoDetailRec(1);
  Log.clear();
  EXPECT_TRUE(Cert.CheckAllForErrors());
  EXPECT_EQ(Log, (std::vector<std::string>{"all -1  pass nil", "detail at 1"}));
  EXPECT_EQ(Cert.DetailRec.DInsuredCity, "B");
}

TEST_F(Verify, HeaderFaultEndsOnFirstRecordAndNoDetailEventWithoutHandler) {
  Load({"A", "B"});
  Cert.LastDetailRec();
  Cert.HeaderRec.HInsurerName = "";
  Log.clear();
  EXPECT_FALSE(Cert.CheckAllForErrors());
  EXPECT_EQ(Log, (std::vector<std::string>{"error 0 *** Insurer name is required!"}));
  EXPECT_EQ(Cert.DetailIndex(), 0);
}

TEST_F(Verify, DuplicatesPass) {
  Load({"Same", "Same"});
  bool duplicate = false;
  Cert.OnDuplicateProvider = [&](TObject*, int, int) { duplicate = true; };
  EXPECT_TRUE(Cert.CheckAllForErrors());
  EXPECT_FALSE(duplicate);
}

}  // namespace
