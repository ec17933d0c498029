#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "realtime/SensingGeneration.h"

TEST(SensingGenerationPayload, CoefficientsTimesTenRoundedHalfAway) {
    using Bytes = std::array<std::uint8_t, 4>;
    struct Case {
        double trigger, hold;
        Bytes expected;
    };
    const Case cases[] = {
        {4.0, 1.5, Bytes{0x28, 0x00, 0x0F, 0x00}},
        {1.25, 1.24, Bytes{13, 0x00, 12, 0x00}},
        {20.0, 1.0, Bytes{0xC8, 0x00, 0x0A, 0x00}},
        {0.05, 0.0, Bytes{1, 0, 0, 0}},
        {-3.0, std::numeric_limits<double>::quiet_NaN(), Bytes{0, 0, 0, 0}},
        {1e9, 6553.4, Bytes{0xFF, 0xFF, 0xFE, 0xFF}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildThresholdGenerationPayload(c.trigger, c.hold), c.expected)
            << c.trigger << " " << c.hold;
}

TEST(SensingGenerationProgressCheck, JudgesLengthAndStatus) {
    struct Case {
        std::vector<std::uint8_t> ack;
        std::uint16_t result;
        std::uint32_t progress; // 7 = left alone
    };
    const Case cases[] = {
        {{0x00, 0x00, 0x64, 0x00}, RADAR_ACK_OK, 100},
        {{0x00, 0x00, 0x2A, 0x01}, RADAR_ACK_OK, 0x12A},
        {{0x03, 0x00, 0x32, 0x00}, 3, 50},
        {{0x00, 0x00, 0x64}, RADAR_ACK_WRONG_LENGTH, 7},
        {{0x00, 0x00, 0x64, 0x00, 0x00}, RADAR_ACK_WRONG_LENGTH, 7},
        {{}, RADAR_ACK_WRONG_LENGTH, 7},
    };
    for (const Case& c : cases) {
        std::uint32_t progress = 7;
        EXPECT_EQ(ProgressCheck(RADAR_PROTOCOL_VERSION_2, c.ack.data(),
                                static_cast<std::uint32_t>(c.ack.size()), &progress),
                  c.result);
        EXPECT_EQ(progress, c.progress);
    }
    const std::uint8_t ok[] = {0, 0, 5, 0};
    EXPECT_EQ(ProgressCheck(RADAR_PROTOCOL_VERSION_2, ok, 4, nullptr), RADAR_ACK_OK);
}
