// The system's file layer on the real file system, as every platform has it: kinds of files,
// whole reads, saves that replace in one step, leftovers of killed saves, the date, the
// executable's own folder, the user's configuration folder, making folders.
#include <ctime>
#include <thread>

#include "FilesFixture.h"

using namespace cert;
using namespace certtest;
using namespace filestest;
namespace fs = std::filesystem;

namespace {

using FileSystemTest = TFilesTest;

TEST_F(FileSystemTest, TellsKindsAndReadOnlyFiles) {
  WriteAll(Dir.File("a.dat"), "12345");
  TFileInfo info = Fs.Info(Dir.File("a.dat"));
  EXPECT_EQ(info.Kind, fkRegular);
  EXPECT_EQ(info.Size, 5u);
  EXPECT_FALSE(info.ReadOnly);
  fs::permissions(fs::u8path(Dir.File("a.dat")), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_TRUE(Fs.Info(Dir.File("a.dat")).ReadOnly) << "also for root";

  EXPECT_EQ(Fs.Info(Dir.Path()).Kind, fkDirectory);
  EXPECT_EQ(Fs.Info(Dir.File("none")).Kind, fkMissing);
  EXPECT_EQ(Fs.Info(Dir.File("none/deeper")).Kind, fkMissing);
  EXPECT_EQ(Fs.Info(Dir.File("a.dat/deeper")).Kind, fkMissing);
}

TEST_F(FileSystemTest, RefusesADirectoryAndNamesAMissingFile) {
  EXPECT_EQ(IOErrorOf([&] { Fs.OpenRead(Dir.Path()); }),
            "Cannot read \"" + Dir.Path() + "\": Is a directory");
  EXPECT_EQ(IOErrorOf([&] { Fs.OpenRead(Dir.File("none")); }),
            "Cannot open \"" + Dir.File("none") + "\": No such file or directory");
  fs::create_directory(fs::u8path(Dir.File("sub")));
  EXPECT_EQ(IOErrorOf([&] { Save(Dir.File("sub"), "x"); }),
            "Cannot replace \"" + Dir.File("sub") + "\": Is a directory");
  EXPECT_EQ(Fs.Info(Dir.File("sub")).Kind, fkDirectory);
}

TEST_F(FileSystemTest, ReadsWholeFiles) {
  std::string bytes(3 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
  WriteAll(Dir.File("big"), bytes);
  EXPECT_EQ(ReadWholeFile(Fs, Dir.File("big")), bytes);
}

// No platform may turn a line end into another, either way.
TEST_F(FileSystemTest, BytesStayAsWritten) {
  const std::string bytes = std::string("1 header\r\n2 lf only\n\r\r\n\x1A") + '\0' + "end\xFF\r";
  Save(Dir.File("cert.dat"), bytes);
  EXPECT_EQ(ReadAll(Dir.File("cert.dat")), bytes);
  EXPECT_EQ(ReadWholeFile(Fs, Dir.File("cert.dat")), bytes);
}

// Names are UTF-8 on every platform; on Windows the layer turns them into the system's own.
TEST_F(FileSystemTest, NamesOutsideAsciiSurvive) {
  const std::string name = Dir.File("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x84.dat");
  Save(name, "new");
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\x84.dat"});
  EXPECT_EQ(ReadAll(name), "new");
  EXPECT_EQ(ReadWholeFile(Fs, name), "new");
  EXPECT_EQ(Fs.Info(name).Size, 3u);
  Save(name, "newer");
  EXPECT_EQ(ReadWholeFile(Fs, name), "newer");
  Fs.Remove(name);
  EXPECT_EQ(Fs.Info(name).Kind, fkMissing);
}

TEST_F(FileSystemTest, ReadOnlyTargetIsRefusedAndKept) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  fs::permissions(fs::u8path(target), fs::perms::owner_read);
  EXPECT_EQ(IOErrorOf([&] { Save(target, "new"); }),
            "Cannot replace \"" + target + "\": the file is read-only");
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"cert.dat"});
}

// A save killed between creating its new file and taking the target's place leaves that file
// behind; the next save to the same target takes it away, and leaves other targets' files
// alone.
TEST_F(FileSystemTest, LeftoversOfKilledSavesAreRemoved) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  for (int i = 0; i < 3; ++i) LeaveAsAKilledSave(Fs, target, 100000);
  LeaveAsAKilledSave(Fs, Dir.File("other.dat"), 0);
  // Each killed save has taken the one before it away already.
  ASSERT_EQ(Dir.Names().size(), 3u);
  Save(target, "new");
  const std::vector<std::string> left = Dir.Names();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].rfind(".other.dat.", 0), 0u);
  EXPECT_EQ(left[1], "cert.dat");
  EXPECT_EQ(ReadAll(target), "new");
}

TEST_F(FileSystemTest, ASaveInProgressIsNotTakenForALeftover) {
  const std::string target = Dir.File("cert.dat");
  {
    TReplacingWriter first(Fs, target);
    first.Write("first");
    Save(target, "second");
    EXPECT_EQ(Dir.Names().size(), 2u) << "the first save's file is still there";
    first.Commit();
  }
  EXPECT_EQ(ReadAll(target), "first");
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"cert.dat"});
}

// Between closing its new file and putting it in place a save is most open to another save's
// clean-up.
TEST_F(FileSystemTest, AClosedNewFileIsNotTakenForALeftover) {
  const std::string target = Dir.File("cert.dat");
  std::unique_ptr<TOutputFile> first = Fs.CreateBeside(target);
  first->Write("first");
  first->Flush();
  first->Close();
  Save(target, "second");
  Fs.Replace(*first);
  first.reset();
  EXPECT_EQ(ReadAll(target), "first");
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"cert.dat"});
}

TEST_F(FileSystemTest, AnAbandonedSaveLeavesNothing) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  {
    TReplacingWriter out(Fs, target);
    out.Write("new");
  }
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"cert.dat"});
}

TEST_F(FileSystemTest, SavesAtTheSameTimeNeverMix) {
  const std::string target = Dir.File("cert.dat");
  const std::string a(300000, 'a'), b(200000, 'b');
  auto saver = [&](const std::string& bytes) {
    for (int i = 0; i < 40; ++i) {
      TReplacingWriter out(Fs, target);
      out.Write(bytes.substr(0, bytes.size() / 2));
      out.Write(bytes.substr(bytes.size() / 2));
      out.Commit();
      const std::string now = ReadWholeFile(Fs, target);
      EXPECT_TRUE(now == a || now == b) << now.size();
    }
  };
  std::thread t1(saver, a), t2(saver, b);
  t1.join();
  t2.join();
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"cert.dat"});
}

TEST_F(FileSystemTest, TodayIsTheLocalDate) {
  auto local = [] {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    ::localtime_s(&tm, &now);
#else
    ::localtime_r(&now, &tm);
#endif
    return std::to_string(tm.tm_year + 1900) + "-" + std::to_string(tm.tm_mon + 1) + "-" +
           std::to_string(tm.tm_mday);
  };
  const std::string before = local();
  const TLocalDate d = Fs.Today();
  const std::string after = local();  // midnight may pass in between
  const std::string got =
      std::to_string(d.Year) + "-" + std::to_string(d.Month) + "-" + std::to_string(d.Day);
  EXPECT_TRUE(got == before || got == after) << got;
}

TEST_F(FileSystemTest, ExecutablePathIsThisProgram) {
  const std::string exe = Fs.ExecutablePath();
  ASSERT_FALSE(exe.empty());
  const TFileInfo info = Fs.Info(exe);
  EXPECT_EQ(info.Kind, fkRegular);
  const std::string base = exe.substr(exe.find_last_of(kPathSeparator) + 1);
  EXPECT_TRUE(base == "files_tests" || base == "files_tests.exe") << exe;
}

TEST_F(FileSystemTest, TellsWhereFilesCanBeCreated) {
  EXPECT_TRUE(Fs.CanCreateIn(Dir.Path()));
  EXPECT_FALSE(Fs.CanCreateIn(Dir.File("none")));
  WriteAll(Dir.File("a.dat"), "x");
  EXPECT_FALSE(Fs.CanCreateIn(Dir.File("a.dat")));
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"a.dat"}) << "nothing left from asking";
}

TEST_F(FileSystemTest, MakesMissingDirectories) {
  const std::string deep = Dir.File("config/certeditor");
  Fs.MakeDirectories(deep);
  EXPECT_EQ(Fs.Info(deep).Kind, fkDirectory);
  Fs.MakeDirectories(deep);  // there already
  Fs.MakeDirectories(Dir.File("config/"));
  EXPECT_EQ(Fs.Info(Dir.File("config/certeditor")).Kind, fkDirectory);
  Save(deep + "/dovrane.ini", "[x]\n");
  EXPECT_EQ(ReadAll(deep + "/dovrane.ini"), "[x]\n");

  WriteAll(Dir.File("file"), "x");
  EXPECT_EQ(IOErrorOf([&] {
              Fs.MakeDirectories(Dir.File("file"));
            }).rfind("Cannot create \"" + Dir.File("file") + "\": ", 0),
            0u);
  EXPECT_EQ(IOErrorOf([&] {
              Fs.MakeDirectories(Dir.File("file/sub"));
            }).rfind("Cannot create \"" + Dir.File("file/sub") + "\": ", 0),
            0u);
  EXPECT_EQ(ReadAll(Dir.File("file")), "x");
}

TEST_F(FileSystemTest, UserConfigDirectoryIsAnAbsolutePath) {
  const std::string dir = Fs.UserConfigDirectory();
  ASSERT_FALSE(dir.empty()) << "tests run as a user with a home";
#ifdef _WIN32
  EXPECT_TRUE(dir.size() > 2 && (dir[1] == ':' || dir.rfind("\\\\", 0) == 0)) << dir;
#else
  EXPECT_EQ(dir[0], '/') << dir;
#endif
}

}  // namespace
