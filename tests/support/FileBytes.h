// A test's own look at a file's bytes, past the code under test. Names are UTF-8 on Windows.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace certtest {

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream(std::filesystem::u8path(path), std::ios::binary) << bytes;
}

}  // namespace certtest
