// The picture-mask matcher: is a text complete, a valid beginning, empty or in error?
#pragma once

#include <cstdint>
#include <string>

enum TwwPictureResult : unsigned char {
  picComplete,
  picIncomplete,
  picEmpty,
  picError,
  picSyntax,
  picCompleteOpen,      // internal: complete, an optional part skipped or open
  picIncompleteNoFill,  // internal: incomplete right after an optional part
};

// Windows-1252 case conversion, bytes above 127 included.
unsigned char Cp1252Upper(unsigned char c);
unsigned char Cp1252Lower(unsigned char c);

// One matcher per check; it keeps nothing from one call to the next.
class TwwPictureValidator {
 public:
  TwwPictureValidator(const std::string& mask, bool autoFill);
  virtual ~TwwPictureValidator() = default;

  // False only for picError; the text is rewritten as by CheckPicture.
  virtual bool AcceptsInput(std::string& text, bool suppressFill);
  // True for picComplete and picEmpty, matching a copy without auto-fill.
  virtual bool IsValidText(const std::string& text);
  // Matches text against the mask, rewriting it in place (case, literals, auto-fill).
  virtual TwwPictureResult CheckPicture(std::string& text, bool autoFill);

  std::uint16_t Status = 0;   // 1: the mask failed the syntax check
  std::uint16_t Options = 0;  // bit 0: auto-fill
  static constexpr std::uint16_t AutoFillOption = 1;

  const std::string& Mask() const { return FMask; }

 private:
  std::string FMask;
  bool FWellFormed;  // passes the syntax check and the nesting limit
};

// A key typed between `before` and `after`, as a masked field takes it: the text with the key
// in `text`, matched with `autoFill`; when the mask refuses it and auto-fill is on, a blank
// first stands for the literal the mask expects there and the key follows the result.
TwwPictureResult TypeKey(TwwPictureValidator& v, bool autoFill, const std::string& before,
                         const std::string& typed, const std::string& after, std::string& text);
