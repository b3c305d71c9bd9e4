// The settings file beside the executable: remember boxes, delete option, file names.
#pragma once

#include <array>
#include <string>

namespace certwin {

inline const char* const SettingsFileName = "dovrane.ini";
inline const char* const DefaultCertFile = "c:\\tavcerti.dat";

struct TSettingsValues {
  // CheckBox1 to CheckBox13, all checked when built.
  std::array<bool, 13> Remember{
      {true, true, true, true, true, true, true, true, true, true, true, true, true}};
  bool ConfirmDelete = true;
  std::string OutputFilename = DefaultCertFile;
  std::string InputFilename = DefaultCertFile;
};

// The directory followed by the file name, with exactly one separator between them.
std::string SettingsPath(const std::string& directory, char separator = '/');

// Reads what the file holds over `values`; false (values untouched) when there is no file.
bool LoadSettingsFile(const std::string& path, TSettingsValues& values);
// Writes every key, keeping the file's other sections and keys; false when it cannot.
bool SaveSettingsFile(const std::string& path, const TSettingsValues& values);

}  // namespace certwin
