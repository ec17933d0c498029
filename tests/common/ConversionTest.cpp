#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

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
