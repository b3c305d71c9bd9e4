// Whole-file reading and writing for CSV text; operating-system failures throw
// cert::TCertIOError naming the file.
#pragma once

#include <string>
#include <string_view>

namespace certcsv {

std::string ReadFileBytes(const std::string& path);
// Writes beside the target and renames over it, so a failure never harms an existing file.
void ReplaceFileBytes(const std::string& path, std::string_view bytes);

}  // namespace certcsv
