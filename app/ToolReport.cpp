#include "ToolReport.h"

#include <new>

#include "CertLayout.h"
#include "Cp1252.h"
#include "FileSystem.h"

namespace certtool {

const char kBlankLinesNote[] =
    "blank lines or lines without a record code were dropped while reading; saving the file in "
    "the window removes them (the fund rejects files with blank lines)";

std::string FieldText(int field) {
  return "field " + std::to_string(field) + " " +
         cert::FieldTable[static_cast<std::size_t>(field)].Property;
}

nlohmann::json FindingJson(int field, const std::string& message) {
  return {{"field", field},
          {"property", cert::FieldTable[static_cast<std::size_t>(field)].Property},
          {"message", cert::Cp1252ToUtf8(message)}};
}

std::string SummaryText(int records, int failing) {
  return std::to_string(records) + " records, " + std::to_string(failing) + " failing";
}

std::string JsonText(const nlohmann::json& doc) {
  return doc.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}

bool WriteAll(std::FILE* to, const std::string& text) {
  return std::fwrite(text.data(), 1, text.size(), to) == text.size() && std::fflush(to) == 0;
}

int RunTool(const char* name, int (*run)(int, char**), int argc, char** argv) {
  cert::StartCommandLineProgram(argc, argv);
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: not enough memory\n", name);
    return 2;
  }
}

}  // namespace certtool
