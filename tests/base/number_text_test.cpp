#include "base/number_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

#include "support/comma_locale.h"

namespace vornetica {
namespace {

// The reference: what the C library prints, in the "C" locale.
std::string printfText(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

// A double of any bit pattern that is finite.
double randomFiniteDouble(std::mt19937_64& bits) {
    for (;;) {
        const double value = std::bit_cast<double>(bits());
        if (std::isfinite(value)) {
            return value;
        }
    }
}

std::vector<double> edgeValues() {
    std::vector<double> values = {0.5,
                                  -0.25,
                                  10,
                                  1e-5,
                                  1.23456789012346e15,
                                  0.0001,
                                  0.00001,
                                  0.000099999999999999995,
                                  999999999999999.4,
                                  999999999999999.5,
                                  1e15,
                                  1e14,
                                  123456789012345,
                                  1234567890123456,
                                  1.0 / 3.0,
                                  2.0 / 3.0,
                                  -1.0 / 9.0,
                                  0.1 + 0.2,
                                  DBL_MAX,
                                  -DBL_MAX,
                                  DBL_MIN,
                                  DBL_TRUE_MIN,
                                  4.9406564584124654e-320,
                                  1,
                                  -1,
                                  32767,
                                  -32768,
                                  9.5,
                                  0.95,
                                  0.0000995};
    for (int exponent = -323; exponent <= 308; ++exponent) {
        values.push_back(std::pow(10.0, exponent));
        values.push_back(-5.5 * std::pow(10.0, exponent));
    }
    return values;
}

TEST(FileNumberText, IsWhatPrintfPrintsForTheIssueExamples) {
    EXPECT_EQ(fileNumberText(0.5), "0.5");
    EXPECT_EQ(fileNumberText(-0.25), "-0.25");
    EXPECT_EQ(fileNumberText(10), "10");
    EXPECT_EQ(fileNumberText(1e-5), "1E-05");
    EXPECT_EQ(fileNumberText(1.23456789012346e15), "1.23456789012346E+15");
    EXPECT_EQ(fileNumberText(0.0), "0");
}

TEST(FileNumberText, MatchesPrintfOnEdgeValues) {
    for (const double value : edgeValues()) {
        EXPECT_EQ(fileNumberText(value), printfText("%.15G", value)) << printfText("%.17g", value);
    }
    EXPECT_EQ(fileNumberText(-0.0), printfText("%.15G", -0.0));
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(fileNumberText(inf), printfText("%.15G", inf));
    EXPECT_EQ(fileNumberText(-inf), printfText("%.15G", -inf));
}

TEST(FileNumberText, MatchesPrintfOnRandomDoubles) {
    std::mt19937_64 bits(12345);
    std::mt19937 scale(6789);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-20, 20);
    for (int i = 0; i < 200000; ++i) {
        const double anyBits = randomFiniteDouble(bits);
        ASSERT_EQ(fileNumberText(anyBits), printfText("%.15G", anyBits));
        const double moderate = unit(scale) * std::pow(10.0, exponent(scale));
        ASSERT_EQ(fileNumberText(moderate), printfText("%.15G", moderate));
    }
}

TEST(FileIntegerText, WritesPlainDigits) {
    EXPECT_EQ(fileIntegerText(0), "0");
    EXPECT_EQ(fileIntegerText(-32768), "-32768");
    EXPECT_EQ(fileIntegerText(32767), "32767");
}

TEST(NumberText, FollowsTheScreenForm) {
    EXPECT_EQ(numberText(0.25), " .25");
    EXPECT_EQ(numberText(-0.25), "-.25");
    EXPECT_EQ(numberText(1e-5), " .00001");
    EXPECT_EQ(numberText(1e14), " 100000000000000");
    EXPECT_EQ(numberText(1e15), " 1E+15");
    EXPECT_EQ(numberText(-1.5e-16), "-1.5E-16");
    EXPECT_EQ(numberText(1e-15), " .000000000000001");
    EXPECT_EQ(numberText(1e100), " 1E+100");
    EXPECT_EQ(numberText(12.5), " 12.5");
    EXPECT_EQ(numberText(-3), "-3");
    EXPECT_EQ(numberText(1.0 / 3.0), " .333333333333333");
    EXPECT_EQ(numberText(2.0 / 3.0), " .666666666666667");
    // Rounding to 15 digits can carry into a new power of ten.
    EXPECT_EQ(numberText(999999999999999.9), " 1E+15");
    EXPECT_EQ(numberText(0.99999999999999999), " 1");
}

TEST(NumberText, ShowsZeroNaNAndInfinities) {
    EXPECT_EQ(numberText(0.0), " 0");
    EXPECT_EQ(numberText(-0.0), " 0");
    EXPECT_EQ(numberText(std::numeric_limits<double>::quiet_NaN()), " NaN");
    EXPECT_EQ(numberText(-std::numeric_limits<double>::quiet_NaN()), " NaN");
    EXPECT_EQ(numberText(std::numeric_limits<double>::infinity()), " Inf");
    EXPECT_EQ(numberText(-std::numeric_limits<double>::infinity()), "-Inf");
}

// The screen text must stand for the same number as printf's 15 digits.
TEST(NumberText, ReadsBackAsPrintfsFifteenDigits) {
    std::mt19937_64 bits(4242);
    for (int i = 0; i < 50000; ++i) {
        const double value = randomFiniteDouble(bits);
        const std::string text = numberText(value);
        ASSERT_TRUE(text[0] == ' ' || text[0] == '-') << text;
        ASSERT_EQ(text.find('e'), std::string::npos);
        ASSERT_NE(text.substr(0, 3), " 0.");
        ASSERT_NE(text.substr(0, 3), "-0.");
        const double shown = std::strtod(text.c_str(), nullptr);
        const double reference = std::strtod(printfText("%.15g", value).c_str(), nullptr);
        ASSERT_EQ(shown, reference) << text;
    }
}

TEST(CutNumberText, TakesTheFirstCharactersThenDropsBlanks) {
    EXPECT_EQ(cutNumberText(1.0 / 9.0, 5), ".111");
    EXPECT_EQ(cutNumberText(1.0 / 9.0, 6), ".1111");
    EXPECT_EQ(cutNumberText(-1.0 / 3.0, 5), "-.333");
    EXPECT_EQ(cutNumberText(2.0 / 3.0, 5), ".666");  // cut, not rounded
    EXPECT_EQ(cutNumberText(123456.75, 5), "1234");
    EXPECT_EQ(cutNumberText(3, 6), "3");
    EXPECT_EQ(cutNumberText(0.0, 0), "");
}

// A cut that would drop the exponent shows another number (5.225 for 5.225E-91):
// the exponent stays whole and the digits before it give way, cut and not rounded.
TEST(CutNumberText, KeepsTheWholeExponentAndCutsTheDigitsBeforeIt) {
    EXPECT_EQ(cutNumberText(5.22502468990324e-91, 5), "5E-91");
    EXPECT_EQ(cutNumberText(5.22502468990324e-91, 6), "5E-91");
    EXPECT_EQ(cutNumberText(-4.6195e-16, 6), "-4E-16");
    EXPECT_EQ(cutNumberText(9.99999e-16, 6), "9E-16");
    EXPECT_EQ(cutNumberText(1.9e15, 6), "1E+15");
    EXPECT_EQ(cutNumberText(1.2345e-91, 8), "1.2E-91");
    EXPECT_EQ(cutNumberText(1.2345e-91, 7), "1E-91");  // never a trailing point
    // One digit stays even where the text then grows wider than the cut.
    EXPECT_EQ(cutNumberText(1e20, 5), "1E+20");
    EXPECT_EQ(cutNumberText(-4.6195e-16, 5), "-4E-16");
    EXPECT_EQ(cutNumberText(-1.5e-200, 6), "-1E-200");
    // A text that fits, and plain numbers, are cut as before.
    EXPECT_EQ(cutNumberText(1e15, 6), "1E+15");
    EXPECT_EQ(cutNumberText(-1.5e-16, 8), "-1.5E-16");
    EXPECT_EQ(cutNumberText(1e-15, 6), ".0000");
    EXPECT_EQ(cutNumberText(-std::numeric_limits<double>::infinity(), 5), "-Inf");
}

TEST(ParseFileNumber, AcceptsEveryWrittenForm) {
    const std::pair<const char*, double> cases[] = {
        {"-.5", -0.5}, {".5", 0.5},       {"1E-05", 1e-5},
        {"+3", 3.0},   {"10", 10.0},      {"0.5", 0.5},
        {"5.", 5.0},   {"1e+300", 1e300}, {"-2.5e3", -2500.0},
        {"007", 7.0},  {"1e-400", 0},     {"1.23456789012346E+15", 1.23456789012346e15}};
    for (const auto& [text, expected] : cases) {
        double value = -99;
        EXPECT_TRUE(parseFileNumber(text, value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    double value = 0;
    ASSERT_TRUE(parseFileNumber("-0", value));
    EXPECT_TRUE(std::signbit(value));
}

TEST(ParseFileNumber, RefusesAnythingNotWhollyANumber) {
    for (const char* text : {"nan", "NaN",   "inf", "-inf",  "INF",    "0x10", "1,5",   "",   " ",
                             "-",   ".",     "+",   "+-3",   "--1",    "1e",   "1e+",   "e5", " 1",
                             "1 ",  "1.2.3", "1-2", "1e400", "-1e400", "abc",  "12abc", "1d5"}) {
        double value = 42;
        EXPECT_FALSE(parseFileNumber(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 42) << text;
    }
    double value = 0;
    EXPECT_FALSE(parseFileNumber(std::string_view("1\0", 2), value));
}

TEST(ParseFileNumber, ReadsBackEveryFileText) {
    std::mt19937_64 bits(777);
    for (int i = 0; i < 50000; ++i) {
        const double value = randomFiniteDouble(bits);
        const std::string text = fileNumberText(value);
        double back = 0;
        ASSERT_TRUE(parseFileNumber(text, back)) << text;
        EXPECT_EQ(back, std::strtod(text.c_str(), nullptr)) << text;
    }
}

TEST(ParseFileNumber, ReadsTheLargestDoublesFifteenDigitTextAsTheLargestDouble) {
    constexpr double kLargest = std::numeric_limits<double>::max();
    for (const double value : {kLargest, std::nextafter(kLargest, 0.0),
                               std::nextafter(1.797693134862315e308, kLargest)}) {
        double back = 0;
        ASSERT_EQ(fileNumberText(value), "1.79769313486232E+308");
        ASSERT_TRUE(parseFileNumber(fileNumberText(-value), back));
        EXPECT_EQ(back, -kLargest);
    }
    for (const char* text : {"1.79769313486232E+308", "1.797693134862324999e308",
                             "1.797693134862325E+308", "0017976931348623250000000e286"}) {
        double back = 0;
        EXPECT_TRUE(parseFileNumber(text, back)) << text;
        EXPECT_EQ(back, kLargest) << text;
    }
    for (const char* text : {"1.7976931348623250001e308", "1.79769313486233E+308", "1.8e308"}) {
        double back = 0;
        EXPECT_FALSE(parseFileNumber(text, back)) << text;
        EXPECT_EQ(badNumberText(text), '"' + std::string(text) + "\" is too large a number");
    }
}

TEST(BadNumberText, QuotesAShortPrintableExcerpt) {
    EXPECT_EQ(badNumberText("abc"), "\"abc\" is not a number");
    EXPECT_EQ(badNumberText("1e400"), "\"1e400\" is too large a number");
    EXPECT_EQ(badNumberText(std::string_view("1\0"
                                             "2",
                                             3)),
              "\"1?2\" is not a number");
    const std::string longText(100000, '7');
    EXPECT_LT(badNumberText(longText).size(), 80u);
}

TEST(NumberTexts, IgnoreACommaLocale) {
    testing::CommaLocale locale;
    if (!locale.active()) {
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
    char check[16];
    std::snprintf(check, sizeof check, "%.1f", 0.5);
    ASSERT_STREQ(check, "0,5");  // the locale really is in force
    EXPECT_EQ(fileNumberText(0.5), "0.5");
    EXPECT_EQ(fileNumberText(-1234.5678), "-1234.5678");
    EXPECT_EQ(numberText(0.25), " .25");
    double value = 0;
    EXPECT_TRUE(parseFileNumber("0.5", value));
    EXPECT_EQ(value, 0.5);
    EXPECT_FALSE(parseFileNumber("0,5", value));
}

}  // namespace
}  // namespace vornetica
