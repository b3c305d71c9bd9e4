// certcsv: certificate files to CSV and back.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CertFormat.h"
#include "CertVersion.h"
#include "Cp1252.h"
#include "CsvCheck.h"
#include "CsvExport.h"
#include "CsvImport.h"
#include "FileSystem.h"
#include "ReplacingWriter.h"
#include "ToolReport.h"

namespace {

using certcsv::TRecordFinding;
using nlohmann::json;

const char kHelp[] =
    "Usage: certcsv export FILE.dat [-o OUT.csv] [--no-bom] [--json]\n"
    "  or:  certcsv import IN.csv -o OUT.dat [--force] [--json]\n"
    "\n"
    "Turns a certificate file into CSV for a spreadsheet, and a CSV file into a certificate\n"
    "file.\n"
    "\n"
    "export writes a first row of column names, the 35 field property names HInsurerName ...\n"
    "DRecordProcessingType in field-number order, then one row per detail record in list\n"
    "order; the nine header columns repeat the header's values on every row. Dates are\n"
    "written YYYYMMDD and codes as codes, as in the file. The CSV is UTF-8 with a byte-order\n"
    "mark, RFC 4180 quoting and CR LF line ends; without -o it goes to standard output.\n"
    "\n"
    "import reads a CSV file and writes the certificate file OUT.dat, its header dated today,\n"
    "even when records fail the fund's rules, so that they can be mended in the window:\n"
    "  Encoding      UTF-8 with or without a byte-order mark, or Windows-1252 when the bytes\n"
    "                are not UTF-8.\n"
    "  Separator     comma, semicolon or tab, whichever the first row uses most; quoted cells\n"
    "                may hold separators, quotes and line breaks.\n"
    "  Columns       found by name: the property name (with or without its H or D) or the\n"
    "                window's caption, ignoring case, blanks and punctuation (\"Insured Last\n"
    "                Name\", \"policy_from_date\"); \"City\", \"State\" and \"Zipcode\" are the\n"
    "                insured's. Missing columns stay empty; others are ignored with a warning.\n"
    "  Header        the header columns must hold the same value in every row that fills them.\n"
    "  Values        what typing or choosing them in the window would give: dates from\n"
    "                YYYYMMDD, MM/DD/YYYY, M/D/YYYY, YYYY-MM-DD or M/D/YY (00-49 are 2000-2049,\n"
    "                50-99 are 1950-1999); codes from the code or the list item's text, in any\n"
    "                case (\"WI\", \"Wisconsin\", \"WI - Wisconsin\"); numbers and limits without\n"
    "                \"$\", \",\" and blanks; the FINs without \"-\"; then through the field's\n"
    "                picture mask. A value that cannot be taken whole is reported and its\n"
    "                field left empty.\n"
    "\n"
    "The report has one line for each finding, on standard output (on standard error when\n"
    "the CSV goes there), in this order:\n"
    "  IN.csv: warning: TEXT\n"
    "                columns or cells that were ignored\n"
    "  IN.csv: row R, column \"NAME\": field N PROPERTY: \"VALUE\" REASON; left empty\n"
    "                a value that could not be taken (row 1 is the column names)\n"
    "  FILE.dat: MESSAGE\n"
    "                a problem found while reading the file to export\n"
    "  DAT: header: field N PROPERTY: MESSAGE\n"
    "                the header fails; no record is checked further\n"
    "  DAT: record R (row S): field N PROPERTY: MESSAGE\n"
    "                detail record R (1-based) fails its first rule; S is its CSV row\n"
    "                (import only)\n"
    "  DAT: R records, F failing\n"
    "                the summary\n"
    "\n"
    "Options:\n"
    "  -o FILE    the file to write\n"
    "  --no-bom   export: leave out the byte-order mark\n"
    "  --force    import: replace an existing OUT.dat\n"
    "  --json     print the report as one JSON document\n"
    "  --help     print this text\n"
    "  --version  print the program's version\n"
    "\n"
    "Exit status: 0 when everything was converted and every record passes; 1 when the file\n"
    "was written but something was reported (a value left empty, a warning, a reading\n"
    "problem, a failing record); 2 on a usage error, an input that could not be read, an\n"
    "existing OUT.dat without --force, or when nothing was written.\n";

struct TOptions {
  std::string Command, Input, Output;
  bool Bom = true, Force = false, Json = false;
};

int Usage(const std::string& what) {
  std::fprintf(stderr, "certcsv: %s\nTry 'certcsv --help'.\n", what.c_str());
  return 2;
}

// What both commands report: the findings, the records, the outcome.
class TReport {
 public:
  bool Json = false;
  json Doc = json::object();
  std::string Text;

  void Line(const std::string& file, const std::string& s) { Text += file + ": " + s + "\n"; }
  void Warning(const std::string& file, const std::string& s) {
    ++FReported;
    Line(file, "warning: " + s);
    Doc["warnings"].push_back(s);
  }
  void Reported() { ++FReported; }
  bool Clean() const { return FReported == 0; }

  void Findings(const std::string& file, const std::vector<TRecordFinding>& findings, int records,
                const std::vector<int>* rows) {
    Doc["header"] = nullptr;
    Doc["records"] = json::array();
    for (const TRecordFinding& f : findings) {
      ++FReported;
      const std::string field = certtool::FieldText(f.Field);
      json item = certtool::FindingJson(f.Field, f.Message);
      if (f.Record == 0) {
        Line(file, "header: " + field + ": " + f.Message);
        Doc["header"] = item;
        continue;
      }
      std::string where = "record " + std::to_string(f.Record);
      item["record"] = f.Record;
      if (rows) {
        const int row = (*rows)[static_cast<std::size_t>(f.Record - 1)];
        where += " (row " + std::to_string(row) + ")";
        item["row"] = row;
      }
      Line(file, where + ": " + field + ": " + f.Message);
      Doc["records"].push_back(item);
    }
    const int failing = certcsv::FailingRecords(findings, records);
    Line(file, certtool::SummaryText(records, failing));
    Doc["recordCount"] = records;
    Doc["failing"] = failing;
  }

  // Prints the report where the CSV is not going; returns the exit status.
  int Finish(bool toStderr) {
    const int status = Clean() ? 0 : 1;
    Doc["written"] = true;
    Doc["status"] = status;
    // A report that cannot be written must not pass for a clean run.
    return Print(toStderr) ? status : 2;
  }

  // Nothing was written: says why and returns 2.
  int Fail(const std::string& why) {
    Doc["written"] = false;
    Doc["error"] = why;
    Doc["status"] = 2;
    if (Json) Print(false);
    std::fprintf(stderr, "certcsv: %s\n", why.c_str());
    return 2;
  }

 private:
  bool Print(bool toStderr) {
    std::FILE* to = toStderr ? stderr : stdout;
    if (certtool::WriteAll(to, Json ? certtool::JsonText(Doc) : Text)) return true;
    const int err = errno;
    if (!toStderr)
      std::fprintf(stderr, "certcsv: cannot write the report to standard output: %s\n",
                   std::strerror(err));
    return false;
  }
  int FReported = 0;
};

int Export(const TOptions& o) {
  TReport report;
  report.Json = o.Json;
  report.Doc = {{"command", "export"},
                {"input", o.Input},
                {"output", o.Output.empty() ? json(nullptr) : json(o.Output)},
                {"messages", json::array()},
                {"warnings", json::array()}};
  const bool toStderr = o.Output.empty();
  cert::TCertFormat cert;
  cert.OnFileError = [&](cert::TObject*, const std::string& msg) {
    report.Reported();
    report.Line(o.Input, msg);
    report.Doc["messages"].push_back(cert::FileErrorToUtf8(msg));
  };
  cert.FileNameOpen = o.Input;
  try {
    if (cert::DefaultFileSystem().Info(o.Input).Kind == cert::fkMissing)
      return report.Fail("Cannot open \"" + o.Input + "\": No such file or directory");
    cert.ReadCertFile();
  } catch (const cert::TCertIOError& e) {
    return report.Fail(e.what());
  }
  report.Doc["blankLines"] = cert.BlankLineEncounter;
  if (cert.BlankLineEncounter) {
    report.Reported();
    report.Line(o.Input, certtool::kBlankLinesNote);
  }
  const int records = cert.DetailStr().Count();
  if (records == 0)
    report.Warning(o.Input,
                   "the file holds no detail records: the CSV has the column names only, "
                   "without the header's values");
  const std::vector<TRecordFinding> findings = certcsv::CheckRecords(cert);
  report.Findings(o.Input, findings, records, nullptr);

  const std::string csv = certcsv::ExportCsv(cert.HeaderRec, cert.DetailStr(), o.Bom);
  if (o.Output.empty()) {
    if (!certtool::WriteAll(stdout, csv)) return report.Fail("cannot write to standard output");
  } else {
    try {
      cert::ReplaceWholeFile(cert::DefaultFileSystem(), o.Output, csv);
    } catch (const cert::TCertIOError& e) {
      return report.Fail(e.what());
    }
  }
  return report.Finish(toStderr);
}

// A CSV value on one report line: line breaks and tabs shown as \r \n \t, and a long value
// shortened (JSON carries it whole).
std::string Shown(const std::string& value) {
  constexpr std::size_t kLongest = 80;
  std::string s;
  std::size_t i = 0;
  for (; i < value.size() && s.size() < kLongest; ++i) {
    const char c = value[i];
    s += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
  }
  // Not within a UTF-8 sequence.
  while (i < value.size() && (static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) s += value[i++];
  if (i < value.size()) s += "... (" + std::to_string(value.size()) + " bytes)";
  return s;
}

std::string SeparatorName(char c) { return c == '\t' ? "tab" : std::string(1, c); }

int Import(const TOptions& o) {
  TReport report;
  report.Json = o.Json;
  report.Doc = {{"command", "import"},
                {"input", o.Input},
                {"output", o.Output},
                {"warnings", json::array()},
                {"problems", json::array()}};
  std::string bytes;
  try {
    bytes = cert::ReadWholeFile(cert::DefaultFileSystem(), o.Input);
  } catch (const cert::TCertIOError& e) {
    return report.Fail(e.what());
  }
  if (certcsv::IsUtf16Text(bytes))
    return report.Fail(o.Input + ": UTF-16 text; save it as CSV in UTF-8 or Windows-1252");
  const certcsv::TCsvTable table = certcsv::TCsvTable::Parse(bytes);
  bytes = std::string();
  report.Doc["encoding"] = table.Encoding() == certcsv::ceUtf8 ? "UTF-8" : "Windows-1252";
  report.Doc["separator"] = SeparatorName(table.Separator());
  const std::vector<int> fields = certcsv::MapColumns(table);
  json columns = json::array();
  bool anyField = false;
  for (int c = 0; c < table.ColumnCount(); ++c) {
    const int f = fields[static_cast<std::size_t>(c)];
    anyField = anyField || f >= 0;
    columns.push_back({{"column", c + 1},
                       {"name", table.Columns()[static_cast<std::size_t>(c)]},
                       {"field", f < 0 ? json(nullptr) : json(f)}});
  }
  report.Doc["columns"] = columns;
  if (table.ColumnCount() == 0)
    return report.Fail(o.Input + ": no column names (the file is empty)");
  if (!anyField) return report.Fail(o.Input + ": no column names a certificate field");

  cert::TCertFormat cert;
  const certcsv::TCsvImport import = certcsv::ImportIntoWorkspace(cert, table, fields);
  for (const std::string& w : import.Warnings) report.Warning(o.Input, w);
  for (const certcsv::TCsvProblem& p : import.Problems) {
    report.Reported();
    const char* property = cert::FieldTable[static_cast<std::size_t>(p.Field)].Property;
    const std::string& name = table.Columns()[static_cast<std::size_t>(p.Column)];
    report.Line(o.Input, "row " + std::to_string(p.Row) + ", column \"" + Shown(name) +
                             "\": field " + std::to_string(p.Field) + " " + property + ": \"" +
                             Shown(p.Value) + "\" " + p.Reason + "; left empty");
    report.Doc["problems"].push_back({{"row", p.Row},
                                      {"column", p.Column + 1},
                                      {"columnName", name},
                                      {"field", p.Field},
                                      {"property", property},
                                      {"value", p.Value},
                                      {"reason", p.Reason}});
  }

  const std::vector<TRecordFinding> findings = certcsv::CheckRecords(cert);
  bool refused = false;
  cert.OnConfirmOverwrite = [&](const std::string&) {
    refused = !o.Force;
    return o.Force;
  };
  cert.FileNameSave = o.Output;
  try {
    cert.WriteCertFile();
  } catch (const cert::TCertIOError& e) {
    return report.Fail(e.what());
  }
  if (refused) return report.Fail(o.Output + " exists; --force replaces it");
  report.Findings(o.Output, findings, cert.DetailStr().Count(), &import.LineRows);
  return report.Finish(false);
}

}  // namespace

int Run(int argc, char** argv) {
  TOptions o;
  std::vector<std::string> files;
  bool optionsDone = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (optionsDone || arg.empty() || arg[0] != '-' || arg == "-") {
      if (o.Command.empty())
        o.Command = arg;
      else
        files.push_back(arg);
    } else if (arg == "--help") {
      std::fputs(kHelp, stdout);
      return 0;
    } else if (arg == "--version") {
      std::printf("certcsv %s\n", cert::kVersion);
      return 0;
    } else if (arg == "--") {
      optionsDone = true;
    } else if (arg == "-o") {
      if (++i >= argc) return Usage("-o needs a file name");
      o.Output = argv[i];
      if (o.Output.empty()) return Usage("-o needs a file name");
    } else if (arg == "--no-bom") {
      o.Bom = false;
    } else if (arg == "--force") {
      o.Force = true;
    } else if (arg == "--json") {
      o.Json = true;
    } else {
      return Usage("unknown option " + arg);
    }
  }
  if (o.Command != "export" && o.Command != "import")
    return Usage(o.Command.empty() ? "no command" : "unknown command " + o.Command);
  if (files.size() != 1)
    return Usage(files.empty() ? "no input file named" : "one input file only");
  o.Input = files.front();
  if (o.Command == "export") {
    if (o.Force) return Usage("--force is for import");
    return Export(o);
  }
  if (!o.Bom) return Usage("--no-bom is for export");
  if (o.Output.empty()) return Usage("import needs -o OUT.dat");
  return Import(o);
}

int main(int argc, char** argv) { return certtool::RunTool("certcsv", Run, argc, argv); }
