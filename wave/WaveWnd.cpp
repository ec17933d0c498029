#include "wave/WaveWnd.h"

#include <QAccessible>
#include <QFont>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QThread>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "controls/GdiplusHelpers.h"
#include "device/common/ColorTable.h"

namespace {

constexpr double kWheelStep = 1.25;
constexpr double kMinZoom = 0.125;
constexpr int kFirstDragThreshold = 10;
constexpr int kDragThreshold = 1;
constexpr int kWheelNotch = 120;

// RGB with red in the low byte.
QColor FromRgb(std::uint32_t rgb) {
    return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>((rgb >> 16) & 0xFF));
}

std::uint32_t ToRgb(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

// Layers are opaque surfaces: a pixel's own alpha byte is not honoured.
QRgb OpaquePixel(std::uint32_t pixel) {
    return 0xFF000000u | (pixel & 0x00FFFFFFu);
}

QRect ToQRect(const WaveRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

WaveRect ToWaveRect(const QRect& r) {
    return WaveRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

int Modulo(long long value, int period) {
    if (period <= 0)
        return 0;
    const long long m = value % period;
    return static_cast<int>(m < 0 ? m + period : m);
}

const QString& LabelFamily() {
    static const QString family = ResolveFontFamily(QStringLiteral("黑体"));
    return family;
}

Qt::Alignment Align(int h, int v) {
    const Qt::Alignment ha = h == 1 ? Qt::AlignHCenter : (h == 2 ? Qt::AlignRight : Qt::AlignLeft);
    const Qt::Alignment va = v == 1 ? Qt::AlignVCenter : (v == 2 ? Qt::AlignBottom : Qt::AlignTop);
    return ha | va;
}

// Fills a tooltip pattern: "%d" takes the sample number, "%f" / "%.Nf" the value,
// "%%" is a percent sign. Anything else is kept as written, so a pattern can never
// read arguments that are not there.
QString FormatTooltip(const QString& pattern, int sample, double value) {
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c != u'%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        const QChar next = pattern[i + 1];
        if (next == u'%') {
            out += u'%';
            ++i;
        } else if (next == u'd') {
            out += QString::number(sample);
            ++i;
        } else if (next == u'f') {
            out += QString::number(value, 'f', 6);
            ++i;
        } else if (next == u'.' && i + 3 < pattern.size() && pattern[i + 2].isDigit() &&
                   pattern[i + 3] == u'f') {
            out += QString::number(value, 'f', pattern[i + 2].digitValue());
            i += 3;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

CWaveWnd::CWaveWnd(QWidget* parent)
    : QWidget(parent), slots_(std::make_unique<std::array<WaveSlot, kMaxWaves>>()) {
    for (int i = 0; i < kMaxWaves; ++i) {
        WaveSlot& slot = (*slots_)[i];
        slot.color = gCommonColorTable[i % 5][(i / 5) % 10];
        slot.tooltipPattern = QString::asprintf("Wave:%d, Sample:%%d, Value:%%.1f", i);
        // Sized but unallocated: a slot costs memory only once samples arrive.
        slot.buffer.SetPointsPerFrame(pointCount_);
        slot.buffer.SetFrameCount(1);
    }
    windowPixel_ = palette().color(QPalette::Button).rgb() & 0x00FFFFFFu;
    const std::uint32_t textRgb = ToRgb(palette().color(QPalette::WindowText));

    for (int side = 0; side < 4; ++side) {
        AxisBand& axis = axes_[side];
        CCoordinate& c = axis.coordinate;
        c.textColor = textRgb;
        if (side == AXIS_LEFT || side == AXIS_RIGHT) {
            axis.size = 40;
            c.vertical = true;
            c.side = side == AXIS_LEFT ? 2 : 0; // labels against the plot
            c.tickCount = 5;
            c.minimum = -32767.0;
            c.maximum = 32767.0;
        } else {
            axis.size = 20;
            c.vertical = false;
            c.side = side == AXIS_TOP ? 2 : 0;
            c.tickCount = 22;
            c.minimum = 0.0;
            c.maximum = 63.0;
            c.wrapLow = 0.0;
            c.wrapHigh = 63.0;
            c.wrapPeriod = 63.0;
        }
    }

    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    frameTimer_.setSingleShot(true);
    connect(&frameTimer_, &QTimer::timeout, this, [this] { update(); });
    sinceLastPaint_.start();
}

CWaveWnd::~CWaveWnd() {
    if (tooltipShown_)
        QToolTip::hideText();
}

void CWaveWnd::Attach(QWidget* placeholder) {
    if (placeholder == nullptr)
        return;
    QLayout* layout = placeholder->layout();
    if (layout == nullptr) {
        layout = new QVBoxLayout(placeholder); // owned by the placeholder
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    layout->addWidget(this);
    show();
}

void CWaveWnd::Initialize() {
    clientWidth_ = width();
    clientHeight_ = height();
    RecreateCanvas();
    tooltipEnabled_ = true;
}

void CWaveWnd::SetWaveCount(int n) {
    waveCount_ = std::clamp(n, 0, kMaxWaves);
    for (int i = 0; i < waveCount_; ++i)
        (*slots_)[i].visible = true;
    update();
}

void CWaveWnd::SetWaveColor(int wave, std::uint32_t rgb) {
    if (wave < 0 || wave >= kMaxWaves)
        return;
    (*slots_)[wave].color = rgb & 0x00FFFFFFu;
    update();
}

void CWaveWnd::SetWaveLineWidth(int pixels) {
    lineWidth_ = std::max(1, pixels);
    update();
}

void CWaveWnd::ShowWave(int wave, bool visible) {
    if (wave < 0 || wave >= kMaxWaves)
        return;
    (*slots_)[wave].visible = visible;
    update();
}

void CWaveWnd::SetWaveTooltip(int wave, bool enabled, const QString& pattern) {
    if (wave < 0 || wave >= kMaxWaves)
        return;
    (*slots_)[wave].tooltip = enabled;
    if (!pattern.isEmpty())
        (*slots_)[wave].tooltipPattern = pattern;
}

void CWaveWnd::SetSmoothCurve(bool smooth) {
    smooth_ = smooth;
    update();
}

void CWaveWnd::SetWindowBkColor(std::uint32_t pixel) {
    windowPixel_ = pixel & 0x00FFFFFFu;
    if (!canvas_.isNull())
        canvas_.fill(OpaquePixel(windowPixel_));
    plotRedraw_ = true;
    MarkAllAxes();
    update();
}

void CWaveWnd::SetPlotBkColor(std::uint32_t rgb) {
    plotFill_ = true;
    plotColor_ = rgb & 0x00FFFFFFu;
    RedrawPlotBackground();
}

void CWaveWnd::ShowGrid(bool shown) {
    grid_ = shown;
    UpdateLayout(); // the cell size is worked out by the layout
}

void CWaveWnd::SetGridStyle(int dashLength, std::uint32_t gridPixel, std::uint32_t centrePixel) {
    gridDash_ = std::max(1, dashLength);
    gridPixel_ = gridPixel;
    centrePixel_ = centrePixel;
    RedrawPlotBackground();
}

void CWaveWnd::SetAutoScale(bool on) {
    autoScale_ = on;
    update();
}

void CWaveWnd::SetDataTypeDouble() {
    for (WaveSlot& slot : *slots_)
        slot.buffer.SetSampleType(WAVE_SAMPLE_DOUBLE);
}

void CWaveWnd::SetYRange(double min, double max) {
    yRangeMin_ = min;
    yRangeMax_ = max;
    viewMin_ = min;
    viewMax_ = max;
    if (!defaultYLinked_)
        return;
    defaultYMin_ = min;
    defaultYMax_ = max;
    SetYAxesRange(min, max);
    update();
}

void CWaveWnd::LinkDefaultYRange(bool linked) {
    defaultYLinked_ = linked;
}

void CWaveWnd::SetDefaultYRange(double min, double max) {
    defaultYMin_ = min;
    defaultYMax_ = max;
    SetYAxesRange(min, max);
    CCoordinate& left = axes_[AXIS_LEFT].coordinate;
    left.wrapLow = min;
    left.wrapHigh = max;
    left.wrapPeriod = -1.0;
    update();
}

void CWaveWnd::SetPointCount(int n) {
    n = std::max(1, n);
    pointCount_ = n;
    zoom_ = 1.0;
    offset_ = 0;
    for (WaveSlot& slot : *slots_) {
        slot.buffer.SetPointsPerFrame(n);
        slot.buffer.SetFrameCount(1);
    }
    if (xRangeFollowsPoints_) {
        xMin_ = 0.0;
        xMax_ = n - 1;
        for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
            CCoordinate& c = axes_[side].coordinate;
            c.minimum = 0.0;
            c.maximum = n - 1;
            c.wrapLow = 0.0;
            c.wrapHigh = n - 1;
            c.wrapPeriod = n;
            axes_[side].redraw = true;
        }
    }
    update();
}

void CWaveWnd::SetXRange(double min, double max, double period) {
    xMin_ = min;
    xMax_ = max;
    xRangeFollowsPoints_ = false;
    zoom_ = 1.0;
    offset_ = 0;
    SetAllFrameCounts(1);
    for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
        CCoordinate& c = axes_[side].coordinate;
        c.minimum = min;
        c.maximum = max;
        // A backwards range (60 to 0) still wraps into the interval it spans.
        c.wrapLow = std::min(min, max);
        c.wrapHigh = std::max(min, max);
        c.wrapPeriod = period;
        axes_[side].redraw = true;
    }
    update();
}

void CWaveWnd::SetFrameAligned(bool aligned) {
    for (WaveSlot& slot : *slots_)
        slot.buffer.SetFrameAligned(aligned);
}

void CWaveWnd::ClearWaves() {
    for (WaveSlot& slot : *slots_)
        slot.buffer.Clear();
    update();
}

void CWaveWnd::AddWaveData(int wave, const void* samples, int count) {
    if (wave < 0 || wave >= kMaxWaves)
        return;
    (*slots_)[wave].buffer.Append(samples, count);
    RequestRepaint();
}

void CWaveWnd::SetText(std::int64_t id, const QString& text, int fontSize, std::uint32_t argb,
                       int hAlign, int vAlign, const QRect* rect) {
    {
        CAutoBaseLock guard(labelLock_);
        auto it = std::find_if(labels_.begin(), labels_.end(),
                               [id](const TextLabel& l) { return l.id == id; });
        if (it == labels_.end()) {
            labels_.push_back(TextLabel{});
            it = std::prev(labels_.end());
            it->id = id;
        }
        it->text = text;
        it->rect = rect != nullptr ? ToWaveRect(*rect) : WaveRect{};
        it->fontSize = fontSize;
        it->hAlign = hAlign;
        it->vAlign = vAlign;
        it->argb = argb;
        std::sort(labels_.begin(), labels_.end(),
                  [](const TextLabel& a, const TextLabel& b) { return a.id < b.id; });
    }
    if (id == 0) // the title names the plot for assistive technology
        setAccessibleName(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral(" ")).trimmed());
    RedrawPlotBackground();
}

void CWaveWnd::ShowAxis(int side, bool shown, int bandSize, const QMargins& margins) {
    if (side < 0 || side > 3)
        return;
    AxisBand& axis = axes_[side];
    axis.shown = shown;
    axis.size = std::max(0, bandSize);
    axis.margins = margins;
    UpdateLayout();
}

CCoordinate& CWaveWnd::GetAxis(int side) {
    return axes_[std::clamp(side, 0, 3)].coordinate;
}

void CWaveWnd::SetXAxisFontSize(int points) {
    for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
        axes_[side].coordinate.SetFont(points, 0xFFFFFF, 0);
        axes_[side].redraw = true;
    }
    update();
}

void CWaveWnd::SetYAxisFontSize(int points) {
    for (int side : {AXIS_LEFT, AXIS_RIGHT}) {
        axes_[side].coordinate.SetFont(points, 0xFFFFFF, 0);
        axes_[side].redraw = true;
    }
    update();
}

void CWaveWnd::EnableMouseZoom(bool yZoom, bool yPan, bool xZoom, bool xPan) {
    yZoom_ = yZoom;
    yPan_ = yPan;
    xZoom_ = xZoom;
    xPan_ = xPan;
}

void CWaveWnd::SetDrawListener(IWaveWndDrawListener* listener, std::intptr_t cookie) {
    drawListener_ = listener;
    drawCookie_ = cookie;
    RedrawPlotBackground();
}

void CWaveWnd::SetTooltipListener(IWaveWndTooltipListener* listener, std::intptr_t cookie) {
    tooltipListener_ = listener;
    tooltipCookie_ = cookie;
}

void CWaveWnd::RedrawPlotBackground() {
    plotRedraw_ = true;
    if (QThread::currentThread() == thread())
        update();
    else
        RequestRepaint();
}

void CWaveWnd::RedrawAxis(int side) {
    if (side < 0 || side > 3)
        return;
    axes_[side].redraw = true;
    update();
}

void CWaveWnd::UpdateLayout() {
    int size[4];
    for (int side = 0; side < 4; ++side) {
        AxisBand& axis = axes_[side];
        if (!axis.shown)
            axis.size = 0;
        size[side] = axis.size;
    }
    const int l = size[AXIS_LEFT], r = size[AXIS_RIGHT], t = size[AXIS_TOP], b = size[AXIS_BOTTOM];
    const int w = clientWidth_, h = clientHeight_;
    const WaveRect bands[4] = {
        {0, t, l, h - b}, {w - r, t, w, h - b}, {l, 0, w - r, t}, {l, h - b, w - r, h}};
    for (int side = 0; side < 4; ++side) {
        AxisBand& axis = axes_[side];
        if (!axis.shown) {
            axis.rect = WaveRect{};
        } else {
            const QMargins& m = axis.margins;
            axis.rect = {bands[side].left + m.left(), bands[side].top + m.top(),
                         bands[side].right - m.right(), bands[side].bottom - m.bottom()};
        }
        axis.coordinate.band = axis.rect;
        axis.redraw = true;
    }
    plot_ = {l, t, w - r, h - b};

    const int pw = std::max(0, plot_.Width());
    const int ph = std::max(0, plot_.Height());
    if (grid_) {
        cellHeight_ = std::clamp(static_cast<double>(ph) / std::max(1, gridRows_), 8.0, 40.0);
        int columns = static_cast<int>(std::trunc(pw / cellHeight_));
        columns -= columns % 2;
        cellWidth_ = columns > 0 ? static_cast<double>(pw) / columns : cellHeight_;
    }

    if (canvas_.isNull() || pw == 0 || ph == 0) {
        plotLayer_ = QImage();
    } else {
        if (plotLayer_.width() != pw || plotLayer_.height() != ph) {
            plotLayer_ = QImage(pw, ph, QImage::Format_ARGB32_Premultiplied);
            plotLayer_.fill(OpaquePixel(windowPixel_));
        }
        canvas_.fill(OpaquePixel(windowPixel_)); // the bands may have moved
    }
    plotRedraw_ = true;
    update();
}

void CWaveWnd::RecreateCanvas() {
    plotLayer_ = QImage();
    canvas_ = QImage();
    if (clientWidth_ <= 0 || clientHeight_ <= 0)
        return;
    canvas_ = QImage(clientWidth_, clientHeight_, QImage::Format_ARGB32_Premultiplied);
    canvas_.fill(OpaquePixel(windowPixel_));
    UpdateLayout();
    plotRedraw_ = true;
    MarkAllAxes();
    update();
}

void CWaveWnd::ResetFramesReceived() {
    for (WaveSlot& slot : *slots_)
        slot.buffer.framesReceived = 0;
}

CWaveBuffer& CWaveWnd::GetWaveBuffer(int wave) {
    return (*slots_)[std::clamp(wave, 0, kMaxWaves - 1)].buffer;
}

QRect CWaveWnd::GetPlotRect() const {
    return ToQRect(plot_);
}

const std::vector<WavePoint>& CWaveWnd::GetWavePoints(int wave) const {
    return (*slots_)[std::clamp(wave, 0, kMaxWaves - 1)].points;
}

QString CWaveWnd::GetLabelText(std::int64_t id) const {
    CAutoBaseLock guard(labelLock_);
    for (const TextLabel& l : labels_)
        if (l.id == id)
            return l.text;
    return {};
}

// ---- painting -------------------------------------------------------------------

void CWaveWnd::SetYView(double min, double max) {
    viewMin_ = min;
    viewMax_ = max;
    SetYAxesRange(min, max);
}

void CWaveWnd::SetYAxesRange(double min, double max) {
    for (int side : {AXIS_LEFT, AXIS_RIGHT}) {
        axes_[side].coordinate.minimum = min;
        axes_[side].coordinate.maximum = max;
        axes_[side].redraw = true;
    }
}

void CWaveWnd::SetXAxesRange(double min, double max) {
    for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
        axes_[side].coordinate.minimum = min;
        axes_[side].coordinate.maximum = max;
        axes_[side].redraw = true;
    }
}

void CWaveWnd::SetAllFrameCounts(int n) {
    for (WaveSlot& slot : *slots_)
        slot.buffer.SetFrameCount(n);
}

void CWaveWnd::MarkAllAxes() {
    for (AxisBand& axis : axes_)
        axis.redraw = true;
}

bool CWaveWnd::AnyVisibleWave() const {
    for (int i = 0; i < waveCount_; ++i)
        if ((*slots_)[i].visible)
            return true;
    return false;
}

bool CWaveWnd::AnyTooltipWave() const {
    for (int i = 0; i < waveCount_; ++i)
        if ((*slots_)[i].tooltip)
            return true;
    return false;
}

// X label units per sample. Labels run from X minimum to X maximum across the frame's
// samples, so zoom and pan move them by whole samples in those units (1 when the range
// is the sample numbers themselves).
double CWaveWnd::XUnitsPerSample() const {
    return pointCount_ > 1 ? (xMax_ - xMin_) / (pointCount_ - 1) : 1.0;
}

void CWaveWnd::DrawGridLine(bool horizontal, int at, int dash, std::uint32_t pixel) {
    const int w = plotLayer_.width();
    const int h = plotLayer_.height();
    const QRgb value = OpaquePixel(pixel);
    const int period = 2 * dash;
    if (horizontal) {
        if (at < 0 || at >= h)
            return;
        auto* row = reinterpret_cast<QRgb*>(plotLayer_.scanLine(at));
        for (int x = 0; x < w; ++x)
            if (x % period < dash)
                row[x] = value;
    } else {
        if (at < 0 || at >= w)
            return;
        for (int y = 0; y < h; ++y)
            if (y % period < dash)
                reinterpret_cast<QRgb*>(plotLayer_.scanLine(y))[at] = value;
    }
}

void CWaveWnd::RenderPlotLayer() {
    const int w = plotLayer_.width();
    const int h = plotLayer_.height();
    if (plotFill_)
        plotLayer_.fill(FromRgb(plotColor_));
    if (grid_) {
        const int rows = static_cast<int>(std::trunc(h / cellHeight_));
        const int columns = static_cast<int>(std::trunc(w / cellWidth_));
        const int vInset = (h - static_cast<int>(std::trunc(rows * cellHeight_))) / 2;
        const int hInset = (w - static_cast<int>(std::trunc(columns * cellWidth_))) / 2;
        for (int i = 0; i <= rows; ++i)
            DrawGridLine(true, static_cast<int>(std::trunc(i * cellHeight_ + vInset)), gridDash_,
                         gridPixel_);
        DrawGridLine(true, h / 2, gridDash_, centrePixel_);
        for (int i = 0; i <= columns; ++i)
            DrawGridLine(false, static_cast<int>(std::trunc(i * cellWidth_ + hInset)), gridDash_,
                         gridPixel_);
        DrawGridLine(false, w / 2, gridDash_, centrePixel_);
    }
    uchar* pixels = plotLayer_.bits();
    QPainter painter(&plotLayer_);
    if (drawListener_ != nullptr) {
        painter.save();
        drawListener_->OnDrawPlotBackground(&painter, &plotLayer_, pixels, w, h,
                                            static_cast<int>(plotLayer_.bytesPerLine()),
                                            QRect(0, 0, w, h), drawCookie_);
        painter.restore();
    }
    DrawLabels(painter);
}

void CWaveWnd::DrawLabels(QPainter& painter) {
    CAutoBaseLock guard(labelLock_);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const TextLabel& label : labels_) {
        if (label.text.isEmpty())
            continue;
        WaveRect area = label.rect.IsEmpty() ? plot_ : label.rect.Bounded(plot_);
        if (area.IsEmpty())
            continue;
        const QRect rect(area.left - plot_.left, area.top - plot_.top, area.Width(), area.Height());
        const QString text =
            QString(label.text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        const int flags = static_cast<int>(Align(label.hAlign, label.vAlign)) | Qt::TextWordWrap;
        int points = label.fontSize;
        if (points < 0) // fitted to the label's area, as large as allowed
            points = Gdiplus_CalcFontSize(&painter, text, rect.width(), rect.height(),
                                          QStringLiteral("黑体"), -points, 0, flags);
        if (points <= 0)
            continue;
        QFont font(LabelFamily());
        font.setPointSize(points);
        font.setStyleStrategy(QFont::PreferAntialias);
        painter.setFont(font);
        painter.setPen(QColor::fromRgba(label.argb));
        painter.drawText(rect, flags, text);
    }
}

void CWaveWnd::BuildPolylines(double& overallMin, double& overallMax) {
    overallMin = 0.0;
    overallMax = 0.0;
    for (int i = 0; i < waveCount_; ++i) {
        WaveSlot& slot = (*slots_)[i];
        if (!slot.visible)
            continue;
        slot.points.clear();
        double lo = 0.0;
        double hi = 0.0;
        slot.buffer.BuildPolyline(plot_, viewMin_, viewMax_, offset_, zoom_, slot.points, &lo, &hi);
        if (slot.points.empty())
            continue;
        overallMin = std::min(overallMin, lo);
        overallMax = std::max(overallMax, hi);
        std::erase_if(slot.points,
                      [this](const WavePoint& p) { return !plot_.Contains(p.x, p.y); });
    }
}

void CWaveWnd::DrawDefaultWave(const WaveSlot& slot) {
    const std::size_t n = slot.points.size();
    if (n == 0 || canvas_.isNull())
        return;
    // Keep the whole pen width inside the plot.
    const int top = plot_.top + lineWidth_ / 2 + 1;
    const int bottom = plot_.bottom - lineWidth_ / 2 - 2;
    const auto at = [&](std::size_t i) {
        const WavePoint& p = slot.points[i];
        return RasterPoint{static_cast<float>(p.x),
                           static_cast<float>(std::max(top, std::min(p.y, bottom)))};
    };
    scratch_.clear();
    if (!smooth_ || n < 3) {
        for (std::size_t i = 0; i < n; ++i)
            scratch_.push_back(at(i));
    } else {
        // Cardinal spline, tension 0.5, flattened into short chords.
        constexpr float k = 0.5f / 3.0f;
        scratch_.push_back(at(0));
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const RasterPoint p0 = at(i == 0 ? 0 : i - 1);
            const RasterPoint p1 = at(i);
            const RasterPoint p2 = at(i + 1);
            const RasterPoint p3 = at(std::min(i + 2, n - 1));
            const RasterPoint c1{p1.x + (p2.x - p0.x) * k, p1.y + (p2.y - p0.y) * k};
            const RasterPoint c2{p2.x - (p3.x - p1.x) * k, p2.y - (p3.y - p1.y) * k};
            const float chord = std::hypot(p2.x - p1.x, p2.y - p1.y);
            const int steps = std::clamp(static_cast<int>(chord / 3.0f), 1, 64);
            for (int s = 1; s <= steps; ++s) {
                const float t = static_cast<float>(s) / steps;
                const float u = 1.0f - t;
                const float b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
                scratch_.push_back({b0 * p1.x + b1 * c1.x + b2 * c2.x + b3 * p2.x,
                                    b0 * p1.y + b1 * c1.y + b2 * c2.y + b3 * p2.y});
            }
        }
    }
    raster_.Draw(reinterpret_cast<std::uint32_t*>(canvas_.bits()),
                 static_cast<int>(canvas_.bytesPerLine() / 4), plot_, scratch_.data(),
                 static_cast<int>(scratch_.size()), static_cast<float>(lineWidth_),
                 FromRgb(slot.color).rgb());
}

void CWaveWnd::RenderWaves(QPainter& painter) {
    double lo = 0.0;
    double hi = 0.0;
    BuildPolylines(lo, hi);
    if (autoScale_) {
        const double span = std::fabs(hi - lo);
        const double view = viewMax_ - viewMin_;
        if (span > 1e-16 && std::fabs(view - 1.5 * span) > 1e-12 * std::fabs(view)) {
            const double centre = (hi + lo) / 2.0;
            SetYView(centre - 0.75 * span, centre + 0.75 * span);
            BuildPolylines(lo, hi); // draw this paint with the new view already
        }
    }

    if (plot_.IsEmpty())
        return;
    const QRect plot = ToQRect(plot_);
    if (!plotLayer_.isNull()) {
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(plot.topLeft(), plotLayer_);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }

    uchar* pixels = canvas_.bits();
    const int stride = static_cast<int>(canvas_.bytesPerLine());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(plot);
    for (int i = 0; i < waveCount_; ++i) {
        const WaveSlot& slot = (*slots_)[i];
        if (!slot.visible)
            continue;
        if (drawListener_ != nullptr) {
            painter.save();
            const bool drawn = drawListener_->OnDrawWave(
                &painter, &canvas_, pixels, clientWidth_, clientHeight_, stride, plot, i,
                slot.points, lineWidth_, slot.color, smooth_ ? 1 : 0, drawCookie_);
            painter.restore();
            if (drawn)
                continue;
        }
        DrawDefaultWave(slot);
    }
    if (drawListener_ != nullptr) {
        painter.save();
        drawListener_->OnDrawOverlay(&painter, &canvas_, pixels, clientWidth_, clientHeight_,
                                     stride, plot, drawCookie_);
        painter.restore();
    }
    painter.setClipping(false);
}

void CWaveWnd::RenderAxes(QPainter& painter) {
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (AxisBand& axis : axes_) {
        if (!axis.redraw)
            continue;
        axis.redraw = false;
        if (!axis.shown || axis.rect.IsEmpty())
            continue;
        const QRect band = ToQRect(axis.rect);
        painter.fillRect(band, QColor::fromRgb(OpaquePixel(windowPixel_)));
        QFont font(axis.coordinate.fontFace == "黑体"
                       ? LabelFamily()
                       : ResolveFontFamily(QString::fromStdString(axis.coordinate.fontFace)));
        font.setPointSize(std::max(1, axis.coordinate.fontPoints));
        painter.setFont(font);
        painter.setPen(FromRgb(axis.coordinate.textColor));
        painter.setClipRect(band);
        axis.coordinate.Draw(painter);
        painter.setClipping(false);
    }
}

void CWaveWnd::Render() {
    if (canvas_.isNull())
        return;
    // A mark set while the layer is being drawn survives for the next paint.
    if (!plotLayer_.isNull() && plotRedraw_.exchange(false))
        RenderPlotLayer();
    QPainter painter(&canvas_);
    RenderWaves(painter);
    RenderAxes(painter);
}

const QImage& CWaveWnd::RenderCanvas() {
    Render();
    return canvas_;
}

void CWaveWnd::paintEvent(QPaintEvent* event) {
    repaintPending_ = false;
    sinceLastPaint_.restart();
    if (canvas_.isNull())
        return;
    Render();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(event->rect(), canvas_, event->rect());
    if (tooltipShown_ && AnyTooltipWave()) // the value under the pointer may have scrolled
        QMetaObject::invokeMethod(
            this, [this] { ShowTooltipAtLastPoint(); }, Qt::QueuedConnection);
}

void CWaveWnd::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (width() == clientWidth_ && height() == clientHeight_)
        return;
    clientWidth_ = width();
    clientHeight_ = height();
    RecreateCanvas();
}

void CWaveWnd::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    repaintPending_ = false; // requests made while hidden produced no paint
}

void CWaveWnd::RequestRepaint() {
    if (repaintPending_.exchange(true))
        return;
    QMetaObject::invokeMethod(
        this, [this] { ScheduleRepaint(); }, Qt::QueuedConnection);
}

void CWaveWnd::ScheduleRepaint() {
    if (!isVisible() || canvas_.isNull()) {
        repaintPending_ = false; // no paint will come to clear it
        return;
    }
    // No more paints than the screen can show.
    const double hz = screen() != nullptr ? screen()->refreshRate() : 60.0;
    const qint64 interval = static_cast<qint64>(1000.0 / std::clamp(hz, 1.0, 1000.0));
    const qint64 elapsed = sinceLastPaint_.elapsed();
    if (elapsed >= interval)
        update();
    else if (!frameTimer_.isActive())
        frameTimer_.start(static_cast<int>(interval - elapsed));
}

// ---- mouse ----------------------------------------------------------------------

void CWaveWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !MouseEnabled())
        return QWidget::mousePressEvent(event);
    anchor_ = event->position().toPoint();
    dragging_ = true;
    firstMoveY_ = true;
    firstMoveX_ = true;
    if (tooltipShown_)
        HideTooltip();
}

void CWaveWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    dragging_ = false;
    firstMoveY_ = false;
    firstMoveX_ = false;
}

void CWaveWnd::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (dragging_ && MouseEnabled()) {
        if (!AnyVisibleWave())
            return;
        if (yPan_) {
            const int dy = pos.y() - anchor_.y();
            if (std::abs(dy) > (firstMoveY_ ? kFirstDragThreshold : kDragThreshold) &&
                plot_.Height() > 0) {
                firstMoveY_ = false;
                anchor_.setY(pos.y());
                const double delta = (viewMax_ - viewMin_) / plot_.Height() * dy;
                SetYView(viewMin_ + delta, viewMax_ + delta);
                update();
            }
        }
        if (xPan_) {
            const int dx = pos.x() - anchor_.x();
            if (std::abs(dx) > (firstMoveX_ ? kFirstDragThreshold : kDragThreshold) &&
                clientWidth_ > 0) {
                const double visible = std::trunc(pointCount_ / zoom_);
                const double n = std::trunc(dx * (pointCount_ / zoom_) / clientWidth_);
                if (n != 0.0 && std::fabs(n) < visible) {
                    firstMoveX_ = false;
                    anchor_.setX(pos.x());
                    const double shift = n * XUnitsPerSample();
                    for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
                        CCoordinate& c = axes_[side].coordinate;
                        c.minimum -= shift;
                        c.maximum -= shift;
                        axes_[side].redraw = true;
                    }
                    offset_ = Modulo(static_cast<long long>(offset_) + static_cast<long long>(n),
                                     pointCount_);
                    update();
                }
            }
        }
        return; // no tooltip while dragging
    }
    if (!AnyTooltipWave())
        return;
    if (plot_.Contains(pos.x(), pos.y())) {
        if (pos != lastPoint_) {
            lastPoint_ = pos;
            ShowTooltipAtLastPoint();
        }
    } else if (tooltipShown_) {
        HideTooltip();
    }
}

void CWaveWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !MouseEnabled())
        return QWidget::mouseDoubleClickEvent(event);
    zoom_ = 1.0;
    viewMin_ = yRangeMin_;
    viewMax_ = yRangeMax_;
    SetYAxesRange(defaultYMin_, defaultYMax_);
    SetXAxesRange(xMin_, xMax_);
    offset_ = 0;
    SetAllFrameCounts(1);
    MarkAllAxes();
    update();
}

void CWaveWnd::wheelEvent(QWheelEvent* event) {
    if (!yZoom_ && !xZoom_)
        return QWidget::wheelEvent(event);
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (!plot_.Contains(pos.x(), pos.y()) || !AnyVisibleWave())
        return;
    // Fine-grained wheels send fractions of a notch; a step is a whole notch.
    wheelRemainder_ += event->angleDelta().y();
    const bool control = (event->modifiers() & Qt::ControlModifier) != 0;
    while (std::abs(wheelRemainder_) >= kWheelNotch) {
        const bool away = wheelRemainder_ > 0;
        wheelRemainder_ += away ? -kWheelNotch : kWheelNotch;
        WheelStep(pos, away, control);
    }
}

void CWaveWnd::WheelStep(const QPoint& at, bool away, bool control) {
    if (control && xZoom_) {
        const int pc = pointCount_;
        const int x = at.x() - plot_.left;
        const int pw = plot_.Width();
        const double q = pw > 1 ? (pc - 1.0) / (pw - 1) / zoom_ : 0.0;
        const int g = Modulo(std::llround(pc - offset_ + x * q), pc); // sample under the mouse
        const double factor = away ? kWheelStep : 1.0 / kWheelStep;
        const double zoom = factor * zoom_;
        if (zoom < kMinZoom || zoom > pc * 0.5)
            return;
        zoom_ = zoom;
        SetAllFrameCounts(static_cast<int>(std::ceil(1.0 / zoom_)));
        const long long t = static_cast<long long>(std::trunc(q / factor * x + (pc - g)));
        offset_ = Modulo(t, pc);
        const double min = xMin_ + static_cast<double>(pc - t) * XUnitsPerSample();
        SetXAxesRange(min, min + (xMax_ - xMin_) / zoom_);
        update();
        return;
    }
    if (!yZoom_ || plot_.Height() <= 0)
        return;
    const double v = (viewMin_ - viewMax_) / plot_.Height() * (at.y() - plot_.top) + viewMax_;
    double upper = viewMax_ - v;
    double lower = v - viewMin_;
    if (away) {
        upper /= kWheelStep;
        lower /= kWheelStep;
    } else {
        upper *= kWheelStep;
        lower *= kWheelStep;
    }
    SetYView(v - lower, v + upper);
    update();
}

// ---- tooltip --------------------------------------------------------------------

void CWaveWnd::ShowTooltipAtLastPoint() {
    if (!tooltipEnabled_ || plot_.IsEmpty() || pointCount_ <= 0)
        return;
    const int mx = lastPoint_.x() - plot_.left;
    const int my = lastPoint_.y() - plot_.top;
    double best = clientHeight_;
    int winner = -1;
    int winnerSample = 0;
    double winnerValue = 0.0;
    for (int i = 0; i < waveCount_; ++i) {
        WaveSlot& slot = (*slots_)[i];
        if (!slot.visible || !slot.tooltip)
            continue;
        int sample = 0;
        int type = 0;
        double value = 0.0;
        double y = 0.0;
        if (!slot.buffer.GetValueAtPixel(plot_, viewMin_, viewMax_, offset_, zoom_, mx, &sample,
                                         &type, &value, &y))
            continue;
        if (std::fabs(my - y) < best) {
            best = std::fabs(my - y);
            winner = i;
            winnerSample = sample;
            winnerValue = value;
        }
    }
    if (winner < 0)
        return;
    const int pc = pointCount_;
    const int sampleNumber = (Modulo(pc - offset_, pc) + winnerSample) % pc;
    tooltipText_ = tooltipListener_ != nullptr
                       ? tooltipListener_->GetTooltipText(winner, sampleNumber, offset_, pc,
                                                          winnerValue, tooltipCookie_)
                       : FormatTooltip((*slots_)[winner].tooltipPattern, sampleNumber, winnerValue);
    tooltipShown_ = !tooltipText_.isEmpty();
    QToolTip::showText(mapToGlobal(lastPoint_), tooltipText_, this, QRect(), 60000);
}

void CWaveWnd::HideTooltip() {
    tooltipShown_ = false;
    QToolTip::hideText();
}

void CWaveWnd::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (AnyTooltipWave() && tooltipShown_)
        HideTooltip();
    lastPoint_ = QPoint(-1, -1);
}
