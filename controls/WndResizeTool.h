#pragma once
// Proportional layout: records the geometry and font of every descendant of a
// dialog once, and on each resize moves every recorded widget and scales its
// font in proportion to the dialog's new client size. Always computed from the
// recorded values, so repeated resizes never drift.

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

class CWndResizeTool {
public:
    CWndResizeTool() = default;
    CWndResizeTool(const CWndResizeTool&) = delete;
    CWndResizeTool& operator=(const CWndResizeTool&) = delete;

    // Forgets every record.
    void ClearChildren();
    // Appends a record for every descendant of `parent`, depth first, each
    // rectangle relative to the widget's own parent.
    void CaptureChildren(QWidget* parent);
    // Moves every recorded widget that still exists to its recorded rectangle
    // scaled by cx / recorded width and cy / recorded height, and scales its
    // font by the smaller factor. False (both factors 1.0) until enabled.
    bool ResizeChildren(int cx, int cy, double* scaleX = nullptr, double* scaleY = nullptr);

    // Set by the owner once its dialog exists.
    void SetRecordedSize(int width, int height) {
        recordedWidth_ = width;
        recordedHeight_ = height;
    }
    void SetWindow(QWidget* window) { window_ = window; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    [[nodiscard]] bool IsEnabled() const { return enabled_; }
    [[nodiscard]] int RecordedCount() const { return static_cast<int>(records_.size()); }

private:
    struct ChildRecord {
        QPointer<QWidget> widget;
        QRect rect;    // relative to the widget's parent, as recorded
        QFont font;    // as recorded
        bool moves;    // false where the parent's layout places the widget
        QSize minimum; // as recorded; a laid-out widget's limits grow with its font
        QSize maximum;
    };

    void Capture(QWidget* parent);

    bool enabled_ = false;
    QPointer<QWidget> window_;
    int recordedWidth_ = 0;
    int recordedHeight_ = 0;
    std::vector<ChildRecord> records_;
};
