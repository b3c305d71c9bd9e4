// The system's file layer on a real POSIX file system, where it meets what only POSIX has:
// FIFOs, sockets and devices, symbolic links, owners and modes, signals and resource limits,
// the XDG configuration folder. These tests make such things to look at, so they call the
// system themselves. What every platform has is tested in FileSystemTest.cpp.
#include <pwd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "FilesFixture.h"

using namespace cert;
using namespace certtest;
using namespace filestest;
namespace fs = std::filesystem;

namespace {

class PosixFileSystemTest : public TFilesTest {
 protected:
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

  int Socket = -1;
};

TEST_F(PosixFileSystemTest, TellsKindsOfSpecialFiles) {
  TFileInfo info = Fs.Info(MakeFifo("pipe"));
  EXPECT_EQ(info.Kind, fkSpecial);
  EXPECT_EQ(info.What, "a named pipe");
  EXPECT_EQ(Fs.Info("/dev/null").What, "a device");
  EXPECT_EQ(Fs.Info(MakeSocket("sock")).What, "a socket");
}

// A FIFO without a writer would block an ordinary open for ever.
TEST_F(PosixFileSystemTest, RefusesWhatIsNotAFileWithoutWaiting) {
  const std::string fifo = MakeFifo("pipe");
  EXPECT_EQ(IOErrorOf([&] { Fs.OpenRead(fifo); }),
            "Cannot read \"" + fifo + "\": not a file but a named pipe");
  EXPECT_EQ(IOErrorOf([&] { Fs.OpenRead("/dev/zero"); }),
            "Cannot read \"/dev/zero\": not a file but a device");
  const std::string sock = MakeSocket("sock");
  EXPECT_EQ(IOErrorOf([&] { Fs.OpenRead(sock); }),
            "Cannot read \"" + sock + "\": not a file but a socket");
  // Nor is one replaced by a save.
  EXPECT_EQ(IOErrorOf([&] { Save(fifo, "x"); }),
            "Cannot replace \"" + fifo + "\": not a file but a named pipe");
  EXPECT_EQ(Fs.Info(fifo).Kind, fkSpecial);
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
  EXPECT_EQ(Dir.Names(),
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
  EXPECT_EQ(Dir.Names(), std::vector<std::string>{"cert.dat"});
}

// The XDG rules: XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
struct TConfigCase {
  const char* Name;
  std::optional<std::string> Xdg, Home;
  std::string Expected;  // "" for the password database's home followed by "/.config"
};

void PrintTo(const TConfigCase& c, std::ostream* os) { *os << c.Name; }

class UserConfigDirectory : public ::testing::TestWithParam<TConfigCase> {
 protected:
  void SetUp() override {
    Save("XDG_CONFIG_HOME", FXdg);
    Save("HOME", FHome);
  }
  void TearDown() override {
    Restore("XDG_CONFIG_HOME", FXdg);
    Restore("HOME", FHome);
  }
  static void Set(const char* name, const std::optional<std::string>& value) {
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }

 private:
  static void Save(const char* name, std::optional<std::string>& slot) {
    if (const char* v = std::getenv(name)) slot = v;
  }
  static void Restore(const char* name, const std::optional<std::string>& slot) { Set(name, slot); }
  std::optional<std::string> FXdg, FHome;
};

TEST_P(UserConfigDirectory, FollowsTheXdgRules) {
  Set("XDG_CONFIG_HOME", GetParam().Xdg);
  Set("HOME", GetParam().Home);
  std::string expected = GetParam().Expected;
  if (expected.empty()) {
    const passwd* pw = ::getpwuid(::geteuid());
    ASSERT_NE(pw, nullptr);
    expected = std::string(pw->pw_dir) + (std::string(pw->pw_dir) == "/" ? "" : "/") + ".config";
  }
  EXPECT_EQ(DefaultFileSystem().UserConfigDirectory(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserConfigDirectory,
    ::testing::Values(
        TConfigCase{"XdgWins", std::string("/srv/conf"), std::string("/home/u"), "/srv/conf"},
        TConfigCase{"XdgBytesKept", std::string("/home/caf\xE9/.cfg"), std::string("/home/u"),
                    "/home/caf\xE9/.cfg"},
        TConfigCase{"RelativeXdgIgnored", std::string("conf"), std::string("/home/u"),
                    "/home/u/.config"},
        TConfigCase{"EmptyXdgIgnored", std::string(""), std::string("/home/u"), "/home/u/.config"},
        TConfigCase{"HomeWithSlash", std::nullopt, std::string("/home/u/"), "/home/u/.config"},
        TConfigCase{"NoHomeAsksThePasswordDatabase", std::nullopt, std::nullopt, ""},
        TConfigCase{"EmptyHomeAsksThePasswordDatabase", std::nullopt, std::string(""), ""}),
    [](const auto& info) { return std::string(info.param.Name); });

// The folders made for a user's settings are the user's alone, whatever the umask.
TEST_F(PosixFileSystemTest, MadeDirectoriesArePrivate) {
  const mode_t mask = ::umask(0);
  Fs.MakeDirectories(Dir.File("a/b"));
  ::umask(mask);
  for (const char* d : {"a", "a/b"}) {
    struct stat st {};
    ASSERT_EQ(::stat(Dir.File(d).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u) << d;
  }
  // One that was there keeps its mode.
  ::chmod(Dir.File("a").c_str(), 0755);
  Fs.MakeDirectories(Dir.File("a/c"));
  struct stat st {};
  ::stat(Dir.File("a").c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0755u);
}

// Root may create files anywhere the file system allows; everyone else only where the mode
// lets them.
TEST_F(PosixFileSystemTest, AFolderWithoutWriteModeTakesNoFiles) {
  fs::create_directory(Dir.File("ro"));
  ::chmod(Dir.File("ro").c_str(), 0555);
  EXPECT_EQ(Fs.CanCreateIn(Dir.File("ro")), ::geteuid() == 0);
  ::chmod(Dir.File("ro").c_str(), 0755);
  EXPECT_TRUE(Fs.CanCreateIn(Dir.File("ro")));
}

}  // namespace
