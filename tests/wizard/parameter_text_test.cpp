#include "wizard/parameter_text.h"

#include <gtest/gtest.h>

#include "base/user_error.h"

namespace vornetica {
namespace {

constexpr char kField[] = "Enter size of input vectors";

std::string refusal(void (*convert)(const char*), const char* text) {
    try {
        convert(text);
    } catch (const UserError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(IntegerField, RoundsHalvesToEvenAndAllowsBlanks) {
    EXPECT_EQ(parseIntegerField("2.5", kField), 2);
    EXPECT_EQ(parseIntegerField("3.5", kField), 4);
    EXPECT_EQ(parseIntegerField("-2.5", kField), -2);
    EXPECT_EQ(parseIntegerField("2.4999", kField), 2);
    EXPECT_EQ(parseIntegerField("2.5001", kField), 3);
    EXPECT_EQ(parseIntegerField("  12\t", kField), 12);
    EXPECT_EQ(parseIntegerField("-32768", kField), -32768);
    EXPECT_EQ(parseIntegerField("32767.4", kField), 32767);
    EXPECT_EQ(parseIntegerField("-32768.5", kField), -32768);
}

TEST(IntegerField, RefusesWithTheFieldNamed) {
    auto integer = [](const char* text) { parseIntegerField(text, kField); };
    EXPECT_EQ(refusal(integer, "abc"), "Enter size of input vectors: \"abc\" is not a number.");
    EXPECT_EQ(refusal(integer, " 40000 "),
              "Enter size of input vectors: \"40000\" is outside -32768 to 32767.");
    EXPECT_NE(refusal(integer, "32767.5"), "(accepted)");
    EXPECT_NE(refusal(integer, "-32769"), "(accepted)");
    for (const char* bad : {"", " ", "1,5", "1 2", "nan", "inf", "0x10", "1e400"}) {
        EXPECT_NE(refusal(integer, bad), "(accepted)") << bad;
    }
}

TEST(SizeAndCountFields, KeepTheirLowerBounds) {
    EXPECT_EQ(parseSizeField("1", kField), 1);
    EXPECT_EQ(parseSizeField("0.6", kField), 1);
    EXPECT_THROW(parseSizeField("0", kField), UserError);
    EXPECT_THROW(parseSizeField("0.5", kField), UserError);  // rounds to 0
    EXPECT_THROW(parseSizeField("-3", kField), UserError);
    EXPECT_EQ(parseCountField("0", kField), 0);
    EXPECT_EQ(parseCountField("-0.5", kField), 0);
    EXPECT_THROW(parseCountField("-1", kField), UserError);
}

TEST(RealFields, UseThePointAndRefuseWhatCannotBeComputed) {
    EXPECT_EQ(parseRealField(" .0001 ", "Error threshold"), 0.0001);
    EXPECT_EQ(parseRealField("-1.5E-3", "Alpha"), -0.0015);
    for (const char* bad : {"0,75", "nan", "Inf", "-inf", "1e999", "", "1.2.3"}) {
        EXPECT_THROW(parseRealField(bad, "Alpha"), UserError) << bad;
    }
    EXPECT_EQ(parseNonZeroRealField("10.0", "Input scale"), 10.0);
    EXPECT_EQ(parseNonZeroRealField("-2", "Input scale"), -2.0);
    EXPECT_THROW(parseNonZeroRealField("0", "Input scale"), UserError);
    EXPECT_THROW(parseNonZeroRealField("-0.0", "Input scale"), UserError);
    EXPECT_EQ(parsePositiveRealField("0.5", "Gamma"), 0.5);
    EXPECT_THROW(parsePositiveRealField("0", "Gamma"), UserError);
    EXPECT_THROW(parsePositiveRealField("-1", "Gamma"), UserError);
    try {
        parseNonZeroRealField("0", "Enter input scale");
        FAIL();
    } catch (const UserError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Enter input scale: \"0\"", 0), 0u);
    }
}

}  // namespace
}  // namespace vornetica
