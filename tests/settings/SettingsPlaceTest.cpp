// Where the settings file lives: beside the executable for a portable tool, in the user's
// configuration folder for an installed one.
#include <gtest/gtest.h>

#include <filesystem>

#include "../support/FaultyFileSystem.h"
#include "../support/FileBytes.h"
#include "../support/TempDir.h"
#include "Settings.h"

using namespace certwin;
using namespace certtest;

namespace {

struct TDirCase {
  const char* Name;
  std::string Path;
  char Separator;
  std::string Directory;
};

void PrintTo(const TDirCase& c, std::ostream* os) { *os << c.Name; }

class SettingsDirectoryOf : public ::testing::TestWithParam<TDirCase> {};

TEST_P(SettingsDirectoryOf, CutsTheNameAway) {
  EXPECT_EQ(DirectoryOf(GetParam().Path, GetParam().Separator), GetParam().Directory);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsDirectoryOf,
    ::testing::Values(
        TDirCase{"Installed", "/usr/bin/certeditor", '/', "/usr/bin"},
        TDirCase{"Root", "/certeditor", '/', "/"}, TDirCase{"BareName", "certeditor", '/', "."},
        TDirCase{"BytesKept", "/opt/caf\xE9/certeditor", '/', "/opt/caf\xE9"},
        TDirCase{"BackslashIsANameOnPosix", "/opt/a\\b", '/', "/opt"},
        TDirCase{"ProgramFiles", "C:\\Program Files\\Cert\\certeditor.exe", '\\',
                 "C:\\Program Files\\Cert"},
        TDirCase{"DriveRoot", "C:\\certeditor.exe", '\\', "C:\\"},
        TDirCase{"ForwardSlashesOnWindows", "C:/Tools/certeditor.exe", '\\', "C:/Tools"},
        TDirCase{"Share", "\\\\server\\share\\certeditor.exe", '\\', "\\\\server\\share"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPlaceCase {
  const char* Name;
  TSettingsPlaces Places;
  char Separator;
  std::string Directory;
};

void PrintTo(const TPlaceCase& c, std::ostream* os) { *os << c.Name; }

class SettingsPlace : public ::testing::TestWithParam<TPlaceCase> {};

TEST_P(SettingsPlace, IsChosen) {
  EXPECT_EQ(ChooseSettingsDirectory(GetParam().Places, GetParam().Separator), GetParam().Directory);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsPlace,
    ::testing::Values(
        TPlaceCase{"PortableWritable",
                   {"/home/u/tools", false, true, "/home/u/.config"},
                   '/',
                   "/home/u/tools"},
        TPlaceCase{"PortableWithItsFile",
                   {"/home/u/tools", true, true, "/home/u/.config"},
                   '/',
                   "/home/u/tools"},
        // An administrator's file beside an installed tool is used, even where it cannot be
        // written.
        TPlaceCase{"FileBesideReadOnlyFolder",
                   {"/usr/bin", true, false, "/home/u/.config"},
                   '/',
                   "/usr/bin"},
        TPlaceCase{"Installed",
                   {"/usr/bin", false, false, "/home/u/.config"},
                   '/',
                   "/home/u/.config/certeditor"},
        TPlaceCase{"InstalledConfigWithSlash",
                   {"/usr/bin", false, false, "/srv/cfg/"},
                   '/',
                   "/srv/cfg/certeditor"},
        TPlaceCase{
            "InstalledUserWithoutConfigFolder", {"/usr/bin", false, false, ""}, '/', "/usr/bin"},
        TPlaceCase{"UnknownExecutable",
                   {"", false, false, "/home/u/.config"},
                   '/',
                   "/home/u/.config/certeditor"},
        TPlaceCase{"NothingKnown", {"", false, false, ""}, '/', "."},
        TPlaceCase{"ProgramFiles",
                   {"C:\\Program Files\\Cert", false, false, "C:\\Users\\u\\AppData\\Roaming"},
                   '\\',
                   "C:\\Users\\u\\AppData\\Roaming\\certeditor"},
        TPlaceCase{"CopiedToDesktop",
                   {"C:\\Users\\u\\Desktop\\Cert", false, true, "C:\\Users\\u\\AppData\\Roaming"},
                   '\\',
                   "C:\\Users\\u\\Desktop\\Cert"},
        TPlaceCase{"DriveRootWritable",
                   {"C:\\", false, true, "C:\\Users\\u\\AppData\\Roaming"},
                   '\\',
                   "C:\\"}),
    [](const auto& info) { return std::string(info.param.Name); });

// The executable, the user's configuration folder and whether a folder takes new files are
// what this file system says; everything else is the real file system in a temporary folder.
class TPlacesFileSystem : public TFaultyFileSystem {
 public:
  std::string Executable, UserConfig;
  bool Writable = false;
  std::vector<std::string> Asked;  // the folders asked about

  std::string ExecutablePath() override { return Executable; }
  std::string UserConfigDirectory() override { return UserConfig; }
  bool CanCreateIn(const std::string& directory) override {
    Asked.push_back(directory);
    return Writable;
  }
};

class SettingsFind : public ::testing::Test {
 protected:
  SettingsFind() {
    std::filesystem::create_directory(std::filesystem::u8path(Dir.File("bin")));
    Fs.Executable = Dir.File("bin/certeditor");
    Fs.UserConfig = Dir.File("home/.config");
  }
  std::string Bin() const { return Dir.File("bin"); }
  TTempDir Dir;
  TPlacesFileSystem Fs;
};

TEST_F(SettingsFind, BesideAWritableExecutable) {
  Fs.Writable = true;
  EXPECT_EQ(FindSettingsDirectory(Fs), Bin());
  EXPECT_EQ(Fs.Asked, std::vector<std::string>{Bin()});
}

TEST_F(SettingsFind, InTheUsersFolderWhenInstalled) {
  EXPECT_EQ(FindSettingsDirectory(Fs),
            Dir.File("home/.config") + cert::kPathSeparator + "certeditor");
  EXPECT_EQ(Fs.Log, std::vector<std::string>{}) << "nothing made by looking";
}

TEST_F(SettingsFind, BesideAnInstalledExecutableThatHasItsFile) {
  WriteAll(Dir.File("bin/dovrane.ini"), "[Filename]\n");
  EXPECT_EQ(FindSettingsDirectory(Fs), Bin());
  EXPECT_TRUE(Fs.Asked.empty()) << "the file decides; the folder need not take new ones";
}

TEST_F(SettingsFind, BesideWhenTheUserHasNoConfigurationFolder) {
  Fs.UserConfig.clear();
  EXPECT_EQ(FindSettingsDirectory(Fs), Bin());
}

#ifndef _WIN32
// The window used to take the folder from text already decoded, which damaged a folder whose
// name is not UTF-8. Such names exist on POSIX only.
TEST_F(SettingsFind, AFolderNameThatIsNotUtf8IsKept) {
  const std::string bin = Dir.File("caf\xE9");
  std::filesystem::create_directory(bin);
  WriteAll(bin + "/dovrane.ini", "[Delete Option]\nConfir&m Delete=0\n");
  Fs.Executable = bin + "/certeditor";
  const std::string dir = FindSettingsDirectory(Fs);
  EXPECT_EQ(dir, bin);
  TSettingsValues v;
  ASSERT_TRUE(LoadSettingsFile(SettingsPath(dir), v));
  EXPECT_FALSE(v.ConfirmDelete);
}
#endif

// The first close of an installed window makes the user's folders, then writes every key
// there; the next start finds them.
TEST_F(SettingsFind, FirstSaveMakesTheFolder) {
  const std::string dir = FindSettingsDirectory(Fs);
  const std::string path = SettingsPath(dir);
  TSettingsValues v;
  EXPECT_FALSE(LoadSettingsFile(path, v, Fs));
  v.ConfirmDelete = false;
  v.InputFilename = "/home/u/in.dat";
  ASSERT_TRUE(SaveSettingsFile(path, v, Fs));
  EXPECT_EQ(Fs.Log.front(), "make directories");
  EXPECT_EQ(Fs.Info(dir).Kind, cert::fkDirectory);

  TSettingsValues back;
  ASSERT_TRUE(LoadSettingsFile(SettingsPath(FindSettingsDirectory(Fs)), back, Fs));
  EXPECT_FALSE(back.ConfirmDelete);
  EXPECT_EQ(back.InputFilename, "/home/u/in.dat");

  Fs.Log.clear();
  ASSERT_TRUE(SaveSettingsKeys(path, "Records Window", {{"Columns", "1,2"}}, Fs));
  EXPECT_EQ(Fs.Log.front(), "create") << "the folder is there now";
  EXPECT_NE(ReadAll(path).find("[Records Window]"), std::string::npos);
}

TEST_F(SettingsFind, AFolderThatCannotBeMadeIsAFailedSave) {
  const std::string path = SettingsPath(FindSettingsDirectory(Fs));
  Fs.Fault = {fpMakeDirectories, std::errc::permission_denied};
  EXPECT_FALSE(SaveSettingsFile(path, TSettingsValues{}, Fs));
  EXPECT_EQ(Fs.Info(Dir.File("home")).Kind, cert::fkMissing);

  // A file where the folder should be: nothing is made, nothing is lost.
  Fs.Fault = {};
  WriteAll(Dir.File("home"), "precious");
  EXPECT_FALSE(SaveSettingsFile(path, TSettingsValues{}, Fs));
  EXPECT_EQ(ReadAll(Dir.File("home")), "precious");
}

}  // namespace
