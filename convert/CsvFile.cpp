// The conversion code's files, through the program's file layer.
#include "CsvFile.h"

#include "ReplacingWriter.h"

namespace certcsv {

std::string ReadFileBytes(const std::string& path, cert::TFileSystem& fs) {
  return cert::ReadWholeFile(fs, path);
}

void ReplaceFileBytes(const std::string& path, std::string_view bytes, cert::TFileSystem& fs) {
  cert::TReplacingWriter out(fs, path);
  out.Write(bytes);
  out.Commit();
}

}  // namespace certcsv
