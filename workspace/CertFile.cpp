#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "CertDate.h"
#include "CertFormat.h"
#include "Cp1252.h"

namespace cert {

namespace {

const char kLengthMessage[] =
    "*** This file's record length exceeds 351 characters.  Please make sure that all records "
    "in this file are exactly 351 characters.";
const char kSecondHeaderMessage[] =
    "*** This file has more than than 1 header record!  The limit is 1 header per file.";

[[noreturn]] void ThrowIO(const std::string& what, const std::string& file, int err) {
  throw TCertIOError(what + " \"" + file + "\": " + std::strerror(err));
}

const char kFileMessageStart[] = "*** File \"";

// Calls fn for every line of the file; a line ends at LF, one CR before it is dropped.
template <typename Fn>
void ForEachLine(int fd, const std::string& name, Fn fn) {
  constexpr std::size_t kChunk = 1 << 20;
  std::unique_ptr<char[]> buf(new char[kChunk]);
  std::string carry;  // a line that runs across chunks
  for (;;) {
    const ssize_t got = ::read(fd, buf.get(), kChunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowIO("Cannot read", name, errno);
    }
    if (got == 0) break;
    std::string_view chunk(buf.get(), static_cast<std::size_t>(got));
    for (;;) {
      const std::size_t lf = chunk.find('\n');
      if (lf == std::string_view::npos) {
        carry.append(chunk);
        break;
      }
      std::string_view line = chunk.substr(0, lf);
      chunk.remove_prefix(lf + 1);
      if (!carry.empty()) {
        carry.append(line);
        line = carry;
      }
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      fn(line);
      carry.clear();
    }
  }
  if (!carry.empty()) {
    std::string_view line = carry;
    if (line.back() == '\r') line.remove_suffix(1);
    fn(line);
  }
}

class TFd {
 public:
  explicit TFd(int fd) : FFd(fd) {}
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

bool FileExists(const std::string& name) {
  struct stat st;
  return ::stat(name.c_str(), &st) == 0;
}

}  // namespace

std::string FileErrorToUtf8(const std::string& message) {
  return message.rfind(kFileMessageStart, 0) == 0 ? message : Cp1252ToUtf8(message);
}

void TCertFormat::ReadCertFile() {
  auto report = [this](const std::string& msg) {
    if (OnFileError) OnFileError(this, msg);
  };
  const std::string name = FileNameOpen;
  struct stat st;
  if (::stat(name.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) ThrowIO("Cannot open", name, errno);
    report(kFileMessageStart + name + "\" does not exist!");
    return;
  }
  if (S_ISDIR(st.st_mode)) ThrowIO("Cannot read", name, EISDIR);
  TFd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.Get() < 0) ThrowIO("Cannot open", name, errno);

  FDetailStr.Clear();
  // Room for as many lines as the file's size suggests (within reason), so the list seldom
  // regrows while a large file is read.
  const std::size_t estimate = static_cast<std::size_t>(st.st_size) / (DetailLineLength + 2) + 1;
  FDetailStr.Reserve(estimate < 2000000 ? estimate : 2000000);
  DetailRecStatus = drBrowse;
  bool first = true;
  auto readHeader = [&](std::string_view line) {
    HeaderRec.RecordCode = line.substr(0, 1);
    for (int n = 0; n < HeaderFieldCount; ++n)
      HeaderRec.Field(n) = Columns(line, FieldTable[n].FirstCol, FieldTable[n].Width);
    HeaderRec.DateWritten = Columns(line, HeaderDateCol, HeaderDateWidth);
    const std::string_view excess = Columns(line, HeaderExcessCol, std::string_view::npos);
    if (HeaderRec.RecordCode != "1")
      report(kFileMessageStart + name + "\" does not contain a header record!");
    else if (!IsEmptyTrimmed(excess))
      report(kLengthMessage);
  };
  std::string lastLine;  // DetailRec is left holding the fields of the last line read
  bool sawDetail = false;
  auto readDetail = [&](std::string_view line) {
    lastLine.assign(line.data(), line.size());
    sawDetail = true;
    const char code = line.empty() ? '\0' : line[0];
    if (code == '2') {
      if (!IsEmptyTrimmed(Columns(line, DetailExcessCol, std::string_view::npos)))
        report(kLengthMessage);
    } else if (code == '1') {
      report(kSecondHeaderMessage);
    } else {
      // Empty lines, blanks and control characters (an end-of-file mark) are blank lines;
      // any other code is a record the fund would reject, so say which one is dropped.
      if (!line.empty() && !IsBlankOrControl(code)) {
        auto name = [&](int n) {
          return std::string(Trim(Columns(line, FieldTable[n].FirstCol, FieldTable[n].Width)));
        };
        report("*** Invalid detail record code found for " + name(fnDInsuredLastName) + ", " +
               name(fnDInsuredFirstName) + "!");
      }
      BlankLineEncounter = true;
      return;
    }
    std::string normal;
    NormaliseDetailLine(line, normal);
    FDetailStr.Add(std::move(normal));
  };
  ForEachLine(fd.Get(), name, [&](std::string_view line) {
    if (first) {
      first = false;
      readHeader(line);
    } else {
      readDetail(line);
    }
  });
  if (first) readHeader({});
  if (sawDetail) {
    DetailRec.RecordCode = std::string_view(lastLine).substr(0, 1);
    for (int n = FirstDetailField; n < FieldCount; ++n)
      DetailRec.Field(n) = Columns(lastLine, FieldTable[n].FirstCol, FieldTable[n].Width);
  }
  if (FDetailStr.Count() > 0) FDetailIndex = 0;
  FFileChanged = false;
}

namespace {

// Writes through a large buffer; every failure throws with the file's name.
class TLineWriter {
 public:
  TLineWriter(int fd, const std::string& name) : FFd(fd), FName(name) { FBuf.reserve(kSize); }
  void Line(std::string_view s) {
    if (FBuf.size() + s.size() + 2 > kSize) Flush();
    if (s.size() + 2 > kSize) {
      Put(s);
      Put("\r\n");
      return;
    }
    FBuf.append(s);
    FBuf.append("\r\n");
  }
  void Flush() {
    Put(FBuf);
    FBuf.clear();
  }

 private:
  static constexpr std::size_t kSize = 1 << 22;
  void Put(std::string_view s) {
    while (!s.empty()) {
      const ssize_t n = ::write(FFd, s.data(), s.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        ThrowIO("Cannot write", FName, errno);
      }
      s.remove_prefix(static_cast<std::size_t>(n));
    }
  }
  int FFd;
  const std::string& FName;
  std::string FBuf;
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

void TCertFormat::WriteCertFile() {
  const std::string name = FileNameSave;
  if (FileExists(name)) {
    if (!OnConfirmOverwrite) return;
    if (!OnConfirmOverwrite("File " + name + " already exist.  Overwrite?")) return;
  }
  // Written beside the target and renamed over it, so a failure never harms the old file.
  std::string tmp = DirectoryOf(name) + "/.certtmpXXXXXX";
  TFd fd(::mkstemp(tmp.data()));
  if (fd.Get() < 0) ThrowIO("Cannot create", name, errno);
  try {
    if (::fchmod(fd.Get(), NewFileMode(name)) != 0) ThrowIO("Cannot create", name, errno);
    TLineWriter out(fd.Get(), name);
    out.Line(BuildHeaderLine(HeaderRec, FormatYYYYMMDD(Today())));
    for (const std::string& line : FDetailStr.Items()) out.Line(line);
    out.Flush();
    if (::fsync(fd.Get()) != 0) ThrowIO("Cannot write", name, errno);
    if (::close(fd.Release()) != 0) ThrowIO("Cannot write", name, errno);
    if (::rename(tmp.c_str(), name.c_str()) != 0) ThrowIO("Cannot replace", name, errno);
  } catch (...) {
    ::unlink(tmp.c_str());
    throw;
  }
  FFileChanged = false;
}

}  // namespace cert
