// Reading the bytes of a certificate file: the header record, then every kept detail line as
// read, with the layout problems found on the way. Knows nothing of where the bytes
// come from, so it reads a file, a stream or a test's string alike.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "CertLayout.h"

namespace cert {

// How the messages that name the file begin (they carry the name as the system spells it).
inline constexpr char kFileMessageStart[] = "*** File \"";
// The message for a file that is not there.
inline std::string MissingFileMessage(const std::string& fileName) {
  return kFileMessageStart + fileName + "\" does not exist!";
}

class TCertReader {
 public:
  // A layout problem; every message begins with "*** ". Reading goes on after it.
  using TReport = std::function<void(const std::string& message)>;
  // Each kept detail line as read: its columns up to the layout's end, without the line break;
  // the caller normalises it (NormaliseDetailLine) or only looks at it. A virtual call takes
  // the line in registers, which counts when millions of lines go by.
  class TLineTarget {
   public:
    virtual ~TLineTarget() = default;
    virtual void Line(std::string_view line) = 0;
  };

  // fileName is what the messages name; the caller keeps target alive.
  TCertReader(std::string fileName, TReport report, TLineTarget& target);
  // The same with a function for the target.
  TCertReader(std::string fileName, TReport report,
              std::function<void(std::string_view line)> sink);

  // The next bytes of the file, split anywhere.
  void Feed(std::string_view bytes);
  // The end of the file: its last line needs no line break.
  void Finish();

  // The first line's fields as they stand in the file.
  const THeaderRec& Header() const { return FHeader; }
  // A line was dropped: an empty line, blanks, or an unknown record code.
  bool BlankLines() const { return FBlankLines; }
  // Whether a line followed the header, and the columns the layout holds of the last one.
  bool SawDetail() const { return FSawDetail; }
  std::string_view LastLine() const { return FLast; }

 private:
  // Of a line only its first columns matter, and whether any text follows them; so however
  // long a line is, no more than this is held.
  static constexpr std::size_t kKept = DetailExcessCol - 1;

  void EndLine(std::string_view line);
  void Carry(std::string_view piece);
  void EndCarried();
  void Line(std::string_view kept, bool textBeyond);
  void HeaderLine(std::string_view kept, bool textBeyond);
  void DetailLine(std::string_view kept, bool textBeyond);
  void KeepLast();
  void Report(const std::string& message) {
    if (FReport) FReport(message);
  }

  std::string FFileName;
  TReport FReport;
  std::unique_ptr<TLineTarget> FOwnTarget;
  TLineTarget* FLineTarget = nullptr;
  THeaderRec FHeader;
  bool FFirst = true;
  bool FBlankLines = false;
  bool FSawDetail = false;
  std::string FLast;
  std::string_view FLastRef;  // the last line while the bytes it lies in are still there
  bool FLastInBytes = false;
  // A line running across blocks: its first kKept + 1 bytes, whether there were more, and
  // whether those held text.
  std::string FCarry;
  bool FCarrying = false;
  bool FOverflow = false;
  bool FBeyondText = false;
};

}  // namespace cert
