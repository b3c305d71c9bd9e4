// certcheck: checks certificate files record by record, continuing past failures.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CertFormat.h"
#include "CertRules.h"
#include "CertVersion.h"
#include "Cp1252.h"
#include "FileSystem.h"

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

const char kBlankLines[] =
    "blank lines or lines without a record code were dropped while reading; saving the file in "
    "the window removes them (the fund rejects files with blank lines)";

struct TFinding {
  int Record;  // 0: the header
  int Field;
  std::string Message;
};

// Record (1-based) repeats the provider key of record Of, the first record that has it.
struct TDuplicate {
  int Record;
  int Of;
};

struct TOptions {
  bool Json = false;
  bool AllRules = false;
  bool Strict = false;
};

struct TFileReport {
  std::string File;
  std::vector<std::string> Messages;
  std::string IoError;  // the system's words, with the file's name as given
  bool Readable = true;
  bool BlankLines = false;
  std::vector<TFinding> Findings;
  std::vector<TDuplicate> Duplicates;
  int Records = 0;
  int Status(bool strict) const {
    if (!Readable) return 2;
    const bool warned = strict && !Duplicates.empty();
    return Messages.empty() && !BlankLines && Findings.empty() && !warned ? 0 : 1;
  }
};

// Every failing header rule, then each record's own failing rules, all of them.
void FindAllRules(cert::TCertFormat& cert, TFileReport& report) {
  std::vector<cert::TCheckResult> failed;
  cert::ListFailingRules(cert.HeaderRec, cert.DetailRec, failed, cert::rsHeader);
  for (const cert::TCheckResult& r : failed) report.Findings.push_back({0, r.Field, *r.Message});
  for (int i = 0; i < report.Records; ++i) {
    cert::ParseDetailLine(cert.DetailStr()[i], cert.DetailRec);
    cert::ListFailingRules(cert.HeaderRec, cert.DetailRec, failed, cert::rsDetail);
    for (const cert::TCheckResult& r : failed)
      report.Findings.push_back({i + 1, r.Field, *r.Message});
  }
}

void FindDuplicates(cert::TCertFormat& cert, TFileReport& report) {
  cert.OnDuplicateProvider = [&report](cert::TObject*, int first, int later) {
    report.Duplicates.push_back({later + 1, first + 1});
  };
  cert.FindDuplicateProviders();
}

void ReadAndCheck(const std::string& file, const TOptions& options, TFileReport& report) {
  cert::TCertFormat cert;
  cert.OnFileError = [&](cert::TObject*, const std::string& msg) {
    report.Messages.push_back(msg);
  };
  cert.FileNameOpen = file;
  if (cert::DefaultFileSystem().Info(file).Kind == cert::fkMissing) {
    report.Readable = false;
    cert.ReadCertFile();  // says so in its own words
    return;
  }
  cert.ReadCertFile();
  report.BlankLines = cert.BlankLineEncounter;
  report.Records = cert.DetailStr().Count();
  FindDuplicates(cert, report);
  if (options.AllRules) {
    FindAllRules(cert, report);
    return;
  }
  for (int i = 0; i < report.Records; ++i) {
    cert::ParseDetailLine(cert.DetailStr()[i], cert.DetailRec);
    const int field = cert.CheckForErrors();
    if (field < 0) continue;
    const bool header = field < cert::HeaderFieldCount;
    report.Findings.push_back({header ? 0 : i + 1, field, cert.Binding(field).ErrorMsg});
    if (header) break;  // every record would report the same header field
  }
}

TFileReport CheckFile(const std::string& file, const TOptions& options) {
  TFileReport report;
  report.File = file;
  try {
    ReadAndCheck(file, options, report);
  } catch (const cert::TCertIOError& e) {
    report.IoError = e.what();
    report.Readable = false;
  } catch (const std::bad_alloc&) {
    report.IoError = "Cannot check \"" + file + "\": not enough memory";
    report.Readable = false;
  }
  return report;
}

// Findings that cannot be written must not pass for a clean run.
void Emit(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
    return;
  const int err = errno;
  std::fprintf(stderr, "certcheck: cannot write the findings to standard output: %s\n",
               std::strerror(err));
  std::exit(2);
}

// A failing header fails every record; a record with several findings counts once.
int Failing(const TFileReport& r) {
  if (!r.Findings.empty() && r.Findings[0].Record == 0) return r.Records;
  int failing = 0;
  for (std::size_t k = 0; k < r.Findings.size(); ++k)
    if (k == 0 || r.Findings[k].Record != r.Findings[k - 1].Record) ++failing;
  return failing;
}

std::string DuplicateText(const TDuplicate& d) {
  return "record " + std::to_string(d.Record) + ": possible duplicate of record " +
         std::to_string(d.Of);
}

std::string DuplicateSummary(const TFileReport& r) {
  const std::size_t n = r.Duplicates.size();
  if (n == 0) return std::string();
  return ", " + std::to_string(n) + (n == 1 ? " possible duplicate" : " possible duplicates");
}

std::string Where(const TFinding& f) {
  return (f.Record == 0 ? std::string("header") : "record " + std::to_string(f.Record)) +
         ": field " + std::to_string(f.Field) + " " + cert::FieldTable[f.Field].Property;
}

void PrintText(const TFileReport& r, std::string& out) {
  for (const std::string& m : r.Messages) out += r.File + ": " + m + "\n";
  if (!r.IoError.empty()) out += r.File + ": " + r.IoError + "\n";
  if (!r.Readable) return;
  if (r.BlankLines) out += r.File + ": " + kBlankLines + "\n";
  for (const TFinding& f : r.Findings) out += r.File + ": " + Where(f) + ": " + f.Message + "\n";
  for (const TDuplicate& d : r.Duplicates) out += r.File + ": " + DuplicateText(d) + "\n";
  out += r.File + ": " + std::to_string(r.Records) + " records, " + std::to_string(Failing(r)) +
         " failing" + DuplicateSummary(r) + "\n";
}

nlohmann::json ToJson(const TFileReport& r, const TOptions& options) {
  nlohmann::json j;
  j["file"] = r.File;
  j["readable"] = r.Readable;
  j["messages"] = nlohmann::json::array();
  for (const std::string& m : r.Messages) j["messages"].push_back(cert::FileErrorToUtf8(m));
  if (!r.IoError.empty()) j["messages"].push_back(r.IoError);
  if (!r.Readable) return j;
  j["blankLines"] = r.BlankLines;
  j["header"] = nullptr;
  if (options.AllRules) j["headerRules"] = nlohmann::json::array();
  j["records"] = nlohmann::json::array();
  for (const TFinding& f : r.Findings) {
    nlohmann::json item = {{"field", f.Field},
                           {"property", cert::FieldTable[f.Field].Property},
                           {"message", cert::Cp1252ToUtf8(f.Message)}};
    if (f.Record == 0) {
      if (j["header"].is_null()) j["header"] = item;
      if (options.AllRules) j["headerRules"].push_back(item);
    } else {
      item["record"] = f.Record;
      j["records"].push_back(item);
    }
  }
  j["recordCount"] = r.Records;
  j["failing"] = Failing(r);
  j["warnings"] = nlohmann::json::array();
  for (const TDuplicate& d : r.Duplicates)
    j["warnings"].push_back(
        {{"record", d.Record}, {"duplicateOf", d.Of}, {"message", DuplicateText(d)}});
  j["possibleDuplicates"] = r.Duplicates.size();
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
      std::string out;
      PrintText(report, out);
      Emit(out);
    }
  }
  if (options.Json) {
    doc["status"] = status;
    // A name that is not UTF-8 cannot be told in JSON: its odd bytes show as U+FFFD.
    Emit(doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  cert::StartCommandLineProgram(argc, argv);
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("certcheck: not enough memory\n", stderr);
    return 2;
  }
}
