// The records window's engine without Qt: the table kept in step with the workspace, find,
// columns' texts and the problem list.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <random>

#include "../support/CertSamples.h"
#include "../support/FakeEditor.h"
#include "ProblemList.h"
#include "RecordColumns.h"
#include "RecordFind.h"
#include "RecordTable.h"

using namespace cert;
using namespace certrec;
using namespace certtest;

namespace {

// A workspace with editors for the fields the tests type into, and a table that follows every
// event as the main window passes them on.
class TableSync : public ::testing::Test {
 protected:
  void SetUp() override {
    FillPassingHeader(Cert.HeaderRec);
    for (int f : {fnHInsurerCity, fnDInsuredCity, fnDInsuredLicenseNum, fnDPolicyNum})
      Cert.BindEditor(f, &Editors.emplace_back(ecMaskEdit));
    auto sync = [this] {
      if (Following) Changes.push_back(Table.Sync());
    };
    Cert.OnCertDetailChange = [sync](TObject*) { sync(); };
    Cert.OnCertStatusChange = [sync](TObject*, TDetailRecStatus, TDetailRecStatus) { sync(); };
    Cert.OnCertError = [sync](TObject*, int, const std::string&) { sync(); };
    Cert.OnCertPassErrorCheck = [sync](TObject*) { sync(); };
  }
  TFakeEditor& Editor(int field) { return *static_cast<TFakeEditor*>(Cert.Binding(field).Editor); }
  // Records by city and license: an empty city fails, equal licenses are duplicates.
  void Load(const std::vector<std::pair<std::string, std::string>>& records) {
    for (const auto& [city, license] : records) {
      FillPassingDetail(Cert.DetailRec, "Name" + license);
      Cert.DetailRec.DInsuredCity = city;
      Cert.DetailRec.DInsuredLicenseNum = license;
      Cert.NewDetailRec();
      Cert.PostDetailRec();
    }
    Cert.FirstDetailRec();
    Table.Rebuild();
    Following = true;
    Changes.clear();
  }
  // The table as a fresh read would make it.
  void ExpectInStep() {
    TRecordTable fresh(Cert);
    fresh.Rebuild();
    ASSERT_EQ(Table.Count(), fresh.Count());
    for (int i = 0; i < fresh.Count(); ++i) {
      ASSERT_EQ(Table.FirstRule(i), fresh.FirstRule(i)) << "record " << i;
      ASSERT_EQ(Table.DuplicateOf(i), fresh.DuplicateOf(i)) << "record " << i;
      ASSERT_EQ(Table.Repeated(i), fresh.Repeated(i)) << "record " << i;
    }
    ASSERT_EQ(Table.FailingCount(), fresh.FailingCount());
    ASSERT_EQ(Table.DuplicateCount(), fresh.DuplicateCount());
    ASSERT_EQ(Table.HeaderFailure().Field, fresh.HeaderFailure().Field);
    ASSERT_EQ(Table.Current(), Cert.DetailIndex());
  }
  // The first change of a kind other than none since the last look.
  TTableChange FirstChange() const {
    for (const TTableChange& c : Changes)
      if (c.Kind != TTableChange::tcNone) return c;
    return TTableChange();
  }
  bool AnyHeaderChange() const {
    for (const TTableChange& c : Changes)
      if (c.HeaderChanged) return true;
    return false;
  }

  TCertFormat Cert;
  std::deque<TFakeEditor> Editors;
  TRecordTable Table{Cert};
  bool Following = false;
  std::vector<TTableChange> Changes;
};

TEST_F(TableSync, RebuildReadsRulesAndDuplicates) {
  Load({{"A", "1"}, {"", "2"}, {"C", "1"}, {"D", "1"}, {"", ""}});
  EXPECT_EQ(Table.Count(), 5);
  EXPECT_EQ(Table.FirstRule(0), -1);
  EXPECT_EQ(Table.FirstRule(1), 12);   // rule 13, the insured's city
  EXPECT_EQ(Table.FailingCount(), 2);  // Baker, and the last (no city, no license)
  EXPECT_EQ(Table.DuplicateOf(2), 0);
  EXPECT_EQ(Table.DuplicateOf(3), 0);
  EXPECT_TRUE(Table.Repeated(0));
  EXPECT_EQ(Table.RepeatsOf(0), (std::vector<int>{2, 3}));
  EXPECT_EQ(Table.DuplicateCount(), 2);
  EXPECT_EQ(Table.NextFailing(1, 1), 4);
  EXPECT_EQ(Table.NextFailing(4, 1), -1);
  EXPECT_EQ(Table.NextFailing(4, -1), 1);
  EXPECT_EQ(Table.NextFailing(1, -1), -1);
  EXPECT_EQ(Table.NextFailing(-1, 1), 1);
}

TEST_F(TableSync, AStoredEditChangesTheRecordThatWasCurrent) {
  Load({{"A", "1"}, {"", "2"}, {"C", "3"}});
  Cert.NextDetailRec();
  Editor(fnDInsuredCity).SetText("Racine");
  EXPECT_EQ(Table.FirstRule(1), 12) << "an edit counts once it is stored";
  Changes.clear();
  Cert.NextDetailRec();  // stores it
  const TTableChange c = FirstChange();
  EXPECT_EQ(c.Kind, TTableChange::tcChanged);
  EXPECT_EQ(c.Record, 1);
  EXPECT_FALSE(c.DuplicatesChanged);
  EXPECT_EQ(Table.FirstRule(1), -1);
  EXPECT_EQ(Table.Current(), 2);
  ExpectInStep();
}

TEST_F(TableSync, AStoredNewRecordIsInsertedAtTheEnd) {
  Load({{"A", "1"}, {"B", "2"}});
  Cert.NewDetailRec();
  Editor(fnDInsuredCity).SetText("");
  Editor(fnDInsuredLicenseNum).SetText("1");
  EXPECT_EQ(Table.Count(), 2);
  Changes.clear();
  Cert.PostDetailRec();
  const TTableChange c = FirstChange();
  EXPECT_EQ(c.Kind, TTableChange::tcInserted);
  EXPECT_EQ(c.Record, 2);
  EXPECT_TRUE(c.DuplicatesChanged);
  EXPECT_EQ(Table.DuplicateOf(2), 0);
  ExpectInStep();
}

TEST_F(TableSync, DeleteRemovesTheCurrentRecordAndItsDuplicateMarks) {
  Load({{"A", "1"}, {"B", "2"}, {"", "1"}, {"D", "1"}});
  Cert.DeleteDetailRec();  // record 0, the first of the key
  const TTableChange c = FirstChange();
  EXPECT_EQ(c.Kind, TTableChange::tcRemoved);
  EXPECT_EQ(c.Record, 0);
  EXPECT_TRUE(c.DuplicatesChanged);
  EXPECT_EQ(Table.DuplicateOf(2), 1) << "the second of the key is now the first";
  ExpectInStep();
  Cert.GotoDetailRec(2);
  Changes.clear();
  Cert.DeleteDetailRec();  // the last: nothing left to repeat
  EXPECT_EQ(FirstChange().Kind, TTableChange::tcRemoved);
  EXPECT_EQ(FirstChange().Record, 2);
  ExpectInStep();
}

TEST_F(TableSync, AFileReadElsewhereIsReadAgainWhenTheCountJumps) {
  Load({{"A", "1"}, {"B", "2"}, {"C", "3"}});
  Cert.ClearWorkspace();
  FillPassingHeader(Cert.HeaderRec);
  Changes.clear();
  Cert.NewDetailRec();  // as New does
  EXPECT_EQ(FirstChange().Kind, TTableChange::tcReset);
  EXPECT_EQ(Table.Count(), 0);
  ExpectInStep();
}

TEST_F(TableSync, HeaderChangesAreSeenOnTheNextEvent) {
  Load({{"A", "1"}});
  Editor(fnHInsurerCity).SetText("");
  EXPECT_TRUE(AnyHeaderChange());
  EXPECT_EQ(Table.HeaderFailure().Field, fnHInsurerCity);
  EXPECT_EQ(Table.FirstRule(0), -1) << "a record's status is its own rules'";
}

// Every command in any order: after each, the table is what a fresh read would make.
TEST_F(TableSync, StaysInStepThroughAnyCommands) {
  Load({{"A", "1"}, {"", "2"}, {"C", "1"}, {"D", "4"}});
  std::mt19937 random(12);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int step = 0; step < 1500; ++step) {
    const int n = Cert.DetailStr().Count();
    switch (pick(11)) {
      case 0:
        if (Cert.DetailRecStatus == drNew || n > 0)
          Editor(fnDInsuredCity).SetText(pick(3) == 0 ? "" : "City");
        break;
      case 1:
        if (Cert.DetailRecStatus == drNew || n > 0)
          Editor(fnDInsuredLicenseNum).SetText(pick(4) == 0 ? "" : std::to_string(pick(4)));
        break;
      case 2:
        if (Cert.DetailRecStatus == drNew || n > 0) Editor(fnDPolicyNum).SetText("POL-1");
        break;
      case 3:
        Cert.PostDetailRec();
        break;
      case 4:
        if (Cert.DetailRecStatus != drNew) Cert.NewDetailRec();
        break;
      case 5:
        Cert.CancelDetailRec();
        break;
      case 6:
        Cert.RefreshDetailRec();
        break;
      case 7:
        if (n > 0 && Cert.DetailRecStatus != drNew && pick(2) == 0) Cert.DeleteDetailRec();
        break;
      case 8:
        if (n > 0) Cert.GotoDetailRec(pick(n));
        break;
      case 9:
        pick(2) ? Cert.NextDetailRec() : Cert.PriorDetailRec();
        break;
      default:
        if (n > 0) Cert.LastDetailRec();
        break;
    }
    SCOPED_TRACE(step);
    ExpectInStep();
  }
}

// ---- Find ------------------------------------------------------------------------------------

struct TFindCase {
  const char* Query;
  bool Matches;
};

class Find : public ::testing::TestWithParam<TFindCase> {};

TEST_P(Find, MatchesAFieldAsStoredOrShown) {
  TDetailRec d;
  FillPassingDetail(d, "Mu\xF1oz");
  d.DInsuredFIN = "123456789";
  d.DInsuredISO = "80263";
  d.DPolicyRevisedDate = "20201345";  // no date: shown as stored
  const std::string line = BuildDetailLine(d, "2");
  EXPECT_EQ(TRecordFinder(GetParam().Query).Matches(line), GetParam().Matches) << GetParam().Query;
}

INSTANTIATE_TEST_SUITE_P(
    Queries, Find,
    ::testing::Values(TFindCase{"mu\xF1oz", true},     // the stored last name
                      TFindCase{"MU\xD1OZ", true},     // Windows-1252 capitals fold too
                      TFindCase{"  anna  ", true},     // blanks around do not count
                      TFindCase{"elm st", true},       // blanks inside do
                      TFindCase{"1000000", true},      // the occurrence limit
                      TFindCase{"6789", true},         // in the FIN
                      TFindCase{"78980263", false},    // runs from the FIN into the ISO code
                      TFindCase{"oz anna", false},     // runs from one name into the next
                      TFindCase{"12/31/2026", true},   // the to date as shown
                      TFindCase{"20261231", true},     // and as stored
                      TFindCase{"01/2020", true},      // part of the retroactive date
                      TFindCase{"13/45/2020", false},  // a text that is no date, as a date
                      TFindCase{"20201345", true},     // is found as shown
                      TFindCase{"wisc", true},         // WI with its list text
                      TFindCase{"physician", true},    // provider type 01
                      TFindCase{"new/renewal", true},  // processing type 1
                      TFindCase{"occurrence", false},  // coverage type 1 is claims made
                      TFindCase{"", false}, TFindCase{"zzz", false}));

// ---- Columns -------------------------------------------------------------------------------

TEST(Columns, ShowDatesCodesAndNames) {
  TDetailRec d;
  FillPassingDetail(d, "Smith");
  EXPECT_EQ(FieldText(d, fnDPolicyToDate), "12/31/2026");
  EXPECT_EQ(FieldText(d, fnDInsuredState), "WI - Wisconsin");
  EXPECT_EQ(FieldText(d, fnDInsuredProvType), "01 - PHYSICIAN AND SURGEON");
  EXPECT_EQ(FieldText(d, fnDRecordProcessingType), "1 - NEW/RENEWAL CERT");
  EXPECT_EQ(FieldText(d, fnDPolicyNum), "POL-1");
  d.DPolicyToDate = "20261399";
  d.DInsuredState = "ZZ";
  EXPECT_EQ(FieldText(d, fnDPolicyToDate), "20261399") << "no date: as stored";
  EXPECT_EQ(FieldText(d, fnDInsuredState), "ZZ");
  EXPECT_EQ(InsuredName(d), "Smith, Anna");
  d.DInsuredMidName = "B";
  d.DInsuredSuffix = "JR";
  EXPECT_EQ(InsuredName(d), "Smith, Anna B JR");
  d.DInsuredFirstName = "";
  EXPECT_EQ(InsuredName(d), "Smith, B JR");
  d.DInsuredCompanyName = "Clinic";
  EXPECT_EQ(InsuredName(d), "Clinic");
  // Every detail field has one column, and the usual ones show first.
  std::vector<int> fields;
  for (const TColumn& c : RecordColumns())
    if (c.Kind == ckField) fields.push_back(c.Field);
  EXPECT_EQ(fields.size(), 26u);
  EXPECT_EQ(fields.front(), fnDInsuredLicenseNum);
  EXPECT_EQ(ColumnTitle(RecordColumns()[3]), "Insured Lic Num");
  EXPECT_EQ(ColumnKey(RecordColumns()[3]), "DInsuredLicenseNum");
}

TEST(Columns, OrderDigitsByValueAndTextWithoutCase) {
  EXPECT_LT(CompareField("300000", "1000000"), 0);
  EXPECT_LT(CompareField("0009", "10"), 0);
  EXPECT_EQ(CompareField("007", "7"), 0);
  EXPECT_EQ(CompareField("smith", "SMITH"), 0);
  EXPECT_LT(CompareField("adams", "Baker"), 0);
  EXPECT_LT(CompareField("20251231", "20260101"), 0);
  EXPECT_LT(CompareField("", "a"), 0);
}

// ---- Problem list --------------------------------------------------------------------------

TEST(ProblemList, HeaderThenRecordsWithEveryRuleAndDuplicate) {
  TCertFormat cert;
  FillPassingHeader(cert.HeaderRec);
  auto add = [&cert](void (*mutate)(TDetailRec&)) {
    FillPassingDetail(cert.DetailRec);
    mutate(cert.DetailRec);
    cert.NewDetailRec();
    cert.PostDetailRec();
  };
  add([](TDetailRec&) {});
  add([](TDetailRec& d) {
    d.DInsuredCompanyName = "Clinic";
    d.DPolicyRevisedDate = "20260301";
    d.DPolicyTerminatedDate = "20260601";
    d.DInsuredLicenseNum = "999";
  });
  add([](TDetailRec& d) { d.DInsuredCity = ""; });
  cert.HeaderRec.HInsurerZip = "";
  TRecordTable table(cert);
  table.Rebuild();
  EXPECT_EQ(ProblemListCsv(cert, table),
            "Record,Field Number,Field Name,Message\r\n"
            "header,5,Zipcode,*** Insurer's zipcode is required!\r\n"
            "2,20,Insured Company Name (only for corporations etc.),\"*** Lastname, Firstname, "
            "Middle name, suffix and Attn Line are not  allowed when the Insured Company Name is "
            "used and vice-versa!\"\r\n"
            "2,13,Policy Revised Date,\"*** Policy revised date and terminated date cannot be "
            "filled in at the same time.  Please remove one of them by clicking on the date to "
            "be deleted and press the \"\"Del\"\" key.\"\r\n"
            "2,13,Policy Revised Date,*** Revised date not allow for new/renewal certificate!\r\n"
            "3,27,City,*** Insured's city is required!\r\n"
            "3,,,Possible duplicate of record 1\r\n");
}

}  // namespace
