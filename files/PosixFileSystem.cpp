// The file system of POSIX systems. The only file of the program that calls the system.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "FileSystem.h"
#include "TempNames.h"

namespace cert {

namespace {

std::error_code LastError() { return std::error_code(errno, std::generic_category()); }

[[noreturn]] void ThrowErrno(const char* action, const std::string& file) {
  ThrowIOError(action, file, LastError());
}

const char* WhatIsSpecial(mode_t mode) {
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "a special file";
}

bool IsSpecial(mode_t mode) { return !S_ISREG(mode) && !S_ISDIR(mode); }

class TFd {
 public:
  explicit TFd(int fd = -1) : FFd(fd) {}
  ~TFd() { Reset(); }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }
  int Release() {
    const int fd = FFd;
    FFd = -1;
    return fd;
  }
  // Closes now; the result of close, for the one place that reports it.
  int Reset() {
    const int fd = FFd;
    FFd = -1;
    return fd >= 0 ? ::close(fd) : 0;
  }

 private:
  int FFd;
};

// The file a chain of symbolic links ends at (which need not exist: a dangling link names
// the file to create).
std::string ResolveLinks(const std::string& target) {
  std::string path = target;
  for (int hops = 0;; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return path;
      ThrowErrno("Cannot create", target);
    }
    if (!S_ISLNK(st.st_mode)) return path;
    if (hops == 40)
      ThrowIOError("Cannot create", target,
                   std::make_error_code(std::errc::too_many_symbolic_link_levels));
    std::string link(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 256, '\0');
    ssize_t n;
    while ((n = ::readlink(path.c_str(), link.data(), link.size())) >= 0 &&
           static_cast<std::size_t>(n) == link.size())
      link.resize(link.size() * 2);
    if (n < 0) ThrowErrno("Cannot create", target);
    link.resize(static_cast<std::size_t>(n));
    if (link.empty() || link[0] == '/' || path.find('/') == std::string::npos) {
      path = link;
    } else {
      path = JoinPath(DirectoryOf(path), link);
    }
  }
}

using tempnames::kRandomChars;
constexpr auto& kTempSuffix = tempnames::kSuffix;
using tempnames::Prefix;

std::string RandomChars() { return tempnames::RandomChars(static_cast<std::uint64_t>(::getpid())); }

bool IsTempName(const std::string& name, const std::string& prefix) {
  const std::size_t suffixLen = sizeof kTempSuffix - 1;
  return name.size() == prefix.size() + kRandomChars + suffixLen &&
         name.compare(0, prefix.size(), prefix) == 0 &&
         name.compare(name.size() - suffixLen, suffixLen, kTempSuffix) == 0;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Every save holds a lock on its new file until it is done; a file nobody holds is what a
// killed save left.
void RemoveLeftovers(const std::string& dir, const std::string& prefix) {
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;  // creating the new file reports the reason
  const int dirFd = ::dirfd(d);
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (!IsTempName(name, prefix)) continue;
    TFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0 || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) continue;
    struct stat held, named;
    if (::fstat(fd.Get(), &held) == 0 &&
        ::fstatat(dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && SameFile(held, named))
      ::unlinkat(dirFd, name.c_str(), 0);
  }
  ::closedir(d);
}

class TPosixInput : public TInputFile {
 public:
  TPosixInput(int fd, const std::string& name) : FFd(fd), FName(name) {}
  std::size_t Read(char* buf, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::read(FFd.Get(), buf, size);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno != EINTR) ThrowErrno("Cannot read", FName);
    }
  }

 private:
  TFd FFd;
  std::string FName;
};

class TPosixOutput : public TOutputFile {
 public:
  TPosixOutput(const std::string& target, std::string resolved, std::string path, int fd)
      : FTarget(target),
        FResolved(std::move(resolved)),
        FPath(std::move(path)),
        FFd(fd),
        // The lock lives on a second descriptor of the same open file, so it outlasts Close
        // and covers the new file until it has taken its target's place.
        FLock(::fcntl(fd, F_DUPFD_CLOEXEC, 0)) {}
  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(FFd.Get(), bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowErrno("Cannot write", FTarget);
      }
      if (n == 0) ThrowIOError("Cannot write", FTarget, std::make_error_code(std::errc::io_error));
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
  }
  void Flush() override {
    if (::fsync(FFd.Get()) != 0) ThrowErrno("Cannot write", FTarget);
  }
  void Close() override {
    // Some file systems report a failed write only here; EINTR still closed the descriptor.
    if (FFd.Reset() != 0 && errno != EINTR) ThrowErrno("Cannot write", FTarget);
  }
  const std::string& Target() const override { return FTarget; }
  const std::string& Path() const override { return FPath; }
  const std::string& Resolved() const { return FResolved; }

 private:
  std::string FTarget, FResolved, FPath;
  TFd FFd;
  TFd FLock;
};

class TPosixFileSystem : public TFileSystem {
 public:
  TPosixFileSystem() {
    // Writing past a file-size limit must fail with "File too large", not end the program
    // with its unsaved work; a handler the program set itself is left alone.
    struct sigaction old {};
    if (::sigaction(SIGXFSZ, nullptr, &old) == 0 && old.sa_handler == SIG_DFL)
      std::signal(SIGXFSZ, SIG_IGN);
  }

  TFileInfo Info(const std::string& name) override {
    TFileInfo info;
    struct stat st;
    if (::stat(name.c_str(), &st) != 0) {
      if (errno == ENOENT || errno == ENOTDIR) return info;
      ThrowErrno("Cannot open", name);
    }
    info.Size = static_cast<std::uint64_t>(st.st_size);
    if (S_ISREG(st.st_mode)) {
      info.Kind = fkRegular;
      // Root may write anything, so the mode itself tells a file marked read-only.
      info.ReadOnly =
          (st.st_mode & 0222) == 0 ||
          (::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES);
    } else if (S_ISDIR(st.st_mode)) {
      info.Kind = fkDirectory;
    } else {
      info.Kind = fkSpecial;
      info.What = WhatIsSpecial(st.st_mode);
    }
    return info;
  }

  std::unique_ptr<TInputFile> OpenRead(const std::string& name) override {
    struct stat st;
    // Opening a FIFO or a device may wait or act on the device: look first.
    if (::stat(name.c_str(), &st) == 0) RefuseNonFile(name, st);
    TFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) ThrowErrno("Cannot open", name);
    if (::fstat(fd.Get(), &st) != 0) ThrowErrno("Cannot read", name);
    RefuseNonFile(name, st);  // it may have changed since the look
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    return std::make_unique<TPosixInput>(fd.Release(), name);
  }

  std::unique_ptr<TOutputFile> CreateBeside(const std::string& target) override {
    std::string resolved = ResolveLinks(target);
    const std::string dir = DirectoryOf(resolved);
    const std::string prefix = Prefix(BaseOf(resolved));
    RemoveLeftovers(dir, prefix);
    const std::string dirSlash = dir == "/" ? dir : dir + "/";
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string path = dirSlash + prefix + RandomChars() + kTempSuffix;
      TFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
      if (fd.Get() < 0) {
        if (errno == EEXIST) continue;
        ThrowErrno("Cannot create", target);
      }
      // Another save's clean-up may have taken it between the open and the lock: then it is
      // unlinked, or locked by that save for a moment; either way take another name.
      struct stat own;
      if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 || ::fstat(fd.Get(), &own) != 0 ||
          own.st_nlink == 0)
        continue;
      try {
        CopyOwnerAndMode(resolved, own, fd.Get(), target);
      } catch (...) {
        ::unlink(path.c_str());
        throw;
      }
      return std::make_unique<TPosixOutput>(target, std::move(resolved), path, fd.Release());
    }
    ThrowIOError("Cannot create", target, std::make_error_code(std::errc::file_exists));
  }

  void Replace(TOutputFile& file) override {
    auto& out = static_cast<TPosixOutput&>(file);
    if (::rename(out.Path().c_str(), out.Resolved().c_str()) != 0)
      ThrowErrno("Cannot replace", out.Target());
  }

  void FlushDirectoryOf(const TOutputFile& file) override {
    const auto& out = static_cast<const TPosixOutput&>(file);
    TFd dir(::open(DirectoryOf(out.Resolved()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() < 0) ThrowErrno("Cannot replace", out.Target());
    // Some file systems cannot flush a directory at all; that is no failure of the save.
    if (::fsync(dir.Get()) != 0 && errno != EINVAL && errno != ENOTSUP && errno != EROFS)
      ThrowErrno("Cannot replace", out.Target());
  }

  void Remove(const std::string& name) override {
    if (::unlink(name.c_str()) != 0 && errno != ENOENT) ThrowErrno("Cannot remove", name);
  }

  TLocalDate Today() override {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return TLocalDate{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
  }

  std::string ExecutablePath() override {
    // The kernel's own record of the file, byte for byte: no decoding can damage the name.
    std::string path(256, '\0');
    for (;;) {
      const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
      if (n < 0) return {};
      if (static_cast<std::size_t>(n) < path.size()) {
        path.resize(static_cast<std::size_t>(n));
        return path;
      }
      path.resize(path.size() * 2);
    }
  }

  std::string UserConfigDirectory() override {
    // A relative XDG_CONFIG_HOME is invalid and is ignored, as the XDG rules say.
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    std::string home;
    if (const char* h = std::getenv("HOME"); h && *h) {
      home = h;
    } else {
      std::vector<char> buf(16384);
      passwd pw{};
      passwd* found = nullptr;
      if (::getpwuid_r(::geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found &&
          found->pw_dir && *found->pw_dir)
        home = found->pw_dir;
    }
    if (home.empty()) return {};
    return (home.back() == '/' ? home : home + "/") + ".config";
  }

  bool CanCreateIn(const std::string& directory) override {
    return ::faccessat(AT_FDCWD, directory.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
  }

  void MakeDirectories(const std::string& name) override {
    // Each folder on the way, from the top: the missing ones are made private to the user.
    for (std::size_t end = name.find('/', 1);; end = name.find('/', end + 1)) {
      const std::string part = name.substr(0, end);
      if (!part.empty() && part.back() != '/' && ::mkdir(part.c_str(), 0700) != 0 &&
          errno != EEXIST)
        ThrowErrno("Cannot create", name);
      if (end == std::string::npos) break;
    }
    struct stat st;
    if (::stat(name.c_str(), &st) != 0) ThrowErrno("Cannot create", name);
    if (!S_ISDIR(st.st_mode))
      ThrowIOError("Cannot create", name, std::make_error_code(std::errc::not_a_directory));
  }

 private:
  static void RefuseNonFile(const std::string& name, const struct stat& st) {
    if (S_ISDIR(st.st_mode))
      ThrowIOError("Cannot read", name, std::make_error_code(std::errc::is_a_directory));
    if (IsSpecial(st.st_mode))
      ThrowIOError("Cannot read", name, std::string("not a file but ") + WhatIsSpecial(st.st_mode));
  }

  // The replaced file keeps its owner and group where the process may give them, and its mode.
  static void CopyOwnerAndMode(const std::string& resolved, const struct stat& own, int fd,
                               const std::string& target) {
    struct stat old;
    if (::stat(resolved.c_str(), &old) != 0) return;  // a new file: the umask decides
    if ((old.st_uid != own.st_uid || old.st_gid != own.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0 && old.st_gid != own.st_gid) {
      // Not allowed to give the file away: the group alone may still be one of ours.
      [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    }
    if (::fchmod(fd, old.st_mode & 07777) != 0) ThrowErrno("Cannot create", target);
  }
};

}  // namespace

TFileSystem& DefaultFileSystem() {
  static TPosixFileSystem fs;
  return fs;
}

void StartCommandLineProgram(int&, char**&) {}

}  // namespace cert
