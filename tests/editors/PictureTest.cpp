#include <gtest/gtest.h>

#include "PictureValidator.h"

namespace {

struct TPictureCase {
  std::string Mask;
  std::string Input;
  bool AutoFill;
  TwwPictureResult Result;
  std::string Text;  // the text after the check
};

void PrintTo(const TPictureCase& c, std::ostream* os) {
  *os << "mask \"" << c.Mask << "\" input \"" << c.Input << "\"" << (c.AutoFill ? " fill" : "");
}

class Picture : public ::testing::TestWithParam<TPictureCase> {};

TEST_P(Picture, MatchesAndRewrites) {
  const TPictureCase& c = GetParam();
  TwwPictureValidator v(c.Mask, c.AutoFill);
  std::string text = c.Input;
  EXPECT_EQ(static_cast<int>(v.CheckPicture(text, c.AutoFill)), static_cast<int>(c.Result));
  EXPECT_EQ(text, c.Text);
}

const std::string k45(45, 'x'), k46(46, 'x');
const std::string k30(30, 'y'), k31(31, 'y');

// The window's masks, all with auto-fill.
INSTANTIATE_TEST_SUITE_P(
    WindowMasks, Picture,
    ::testing::Values(
        TPictureCase{"*45[@]", "A", true, picComplete, "A"},
        TPictureCase{"*45[@]", "a b", true, picComplete, "a b"},
        TPictureCase{"*45[@]", k45, true, picComplete, k45},
        TPictureCase{"*45[@]", k46, true, picError, k46},
        TPictureCase{"*45[@]", "abc", true, picComplete, "abc"},
        TPictureCase{"*45[@]", "", true, picEmpty, ""},
        TPictureCase{"*30[@]", "1 A ST", true, picComplete, "1 A ST"},
        TPictureCase{"*30[@]", k31, true, picError, k31},
        TPictureCase{"*28[@]", "X", true, picComplete, "X"},
        TPictureCase{"*28[@]", std::string(29, 'c'), true, picError, std::string(29, 'c')},
        TPictureCase{"*25[@]", "X-Y'Z", true, picComplete, "X-Y'Z"},
        TPictureCase{"*25[@]", std::string(26, 'n'), true, picError, std::string(26, 'n')},
        TPictureCase{"*15[@]", "A B", true, picComplete, "A B"},
        TPictureCase{"*15[@]", std::string(16, 'f'), true, picError, std::string(16, 'f')},
        TPictureCase{"*3[@]", "Jr.", true, picComplete, "Jr."},
        TPictureCase{"*3[@]", "md", true, picComplete, "md"},
        TPictureCase{"*3[@]", "abcd", true, picError, "abcd"},
        TPictureCase{"*25[!]", "ab-12", true, picComplete, "AB-12"},
        TPictureCase{"*25[!]", "abc", true, picComplete, "ABC"},
        TPictureCase{"*25[!]", std::string(26, 'a'), true, picError, std::string(25, 'A') + "a"},
        TPictureCase{"*22[!]", "ab 1/2", true, picComplete, "AB 1/2"},
        TPictureCase{"*22[!]", std::string(23, '1'), true, picError, std::string(23, '1')},
        TPictureCase{"*7[!]", "ab-12", true, picComplete, "AB-12"},
        TPictureCase{"*7[!]", "abcdefgh", true, picError, "ABCDEFGh"},
        TPictureCase{"*9[#]", "1000000", true, picComplete, "1000000"},
        TPictureCase{"*9[#]", "123456789", true, picComplete, "123456789"},
        TPictureCase{"*9[#]", "1234567890", true, picError, "1234567890"},
        TPictureCase{"*9[#]", "1,000", true, picError, "1,000"},
        TPictureCase{"*8[#]", "12345678", true, picComplete, "12345678"},
        TPictureCase{"*8[#]", "123456789", true, picError, "123456789"},
        TPictureCase{"*8[#]", "1a", true, picError, "1a"},
        TPictureCase{"*5[#]", "12345", true, picComplete, "12345"},
        TPictureCase{"*5[#]", "123456", true, picError, "123456"},
        TPictureCase{"*9{#}", "123456789", true, picComplete, "123456789"},
        TPictureCase{"*9{#}", "1", true, picIncomplete, "1"},
        TPictureCase{"*9{#}", "12345678", true, picIncomplete, "12345678"},
        TPictureCase{"*9{#}", "1234567890", true, picError, "1234567890"},
        TPictureCase{"*9{#}", "12-345678", true, picError, "12-345678"},
        TPictureCase{"*9{#}", "a", true, picError, "a"},
        TPictureCase{"*5{#}[-*4#]", "12345", true, picComplete, "12345"},
        TPictureCase{"*5{#}[-*4#]", "12345-6789", true, picComplete, "12345-6789"},
        TPictureCase{"*5{#}[-*4#]", "1234", true, picIncomplete, "1234"},
        TPictureCase{"*5{#}[-*4#]", "12345-", true, picIncomplete, "12345-"},
        TPictureCase{"*5{#}[-*4#]", "12345-678", true, picIncomplete, "12345-678"},
        TPictureCase{"*5{#}[-*4#]", "123456", true, picError, "123456"},
        TPictureCase{"*5{#}[-*4#]", "123456789", true, picError, "123456789"},
        TPictureCase{"*5{#}[-*4#]", "1234-", true, picError, "1234-"},
        TPictureCase{"*5{#}[-*4#]", "12345-67890", true, picError, "12345-67890"},
        TPictureCase{"*5{#}[-*4#]", "12345 6789", true, picError, "12345 6789"},
        // A trailing space stands for the literal the mask expects there.
        TPictureCase{"*5{#}[-*4#]", "12345 ", true, picIncomplete, "12345-"}));

INSTANTIATE_TEST_SUITE_P(
    Edges, Picture,
    ::testing::Values(
        TPictureCase{"[#]#", "1", true, picIncomplete, "1"},  // greedy: the optional digit takes it
        TPictureCase{"[#]#", "12", true, picComplete, "12"},
        TPictureCase{"#-#", "1", true, picIncomplete, "1-"},
        TPictureCase{"#-#", "1", false, picIncomplete, "1"},
        TPictureCase{"#-#", "1-2", true, picComplete, "1-2"},
        TPictureCase{"#X#", "1x2", true, picComplete, "1X2"},
        TPictureCase{"#;##", "1#2", true, picComplete, "1#2"},
        TPictureCase{"#;#", "1", true, picComplete, "1#"},
        TPictureCase{"{##,??}", "a", true, picIncomplete, "a"},
        TPictureCase{"{##,??}", "1", true, picIncomplete, "1"},
        TPictureCase{"{##,??}", "ab", true, picComplete, "ab"},
        TPictureCase{"{##,??}", "a1", true, picError, "a1"},
        TPictureCase{"&&", "\xE9\x9a", true, picComplete, "\xC9\x8a"},
        TPictureCase{"~~", "\xC9Z", true, picComplete, "\xE9z"},
        TPictureCase{"??",
                     "\x80"
                     "a",
                     true, picError,
                     "\x80"
                     "a"},  // 128 is not letter-like
        TPictureCase{"?", "\x81", true, picComplete, "\x81"},
        TPictureCase{"!", "\xFF", true, picComplete, "\x9F"},
        TPictureCase{"*&", "abc", true, picComplete, "ABC"},
        TPictureCase{"*#", "", true, picEmpty, ""},
        TPictureCase{"*3#", "12", true, picIncomplete, "12"},
        TPictureCase{"ab", "AB", true, picComplete, "ab"},  // the mask's own characters are stored
        TPictureCase{"12", "12", true, picComplete, "12"},
        TPictureCase{"# #", "1 ", true, picIncomplete, "1 "},
        TPictureCase{"@", std::string("\0", 1), true, picComplete, std::string("\0", 1)},
        TPictureCase{"*65537#", "1", true, picComplete, "1"},  // the count is read in 16 bits
        // Malformed masks give picSyntax for every text and leave it as it was.
        TPictureCase{"", "", true, picSyntax, ""}, TPictureCase{"", "x", true, picSyntax, "x"},
        TPictureCase{"12;", "12", true, picSyntax, "12"},
        TPictureCase{"#*", "1", true, picSyntax, "1"}, TPictureCase{"[#", "", true, picSyntax, ""},
        TPictureCase{"{#", "1", true, picSyntax, "1"},
        TPictureCase{"#]", "1", true, picSyntax, "1"}));

// An optional group whose repeat lacks its element: a malformed part, but only an incomplete
// outcome leaves an optional group, so the group counts as passed and the text is left over.
// A counted repetition that takes nothing but converts case changes what the next one sees.
INSTANTIATE_TEST_SUITE_P(
    OptionalAndRepeat, Picture,
    ::testing::Values(
        TPictureCase{"[*]", "s", true, picError, "s"}, TPictureCase{"[*]", "", true, picEmpty, ""},
        TPictureCase{"[*]#", "1", true, picComplete, "1"},
        TPictureCase{"{*}", "s", true, picSyntax, "s"},
        // The first repetition lowers the letter and fails; the second takes it as the literal.
        TPictureCase{"*2[\xE9,~a]b",
                     "\xC9"
                     "b",
                     true, picComplete,
                     "\xE9"
                     "b"},
        // Repetitions that take nothing and leave the text as it was end the repeat early; the
        // result is what every further one would give.
        TPictureCase{"*65535[#]x", "x", true, picComplete, "x"},
        TPictureCase{"*3[{&x},{~y}]b", "ab", true, picError, "ab"}));

TEST(PictureValidator, StatusAndPublicOperations) {
  EXPECT_EQ(TwwPictureValidator("*9{#}", true).Status, 0);
  EXPECT_EQ(TwwPictureValidator("[#", true).Status, 1);
  TwwPictureValidator zip("#-#", true);
  std::string t = "1";
  EXPECT_TRUE(zip.AcceptsInput(t, false));
  EXPECT_EQ(t, "1-");
  t = "1";
  EXPECT_TRUE(zip.AcceptsInput(t, true));
  EXPECT_EQ(t, "1");
  t = "x";
  EXPECT_FALSE(zip.AcceptsInput(t, false));
  EXPECT_TRUE(zip.IsValidText(""));
  EXPECT_TRUE(zip.IsValidText("1-2"));
  EXPECT_FALSE(zip.IsValidText("1"));
  TwwPictureValidator bad("", true);
  EXPECT_FALSE(bad.IsValidText(""));
  t = "anything";
  EXPECT_TRUE(bad.AcceptsInput(t, false));
}

TEST(PictureValidator, HostileMasksEnd) {
  std::string deep(5000, '[');
  deep += '#' + std::string(5000, ']');
  std::string t = "1";
  EXPECT_NE(TwwPictureValidator(deep, true).CheckPicture(t, true), picError);
  const std::string nested = "*65535{*65535[#]}";
  t = "a";
  EXPECT_EQ(TwwPictureValidator(nested, true).CheckPicture(t, true), picError);
  // Each repetition converts a letter and converts it back: nothing changes, so none is repeated.
  const std::string toggling = "*65535{*65535[{&x},{~y}]}b";
  t = "ab";
  EXPECT_EQ(TwwPictureValidator(toggling, true).CheckPicture(t, true), picError);
  EXPECT_EQ(t, "ab");
}

std::string Nested(int groups) { return std::string(groups, '[') + "#" + std::string(groups, ']'); }

// The nesting limit belongs to the mask: a mask within it is matched in full for every text, one
// beyond it is refused for every text, the empty one included.
TEST(PictureValidator, NestingLimitIsAPropertyOfTheMask) {
  TwwPictureValidator deepest(Nested(199), true);
  EXPECT_EQ(deepest.Status, 0);
  std::string t = "1";
  EXPECT_EQ(deepest.CheckPicture(t, true), picComplete);
  t.clear();
  EXPECT_EQ(deepest.CheckPicture(t, true), picEmpty);

  TwwPictureValidator tooDeep(Nested(200), true);
  EXPECT_EQ(tooDeep.Status, 1);
  t.clear();
  EXPECT_EQ(tooDeep.CheckPicture(t, true), picSyntax);
  t = "1";
  EXPECT_EQ(tooDeep.CheckPicture(t, true), picSyntax);
  EXPECT_EQ(t, "1");

  // Repeats nest as groups do; a long chain of them is refused without deep recursion.
  const std::string stars = std::string(100000, '*') + "#";
  t = "1";
  EXPECT_EQ(TwwPictureValidator(stars, true).CheckPicture(t, true), picSyntax);
  t = "1";
  EXPECT_EQ(TwwPictureValidator(std::string(199, '*') + "#", true).CheckPicture(t, true),
            picComplete);
}

TEST(Cp1252Case, PairsAboveAscii) {
  EXPECT_EQ(Cp1252Upper(0xE9), 0xC9);
  EXPECT_EQ(Cp1252Upper(0xF7), 0xF7);
  EXPECT_EQ(Cp1252Upper(0xDF), 0xDF);
  EXPECT_EQ(Cp1252Lower(0x8A), 0x9A);
  EXPECT_EQ(Cp1252Lower(0xD7), 0xD7);
  EXPECT_EQ(Cp1252Lower(0x9F), 0xFF);
}

}  // namespace
