// Certificate files of passing records, built once per size for the benchmarks.
#pragma once

#include <string>

namespace certbench {

// Path of a file with a passing header and `records` passing detail lines (made on first use).
std::string PassingFile(long records);

}  // namespace certbench
