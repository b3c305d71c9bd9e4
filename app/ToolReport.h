// What certcheck and certcsv say alike: the wording of findings, the JSON form, and output that
// must not fail unnoticed.
#pragma once

#include <cstdio>
#include <nlohmann/json.hpp>
#include <string>

namespace certtool {

// The note for a file read with blank lines or lines without a record code.
extern const char kBlankLinesNote[];

// "field N PROPERTY".
std::string FieldText(int field);
// A failing rule as JSON: field, property and message (the file's text shown as UTF-8).
nlohmann::json FindingJson(int field, const std::string& message);
// "R records, F failing".
std::string SummaryText(int records, int failing);
// The document as printed; a name that is not UTF-8 cannot be told in JSON, so its odd bytes
// show as U+FFFD.
std::string JsonText(const nlohmann::json& doc);

// Writes and flushes all of `text`; false when that failed.
bool WriteAll(std::FILE* to, const std::string& text);
// Runs a tool's main; running out of memory anywhere ends it with status 2 and says so.
int RunTool(const char* name, int (*run)(int, char**), int argc, char** argv);

}  // namespace certtool
