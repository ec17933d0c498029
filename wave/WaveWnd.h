#pragma once
// Plotting control of the live and capture pages: up to 256 scrolling waves drawn as
// polylines over a cached background (fill, grid, text labels), up to four axis bands,
// mouse zoom and pan, and a tooltip naming the wave under the pointer.
//
// Colour forms never mix: wave and plot colours are RGB with red in the low byte,
// window and grid colours are pixels 0x00RRGGBB / 0xAARRGGBB, text labels are ARGB.

#include <QElapsedTimer>
#include <QImage>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "device/common/BaseLock.h"
#include "wave/Coordinate.h"
#include "wave/PolylineRaster.h"
#include "wave/WaveBuffer.h"

class QPainter;

enum WaveAxisSide { AXIS_LEFT = 0, AXIS_RIGHT = 1, AXIS_TOP = 2, AXIS_BOTTOM = 3 };

// Lets a page paint below and above the waves. The cookie tells its plots apart.
class IWaveWndDrawListener {
public:
    virtual ~IWaveWndDrawListener() = default;
    // Into the plot layer (plot-sized, origin at the plot's top-left), after fill and
    // grid, before the text labels. Runs only when the layer is rebuilt.
    virtual void OnDrawPlotBackground(QPainter* painter, QImage* layer, uchar* pixels, int width,
                                      int height, int stride, const QRect& rect,
                                      std::intptr_t cookie) {
        (void)painter, (void)layer, (void)pixels, (void)width, (void)height, (void)stride,
            (void)rect, (void)cookie;
    }
    // Draws one wave on the canvas; true when the listener did, false for the default.
    virtual bool OnDrawWave(QPainter* painter, QImage* canvas, uchar* pixels, int clientWidth,
                            int clientHeight, int stride, const QRect& plot, int wave,
                            const std::vector<WavePoint>& points, int lineWidth,
                            std::uint32_t color, int smooth, std::intptr_t cookie) {
        (void)painter, (void)canvas, (void)pixels, (void)clientWidth, (void)clientHeight,
            (void)stride, (void)plot, (void)wave, (void)points, (void)lineWidth, (void)color,
            (void)smooth, (void)cookie;
        return false;
    }
    // On the canvas after all waves.
    virtual void OnDrawOverlay(QPainter* painter, QImage* canvas, uchar* pixels, int clientWidth,
                               int clientHeight, int stride, const QRect& plot,
                               std::intptr_t cookie) {
        (void)painter, (void)canvas, (void)pixels, (void)clientWidth, (void)clientHeight,
            (void)stride, (void)plot, (void)cookie;
    }
};

class IWaveWndTooltipListener {
public:
    virtual ~IWaveWndTooltipListener() = default;
    virtual QString GetTooltipText(int wave, int sample, int offset, int pointCount, double value,
                                   std::intptr_t cookie) = 0;
};

class CWaveWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMaxWaves = 256;

    explicit CWaveWnd(QWidget* parent = nullptr);
    ~CWaveWnd() override;

    // Puts the plot inside a placeholder widget of a page's form, filling it.
    void Attach(QWidget* placeholder);
    // Takes the client size, builds the layers and enables the tooltip.
    void Initialize();

    void SetWaveCount(int n);
    void SetWaveColor(int wave, std::uint32_t rgb);
    void SetWaveLineWidth(int pixels);
    void ShowWave(int wave, bool visible);
    // Tooltip flag and pattern of a wave; the pattern takes the sample number (%d) and
    // the value (%.1f).
    void SetWaveTooltip(int wave, bool enabled, const QString& pattern = {});
    void SetSmoothCurve(bool smooth);
    void SetWindowBkColor(std::uint32_t pixel);
    void SetPlotBkColor(std::uint32_t rgb);
    void ShowGrid(bool shown);
    void SetGridStyle(int dashLength, std::uint32_t gridPixel, std::uint32_t centrePixel);
    void SetAutoScale(bool on);
    void SetDataTypeDouble();
    void SetYRange(double min, double max);
    void LinkDefaultYRange(bool linked);
    void SetDefaultYRange(double min, double max);
    void SetPointCount(int n);
    void SetXRange(double min, double max, double period);
    void SetFrameAligned(bool aligned);
    void ClearWaves();
    // Callable from any thread; asks for a repaint only when none is pending.
    void AddWaveData(int wave, const void* samples, int count);
    // Adds or changes the text label `id`. A negative font size is the largest size up to
    // its magnitude at which the text fits; `rect` (client pixels) null = whole plot.
    // Alignments: 0 near, 1 centre, 2 far. Label 0 is the plot's title.
    void SetText(std::int64_t id, const QString& text, int fontSize, std::uint32_t argb, int hAlign,
                 int vAlign, const QRect* rect = nullptr);
    void ShowAxis(int side, bool shown, int bandSize, const QMargins& margins = {});
    CCoordinate& GetAxis(int side);
    void SetXAxisFontSize(int points);
    void SetYAxisFontSize(int points);
    void EnableMouseZoom(bool yZoom, bool yPan, bool xZoom, bool xPan);
    void SetDrawListener(IWaveWndDrawListener* listener, std::intptr_t cookie);
    void SetTooltipListener(IWaveWndTooltipListener* listener, std::intptr_t cookie);
    // Marks the background layer for rebuilding; callable from any thread.
    void RedrawPlotBackground();
    // After changing a coordinate got from GetAxis.
    void RedrawAxis(int side);
    void UpdateLayout();
    void RecreateCanvas();

    // Frames received of every wave buffer back to 0 (pages do it when a stream starts).
    void ResetFramesReceived();
    CWaveBuffer& GetWaveBuffer(int wave);

    [[nodiscard]] QRect GetPlotRect() const;
    [[nodiscard]] int GetWaveCount() const { return waveCount_; }
    [[nodiscard]] int GetPointCount() const { return pointCount_; }
    [[nodiscard]] int GetOffset() const { return offset_; }
    [[nodiscard]] double GetZoom() const { return zoom_; }
    [[nodiscard]] double GetYViewMin() const { return viewMin_; }
    [[nodiscard]] double GetYViewMax() const { return viewMax_; }
    // The last polyline of a wave (client pixels), as painted.
    [[nodiscard]] const std::vector<WavePoint>& GetWavePoints(int wave) const;
    [[nodiscard]] bool HasLayers() const { return !canvas_.isNull(); }
    [[nodiscard]] bool IsTooltipShown() const { return tooltipShown_; }
    [[nodiscard]] QString GetTooltipText() const { return tooltipText_; }
    [[nodiscard]] QString GetLabelText(std::int64_t id) const;
    // Draws into the canvas what a paint would, without showing it (benchmarks, tests).
    const QImage& RenderCanvas();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct WaveSlot {
        bool visible = true;
        std::uint32_t color = 0;
        CWaveBuffer buffer;
        std::vector<WavePoint> points;
        bool tooltip = true;
        QString tooltipPattern;
    };
    struct TextLabel {
        std::int64_t id = 0;
        QString text;
        WaveRect rect; // empty: the whole plot
        int fontSize = 0;
        int hAlign = 0;
        int vAlign = 0;
        std::uint32_t argb = 0xFF000000;
    };
    struct AxisBand {
        bool shown = false;
        int size = 0;
        QMargins margins;
        WaveRect rect;
        bool redraw = false;
        CCoordinate coordinate;
    };

    void Render();
    void RenderPlotLayer();
    void RenderWaves(QPainter& painter);
    void RenderAxes(QPainter& painter);
    void DrawLabels(QPainter& painter);
    void DrawDefaultWave(const WaveSlot& slot);
    void BuildPolylines(double& overallMin, double& overallMax);
    void DrawGridLine(bool horizontal, int at, int dash, std::uint32_t pixel);
    void SetYView(double min, double max);
    void SetYAxesRange(double min, double max);
    void SetXAxesRange(double min, double max);
    void SetAllFrameCounts(int n);
    void MarkAllAxes();
    // Thread-safe repaint request; at most one is outstanding.
    void RequestRepaint();
    void ScheduleRepaint();
    [[nodiscard]] bool MouseEnabled() const { return yZoom_ || yPan_ || xZoom_ || xPan_; }
    [[nodiscard]] bool AnyVisibleWave() const;
    [[nodiscard]] bool AnyTooltipWave() const;
    [[nodiscard]] double XUnitsPerSample() const;
    void ShowTooltipAtLastPoint();
    void HideTooltip();
    void WheelStep(const QPoint& at, bool away, bool control);

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    int waveCount_ = 1;
    std::unique_ptr<std::array<WaveSlot, kMaxWaves>> slots_;
    int lineWidth_ = 3;
    bool smooth_ = false;
    bool plotFill_ = true;
    std::uint32_t plotColor_ = 0;
    std::uint32_t windowPixel_ = 0;
    bool grid_ = true;
    int gridRows_ = 16;
    int gridDash_ = 1;
    std::uint32_t gridPixel_ = 0x00005F20;
    std::uint32_t centrePixel_ = 0xFFFF0000;
    WaveRect plot_;
    double cellWidth_ = 8.0;
    double cellHeight_ = 8.0;
    double xMin_ = 0.0;
    double xMax_ = 63.0;
    int pointCount_ = 64;
    int offset_ = 0;
    double zoom_ = 1.0;
    double defaultYMin_ = -32767.0;
    double defaultYMax_ = 32767.0;
    double yRangeMin_ = -32767.0;
    double yRangeMax_ = 32767.0;
    double viewMin_ = -32767.0;
    double viewMax_ = 32767.0;
    bool autoScale_ = false;
    bool xRangeFollowsPoints_ = true;
    bool defaultYLinked_ = true;
    std::array<AxisBand, 4> axes_;
    bool yZoom_ = false;
    bool yPan_ = false;
    bool xZoom_ = false;
    bool xPan_ = false;
    QPoint anchor_;
    bool dragging_ = false;
    bool firstMoveY_ = false;
    bool firstMoveX_ = false;
    int wheelRemainder_ = 0;
    QImage plotLayer_;
    QImage canvas_;
    std::atomic<bool> plotRedraw_{false}; // the live page marks it from its reader
    mutable CBaseLock labelLock_;
    std::vector<TextLabel> labels_;
    bool tooltipEnabled_ = false;
    bool tooltipShown_ = false;
    QString tooltipText_;
    QPoint lastPoint_{-1, -1};
    IWaveWndDrawListener* drawListener_ = nullptr;
    std::intptr_t drawCookie_ = 0;
    IWaveWndTooltipListener* tooltipListener_ = nullptr;
    std::intptr_t tooltipCookie_ = 0;
    std::atomic<bool> repaintPending_{false};
    QElapsedTimer sinceLastPaint_;
    QTimer frameTimer_;
    std::vector<RasterPoint> scratch_; // reused by every paint
    CPolylineRaster raster_;
};
