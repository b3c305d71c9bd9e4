// The system's file layer on Windows, where it meets what only Windows has: devices by name,
// named pipes, file attributes, other programs holding a file open, and names past the old
// 260-character limit. These tests make such things to look at, so they call the system
// themselves. What every platform has is tested in FileSystemTest.cpp.
#include <windows.h>

#include "FilesFixture.h"

using namespace cert;
using namespace certtest;
using namespace filestest;
namespace fs = std::filesystem;

namespace {

class WindowsFileSystemTest : public TFilesTest {
 protected:
  static std::wstring Wide(const std::string& utf8) { return fs::u8path(utf8).wstring(); }
  static DWORD Attributes(const std::string& name) {
    return ::GetFileAttributesW(Wide(name).c_str());
  }
};

// Reading a device would never end, or act on it.
TEST_F(WindowsFileSystemTest, RefusesDevicesAndPipes) {
  EXPECT_EQ(Fs.Info("NUL").Kind, fkSpecial);
  EXPECT_EQ(Fs.Info("NUL").What, "a device");
  EXPECT_EQ(IOErrorOf([&] { Fs.OpenRead("NUL"); }), "Cannot read \"NUL\": not a file but a device");
  EXPECT_EQ(IOErrorOf([&] { Fs.OpenRead("\\\\.\\pipe\\certtest"); }),
            "Cannot read \"\\\\.\\pipe\\certtest\": not a file but a named pipe");
  EXPECT_EQ(Fs.Info("//./pipe/certtest").What, "a named pipe");
  EXPECT_EQ(IOErrorOf([&] { Save("NUL", "x"); }),
            "Cannot replace \"NUL\": not a file but a device");
}

TEST_F(WindowsFileSystemTest, TheReadOnlyAttributeIsReadOnly) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  ASSERT_TRUE(::SetFileAttributesW(Wide(target).c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(Fs.Info(target).ReadOnly);
  EXPECT_EQ(IOErrorOf([&] { Save(target, "new"); }),
            "Cannot replace \"" + target + "\": the file is read-only");
  EXPECT_EQ(ReadAll(target), "old");
}

// A hidden file stays hidden when it is saved over.
TEST_F(WindowsFileSystemTest, KeepsTheTargetsAttributes) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  ASSERT_TRUE(::SetFileAttributesW(Wide(target).c_str(), FILE_ATTRIBUTE_HIDDEN));
  Save(target, "new");
  EXPECT_EQ(ReadAll(target), "new");
  EXPECT_TRUE(Attributes(target) & FILE_ATTRIBUTE_HIDDEN);
  Save(Dir.File("plain.dat"), "x");
  EXPECT_FALSE(Attributes(Dir.File("plain.dat")) & FILE_ATTRIBUTE_HIDDEN);
}

// Another program that holds the target open without letting it be deleted stops the save;
// the old file stays whole and nothing is left beside it.
TEST_F(WindowsFileSystemTest, ATargetHeldOpenIsNotReplaced) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  const HANDLE other = ::CreateFileW(Wide(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  const std::string error = IOErrorOf([&] { Save(target, "new"); });
  ::CloseHandle(other);
  EXPECT_EQ(error.rfind("Cannot replace \"" + target + "\": ", 0), 0u) << error;
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"cert.dat"});
}

TEST_F(WindowsFileSystemTest, NamesPastTheOldLengthLimit) {
  std::string dir = Dir.Path();
  while (dir.size() < 300) dir += "\\" + std::string(40, 'd');
  Fs.MakeDirectories(dir);
  const std::string target = dir + "\\cert.dat";
  ASSERT_GT(target.size(), 300u);
  Save(target, "new");
  Save(target, "newer");
  EXPECT_EQ(Fs.Info(target).Kind, fkRegular);
  EXPECT_EQ(ReadWholeFile(Fs, target), "newer");
  Fs.Remove(target);
  EXPECT_EQ(Fs.Info(target).Kind, fkMissing);
  // The standard library cannot remove what lies that deep: the folders go one by one.
  for (std::wstring w = L"\\\\?\\" + Wide(dir); w.size() > Wide(Dir.Path()).size() + 4;
       w.resize(w.find_last_of(L'\\')))
    EXPECT_TRUE(::RemoveDirectoryW(w.c_str()));
}

// Separators of either kind, as Windows takes them.
TEST_F(WindowsFileSystemTest, SlashesAndBackslashesAlike) {
  const std::string back = Dir.Path() + "\\sub\\cert.dat";
  Fs.MakeDirectories(Dir.Path() + "/sub");
  Save(back, "x");
  EXPECT_EQ(ReadWholeFile(Fs, Dir.Path() + "/sub/cert.dat"), "x");
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"sub"});
}

TEST_F(WindowsFileSystemTest, ExecutablePathIsTheModulesOwn) {
  wchar_t own[32768];
  const DWORD n = ::GetModuleFileNameW(nullptr, own, 32768);
  EXPECT_EQ(Wide(Fs.ExecutablePath()), std::wstring(own, n));
}

}  // namespace
