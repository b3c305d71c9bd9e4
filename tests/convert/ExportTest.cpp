#include <gtest/gtest.h>

#include "../support/CertSamples.h"
#include "CertFormat.h"
#include "CsvExport.h"
#include "CsvTable.h"

using namespace cert;
using namespace certcsv;

namespace {

const char kNames[] =
    "HInsurerName,HInsurerAddr1,HInsurerAddr2,HInsurerCity,HInsurerState,HInsurerZip,"
    "HInsurerNAIC_Num,HInsurerFIN,HInsurerType,DPolicyNum,DPolicyFormNum,DPolicyFromDate,"
    "DPolicyToDate,DPolicyRevisedDate,DPolicyTerminatedDate,DPolicyRetroDate,"
    "DPolicyCoverageType,DPolicyOccurrenceLimit,DPolicyAggregateLimit,DInsuredLicenseNum,"
    "DInsuredCompanyName,DInsuredLastName,DInsuredFirstName,DInsuredMidName,DInsuredSuffix,"
    "DInsuredAttnLine,DInsuredAddress,DInsuredCity,DInsuredState,DInsuredZip,DInsuredFIN,"
    "DInsuredISO,DInsuredProvType,DLimitedCovInd,DRecordProcessingType\r\n";

class CsvExport : public ::testing::Test {
 protected:
  // The header as reading a file leaves it: every value padded to its width.
  void SetUp() override {
    THeaderRec h;
    certtest::FillPassingHeader(h);
    const std::string line = BuildHeaderLine(h, "20261201");
    for (int n = 0; n < HeaderFieldCount; ++n)
      Header.Field(n) = Columns(line, FieldTable[n].FirstCol, FieldTable[n].Width);
  }
  void Add(void (*mutate)(TDetailRec&) = nullptr) {
    TDetailRec d;
    certtest::FillPassingDetail(d);
    if (mutate) mutate(d);
    Lines.Add(BuildDetailLine(d, "2"));
  }
  THeaderRec Header;
  TStringList Lines;
};

const char kHeaderCells[] =
    "Acme Mutual Insurance,100 Main St,,Madison,WI,53703,12345,391234567,1,";
const char kDetailCells[] =
    "POL-1,F1,20260101,20261231,,,20200101,1,1000000,3000000,12345,,Smith,Anna,,,,1 Elm St,"
    "Milwaukee,WI,53202,123456789,80263,01,N,1\r\n";

TEST_F(CsvExport, NamesTheColumnsAndRepeatsTheHeaderOnEveryRow) {
  Add();
  Add();
  const std::string csv = ExportCsv(Header, Lines, true);
  EXPECT_EQ(csv, std::string("\xEF\xBB\xBF") + kNames + kHeaderCells + kDetailCells + kHeaderCells +
                     kDetailCells);
  EXPECT_EQ(ExportCsv(Header, Lines, false), csv.substr(3));
}

TEST_F(CsvExport, NoRecordsGivesTheNamesAlone) {
  EXPECT_EQ(ExportCsv(Header, Lines, false), kNames);
}

TEST_F(CsvExport, QuotesWhatMustBeQuotedAndWritesUtf8) {
  Header.HInsurerName = " Acme, \"The\" Mutual";
  Add([](TDetailRec& d) {
    d.DInsuredLastName = "M\xFCller";
    d.DInsuredCompanyName = "\x80 Clinic";
    d.DInsuredAddress = "1 Elm St, Apt 2";
  });
  const std::string csv = ExportCsv(Header, Lines, false);
  const std::string row = csv.substr(sizeof kNames - 1);
  const std::string quotedName = "\" Acme, \"\"The\"\" Mutual\",";
  EXPECT_EQ(row.substr(0, quotedName.size()), quotedName);
  EXPECT_NE(row.find(",\"1 Elm St, Apt 2\","), std::string::npos);
  EXPECT_NE(row.find(",M\xC3\xBCller,"), std::string::npos);
  EXPECT_NE(row.find(",\xE2\x82\xAC Clinic,"), std::string::npos);
  // What was written reads back cell for cell.
  const TCsvTable t = TCsvTable::Parse(csv);
  ASSERT_EQ(t.RowCount(), 1);
  EXPECT_EQ(t.Cell(0, fnHInsurerName), " Acme, \"The\" Mutual");
  EXPECT_EQ(t.Cell(0, fnDInsuredAddress), "1 Elm St, Apt 2");
  EXPECT_EQ(t.Cell(0, fnDInsuredLastName), "M\xC3\xBCller");
}

}  // namespace
