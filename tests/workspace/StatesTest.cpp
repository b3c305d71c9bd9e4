#include <gtest/gtest.h>

#include <functional>

#include "../support/CertSamples.h"
#include "CertFormat.h"

using namespace cert;
using namespace certtest;

namespace {

using TStep = std::function<void(TCertFormat&)>;

char StateLetter(TDetailRecStatus s) { return s == drEdit ? 'E' : s == drNew ? 'N' : 'B'; }

// A workspace holding records for the given last names, on record 0, browsing, with every
// event written to Log.
struct TLoggedCert {
  TCertFormat Cert;
  std::vector<std::string> Log;

  explicit TLoggedCert(std::vector<std::string> names) {
    FillPassingHeader(Cert.HeaderRec);
    for (const std::string& name : names) {
      FillPassingDetail(Cert.DetailRec, name);
      Cert.NewDetailRec();
      Cert.PostDetailRec();
    }
    Cert.FirstDetailRec();
    Cert.OnBeforeFetchDetailRec = [this](TObject* s) {
      Log.push_back(s == &Cert ? "before" : "?");
    };
    Cert.OnAfterFetchDetailRec = [this](TObject* s) { Log.push_back(s == &Cert ? "after" : "?"); };
    Cert.OnCertPassErrorCheck = [this](TObject* s) { Log.push_back(s == &Cert ? "pass" : "?"); };
    Cert.OnCertError = [this](TObject*, int index, const std::string&) {
      Log.push_back("error " + std::to_string(index));
    };
    Cert.OnCertStatusChange = [this](TObject* s, TDetailRecStatus p, TDetailRecStatus c) {
      Log.push_back(std::string("status ") + StateLetter(p) + ">" + StateLetter(c) +
                    (s == &Cert ? "" : "?"));
    };
    Cert.OnCertDetailChange = [this](TObject* s) {
      Log.push_back(s == &Cert.DetailStr() ? "detail" : "detail?");
    };
  }
};

struct TOpCase {
  const char* Name;
  std::vector<std::string> Names;
  TStep Setup;  // runs before the log starts
  TStep Op;
  std::vector<std::string> Events;
  int Index;
  int Count;
  TDetailRecStatus State;
};

const std::vector<std::string> kFetchPass = {"before", "pass", "after"};

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const TStep kNothing = [](TCertFormat&) {};
const TStep kEdit = [](TCertFormat& c) { c.DetailRecStatus = drEdit; };

class Operations : public ::testing::TestWithParam<TOpCase> {};

TEST_P(Operations, FireEventsInOrder) {
  const TOpCase& c = GetParam();
  TLoggedCert w(c.Names);
  c.Setup(w.Cert);
  w.Log.clear();
  c.Op(w.Cert);
  EXPECT_EQ(w.Log, c.Events);
  EXPECT_EQ(w.Cert.DetailIndex(), c.Index);
  EXPECT_EQ(w.Cert.DetailStr().Count(), c.Count);
  EXPECT_EQ(w.Cert.DetailRecStatus, c.State);
}

const std::vector<std::string> kABC = {"Able", "Baker", "Cole"};

INSTANTIATE_TEST_SUITE_P(
    Table, Operations,
    ::testing::Values(
        TOpCase{"NextBrowsing", kABC, kNothing, [](TCertFormat& c) { c.NextDetailRec(); },
                Join(kFetchPass, {"status B>B", "detail"}), 1, 3, drBrowse},
        TOpCase{"PriorAtFirstInEdit",
                kABC,
                kEdit,
                [](TCertFormat& c) { c.PriorDetailRec(); },
                {},
                0,
                3,
                drEdit},
        TOpCase{"NextAtLast",
                kABC,
                [](TCertFormat& c) { c.LastDetailRec(); },
                [](TCertFormat& c) { c.NextDetailRec(); },
                {},
                2,
                3,
                drBrowse},
        TOpCase{"GotoCurrent",
                kABC,
                kEdit,
                [](TCertFormat& c) { c.GotoDetailRec(0); },
                {},
                0,
                3,
                drEdit},
        TOpCase{"GotoOther", kABC, kNothing, [](TCertFormat& c) { c.GotoDetailRec(2); },
                Join(kFetchPass, {"status B>B", "detail"}), 2, 3, drBrowse},
        TOpCase{"PostBrowsing",
                kABC,
                kNothing,
                [](TCertFormat& c) { c.PostDetailRec(); },
                {"pass", "status B>B", "detail"},
                0,
                3,
                drBrowse},
        TOpCase{"New",
                kABC,
                kNothing,
                [](TCertFormat& c) { c.NewDetailRec(); },
                {"status B>N"},
                0,
                3,
                drNew},
        TOpCase{"NewThenPost",
                kABC,
                [](TCertFormat& c) { c.NewDetailRec(); },
                [](TCertFormat& c) { c.PostDetailRec(); },
                {"pass", "status N>B", "detail"},
                3,
                4,
                drBrowse},
        TOpCase{"NewThenCancel", kABC,
                [](TCertFormat& c) {
                  c.GotoDetailRec(1);
                  c.NewDetailRec();
                },
                [](TCertFormat& c) { c.CancelDetailRec(); }, Join(kFetchPass, {"status N>B"}), 1, 3,
                drBrowse},
        TOpCase{"NewThenFirst", kABC, [](TCertFormat& c) { c.NewDetailRec(); },
                [](TCertFormat& c) { c.FirstDetailRec(); },
                Join(kFetchPass, {"status N>B", "detail"}), 0, 4, drBrowse},
        TOpCase{"NewThenPriorGoesBeforeAppended", kABC,
                [](TCertFormat& c) {
                  c.GotoDetailRec(1);
                  c.NewDetailRec();
                },
                [](TCertFormat& c) { c.PriorDetailRec(); },
                Join(kFetchPass, {"status N>B", "detail"}), 2, 4, drBrowse},
        TOpCase{"NewThenNextStaysOnAppended", kABC, [](TCertFormat& c) { c.NewDetailRec(); },
                [](TCertFormat& c) { c.NextDetailRec(); },
                Join(kFetchPass, {"status N>B", "detail"}), 3, 4, drBrowse},
        TOpCase{"DeleteMiddle", kABC, [](TCertFormat& c) { c.GotoDetailRec(1); },
                [](TCertFormat& c) { c.DeleteDetailRec(); },
                Join(kFetchPass, {"status B>B", "detail"}), 1, 2, drBrowse},
        TOpCase{"DeleteLast", kABC, [](TCertFormat& c) { c.LastDetailRec(); },
                [](TCertFormat& c) { c.DeleteDetailRec(); },
                Join(kFetchPass, {"status B>B", "detail"}), 1, 2, drBrowse},
        TOpCase{"DeleteOnly",
                {"Able"},
                kNothing,
                [](TCertFormat& c) { c.DeleteDetailRec(); },
                {"status B>B", "detail"},
                -1,
                0,
                drBrowse},
        TOpCase{"SetterBrowsing",
                kABC,
                kNothing,
                [](TCertFormat& c) { c.SetDetailIndex(2); },
                {"detail"},
                2,
                3,
                drBrowse},
        TOpCase{"SetterEditing", kABC, kEdit, [](TCertFormat& c) { c.SetDetailIndex(2); },
                Join(kFetchPass, {"status E>B", "detail"}), 2, 3, drBrowse},
        TOpCase{"FirstOnEmpty",
                {},
                kNothing,
                [](TCertFormat& c) { c.FirstDetailRec(); },
                {"status B>B", "detail"},
                0,
                0,
                drBrowse},
        TOpCase{"LastOnEmpty",
                {},
                kNothing,
                [](TCertFormat& c) { c.LastDetailRec(); },
                {"status B>B", "detail"},
                -1,
                0,
                drBrowse},
        TOpCase{"FailingRecordFetch",
                kABC,
                [](TCertFormat& c) {
                  c.DetailRec.DInsuredCity = "";
                  c.DetailRecStatus = drEdit;
                  c.PostDetailRec();
                  c.LastDetailRec();
                },
                [](TCertFormat& c) { c.FirstDetailRec(); },
                {"before", "error 27", "after", "status B>B", "detail"},
                0,
                3,
                drBrowse},
        TOpCase{"CancelAfterNewOnEmptyList",
                {},
                [](TCertFormat& c) {
                  c.ClearWorkspace();
                  FillPassingHeader(c.HeaderRec);
                  FillPassingDetail(c.DetailRec);
                  c.NewDetailRec();
                  c.PostDetailRec();
                },
                [](TCertFormat& c) { c.CancelDetailRec(); },
                Join(kFetchPass, {"status B>B"}),
                0,
                1,
                drBrowse},
        TOpCase{"ClearInEdit",
                kABC,
                kEdit,
                [](TCertFormat& c) { c.ClearWorkspace(); },
                {},
                -1,
                0,
                drEdit}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(EditingStates, RefreshStoresAndCancelDrops) {
  TLoggedCert w({"Able", "Baker"});
  w.Cert.DetailRec.DInsuredCity = "Racine";
  w.Cert.DetailRecStatus = drEdit;
  w.Cert.CancelDetailRec();
  EXPECT_EQ(w.Cert.DetailRec.DInsuredCity, "Milwaukee");

  w.Cert.DetailRec.DInsuredCity = "Racine";
  w.Cert.DetailRecStatus = drEdit;
  w.Cert.RefreshDetailRec();
  EXPECT_EQ(w.Cert.DetailRec.DInsuredCity, "Racine");
  EXPECT_EQ(w.Cert.DetailStr()[0].substr(277, 6), "Racine");
  EXPECT_EQ(w.Cert.DetailIndex(), 0);
}

TEST(EditingStates, SetterWhileBrowsingDoesNotFetch) {
  TLoggedCert w({"Able", "Baker"});
  w.Cert.SetDetailIndex(1);
  EXPECT_EQ(w.Cert.DetailRec.DInsuredLastName, "Able");
}

TEST(EditingStates, DeleteMarksTheFileChanged) {
  TLoggedCert w({"Able", "Baker"});
  EXPECT_FALSE(w.Cert.FileChanged());
  w.Cert.DeleteDetailRec();
  EXPECT_TRUE(w.Cert.FileChanged());
  EXPECT_EQ(w.Cert.DetailRec.DInsuredLastName, "Baker");
}

}  // namespace
