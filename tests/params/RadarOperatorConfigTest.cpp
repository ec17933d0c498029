#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "params/OperatorConfigTransfer.h"
#include "params/RadarOperatorConfig.h"

TEST(RadarOperatorConfig, Defaults) {
    const RadarOperatorConfig c;
    EXPECT_EQ(c.GateMax, 15u);
    EXPECT_EQ(c.ObjectDisappearDelayTime, 10u);
    for (int g = 0; g < kRadarGateCount; ++g) {
        EXPECT_EQ(c.TriggerThreshold[g], 30.0);
        EXPECT_EQ(c.HoldThreshold[g], 30.0);
    }
}

TEST(RadarOperatorConfig, DbConversions) {
    EXPECT_EQ(RadarRawToDb(0), 0.0);
    EXPECT_EQ(RadarRawToDb(1), 0.0);
    EXPECT_DOUBLE_EQ(RadarRawToDb(1000), 30.0);
    EXPECT_DOUBLE_EQ(RadarRawToDb(1000000000), 90.0);

    struct Case {
        double db;
        std::uint32_t raw;
    };
    const Case cases[] = {
        {30.0, 1000},
        {90.0, 1000000000},
        {1.0, 1},      // 1.2589 rounds down
        {3.0, 2},      // 1.995 rounds up
        {33.33, 2153}, // 2152.77
        {0.0, 0},
        {-5.0, 0},
        {96.0, 3981071706},
        {200.0, 0xFFFFFFFFu}, // beyond 32 bits: saturates, never wraps
        {std::numeric_limits<double>::infinity(), 0xFFFFFFFFu},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RadarDbToRaw(c.db), c.raw) << c.db;
    // Halves go away from zero: 10^(dB/10) = 2.5 exactly at dB = 10 log10(2.5).
    EXPECT_EQ(RadarDbToRaw(10.0 * std::log10(2.5) + 1e-12), 3u);
}

TEST(RadarOperatorConfig, ParameterOrderAndRoundTrip) {
    const auto& ids = RadarParamIds();
    EXPECT_EQ(ids[0], 1);
    EXPECT_EQ(ids[1], 4);
    EXPECT_EQ(ids[2], 16);
    EXPECT_EQ(ids[17], 31);
    EXPECT_EQ(ids[18], 32);
    EXPECT_EQ(ids[33], 47);

    RadarOperatorConfig c;
    c.GateMax = 7;
    c.ObjectDisappearDelayTime = 42;
    c.TriggerThreshold[0] = 30.0;
    c.TriggerThreshold[15] = 90.0;
    c.HoldThreshold[3] = 0.0;
    c.HoldThreshold[15] = 20.0;
    const auto v = RadarParamValues(c);
    EXPECT_EQ(v[0], 7u);
    EXPECT_EQ(v[1], 42u);
    EXPECT_EQ(v[2], 1000u);
    EXPECT_EQ(v[17], 1000000000u);
    EXPECT_EQ(v[18 + 3], 0u);
    EXPECT_EQ(v[33], 100u);

    RadarOperatorConfig back;
    ApplyRadarParamValues(v, back);
    EXPECT_EQ(back.GateMax, 7u);
    EXPECT_EQ(back.ObjectDisappearDelayTime, 42u);
    EXPECT_DOUBLE_EQ(back.TriggerThreshold[15], 90.0);
    EXPECT_EQ(back.HoldThreshold[3], 0.0);
    EXPECT_DOUBLE_EQ(back.HoldThreshold[15], 20.0);
}

TEST(RadarOperatorConfig, ChunkPlans) {
    using Plan = std::vector<std::size_t>;
    auto counts = [](int size, int per) {
        Plan p;
        std::size_t next = 0;
        for (const auto& c : PlanRadarParamChunks(size, per)) {
            EXPECT_EQ(c.start, next) << "chunks go in position order";
            next += c.count;
            p.push_back(c.count);
        }
        if (!p.empty()) {
            EXPECT_EQ(next, kRadarParamCount);
        }
        return p;
    };
    EXPECT_EQ(counts(148, 4), (Plan{34}));        // read, one chunk
    EXPECT_EQ(counts(148, 6), (Plan{22, 12}));    // write
    EXPECT_EQ(counts(100, 4), (Plan{22, 12}));    // read
    EXPECT_EQ(counts(100, 6), (Plan{14, 14, 6})); // write
    EXPECT_EQ(counts(16, 4), Plan(34, 1));        // the smallest read
    EXPECT_EQ(counts(18, 6), Plan(34, 1));        // the smallest write
    EXPECT_EQ(counts(148, 4).size(), 1u);
    EXPECT_TRUE(counts(17, 6).empty()); // not even one parameter fits
    EXPECT_TRUE(counts(15, 4).empty());
    EXPECT_TRUE(counts(-1, 4).empty());
    EXPECT_EQ(counts(4096, 6), (Plan{34}));
}

TEST(RadarOperatorConfig, CommandMessages) {
    struct Case {
        bool write;
        int result;
        int caption, text;
        bool error;
    };
    const Case cases[] = {
        {false, 0, 10002, 10150, false}, {true, 0, 10002, 10152, false},
        {false, 1, 10000, 10103, true},  {true, 1, 10000, 10103, true},
        {false, 2, 10000, 10151, true},  {true, 2, 10000, 10153, true},
    };
    for (const Case& c : cases) {
        const SensorCommandMessage m = SensorCommandMessageFor(c.write, c.result);
        EXPECT_EQ(m.captionId, c.caption);
        EXPECT_EQ(m.textId, c.text);
        EXPECT_EQ(m.error, c.error);
    }
}
