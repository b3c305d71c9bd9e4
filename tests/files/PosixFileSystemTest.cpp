// The system's file layer on a real POSIX file system. These tests make FIFOs, sockets, links
// and owners to look at, so they call the system themselves.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>

#include "../support/FileBytes.h"
#include "../support/TempDir.h"
#include "FileSystem.h"
#include "ReplacingWriter.h"

using namespace cert;
using namespace certtest;
namespace fs = std::filesystem;

namespace {

class PosixFileSystemTest : public ::testing::Test {
 protected:
  void Save(const std::string& target, const std::string& bytes) {
    TReplacingWriter out(Fs, target);
    out.Write(bytes);
    out.Commit();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(Dir.Path())) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  template <typename Fn>
  std::string ErrorOf(Fn fn) {
    try {
      fn();
    } catch (const TCertIOError& e) {
      return e.what();
    }
    ADD_FAILURE() << "no TCertIOError";
    return {};
  }
  std::string MakeFifo(const std::string& name) {
    const std::string path = Dir.File(name);
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
  }
  std::string MakeSocket(const std::string& name) {
    const std::string path = Dir.File(name);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    Socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::bind(Socket, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    return path;
  }
  void TearDown() override {
    if (Socket >= 0) ::close(Socket);
  }

  TTempDir Dir;
  TFileSystem& Fs = DefaultFileSystem();
  int Socket = -1;
};

TEST_F(PosixFileSystemTest, TellsKindsAndReadOnlyFiles) {
  WriteAll(Dir.File("a.dat"), "12345");
  TFileInfo info = Fs.Info(Dir.File("a.dat"));
  EXPECT_EQ(info.Kind, fkRegular);
  EXPECT_EQ(info.Size, 5u);
  EXPECT_FALSE(info.ReadOnly);
  fs::permissions(Dir.File("a.dat"), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_TRUE(Fs.Info(Dir.File("a.dat")).ReadOnly) << "also for root";

  EXPECT_EQ(Fs.Info(Dir.Path()).Kind, fkDirectory);
  EXPECT_EQ(Fs.Info(Dir.File("none")).Kind, fkMissing);
  EXPECT_EQ(Fs.Info(Dir.File("none/deeper")).Kind, fkMissing);
  EXPECT_EQ(Fs.Info(Dir.File("a.dat/deeper")).Kind, fkMissing);
  info = Fs.Info(MakeFifo("pipe"));
  EXPECT_EQ(info.Kind, fkSpecial);
  EXPECT_EQ(info.What, "a named pipe");
  EXPECT_EQ(Fs.Info("/dev/null").What, "a device");
  EXPECT_EQ(Fs.Info(MakeSocket("sock")).What, "a socket");
}

// A FIFO without a writer would block an ordinary open for ever.
TEST_F(PosixFileSystemTest, RefusesWhatIsNotAFileWithoutWaiting) {
  const std::string fifo = MakeFifo("pipe");
  EXPECT_EQ(ErrorOf([&] { Fs.OpenRead(fifo); }),
            "Cannot read \"" + fifo + "\": not a file but a named pipe");
  EXPECT_EQ(ErrorOf([&] { Fs.OpenRead("/dev/zero"); }),
            "Cannot read \"/dev/zero\": not a file but a device");
  const std::string sock = MakeSocket("sock");
  EXPECT_EQ(ErrorOf([&] { Fs.OpenRead(sock); }),
            "Cannot read \"" + sock + "\": not a file but a socket");
  EXPECT_EQ(ErrorOf([&] { Fs.OpenRead(Dir.Path()); }),
            "Cannot read \"" + Dir.Path() + "\": Is a directory");
  EXPECT_EQ(ErrorOf([&] { Fs.OpenRead(Dir.File("none")); }),
            "Cannot open \"" + Dir.File("none") + "\": No such file or directory");
  // Nor is one replaced by a save.
  EXPECT_EQ(ErrorOf([&] { Save(fifo, "x"); }),
            "Cannot replace \"" + fifo + "\": not a file but a named pipe");
  EXPECT_EQ(Fs.Info(fifo).Kind, fkSpecial);
}

TEST_F(PosixFileSystemTest, ReadsWholeFiles) {
  std::string bytes(3 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + i / 4096);
  WriteAll(Dir.File("big"), bytes);
  EXPECT_EQ(ReadWholeFile(Fs, Dir.File("big")), bytes);
}

TEST_F(PosixFileSystemTest, SavingThroughALinkReplacesWhatItPointsTo) {
  fs::create_directory(Dir.File("real"));
  WriteAll(Dir.File("real/cert.dat"), "old");
  fs::create_symlink("real/cert.dat", Dir.File("rel-link"));
  fs::create_symlink(Dir.File("rel-link"), Dir.File("abs-link-to-link"));
  fs::create_symlink("real/new.dat", Dir.File("dangling"));

  Save(Dir.File("abs-link-to-link"), "new");
  EXPECT_TRUE(fs::is_symlink(Dir.File("rel-link")));
  EXPECT_TRUE(fs::is_symlink(Dir.File("abs-link-to-link")));
  EXPECT_EQ(ReadAll(Dir.File("real/cert.dat")), "new");

  Save(Dir.File("dangling"), "created");
  EXPECT_TRUE(fs::is_symlink(Dir.File("dangling")));
  EXPECT_EQ(ReadAll(Dir.File("real/new.dat")), "created");
  EXPECT_EQ(Names(),
            (std::vector<std::string>{"abs-link-to-link", "dangling", "real", "rel-link"}));
}

TEST_F(PosixFileSystemTest, KeepsOwnerGroupAndMode) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  ::chmod(target.c_str(), 0640);
  // Only root may give a file away; anyone else keeps what is theirs.
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(target.c_str(), 4242, 4343), 0);
  }
  struct stat before {};
  ::stat(target.c_str(), &before);
  Save(target, "new");
  struct stat after {};
  ::stat(target.c_str(), &after);
  EXPECT_NE(after.st_ino, before.st_ino) << "a new file took the old one's place";
  EXPECT_EQ(after.st_mode & 07777, 0640u);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_gid, before.st_gid);
}

TEST_F(PosixFileSystemTest, ANewFileGetsTheUsualMode) {
  const mode_t mask = ::umask(027);
  Save(Dir.File("new.dat"), "x");
  ::umask(mask);
  struct stat st {};
  ::stat(Dir.File("new.dat").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A save killed between creating its new file and the rename leaves that file behind; the
// next save to the same target takes it away, and leaves other targets' files alone.
TEST_F(PosixFileSystemTest, LeftoversOfKilledSavesAreRemoved) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EXIT(
        {
          auto file = Fs.CreateBeside(target);
          file->Write(std::string(100000, 'x'));
          std::raise(SIGKILL);
        },
        ::testing::KilledBySignal(SIGKILL), "");
  }
  EXPECT_EXIT(
      {
        auto file = Fs.CreateBeside(Dir.File("other.dat"));
        std::raise(SIGKILL);
      },
      ::testing::KilledBySignal(SIGKILL), "");
  // Each killed save has taken the one before it away already.
  ASSERT_EQ(Names().size(), 3u);
  Save(target, "new");
  const std::vector<std::string> left = Names();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].rfind(".other.dat.", 0), 0u);
  EXPECT_EQ(left[1], "cert.dat");
  EXPECT_EQ(ReadAll(target), "new");
}

TEST_F(PosixFileSystemTest, ASaveInProgressIsNotTakenForALeftover) {
  const std::string target = Dir.File("cert.dat");
  {
    TReplacingWriter first(Fs, target);
    first.Write("first");
    Save(target, "second");
    EXPECT_EQ(Names().size(), 2u) << "the first save's file is still there";
    first.Commit();
  }
  EXPECT_EQ(ReadAll(target), "first");
  EXPECT_EQ(Names(), std::vector<std::string>{"cert.dat"});
}

TEST_F(PosixFileSystemTest, SavesAtTheSameTimeNeverMix) {
  const std::string target = Dir.File("cert.dat");
  const std::string a(300000, 'a'), b(200000, 'b');
  auto saver = [&](const std::string& bytes) {
    for (int i = 0; i < 40; ++i) {
      TReplacingWriter out(Fs, target);
      out.Write(bytes.substr(0, bytes.size() / 2));
      out.Write(bytes.substr(bytes.size() / 2));
      out.Commit();
      const std::string now = ReadAll(target);
      EXPECT_TRUE(now == a || now == b) << now.size();
    }
  };
  std::thread t1(saver, a), t2(saver, b);
  t1.join();
  t2.join();
  EXPECT_EQ(Names(), std::vector<std::string>{"cert.dat"});
}

// The limit lives and dies with the child process that sets it.
TEST_F(PosixFileSystemTest, AFileSizeLimitIsAnErrorNotAKill) {
  const std::string target = Dir.File("cert.dat");
  WriteAll(target, "old");
  EXPECT_EXIT(
      {
        TFileSystem& files = DefaultFileSystem();
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 8192;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
          TReplacingWriter out(files, target);
          out.Write(std::string(100000, 'x'));
          out.Commit();
        } catch (const TCertIOError& e) {
          std::fprintf(stderr, "%s\n", e.what());
          std::exit(3);
        }
        std::exit(0);
      },
      ::testing::ExitedWithCode(3), "Cannot write \".*cert.dat\": File too large");
  EXPECT_EQ(ReadAll(target), "old");
  EXPECT_EQ(Names(), std::vector<std::string>{"cert.dat"});
}

TEST_F(PosixFileSystemTest, TodayIsTheLocalDate) {
  auto local = [] {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&now, &tm);
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

}  // namespace
