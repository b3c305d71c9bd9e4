#include "Settings.h"

#include <SimpleIni.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "FieldTable.h"

namespace certwin {

namespace {

const char kRememberSection[] = "New Detail Record";
const char kDeleteSection[] = "Delete Option";
const char kDeleteKey[] = "Confir&m Delete";
const char kFileSection[] = "Filename";
const char kOutputKey[] = "OutputFilename";
const char kInputKey[] = "InputFilename";

// Booleans are integers: any non-zero value is true; anything else gives the default.
// CSimpleIniA matches sections and keys without regard to case.
bool ReadBool(const CSimpleIniA& ini, const char* section, const char* key, bool def) {
  const char* v = ini.GetValue(section, key, nullptr);
  if (!v || !*v) return def;
  char* end = nullptr;
  errno = 0;
  const long n = std::strtol(v, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) ++end;
  if (errno != 0 || end == v || (end && *end)) return def;
  return n != 0;
}

}  // namespace

std::string SettingsPath(const std::string& directory, char separator) {
  if (!directory.empty() && directory.back() == separator) return directory + SettingsFileName;
  return directory + separator + SettingsFileName;
}

bool LoadSettingsFile(const std::string& path, TSettingsValues& values) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  CSimpleIniA ini;
  ini.SetUnicode(false);
  ini.SetMultiKey(false);
  if (ini.LoadFile(path.c_str()) < 0) return false;
  for (std::size_t i = 0; i < RememberBoxes.size(); ++i)
    values.Remember[i] = ReadBool(ini, kRememberSection, RememberBoxes[i].Caption, true);
  values.ConfirmDelete = ReadBool(ini, kDeleteSection, kDeleteKey, true);
  values.OutputFilename = ini.GetValue(kFileSection, kOutputKey, DefaultCertFile);
  values.InputFilename = ini.GetValue(kFileSection, kInputKey, DefaultCertFile);
  return true;
}

bool SaveSettingsFile(const std::string& path, const TSettingsValues& values) {
  CSimpleIniA ini;
  ini.SetUnicode(false);
  ini.SetMultiKey(false);
  ini.SetSpaces(false);
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) ini.LoadFile(path.c_str());
  for (std::size_t i = 0; i < RememberBoxes.size(); ++i)
    ini.SetValue(kRememberSection, RememberBoxes[i].Caption, values.Remember[i] ? "1" : "0");
  ini.SetValue(kDeleteSection, kDeleteKey, values.ConfirmDelete ? "1" : "0");
  ini.SetValue(kFileSection, kOutputKey, values.OutputFilename.c_str());
  ini.SetValue(kFileSection, kInputKey, values.InputFilename.c_str());
  return ini.SaveFile(path.c_str()) >= 0;
}

bool LoadSettingsKeys(const std::string& path, const std::string& section, TSettingsKeys& keys) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  CSimpleIniA ini;
  ini.SetUnicode(false);
  ini.SetMultiKey(false);
  if (ini.LoadFile(path.c_str()) < 0) return false;
  for (auto& [key, value] : keys)
    if (const char* v = ini.GetValue(section.c_str(), key.c_str(), nullptr)) value = v;
  return true;
}

bool SaveSettingsKeys(const std::string& path, const std::string& section,
                      const TSettingsKeys& keys) {
  CSimpleIniA ini;
  ini.SetUnicode(false);
  ini.SetMultiKey(false);
  ini.SetSpaces(false);
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) ini.LoadFile(path.c_str());
  for (const auto& [key, value] : keys) ini.SetValue(section.c_str(), key.c_str(), value.c_str());
  return ini.SaveFile(path.c_str()) >= 0;
}

}  // namespace certwin
