#include "ReplacingWriter.h"

namespace cert {

namespace {

// The old file stays until the new one is complete, so a save needs room for both at once.
[[noreturn]] void Rethrow(const TCertIOError& e) {
  if (e.Code() == std::errc::no_space_on_device)
    throw TCertIOError(
        std::string(e.what()) + " (the file is saved beside the old one and needs room for both)",
        e.Code());
  throw e;
}

}  // namespace

TReplacingWriter::TReplacingWriter(TFileSystem& fs, const std::string& target)
    : FFs(fs), FTarget(target) {
  const TFileInfo info = fs.Info(target);
  if (info.Kind == fkDirectory)
    ThrowIOError("Cannot replace", target, std::make_error_code(std::errc::is_a_directory));
  if (info.Kind == fkSpecial) ThrowIOError("Cannot replace", target, "not a file but " + info.What);
  if (info.Kind == fkRegular && info.ReadOnly)
    ThrowIOError("Cannot replace", target, "the file is read-only");
  try {
    FFile = fs.CreateBeside(target);
  } catch (const TCertIOError& e) {
    Rethrow(e);
  }
  FBuf.reserve(kBufferSize);
}

TReplacingWriter::~TReplacingWriter() {
  if (FCommitted || !FFile) return;
  try {
    FFile->Close();
  } catch (const TCertIOError&) {
    // The save has failed already; the new file goes all the same.
  }
  try {
    FFs.Remove(FFile->Path());
  } catch (const TCertIOError&) {
    // Nothing more can be done; the next save to this target removes it.
  }
}

void TReplacingWriter::WriteThrough(std::string_view bytes) {
  Drain();
  if (bytes.size() > kBufferSize) {
    try {
      FFile->Write(bytes);
    } catch (const TCertIOError& e) {
      Rethrow(e);
    }
    return;
  }
  FBuf.append(bytes);
}

void TReplacingWriter::Drain() {
  try {
    FFile->Write(FBuf);
  } catch (const TCertIOError& e) {
    Rethrow(e);
  }
  FBuf.clear();
}

void TReplacingWriter::Commit() {
  Drain();
  try {
    FFile->Flush();
    FFile->Close();
    FFs.Replace(*FFile);
  } catch (const TCertIOError& e) {
    Rethrow(e);
  }
  FCommitted = true;
  // The target now holds the new content; only its directory entry may not be on disk yet.
  FFs.FlushDirectoryOf(*FFile);
}

void ReplaceWholeFile(TFileSystem& fs, const std::string& target, std::string_view bytes) {
  TReplacingWriter out(fs, target);
  out.Write(bytes);
  out.Commit();
}

}  // namespace cert
