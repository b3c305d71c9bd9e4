#include <gtest/gtest.h>

#include "../support/CertSamples.h"
#include "CertFormat.h"
#include "CsvImport.h"

using namespace cert;
using namespace certcsv;

namespace {

TCsvImport Import(const std::string& csv) {
  const TCsvTable t = TCsvTable::Parse(csv);
  return ImportCsv(t, MapColumns(t));
}

std::string Field(std::string_view line, int field) {
  TDetailRec rec;
  ParseDetailLine(line, rec);
  return rec.Field(field).Str();
}

TEST(CsvImport, RowsBecomeLinesBuiltAsPostingBuildsThem) {
  const TCsvImport im = Import(
      "Insured Last Name,Insured First Name,Policy From Date,State,DInsuredProvType,"
      "Policy Occur Limit\r\n"
      "Okafor,Grace,1/2/2026,Wisconsin,1,\"$1,000,000\"\r\n"
      "Lindqvist,Per,20260102,wi,09,3000000\r\n");
  ASSERT_EQ(im.Lines.size(), 2u);
  EXPECT_EQ(im.LineRows, (std::vector<int>{2, 3}));
  EXPECT_TRUE(im.Problems.empty());
  EXPECT_TRUE(im.Warnings.empty());
  TDetailRec rec;
  rec.DInsuredLastName = "Okafor";
  rec.DInsuredFirstName = "Grace";
  rec.DPolicyFromDate = "20260102";
  rec.DInsuredState = "WI";
  rec.DInsuredProvType = "01";
  rec.DPolicyOccurrenceLimit = "1000000";
  EXPECT_EQ(im.Lines[0], BuildDetailLine(rec, "2"));
  EXPECT_EQ(Field(im.Lines[1], fnDPolicyOccurrenceLimit), "3000000");
  EXPECT_EQ(im.Lines[1].size(), DetailLineLength);
}

TEST(CsvImport, HeaderColumnsTakeTheValueTheRowsAgreeOn) {
  const TCsvImport im = Import(
      "Insurer Name,Insurer State,HInsurerType,Insurer FIN #,Insured Last Name\r\n"
      "Acme,WI,1,39-1234567,A\r\n"
      ",,,,B\r\n"
      "Acme,Wisconsin,licensed insurer,391234567,C\r\n");
  EXPECT_TRUE(im.Problems.empty());
  EXPECT_EQ(im.Header.RecordCode, "1");
  EXPECT_EQ(im.Header.HInsurerName, "Acme");
  EXPECT_EQ(im.Header.HInsurerState, "WI");
  EXPECT_EQ(im.Header.HInsurerType, "1");
  EXPECT_EQ(im.Header.HInsurerFIN, "391234567");
  EXPECT_EQ(im.Lines.size(), 3u);
}

TEST(CsvImport, DisagreeingHeaderIsAnErrorNamingTheRowsAndLeavesTheFieldEmpty) {
  const TCsvImport im = Import(
      "Insurer Name,Insurer City,Insured Last Name\r\n"
      "Acme,Madison,A\r\n"
      "Acme Inc,Madison,B\r\n"
      "Acme,Madison,C\r\n"
      "Acme Inc,,D\r\n"
      "Acme Ltd,Madison,E\r\n");
  EXPECT_EQ(im.Header.HInsurerName, "");
  EXPECT_EQ(im.Header.HInsurerCity, "Madison");
  ASSERT_EQ(im.Problems.size(), 2u);
  EXPECT_EQ(im.Problems[0].Row, 3);
  EXPECT_EQ(im.Problems[0].Column, 0);
  EXPECT_EQ(im.Problems[0].Field, fnHInsurerName);
  EXPECT_EQ(im.Problems[0].Value, "Acme Inc");
  EXPECT_EQ(im.Problems[0].Reason,
            "differs from \"Acme\" in rows 2 and 4 (this value in rows 3 and 5); a header column "
            "must hold one value");
  EXPECT_EQ(im.Problems[1].Row, 6);
  EXPECT_EQ(im.Problems[1].Value, "Acme Ltd");
}

TEST(CsvImport, ValuesThatCannotBeTakenAreReportedAndLeftEmpty) {
  const TCsvImport im = Import(
      "DInsuredLastName,DInsuredZip,DPolicyFromDate,DInsuredState\r\n"
      "Okafor,1234,13/01/2026,Wisconsin\r\n"
      "\"Dvo\xC5\x99\xC3\xA1k\",53703,2026-01-02,Atlantis\r\n");
  ASSERT_EQ(im.Problems.size(), 4u);
  EXPECT_EQ(im.Problems[0].Row, 2);
  EXPECT_EQ(im.Problems[0].Field, fnDInsuredZip);
  EXPECT_EQ(im.Problems[0].Value, "1234");
  EXPECT_EQ(im.Problems[1].Field, fnDPolicyFromDate);
  EXPECT_EQ(im.Problems[1].Reason, "is not a valid date");
  EXPECT_EQ(im.Problems[2].Row, 3);
  EXPECT_EQ(im.Problems[2].Column, 0);
  EXPECT_EQ(im.Problems[2].Value, "Dvo\xC5\x99\xC3\xA1k");
  EXPECT_EQ(im.Problems[3].Field, fnDInsuredState);
  EXPECT_EQ(Field(im.Lines[0], fnDInsuredZip), "");
  EXPECT_EQ(Field(im.Lines[0], fnDInsuredState), "WI");
  EXPECT_EQ(Field(im.Lines[1], fnDInsuredLastName), "");
  EXPECT_EQ(Field(im.Lines[1], fnDPolicyFromDate), "20260102");
}

TEST(CsvImport, ProblemsKeepTheirRowNumbersPastEmbeddedLineBreaksAndBlankRows) {
  const TCsvImport im = Import(
      "DInsuredAddress,DInsuredCity\r\n"
      "\"1 Main St\r\nSuite 4\",Madison\r\n"
      "\r\n"
      "2 Elm St,Milwaukee\r\n"
      "3 Oak St,\"Eau\nClaire\"\r\n");
  ASSERT_EQ(im.Lines.size(), 3u);
  EXPECT_EQ(im.LineRows, (std::vector<int>{2, 4, 5}));
  ASSERT_EQ(im.Problems.size(), 2u);
  EXPECT_EQ(im.Problems[0].Row, 2);
  EXPECT_EQ(im.Problems[0].Reason, "holds a line break");
  EXPECT_EQ(im.Problems[1].Row, 5);
  EXPECT_EQ(im.Problems[1].Field, fnDInsuredCity);
  EXPECT_EQ(Field(im.Lines[1], fnDInsuredCity), "Milwaukee");
}

TEST(CsvImport, WarnsOnceAboutColumnsAndCellsItIgnores) {
  const TCsvImport im = Import(
      "Notes,Insured Last Name,,Remarks,DInsuredLastName,\r\n"
      "x,Okafor,,y,Other,\r\n"
      "x,Lindqvist,,y,Other,,extra\r\n"
      "x,Smith,,y,,\r\n");
  ASSERT_EQ(im.Warnings.size(), 3u);
  EXPECT_EQ(im.Warnings[0],
            "\"DInsuredLastName\" (column 5) feeds field 21 DInsuredLastName, which \"Insured Last "
            "Name\" (column 2) feeds already; it is ignored");
  EXPECT_EQ(im.Warnings[1],
            "columns that name no field are ignored: \"Notes\" (column 1), \"Remarks\" (column 4)");
  EXPECT_EQ(im.Warnings[2], "cells beyond the named columns are ignored: row 3");
  EXPECT_EQ(Field(im.Lines[0], fnDInsuredLastName), "Okafor");
}

TEST(CsvImport, AnUnnamedColumnWithValuesIsReported) {
  const TCsvImport im = Import("DInsuredLastName,\r\nOkafor,42\r\n");
  ASSERT_EQ(im.Warnings.size(), 1u);
  EXPECT_EQ(im.Warnings[0], "columns that name no field are ignored: unnamed column 2");
}

TEST(CsvImport, AQuoteNeverClosedIsAWarning) {
  const TCsvImport im = Import(
      "DInsuredLastName,DInsuredCity\r\nOkafor,Madison\r\n\"Smith,Milwaukee\r\nLee,Racine\r\n");
  EXPECT_EQ(im.Lines.size(), 2u);
  EXPECT_EQ(im.Warnings,
            (std::vector<std::string>{"row 3 opens a quoted cell that is never closed: the rest of "
                                      "the file was read as that one cell"}));
  ASSERT_EQ(im.Problems.size(), 1u);
  EXPECT_EQ(im.Problems[0].Reason, "holds a line break");
}

TEST(CsvImport, NoRowsIsAWarning) {
  const TCsvImport im = Import("DInsuredLastName\r\n");
  EXPECT_TRUE(im.Lines.empty());
  EXPECT_EQ(im.Warnings, (std::vector<std::string>{"the CSV holds no records"}));
}

TEST(CsvImport, AChangedMappingFeedsOtherFields) {
  const TCsvTable t = TCsvTable::Parse("Surname,City\r\nOkafor,Madison\r\n");
  std::vector<int> fields = MapColumns(t);
  EXPECT_EQ(fields, (std::vector<int>{-1, fnDInsuredCity}));
  fields = {fnDInsuredLastName, fnHInsurerCity};
  const TCsvImport im = ImportCsv(t, fields);
  EXPECT_TRUE(im.Warnings.empty());
  EXPECT_EQ(Field(im.Lines[0], fnDInsuredLastName), "Okafor");
  EXPECT_EQ(Field(im.Lines[0], fnDInsuredCity), "");
  EXPECT_EQ(im.Header.HInsurerCity, "Madison");
}

TEST(CsvImport, IntoTheWorkspaceAsReadingWould) {
  const TCsvTable t =
      TCsvTable::Parse("Insurer Name,DInsuredLastName\r\nAcme,Okafor\r\n\r\nAcme,Lindqvist\r\n");
  TCertFormat cert;
  cert.HeaderRec.HInsurerCity = "Old";
  cert.NewDetailRec();
  cert.DetailRec.DInsuredLastName = "Pending";
  const TCsvImport im = ImportIntoWorkspace(cert, t, MapColumns(t));
  EXPECT_EQ(im.LineRows, (std::vector<int>{2, 4}));
  EXPECT_TRUE(im.Lines.empty());
  EXPECT_EQ(cert.HeaderRec.HInsurerName, "Acme");
  EXPECT_EQ(cert.HeaderRec.HInsurerCity, "");
  ASSERT_EQ(cert.DetailStr().Count(), 2);
  EXPECT_EQ(cert.DetailStr().Items(), ImportCsv(t, MapColumns(t)).Lines);
  EXPECT_EQ(cert.DetailIndex(), 0);
  EXPECT_EQ(cert.DetailRecStatus, drBrowse);
  EXPECT_EQ(cert.DetailRec.DInsuredLastName, "Okafor");
}

TEST(CsvImport, AppendPostsAfterTheListAndMergesTheHeader) {
  const TCsvTable t = TCsvTable::Parse(
      "Insurer Name,Insurer City,DInsuredLastName\r\nAcme,,Okafor\r\nAcme,,Lindqvist\r\n");
  TCertFormat cert;
  certtest::FillPassingHeader(cert.HeaderRec);
  cert.NewDetailRec();
  cert.DetailRec.DInsuredLastName = "Typed";
  const TCsvImport im = AppendIntoWorkspace(cert, t, MapColumns(t));
  ASSERT_EQ(cert.DetailStr().Count(), 3);
  EXPECT_EQ(Field(cert.DetailStr()[0], fnDInsuredLastName), "Typed");
  EXPECT_EQ(Field(cert.DetailStr()[2], fnDInsuredLastName), "Lindqvist");
  EXPECT_EQ(cert.HeaderRec.HInsurerName, "Acme");
  EXPECT_EQ(cert.HeaderRec.HInsurerCity, "Madison");
  EXPECT_EQ(cert.DetailIndex(), 2);
  EXPECT_EQ(cert.DetailRecStatus, drBrowse);

  // A new record nobody typed into is not posted.
  TCertFormat empty;
  empty.NewDetailRec();
  AppendIntoWorkspace(empty, t, MapColumns(t));
  ASSERT_EQ(empty.DetailStr().Count(), 2);
  EXPECT_EQ(Field(empty.DetailStr()[0], fnDInsuredLastName), "Okafor");
}

}  // namespace
