// Fuzz target: arbitrary mask/text pairs must never break the matcher's invariants.
// Input: one flag byte (bit 0: auto-fill), one mask-length byte, the mask, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "PictureValidator.h"

static void Require(bool ok) {
  if (!ok) std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const bool autoFill = data[0] & 1;
  std::size_t maskLen = data[1];
  if (maskLen > size - 2) maskLen = size - 2;
  const std::string mask(reinterpret_cast<const char*>(data + 2), maskLen);
  const std::string input(reinterpret_cast<const char*>(data + 2 + maskLen), size - 2 - maskLen);

  TwwPictureValidator v(mask, autoFill);
  std::string plain = input;
  const TwwPictureResult r0 = v.CheckPicture(plain, false);
  Require(r0 <= picSyntax);
  std::string filled = input;
  const TwwPictureResult r1 = v.CheckPicture(filled, true);
  Require(r1 <= picSyntax);
  // Auto-fill only ever adds to an incomplete text, and never leaves an error it produced.
  if (r0 == picIncomplete) Require(r1 != picError);
  if (r0 != picIncomplete) Require(r1 == r0 && filled == plain);
  if (v.Status == 1) Require(r0 == picSyntax && plain == input && filled == input);
  if (input.empty()) Require(r0 == (v.Status == 1 ? picSyntax : picEmpty));
  std::string accepted = input;
  Require(v.AcceptsInput(accepted, false) == ((autoFill ? r1 : r0) != picError));
  return 0;
}
