#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "../support/CertSamples.h"
#include "CertDuplicates.h"
#include "CertFormat.h"

using namespace cert;
using namespace certtest;

namespace {

using TDetailMutation = std::function<void(TDetailRec&)>;

struct TKeyCase {
  const char* Name;
  TDetailMutation First, Second;
  bool Duplicate;
};

class ProviderKey : public ::testing::TestWithParam<TKeyCase> {};

TEST_P(ProviderKey, DecidesWhetherTheSecondRepeatsTheFirst) {
  const TKeyCase& c = GetParam();
  TDetailRec a, b;
  FillPassingDetail(a, "First");
  FillPassingDetail(b, "Second");
  c.First(a);
  c.Second(b);
  // Parsed as the workspace parses, so that values are trimmed as in the list.
  ParseDetailLine(BuildDetailLine(a, "2"), a);
  ParseDetailLine(BuildDetailLine(b, "2"), b);
  EXPECT_EQ(SameProviderKey(a, b), c.Duplicate);
  EXPECT_EQ(SameProviderKey(b, a), c.Duplicate);
  if (c.Duplicate) {
    EXPECT_EQ(ProviderKeyHash(a), ProviderKeyHash(b));
  }

  TCertFormat cert;
  cert.NewDetailRec();
  cert.DetailRec = a;
  cert.PostDetailRec();
  cert.NewDetailRec();
  cert.DetailRec = b;
  cert.PostDetailRec();
  std::vector<std::pair<int, int>> pairs;
  cert.OnDuplicateProvider = [&](TObject* sender, int i1, int i2) {
    EXPECT_EQ(sender, &cert);
    pairs.emplace_back(i1, i2);
  };
  EXPECT_EQ(cert.FindDuplicateProviders(), c.Duplicate ? 1 : 0);
  const std::vector<std::pair<int, int>> expected =
      c.Duplicate ? std::vector<std::pair<int, int>>{{0, 1}} : std::vector<std::pair<int, int>>{};
  EXPECT_EQ(pairs, expected);
}

const TDetailMutation kNone = [](TDetailRec&) {};

INSTANTIATE_TEST_SUITE_P(
    Keys, ProviderKey,
    ::testing::Values(
        // Names, addresses and everything outside the key may differ.
        TKeyCase{"SameKeyOtherNames", kNone, [](TDetailRec& d) { d.DInsuredCity = "Racine"; },
                 true},
        TKeyCase{"BlanksAroundLicense", kNone,
                 [](TDetailRec& d) { d.DInsuredLicenseNum = " 12345 "; }, true},
        TKeyCase{"OtherLicense", kNone, [](TDetailRec& d) { d.DInsuredLicenseNum = "12346"; },
                 false},
        TKeyCase{"OtherPolicy", kNone, [](TDetailRec& d) { d.DPolicyNum = "POL-2"; }, false},
        TKeyCase{"PolicyCaseCounts", kNone, [](TDetailRec& d) { d.DPolicyNum = "pol-1"; }, false},
        TKeyCase{"OtherFromDate", kNone, [](TDetailRec& d) { d.DPolicyFromDate = "20260102"; },
                 false},
        TKeyCase{"OtherProcessingType", kNone, [](TDetailRec& d) { d.DRecordProcessingType = "2"; },
                 false},
        TKeyCase{"NoLicenseNeverDuplicates", [](TDetailRec& d) { d.DInsuredLicenseNum = ""; },
                 [](TDetailRec& d) { d.DInsuredLicenseNum = ""; }, false},
        TKeyCase{"BlankLicenseIsNoLicense", [](TDetailRec& d) { d.DInsuredLicenseNum = "   "; },
                 [](TDetailRec& d) { d.DInsuredLicenseNum = "   "; }, false},
        // Only the license must be there: the other parts match when both are empty.
        TKeyCase{"BothWithoutPolicyNumber", [](TDetailRec& d) { d.DPolicyNum = ""; },
                 [](TDetailRec& d) { d.DPolicyNum = ""; }, true},
        TKeyCase{"OneWithoutPolicyNumber", kNone, [](TDetailRec& d) { d.DPolicyNum = ""; }, false},
        // Parts that run into each other must not make different keys equal.
        TKeyCase{"PartsDoNotRunTogether",
                 [](TDetailRec& d) {
                   d.DInsuredLicenseNum = "12";
                   d.DPolicyNum = "345";
                 },
                 [](TDetailRec& d) {
                   d.DInsuredLicenseNum = "123";
                   d.DPolicyNum = "45";
                 },
                 false}),
    [](const auto& info) { return std::string(info.param.Name); });

class Duplicates : public ::testing::Test {
 protected:
  // One record per license number; equal numbers make equal keys.
  void Load(const std::vector<std::string>& licenses) {
    for (const std::string& lic : licenses) {
      FillPassingDetail(Cert.DetailRec, "Name" + lic);
      Cert.DetailRec.DInsuredLicenseNum = lic;
      Cert.NewDetailRec();
      Cert.PostDetailRec();
    }
    Cert.OnDuplicateProvider = [this](TObject*, int i1, int i2) { Pairs.emplace_back(i1, i2); };
  }
  TCertFormat Cert;
  std::vector<std::pair<int, int>> Pairs;
};

TEST_F(Duplicates, RaisedInListOrderWithTheFirstRecordAsIndex1) {
  Load({"A", "B", "A", "C", "B", "A", "", ""});
  EXPECT_EQ(Cert.FindDuplicateProviders(), 3);
  EXPECT_EQ(Pairs, (std::vector<std::pair<int, int>>{{0, 2}, {1, 4}, {0, 5}}));
}

TEST_F(Duplicates, ChangesNothingAndCountsWithoutAHandler) {
  Load({"A", "B", "A"});
  Cert.OnDuplicateProvider = nullptr;
  Cert.GotoDetailRec(1);
  const std::string shown = Cert.DetailRec.DInsuredLastName.Str();
  const bool changed = Cert.FileChanged();
  EXPECT_EQ(Cert.FindDuplicateProviders(), 1);
  EXPECT_EQ(Cert.DetailIndex(), 1);
  EXPECT_EQ(Cert.DetailRec.DInsuredLastName, shown);
  EXPECT_EQ(Cert.DetailRecStatus, drBrowse);
  EXPECT_EQ(Cert.FileChanged(), changed);
  EXPECT_EQ(Cert.DetailStr().Count(), 3);
}

TEST_F(Duplicates, CheckAllForErrorsStillPassesAndRaisesNothing) {
  Load({"A", "A"});
  FillPassingHeader(Cert.HeaderRec);
  EXPECT_TRUE(Cert.CheckAllForErrors());
  EXPECT_TRUE(Pairs.empty());
}

TEST_F(Duplicates, EmptyListFindsNothing) {
  Load({});
  EXPECT_EQ(Cert.FindDuplicateProviders(), 0);
  EXPECT_TRUE(Pairs.empty());
}

TEST(DuplicateIndex, KeepsTheFirstIndexOfEachHashThroughGrowth) {
  TDuplicateIndex index;
  constexpr int kKeys = 50000;
  // Hashes that share their low bits pile into one run of slots.
  auto hashOf = [](int k) { return (static_cast<std::uint64_t>(k) << 20) | 7; };
  for (int k = 0; k < kKeys; ++k) ASSERT_EQ(index.FirstOrAdd(hashOf(k), k), -1) << k;
  for (int k = 0; k < kKeys; k += 97) EXPECT_EQ(index.FirstOrAdd(hashOf(k), kKeys + k), k);
  index.Clear();
  EXPECT_EQ(index.FirstOrAdd(hashOf(3), 9), -1);
  EXPECT_EQ(index.FirstOrAdd(hashOf(3), 10), 9);
}

}  // namespace
