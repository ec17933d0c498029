#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "controls/DigitalText.h"

TEST(CountDecimals, ShortFormOfDoubles) {
    struct Case {
        double x;
        const char* text;
    };
    const Case cases[] = {
        {3.0, "3"},
        {2.0, "2"},
        {2.5, "2.5"},
        {1.25, "1.25"},
        {1.999, "2.00"},
        {3.14159, "3.14"},
        {33.333, "33.33"},
        {33.33, "33.33"},
        {-2.5, "-2.5"},
        {0.0, "0"},
        {90.0, "90"},
        {30.000000001, "30"},
        {1e12, "1000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatShortDouble(c.x), c.text) << c.x;
    EXPECT_EQ(CountDecimals(0.1, 10), 1);
    EXPECT_EQ(CountDecimals(20.0, 10), 0);
    EXPECT_EQ(CountDecimals(std::numeric_limits<double>::infinity(), 2), 2);
}

TEST(ParseLeadingDouble, LongestLeadingNumber) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"  12.5xyz", 12.5},
        {"-3", -3},
        {"+4.", 4},
        {".5", 0.5},
        {"-.25", -0.25},
        {"1e3", 1000},
        {"1e", 1},
        {"2E-1x", 0.2},
        {"1.2.3", 1.2},
        {"-", 0},
        {".", 0},
        {"15.6", 15.6},
        {"0x10", 0},
        {"1e999", std::numeric_limits<double>::infinity()},
        {"1e-999", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseLeadingDouble(c.text), c.value) << c.text;
}

TEST(CheckTypedChar, FilterByType) {
    struct Case {
        DigitalValueType type;
        char32_t ch;
        const char32_t* newText;
        const char* message; // null: accepted
    };
    const Case cases[] = {
        {DIGITAL_INT32, U'5', U"125", nullptr},
        {DIGITAL_UINT32, U'\b', U"12", nullptr},
        {DIGITAL_UINT32, 0x16, U"12", nullptr}, // Ctrl+V
        {DIGITAL_INT32, U'.', U"1.", "Invalid character '.'"},
        {DIGITAL_UINT64, U'.', U"1.", "Invalid character '.'"},
        {DIGITAL_DOUBLE, U'.', U"1.", nullptr},
        {DIGITAL_FLOAT, U'.', U"1.2.", "Invalid character '.'"},
        {DIGITAL_UINT32, U'-', U"-", "Invalid character '-'"},
        {DIGITAL_UINT64, U'-', U"-1", "Invalid character '-'"},
        {DIGITAL_INT32, U'-', U"-", nullptr},
        {DIGITAL_INT64, U'-', U"-12", nullptr},
        {DIGITAL_INT32, U'-', U"1-2", "Invalid character '-'"},
        {DIGITAL_DOUBLE, U'-', U"--1", "Invalid character '-'"},
        {DIGITAL_INT32, U'a', U"1a", "Invalid character 'a'"},
        {DIGITAL_DOUBLE, U'e', U"1e", "Invalid character 'e'"},
        {DIGITAL_INT32, U' ', U"1 ", "Invalid character ' '"},
        {DIGITAL_INT32, U'中', U"中", "Invalid character '中'"},
    };
    for (const Case& c : cases) {
        const auto got = CheckTypedChar(c.type, c.ch, c.newText);
        if (c.message == nullptr)
            EXPECT_FALSE(got.has_value()) << static_cast<unsigned>(c.ch) << " type " << c.type;
        else
            EXPECT_EQ(got.value_or("(accepted)"), c.message) << " type " << c.type;
    }
    // Pasted text: only characters no number holds are refused at once; the
    // rest is judged by the limits when the field is left.
    EXPECT_FALSE(CheckPastedText(U"-15.4").has_value());
    EXPECT_FALSE(CheckPastedText(U"15.4").has_value());
    EXPECT_EQ(CheckPastedText(U"12x3").value_or(""), "Invalid character 'x'");
    EXPECT_EQ(CheckPastedText(U" 1").value_or(""), "Invalid character ' '");
}

TEST(CheckDigitalLimits, HalfUnitForIntegersToleranceForFloats) {
    struct Case {
        const char* what;
        DigitalValueType type;
        double min, max, tolerance;
        const char* format;
        double x;
        const char* message; // null: passes
        const char* corrected;
    };
    const Case cases[] = {
        {"uint over max", DIGITAL_UINT32, 0, 15, 1e-16, nullptr, 16, "MaxValue Must <= 15", "15"},
        {"within half a unit", DIGITAL_UINT32, 0, 15, 1e-16, nullptr, 15.4, nullptr, nullptr},
        {"beyond half a unit", DIGITAL_UINT32, 0, 15, 1e-16, nullptr, 15.6, "MaxValue Must <= 15",
         "15"},
        {"int below min", DIGITAL_INT32, -5, 5, 0, nullptr, -6, "MinValue Must >= -5", "-5"},
        {"int64", DIGITAL_INT64, 0, 10000000000.0, 0, nullptr, 2e10, "MaxValue Must <= 10000000000",
         "10000000000"},
        {"uint64 min", DIGITAL_UINT64, 10, 36000, 0, nullptr, 0, "MinValue Must >= 10", "10"},
        {"double within tolerance", DIGITAL_DOUBLE, 1.0, 20.0, 0.1, "%.1f", 20.05, nullptr,
         nullptr},
        {"double beyond tolerance", DIGITAL_DOUBLE, 1.0, 20.0, 0.1, "%.1f", 20.2,
         "MaxValue Must <= 20.0", "20.0"},
        {"empty threshold", DIGITAL_DOUBLE, 1.0, 90.0, 1e-16, nullptr, 0, "MinValue Must >= 1",
         "1"},
        {"threshold max", DIGITAL_DOUBLE, 1.0, 90.0, 1e-16, nullptr, 90.5, "MaxValue Must <= 90",
         "90"},
        {"float limit", DIGITAL_FLOAT, 0.5, 2.5, 0, nullptr, 3, "MaxValue Must <= 2.5", "2.5"},
        {"minimum checked first", DIGITAL_DOUBLE, 5, 1, 0, nullptr, 3, "MinValue Must >= 5", "5"},
    };
    for (const Case& c : cases) {
        const std::vector<DigitalLimit> mins{
            MakeDigitalLimit(c.type, c.min, c.tolerance, c.format, true)};
        const std::vector<DigitalLimit> maxs{
            MakeDigitalLimit(c.type, c.max, c.tolerance, c.format, false)};
        const auto v = CheckDigitalLimits(c.x, c.type, mins, maxs);
        if (c.message == nullptr) {
            EXPECT_FALSE(v.has_value()) << c.what;
        } else {
            ASSERT_TRUE(v.has_value()) << c.what;
            EXPECT_EQ(v->message, c.message) << c.what;
            EXPECT_EQ(v->limitText, c.corrected) << c.what;
        }
    }
    // No limits: anything passes.
    EXPECT_FALSE(CheckDigitalLimits(-1e300, DIGITAL_INT32, {}, {}).has_value());
}

TEST(DigitalLimit, StoredByTypeWhenSetReadByTypeInForce) {
    // A limit that does not fit its type saturates instead of wrapping.
    const DigitalLimit big = MakeDigitalLimit(DIGITAL_UINT32, -7, 0, nullptr, true);
    EXPECT_EQ(DigitalLimitValue(big, DIGITAL_UINT32), 0.0);
    const DigitalLimit huge = MakeDigitalLimit(DIGITAL_INT32, 1e20, 0, nullptr, false);
    EXPECT_EQ(DigitalLimitValue(huge, DIGITAL_INT32), 2147483647.0);
    // The bytes are read by the type at test time, so setting the type after
    // the limits changes what the limit means.
    const DigitalLimit asDouble = MakeDigitalLimit(DIGITAL_DOUBLE, 15.0, 0, nullptr, false);
    EXPECT_NE(DigitalLimitValue(asDouble, DIGITAL_UINT32), 15.0);
    EXPECT_EQ(DigitalLimitValue(asDouble, DIGITAL_DOUBLE), 15.0);
}
