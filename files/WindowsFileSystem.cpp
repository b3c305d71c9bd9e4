// The file system of Windows. The only file of the program that calls the system there.
// Names are UTF-8 in the program and UTF-16 for the system; files are read and written as
// bytes, so CR LF stays as written.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "FileSystem.h"
#include "TempNames.h"
#include "Utf16.h"

namespace cert {

namespace {

std::wstring ToWide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

std::string FromWide(const wchar_t* s, std::size_t n) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(s), n));
}
std::string FromWide(const std::wstring& s) { return FromWide(s.data(), s.size()); }

// The system's own words for a code, without the line end and full stop it puts after them.
class TWindowsCategory : public std::error_category {
 public:
  const char* name() const noexcept override { return "windows"; }
  std::string message(int code) const override {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (n == 0 || !text) return "Windows error " + std::to_string(code);
    std::string out = FromWide(text, n);
    ::LocalFree(text);
    while (!out.empty() &&
           (out.back() == '\n' || out.back() == '\r' || out.back() == ' ' || out.back() == '.'))
      out.pop_back();
    return out;
  }
};

const std::error_category& WindowsCategory() {
  static const TWindowsCategory category;
  return category;
}

// The codes the program asks about by their portable name (a full disk, a missing file) become
// those, with the same words as on POSIX; the others keep the system's words.
std::error_code ToErrorCode(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return std::make_error_code(std::errc::file_exists);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY:
      return std::make_error_code(std::errc::not_enough_memory);
    case ERROR_FILENAME_EXCED_RANGE:
      return std::make_error_code(std::errc::filename_too_long);
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_DIRECTORY:
      return std::make_error_code(std::errc::not_a_directory);
    default:
      return std::error_code(static_cast<int>(code), WindowsCategory());
  }
}

[[noreturn]] void ThrowSystem(const char* action, const std::string& file,
                              DWORD code = ::GetLastError()) {
  ThrowIOError(action, file, ToErrorCode(code));
}

bool IsMissing(DWORD code) {
  // A name no file can have (one with '*' or '?') names no file either.
  return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
         code == ERROR_INVALID_DRIVE || code == ERROR_BAD_NETPATH || code == ERROR_BAD_NET_NAME ||
         code == ERROR_DIRECTORY || code == ERROR_INVALID_NAME;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// The system's name for a file: UTF-16, and past the old 260-character limit in the form that
// has none.
std::wstring SystemName(const std::string& name, const char* action) {
  const std::optional<std::u16string> utf16 = Utf8ToUtf16(name);
  if (!utf16) ThrowIOError(action, name, "the name is not UTF-8");
  std::wstring wide = ToWide(*utf16);
  if (wide.size() < 248 || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  const DWORD need = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (need == 0) return wide;
  std::wstring full(need, L'\0');
  const DWORD n = ::GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
  if (n == 0 || n >= need) return wide;
  full.resize(n);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

// A pipe is the one kind of special file that opening, even only to look at it, acts on.
bool IsPipeName(const std::wstring& w) {
  if (w.size() < 9 || !IsSeparator(w[0]) || !IsSeparator(w[1]) || !IsSeparator(w[3])) return false;
  if (w[2] != L'.' && w[2] != L'?') return false;
  return ::CompareStringOrdinal(w.c_str() + 4, 5, L"pipe\\", 5, TRUE) == CSTR_EQUAL ||
         ::CompareStringOrdinal(w.c_str() + 4, 5, L"pipe/", 5, TRUE) == CSTR_EQUAL;
}

class THandle {
 public:
  explicit THandle(HANDLE h = INVALID_HANDLE_VALUE) : FHandle(h) {}
  ~THandle() { Reset(); }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  explicit operator bool() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
  HANDLE Get() const { return FHandle; }
  HANDLE Release() {
    const HANDLE h = FHandle;
    FHandle = INVALID_HANDLE_VALUE;
    return h;
  }
  // Closes now; false when the system says closing failed.
  bool Reset() {
    const HANDLE h = Release();
    return h == INVALID_HANDLE_VALUE || h == nullptr || ::CloseHandle(h);
  }

 private:
  HANDLE FHandle;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Opens without asking for any access: looking at a device this way does not act on it.
HANDLE OpenToLook(const std::wstring& w) {
  return ::CreateFileW(w.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                       nullptr);
}

// What the open file is; fkMissing never.
TFileInfo Describe(HANDLE h, const std::string& name) {
  TFileInfo info;
  switch (::GetFileType(h)) {
    case FILE_TYPE_DISK:
      break;
    case FILE_TYPE_CHAR:
      info.Kind = fkSpecial;
      info.What = "a device";
      return info;
    case FILE_TYPE_PIPE:
      info.Kind = fkSpecial;
      info.What = "a named pipe";
      return info;
    default:
      info.Kind = fkSpecial;
      info.What = "a special file";
      return info;
  }
  BY_HANDLE_FILE_INFORMATION fi;
  if (!::GetFileInformationByHandle(h, &fi)) ThrowSystem("Cannot open", name);
  if (fi.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    info.Kind = fkDirectory;
    return info;
  }
  info.Kind = fkRegular;
  info.Size = (static_cast<std::uint64_t>(fi.nFileSizeHigh) << 32) | fi.nFileSizeLow;
  info.ReadOnly = (fi.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
  return info;
}

void RefuseNonFile(const std::string& name, HANDLE h) {
  const TFileInfo info = Describe(h, name);
  if (info.Kind == fkDirectory)
    ThrowIOError("Cannot read", name, std::make_error_code(std::errc::is_a_directory));
  if (info.Kind == fkSpecial) ThrowIOError("Cannot read", name, "not a file but " + info.What);
}

// A target that is a symbolic link is replaced where the link points, so the link stays; a
// link that points nowhere is itself replaced.
std::string ResolveLinks(const std::string& target, const std::wstring& wide) {
  const DWORD attrs = ::GetFileAttributesW(wide.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || !(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) return target;
  THandle h(OpenToLook(wide));
  if (!h) return target;
  std::wstring final(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n =
        ::GetFinalPathNameByHandleW(h.Get(), final.data(), static_cast<DWORD>(final.size()), 0);
    if (n == 0) return target;
    if (n < final.size()) {
      final.resize(n);
      break;
    }
    final.resize(n);
  }
  if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) return "\\\\" + FromWide(final.substr(8));
  if (final.rfind(L"\\\\?\\", 0) == 0 && final.size() >= 7 && final[5] == L':')
    return FromWide(final.substr(4));
  return FromWide(final);
}

using tempnames::kRandomChars;
constexpr auto& kTempSuffix = tempnames::kSuffix;
using tempnames::Prefix;

bool IsTempName(const std::wstring& name, const std::wstring& prefix) {
  const std::wstring suffix(std::begin(kTempSuffix), std::end(kTempSuffix) - 1);
  const int n = static_cast<int>(prefix.size());
  // Names differing in case only are the same file's.
  return name.size() == prefix.size() + kRandomChars + suffix.size() &&
         ::CompareStringOrdinal(name.c_str(), n, prefix.c_str(), n, TRUE) == CSTR_EQUAL &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string RandomChars() {
  return tempnames::RandomChars(static_cast<std::uint64_t>(::GetCurrentProcessId()));
}

// Every save keeps its new file open until it is done; a file that can be opened alone is what
// a killed save left.
void RemoveLeftovers(const std::string& dir, const std::string& prefix) {
  const std::wstring folder = SystemName(JoinPath(dir, ""), "Cannot create");
  const std::wstring prefixW = ToWide(*Utf8ToUtf16(prefix));
  WIN32_FIND_DATAW found;
  const HANDLE find = ::FindFirstFileExW((folder + prefixW + L"*").c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return;  // creating the new file reports the reason
  do {
    const std::wstring name = found.cFileName;
    if (!IsTempName(name, prefixW) || (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    // Closing the handle removes the file; a save in progress makes the open fail.
    THandle h(::CreateFileW((folder + name).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  } while (::FindNextFileW(find, &found));
  ::FindClose(find);
}

class TWindowsInput : public TInputFile {
 public:
  TWindowsInput(HANDLE h, const std::string& name) : FHandle(h), FName(name) {}
  std::size_t Read(char* buf, std::size_t size) override {
    DWORD n = 0;
    const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(FHandle.Get(), buf, ask, &n, nullptr)) {
      const DWORD e = ::GetLastError();
      if (e == ERROR_HANDLE_EOF || e == ERROR_BROKEN_PIPE) return 0;
      ThrowSystem("Cannot read", FName, e);
    }
    return n;
  }

 private:
  THandle FHandle;
  std::string FName;
};

class TWindowsOutput : public TOutputFile {
 public:
  TWindowsOutput(const std::string& target, std::string resolved, std::string path, HANDLE file,
                 HANDLE guard)
      : FTarget(target),
        FResolved(std::move(resolved)),
        FPath(std::move(path)),
        FFile(file),
        FGuard(guard) {}
  void Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const DWORD ask = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
      DWORD n = 0;
      if (!::WriteFile(FFile.Get(), bytes.data(), ask, &n, nullptr))
        ThrowSystem("Cannot write", FTarget);
      if (n == 0) ThrowIOError("Cannot write", FTarget, std::make_error_code(std::errc::io_error));
      bytes.remove_prefix(n);
    }
  }
  void Flush() override {
    if (!::FlushFileBuffers(FFile.Get())) ThrowSystem("Cannot write", FTarget);
  }
  void Close() override {
    if (!FFile.Reset()) ThrowSystem("Cannot write", FTarget);
  }
  const std::string& Target() const override { return FTarget; }
  const std::string& Path() const override { return FPath; }
  const std::string& Resolved() const { return FResolved; }
  // Once the new file has its target's name it needs no guarding.
  void Done() { FGuard.Reset(); }

 private:
  std::string FTarget, FResolved, FPath;
  THandle FFile;
  // A second handle on the new file, open from its creation until it has taken its target's
  // place: it keeps another save's clean-up away, and shares deleting and renaming so that
  // this save can still do both.
  THandle FGuard;
};

class TWindowsFileSystem : public TFileSystem {
 public:
  TFileInfo Info(const std::string& name) override {
    const std::wstring w = SystemName(name, "Cannot open");
    if (IsPipeName(w)) return TFileInfo{fkSpecial, 0, false, "a named pipe"};
    THandle h(OpenToLook(w));
    if (!h) {
      const DWORD e = ::GetLastError();
      if (IsMissing(e)) return TFileInfo{};
      ThrowSystem("Cannot open", name, e);
    }
    return Describe(h.Get(), name);
  }

  std::unique_ptr<TInputFile> OpenRead(const std::string& name) override {
    const std::wstring w = SystemName(name, "Cannot open");
    if (IsPipeName(w)) ThrowIOError("Cannot read", name, "not a file but a named pipe");
    {
      // Opening a device to read may act on it: look first.
      THandle look(OpenToLook(w));
      if (look) RefuseNonFile(name, look.Get());
    }
    THandle h(::CreateFileW(w.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h) ThrowSystem("Cannot open", name);
    RefuseNonFile(name, h.Get());  // it may have changed since the look
    return std::make_unique<TWindowsInput>(h.Release(), name);
  }

  std::unique_ptr<TOutputFile> CreateBeside(const std::string& target) override {
    std::string resolved = ResolveLinks(target, SystemName(target, "Cannot create"));
    const std::string dir = DirectoryOf(resolved);
    const std::string prefix = Prefix(BaseOf(resolved));
    RemoveLeftovers(dir, prefix);
    // The replaced file keeps being hidden, a system file, or marked for archiving.
    DWORD attrs = ::GetFileAttributesW(SystemName(resolved, "Cannot create").c_str());
    attrs = attrs == INVALID_FILE_ATTRIBUTES
                ? 0
                : attrs & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    if (attrs == 0) attrs = FILE_ATTRIBUTE_NORMAL;
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string path = JoinPath(dir, prefix + RandomChars() + kTempSuffix);
      const std::wstring w = SystemName(path, "Cannot create");
      THandle file(::CreateFileW(w.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                 nullptr, CREATE_NEW, attrs, nullptr));
      if (!file) {
        const DWORD e = ::GetLastError();
        if (e == ERROR_FILE_EXISTS || e == ERROR_ALREADY_EXISTS) continue;
        ThrowSystem("Cannot create", target, e);
      }
      THandle guard(::CreateFileW(w.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
      if (!guard) {
        const DWORD e = ::GetLastError();
        file.Reset();
        ::DeleteFileW(w.c_str());
        ThrowSystem("Cannot create", target, e);
      }
      return std::make_unique<TWindowsOutput>(target, std::move(resolved), std::move(path),
                                              file.Release(), guard.Release());
    }
    ThrowIOError("Cannot create", target, std::make_error_code(std::errc::file_exists));
  }

  void Replace(TOutputFile& file) override {
    auto& out = static_cast<TWindowsOutput&>(file);
    const std::wstring from = SystemName(out.Path(), "Cannot replace");
    const std::wstring to = SystemName(out.Resolved(), "Cannot replace");
    for (DWORD attempt = 0;; ++attempt) {
      // Write-through: the call returns once the new name is on the disk.
      if (::MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        break;
      // Nothing can take the place of a file that is open. Virus scanners, indexers and readers
      // hold a file for a moment; a program that keeps it open makes the save fail after
      // about two thirds of a second.
      const DWORD e = ::GetLastError();
      if (attempt == 10 ||
          (e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION && e != ERROR_LOCK_VIOLATION))
        ThrowSystem("Cannot replace", out.Target(), e);
      ::Sleep(std::min<DWORD>(1u << attempt, 200));
    }
    out.Done();
  }

  // MoveFileExW with write-through has done it already.
  void FlushDirectoryOf(const TOutputFile&) override {}

  void Remove(const std::string& name) override {
    if (!::DeleteFileW(SystemName(name, "Cannot remove").c_str())) {
      const DWORD e = ::GetLastError();
      if (e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND)
        ThrowSystem("Cannot remove", name, e);
    }
  }

  TLocalDate Today() override {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return TLocalDate{now.wYear, now.wMonth, now.wDay};
  }

  std::string ExecutablePath() override {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n == 0) return {};
      if (n < path.size()) {
        path.resize(n);
        return FromWide(path);
      }
      path.resize(path.size() * 2);
    }
  }

  std::string UserConfigDirectory() override {
    wchar_t* dir = nullptr;
    std::string out;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &dir)) && dir)
      out = FromWide(dir, std::wcslen(dir));
    ::CoTaskMemFree(dir);
    return out;
  }

  bool CanCreateIn(const std::string& directory) override {
    // Only trying tells: the folder's access list, not its attributes, decides.
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::optional<std::u16string> w =
          Utf8ToUtf16(JoinPath(directory, ".certprobe." + RandomChars() + kTempSuffix));
      if (!w) return false;
      THandle probe(::CreateFileW(
          ToWide(*w).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
          FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
      if (probe) return true;
      const DWORD e = ::GetLastError();
      if (e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
  }

  void MakeDirectories(const std::string& name) override {
    MakeDirectory(SystemName(name, "Cannot create"), name);
    const DWORD attrs = ::GetFileAttributesW(SystemName(name, "Cannot create").c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) ThrowSystem("Cannot create", name);
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY))
      ThrowIOError("Cannot create", name, std::make_error_code(std::errc::not_a_directory));
  }

 private:
  // The folder, after the missing ones above it.
  static void MakeDirectory(const std::wstring& w, const std::string& name) {
    if (::CreateDirectoryW(w.c_str(), nullptr)) return;
    DWORD e = ::GetLastError();
    if (e == ERROR_ALREADY_EXISTS) return;
    if (e == ERROR_PATH_NOT_FOUND) {
      std::size_t cut = w.size();
      while (cut > 0 && IsSeparator(w[cut - 1])) --cut;  // a trailing separator
      while (cut > 0 && !IsSeparator(w[cut - 1])) --cut;
      while (cut > 1 && IsSeparator(w[cut - 1])) --cut;
      if (cut > 0 && cut < w.size()) {
        MakeDirectory(w.substr(0, cut), name);
        if (::CreateDirectoryW(w.c_str(), nullptr)) return;
        e = ::GetLastError();
        if (e == ERROR_ALREADY_EXISTS) return;
      }
    }
    ThrowSystem("Cannot create", name, e);
  }
};

}  // namespace

TFileSystem& DefaultFileSystem() {
  static TWindowsFileSystem fs;
  return fs;
}

void StartCommandLineProgram(int& argc, char**& argv) {
  // The C runtime's arguments are in the console's code page, which cannot hold every name.
  int count = 0;
  if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    args.clear();
    for (int i = 0; i < count; ++i) args.push_back(FromWide(wide[i], std::wcslen(wide[i])));
    ::LocalFree(wide);
    pointers.clear();
    for (std::string& a : args) pointers.push_back(a.data());
    pointers.push_back(nullptr);
    argc = count;
    argv = pointers.data();
  }
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace cert
