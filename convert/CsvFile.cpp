// The only operating-system calls of the conversion code.
#include "CsvFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "CertFormat.h"

namespace certcsv {

namespace {

[[noreturn]] void ThrowIO(const std::string& what, const std::string& file, int err) {
  throw cert::TCertIOError(what + " \"" + file + "\": " + std::strerror(err));
}

class TFd {
 public:
  explicit TFd(int fd) : FFd(fd) {}
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  ~TFd() {
    if (FFd >= 0) ::close(FFd);
  }
  int Get() const { return FFd; }
  int Release() {
    const int fd = FFd;
    FFd = -1;
    return fd;
  }

 private:
  int FFd;
};

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t NewFileMode(const std::string& target) {
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) return st.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string ReadFileBytes(const std::string& path) {
  TFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) ThrowIO("Cannot open", path, errno);
  struct stat st;
  if (::fstat(fd.Get(), &st) != 0) ThrowIO("Cannot read", path, errno);
  if (S_ISDIR(st.st_mode)) ThrowIO("Cannot read", path, EISDIR);
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd.Get(), buf, sizeof buf);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowIO("Cannot read", path, errno);
    }
    if (got == 0) break;
    bytes.append(buf, static_cast<std::size_t>(got));
  }
  return bytes;
}

void ReplaceFileBytes(const std::string& path, std::string_view bytes) {
  std::string tmp = DirectoryOf(path) + "/.certcsvXXXXXX";
  TFd fd(::mkstemp(tmp.data()));
  if (fd.Get() < 0) ThrowIO("Cannot create", path, errno);
  try {
    if (::fchmod(fd.Get(), NewFileMode(path)) != 0) ThrowIO("Cannot create", path, errno);
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd.Get(), bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowIO("Cannot write", path, errno);
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (::fsync(fd.Get()) != 0) ThrowIO("Cannot write", path, errno);
    if (::close(fd.Release()) != 0) ThrowIO("Cannot write", path, errno);
    if (::rename(tmp.c_str(), path.c_str()) != 0) ThrowIO("Cannot replace", path, errno);
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
}

}  // namespace certcsv
