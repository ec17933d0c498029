#pragma once
// Colour label: its own background (or a stretched picture), text colour, font
// and alignment, and a multi-line mode that spaces the lines evenly over the
// label's height. The real-time page shows the target range in one, the
// threshold generator its status.

#include <QColor>
#include <QLabel>
#include <QRectF>

#include <vector>

#include "controls/GdiplusHelpers.h"

class CColorStatic : public QLabel {
    Q_OBJECT
public:
    enum Align { Near = 0, Centre = 1, Far = 2 };

    explicit CColorStatic(QWidget* parent = nullptr);
    ~CColorStatic() override;

    // Takes the place of a form's label (layout slot or geometry, name, text,
    // accessible name) and deletes it. Returns the new label.
    static CColorStatic* Attach(QLabel* label);

    // Font "黑体" at `fontPoints`; near and centred alignment; evenly spaced
    // lines; white text; the picture (a copy, may be null) or else an opaque
    // RGB (42, 50, 60) background.
    void SetLabelStyle(const CGdiplusBitmap* image, int fontPoints);

    void SetTextAlign(Align horizontal, Align vertical);
    [[nodiscard]] Align HorizontalAlign() const { return hAlign_; }
    [[nodiscard]] Align VerticalAlign() const { return vAlign_; }
    // Extra Qt text flags (Qt::TextWordWrap is on by default, as the layout
    // rectangle wraps long text).
    void SetFormatFlags(int flags);
    // -1: one block; 0: lines with even automatic gaps; > 0: that many pixels
    // between lines.
    void SetLineSpacing(int pixels);
    [[nodiscard]] int LineSpacing() const { return lineSpacing_; }
    void SetBkColor(const QColor& colour);
    void SetTextColor(const QColor& colour);
    [[nodiscard]] QColor BkColor() const { return background_; }
    [[nodiscard]] QColor TextColor() const { return textColour_; }

    // The boxes of the lines (heights given) in `rect`: gap = spacing when
    // positive, else (R - H) / (n + 1); first top by the vertical alignment.
    // Single precision, as the painting uses.
    [[nodiscard]] static std::vector<QRectF> LayoutLines(const QRectF& rect,
                                                         const std::vector<float>& heights,
                                                         int lineSpacing, Align vertical);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] int TextFlags() const;

    QColor background_;
    QColor textColour_;
    GdiplusBitmapPtr image_;
    Align hAlign_ = Centre;
    Align vAlign_ = Centre;
    int formatFlags_ = Qt::TextWordWrap;
    int lineSpacing_ = -1;
};
