// A test's own look at a file's bytes, past the code under test.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace certtest {

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace certtest
