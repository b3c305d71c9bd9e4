#include <gtest/gtest.h>

#include <memory>

#include "../support/CertSamples.h"
#include "../support/FakeEditor.h"
#include "CertDate.h"
#include "CertFormat.h"

using namespace cert;
using namespace certtest;

namespace {

TEditorClass ClassOf(TEditorKind k) {
  return k == ekMaskEdit ? ecMaskEdit : k == ekComboBox ? ecComboBox : ecDateTimePicker;
}

// A workspace with one fake editor per field, bound through the field properties.
class Bound : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int n = 0; n < FieldCount; ++n)
      Editors.push_back(std::make_unique<TFakeEditor>(ClassOf(FieldTable[n].Editor)));
    Cert.SetHInsurerName(Editors[0].get());
    for (int n = 1; n < FieldCount; ++n) Cert.BindEditor(n, Editors[n].get());
    Cert.OnCertStatusChange = [this](TObject*, TDetailRecStatus p, TDetailRecStatus c) {
      States.emplace_back(p, c);
    };
    Cert.OnCertError = [this](TObject* s, int i, const std::string&) {
      Errors.push_back(i);
      EXPECT_EQ(s, Editors[i].get());
    };
    Cert.OnCertPassErrorCheck = [this](TObject*) { ++Passes; };
  }
  TFakeEditor& Ed(int n) { return *Editors[n]; }

  TCertFormat Cert;
  std::vector<std::unique_ptr<TFakeEditor>> Editors;
  std::vector<std::pair<TDetailRecStatus, TDetailRecStatus>> States;
  std::vector<int> Errors;
  int Passes = 0;
};

TEST_F(Bound, PropertiesReadBackTheEditor) {
  EXPECT_EQ(Cert.HInsurerName(), Editors[0].get());
  EXPECT_EQ(Cert.DRecordProcessingType(), Editors[34].get());
  EXPECT_EQ(Cert.FieldIndexOf(Editors[27].get()), 27);
  EXPECT_EQ(Cert.FieldIndexOf(nullptr), -1);
}

TEST_F(Bound, IgnoredWhileTrackingIsOffOrWithoutCurrentLine) {
  Ed(0).SetText("Acme");
  EXPECT_FALSE(Cert.FileChanged());
  Cert.ChangeStatus = true;
  Cert.DetailRecStatus = drBrowse;
  Cert.SetDetailIndex(-1);
  Ed(0).SetText("Acme");
  EXPECT_FALSE(Cert.FileChanged()) << "browsing an empty list";
  EXPECT_TRUE(Cert.HeaderRec.HInsurerName.Empty());
}

TEST_F(Bound, NewRecordOnEmptyWorkspaceIsRecordedAndPosted) {
  Cert.ClearWorkspace();
  Cert.NewDetailRec();
  States.clear();
  Ed(27).SetText("  Racine ");
  EXPECT_TRUE(States.empty()) << "no state event in drNew";
  EXPECT_EQ(Cert.DetailRec.DInsuredCity, "  Racine ");
  EXPECT_EQ(Cert.DetailIndex(), -1);
  EXPECT_TRUE(Cert.FileChanged());
  EXPECT_EQ(Errors.back(), 0) << "the whole record is checked; the header fails first";
  Cert.PostDetailRec();
  ASSERT_EQ(Cert.DetailStr().Count(), 1);
  EXPECT_EQ(Cert.DetailStr()[0].substr(277, 7), "Racine ");
}

TEST_F(Bound, BrowseToEditOnFirstChangeThenEditToEdit) {
  FillPassingHeader(Cert.HeaderRec);
  FillPassingDetail(Cert.DetailRec);
  Cert.NewDetailRec();
  Cert.PostDetailRec();
  States.clear();
  Passes = 0;
  Ed(23).SetText("Q");
  Ed(23).SetText("Qu");
  using S = std::pair<TDetailRecStatus, TDetailRecStatus>;
  EXPECT_EQ(States, (std::vector<S>{{drBrowse, drEdit}, {drEdit, drEdit}}));
  EXPECT_EQ(Passes, 2);
  Ed(5).SetText("");
  EXPECT_EQ(Errors.back(), 5) << "a middle-name change reports the header zip";
  Ed(5).SetText("53703");
  Ed(23).SetText("Q");
  EXPECT_EQ(Passes, 4);
}

struct TValueCase {
  int Field;
  std::string Text;
  long Date;
  std::string Stored;
};

class Values : public Bound, public ::testing::WithParamInterface<TValueCase> {};

TEST_P(Values, ReachTheRecordInRecordForm) {
  const TValueCase& c = GetParam();
  Cert.NewDetailRec();
  Ed(c.Field).Text = c.Text;
  Ed(c.Field).SetDate(c.Date);
  EXPECT_EQ(FieldOf(Cert.HeaderRec, Cert.DetailRec, c.Field), c.Stored);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Values,
    ::testing::Values(
        TValueCase{28, "NY - NEW YORK", 0, "NY"}, TValueCase{4, "WI - WISCONSIN", 0, "WI"},
        TValueCase{32, "09 - PODIATRIST", 0, "09"}, TValueCase{8, "2 - SELF INSURER", 0, "2"},
        TValueCase{34, "3 - TERMINATED CERT", 0, "3"}, TValueCase{16, "", 0, ""},
        TValueCase{11, "", DaysFromYmd({2004, 12, 5}), "20041205"}, TValueCase{12, "", 0, ""},
        TValueCase{12, "", -3, ""}, TValueCase{21, " O'Neil ", 0, " O'Neil "},
        TValueCase{0, std::string(50, 'n'), 0, std::string(45, 'n')},
        TValueCase{22, "\xC9lodie", 0, "\xC9lodie"}));

TEST_F(Bound, SavedHandlerRunsAfterOwnProcessingOnce) {
  TFakeEditor ed(ecMaskEdit);
  int calls = 0;
  ed.OnChange = TChangeHandler([&](TObject* s) {
    EXPECT_EQ(s, &ed);
    EXPECT_EQ(Cert.DetailRecStatus, drEdit);
    ++calls;
  });
  FillPassingHeader(Cert.HeaderRec);
  FillPassingDetail(Cert.DetailRec);
  Cert.NewDetailRec();
  Cert.PostDetailRec();
  Cert.BindEditor(23, &ed);
  Cert.BindEditor(23, &ed);  // binding twice must not save the workspace's own handler
  ed.SetText("M");
  EXPECT_EQ(calls, 1);
  Cert.NewDetailRec();
  ed.SetText("N");
  EXPECT_EQ(calls, 1) << "not called in drNew";
}

TEST_F(Bound, OtherClassesAndRebinding) {
  TFakeEditor other(ecOther);
  other.Text = "ignored";
  Cert.NewDetailRec();
  Cert.BindEditor(21, &other);
  other.Change();
  EXPECT_TRUE(Cert.DetailRec.DInsuredLastName.Empty()) << "pending value left as it was";

  TFakeEditor replacement(ecMaskEdit);
  Cert.BindEditor(22, &replacement);
  Ed(22).SetText("Old");
  EXPECT_TRUE(Cert.DetailRec.DInsuredFirstName.Empty());
  replacement.SetText("New");
  EXPECT_EQ(Cert.DetailRec.DInsuredFirstName, "New");
  Cert.BindEditor(22, nullptr);
  replacement.SetText("Gone");
  EXPECT_EQ(Cert.DetailRec.DInsuredFirstName, "New");
}

}  // namespace
