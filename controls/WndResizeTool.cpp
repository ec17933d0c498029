#include "controls/WndResizeTool.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLayout>

#include <algorithm>

namespace {

// Widgets whose children are their own private parts (viewport, scroll bars,
// inner line edit): they place those themselves and are recorded as one piece.
bool PlacesOwnChildren(const QWidget* widget) {
    return qobject_cast<const QAbstractScrollArea*>(widget) != nullptr ||
           qobject_cast<const QComboBox*>(widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

// A size limit scaled by the font factor; 0 (no minimum) and the "unlimited"
// maximum stay what they are.
int ScaledLimit(int limit, double factor) {
    if (limit <= 0 || limit >= QWIDGETSIZE_MAX)
        return limit;
    return std::clamp(static_cast<int>(limit * factor), 0, QWIDGETSIZE_MAX - 1);
}

} // namespace

void CWndResizeTool::ClearChildren() {
    records_.clear();
}

void CWndResizeTool::CaptureChildren(QWidget* parent) {
    if (parent != nullptr)
        Capture(parent);
}

void CWndResizeTool::Capture(QWidget* parent) {
    const bool parentHasLayout = parent->layout() != nullptr;
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow())
            continue;
        // A layout keeps placing the widgets it manages; only their fonts scale.
        records_.push_back({child, child->geometry(), child->font(), !parentHasLayout,
                            child->minimumSize(), child->maximumSize()});
        if (!PlacesOwnChildren(child))
            Capture(child);
    }
}

bool CWndResizeTool::ResizeChildren(int cx, int cy, double* scaleX, double* scaleY) {
    if (scaleX != nullptr)
        *scaleX = 1.0;
    if (scaleY != nullptr)
        *scaleY = 1.0;
    if (!enabled_ || recordedWidth_ <= 0 || recordedHeight_ <= 0)
        return false;
    const double sx = static_cast<double>(cx) / recordedWidth_;
    const double sy = static_cast<double>(cy) / recordedHeight_;
    const double m = std::min(sx, sy);
    for (const ChildRecord& record : records_) {
        QWidget* widget = record.widget.data();
        if (widget == nullptr)
            continue;
        if (record.moves) {
            // Truncation toward zero, as the positions were always computed.
            const int x = static_cast<int>(record.rect.x() * sx);
            const int y = static_cast<int>(record.rect.y() * sy);
            const int right = static_cast<int>((record.rect.x() + record.rect.width()) * sx);
            const int bottom = static_cast<int>((record.rect.y() + record.rect.height()) * sy);
            widget->setGeometry(x, y, std::max(0, right - x), std::max(0, bottom - y));
        } else {
            // The layout places it, but limits set for the recorded font would
            // squeeze the scaled text (a field showing "32.56" at twice the size).
            widget->setMinimumSize(ScaledLimit(record.minimum.width(), m),
                                   ScaledLimit(record.minimum.height(), m));
            widget->setMaximumSize(ScaledLimit(record.maximum.width(), m),
                                   ScaledLimit(record.maximum.height(), m));
        }
        QFont font = record.font;
        if (record.font.pixelSize() > 0)
            font.setPixelSize(std::max(1, static_cast<int>(record.font.pixelSize() * m)));
        else if (record.font.pointSizeF() > 0)
            font.setPointSizeF(std::max(1.0, record.font.pointSizeF() * m));
        widget->setFont(font);
    }
    if (window_ != nullptr)
        window_->update();
    if (scaleX != nullptr)
        *scaleX = sx;
    if (scaleY != nullptr)
        *scaleY = sy;
    return true;
}
