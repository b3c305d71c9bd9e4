// The program's one way to the operating system's files and clock: an environment object that
// the workspace, certcheck and the settings file are handed, so tests can put a faulty one in
// its place and another platform can bring its own.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace cert {

// An operating-system failure while reading or writing a file; the text names the file.
class TCertIOError : public std::runtime_error {
 public:
  explicit TCertIOError(const std::string& what, std::error_code code = {})
      : std::runtime_error(what), FCode(code) {}
  // What went wrong, as the system said it; empty when it was not the system's own error.
  std::error_code Code() const { return FCode; }

 private:
  std::error_code FCode;
};

// `Action "file": reason`, the reason being the system's words for the code.
[[noreturn]] void ThrowIOError(const std::string& action, const std::string& file,
                               std::error_code code);
[[noreturn]] void ThrowIOError(const std::string& action, const std::string& file,
                               const std::string& reason);

enum TFileKind {
  fkMissing,
  fkRegular,
  fkDirectory,
  fkSpecial  // a FIFO, a device, a socket: nothing to read as a file
};

struct TFileInfo {
  TFileKind Kind = fkMissing;
  std::uint64_t Size = 0;
  // Marked read-only: saving over it would override the owner's choice.
  bool ReadOnly = false;
  // What a fkSpecial is, for messages ("a named pipe", "a device", "a socket").
  std::string What;
};

struct TLocalDate {
  int Year = 0, Month = 0, Day = 0;
};

// What the system puts between a folder and a name in the names it gives.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// A file open for reading.
class TInputFile {
 public:
  virtual ~TInputFile() = default;
  // Up to size bytes into buf; 0 at the end. Throws TCertIOError naming the file.
  virtual std::size_t Read(char* buf, std::size_t size) = 0;
};

// A new file written beside the file it is to replace; until it replaces that file nobody
// sees it. Every failure throws TCertIOError naming the target.
class TOutputFile {
 public:
  virtual ~TOutputFile() = default;
  // Writes every byte or throws.
  virtual void Write(std::string_view bytes) = 0;
  // Makes what was written durable.
  virtual void Flush() = 0;
  virtual void Close() = 0;
  // The name the caller gave: what messages name.
  virtual const std::string& Target() const = 0;
  // The new file's own name, to remove it when the save fails.
  virtual const std::string& Path() const = 0;
};

class TFileSystem {
 public:
  virtual ~TFileSystem() = default;
  // Follows symbolic links; a missing file (or a missing directory on the way) is fkMissing,
  // any other failure throws.
  virtual TFileInfo Info(const std::string& name) = 0;
  // Opens a regular file for reading, without waiting on a FIFO or device: anything else is
  // refused with a message naming it.
  virtual std::unique_ptr<TInputFile> OpenRead(const std::string& name) = 0;
  // A new file in the directory of the file target names (through symbolic links), carrying
  // the target's owner, group and mode where it exists. Leftovers of saves to the same target
  // that were killed are removed.
  virtual std::unique_ptr<TOutputFile> CreateBeside(const std::string& target) = 0;
  // Puts the closed new file in the place of its target in one step.
  virtual void Replace(TOutputFile& file) = 0;
  // Makes the last replace in the target's directory durable, where the platform can.
  virtual void FlushDirectoryOf(const TOutputFile& file) = 0;
  virtual void Remove(const std::string& name) = 0;
  virtual TLocalDate Today() = 0;

  // The running program's own file, as the system names it; empty when it cannot tell.
  virtual std::string ExecutablePath() = 0;
  // Where the user's programs keep their settings ($XDG_CONFIG_HOME or ~/.config, %APPDATA%);
  // empty when the user has no such folder.
  virtual std::string UserConfigDirectory() = 0;
  // Whether this process may create files in the directory.
  virtual bool CanCreateIn(const std::string& directory) = 0;
  // Creates the directory and every missing one above it (open to the user alone where the
  // platform has owners); one that is there already is no error.
  virtual void MakeDirectories(const std::string& name) = 0;
};

// The folder part of a path: no trailing separator except for a root ("/", "C:\\"); "." for a
// bare name. With a backslash as separator a '/' separates too, as on Windows.
std::string DirectoryOf(const std::string& path, char separator = kPathSeparator);
// The name part of a path.
std::string BaseOf(const std::string& path, char separator = kPathSeparator);
// The folder and the name with exactly one separator between them.
std::string JoinPath(const std::string& directory, const std::string& name,
                     char separator = kPathSeparator);

// The operating system's own file system and clock.
TFileSystem& DefaultFileSystem();

// The whole file, through fs.OpenRead.
std::string ReadWholeFile(TFileSystem& fs, const std::string& name);

// First thing in a command-line program's main: its arguments become names the file layer
// takes (on Windows UTF-8, whatever the console's code page) and the standard streams pass
// bytes unchanged (on Windows no CR LF translation). Nothing to do on POSIX.
void StartCommandLineProgram(int& argc, char**& argv);

}  // namespace cert
