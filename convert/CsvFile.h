// Whole-file reading and writing for CSV text; operating-system failures throw
// cert::TCertIOError naming the file.
#pragma once

#include <string>
#include <string_view>

#include "FileSystem.h"

namespace certcsv {

std::string ReadFileBytes(const std::string& path,
                          cert::TFileSystem& fs = cert::DefaultFileSystem());
// Writes beside the target and puts it in its place, so a failure never harms an existing file.
void ReplaceFileBytes(const std::string& path, std::string_view bytes,
                      cert::TFileSystem& fs = cert::DefaultFileSystem());

}  // namespace certcsv
