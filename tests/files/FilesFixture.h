// What the file layer's tests share: a fresh folder, saving through the layer, and a look at
// what the folder holds.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>
#ifndef _WIN32
#include <csignal>
#endif

#include "../support/FaultyFileSystem.h"
#include "../support/FileBytes.h"
#include "../support/TempDir.h"
#include "FileSystem.h"
#include "ReplacingWriter.h"

namespace filestest {

class TFilesTest : public ::testing::Test {
 protected:
  void Save(const std::string& target, const std::string& bytes) {
    cert::ReplaceWholeFile(Fs, target, bytes);
  }

  certtest::TTempDir Dir;
  cert::TFileSystem& Fs = cert::DefaultFileSystem();
};

// Leaves a save's new file as a save killed after writing `bytes` leaves it: nobody holds it.
// On POSIX a child process makes it and is killed. On Windows, where a death test's child runs
// the test again from its start in a folder of its own, the new file's handles are closed as
// the system closes those of a process that ends.
inline void LeaveAsAKilledSave(cert::TFileSystem& fs, const std::string& target,
                               std::size_t bytes) {
#ifdef _WIN32
  std::unique_ptr<cert::TOutputFile> file = fs.CreateBeside(target);
  file->Write(std::string(bytes, 'x'));
#else
  EXPECT_EXIT(
      {
        auto file = fs.CreateBeside(target);
        file->Write(std::string(bytes, 'x'));
        std::raise(SIGKILL);
      },
      ::testing::KilledBySignal(SIGKILL), "");
#endif
}

}  // namespace filestest
