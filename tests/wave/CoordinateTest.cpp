#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "wave/Coordinate.h"

namespace {

std::vector<std::string> Texts(const CCoordinate& c) {
    std::vector<std::string> out;
    for (const CoordinateCell& cell : c.Layout())
        out.push_back(cell.text);
    return out;
}

} // namespace

TEST(Coordinate, TickLabelsInDrawingOrder) {
    struct Case {
        const char* name;
        bool vertical;
        int ticks;
        double min, max;
        int decimals;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"backwards time axis", false, 7, 60, 0, 0, {"60", "50", "40", "30", "20", "10", "0"}},
        {"step 2.8, automatic", true, 5, 0, 11.2, -1, {"11", "8", "6", "3", "0"}},
        {"step 0.25, automatic", true, 5, 0, 1, -1, {"1.0", "0.8", "0.5", "0.3", "0.0"}},
        {"gates", false, 7, 0, 15, 0, {"0", "3", "5", "8", "10", "13", "15"}},
        {"dB with one decimal", true, 5, 0, 100, 1, {"100.0", "75.0", "50.0", "25.0", "0.0"}},
        {"tiny negative rounds to plain zero", false, 3, -0.04, 0.04, 1, {"0.0", "0.0", "0.0"}},
    };
    for (const Case& c : cases) {
        CCoordinate axis;
        axis.vertical = c.vertical;
        axis.tickCount = c.ticks;
        axis.minimum = c.min;
        axis.maximum = c.max;
        axis.decimals = c.decimals;
        axis.band = {0, 0, 300, 300};
        EXPECT_EQ(Texts(axis), c.expected) << c.name;
    }
}

TEST(Coordinate, AutomaticDecimalsFollowTheStep) {
    const struct {
        double min, max;
        int ticks;
        int decimals;
    } cases[] = {{0, 11.2, 5, 0}, {0, 1, 5, 1}, {0, 0.04, 5, 2}, {5, 5, 5, 10}, {0, 1, 1, 10}};
    for (const auto& c : cases) {
        CCoordinate axis;
        axis.minimum = c.min;
        axis.maximum = c.max;
        axis.tickCount = c.ticks;
        EXPECT_EQ(axis.EffectiveDecimals(), c.decimals) << c.min << ".." << c.max;
    }
}

TEST(Coordinate, FixedLabelsReplaceNumbersByTickIndex) {
    CCoordinate axis;
    axis.tickCount = 7;
    axis.minimum = 60;
    axis.maximum = 0;
    axis.decimals = 0;
    axis.band = {0, 0, 700, 20};
    for (int i = 0; i < 6; ++i)
        axis.AddLabel(i, "T0-" + std::to_string(60 - 10 * i));
    axis.AddLabel(6, "T0");
    axis.AddLabel(6, "ignored: the first label of an index wins");
    EXPECT_EQ(Texts(axis), (std::vector<std::string>{"T0-60", "T0-50", "T0-40", "T0-30", "T0-20",
                                                     "T0-10", "T0"}));
    axis.ClearLabels();
    EXPECT_EQ(Texts(axis).front(), "60");

    // Vertical bands count fixed labels from the top cell too.
    axis.vertical = true;
    axis.AddLabel(0, "top");
    EXPECT_EQ(Texts(axis).front(), "top");
    EXPECT_EQ(Texts(axis).back(), "60");
}

TEST(Coordinate, WrapFoldsValuesIntoTheInterval) {
    CCoordinate axis;
    axis.wrapLow = 0;
    axis.wrapHigh = 63;
    axis.wrapPeriod = 64;
    EXPECT_EQ(axis.Fold(70), 6);
    EXPECT_EQ(axis.Fold(63), 63);
    EXPECT_EQ(axis.Fold(-10), 54);
    EXPECT_EQ(axis.Fold(128), 0);
    axis.wrapPeriod = -1; // no wrapping
    EXPECT_EQ(axis.Fold(70), 70);

    // Through the labels: a panned axis 6..69 shows 69 folded.
    axis.wrapPeriod = 64;
    axis.minimum = 6;
    axis.maximum = 70;
    axis.tickCount = 2;
    axis.decimals = 0;
    axis.band = {0, 0, 100, 20};
    EXPECT_EQ(Texts(axis), (std::vector<std::string>{"6", "6"}));
}

TEST(Coordinate, PrefixAndSuffixAreTextNotFormat) {
    CCoordinate axis;
    axis.tickCount = 2;
    axis.minimum = 0;
    axis.maximum = 1;
    axis.decimals = 1;
    axis.prefix = "%s%n ";
    axis.suffix = " %";
    EXPECT_EQ(axis.TickText(1), "%s%n 1.0 %");
    axis.SetFont(9, 0xFFFFFF, 0); // resets prefix, suffix and indent
    EXPECT_EQ(axis.TickText(1), "1");
    EXPECT_EQ(axis.fontPoints, 9);
    EXPECT_EQ(axis.textColor, 0xFFFFFFu);
}

TEST(Coordinate, HorizontalCellsAndAlignment) {
    CCoordinate axis;
    axis.tickCount = 4;
    axis.minimum = 0;
    axis.maximum = 3;
    axis.side = 2;
    axis.indent = 3;
    axis.band = {100, 10, 400, 40}; // 300 wide: e = 75, f = 100
    const std::vector<CoordinateCell> cells = axis.Layout();
    ASSERT_EQ(cells.size(), 4u);
    const WaveRect expected[] = {
        {100, 10, 175, 37}, {150, 10, 250, 37}, {250, 10, 350, 37}, {325, 10, 400, 37}};
    const int hAlign[] = {0, 1, 1, 2};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(cells[i].rect, expected[i]) << i;
        EXPECT_EQ(cells[i].hAlign, hAlign[i]) << i;
        EXPECT_EQ(cells[i].vAlign, 2) << i; // side 2: bottom of the band
    }
}

TEST(Coordinate, VerticalCellsRunDownFromTheMaximum) {
    CCoordinate axis;
    axis.vertical = true;
    axis.tickCount = 5;
    axis.minimum = 0;
    axis.maximum = 100;
    axis.decimals = 0;
    axis.side = 0;
    axis.indent = 4;
    axis.band = {0, 0, 50, 200}; // e = 40, f = 50
    const std::vector<CoordinateCell> cells = axis.Layout();
    ASSERT_EQ(cells.size(), 5u);
    EXPECT_EQ(cells[0].rect, (WaveRect{4, 0, 50, 40}));
    EXPECT_EQ(cells[0].vAlign, 0);
    EXPECT_EQ(cells[0].text, "100");
    EXPECT_EQ(cells[2].rect, (WaveRect{4, 75, 50, 125}));
    EXPECT_EQ(cells[2].vAlign, 1);
    EXPECT_EQ(cells[4].rect, (WaveRect{4, 160, 50, 200}));
    EXPECT_EQ(cells[4].vAlign, 2);
    EXPECT_EQ(cells[4].text, "0");
    for (const CoordinateCell& c : cells)
        EXPECT_EQ(c.hAlign, 0);

    axis.tickCount = 0;
    EXPECT_TRUE(axis.Layout().empty());
}
