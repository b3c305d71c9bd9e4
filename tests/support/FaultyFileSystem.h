// The system's file system with one fault put in its way, a fixed date, and a log of the
// steps a save takes. Handed to what is tested, so no fault and no date outlives its test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "FileSystem.h"

namespace certtest {

// The text of the TCertIOError that fn throws; a test failure when it throws none.
template <typename Fn>
std::string IOErrorOf(Fn fn) {
  try {
    fn();
  } catch (const cert::TCertIOError& e) {
    return e.what();
  }
  ADD_FAILURE() << "no TCertIOError";
  return {};
}

enum TFaultPoint {
  fpNone,
  fpOpenRead,
  fpRead,  // after Fault.After bytes have been read
  fpCreate,
  fpWrite,  // after Fault.After bytes have been written: the write that crosses it is short
  fpFlush,
  fpClose,  // the file is closed all the same, as the system does
  fpReplace,
  fpFlushDirectory,
  fpMakeDirectories,
};

struct TFault {
  TFaultPoint Point = fpNone;
  std::errc Error = std::errc::io_error;
  std::uint64_t After = 0;
};

class TFaultyFileSystem : public cert::TFileSystem {
 public:
  explicit TFaultyFileSystem(TFault fault = {},
                             cert::TFileSystem& inner = cert::DefaultFileSystem())
      : Fault(fault), FInner(inner) {}

  TFault Fault;
  cert::TLocalDate Date{2026, 12, 10};
  // "create", "write", "flush", "close", "replace", "flush directory", "remove",
  // "make directories", in order; consecutive writes are logged once.
  std::vector<std::string> Log;

  cert::TFileInfo Info(const std::string& name) override { return FInner.Info(name); }

  std::unique_ptr<cert::TInputFile> OpenRead(const std::string& name) override {
    Fail(fpOpenRead, "Cannot open", name);
    return std::make_unique<TInput>(*this, FInner.OpenRead(name), name);
  }

  std::unique_ptr<cert::TOutputFile> CreateBeside(const std::string& target) override {
    Note("create");
    Fail(fpCreate, "Cannot create", target);
    return std::make_unique<TOutput>(*this, FInner.CreateBeside(target));
  }

  void Replace(cert::TOutputFile& file) override {
    Note("replace");
    Fail(fpReplace, "Cannot replace", file.Target());
    FInner.Replace(*static_cast<TOutput&>(file).Inner);
  }

  void FlushDirectoryOf(const cert::TOutputFile& file) override {
    Note("flush directory");
    Fail(fpFlushDirectory, "Cannot replace", file.Target());
    FInner.FlushDirectoryOf(*static_cast<const TOutput&>(file).Inner);
  }

  void Remove(const std::string& name) override {
    Note("remove");
    FInner.Remove(name);
  }

  cert::TLocalDate Today() override { return Date; }

  std::string ExecutablePath() override { return FInner.ExecutablePath(); }
  std::string UserConfigDirectory() override { return FInner.UserConfigDirectory(); }
  bool CanCreateIn(const std::string& directory) override { return FInner.CanCreateIn(directory); }
  void MakeDirectories(const std::string& name) override {
    Note("make directories");
    Fail(fpMakeDirectories, "Cannot create", name);
    FInner.MakeDirectories(name);
  }

 private:
  class TInput : public cert::TInputFile {
   public:
    TInput(TFaultyFileSystem& fs, std::unique_ptr<cert::TInputFile> inner, std::string name)
        : FFs(fs), FInnerFile(std::move(inner)), FName(std::move(name)) {}
    std::size_t Read(char* buf, std::size_t size) override {
      if (FFs.Fault.Point == fpRead) {
        if (FRead >= FFs.Fault.After) FFs.Fail(fpRead, "Cannot read", FName);
        if (size > FFs.Fault.After - FRead)
          size = static_cast<std::size_t>(FFs.Fault.After - FRead);
      }
      const std::size_t n = FInnerFile->Read(buf, size);
      FRead += n;
      return n;
    }

   private:
    TFaultyFileSystem& FFs;
    std::unique_ptr<cert::TInputFile> FInnerFile;
    std::string FName;
    std::uint64_t FRead = 0;
  };

  class TOutput : public cert::TOutputFile {
   public:
    TOutput(TFaultyFileSystem& fs, std::unique_ptr<cert::TOutputFile> inner)
        : Inner(std::move(inner)), FFs(fs) {}
    void Write(std::string_view bytes) override {
      FFs.Note("write");
      if (FFs.Fault.Point == fpWrite && FWritten + bytes.size() > FFs.Fault.After) {
        Inner->Write(bytes.substr(0, static_cast<std::size_t>(FFs.Fault.After - FWritten)));
        FWritten = FFs.Fault.After;
        FFs.Fail(fpWrite, "Cannot write", Target());
      }
      Inner->Write(bytes);
      FWritten += bytes.size();
    }
    void Flush() override {
      FFs.Note("flush");
      FFs.Fail(fpFlush, "Cannot write", Target());
      Inner->Flush();
    }
    void Close() override {
      FFs.Note("close");
      Inner->Close();
      FFs.Fail(fpClose, "Cannot write", Target());
    }
    const std::string& Target() const override { return Inner->Target(); }
    const std::string& Path() const override { return Inner->Path(); }
    std::unique_ptr<cert::TOutputFile> Inner;

   private:
    TFaultyFileSystem& FFs;
    std::uint64_t FWritten = 0;
  };

  void Fail(TFaultPoint point, const char* action, const std::string& name) {
    if (Fault.Point == point) cert::ThrowIOError(action, name, std::make_error_code(Fault.Error));
  }

  void Note(const char* step) {
    if (Log.empty() || Log.back() != step) Log.push_back(step);
  }

  cert::TFileSystem& FInner;
};

}  // namespace certtest
