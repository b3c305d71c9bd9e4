#include "CertReader.h"

#include <utility>

namespace cert {

namespace {

const char kLengthMessage[] =
    "*** This file's record length exceeds 351 characters.  Please make sure that all records "
    "in this file are exactly 351 characters.";
const char kSecondHeaderMessage[] =
    "*** This file has more than than 1 header record!  The limit is 1 header per file.";

}  // namespace

namespace {

class TFunctionTarget : public TCertReader::TLineTarget {
 public:
  explicit TFunctionTarget(std::function<void(std::string_view)> f) : FF(std::move(f)) {}
  void Line(std::string_view line) override { FF(line); }

 private:
  std::function<void(std::string_view)> FF;
};

}  // namespace

TCertReader::TCertReader(std::string fileName, TReport report, TLineTarget& target)
    : FFileName(std::move(fileName)), FReport(std::move(report)), FLineTarget(&target) {}

TCertReader::TCertReader(std::string fileName, TReport report,
                         std::function<void(std::string_view line)> sink)
    : FFileName(std::move(fileName)),
      FReport(std::move(report)),
      FOwnTarget(std::make_unique<TFunctionTarget>(std::move(sink))),
      FLineTarget(FOwnTarget.get()) {}

void TCertReader::Feed(std::string_view bytes) {
  while (!bytes.empty()) {
    const std::size_t lf = bytes.find('\n');
    if (lf == std::string_view::npos) {
      Carry(bytes);
      break;
    }
    const std::string_view piece = bytes.substr(0, lf);
    bytes.remove_prefix(lf + 1);
    if (FCarrying) {
      Carry(piece);
      EndCarried();
    } else {
      EndLine(piece);
    }
  }
  KeepLast();
}

// The last line is copied once the bytes it lies in are about to go, not once a line.
void TCertReader::KeepLast() {
  if (!FLastInBytes) return;
  FLast.assign(FLastRef.data(), FLastRef.size());
  FLastInBytes = false;
}

void TCertReader::Finish() {
  if (FCarrying) EndCarried();
  if (FFirst) HeaderLine({}, false);
}

// A whole line without its line feed; one carriage return before the line feed is dropped.
void TCertReader::EndLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() <= kKept) return Line(line, false);
  Line(line.substr(0, kKept), !IsEmptyTrimmed(line.substr(kKept)));
}

void TCertReader::Carry(std::string_view piece) {
  FCarrying = true;
  const std::size_t room = kKept + 1 - FCarry.size();
  if (piece.size() <= room) {
    FCarry.append(piece);
    return;
  }
  FCarry.append(piece.substr(0, room));
  FOverflow = true;
  if (!FBeyondText) FBeyondText = !IsEmptyTrimmed(piece.substr(room));
}

// The line's end, past one more byte than is kept, is blanks or text; its carriage return, if
// any, is among them and changes nothing.
void TCertReader::EndCarried() {
  if (!FOverflow)
    EndLine(FCarry);
  else
    Line(std::string_view(FCarry).substr(0, kKept),
         FBeyondText || !IsBlankOrControl(FCarry[kKept]));
  KeepLast();
  FCarry.clear();
  FCarrying = FOverflow = FBeyondText = false;
}

void TCertReader::Line(std::string_view kept, bool textBeyond) {
  if (FFirst) {
    FFirst = false;
    HeaderLine(kept, textBeyond);
  } else {
    DetailLine(kept, textBeyond);
  }
}

void TCertReader::HeaderLine(std::string_view line, bool textBeyond) {
  FHeader.RecordCode = line.substr(0, 1);
  for (int n = 0; n < HeaderFieldCount; ++n)
    FHeader.Field(n) = Columns(line, FieldTable[n].FirstCol, FieldTable[n].Width);
  FHeader.DateWritten = Columns(line, HeaderDateCol, HeaderDateWidth);
  if (FHeader.RecordCode != "1")
    Report(kFileMessageStart + FFileName + "\" does not contain a header record!");
  else if (textBeyond || !IsEmptyTrimmed(Columns(line, HeaderExcessCol, std::string_view::npos)))
    Report(kLengthMessage);
}

void TCertReader::DetailLine(std::string_view line, bool textBeyond) {
  FLastRef = line;
  FLastInBytes = true;
  FSawDetail = true;
  const char code = line.empty() ? '\0' : line[0];
  if (code == '2') {
    // A kept line ends before the excess column: what lay beyond was judged when it was cut.
    if (textBeyond) Report(kLengthMessage);
  } else if (code == '1') {
    Report(kSecondHeaderMessage);
  } else {
    // Empty lines, blanks and control characters (an end-of-file mark) are blank lines;
    // any other code is a record the fund would reject, so say which one is dropped.
    if (!line.empty() && !IsBlankOrControl(code)) {
      auto name = [&](int n) {
        return std::string(Trim(Columns(line, FieldTable[n].FirstCol, FieldTable[n].Width)));
      };
      Report("*** Invalid detail record code found for " + name(fnDInsuredLastName) + ", " +
             name(fnDInsuredFirstName) + "!");
    }
    FBlankLines = true;
    return;
  }
  FLineTarget->Line(line);
}

}  // namespace cert
