#include <gtest/gtest.h>

#include "CertLayout.h"
#include "CertScan.h"

using namespace cert;

TEST(FieldTable, NumbersColumnsAndWidthsAreContiguous) {
  for (int n = 0; n < FieldCount; ++n) EXPECT_EQ(FieldTable[n].Number, n);
  for (int n = 1; n < FieldCount; ++n) {
    if (n == FirstDetailField) continue;
    EXPECT_EQ(FieldTable[n].FirstCol, FieldTable[n - 1].FirstCol + FieldTable[n - 1].Width)
        << FieldTable[n].Property;
  }
  EXPECT_EQ(FieldTable[FirstDetailField].FirstCol, 2u);
  EXPECT_STREQ(FieldTable[27].Property, "DInsuredCity");
}

TEST(DetailLine, AllEmptyIsCodeAnd334Blanks) {
  TDetailRec d;
  EXPECT_EQ(BuildDetailLine(d, "2"), "2" + std::string(334, ' '));
}

struct TBuildCase {
  int Field;
  std::string Stored;
  std::string Expected;  // the field's columns in the built line
};

class DetailBuild : public ::testing::TestWithParam<TBuildCase> {};

TEST_P(DetailBuild, PadsTrimmedValueByJustification) {
  const TBuildCase& c = GetParam();
  TDetailRec d;
  d.Field(c.Field) = c.Stored;
  const std::string line = BuildDetailLine(d, "2");
  ASSERT_EQ(line.size(), DetailLineLength);
  EXPECT_EQ(line.substr(FieldTable[c.Field].FirstCol - 1, FieldTable[c.Field].Width), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DetailBuild,
    ::testing::Values(TBuildCase{17, "1000000", "  1000000"},  // right-justified limit
                      TBuildCase{17, "", "         "},
                      TBuildCase{24, " JR", "JR "},            // trimmed, then left
                      TBuildCase{30, " 12345 ", "    12345"},  // insured FIN right
                      TBuildCase{28, "WI", "WI"}, TBuildCase{16, "", " "}, TBuildCase{33, "", " "},
                      TBuildCase{34, "3", "3"},
                      TBuildCase{21, "\tDoe\r", "Doe" + std::string(22, ' ')}));

TEST(HeaderLine, KeepsBlanksAndAppendsTypeUnpaddedThenDate) {
  THeaderRec h;
  h.HInsurerName = " Acme";
  h.HInsurerState = "W";
  h.HInsurerFIN = "12";
  h.HInsurerType = "2";
  const std::string line = BuildHeaderLine(h, "20261210");
  ASSERT_EQ(line.size(), 172u);
  EXPECT_EQ(line.substr(0, 6), "1 Acme");
  EXPECT_EQ(line.substr(134, 2), " W");         // header state is right-justified
  EXPECT_EQ(line.substr(154, 9), "12       ");  // header FIN is left-justified
  EXPECT_EQ(line.substr(163), "220261210");
  h.HInsurerType = "";
  EXPECT_EQ(BuildHeaderLine(h, "20261210").size(), 171u);
}

TEST(ParseDetailLine, TrimsFieldsKeepsCodeUntrimmed) {
  TDetailRec d;
  ParseDetailLine("2", d);
  EXPECT_EQ(d.RecordCode, "2");
  for (int n = FirstDetailField; n < FieldCount; ++n) EXPECT_TRUE(d.Field(n).Empty());

  std::string line(335, ' ');
  line[0] = ' ';
  line.replace(159, 25, "   O'Brien-Smith         ");
  ParseDetailLine(line, d);
  EXPECT_EQ(d.RecordCode, " ");
  EXPECT_EQ(d.DInsuredLastName, "O'Brien-Smith");

  ParseDetailLine("", d);
  EXPECT_EQ(d.RecordCode, "");
}

TEST(FieldText, KeepsFirstCharactersUpToWidth) {
  THeaderRec h;
  h.HInsurerName = std::string(50, 'x');
  EXPECT_EQ(h.HInsurerName.View().size(), 45u);
  h.HInsurerType = "12";
  EXPECT_EQ(h.HInsurerType, "1");
  const std::string high = "\xE9\x9A\xFF";
  h.HInsurerCity = high;
  EXPECT_EQ(h.HInsurerCity, high);
}

// The list form of a line, field by field: each field trimmed, a one-character provider type
// written with a leading zero, and the line built again.
std::string ListFormByFields(std::string_view line) {
  TDetailRec rec;
  ParseDetailLine(line, rec);
  if (rec.DInsuredProvType.View().size() == 1) {
    const char padded[2] = {'0', rec.DInsuredProvType.View()[0]};
    rec.DInsuredProvType = std::string_view(padded, 2);
  }
  return BuildDetailLine(rec, line.substr(0, 1));
}

// Lines already in list form are copied whole; every other line is built field by field. Both
// must give what building from the trimmed fields gives, for lines of any bytes and length and
// for lines one byte away from their list form.
class ListForm : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override { TLineScan::UseLoads(GetParam()); }
  void TearDown() override { TLineScan::UseLoads(0); }
};

TEST_P(ListForm, NormaliseEqualsBuildingFromTheTrimmedFields) {
  const char alphabet[] = {' ', ' ', ' ', ' ', 'a', '7', '-', '\t', '\0', '\r', '\xE9', '\xFF'};
  unsigned seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  int listForm = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string line(next() % 2 ? 335 + next() % 20 : next() % 400, ' ');
    for (char& c : line) c = alphabet[next() % sizeof alphabet];
    if (!line.empty()) line[0] = '2';
    if (round % 2 && line.size() >= 335) {
      line = ListFormByFields(line) + line.substr(335);
      if (round % 4 == 1) line[1 + next() % 334] = alphabet[next() % sizeof alphabet];
    }
    std::string out;
    NormaliseDetailLine(line, out);
    ASSERT_EQ(out, ListFormByFields(line)) << "round " << round;
    if (line.size() >= 335 && out == line.substr(0, 335)) ++listForm;
  }
  EXPECT_GT(listForm, 500);  // the copying path was taken often
}

// The scan reads 16 bytes at a time, or 32 where the processor can.
INSTANTIATE_TEST_SUITE_P(LoadWidths, ListForm, ::testing::Values(16, 0));
