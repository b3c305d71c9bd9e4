#pragma once

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>
#ifdef _WIN32
#include <random>
#else
#include <cstdlib>
#endif

namespace certtest {

// A fresh directory removed with everything in it at the end of the test. Its name is UTF-8.
class TTempDir {
 public:
  TTempDir() {
    namespace fs = std::filesystem;
#ifdef _WIN32
    // Windows has no mkdtemp: a name nobody has, taken by creating it.
    std::random_device random;
    for (;;) {
      const fs::path dir =
          fs::temp_directory_path() / ("certtest-" + std::to_string(random() % 1000000000u));
      if (fs::create_directory(dir)) {
        FPath = dir.u8string();
        break;
      }
    }
#else
    std::string tmpl = (fs::temp_directory_path() / "certtest-XXXXXX").string();
    FPath = mkdtemp(tmpl.data());
#endif
  }
  ~TTempDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
#ifdef _WIN32
    // The form of the name without the 260-character limit reaches what tests made deep down;
    // and a read-only file cannot be removed there.
    const fs::path root = L"\\\\?\\" + fs::u8path(FPath).wstring();
    for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code ignored;
      fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    }
    fs::remove_all(root, ec);
#else
    fs::permissions(FPath, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(FPath, ec);
#endif
  }
  std::string File(const std::string& name) const { return FPath + "/" + name; }
  const std::string& Path() const { return FPath; }
  // The names in the directory, sorted, in UTF-8.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(std::filesystem::u8path(FPath)))
      names.push_back(e.path().filename().u8string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string FPath;
};

}  // namespace certtest
