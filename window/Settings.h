// The settings file beside the executable: remember boxes, delete option, file names.
#pragma once

#include <array>
#include <map>
#include <string>

#include "FileSystem.h"

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

// Reads what the file holds over `values`; false (values untouched) when there is no file or
// it cannot be read.
bool LoadSettingsFile(const std::string& path, TSettingsValues& values,
                      cert::TFileSystem& fs = cert::DefaultFileSystem());
// Writes every key, changing only the lines of these keys (or adding them) and keeping every
// other byte of the file; false when it cannot, and then the file is as it was (a file that
// is there but cannot be read is never replaced).
bool SaveSettingsFile(const std::string& path, const TSettingsValues& values,
                      cert::TFileSystem& fs = cert::DefaultFileSystem());

// Some keys of one section, for windows that keep settings of their own.
using TSettingsKeys = std::map<std::string, std::string>;
// Reads the file's values of the keys given (a key the file lacks keeps its value); false
// (keys untouched) when there is no file or it cannot be read.
bool LoadSettingsKeys(const std::string& path, const std::string& section, TSettingsKeys& keys,
                      cert::TFileSystem& fs = cert::DefaultFileSystem());
// Writes the keys into the section as SaveSettingsFile writes the window's.
bool SaveSettingsKeys(const std::string& path, const std::string& section,
                      const TSettingsKeys& keys, cert::TFileSystem& fs = cert::DefaultFileSystem());

}  // namespace certwin
