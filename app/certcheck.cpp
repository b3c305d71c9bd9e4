// certcheck: checks certificate files record by record, continuing past failures.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "CertFormat.h"
#include "CertVersion.h"
#include "Cp1252.h"

namespace {

const char kHelp[] =
    "Usage: certcheck [--json] FILE...\n"
    "\n"
    "Reads each certificate file and checks every detail record against the fund's rules,\n"
    "going on past failing records. One line is printed for each finding, in this order:\n"
    "  FILE: MESSAGE                          a problem found while reading the file\n"
    "  FILE: blank lines ...                  lines were dropped while reading\n"
    "  FILE: header: field N PROPERTY: MESSAGE\n"
    "                                         the header fails; no record is checked further\n"
    "  FILE: record R: field N PROPERTY: MESSAGE\n"
    "                                         detail record R (1-based) fails its first rule\n"
    "  FILE: R records, F failing             the summary of a file that could be read\n"
    "                                         (a failing header counts every record)\n"
    "\n"
    "Options:\n"
    "  --json     print the same findings as one JSON document\n"
    "  --help     print this text\n"
    "  --version  print the program's version\n"
    "\n"
    "Exit status: 0 when every file read without a message or dropped line and every record\n"
    "passed; 1 when there was any message, dropped line or failing record; 2 on a usage error\n"
    "or when a file could not be read at all (a missing file included).\n";

const char kBlankLines[] =
    "blank lines or lines without a record code were dropped while reading; saving the file in "
    "the window removes them (the fund rejects files with blank lines)";

struct TFinding {
  int Record;  // 0: the header
  int Field;
  std::string Message;
};

struct TFileReport {
  std::string File;
  std::vector<std::string> Messages;
  std::string IoError;  // the system's words, with the file's name as given
  bool Readable = true;
  bool BlankLines = false;
  std::vector<TFinding> Findings;
  int Records = 0;
  int Status() const {
    if (!Readable) return 2;
    return Messages.empty() && !BlankLines && Findings.empty() ? 0 : 1;
  }
};

TFileReport CheckFile(const std::string& file) {
  TFileReport report;
  report.File = file;
  cert::TCertFormat cert;
  cert.OnFileError = [&](cert::TObject*, const std::string& msg) {
    report.Messages.push_back(msg);
  };
  cert.FileNameOpen = file;
  std::error_code ec;
  const bool exists = std::filesystem::exists(file, ec);
  try {
    cert.ReadCertFile();
  } catch (const cert::TCertIOError& e) {
    report.IoError = e.what();
    report.Readable = false;
    return report;
  }
  if (!exists) {  // the reader has said so in its own words
    report.Readable = false;
    return report;
  }
  report.BlankLines = cert.BlankLineEncounter;
  report.Records = cert.DetailStr().Count();
  for (int i = 0; i < report.Records; ++i) {
    cert::ParseDetailLine(cert.DetailStr()[i], cert.DetailRec);
    const int field = cert.CheckForErrors();
    if (field < 0) continue;
    const bool header = field < cert::HeaderFieldCount;
    report.Findings.push_back({header ? 0 : i + 1, field, cert.Binding(field).ErrorMsg});
    if (header) break;  // every record would report the same header field
  }
  return report;
}

// A failing header fails every record.
int Failing(const TFileReport& r) {
  return !r.Findings.empty() && r.Findings[0].Record == 0 ? r.Records
                                                          : static_cast<int>(r.Findings.size());
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
  out += r.File + ": " + std::to_string(r.Records) + " records, " + std::to_string(Failing(r)) +
         " failing\n";
}

nlohmann::json ToJson(const TFileReport& r) {
  nlohmann::json j;
  j["file"] = r.File;
  j["readable"] = r.Readable;
  j["messages"] = nlohmann::json::array();
  for (const std::string& m : r.Messages) j["messages"].push_back(cert::FileErrorToUtf8(m));
  if (!r.IoError.empty()) j["messages"].push_back(r.IoError);
  if (!r.Readable) return j;
  j["blankLines"] = r.BlankLines;
  j["header"] = nullptr;
  j["records"] = nlohmann::json::array();
  for (const TFinding& f : r.Findings) {
    nlohmann::json item = {{"field", f.Field},
                           {"property", cert::FieldTable[f.Field].Property},
                           {"message", cert::Cp1252ToUtf8(f.Message)}};
    if (f.Record == 0) {
      j["header"] = item;
    } else {
      item["record"] = f.Record;
      j["records"].push_back(item);
    }
  }
  j["recordCount"] = r.Records;
  j["failing"] = Failing(r);
  return j;
}

}  // namespace

int main(int argc, char** argv) {
  bool json = false;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("certcheck %s\n", cert::kVersion);
      return 0;
    }
    if (arg == "--json") {
      json = true;
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
    const TFileReport report = CheckFile(file);
    status = std::max(status, report.Status());
    if (json) {
      doc["files"].push_back(ToJson(report));
    } else {
      std::string out;
      PrintText(report, out);
      std::fwrite(out.data(), 1, out.size(), stdout);
    }
  }
  if (json) {
    doc["status"] = status;
    // A name that is not UTF-8 cannot be told in JSON: its odd bytes show as U+FFFD.
    std::cout << doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  }
  return status;
}
