#pragma once
// One axis band of the plot window: value range, tick labels (numbers or fixed texts)
// and where each label sits inside the band. The label arithmetic is plain C++ so it
// can be checked without painting; only Draw needs the UI library.

#include <cstdint>
#include <string>
#include <vector>

#include "wave/WaveTypes.h"

class QPainter;

// One tick label laid out in the band. Alignments: 0 near (left/top), 1 centre,
// 2 far (right/bottom).
struct CoordinateCell {
    WaveRect rect;
    int hAlign = 0;
    int vAlign = 0;
    std::string text; // UTF-8
};

class CCoordinate {
public:
    struct FixedLabel {
        int tickIndex = 0;
        std::string text; // UTF-8
        int flags = -1;   // always the default alignment
    };

    CCoordinate() = default;
    virtual ~CCoordinate() = default;

    // Point size and face of the label font, text colour (RGB, red in the low byte) and
    // decimals; indent, prefix and suffix return to their defaults.
    void SetFont(int points, std::uint32_t color, int decimals);
    void AddLabel(int tickIndex, const std::string& text);
    void ClearLabels();

    // Step between neighbouring ticks: (maximum - minimum) / (tick count - 1).
    [[nodiscard]] double Step() const;
    // The decimals in force: the member when 0 or more, else the fewest (at most 10)
    // that make one step at least one unit of the last digit.
    [[nodiscard]] int EffectiveDecimals() const;
    // Value folded into the wrap interval when a wrap period is set.
    [[nodiscard]] double Fold(double u) const;
    // Value of tick i in drawing order: from the minimum on a horizontal band (left to
    // right), from the maximum on a vertical one (top to bottom).
    [[nodiscard]] double TickValue(int i) const;
    // Text of tick i in drawing order: its fixed label, else the rounded, folded value.
    [[nodiscard]] std::string TickText(int i) const;
    // Every label with its cell and alignment, in drawing order.
    [[nodiscard]] std::vector<CoordinateCell> Layout() const;

    // Draws Layout() with the painter's current font and pen (the plot window sets them
    // from font and colour and fills the band first). Lives in the UI library.
    void Draw(QPainter& painter) const;

    bool vertical = false;
    int side = 0; // 0 near edge, 1 centred, 2 far edge
    int tickCount = 5;
    double minimum = -32768.0;
    double maximum = 32768.0;
    double wrapLow = 0.0;
    double wrapHigh = 0.0;
    double wrapPeriod = -1.0;
    WaveRect band;
    int fontPoints = 8;
    std::string fontFace = "黑体";
    std::uint32_t textColor = 0x000000;
    int indent = 0;
    int decimals = -1;
    std::string prefix;
    std::string suffix;
    std::vector<FixedLabel> fixedLabels;
};
