// The one UTF-8 decoder and encoder; pure code, so tested on every platform.
#include <gtest/gtest.h>

#include "Utf8.h"

using namespace cert;

namespace {

struct TSequenceCase {
  const char* Name;
  std::string Bytes;
  bool AllowSurrogates;
  std::size_t Length;  // 0: not a well-formed sequence
  char32_t CodePoint;
};

void PrintTo(const TSequenceCase& c, std::ostream* os) { *os << c.Name; }

class Utf8Sequences : public ::testing::TestWithParam<TSequenceCase> {};

TEST_P(Utf8Sequences, DecodeAndEncodeBack) {
  const TSequenceCase& c = GetParam();
  char32_t cp = 0xFFFFFFFF;
  ASSERT_EQ(DecodeUtf8(c.Bytes, 0, cp, c.AllowSurrogates), c.Length);
  if (c.Length == 0) return;
  EXPECT_EQ(cp, c.CodePoint);
  std::string again;
  AppendUtf8(again, cp);
  EXPECT_EQ(again, c.Bytes.substr(0, c.Length));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8Sequences,
    ::testing::Values(TSequenceCase{"Ascii", "A", false, 1, U'A'},
                      TSequenceCase{"Nul", std::string(1, '\0'), false, 1, 0},
                      TSequenceCase{"TwoBytes", "\xC3\xA9x", false, 2, U'\u00E9'},
                      TSequenceCase{"ThreeBytes", "\xE2\x82\xAC", false, 3, U'\u20AC'},
                      TSequenceCase{"FourBytes", "\xF0\x9F\x93\x84", false, 4, U'\U0001F4C4'},
                      TSequenceCase{"Highest", "\xF4\x8F\xBF\xBF", false, 4, U'\U0010FFFF'},
                      TSequenceCase{"PastHighest", "\xF4\x90\x80\x80", false, 0, 0},
                      TSequenceCase{"SurrogateRefused", "\xED\xA0\xBD", false, 0, 0},
                      TSequenceCase{"SurrogateAllowed", "\xED\xA0\xBD", true, 3, 0xD83D},
                      TSequenceCase{"LastBeforeSurrogates", "\xED\x9F\xBF", false, 3, 0xD7FF},
                      TSequenceCase{"OverlongTwo", "\xC0\xAF", false, 0, 0},
                      TSequenceCase{"OverlongThree", "\xE0\x80\xAF", false, 0, 0},
                      TSequenceCase{"OverlongFour", "\xF0\x80\x80\xAF", false, 0, 0},
                      TSequenceCase{"LoneContinuation", "\x80", false, 0, 0},
                      TSequenceCase{"Windows1252", "caf\xE9", false, 1, U'c'},
                      TSequenceCase{"Cut", "\xE2\x82", false, 0, 0},
                      TSequenceCase{"BrokenContinuation", "\xE2\x82x", false, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Utf8Text, ValidOnlyWhenEveryByteBelongsToASequence) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain text longer than eight bytes"));
  EXPECT_TRUE(IsValidUtf8("Jos\xC3\xA9 M\xC3\xBCller \xE2\x82\xAC 100"));
  // A stray byte after a long ASCII run, and one at the very end.
  EXPECT_FALSE(IsValidUtf8("0123456789abcdef\xE9"));
  EXPECT_FALSE(IsValidUtf8("Jos\xE9 M\xFCller"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\xBD"));
  EXPECT_FALSE(IsValidUtf8("ends in a cut sequence \xE2\x82"));
}

}  // namespace
