// The settings file: remember boxes, delete option, file names. It lives beside the executable,
// or in the user's configuration folder when the tool is installed where users cannot write.
#pragma once

#include <array>
#include <map>
#include <string>

#include "FileSystem.h"

namespace certwin {

inline const char* const SettingsFileName = "dovrane.ini";
inline const char* const DefaultCertFile = "c:\\tavcerti.dat";
// The folder in the user's configuration folder that holds an installed tool's settings.
inline const char* const SettingsFolderName = "certeditor";

struct TSettingsValues {
  // CheckBox1 to CheckBox13, all checked when built.
  std::array<bool, 13> Remember{
      {true, true, true, true, true, true, true, true, true, true, true, true, true}};
  bool ConfirmDelete = true;
  std::string OutputFilename = DefaultCertFile;
  std::string InputFilename = DefaultCertFile;
};

// The directory followed by the file name, with exactly one separator between them.
std::string SettingsPath(const std::string& directory, char separator = cert::kPathSeparator);

using cert::DirectoryOf;

// What the choice of the settings folder rests on.
struct TSettingsPlaces {
  std::string ExecutableDir;  // the executable's folder; empty when unknown
  bool FileThere = false;     // ExecutableDir holds a settings file (or anything of its name)
  bool Writable = false;      // new files can be made in ExecutableDir
  std::string UserConfigDir;  // the user's configuration folder; empty when there is none
};

// Beside the executable when its folder holds the settings file or takes new files (a copied,
// portable tool); otherwise SettingsFolderName in the user's configuration folder (an
// installed tool), which is made when the settings are first written.
std::string ChooseSettingsDirectory(const TSettingsPlaces& places,
                                    char separator = cert::kPathSeparator);
// Looks at the executable's folder and the user's configuration folder through fs, and
// chooses.
std::string FindSettingsDirectory(cert::TFileSystem& fs = cert::DefaultFileSystem());

// Reads what the file holds over `values`; false (values untouched) when there is no file or
// it cannot be read.
bool LoadSettingsFile(const std::string& path, TSettingsValues& values,
                      cert::TFileSystem& fs = cert::DefaultFileSystem());
// Writes every key, changing only the lines of these keys (or adding them) and keeping every
// other byte of the file; a missing folder is made first. False when it cannot, and then the
// file is as it was (a file that is there but cannot be read is never replaced).
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
