// Each masked field's picture mask fits its field in the record layout: the length messages quote
// the field's width, and the longest text the mask admits is exactly that wide.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <optional>
#include <string>
#include <string_view>

#include "FieldTable.h"
#include "PictureValidator.h"

namespace {

using certwin::WindowFields;

// The longest text a mask admits, read from the mask's grammar independently of the matcher:
// "*N x" is N times x, "*x" has no bound, a group "{...}" or an optional group "[...]" is its
// longest alternative, ";c" is c, and each character class stands for a character it takes.
class TLongest {
 public:
  explicit TLongest(std::string_view mask) : FMask(mask) {}
  std::optional<std::string> Text() {
    auto t = Sequence(0);
    if (FPos != FMask.size()) return std::nullopt;
    return t;
  }

 private:
  std::optional<std::string> Sequence(char close) {
    std::string out;
    while (FPos < FMask.size() && FMask[FPos] != ',' && FMask[FPos] != close) {
      const auto e = Element();
      if (!e) return std::nullopt;
      out += *e;
    }
    return out;
  }
  std::optional<std::string> Alternatives(char close) {
    std::string best;
    for (;;) {
      const auto alt = Sequence(close);
      if (!alt) return std::nullopt;
      if (alt->size() > best.size()) best = *alt;
      if (FPos >= FMask.size()) return std::nullopt;  // unclosed group
      if (FMask[FPos++] == close) return best;
    }
  }
  std::optional<std::string> Element() {
    const char c = FMask[FPos++];
    switch (c) {
      case '*': {
        std::size_t count = 0;
        const std::size_t digits = FPos;
        while (FPos < FMask.size() && std::isdigit(static_cast<unsigned char>(FMask[FPos])))
          count = count * 10 + static_cast<std::size_t>(FMask[FPos++] - '0');
        const bool counted = FPos > digits;
        const auto e = FPos < FMask.size() ? Element() : std::nullopt;
        if (!e || !counted) return std::nullopt;
        std::string out;
        for (std::size_t i = 0; i < count; ++i) out += *e;
        return out;
      }
      case '{':
        return Alternatives('}');
      case '[':
        return Alternatives(']');
      case ';':
        if (FPos >= FMask.size()) return std::nullopt;
        return std::string(1, FMask[FPos++]);
      case '#':
        return std::string("7");
      case '?':
      case '~':
        return std::string("k");
      case '&':
      case '!':
        return std::string("K");
      case '@':
        return std::string("x");
      default:
        return std::string(1, c);
    }
  }
  std::string_view FMask;
  std::size_t FPos = 0;
};

TwwPictureResult Match(const char* mask, std::string text) {
  TwwPictureValidator v(mask, false);
  return v.CheckPicture(text, false);
}

class MaskedFieldTest : public testing::TestWithParam<int> {
 protected:
  const certwin::TWindowField& Row() const { return WindowFields[std::size_t(GetParam())]; }
  std::size_t Width() const { return cert::FieldTable[std::size_t(Row().Number)].Width; }
  const char* Mask() const { return cert::FieldEntries[std::size_t(Row().Number)].Mask; }
};

TEST_P(MaskedFieldTest, LongestAdmittedTextIsTheFieldWidth) {
  ASSERT_NE(Mask(), nullptr);
  const auto longest = TLongest(Mask()).Text();
  ASSERT_TRUE(longest) << Mask() << " admits texts of any length";
  EXPECT_EQ(longest->size(), Width()) << Mask();
  // The matcher agrees: that text is complete and one character more is refused.
  EXPECT_EQ(Match(Mask(), *longest), picComplete) << *longest;
  EXPECT_EQ(Match(Mask(), *longest + longest->back()), picError) << *longest;
}

// Fields with a length handler: its message quotes the field's width.
class LengthHandledFieldTest : public MaskedFieldTest {};

TEST_P(LengthHandledFieldTest, LengthMessageQuotesTheFieldWidth) {
  const char bracket = certwin::LengthBracket(Row().Length);
  const std::string_view count = certwin::LengthCount(Mask(), bracket);
  EXPECT_EQ(count, std::to_string(Width())) << Mask();
  // The handler suits the mask: its bracket follows the count at once.
  EXPECT_EQ(Mask()[0], '*');
  EXPECT_EQ(Mask()[1 + count.size()], bracket) << Mask();
}

std::vector<int> Rows(bool lengthHandled) {
  std::vector<int> rows;
  for (std::size_t i = 0; i < WindowFields.size(); ++i) {
    const bool masked =
        cert::FieldTable[std::size_t(WindowFields[i].Number)].Editor == cert::ekMaskEdit;
    if (masked && (!lengthHandled || WindowFields[i].Length != certwin::lhNone))
      rows.push_back(static_cast<int>(i));
  }
  return rows;
}

std::string RowName(const testing::TestParamInfo<int>& p) {
  return WindowFields[std::size_t(p.param)].Editor;
}

INSTANTIATE_TEST_SUITE_P(Fields, MaskedFieldTest, testing::ValuesIn(Rows(false)), RowName);
INSTANTIATE_TEST_SUITE_P(Fields, LengthHandledFieldTest, testing::ValuesIn(Rows(true)), RowName);

TEST(WindowFieldTable, EveryFieldOnceMasksOnlyOnMaskedFields) {
  std::array<int, cert::FieldCount> seen{};
  for (const certwin::TWindowField& f : WindowFields) {
    ASSERT_GE(f.Number, 0);
    ASSERT_LT(f.Number, cert::FieldCount);
    ++seen[std::size_t(f.Number)];
    const bool masked = cert::FieldTable[std::size_t(f.Number)].Editor == cert::ekMaskEdit;
    EXPECT_EQ(cert::FieldEntries[std::size_t(f.Number)].Mask != nullptr, masked) << f.Editor;
    if (!masked) {
      EXPECT_EQ(f.Length, certwin::lhNone) << f.Editor;
    }
  }
  for (int n : seen) EXPECT_EQ(n, 1);
  EXPECT_EQ(Rows(false).size(), 23u);
  EXPECT_EQ(Rows(true).size(), 21u);  // all but the two zip codes
}

// The grammar reader itself, on masks whose longest text is known.
TEST(LongestText, KnownMasks) {
  EXPECT_EQ(TLongest("*5{#}[-*4#]").Text(), std::string("77777-7777"));
  EXPECT_EQ(TLongest("*3[@]").Text(), std::string("xxx"));
  EXPECT_EQ(TLongest("{ab,c};*").Text(), std::string("ab*"));
  EXPECT_EQ(TLongest("*[#]").Text(), std::nullopt);
  EXPECT_EQ(TLongest("*2{#").Text(), std::nullopt);
}

}  // namespace
