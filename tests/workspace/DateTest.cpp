#include <gtest/gtest.h>

#include "CertDate.h"

namespace {

using cert::TYmd;

struct TFormatCase {
  TYmd Date;
  const char* Text;
};

class FormatYYYYMMDD : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(FormatYYYYMMDD, WritesEightDigitsWithLeadingZeros) {
  EXPECT_EQ(cert::FormatYYYYMMDD(GetParam().Date), GetParam().Text);
}

INSTANTIATE_TEST_SUITE_P(Dates, FormatYYYYMMDD,
                         ::testing::Values(TFormatCase{{2026, 12, 10}, "20261210"},
                                           TFormatCase{{1, 1, 1}, "00010101"},
                                           TFormatCase{{9999, 12, 31}, "99991231"},
                                           TFormatCase{{1950, 2, 9}, "19500209"},
                                           TFormatCase{{0, 0, 0}, "00000000"},
                                           // Parts wider than their digits keep their last ones.
                                           TFormatCase{{12026, 112, 131}, "20261231"}));

TEST(FormatYYYYMMDDRoundTrip, EveryDayOfTheRangeReadsBack) {
  for (long days = cert::DaysFromYmd({1, 1, 1}); days <= cert::DaysFromYmd({9999, 12, 31});
       days += 37) {
    const TYmd d = cert::YmdFromDays(days);
    TYmd back;
    ASSERT_TRUE(cert::ReadYYYYMMDD(cert::FormatYYYYMMDD(d), back)) << days;
    EXPECT_EQ(back, d) << days;
  }
}

}  // namespace
