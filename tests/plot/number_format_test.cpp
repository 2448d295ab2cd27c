#include "plot/number_format.h"

#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace kurvana {
namespace {

struct FormatCase {
  long double value;
  const char* expected;
};

TEST(FormatGeneralTest, RoundsToSixDigitsThenPicksNotation) {
  const FormatCase cases[] = {
      {0.0L, "0"},
      {-0.0L, "0"},
      {2.5L, "2.5"},
      {-2.5L, "-2.5"},
      {1.0L, "1"},
      {10.0L, "10"},
      {100000.0L, "100000"},
      {0.0001L, "0.0001"},
      {0.00001L, "1E-05"},
      {0.0000015L, "1.5E-06"},
      {123456.0L, "123456"},
      {1234567.0L, "1.23457E06"},
      {-1234567.0L, "-1.23457E06"},
      {999999.0L, "999999"},
      {999999.5L, "1E06"},          // rounding decides the notation
      {0.000099999996L, "0.0001"},  // rounds up into fixed notation
      {0.0000999994L, "9.99994E-05"},
      {0.000123456789L, "0.000123457"},
      {-1.0016694490818L, "-1.00167"},
      {1.9983305509182L, "1.99833"},
      {3.14159265358979L, "3.14159"},
      {1E10L, "1E10"},
      {1.5E100L, "1.5E100"},
      {1E4000L, "1E4000"},
      {1E-4000L, "1E-4000"},
      {-1E-4000L, "-1E-4000"},
      {std::numeric_limits<long double>::denorm_min(), "3.6452E-4951"},
      {std::numeric_limits<long double>::max(), "1.18973E4932"},
      // Halves go to the even neighbour; these are exact binary values.
      {1.234565L, "1.23456"},  // just below the tie in binary: rounds down
      {1000002.5L, "1E06"},
      {1000005.0L, "1E06"},        // exact tie 1.000005E06: even neighbour 1.00000
      {1000015.0L, "1.00002E06"},  // exact tie 1.000015E06: even neighbour 1.00002
      {0.5L, "0.5"},
      {12.125L, "12.125"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(formatGeneral(c.value, "."), c.expected) << static_cast<double>(c.value);
  }
}

TEST(FormatGeneralTest, FifteenDigitsMoveTheNotationBoundary) {
  EXPECT_EQ(formatGeneral(0.1L, ".", 15), "0.1");  // the binary 0.1 rounds back to it
  EXPECT_EQ(formatGeneral(1.0L / 3, ".", 15), "0.333333333333333");
  EXPECT_EQ(formatGeneral(-2.0L / 3, ".", 15), "-0.666666666666667");
  EXPECT_EQ(formatGeneral(999999999999999.0L, ".", 15), "999999999999999");
  EXPECT_EQ(formatGeneral(1e15L, ".", 15), "1E15");
  EXPECT_EQ(formatGeneral(1234567.0L, ".", 15), "1234567");
  EXPECT_EQ(formatGeneral(0.0001L, ".", 15), "0.0001");
  EXPECT_EQ(formatGeneral(0.00001L, ".", 15), "1E-05");
  EXPECT_EQ(formatGeneral(0, ".", 15), "0");
}

TEST(FormatGeneralTest, UsesTheGivenSeparator) {
  EXPECT_EQ(formatGeneral(2.5L, ","), "2,5");
  EXPECT_EQ(formatGeneral(0.00012L, ","), "0,00012");
  EXPECT_EQ(formatGeneral(1234567.0L, ","), "1,23457E06");
  EXPECT_EQ(formatGeneral(42.0L, ","), "42");
  EXPECT_EQ(formatGeneral(2.5L, "\u066B"), "2\u066B5");  // Arabic separator, two bytes
  EXPECT_EQ(formatGeneral(2.5L, ""), "2.5");
}

TEST(FormatGeneralTest, NonFiniteGivesZero) {
  EXPECT_EQ(formatGeneral(std::numeric_limits<long double>::infinity(), "."), "0");
  EXPECT_EQ(formatGeneral(-std::numeric_limits<long double>::infinity(), "."), "0");
  EXPECT_EQ(formatGeneral(std::numeric_limits<long double>::quiet_NaN(), "."), "0");
}

// snprintf prints the process locale's radix character; the result must not depend on it.
TEST(FormatGeneralTest, IndependentOfGlobalLocale) {
  const char* previous = setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous != nullptr ? previous : "C";
  bool switched = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
    if (setlocale(LC_NUMERIC, name) != nullptr) {
      switched = true;
      break;
    }
  }
  if (!switched) GTEST_SKIP() << "no decimal-comma locale installed";
  const std::string formatted = formatGeneral(-1.0016694490818L, ".");
  const std::optional<long double> parsed = parseLocaleNumber("0.5", ".");
  setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(formatted, "-1.00167");
  EXPECT_EQ(parsed, 0.5L);
}

TEST(ParseLocaleNumberTest, AcceptsFieldSyntax) {
  struct Case {
    const char* text;
    const char* separator;
    long double expected;
  };
  const Case cases[] = {
      {"0", ".", 0.0L},
      {"2.5", ".", 2.5L},
      {"  2.5  ", ".", 2.5L},
      {"+7", ".", 7.0L},
      {"-7", ".", -7.0L},
      {".5", ".", 0.5L},
      {"5.", ".", 5.0L},
      {"1E3", ".", 1000.0L},
      {"1e3", ".", 1000.0L},
      {"1.5E-06", ".", 1.5E-06L},
      {"-1.23457E06", ".", -1234570.0L},
      {"2e+2", ".", 200.0L},
      {"0,5", ",", 0.5L},
      {"-1,00167", ",", -1.00167L},
      {",25e1", ",", 2.5L},
      {"2\u066B5", "\u066B", 2.5L},
      {"1E4932", ".", 1E4932L},
      {"1E-5000", ".", 0.0L},  // underflow reads as 0
      {"0.1", ".", 0.1L},      // correctly rounded, same as the compiler's literal
      {"3.14159265358979323846", ".", 3.14159265358979323846L},
  };
  for (const Case& c : cases) {
    const std::optional<long double> value = parseLocaleNumber(c.text, c.separator);
    ASSERT_TRUE(value.has_value()) << c.text;
    EXPECT_EQ(*value, c.expected) << c.text;
  }
}

TEST(ParseLocaleNumberTest, DenormalsAreAccepted) {
  const std::optional<long double> value = parseLocaleNumber("4E-4950", ".");
  ASSERT_TRUE(value.has_value());
  EXPECT_GT(*value, 0.0L);
  EXPECT_LT(*value, std::numeric_limits<long double>::min());
}

TEST(ParseLocaleNumberTest, RejectsEverythingElse) {
  struct Case {
    const char* text;
    const char* separator;
  };
  const Case cases[] = {
      {"", "."},        {"   ", "."},      {"abc", "."},    {"1.2.3", "."},
      {"1e", "."},      {"1e+", "."},      {"e5", "."},     {".", "."},
      {"--1", "."},     {"+-1", "."},      {"- 1", "."},    {"1 000", "."},
      {"1,000", "."},   {"1.000,5", ","},  {"0.5", ","},    {"0,5", "."},
      {"1e99999", "."}, {"-1e99999", "."}, {"1E4933", "."}, {"1e99999999999999999999", "."},
      {"inf", "."},     {"nan", "."},      {"0x10", "."},   {"1.5f", "."},
      {"1e5.5", "."},   {"12abc", "."},    {"\t1", "."},    {"2.5", "\u066B"},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(parseLocaleNumber(c.text, c.separator).has_value())
        << '"' << c.text << "\" with separator \"" << c.separator << '"';
  }
}

// A field rewritten by the program must read back to a value that formats the same,
// and the reading must be within half a unit of the sixth digit.
TEST(ParseLocaleNumberTest, FormattedValuesReadBack) {
  const long double values[] = {
      0.0L,    1.0L,           -1.0L,     0.1L,        2.0L / 3.0L, -1.0016694490818L,
      0.0001L, 0.000099999L,   123456.7L, 999999.49L,  1E6L,        -3.5E-7L,
      1E-300L, 6.02214076E23L, 1E4000L,   -2.5E-4000L, 1E4932L,     3.0L / 599.0L,
  };
  for (const char* separator : {".", ","}) {
    for (const long double value : values) {
      const std::string text = formatGeneral(value, separator);
      const std::optional<long double> back = parseLocaleNumber(text, separator);
      ASSERT_TRUE(back.has_value()) << text;
      EXPECT_EQ(formatGeneral(*back, separator), text) << text;
      EXPECT_LE(std::fabs(*back - value), std::fabs(value) * 5E-6L) << text;
    }
  }
}

TEST(ParseIntegerTest, DecimalInt32Only) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> expected;
  };
  const Case cases[] = {
      {"1000", 1000},
      {"  10  ", 10},
      {"+2000", 2000},
      {"-5", -5},
      {"007", 7},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999", std::nullopt},
      {"", std::nullopt},
      {"-", std::nullopt},
      {"1.5", std::nullopt},
      {"1e3", std::nullopt},
      {"12a", std::nullopt},
      {"1 0", std::nullopt},
      {"--1", std::nullopt},
      {"0x10", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(parseInteger(c.text), c.expected) << '"' << c.text << '"';
  }
}

class UserDecimalSeparatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
      const char* value = getenv(name);
      saved_.push_back({name, value != nullptr, value != nullptr ? value : ""});
      unsetenv(name);
    }
  }
  void TearDown() override {
    for (const Saved& s : saved_) {
      if (s.present) {
        setenv(s.name, s.value.c_str(), 1);
      } else {
        unsetenv(s.name);
      }
    }
  }

 private:
  struct Saved {
    const char* name;
    bool present;
    std::string value;
  };
  std::vector<Saved> saved_;
};

TEST_F(UserDecimalSeparatorTest, PointForTheCLocale) {
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(userDecimalSeparator(), ".");
}

TEST_F(UserDecimalSeparatorTest, PointWhenTheLocaleIsMissing) {
  setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
  EXPECT_EQ(userDecimalSeparator(), ".");
}

TEST_F(UserDecimalSeparatorTest, FollowsLcNumericWithoutTouchingGlobalLocale) {
  const locale_t probe = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", static_cast<locale_t>(0));
  if (probe == static_cast<locale_t>(0)) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  freelocale(probe);
  const std::string before = setlocale(LC_NUMERIC, nullptr);
  setenv("LC_NUMERIC", "de_DE.UTF-8", 1);
  EXPECT_EQ(userDecimalSeparator(), ",");
  EXPECT_EQ(setlocale(LC_NUMERIC, nullptr), before);
}

}  // namespace
}  // namespace kurvana

namespace kurvana {
namespace {

TEST(FormatFixedTest, GridLabels) {
  struct Case {
    long double value;
    int decimals;
    const char* separator;
    const char* expected;
  };
  const Case cases[] = {
      {-2.5L, 2, ".", "-2.50"},
      {0.0L, 2, ".", "0.00"},
      {-0.0001L, 2, ".", "0.00"},  // no "-0.00"
      {150.0L, 0, ".", "150"},
      {99.999L, 2, ".", "100.00"},
      {1.5L, 2, ",", "1,50"},
      {0.125L, 2, ".", "0.12"},  // halves to even
      {0.375L, 2, ".", "0.38"},
      {1099.5L, 0, ".", "1100"},  // rounds up through a carry
      {12.3456789L, 2, ".", "12.35"},
      // Rounded to 12 significant digits first: ...4999999999999 becomes a half.
      {0.014999999999999999L, 2, ".", "0.02"},
      {-5.0L + 313 * (10.0L / 627), 2, ".", "-0.01"},
      {1234567890123.0L, 0, ".", "1.23456789012E12"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(formatFixed(c.value, 12, c.decimals, c.separator), c.expected)
        << static_cast<double>(c.value);
  }
}

}  // namespace
}  // namespace kurvana
