#include <gtest/gtest.h>

#include "CsvTable.h"

using namespace certcsv;

namespace {

// Rows of a table as text, cells joined by "|", rows by "/", each row led by its number.
std::string Dump(const TCsvTable& t) {
  std::string s;
  for (int r = 0; r < t.RowCount(); ++r) {
    if (r > 0) s += "/";
    s += std::to_string(t.SourceRow(r)) + ":";
    for (int c = 0; c < t.CellCount(r); ++c) s += (c ? "|" : "") + std::string(t.Cell(r, c));
  }
  return s;
}

std::string Names(const TCsvTable& t) {
  std::string s;
  for (const std::string& n : t.Columns()) s += (s.empty() ? "" : "|") + n;
  return s;
}

struct TTableCase {
  const char* Name;
  std::string Bytes;
  TCsvEncoding Encoding;
  char Separator;
  std::string Names;
  std::string Rows;
};

void PrintTo(const TTableCase& c, std::ostream* os) { *os << c.Name; }

class CsvTableRead : public ::testing::TestWithParam<TTableCase> {};

TEST_P(CsvTableRead, GivesNamesAndRows) {
  const TTableCase& c = GetParam();
  const TCsvTable t = TCsvTable::Parse(c.Bytes);
  EXPECT_EQ(t.Encoding(), c.Encoding);
  EXPECT_EQ(t.Separator(), c.Separator);
  EXPECT_EQ(Names(t), c.Names);
  EXPECT_EQ(Dump(t), c.Rows);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, CsvTableRead,
    ::testing::Values(TTableCase{"Utf8", "a,b\r\nM\xC3\xBCller,x\r\n", ceUtf8, ',', "a|b",
                                 "2:M\xC3\xBCller|x"},
                      TTableCase{"Utf8Bom",
                                 "\xEF\xBB\xBF"
                                 "a,b\r\n1,2\r\n",
                                 ceUtf8, ',', "a|b", "2:1|2"},
                      TTableCase{"Cp1252", "a,b\r\nM\xFCller,\x80\r\n", ceCp1252, ',', "a|b",
                                 "2:M\xC3\xBCller|\xE2\x82\xAC"},
                      TTableCase{"Cp1252Names",
                                 "Stra\xDF"
                                 "e,b\r\n1,2\r\n",
                                 ceCp1252, ',',
                                 "Stra\xC3\x9F"
                                 "e|b",
                                 "2:1|2"},
                      // One byte that cannot be UTF-8 makes the whole file Windows-1252.
                      TTableCase{"MixedIsCp1252", "a\r\n\xC3\xBC\r\n\xFC\r\n", ceCp1252, ',', "a",
                                 "2:\xC3\x83\xC2\xBC/3:\xC3\xBC"},
                      TTableCase{"OverlongIsNotUtf8", "a\r\n\xC0\xAF\r\n", ceCp1252, ',', "a",
                                 "2:\xC3\x80\xC2\xAF"},
                      TTableCase{"Empty", "", ceUtf8, ',', "", ""},
                      TTableCase{"BomOnly", "\xEF\xBB\xBF", ceUtf8, ',', "", ""}));

INSTANTIATE_TEST_SUITE_P(
    Separators, CsvTableRead,
    ::testing::Values(
        TTableCase{"Semicolon", "a;b;c\r\n1,5;2;3\r\n", ceUtf8, ';', "a|b|c", "2:1,5|2|3"},
        TTableCase{"Tab", "a\tb\r\n x \t y\r\n", ceUtf8, '\t', "a|b", "2:x|y"},
        TTableCase{"TabKeepsCommas", "a\tb,c\td\r\n1\t2,3\t4\r\n", ceUtf8, '\t', "a|b,c|d",
                   "2:1|2,3|4"},
        TTableCase{"CommaWins", "a,b;c,d\r\n1,2;3,4\r\n", ceUtf8, ',', "a|b;c|d", "2:1|2;3|4"},
        TTableCase{"QuotedSeparatorsDoNotCount", "\"a;b;c\",d\r\n1,2\r\n", ceUtf8, ',', "a;b;c|d",
                   "2:1|2"},
        TTableCase{"OneColumn", "a\r\n1\r\n", ceUtf8, ',', "a", "2:1"}));

INSTANTIATE_TEST_SUITE_P(
    Quoting, CsvTableRead,
    ::testing::Values(
        TTableCase{"EmbeddedSeparator", "a,b\r\n\"x,y\",z\r\n", ceUtf8, ',', "a|b", "2:x,y|z"},
        TTableCase{"EmbeddedQuote", "a,b\r\n\"say \"\"hi\"\"\",z\r\n", ceUtf8, ',', "a|b",
                   "2:say \"hi\"|z"},
        TTableCase{"EmbeddedLineBreaks", "a,b\r\n\"1 Main\r\nSuite 4\",z\r\nnext,row\r\n", ceUtf8,
                   ',', "a|b", "2:1 Main\r\nSuite 4|z/3:next|row"},
        TTableCase{"QuotedKeepsBlanks", "a,b\r\n\" x \",  y  \r\n", ceUtf8, ',', "a|b", "2: x |y"},
        TTableCase{"QuotedNames", "\"Insured Last Name\",\"Policy, Number\"\r\n1,2\r\n", ceUtf8,
                   ',', "Insured Last Name|Policy, Number", "2:1|2"},
        TTableCase{"UnclosedQuoteRunsToTheEnd", "a,b\r\n\"x,y\r\n1,2\r\n", ceUtf8, ',', "a|b",
                   "2:x,y\r\n1,2\r\n"}));

INSTANTIATE_TEST_SUITE_P(
    Rows, CsvTableRead,
    ::testing::Values(
        TTableCase{"LineFeedsOnly", "a,b\n1,2\n3,4", ceUtf8, ',', "a|b", "2:1|2/3:3|4"},
        TTableCase{"CarriageReturnsOnly", "a,b\r1,2\r3,4\r", ceUtf8, ',', "a|b", "2:1|2/3:3|4"},
        TTableCase{"NoFinalLineBreak", "a,b\r\n1,2", ceUtf8, ',', "a|b", "2:1|2"},
        // Empty lines and rows of empty cells hold nothing, but keep their row numbers.
        TTableCase{"BlankRowsSkippedButCounted", "a,b\r\n\r\n1,2\r\n,\r\n \" \" , \r\n3,4\r\n",
                   ceUtf8, ',', "a|b", "3:1|2/6:3|4"},
        TTableCase{"BlankLinesBeforeNames", "\n\na,b\n1,2\n", ceUtf8, ',', "a|b", "4:1|2"},
        TTableCase{"RaggedRows", "a,b,c\r\n1\r\n1,2,3,4\r\n", ceUtf8, ',', "a|b|c",
                   "2:1/3:1|2|3|4"},
        TTableCase{"NamesOnly", "a,b\r\n", ceUtf8, ',', "a|b", ""}));

TEST(CsvTable, TellsWhereAQuotedCellIsNeverClosed) {
  EXPECT_EQ(TCsvTable::Parse("a,b\r\n1,2\r\n\r\nx,\"y\r\n3,4\r\n").UnclosedQuoteRow(), 4);
  EXPECT_EQ(TCsvTable::Parse("a,b\r\n\"x\r\n").UnclosedQuoteRow(), 2);
  EXPECT_EQ(TCsvTable::Parse("a,b\r\n\"x\"\"\r\n").UnclosedQuoteRow(), 2);
  EXPECT_EQ(TCsvTable::Parse("a,b\r\n\"x\"").UnclosedQuoteRow(), 0);
  EXPECT_EQ(TCsvTable::Parse("a,b\r\nx,y").UnclosedQuoteRow(), 0);
  EXPECT_EQ(TCsvTable::Parse("a,b\r\n\"x\ny\",z\r\n").UnclosedQuoteRow(), 0);
}

TEST(CsvTable, CellsPastTheRowAreEmpty) {
  const TCsvTable t = TCsvTable::Parse("a,b,c\n1\n");
  ASSERT_EQ(t.RowCount(), 1);
  EXPECT_EQ(t.CellCount(0), 1);
  EXPECT_EQ(t.Cell(0, 2), "");
  EXPECT_EQ(t.Cell(0, -1), "");
  EXPECT_TRUE(TCsvTable::Parse("\xEF\xBB\xBF"
                               "a\n")
                  .HadByteOrderMark());
  EXPECT_FALSE(TCsvTable::Parse("a\n").HadByteOrderMark());
}

}  // namespace
