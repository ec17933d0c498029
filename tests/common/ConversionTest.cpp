#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include <locale.h>

#include "device/common/Conversion.h"

TEST(DigtalStringToValue, TableOfCases) {
    struct Case {
        const char* text;
        int type;
        bool ok;
        double expect;
    };
    const Case cases[] = {
        {"115200", DIGITAL_TYPE_INT32, true, 115200},
        {"-5", DIGITAL_TYPE_INT32, true, -5},
        {"0x0000FF00", DIGITAL_TYPE_UINT32, true, 65280},
        {"0XfF", DIGITAL_TYPE_INT32, true, 255},
        {"0xFFFFFFFF", DIGITAL_TYPE_INT32, true, -1},
        {"4294967295", DIGITAL_TYPE_UINT32, true, 4294967295.0},
        {"4294967296", DIGITAL_TYPE_UINT32, false, 0},
        {"2147483648", DIGITAL_TYPE_INT32, false, 0},
        {"-2147483648", DIGITAL_TYPE_INT32, true, -2147483648.0},
        {"-1", DIGITAL_TYPE_UINT32, false, 0},
        {"1", DIGITAL_TYPE_FLAG, true, 1},
        {"33.33", DIGITAL_TYPE_DOUBLE, true, 33.33},
        {" 7 ", DIGITAL_TYPE_INT32, true, 7},
        {"", DIGITAL_TYPE_INT32, false, 0},
        {"12abc", DIGITAL_TYPE_INT32, false, 0},
        {"0x", DIGITAL_TYPE_UINT32, false, 0},
        {"1e400", DIGITAL_TYPE_DOUBLE, false, 0},
        {"5", 99, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::int32_t i = 42;
        std::uint32_t u = 42;
        double d = 42;
        void* target = c.type == DIGITAL_TYPE_UINT32   ? static_cast<void*>(&u)
                       : c.type == DIGITAL_TYPE_DOUBLE ? static_cast<void*>(&d)
                                                       : static_cast<void*>(&i);
        EXPECT_EQ(DigtalStringToValue(c.text, std::strlen(c.text), target, c.type), c.ok);
        const double got = c.type == DIGITAL_TYPE_UINT32   ? u
                           : c.type == DIGITAL_TYPE_DOUBLE ? d
                                                           : i;
        EXPECT_DOUBLE_EQ(got, c.ok ? c.expect : 42.0);
    }
}

// A comma-decimal locale in force (as a German desktop gives the tool through
// QApplication) must change neither what numbers read nor how they are written.
TEST(NumbersIgnoreTheLocale, ReadAndWrittenWithAPointUnderACommaLocale) {
    locale_t comma = static_cast<locale_t>(nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        comma = ::newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
        if (comma != static_cast<locale_t>(nullptr))
            break;
    }
    if (comma == static_cast<locale_t>(nullptr))
        GTEST_SKIP()
            << "no comma-decimal locale installed (scripts/setup.sh generates de_DE.UTF-8)";
    const locale_t previous = ::uselocale(comma);
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.2f", 33.333);
    EXPECT_STREQ(probe, "33,33") << "the locale under test does not use a decimal comma";

    double d = 0;
    EXPECT_TRUE(DigtalStringToValue("33.33", 5, &d, DIGITAL_TYPE_DOUBLE));
    EXPECT_DOUBLE_EQ(d, 33.33);
    EXPECT_TRUE(DigtalStringToValue("-0.5", 4, &d, DIGITAL_TYPE_DOUBLE));
    EXPECT_DOUBLE_EQ(d, -0.5);
    EXPECT_FALSE(DigtalStringToValue("33,33", 5, &d, DIGITAL_TYPE_DOUBLE));
    EXPECT_EQ(FormatFixed(33.333, 2), "33.33");
    {
        const CClassicNumericScope classic;
        std::snprintf(probe, sizeof probe, "%.1f", 4.0);
        EXPECT_STREQ(probe, "4.0");
    }
    std::snprintf(probe, sizeof probe, "%.1f", 4.0);
    EXPECT_STREQ(probe, "4,0") << "the scope must give the thread's locale back";

    ::uselocale(previous);
    ::freelocale(comma);
}

TEST(DigtalStringToValue, DoubleFormsAcceptedAsBefore) {
    const struct {
        const char* text;
        bool ok;
        double expect;
    } cases[] = {{"+1.5", true, 1.5},  {".5", true, 0.5},   {"5.", true, 5.0},  {"1e3", true, 1000},
                 {"-0x10", true, -16}, {"1e-400", true, 0}, {"+-1", false, 0},  {"--1", false, 0},
                 {"inf", false, 0},    {"nan", false, 0},   {"1.5x", false, 0}, {"-", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double d = 42;
        EXPECT_EQ(DigtalStringToValue(c.text, std::strlen(c.text), &d, DIGITAL_TYPE_DOUBLE), c.ok);
        EXPECT_DOUBLE_EQ(d, c.ok ? c.expect : 42.0);
    }
}
