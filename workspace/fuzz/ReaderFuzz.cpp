// Fuzz target: any bytes read as a certificate file must keep the reader's promises.
// Input: one byte choosing the block size the bytes are fed in, then the file's bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CertReader.h"

namespace {

void Require(bool ok) {
  if (!ok) std::abort();
}

const char kSecondHeader[] =
    "*** This file has more than than 1 header record!  The limit is 1 header per file.";

struct TRead {
  std::vector<std::string> Messages, Lines;
  std::string Header, Last;
  bool Blank = false;
  bool Typed = false;  // without an insurer type the saved header's date moves one column
};

TRead Read(std::string_view bytes, std::size_t block) {
  TRead r;
  cert::TCertReader reader(
      "fuzz.dat", [&](const std::string& m) { r.Messages.push_back(m); },
      [&](std::string_view line) {
        std::string normal;
        cert::NormaliseDetailLine(line, normal);
        r.Lines.push_back(normal);
      });
  for (std::size_t at = 0; at < bytes.size(); at += block) reader.Feed(bytes.substr(at, block));
  reader.Finish();
  r.Header = cert::BuildHeaderLine(reader.Header(), "20261210");
  r.Last = std::string(reader.LastLine());
  r.Blank = reader.BlankLines();
  r.Typed = !reader.Header().HInsurerType.Empty();
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t block = data[0] + 1u;
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

  const TRead whole = Read(bytes, bytes.size() + 1);
  for (const std::string& m : whole.Messages) Require(m.rfind("*** ", 0) == 0);
  for (const std::string& line : whole.Lines)
    Require(line.size() == cert::DetailLineLength && (line[0] == '1' || line[0] == '2'));

  // Where the blocks end changes nothing.
  const TRead split = Read(bytes, block);
  Require(split.Messages == whole.Messages && split.Lines == whole.Lines &&
          split.Header == whole.Header && split.Last == whole.Last && split.Blank == whole.Blank);

  // The file as saved reads back to the same list, and says only what a kept second header
  // line says again each time.
  std::string saved = whole.Header + "\r\n";
  std::vector<std::string> expected;
  for (const std::string& line : whole.Lines) {
    saved += line + "\r\n";
    if (line[0] == '1') expected.push_back(kSecondHeader);
  }
  const TRead again = Read(saved, block);
  Require(again.Lines == whole.Lines);
  Require(again.Messages == expected);
  Require(!again.Blank);
  if (whole.Typed) Require(again.Header == whole.Header);
  return 0;
}
