#include <gtest/gtest.h>

#include <functional>

#include "../support/CertSamples.h"
#include "CertFormat.h"
#include "CertRules.h"

using namespace cert;
using namespace certtest;

namespace {

using TMutation = std::function<void(THeaderRec&, TDetailRec&)>;

// One listed failure: the rule's number (1-based, as the rule table counts) and its field.
struct TListed {
  int Rule;
  int Field;
  bool operator==(const TListed& o) const { return Rule == o.Rule && Field == o.Field; }
};

void PrintTo(const TListed& l, std::ostream* os) {
  *os << "rule " << l.Rule << " field " << l.Field;
}

struct TAllRulesCase {
  const char* Name;
  TMutation Mutate;
  TRuleScope Scope;
  std::vector<TListed> Expected;
};

std::vector<TListed> Listed(const THeaderRec& h, const TDetailRec& d, TRuleScope scope) {
  std::vector<TCheckResult> out{TCheckResult{}};  // cleared by the call
  ListFailingRules(h, d, out, scope);
  std::vector<TListed> listed;
  for (const TCheckResult& r : out) listed.push_back({r.Rule + 1, r.Field});
  return listed;
}

class AllRules : public ::testing::TestWithParam<TAllRulesCase> {};

TEST_P(AllRules, ListsEveryFailingRuleInOrder) {
  const TAllRulesCase& c = GetParam();
  THeaderRec h;
  TDetailRec d;
  FillPassingHeader(h);
  FillPassingDetail(d);
  c.Mutate(h, d);
  EXPECT_EQ(Listed(h, d, c.Scope), c.Expected);
}

#define M(body)                      \
  [](THeaderRec& h, TDetailRec& d) { \
    (void)h, (void)d;                \
    body;                            \
  }

INSTANTIATE_TEST_SUITE_P(
    Cases, AllRules,
    ::testing::Values(
        TAllRulesCase{"Passing", M(), rsAll, {}},
        TAllRulesCase {
          "CityAndAggregate", M(d.DInsuredCity = ""; d.DPolicyAggregateLimit = ""), rsAll, {
            {13, 27}, { 31, 18 }
          }
        },
        TAllRulesCase {
          "HeaderAndDetail", M(h.HInsurerName = ""; h.HInsurerZip = ""; d.DInsuredCity = ""), rsAll,
          {
            {1, 0}, {5, 5}, { 13, 27 }
          }
        },
        TAllRulesCase {
          "HeaderScope", M(h.HInsurerName = ""; h.HInsurerZip = ""; d.DInsuredCity = ""), rsHeader,
          {
            {1, 0}, { 5, 5 }
          }
        },
        TAllRulesCase {
          "DetailScope", M(h.HInsurerName = ""; h.HInsurerZip = ""; d.DInsuredCity = ""), rsDetail,
          {
            { 13, 27 }
          }
        },
        // Rule 25 fails, and rule 33 would fail again with the same message: listed once.
        TAllRulesCase {
          "ProcessingTypeOnceAt25",
              M(d.DPolicyTerminatedDate = "20260601"; d.DPolicyAggregateLimit = ""), rsAll, {
            {25, 14}, { 31, 18 }
          }
        },
        // Neither date: rule 25 does not apply; the failure shows at rule 33 only.
        TAllRulesCase {
          "ProcessingTypeOnceAt33", M(d.DRecordProcessingType = "2"; d.DPolicyCoverageType = ""),
              rsAll, {
            {28, 16}, { 33, 13 }
          }
        },
        TAllRulesCase {
          "BothDatesThenProcessingType",
              M(d.DPolicyRevisedDate = "20260301"; d.DPolicyTerminatedDate = "20260601"), rsAll, {
            {24, 13}, { 25, 13 }
          }
        },
        // An empty from date leaves the to date unreadable: rules 22 and 23 are skipped.
        TAllRulesCase {
          "BothPolicyDatesEmpty", M(d.DPolicyFromDate = ""; d.DPolicyToDate = ""), rsAll, {
            {20, 11}, { 21, 12 }
          }
        },
        TAllRulesCase {
          "CompanyWithNamesNeedsNoLicense",
              M(d.DInsuredCompanyName = "Clinic"; d.DInsuredLicenseNum = ""), rsAll, {
            { 9, 20 }
          }
        },
        TAllRulesCase {
          "ManyAtOnce",
              M(d.DInsuredFirstName = ""; d.DInsuredSuffix = "MD"; d.DInsuredISO = "";
                d.DInsuredLicenseNum = ""; d.DInsuredFIN = "12-345678"; d.DPolicyCoverageType = "2";
                d.DPolicyNum = ""; d.DRecordProcessingType = ""),
              rsAll, {
            {10, 20}, {11, 24}, {16, 31}, {18, 19}, {19, 30}, {27, 15}, {29, 9}, { 32, 34 }
          }
        }),
    [](const auto& info) { return std::string(info.param.Name); });

// Whatever fails, the first listed failure is the one CheckForErrors reports, with its message.
TEST(AllRulesFirst, IsWhatCheckForErrorsReports) {
  const std::vector<TMutation> mutations = {
      M(h.HInsurerCity = ""),
      M(h.HInsurerNAIC_Num = ""),
      M(d.DInsuredCompanyName = "Clinic"),
      M(d.DInsuredCity = ""),
      M(d.DInsuredLicenseNum = ""),
      M(d.DPolicyToDate = "20250101"),
      M(d.DPolicyRevisedDate = "20260301"),
      M(d.DPolicyTerminatedDate = "20260601"),
      M(d.DPolicyRetroDate = ""),
      M(d.DRecordProcessingType = "3"),
      M(d.DPolicyOccurrenceLimit = ""),
  };
  const unsigned combinations = 1u << mutations.size();
  std::vector<TCheckResult> all;
  for (unsigned bits = 0; bits < combinations; ++bits) {
    TCertFormat cert;
    FillPassingHeader(cert.HeaderRec);
    FillPassingDetail(cert.DetailRec);
    for (std::size_t m = 0; m < mutations.size(); ++m)
      if (bits & (1u << m)) mutations[m](cert.HeaderRec, cert.DetailRec);
    ListFailingRules(cert.HeaderRec, cert.DetailRec, all);
    const int field = cert.CheckForErrors();
    SCOPED_TRACE(bits);
    if (field < 0) {
      EXPECT_TRUE(all.empty());
      continue;
    }
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0].Field, field);
    EXPECT_EQ(*all[0].Message, cert.Binding(field).ErrorMsg);
    EXPECT_EQ(all[0].Rule, CheckRecordRules(cert.HeaderRec, cert.DetailRec).Rule);
    for (std::size_t k = 1; k < all.size(); ++k) EXPECT_LT(all[k - 1].Rule, all[k].Rule);
    // The record's own rules are the listed ones after the header's.
    std::vector<TCheckResult> own;
    ListFailingRules(cert.HeaderRec, cert.DetailRec, own, rsDetail);
    std::size_t header = 0;
    while (header < all.size() && all[header].Field < HeaderFieldCount) ++header;
    ASSERT_EQ(own.size(), all.size() - header);
    for (std::size_t k = 0; k < own.size(); ++k) EXPECT_EQ(own[k].Rule, all[header + k].Rule);
  }
}

TEST(AllRulesScope, DetailRulesNeverReadTheHeader) {
  THeaderRec empty;
  TDetailRec d;
  FillPassingDetail(d);
  d.DInsuredState = "";
  const TCheckResult r = CheckRecordRules(empty, d, rsDetail);
  EXPECT_EQ(r.Field, fnDInsuredState);
  EXPECT_EQ(*r.Message, "*** Insured's state is required!");
  EXPECT_EQ(CheckRecordRules(empty, d, rsHeader).Field, fnHInsurerName);
  FillPassingDetail(d);
  EXPECT_EQ(CheckRecordRules(empty, d, rsDetail).Field, -1);
}

}  // namespace
