#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "realtime/ObjectInfoLogic.h"
#include "realtime/PresenceHistory.h"

namespace {

PresenceStates StatesWith(std::initializer_list<std::pair<int, std::uint8_t>> entries) {
    PresenceStates states{};
    for (const auto& [index, state] : entries)
        states[static_cast<std::size_t>(index)] = state;
    return states;
}

std::string Format1(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

} // namespace

TEST(PresenceHistory, PushDropsTheOldestAndKeepsOrder) {
    CPresenceHistory history;
    EXPECT_FALSE(history.IsChanged());
    for (int i = 0; i < kPresenceHistoryLength + 3; ++i)
        history.Push(static_cast<std::uint8_t>(i % 7));
    EXPECT_TRUE(history.IsChanged());
    const PresenceStates states = history.Snapshot();
    // The newest is the last pushed; the three first pushes have fallen out.
    EXPECT_EQ(states.back(), (kPresenceHistoryLength + 2) % 7);
    EXPECT_EQ(states.front(), 3 % 7);

    history.SetChanged(false);
    history.Clear();
    EXPECT_FALSE(history.IsChanged()) << "clearing leaves the mark to the caller";
    EXPECT_EQ(history.Snapshot(), PresenceStates{});
}

TEST(PresenceBands, ColumnsMapToHistoryEntries) {
    struct Case {
        const char* name;
        PresenceStates states;
        int left, right;
        std::vector<PresenceBand> expected;
    };
    const std::vector<Case> cases = {
        {"nothing present", PresenceStates{}, 0, 571, {}},
        {"one column per entry",
         StatesWith({{10, 1}, {11, 1}, {20, 1}}),
         0,
         571,
         {{10, 12}, {20, 21}}},
        {"any nonzero state marks a band", StatesWith({{5, 2}, {6, 255}}), 0, 571, {{5, 7}}},
        {"open band runs to the right edge",
         StatesWith({{569, 1}, {570, 1}}),
         0,
         571,
         {{569, 571}}},
        {"offset plot rectangle", StatesWith({{0, 1}}), 50, 621, {{50, 51}}},
        // Two columns per entry: column k shows entry round(k / 2), halves up.
        {"wider plot", StatesWith({{10, 1}}), 0, 1142, {{19, 21}}},
        // Narrow plot: step 0.5, entry round(2k); entry 10 is column 5.
        {"narrower plot", StatesWith({{10, 1}, {11, 1}}), 0, 285, {{5, 6}}},
        {"empty rectangle", StatesWith({{0, 1}}), 10, 10, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputePresenceBands(c.states, c.left, c.right), c.expected) << c.name;
}

TEST(PresenceBands, LastColumnOfNarrowPlotReachesNewest) {
    // 285 columns: the last column (284) shows entry round(284 x 571 / 285) = 569,
    // so entry 570 alone shows no band, and 569 shows at the last column.
    EXPECT_TRUE(ComputePresenceBands(StatesWith({{570, 1}}), 0, 285).empty());
    EXPECT_EQ(ComputePresenceBands(StatesWith({{569, 1}}), 0, 285),
              (std::vector<PresenceBand>{{284, 285}}));
}

TEST(TargetDisplay, ByState) {
    struct Case {
        int state, range;
        bool showRange;
        double meters;
        LampChange lamp;
    };
    const Case cases[] = {
        {1, 235, true, 2.35, LampChange::On},   {0, 235, true, 0.0, LampChange::Off},
        {2, 235, false, 0.0, LampChange::Keep}, {255, 100, false, 0.0, LampChange::Keep},
        {1, 0, true, 0.0, LampChange::On},
    };
    for (const Case& c : cases) {
        const TargetDisplay d = DecideTargetDisplay(c.state, c.range);
        EXPECT_EQ(d.showRange, c.showRange) << c.state;
        EXPECT_DOUBLE_EQ(d.meters, c.meters) << c.state;
        EXPECT_EQ(d.lamp, c.lamp) << c.state;
    }
}

TEST(GateShade, StartsAfterTheMaximumGate) {
    EXPECT_EQ(GateShadeLeft(50, 850, 7), 450) << "GateMax 7 shades the right half";
    EXPECT_EQ(GateShadeLeft(50, 850, 15), 850) << "all gates in use: nothing shaded";
    EXPECT_EQ(GateShadeLeft(0, 100, 0), 6) << "truncated, not rounded";
    EXPECT_EQ(GateShadeLeft(0, 100, 0xFFFFFFFFu), 100) << "a bogus maximum never leaves the plot";
    EXPECT_EQ(GateShadeLeft(0, 0, 3), 0);
}

TEST(RangeTooltip, SampleAge) {
    EXPECT_EQ(Format1(RangeSampleAgeSeconds(570)), "0.1");
    EXPECT_EQ(Format1(RangeSampleAgeSeconds(0)), "60.0");
    EXPECT_EQ(Format1(RangeSampleAgeSeconds(285)), "30.1");
}
