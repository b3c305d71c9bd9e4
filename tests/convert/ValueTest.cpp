#include <gtest/gtest.h>

#include <random>

#include "CertEntry.h"
#include "CertLayout.h"
#include "CsvValue.h"

using namespace cert;
using namespace certcsv;

namespace {

// A CSV value and what it becomes in a field; an empty Reason means it converts to Expected.
struct TValueCase {
  const char* Name;
  int Field;
  std::string Value;
  std::string Expected;
  std::string Reason;  // a part of the reason when the value is refused
};

void PrintTo(const TValueCase& c, std::ostream* os) { *os << c.Name; }

class ValueConversion : public ::testing::TestWithParam<TValueCase> {};

TEST_P(ValueConversion, GivesTheRecordFormOrSaysWhyNot) {
  const TValueCase& c = GetParam();
  std::string out = "garbage", reason;
  const bool ok = ConvertValue(c.Field, c.Value, out, reason);
  if (c.Reason.empty()) {
    EXPECT_TRUE(ok) << reason;
    EXPECT_EQ(out, c.Expected);
  } else {
    EXPECT_FALSE(ok) << "gave " << out;
    EXPECT_EQ(out, "");
    EXPECT_NE(reason.find(c.Reason), std::string::npos) << reason;
  }
}

const char kNoForm[] = "is not a date in a known form";

INSTANTIATE_TEST_SUITE_P(
    Dates, ValueConversion,
    ::testing::Values(
        TValueCase{"YYYYMMDD", fnDPolicyFromDate, "20260102", "20260102", ""},
        TValueCase{"MM_DD_YYYY", fnDPolicyToDate, "01/02/2026", "20260102", ""},
        TValueCase{"M_D_YYYY", fnDPolicyRetroDate, "1/2/2026", "20260102", ""},
        TValueCase{"MM_D_YYYY", fnDPolicyRetroDate, "12/2/2026", "20261202", ""},
        TValueCase{"ISO", fnDPolicyRevisedDate, "2026-01-02", "20260102", ""},
        TValueCase{"TwoDigitYear49", fnDPolicyFromDate, "1/2/49", "20490102", ""},
        TValueCase{"TwoDigitYear50", fnDPolicyFromDate, "1/2/50", "19500102", ""},
        TValueCase{"TwoDigitYear99", fnDPolicyFromDate, "12/31/99", "19991231", ""},
        TValueCase{"TwoDigitYear00", fnDPolicyFromDate, "02/29/00", "20000229", ""},
        TValueCase{"BlanksAround", fnDPolicyFromDate, "  20260102 ", "20260102", ""},
        TValueCase{"Empty", fnDPolicyFromDate, "", "", ""},
        TValueCase{"OnlyBlanks", fnDPolicyFromDate, "   ", "", ""},
        TValueCase{"FirstDay", fnDPolicyFromDate, "18991231", "18991231", ""},
        TValueCase{"LastDay", fnDPolicyFromDate, "12/31/9999", "99991231", ""},
        TValueCase{"BeforeFirstDay", fnDPolicyFromDate, "18991230", "", "lies before 12/31/1899"},
        TValueCase{"YearZero", fnDPolicyFromDate, "00000101", "", "is not a valid date"},
        TValueCase{"February30", fnDPolicyFromDate, "02/30/2026", "", "is not a valid date"},
        TValueCase{"NotLeap", fnDPolicyFromDate, "2025-02-29", "", "is not a valid date"},
        TValueCase{"Month13", fnDPolicyFromDate, "20261301", "", "is not a valid date"},
        TValueCase{"ThreeDigitYear", fnDPolicyFromDate, "1/2/026", "", kNoForm},
        TValueCase{"DayFirstDashes", fnDPolicyFromDate, "02-01-2026", "", kNoForm},
        TValueCase{"ShortIso", fnDPolicyFromDate, "2026-1-2", "", kNoForm},
        TValueCase{"SevenDigits", fnDPolicyFromDate, "2026012", "", kNoForm},
        TValueCase{"WithTime", fnDPolicyFromDate, "1/2/2026 0:00", "", kNoForm},
        TValueCase{"Words", fnDPolicyFromDate, "January 2, 2026", "", kNoForm},
        TValueCase{"SerialNumber", fnDPolicyFromDate, "46024", "", kNoForm}));

INSTANTIATE_TEST_SUITE_P(
    Codes, ValueConversion,
    ::testing::Values(
        TValueCase{"StateCode", fnDInsuredState, "WI", "WI", ""},
        TValueCase{"StateCodeLower", fnHInsurerState, "wi", "WI", ""},
        TValueCase{"StateText", fnDInsuredState, "WISCONSIN", "WI", ""},
        TValueCase{"StateTextMixed", fnDInsuredState, "New York", "NY", ""},
        TValueCase{"StateRow", fnDInsuredState, "WI - Wisconsin", "WI", ""},
        TValueCase{"StateRowUpper", fnDInsuredState, "DC - DISTRICT OF COLUMBIA", "DC", ""},
        TValueCase{"StateTextWithDash", fnHInsurerState, "armed forces - europe", "AE", ""},
        TValueCase{"WestVirginiaNotVirginia", fnDInsuredState, "West Virginia", "WV", ""},
        TValueCase{"StateUnknown", fnDInsuredState, "XX", "", "state list"},
        TValueCase{"StatePartOfText", fnDInsuredState, "Wiscon", "", "state list"},
        TValueCase{"InsurerTypeCode", fnHInsurerType, "2", "2", ""},
        TValueCase{"InsurerTypeText", fnHInsurerType, "licensed insurer", "1", ""},
        TValueCase{"CoverageCode", fnDPolicyCoverageType, "1", "1", ""},
        TValueCase{"CoverageText", fnDPolicyCoverageType, "CLAIMS MADE", "1", ""},
        TValueCase{"CoverageRow", fnDPolicyCoverageType, "2 - occurrence", "2", ""},
        TValueCase{"CoverageUnknown", fnDPolicyCoverageType, "3", "", "coverage type list"},
        TValueCase{"ProviderCode", fnDInsuredProvType, "09", "09", ""},
        TValueCase{"ProviderOneDigit", fnDInsuredProvType, "9", "09", ""},
        TValueCase{"ProviderText", fnDInsuredProvType, "Nurse Anesthetist", "30", ""},
        TValueCase{"ProviderNoEight", fnDInsuredProvType, "08", "", "provider type list"},
        TValueCase{"ProviderOneDigitMissing", fnDInsuredProvType, "8", "", "provider type list"},
        TValueCase{"LimitedCode", fnDLimitedCovInd, "y", "Y", ""},
        TValueCase{"LimitedText", fnDLimitedCovInd, "Unlimited Coverage", "N", ""},
        TValueCase{"ProcessingText", fnDRecordProcessingType, "terminated cert", "3", ""},
        TValueCase{"ProcessingRow", fnDRecordProcessingType, "1 - NEW/RENEWAL CERT", "1", ""},
        TValueCase{"ProcessingUnknown", fnDRecordProcessingType, "new", "",
                   "processing type list"}));

INSTANTIATE_TEST_SUITE_P(
    Numbers, ValueConversion,
    ::testing::Values(
        TValueCase{"LimitPlain", fnDPolicyOccurrenceLimit, "1000000", "1000000", ""},
        TValueCase{"LimitDollarsCommas", fnDPolicyOccurrenceLimit, "$1,000,000", "1000000", ""},
        TValueCase{"LimitBlanks", fnDPolicyAggregateLimit, "$ 3 000 000", "3000000", ""},
        TValueCase{"LimitNoBreakSpace", fnDPolicyAggregateLimit,
                   "3\xC2\xA0"
                   "000\xC2\xA0"
                   "000",
                   "3000000", ""},
        TValueCase{"LimitCents", fnDPolicyOccurrenceLimit, "1000.00", "", "\".\" (character 5)"},
        TValueCase{"LimitNegative", fnDPolicyOccurrenceLimit, "-1000", "", "\"-\" (character 1)"},
        TValueCase{"LimitTooLong", fnDPolicyOccurrenceLimit, "$1,000,000,000", "",
                   "is longer than the field (9 characters)"},
        TValueCase{"NaicCommas", fnHInsurerNAIC_Num, "40,512", "40512", ""},
        TValueCase{"NaicLetters", fnHInsurerNAIC_Num, "4O512", "", "\"O\" (character 2)"},
        TValueCase{"IsoCode", fnDInsuredISO, "80263", "80263", ""},
        TValueCase{"IsoTooLong", fnDInsuredISO, "802631", "", "longer than the field (5"},
        TValueCase{"FinWithDash", fnDInsuredFIN, "39-1234567", "391234567", ""},
        TValueCase{"HeaderFinWithDash", fnHInsurerFIN, "39-1234567", "391234567", ""},
        TValueCase{"FinShort", fnDInsuredFIN, "39-123456", "", "is incomplete"},
        TValueCase{"FinLong", fnHInsurerFIN, "39-12345678", "", "longer than the field (9"},
        TValueCase{"ZipPlain", fnDInsuredZip, "53703", "53703", ""},
        TValueCase{"ZipPlusFour", fnHInsurerZip, "53703-1234", "53703-1234", ""},
        TValueCase{"ZipNineDigits", fnDInsuredZip, "537031234", "53703-1234", ""},
        TValueCase{"ZipBlankForDash", fnDInsuredZip, "53703 1234", "53703-1234", ""},
        TValueCase{"ZipFourDigits", fnDInsuredZip, "1234", "", "is incomplete"},
        TValueCase{"ZipDashOnly", fnDInsuredZip, "53703-", "", "is incomplete"},
        TValueCase{"ZipShortPlus", fnDInsuredZip, "53703-123", "", "is incomplete"},
        TValueCase{"ZipTenDigits", fnDInsuredZip, "5370312345", "", "longer than the field (10"},
        TValueCase{"ZipLetters", fnDInsuredZip, "5370A", "", "\"A\" (character 5)"}));

INSTANTIATE_TEST_SUITE_P(
    Text, ValueConversion,
    ::testing::Values(
        TValueCase{"PolicyUpperCased", fnDPolicyNum, "ab 1/2", "AB 1/2", ""},
        TValueCase{"FormUpperCased", fnDPolicyFormNum, "ab-12", "AB-12", ""},
        TValueCase{"LicenseUpperCased", fnDInsuredLicenseNum, "md-12", "MD-12", ""},
        TValueCase{"AccentUpperCased", fnDPolicyNum, "\xC3\xA9t\xC3\xA9", "\xC9T\xC9", ""},
        TValueCase{"NameAsTyped", fnDInsuredLastName, "van der Berg", "van der Berg", ""},
        TValueCase{"NameCp1252", fnDInsuredLastName, "M\xC3\xBCller", "M\xFCller", ""},
        TValueCase{"EuroSign", fnDInsuredCompanyName, "\xE2\x82\xAC Clinic", "\x80 Clinic", ""},
        TValueCase{"NameOutsideCp1252", fnDInsuredLastName, "Dvo\xC5\x99\xC3\xA1k", "",
                   "Windows-1252 cannot hold (U+0159)"},
        TValueCase{"Snowman", fnHInsurerName, "Acme \xE2\x98\x83", "", "(U+2603)"},
        TValueCase{"DetailTrimmed", fnDInsuredCity, "  Madison  ", "Madison", ""},
        TValueCase{"HeaderKeepsLeadingBlank", fnHInsurerName, " Acme  ", " Acme", ""},
        TValueCase{"HeaderZipTrimmed", fnHInsurerZip, " 53703 ", "53703", ""},
        TValueCase{"Name45", fnHInsurerName, std::string(45, 'x'), std::string(45, 'x'), ""},
        TValueCase{"Name46", fnHInsurerName, std::string(46, 'x'), "",
                   "is longer than the field (45 characters)"},
        TValueCase{"Suffix4", fnDInsuredSuffix, "Jr.x", "", "longer than the field (3"},
        TValueCase{"SuffixMultibyteFits", fnDInsuredSuffix, "\xC3\xA9\xC3\xA9\xC3\xA9",
                   "\xE9\xE9\xE9", ""},
        TValueCase{"LineBreak", fnDInsuredAddress, "1 Main St\nSuite 4", "", "holds a line break"},
        TValueCase{"CarriageReturn", fnDInsuredAddress, "1 Main St\rSuite 4", "",
                   "holds a line break"},
        TValueCase{"Tab", fnDInsuredAddress, "1 Main\tSt", "", "control character (U+0009)"},
        TValueCase{"TrailingLineBreakIsBlank", fnDInsuredAddress, "1 Main St\r\n", "1 Main St",
                   ""}));

// Typing the value key by key is the definition; whole-value matching is how conversion gets
// there quickly. Both must agree over every mask of the window.
class TypingAgreesWithConversion : public ::testing::TestWithParam<int> {};

TEST_P(TypingAgreesWithConversion, OverEveryMask) {
  const int field = GetParam();
  const std::string mask = FieldEntries[static_cast<std::size_t>(field)].Mask;
  const std::string values[] = {"a",          "ab-12",      "Abc Def",    "12345",
                                "123456789",  "1234567890", "12345-6789", "12345-678",
                                "12345 6789", "x1",         "1x",         "ABC"};
  // Digits-only masks have "$", ",", blanks (and "-" in the FINs) taken out first.
  const bool cleaned = mask.find_first_not_of("*0123456789#[]{}") == std::string::npos;
  for (const std::string& v : values) {
    if (cleaned && v.find_first_of("- ") != std::string::npos) continue;
    std::string typed, typedReason, converted, convertedReason;
    const bool typedOk = TypeIntoMask(mask, v, typed, typedReason);
    const bool fits = typed.size() <= FieldTable[static_cast<std::size_t>(field)].Width;
    const bool convertedOk = ConvertValue(field, v, converted, convertedReason);
    EXPECT_EQ(convertedOk, typedOk && fits) << mask << " " << v;
    if (convertedOk) {
      EXPECT_EQ(converted, typed) << mask << " " << v;
    }
  }
}

std::vector<int> MaskedFields() {
  std::vector<int> fields;
  for (const TFieldEntry& e : FieldEntries)
    if (e.Mask) fields.push_back(e.Number);
  return fields;
}

INSTANTIATE_TEST_SUITE_P(Masks, TypingAgreesWithConversion, ::testing::ValuesIn(MaskedFields()));

TEST(TypeIntoMask, KeysAsTheFieldTakesThem) {
  std::string out, reason;
  EXPECT_TRUE(TypeIntoMask("*5{#}[-*4#]", "123456789", out, reason));
  EXPECT_EQ(out, "12345-6789");
  // The hyphen comes with the sixth digit, but the field cannot be left so.
  EXPECT_FALSE(TypeIntoMask("*5{#}[-*4#]", "123456", out, reason));
  EXPECT_EQ(out, "12345-6");
  EXPECT_NE(reason.find("incomplete"), std::string::npos);
  EXPECT_FALSE(TypeIntoMask("*9[#]", "12a", out, reason));
  EXPECT_EQ(reason, "has \"a\" (character 3) where the field's mask \"*9[#]\" does not take it");
  // A malformed mask passes every key and refuses to be left.
  EXPECT_FALSE(TypeIntoMask("*", "abc", out, reason));
  EXPECT_TRUE(TypeIntoMask("#-#", "12", out, reason));
  EXPECT_EQ(out, "1-2");
}

// A converter remembers each field's last value; repeated, changed and refused values must
// come out as one-off conversions do.
TEST(ValueConverter, GivesWhatEachConversionAloneGives) {
  const std::pair<int, std::string> sequence[] = {
      {fnDInsuredZip, "53703"},      {fnDInsuredZip, "53703"}, {fnDInsuredZip, "1234"},
      {fnDInsuredZip, "1234"},       {fnDInsuredZip, "53703"}, {fnDInsuredZip, ""},
      {fnDPolicyFromDate, "1/2/26"}, {fnDInsuredZip, "1234"},  {fnDPolicyFromDate, "x"},
      {fnDPolicyFromDate, "x"},      {fnDInsuredState, "wi"},  {fnDInsuredState, "WI"},
      {fnDPolicyNum, "ab"},          {fnDPolicyFormNum, "ab"}, {fnDPolicyNum, "ab"}};
  TValueConverter converter;
  for (const auto& [field, value] : sequence) {
    std::string once, onceReason;
    const bool ok = ConvertValue(field, value, once, onceReason);
    const TConversion& many = converter.Convert(field, value);
    EXPECT_EQ(many.Ok, ok) << field << " " << value;
    EXPECT_EQ(many.Value, once) << field << " " << value;
    EXPECT_EQ(many.Reason, onceReason) << field << " " << value;
  }
}

TEST(ValueConverter, AllDigitValuesOfOneLengthTypeAlike) {
  std::mt19937 random(1950);
  auto digits = [&](std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i)
      s += static_cast<char>('0' + std::uniform_int_distribution<int>(0, 9)(random));
    return s;
  };
  for (const TFieldEntry& e : FieldEntries) {
    if (!e.Mask) continue;
    TValueConverter converter;
    for (std::size_t n = 1; n <= FieldTable[static_cast<std::size_t>(e.Number)].Width + 1; ++n) {
      for (int k = 0; k < 3; ++k) {
        const std::string value = digits(n);
        std::string once, onceReason;
        const bool ok = ConvertValue(e.Number, value, once, onceReason);
        const TConversion& many = converter.Convert(e.Number, value);
        EXPECT_EQ(many.Ok, ok) << e.Mask << " " << value;
        EXPECT_EQ(many.Value, once) << e.Mask << " " << value;
        EXPECT_EQ(many.Reason, onceReason) << e.Mask << " " << value;
      }
    }
  }
}

TEST(HasLiteralDigit, TellsCountsFromLiterals) {
  EXPECT_FALSE(HasLiteralDigit("*5{#}[-*4#]"));
  EXPECT_FALSE(HasLiteralDigit("*45[@]"));
  EXPECT_FALSE(HasLiteralDigit("*12#"));
  EXPECT_TRUE(HasLiteralDigit("#5#"));
  EXPECT_TRUE(HasLiteralDigit("*2{1}"));
  EXPECT_TRUE(HasLiteralDigit("{0,1}"));
  EXPECT_TRUE(HasLiteralDigit(";5"));
  EXPECT_TRUE(HasLiteralDigit("*3;4"));
  EXPECT_TRUE(HasLiteralDigit(";*3#"));  // an escaped "*" counts nothing
}

struct TNameCase {
  const char* Name;
  std::string Column;
  int Field;
};

void PrintTo(const TNameCase& c, std::ostream* os) { *os << c.Name; }

class ColumnNames : public ::testing::TestWithParam<TNameCase> {};

TEST_P(ColumnNames, NameTheirField) {
  EXPECT_EQ(FieldOfColumnName(GetParam().Column), GetParam().Field);
}

INSTANTIATE_TEST_SUITE_P(
    All, ColumnNames,
    ::testing::Values(TNameCase{"Property", "DInsuredLastName", fnDInsuredLastName},
                      TNameCase{"PropertyLower", "hinsurernaic_num", fnHInsurerNAIC_Num},
                      TNameCase{"PropertyWithoutPrefix", "Insurer City", fnHInsurerCity},
                      TNameCase{"PropertySnakeCase", "policy_from_date", fnDPolicyFromDate},
                      TNameCase{"Caption", "Insured Last Name", fnDInsuredLastName},
                      TNameCase{"CaptionPunctuation", "insurer-naic #", fnHInsurerNAIC_Num},
                      TNameCase{"CaptionUpper", "POLICY OCCUR LIMIT", fnDPolicyOccurrenceLimit},
                      TNameCase{"LongCaption", "Insured Company Name (only for corporations etc.)",
                                fnDInsuredCompanyName},
                      TNameCase{"ShortCompany", "Insured Company Name", fnDInsuredCompanyName},
                      TNameCase{"MisspeltCaption", "Limted Coverage Indicator", fnDLimitedCovInd},
                      TNameCase{"SharedCityIsInsureds", "City", fnDInsuredCity},
                      TNameCase{"SharedStateIsInsureds", "state", fnDInsuredState},
                      TNameCase{"SharedZipIsInsureds", "ZipCode", fnDInsuredZip},
                      TNameCase{"InsurerZip", "Insurer Zip", fnHInsurerZip},
                      TNameCase{"Blanks", "  Process Record Type ", fnDRecordProcessingType},
                      TNameCase{"Unknown", "Notes", -1}, TNameCase{"Empty", "", -1},
                      TNameCase{"OnlyPunctuation", "#-#", -1}));

}  // namespace
