#include <gtest/gtest.h>

#include "../support/CertSamples.h"
#include "CertReader.h"

using namespace cert;
using namespace certtest;

namespace {

// What a reader makes of some bytes, fed in blocks of one size.
struct TResult {
  std::vector<std::string> Messages, Lines;
  std::string Header, Last;
  bool Blank = false, Saw = false;
  bool operator==(const TResult& o) const {
    return Messages == o.Messages && Lines == o.Lines && Header == o.Header && Last == o.Last &&
           Blank == o.Blank && Saw == o.Saw;
  }
};

TResult ReadInBlocks(const std::string& bytes, std::size_t block) {
  TResult r;
  TCertReader reader(
      "f.dat", [&](const std::string& m) { r.Messages.push_back(m); },
      [&](std::string_view line) {
        std::string normal;
        NormaliseDetailLine(line, normal);
        r.Lines.push_back(normal);
      });
  for (std::size_t at = 0; at < bytes.size(); at += block)
    reader.Feed(std::string_view(bytes).substr(at, block));
  reader.Finish();
  r.Header = BuildHeaderLine(reader.Header(), reader.Header().DateWritten.View());
  r.Last = std::string(reader.LastLine());
  r.Blank = reader.BlankLines();
  r.Saw = reader.SawDetail();
  return r;
}

std::string Padded(std::string s, std::size_t n, char fill) {
  s.resize(n, fill);
  return s;
}

class ReaderTest : public ::testing::Test {};

// Lines around the lengths the reader keeps (351 and 352 columns), with and without a carriage
// return, text or blanks beyond, and a last line without a line break: every split of the
// bytes into blocks must read the same.
TEST_F(ReaderTest, AnySplitReadsTheSame) {
  const std::string detail = PassingDetailLine();
  std::string bytes = Padded(PassingHeaderLine("20250101"), 350, ' ') + "X\r\n";
  for (std::size_t len : {349, 350, 351, 352, 353}) {
    bytes += Padded(detail, len, ' ') + "\r\n";
    bytes += Padded(detail, len, 'y') + "\r\n";
    bytes += Padded(detail, len, ' ') + "\n";
    bytes += Padded(detail, len, 'z') + "\r\r\n";
  }
  bytes += "\r\n   \r\n1" + detail.substr(1) + "\nQ" + detail.substr(1) + "\n";
  bytes += Padded(detail, 360, ' ') + "\r";
  const TResult whole = ReadInBlocks(bytes, bytes.size());
  ASSERT_EQ(whole.Lines.size(), 22u);
  ASSERT_EQ(whole.Messages.size(), 1u + 4 + 1 + 1);  // header, long lines, second header, code
  EXPECT_TRUE(whole.Blank);
  for (std::size_t block = 1; block <= 400; ++block)
    ASSERT_TRUE(ReadInBlocks(bytes, block) == whole) << "blocks of " << block;
}

TEST_F(ReaderTest, ALongLineKeepsItsColumnsAndTellsItsExcess) {
  const std::string detail = PassingDetailLine();
  for (const bool text : {false, true}) {
    const std::string line = detail + std::string(5000000, ' ') + (text ? "t" : "") + "\r\n";
    const TResult r = ReadInBlocks("1\r\n" + line + line, 65536);
    EXPECT_EQ(r.Messages.size(), text ? 2u : 0u);
    ASSERT_EQ(r.Lines.size(), 2u);
    EXPECT_EQ(r.Lines[1], detail);
    EXPECT_EQ(r.Last, detail + std::string(16, ' '));
  }
}

TEST_F(ReaderTest, NothingReadIsAnEmptyHeader) {
  const TResult r = ReadInBlocks("", 1);
  EXPECT_EQ(r.Messages,
            std::vector<std::string>{"*** File \"f.dat\" does not contain a header record!"});
  EXPECT_FALSE(r.Saw);
  EXPECT_FALSE(r.Blank);
  EXPECT_TRUE(r.Lines.empty());
}

}  // namespace
