// Names between UTF-8 and Windows' UTF-16; pure code, so tested on every platform.
#include <gtest/gtest.h>

#include "Utf16.h"

using namespace cert;

namespace {

struct TNameCase {
  const char* Name;
  std::string Utf8;
  std::u16string Utf16;
};

void PrintTo(const TNameCase& c, std::ostream* os) { *os << c.Name; }

class Utf16Names : public ::testing::TestWithParam<TNameCase> {};

TEST_P(Utf16Names, ConvertBothWays) {
  EXPECT_EQ(Utf8ToUtf16(GetParam().Utf8), GetParam().Utf16);
  EXPECT_EQ(Utf16ToUtf8(GetParam().Utf16), GetParam().Utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf16Names,
    ::testing::Values(TNameCase{"Empty", "", u""},
                      TNameCase{"Ascii", "C:\\Cert\\tavcerti.dat", u"C:\\Cert\\tavcerti.dat"},
                      TNameCase{"TwoBytes", "caf\xC3\xA9", u"caf\u00E9"},
                      TNameCase{"ThreeBytes", "\xE2\x82\xAC", u"\u20AC"},
                      TNameCase{"FourBytesArePairs", "\xF0\x9F\x93\x84", u"\xD83D\xDCC4"},
                      TNameCase{"Highest", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
                      // Windows allows lone surrogates in names; they travel as their three bytes.
                      TNameCase{"LoneHighSurrogate",
                                "a\xED\xA0\xBD"
                                "b",
                                u"a\xD83D"
                                "b"},
                      TNameCase{"LoneLowSurrogate", "\xED\xB3\x84", u"\xDCC4"},
                      TNameCase{"Nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)}),
    [](const auto& info) { return std::string(info.param.Name); });

// What no UTF-8 encoder writes is refused, not guessed at.
TEST(Utf16Names, RefuseWhatIsNotUtf8) {
  for (const char* bad :
       {"caf\xE9", "\x80", "\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xF4\x90\x80\x80",
        "\xF8\x88\x80\x80\x80", "\xC3", "\xE2\x82", "\xE2\x82x"})
    EXPECT_FALSE(Utf8ToUtf16(bad).has_value()) << bad;
}

}  // namespace
