#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../support/FaultyFileSystem.h"
#include "../support/FileBytes.h"
#include "../support/TempDir.h"
#include "Settings.h"

using namespace certwin;
using namespace certtest;

namespace {

// A literal's bytes, NULs included.
template <std::size_t N>
std::string Bytes(const char (&s)[N]) {
  return std::string(s, N - 1);
}

TSettingsValues Values() {
  TSettingsValues v;
  v.Remember[5] = false;  // Policy From Date
  v.ConfirmDelete = false;
  v.OutputFilename = "/tmp/out.dat";
  v.InputFilename = "/tmp/in.dat";
  return v;
}

// The window's keys as a first save writes them, with the given line end.
std::string Remember(const std::string& eol, const std::vector<std::string>& skip = {}) {
  const char* keys[] = {"Insured Company Name",
                        "Insured L,F,M Name",
                        "Address, City, State, Zip",
                        "License && FIN Number",
                        "Policy Numbers",
                        "Policy From Date",
                        "Policy To Date",
                        "Policy Retro Date",
                        "Policy Coverage Type",
                        "ISO Code",
                        "Provider Type",
                        "Limited Cov Type",
                        "Occurrence Limits"};
  std::string s;
  for (const char* k : keys)
    if (std::find(skip.begin(), skip.end(), k) == skip.end())
      s += std::string(k) + (std::string(k) == "Policy From Date" ? "=0" : "=1") + eol;
  return s;
}

const std::string kNewFile =
    "[New Detail Record]\n" + Remember("\n") +
    "\n[Delete Option]\nConfir&m Delete=0\n"
    "\n[Filename]\nOutputFilename=/tmp/out.dat\nInputFilename=/tmp/in.dat\n";

struct TSaveCase {
  const char* Name;
  std::string Before, After;
};

void PrintTo(const TSaveCase& c, std::ostream* os) { *os << c.Name; }

class SettingsSave : public ::testing::TestWithParam<TSaveCase> {
 protected:
  TTempDir Dir;
};

TEST_P(SettingsSave, ChangesOnlyTheWindowsKeys) {
  const std::string path = Dir.File("dovrane.ini");
  if (!GetParam().Before.empty()) WriteAll(path, GetParam().Before);
  ASSERT_TRUE(SaveSettingsFile(path, Values()));
  EXPECT_EQ(ReadAll(path), GetParam().After);
  // Saving the same values again changes nothing at all.
  ASSERT_TRUE(SaveSettingsFile(path, Values()));
  EXPECT_EQ(ReadAll(path), GetParam().After);
  TSettingsValues back;
  ASSERT_TRUE(LoadSettingsFile(path, back));
  EXPECT_EQ(back.Remember, Values().Remember);
  EXPECT_EQ(back.ConfirmDelete, false);
  EXPECT_EQ(back.OutputFilename, "/tmp/out.dat");
  EXPECT_EQ(back.InputFilename, "/tmp/in.dat");
}

const std::string kCrlf = "\r\n";

INSTANTIATE_TEST_SUITE_P(
    Files, SettingsSave,
    ::testing::Values(TSaveCase{"NewFile", "", kNewFile},
                      TSaveCase{"WrittenBefore", kNewFile, kNewFile},
                      // Comments, blank and odd lines, spacing, other sections and a duplicate
                      // stay; the first of two keys is the one written; missing keys join their
                      // section's first block after its last line; a missing section comes at the
                      // end. The file's own line end is used.
                      TSaveCase{"EverythingElseStays",
                                "; kept as it is\r\n"
                                "[Other]\r\n"
                                "Extra=  spaced  \r\n"
                                "\r\n"
                                "odd line without an equals sign\r\n"
                                "[new detail record]\r\n"
                                "  POLICY FROM DATE =  1 \r\n"
                                "Policy From Date=1\r\n"
                                "\r\n"
                                "[Filename]\r\n"
                                "OutputFilename=  /tmp/out.dat\r\n"
                                "# the last line\r\n"
                                "[New Detail Record]\r\n"
                                "ISO Code=1\r\n",
                                "; kept as it is\r\n"
                                "[Other]\r\n"
                                "Extra=  spaced  \r\n"
                                "\r\n"
                                "odd line without an equals sign\r\n"
                                "[new detail record]\r\n"
                                "  POLICY FROM DATE =  0\r\n"
                                "Policy From Date=1\r\n" +
                                    Remember(kCrlf, {"Policy From Date", "ISO Code"}) +
                                    "\r\n"
                                    "[Filename]\r\n"
                                    "OutputFilename=  /tmp/out.dat\r\n"
                                    "# the last line\r\n"
                                    "InputFilename=/tmp/in.dat\r\n"
                                    "[New Detail Record]\r\n"
                                    "ISO Code=1\r\n"
                                    "\r\n"
                                    "[Delete Option]\r\n"
                                    "Confir&m Delete=0\r\n"},
                      // A NUL byte is one more byte of a line: what follows it is read and kept.
                      TSaveCase{
                          "NulByte", Bytes("[Filename]\nnote=a\0b\nInputFilename=old\n") + kNewFile,
                          Bytes("[Filename]\nnote=a\0b\nInputFilename=/tmp/in.dat\n") + kNewFile},
                      TSaveCase{"NoLastLineEnd", "[Other]\nk=v", "[Other]\nk=v\n\n" + kNewFile}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SettingsLoad, TheFirstOfTwoKeysAndWhatFollowsANulAreRead) {
  TTempDir dir;
  const std::string path = dir.File("dovrane.ini");
  WriteAll(path, Bytes("\0\n[Filename]\nOutputFilename=first\nOutputFilename=second\n"
                       "x\0y\nInputFilename= spaced name \n[Delete Option]\n"
                       "CONFIR&M DELETE=0\nConfir&m Delete=1\n"));
  TSettingsValues v;
  ASSERT_TRUE(LoadSettingsFile(path, v));
  EXPECT_EQ(v.OutputFilename, "first");
  EXPECT_EQ(v.InputFilename, "spaced name");
  EXPECT_FALSE(v.ConfirmDelete);
}

// Another window's keys go through the same lines: its section, nothing else, changes.
TEST(SettingsKeys, AnotherWindowsSectionChangesAlone) {
  TTempDir dir;
  const std::string path = dir.File("dovrane.ini");
  const std::string old = "; mine\n[Records]\nWidth = 640\nOdd line\n" + kNewFile;
  WriteAll(path, old);
  ASSERT_TRUE(SaveSettingsKeys(path, "records", {{"Height", "480"}, {"width", "800"}}));
  EXPECT_EQ(ReadAll(path), "; mine\n[Records]\nWidth = 800\nOdd line\nHeight=480\n" + kNewFile);
  TSettingsKeys keys{{"Width", "1"}, {"Height", "2"}, {"Depth", "3"}};
  ASSERT_TRUE(LoadSettingsKeys(path, "RECORDS", keys));
  EXPECT_EQ(keys, (TSettingsKeys{{"Width", "800"}, {"Height", "480"}, {"Depth", "3"}}));

  TFaultyFileSystem unreadable({fpOpenRead, std::errc::permission_denied});
  EXPECT_FALSE(SaveSettingsKeys(path, "Records", {{"Width", "1"}}, unreadable));
  EXPECT_FALSE(LoadSettingsKeys(path, "Records", keys, unreadable));
  EXPECT_EQ(keys.at("Width"), "800");
}

struct TFailCase {
  const char* Name;
  TFault Fault;
};

void PrintTo(const TFailCase& c, std::ostream* os) { *os << c.Name; }

class SettingsFailure : public ::testing::TestWithParam<TFailCase> {
 protected:
  TTempDir Dir;
};

// A file that is there but cannot be read is never replaced by the window's keys alone; a
// save that cannot be finished leaves the old file whole and nothing beside it.
TEST_P(SettingsFailure, KeepsTheFileAsItWas) {
  const std::string path = Dir.File("dovrane.ini");
  const std::string old = "[Other]\nprecious=1\n" + kNewFile;
  WriteAll(path, old);
  TFaultyFileSystem fs(GetParam().Fault);
  EXPECT_FALSE(SaveSettingsFile(path, Values(), fs));
  EXPECT_EQ(ReadAll(path), old);
  EXPECT_EQ(Dir.Names().size(), 1u);
  if (GetParam().Fault.Point == fpOpenRead || GetParam().Fault.Point == fpRead) {
    EXPECT_TRUE(fs.Log.empty()) << "nothing was created";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SettingsFailure,
    ::testing::Values(TFailCase{"Unreadable", {fpOpenRead, std::errc::permission_denied}},
                      TFailCase{"ReadError", {fpRead, std::errc::io_error, 10}},
                      TFailCase{"NoSpace", {fpWrite, std::errc::no_space_on_device, 20}},
                      TFailCase{"FlushFails", {fpFlush, std::errc::io_error}},
                      TFailCase{"ReplaceFails", {fpReplace, std::errc::permission_denied}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SettingsFile, SavedBesideAndReplacedInOneStep) {
  TTempDir dir;
  TFaultyFileSystem fs;
  ASSERT_TRUE(SaveSettingsFile(dir.File("dovrane.ini"), Values(), fs));
  EXPECT_EQ(fs.Log, (std::vector<std::string>{"create", "write", "flush", "close", "replace",
                                              "flush directory"}));
}

TEST(SettingsFile, ReadOnlyOrDirectoryIsNotWritten) {
  TTempDir dir;
  const std::string path = dir.File("dovrane.ini");
  WriteAll(path, "[Other]\nk=v\n");
  namespace fs = std::filesystem;
  fs::permissions(path, fs::perms::owner_read);
  EXPECT_FALSE(SaveSettingsFile(path, Values()));
  EXPECT_EQ(ReadAll(path), "[Other]\nk=v\n");
  TSettingsValues v;
  EXPECT_TRUE(LoadSettingsFile(path, v)) << "still read";

  fs::create_directory(dir.File("sub"));
  fs::create_directory(dir.File("sub/dovrane.ini"));
  EXPECT_FALSE(SaveSettingsFile(dir.File("sub/dovrane.ini"), Values()));
  EXPECT_FALSE(LoadSettingsFile(dir.File("sub/dovrane.ini"), v));
}

}  // namespace
