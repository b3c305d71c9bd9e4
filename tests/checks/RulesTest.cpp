#include <gtest/gtest.h>

#include <functional>

#include "../support/CertSamples.h"
#include "CertFormat.h"
#include "CertRules.h"

using namespace cert;
using namespace certtest;

namespace {

using TMutation = std::function<void(THeaderRec&, TDetailRec&)>;

struct TRuleCase {
  const char* Name;
  TMutation Mutate;
  int Field;  // -1: passes
  std::string Message;
};

class RecordRules : public ::testing::TestWithParam<TRuleCase> {};

TEST_P(RecordRules, FirstFailureIsReportedOnce) {
  const TRuleCase& c = GetParam();
  TCertFormat cert;
  FillPassingHeader(cert.HeaderRec);
  FillPassingDetail(cert.DetailRec);
  c.Mutate(cert.HeaderRec, cert.DetailRec);
  std::vector<std::pair<int, std::string>> reported;
  cert.OnCertError = [&](TObject* sender, int index, const std::string& msg) {
    EXPECT_EQ(sender, nullptr) << "no editor bound";
    reported.emplace_back(index, msg);
  };
  cert.FieldErrorIndex = 7;
  EXPECT_EQ(cert.CheckForErrors(), c.Field);
  if (c.Field < 0) {
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(cert.FieldErrorIndex, -1);
  } else {
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0], std::make_pair(c.Field, c.Message));
    EXPECT_EQ(cert.Binding(c.Field).ErrorMsg, c.Message);
    EXPECT_EQ(cert.FieldErrorIndex, 7) << "a failure leaves it as it was";
  }
}

#define M(body)                      \
  [](THeaderRec& h, TDetailRec& d) { \
    (void)h, (void)d;                \
    body;                            \
  }

const char kNames[] =
    "*** Lastname, Firstname, Middle name, suffix and Attn Line are not  allowed when the Insured "
    "Company Name is used and vice-versa!";
const char kProvider[] = "*** Provider name or insured's company name is required!";
const char kSpan[] =
    "*** Policy cannot span more than 1 year! Please adjust the Policy From Date or Policy To "
    "Date.";
const char kBoth[] =
    "*** Policy revised date and terminated date cannot be filled in at the same time.  Please "
    "remove one of them by clicking on the date to be deleted and press the \"Del\" key.";

INSTANTIATE_TEST_SUITE_P(
    Header, RecordRules,
    ::testing::Values(
        TRuleCase{"Passing", M(), -1, ""},
        TRuleCase{"NameBlanksOnly", M(h.HInsurerName = "   "), 0, "*** Insurer name is required!"},
        TRuleCase {
          "NameBeatsDetail", M(h.HInsurerName = ""; d.DInsuredCity = ""), 0,
              "*** Insurer name is required!"
        },
        TRuleCase{"Addr1", M(h.HInsurerAddr1 = ""), 1, "*** Insurer's address is required!"},
        TRuleCase{"Addr2NeverChecked", M(h.HInsurerAddr2 = ""), -1, ""},
        TRuleCase{"City", M(h.HInsurerCity = ""), 3, "*** Insurer's city is required!"},
        TRuleCase{"State", M(h.HInsurerState = "  "), 4, "*** Insurer's state is required!"},
        TRuleCase{"Zip", M(h.HInsurerZip = ""), 5, "*** Insurer's zipcode is required!"},
        TRuleCase {
          "FinHyphenBeforeNaic", M(h.HInsurerFIN = "39-123456"; h.HInsurerNAIC_Num = ""), 7,
              "*** Insurer's FIN number cannot contain a \"-\"!"
        },
        TRuleCase{"NaicForLicensed", M(h.HInsurerNAIC_Num = ""), 6,
                  "*** Insurer's NAIC Number is required for Licensed Insurer!"},
        TRuleCase { "NaicNotForSelf", M(h.HInsurerNAIC_Num = ""; h.HInsurerType = "2"), -1, "" },
        TRuleCase {
          "TypeEmptyNaicEmpty", M(h.HInsurerNAIC_Num = ""; h.HInsurerType = ""), 8,
              "*** Insurer type must be a 1 or 2!"
        },
        TRuleCase{"TypeOtherPasses", M(h.HInsurerType = "7"), -1, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Insured, RecordRules,
    ::testing::Values(
        TRuleCase{"CompanyAndLastName", M(d.DInsuredCompanyName = "Clinic"), 20, kNames},
        TRuleCase {
          "CompanyAndSuffixOnly",
              M(d.DInsuredCompanyName = "Clinic"; d.DInsuredLastName = ""; d.DInsuredFirstName = "";
                d.DInsuredSuffix = "JR"),
              20, kNames
        },
        TRuleCase {
          "CompanyAndAttnLine",
              M(d.DInsuredCompanyName = "Clinic"; d.DInsuredLastName = ""; d.DInsuredFirstName = "";
                d.DInsuredAttnLine = "Attn: Billing"),
              -1, ""
        },
        TRuleCase{"LastWithoutFirst", M(d.DInsuredFirstName = ""), 20, kProvider},
        TRuleCase {
          "NoNamesAtAll", M(d.DInsuredFirstName = ""; d.DInsuredLastName = ""), 20, kProvider
        },
        TRuleCase{"SuffixMd", M(d.DInsuredSuffix = "md"), 24,
                  "*** Insured's suffix cannot be MD or MO!"},
        TRuleCase{"SuffixMoBlanks", M(d.DInsuredSuffix = " Mo"), 24,
                  "*** Insured's suffix cannot be MD or MO!"},
        TRuleCase{"SuffixMDotD", M(d.DInsuredSuffix = "M.D"), -1, ""},
        TRuleCase{"SuffixMds", M(d.DInsuredSuffix = "MDS"), -1, ""},
        TRuleCase{"Address", M(d.DInsuredAddress = ""), 26, "*** Insured's address is required!"},
        TRuleCase{"City", M(d.DInsuredCity = ""), 27, "*** Insured's city is required!"},
        TRuleCase{"State", M(d.DInsuredState = ""), 28, "*** Insured's state is required!"},
        TRuleCase{"Zip", M(d.DInsuredZip = ""), 29, "*** Insured's zipcode is required!"},
        TRuleCase{"Iso", M(d.DInsuredISO = ""), 31, "*** Insured's ISO code is required!"},
        TRuleCase {
          "ProvTypeBeforeLicense", M(d.DInsuredProvType = ""; d.DInsuredLicenseNum = ""), 32,
              "*** Insured's provider type is required!"
        },
        TRuleCase{"License", M(d.DInsuredLicenseNum = ""), 19,
                  "*** Insured's license number is required!"},
        TRuleCase {
          "LicenseNotForCompany",
              M(d.DInsuredLicenseNum = ""; d.DInsuredCompanyName = "Clinic";
                d.DInsuredLastName = ""; d.DInsuredFirstName = ""),
              -1, ""
        },
        TRuleCase{"InsuredFinHyphen", M(d.DInsuredFIN = "1234-5678"), 30,
                  "*** Insured's FIN number cannot contain a \"-\"!"},
        TRuleCase {
          "HighBytesAndEmptyEverywhere", M(d.Clear(); d.DInsuredCity = "\xFF\xE9"), 20, kProvider
        }),
    [](const auto& info) { return std::string(info.param.Name); });

INSTANTIATE_TEST_SUITE_P(
    Policy, RecordRules,
    ::testing::Values(
        TRuleCase{"FromMissing", M(d.DPolicyFromDate = ""), 11,
                  "*** Policy from date is required!"},
        TRuleCase{"ToMissing", M(d.DPolicyToDate = ""), 12, "*** Policy to date is required!"},
        TRuleCase {
          "SameDay", M(d.DPolicyFromDate = "20260301"; d.DPolicyToDate = "20260301"), -1, ""
        },
        TRuleCase{"ToDayBefore", M(d.DPolicyToDate = "20251231"), 12,
                  "*** Policy to date must be later than from date!"},
        TRuleCase {
          "ExactlyOneYear", M(d.DPolicyFromDate = "20250315"; d.DPolicyToDate = "20260315"), -1, ""
        },
        TRuleCase {
          "OneYearAndADay", M(d.DPolicyFromDate = "20250315"; d.DPolicyToDate = "20260316"), 12,
              kSpan
        },
        TRuleCase {
          "LeapFromToFeb28", M(d.DPolicyFromDate = "20040229"; d.DPolicyToDate = "20050228"), -1, ""
        },
        TRuleCase {
          "LeapFromToMar1", M(d.DPolicyFromDate = "20040229"; d.DPolicyToDate = "20050301"), 12,
              kSpan
        },
        TRuleCase {
          "Feb28ToLeapFeb28", M(d.DPolicyFromDate = "20030228"; d.DPolicyToDate = "20040228"), -1,
              ""
        },
        TRuleCase {
          "Feb28ToLeapFeb29", M(d.DPolicyFromDate = "20030228"; d.DPolicyToDate = "20040229"), 12,
              kSpan
        },
        TRuleCase {
          "Month13SkipsBlock", M(d.DPolicyFromDate = "20261301"; d.DPolicyToDate = "19000101"), -1,
              ""
        },
        TRuleCase {
          "LettersSkipBlock", M(d.DPolicyFromDate = "2026AB01"; d.DPolicyToDate = "1"), -1, ""
        },
        TRuleCase {
          "Day32SkipsBlock", M(d.DPolicyToDate = "20260132"; d.DPolicyFromDate = "20270101"), -1, ""
        },
        TRuleCase {
          "Year0000SkipsBlock", M(d.DPolicyFromDate = "00000101"; d.DPolicyToDate = "00000101"), -1,
              ""
        },
        TRuleCase {
          "Year9999CannotMove", M(d.DPolicyFromDate = "99990101"; d.DPolicyToDate = "99991231"), -1,
              ""
        },
        TRuleCase {
          "LeadingBlanksRead", M(d.DPolicyFromDate = " 2250101"; d.DPolicyToDate = " 2240101"), 12,
              "*** Policy to date must be later than from date!"
        },
        TRuleCase {
          "SkippedBlockGoesOnToRule24",
              M(d.DPolicyFromDate = "2026XX01"; d.DPolicyRevisedDate = "20260601";
                d.DPolicyTerminatedDate = "20260701"),
              13, kBoth
        },
        TRuleCase {
          "RevisedAndTerminated",
              M(d.DPolicyRevisedDate = "20260601"; d.DPolicyTerminatedDate = "20260701";
                d.DRecordProcessingType = "2"),
              13, kBoth
        },
        TRuleCase {
          "NewWithTerminatedAtRule25",
              M(d.DPolicyTerminatedDate = "20260701"; d.DPolicyRetroDate = ""), 14,
              "*** Termination date not allow for new/renewal certificate!"
        },
        TRuleCase{"NewWithRevised", M(d.DPolicyRevisedDate = "20260701"), 13,
                  "*** Revised date not allow for new/renewal certificate!"},
        TRuleCase {
          "RevisedWithoutDateAtRule33", M(d.DRecordProcessingType = "2"; d.DPolicyRetroDate = ""),
              15, "*** Policy retroactive date is required for claims-made base policy!"
        },
        TRuleCase{"RevisedWithoutDate", M(d.DRecordProcessingType = "2"), 13,
                  "*** Revised date is required for revised certificate!"},
        TRuleCase {
          "RevisedWithDate", M(d.DRecordProcessingType = "2"; d.DPolicyRevisedDate = "20260601"),
              -1, ""
        },
        TRuleCase{"TerminatedWithoutDate", M(d.DRecordProcessingType = "3"), 14,
                  "*** Termination date is required for terminated certificate!"},
        TRuleCase {
          "TerminatedWithRevised",
              M(d.DRecordProcessingType = "3"; d.DPolicyRevisedDate = "20260601"), 13,
              "*** Revised date not allow for terminated certificate!"
        },
        TRuleCase {
          "TerminatedWithDate",
              M(d.DRecordProcessingType = "3"; d.DPolicyTerminatedDate = "20260601"), -1, ""
        },
        TRuleCase{"OtherProcessingTypePasses", M(d.DRecordProcessingType = "9"), -1, ""},
        TRuleCase{"ClaimsMadeNeedsRetro", M(d.DPolicyRetroDate = ""), 15,
                  "*** Policy retroactive date is required for claims-made base policy!"},
        TRuleCase{"OccurrenceWithRetro", M(d.DPolicyCoverageType = "2"), 15,
                  "*** Policy retroactive date is not required for occurrence base policy!"},
        TRuleCase{"OtherCoverageAnyRetro", M(d.DPolicyCoverageType = "5"), -1, ""},
        TRuleCase {
          "CoverageEmpty", M(d.DPolicyCoverageType = ""; d.DPolicyRetroDate = ""), 16,
              "*** Policy coverage type is required!"
        },
        TRuleCase{"PolicyNumber", M(d.DPolicyNum = ""), 9, "*** Policy number is required!"},
        TRuleCase {
          "PolicyNumberNotWithCompany",
              M(d.DPolicyNum = ""; d.DInsuredCompanyName = "Clinic"; d.DInsuredLastName = "";
                d.DInsuredFirstName = ""),
              -1, ""
        },
        TRuleCase{"Occurrence", M(d.DPolicyOccurrenceLimit = ""), 17,
                  "*** Policy occurrence limit is required!"},
        TRuleCase{"Aggregate", M(d.DPolicyAggregateLimit = " "), 18,
                  "*** Policy aggregate limit is required!"},
        TRuleCase{"ProcessingType", M(d.DRecordProcessingType = ""), 34,
                  "*** Processing type is required!"},
        TRuleCase{"BlanksInNumbers", M(d.DPolicyOccurrenceLimit = "1 000"), -1, ""}),
    [](const auto& info) { return std::string(info.param.Name); });

#undef M

TEST(ProcessingType, FourthRowFailsOnlyOutsideTheRecordCheck) {
  TCertFormat cert;
  FillPassingDetail(cert.DetailRec);
  cert.DetailRec.DRecordProcessingType = "2";
  cert.DetailRec.DPolicyRevisedDate = "20260601";
  cert.DetailRec.DPolicyTerminatedDate = "20260701";
  int reported = -1;
  cert.OnCertError = [&](TObject*, int index, const std::string&) { reported = index; };
  EXPECT_EQ(cert.CheckProcessingType(), 14);
  EXPECT_EQ(reported, 14);
  EXPECT_EQ(cert.Binding(14).ErrorMsg, "*** Termination date not allow for revised certificate!");
}

TEST(SpansMoreThanOneYear, MovesFebruary29ToThe28th) {
  EXPECT_FALSE(SpansMoreThanOneYear({2004, 2, 29}, {2005, 2, 28}));
  EXPECT_TRUE(SpansMoreThanOneYear({2004, 2, 29}, {2005, 3, 1}));
  EXPECT_FALSE(SpansMoreThanOneYear({9999, 1, 1}, {9999, 12, 31}));
}

TEST(RuleSlots, PassingRuleClearsItsSlot) {
  TCertFormat cert;
  FillPassingHeader(cert.HeaderRec);
  FillPassingDetail(cert.DetailRec);
  cert.DetailRec.DInsuredCity = "";
  ASSERT_EQ(cert.CheckForErrors(), 27);
  cert.DetailRec.DInsuredCity = "Racine";
  ASSERT_EQ(cert.CheckForErrors(), -1);
  EXPECT_EQ(cert.Binding(27).ErrorMsg, "");
}

}  // namespace
