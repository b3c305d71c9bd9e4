// certcheck: checks certificate files record by record, continuing past failures.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CertFormat.h"
#include "CertRules.h"
#include "CertStream.h"
#include "CertVersion.h"
#include "FileSystem.h"
#include "ToolReport.h"

namespace {

const char kHelp[] =
    "Usage: certcheck [--json] [--all-rules] [--strict] FILE...\n"
    "\n"
    "Reads each certificate file and checks every detail record against the fund's rules,\n"
    "going on past failing records. One line is printed for each finding, in this order:\n"
    "  FILE: MESSAGE                          a problem found while reading the file\n"
    "  FILE: blank lines ...                  lines were dropped while reading\n"
    "  FILE: header: field N PROPERTY: MESSAGE\n"
    "                                         the header fails; no record is checked further\n"
    "  FILE: record R: field N PROPERTY: MESSAGE\n"
    "                                         detail record R (1-based) fails its first rule\n"
    "  FILE: record R: possible duplicate of record Q\n"
    "                                         a warning: record R has the same insured's\n"
    "                                         license number, policy number, policy from date\n"
    "                                         and processing type as record Q, the first such\n"
    "                                         record (records without a license number are\n"
    "                                         never duplicates)\n"
    "  FILE: R records, F failing[, D possible duplicates]\n"
    "                                         the summary of a file that could be read\n"
    "                                         (a failing header counts every record)\n"
    "\n"
    "Options:\n"
    "  --json       print the same findings as one JSON document\n"
    "  --all-rules  print every rule each failing record fails, in rule order, not only the\n"
    "               first; every failing rule of the header too, and then the records' own\n"
    "               failures although the header fails\n"
    "  --strict     count possible duplicates as failures in the exit status\n"
    "  --help       print this text\n"
    "  --version    print the program's version\n"
    "\n"
    "Exit status: 0 when every file read without a message or dropped line and every record\n"
    "passed; 1 when there was any message, dropped line or failing record (or, with --strict,\n"
    "a possible duplicate); 2 on a usage error, when a file could not be read at all (a\n"
    "missing file, a directory, a FIFO or device, too little memory) or when the findings\n"
    "could not be written. Possible duplicates alone never change it without --strict.\n";

struct TOptions {
  bool Json = false;
  bool AllRules = false;
  bool Strict = false;
};

struct TFileReport {
  std::string File;
  std::unique_ptr<cert::TStreamCheck> Check;
  std::string IoError;  // the system's words, with the file's name as given
  bool Readable = true;
  int Status(bool strict) const {
    if (!Readable) return 2;
    const bool warned = strict && Check->Duplicates() > 0;
    return !Check->HasMessages() && !Check->BlankLines() && !Check->Found() && !warned ? 0 : 1;
  }
};

// Each line is checked as it is read: nothing of the file is held but what is found.
TFileReport CheckFile(const std::string& file, const TOptions& options) {
  TFileReport report;
  report.File = file;
  cert::TStreamOptions stream;
  stream.AllRules = options.AllRules;
  report.Check = std::make_unique<cert::TStreamCheck>(cert::DefaultFileSystem(), file, stream);
  try {
    report.Readable = report.Check->Run();  // a missing file says so in its own words
  } catch (const cert::TCertIOError& e) {
    report.IoError = e.what();
    report.Readable = false;
  }
  return report;
}

// Findings that cannot be written must not pass for a clean run.
void Emit(const std::string& text) {
  if (certtool::WriteAll(stdout, text)) return;
  const int err = errno;
  std::fprintf(stderr, "certcheck: cannot write the findings to standard output: %s\n",
               std::strerror(err));
  std::exit(2);
}

// Text goes out a buffer at a time, so that many findings never pile up in memory.
class TOut {
 public:
  ~TOut() { Flush(); }
  TOut& operator<<(const std::string& s) {
    FText += s;
    if (FText.size() >= kFlushAt) Flush();
    return *this;
  }
  void Flush() {
    if (!FText.empty()) Emit(FText);
    FText.clear();
  }

 private:
  static constexpr std::size_t kFlushAt = 1 << 16;
  std::string FText;
};

std::string DuplicateText(const cert::TStreamDuplicate& d) {
  return "record " + std::to_string(d.Record + 1) + ": possible duplicate of record " +
         std::to_string(d.Of + 1);
}

std::string DuplicateSummary(const cert::TStreamCheck& c) {
  const int n = c.Duplicates();
  if (n == 0) return std::string();
  return ", " + std::to_string(n) + (n == 1 ? " possible duplicate" : " possible duplicates");
}

std::string Where(const cert::TStreamFinding& f) {
  return (f.Record < 0 ? std::string("header") : "record " + std::to_string(f.Record + 1)) + ": " +
         certtool::FieldText(f.Result.Field);
}

void PrintText(const TFileReport& r, TOut& out) {
  const std::string prefix = r.File + ": ";
  r.Check->ForEachMessage([&](const std::string& m) { out << prefix + m + "\n"; });
  if (!r.IoError.empty()) out << prefix + r.IoError + "\n";
  if (!r.Readable) return;
  const cert::TStreamCheck& c = *r.Check;
  if (c.BlankLines()) out << prefix + certtool::kBlankLinesNote + "\n";
  c.ForEachFinding([&](const cert::TStreamFinding& f) {
    out << prefix + Where(f) + ": " + *f.Result.Message + "\n";
  });
  c.ForEachDuplicate(
      [&](const cert::TStreamDuplicate& d) { out << prefix + DuplicateText(d) + "\n"; });
  out << prefix + certtool::SummaryText(c.Records(), c.Failing()) + DuplicateSummary(c) + "\n";
}

nlohmann::json ToJson(const TFileReport& r, const TOptions& options) {
  nlohmann::json j;
  j["file"] = r.File;
  j["readable"] = r.Readable;
  j["messages"] = nlohmann::json::array();
  r.Check->ForEachMessage(
      [&](const std::string& m) { j["messages"].push_back(cert::FileErrorToUtf8(m)); });
  if (!r.IoError.empty()) j["messages"].push_back(r.IoError);
  if (!r.Readable) return j;
  const cert::TStreamCheck& c = *r.Check;
  j["blankLines"] = c.BlankLines();
  j["header"] = nullptr;
  if (options.AllRules) j["headerRules"] = nlohmann::json::array();
  j["records"] = nlohmann::json::array();
  c.ForEachFinding([&](const cert::TStreamFinding& f) {
    nlohmann::json item = certtool::FindingJson(f.Result.Field, *f.Result.Message);
    if (f.Record < 0) {
      if (j["header"].is_null()) j["header"] = item;
      if (options.AllRules) j["headerRules"].push_back(item);
    } else {
      item["record"] = f.Record + 1;
      j["records"].push_back(item);
    }
  });
  j["recordCount"] = c.Records();
  j["failing"] = c.Failing();
  j["warnings"] = nlohmann::json::array();
  c.ForEachDuplicate([&](const cert::TStreamDuplicate& d) {
    j["warnings"].push_back(
        {{"record", d.Record + 1}, {"duplicateOf", d.Of + 1}, {"message", DuplicateText(d)}});
  });
  j["possibleDuplicates"] = c.Duplicates();
  return j;
}

int Run(int argc, char** argv) {
  TOptions options;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      Emit(kHelp);
      return 0;
    }
    if (arg == "--version") {
      Emit(std::string("certcheck ") + cert::kVersion + "\n");
      return 0;
    }
    if (arg == "--json") {
      options.Json = true;
    } else if (arg == "--all-rules") {
      options.AllRules = true;
    } else if (arg == "--strict") {
      options.Strict = true;
    } else if (arg == "--") {
      for (++i; i < argc; ++i) files.emplace_back(argv[i]);
    } else if (arg.size() > 1 && arg[0] == '-') {
      std::fprintf(stderr, "certcheck: unknown option %s\nTry 'certcheck --help'.\n", arg.c_str());
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::fputs("certcheck: no file named\nTry 'certcheck --help'.\n", stderr);
    return 2;
  }
  int status = 0;
  nlohmann::json doc = {{"files", nlohmann::json::array()}};
  for (const std::string& file : files) {
    const TFileReport report = CheckFile(file, options);
    status = std::max(status, report.Status(options.Strict));
    if (options.Json) {
      doc["files"].push_back(ToJson(report, options));
    } else {
      TOut out;
      PrintText(report, out);
    }
  }
  if (options.Json) {
    doc["status"] = status;
    Emit(certtool::JsonText(doc));
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) { return certtool::RunTool("certcheck", Run, argc, argv); }
