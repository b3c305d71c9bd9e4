// Saving a file so that its target always holds either the whole old or the whole new content.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "FileSystem.h"

namespace cert {

// The bytes go to a new file beside the target, which takes the target's place only when all
// of them are written and flushed. Every failure throws TCertIOError naming the target.
class TReplacingWriter {
 public:
  // Refuses a target that is marked read-only or is not a regular file.
  TReplacingWriter(TFileSystem& fs, const std::string& target);
  // Without a Commit the new file is removed and the target stays as it was.
  ~TReplacingWriter();
  TReplacingWriter(const TReplacingWriter&) = delete;
  TReplacingWriter& operator=(const TReplacingWriter&) = delete;

  // Buffered: a failure may show only at a later Write or at Commit.
  void Write(std::string_view bytes) {
    // Inline: a save writes each line and each line end on its own.
    if (FBuf.size() + bytes.size() <= kBufferSize)
      FBuf.append(bytes);
    else
      WriteThrough(bytes);
  }
  void Commit();

 private:
  static constexpr std::size_t kBufferSize = 1 << 22;
  void WriteThrough(std::string_view bytes);
  void Drain();

  TFileSystem& FFs;
  std::string FTarget;
  std::unique_ptr<TOutputFile> FFile;
  std::string FBuf;
  bool FCommitted = false;
};

// The whole of a file's new content at once, saved as TReplacingWriter saves.
void ReplaceWholeFile(TFileSystem& fs, const std::string& target, std::string_view bytes);

}  // namespace cert
