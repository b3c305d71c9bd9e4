#include "FileSystem.h"

namespace cert {

void ThrowIOError(const std::string& action, const std::string& file, std::error_code code) {
  throw TCertIOError(action + " \"" + file + "\": " + code.message(), code);
}

void ThrowIOError(const std::string& action, const std::string& file, const std::string& reason) {
  throw TCertIOError(action + " \"" + file + "\": " + reason);
}

std::string ReadWholeFile(TFileSystem& fs, const std::string& name) {
  const std::unique_ptr<TInputFile> in = fs.OpenRead(name);
  std::string bytes;
  char buf[1 << 16];
  while (const std::size_t n = in->Read(buf, sizeof buf)) bytes.append(buf, n);
  return bytes;
}

}  // namespace cert
