#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace certtest {

// A fresh directory removed with everything in it at the end of the test.
class TTempDir {
 public:
  TTempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "certtest-XXXXXX").string();
    FPath = mkdtemp(tmpl.data());
  }
  ~TTempDir() {
    std::error_code ec;
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(FPath, ec);
  }
  std::string File(const std::string& name) const { return FPath + "/" + name; }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

}  // namespace certtest
