#include "FileSystem.h"

namespace cert {

void ThrowIOError(const std::string& action, const std::string& file, std::error_code code) {
  throw TCertIOError(action + " \"" + file + "\": " + code.message(), code);
}

void ThrowIOError(const std::string& action, const std::string& file, const std::string& reason) {
  throw TCertIOError(action + " \"" + file + "\": " + reason);
}

namespace {

std::size_t LastSeparator(const std::string& path, char separator) {
  return path.find_last_of(separator == '\\' ? "\\/" : "/");
}

bool EndsWithSeparator(const std::string& path, char separator) {
  return !path.empty() && (path.back() == separator || (separator == '\\' && path.back() == '/'));
}

}  // namespace

std::string DirectoryOf(const std::string& path, char separator) {
  const std::size_t cut = LastSeparator(path, separator);
  if (cut == std::string::npos) return ".";
  if (cut == 0) return path.substr(0, 1);
  // A drive's root keeps its separator: "C:" alone would be the drive's current folder.
  if (separator == '\\' && cut == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, cut);
}

std::string BaseOf(const std::string& path, char separator) {
  const std::size_t cut = LastSeparator(path, separator);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string JoinPath(const std::string& directory, const std::string& name, char separator) {
  return EndsWithSeparator(directory, separator) ? directory + name : directory + separator + name;
}

std::string ReadWholeFile(TFileSystem& fs, const std::string& name) {
  const std::unique_ptr<TInputFile> in = fs.OpenRead(name);
  std::string bytes;
  char buf[1 << 16];
  while (const std::size_t n = in->Read(buf, sizeof buf)) bytes.append(buf, n);
  return bytes;
}

}  // namespace cert
