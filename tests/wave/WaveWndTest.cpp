#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <atomic>
#include <cmath>
#include <numeric>
#include <thread>
#include <vector>

#include "device/common/Conversion.h"
#include "wave/WaveWnd.h"

namespace {

void SendMouse(CWaveWnd& w, QEvent::Type type, QPoint pos,
               Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent ev(type, QPointF(pos), QPointF(w.mapToGlobal(pos)), button,
                   type == QEvent::MouseMove ? held : held, Qt::NoModifier);
    QApplication::sendEvent(&w, &ev);
}

void Hover(CWaveWnd& w, QPoint pos) {
    QMouseEvent ev(QEvent::MouseMove, QPointF(pos), QPointF(w.mapToGlobal(pos)), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &ev);
}

// One notch: positive turns the wheel away from the user.
void Wheel(CWaveWnd& w, QPoint pos, int delta, bool control) {
    QWheelEvent ev(QPointF(pos), QPointF(w.mapToGlobal(pos)), QPoint(), QPoint(0, delta),
                   Qt::NoButton, control ? Qt::ControlModifier : Qt::NoModifier, Qt::NoScrollPhase,
                   false);
    QApplication::sendEvent(&w, &ev);
}

std::vector<double> Ramp(double from, int count) {
    std::vector<double> v(static_cast<std::size_t>(count));
    std::iota(v.begin(), v.end(), from);
    return v;
}

// A plot set up the way the pages do it: left and bottom axes, doubles, no grid.
class WaveWndTest : public ::testing::Test {
protected:
    void SetUp() override {
        wnd.resize(640, 400);
        wnd.SetWindowBkColor(0x2A323C);
        wnd.SetWaveCount(1);
        wnd.ShowGrid(false);
        wnd.SetDataTypeDouble();
        wnd.SetYRange(0, 100);
        wnd.SetPointCount(64);
        wnd.ShowAxis(AXIS_LEFT, true, 50);
        wnd.ShowAxis(AXIS_BOTTOM, true, 24);
        wnd.SetXAxisFontSize(8);
        wnd.SetYAxisFontSize(8);
        wnd.show();
        wnd.Initialize();
        QApplication::processEvents();
    }
    QPoint PlotCentre() const { return wnd.GetPlotRect().center(); }

    CWaveWnd wnd;
};

} // namespace

TEST_F(WaveWndTest, PolylinesHoldOnePointPerSampleOrPerColumn) {
    wnd.SetWaveCount(3);
    wnd.SetPointCount(16);
    for (int i = 0; i < 3; ++i) {
        const std::vector<double> v = Ramp(10.0 * i, 16);
        wnd.AddWaveData(i, v.data(), 16);
    }
    wnd.RenderCanvas();
    const QRect plot = wnd.GetPlotRect();
    for (int i = 0; i < 3; ++i) {
        const std::vector<WavePoint>& pts = wnd.GetWavePoints(i);
        ASSERT_EQ(pts.size(), 16u) << i;
        EXPECT_EQ(pts.front().x, plot.left());
        EXPECT_EQ(pts.back().x, plot.right()); // the plot's last column
    }

    // More samples than columns: one point per column.
    wnd.SetPointCount(571);
    wnd.RenderCanvas();
    ASSERT_LT(571, plot.width());
    EXPECT_EQ(wnd.GetWavePoints(0).size(), 571u);
    wnd.SetPointCount(5000);
    wnd.RenderCanvas();
    EXPECT_EQ(static_cast<int>(wnd.GetWavePoints(0).size()), plot.width());
}

TEST_F(WaveWndTest, ControlWheelZoomsXWithinItsLimits) {
    wnd.EnableMouseZoom(true, true, true, true);
    const std::vector<double> v = Ramp(0, 64);
    wnd.AddWaveData(0, v.data(), 64);
    for (int i = 0; i < 9; ++i)
        Wheel(wnd, PlotCentre(), -120, true); // towards the user: zoom out
    EXPECT_NEAR(wnd.GetZoom(), 0.134, 0.001);
    EXPECT_EQ(wnd.GetWaveBuffer(0).GetFrameCount(), 8 + 1); // ceil(1 / 0.134) + 1 frames
    Wheel(wnd, PlotCentre(), -120, true);                   // 0.107 would be below 0.125
    EXPECT_NEAR(wnd.GetZoom(), 0.134, 0.001);
    wnd.RenderCanvas(); // the whole zoomed-out history is drawable
    EXPECT_FALSE(wnd.GetWavePoints(0).empty());

    SendMouse(wnd, QEvent::MouseButtonDblClick, PlotCentre());
    EXPECT_EQ(wnd.GetZoom(), 1.0);
    for (int i = 0; i < 15; ++i)
        Wheel(wnd, PlotCentre(), 120, true);
    EXPECT_NEAR(wnd.GetZoom(), 28.4, 0.05);
    Wheel(wnd, PlotCentre(), 120, true); // 35.5 would be above 64 x 0.5
    EXPECT_NEAR(wnd.GetZoom(), 28.4, 0.05);
    EXPECT_GE(wnd.GetOffset(), 0);
    EXPECT_LT(wnd.GetOffset(), 64);
    wnd.RenderCanvas();
    EXPECT_EQ(wnd.GetWavePoints(0).size(), 2u); // trunc(64 / 28.4) samples in view
}

TEST_F(WaveWndTest, WheelZoomsYAroundTheValueUnderTheMouse) {
    wnd.EnableMouseZoom(true, false, false, false);
    const std::vector<double> v(64, 50.0);
    wnd.AddWaveData(0, v.data(), 64);
    const QRect plot = wnd.GetPlotRect();
    const QPoint at(plot.center().x(), plot.top() + plot.height() * 3 / 10);
    const auto valueAt = [&] {
        return (wnd.GetYViewMin() - wnd.GetYViewMax()) / plot.height() * (at.y() - plot.top()) +
               wnd.GetYViewMax();
    };
    const double before = valueAt();
    Wheel(wnd, at, 120, false); // away: zoom in
    EXPECT_NEAR(wnd.GetYViewMax() - wnd.GetYViewMin(), 100 / 1.25, 1e-9);
    EXPECT_NEAR(valueAt(), before, 1e-9);
    Wheel(wnd, at, -120, false);
    Wheel(wnd, at, -120, false);
    EXPECT_NEAR(wnd.GetYViewMax() - wnd.GetYViewMin(), 100 * 1.25, 1e-9);
    EXPECT_NEAR(valueAt(), before, 1e-9);
    // Control without X zoom still zooms Y; outside the plot nothing happens.
    Wheel(wnd, at, 120, true);
    EXPECT_NEAR(wnd.GetYViewMax() - wnd.GetYViewMin(), 100, 1e-9);
    Wheel(wnd, QPoint(5, 5), 120, false);
    EXPECT_NEAR(wnd.GetYViewMax() - wnd.GetYViewMin(), 100, 1e-9);
}

TEST_F(WaveWndTest, DragPansOnlyPastTheThresholdThenByEveryPixel) {
    wnd.EnableMouseZoom(false, true, false, true);
    const QRect plot = wnd.GetPlotRect();
    const double perPixel = 100.0 / plot.height();
    const QPoint start = PlotCentre();
    SendMouse(wnd, QEvent::MouseButtonPress, start);
    SendMouse(wnd, QEvent::MouseMove, start + QPoint(0, 5));
    EXPECT_EQ(wnd.GetYViewMin(), 0.0); // 5 pixels: not yet
    SendMouse(wnd, QEvent::MouseMove, start + QPoint(0, 11));
    EXPECT_NEAR(wnd.GetYViewMin(), 11 * perPixel, 1e-9); // dragging down moves the data down
    SendMouse(wnd, QEvent::MouseMove, start + QPoint(0, 13));
    EXPECT_NEAR(wnd.GetYViewMin(), 13 * perPixel, 1e-9);
    EXPECT_NEAR(wnd.GetYViewMax(), 100 + 13 * perPixel, 1e-9);
    EXPECT_EQ(wnd.GetAxis(AXIS_LEFT).minimum, wnd.GetYViewMin());

    // X: 64 samples over the client width; dragging right shows older samples.
    const int perSample = wnd.width() / 64 + 1;
    SendMouse(wnd, QEvent::MouseMove, start + QPoint(5, 13));
    EXPECT_EQ(wnd.GetOffset(), 0);
    SendMouse(wnd, QEvent::MouseMove, start + QPoint(11 + 2 * perSample, 13));
    const int n = (11 + 2 * perSample) * 64 / wnd.width();
    EXPECT_EQ(wnd.GetOffset(), n);
    EXPECT_EQ(wnd.GetAxis(AXIS_BOTTOM).minimum, -n);
    SendMouse(wnd, QEvent::MouseButtonRelease, start);

    // Without dragging, moves do nothing to the view.
    const double min = wnd.GetYViewMin();
    SendMouse(wnd, QEvent::MouseMove, start + QPoint(0, 100));
    Hover(wnd, start + QPoint(0, 100));
    EXPECT_EQ(wnd.GetYViewMin(), min);
}

TEST_F(WaveWndTest, DoubleClickRestoresZoomOffsetViewAndLabels) {
    wnd.EnableMouseZoom(true, true, true, true);
    const std::vector<double> v = Ramp(0, 64);
    wnd.AddWaveData(0, v.data(), 64);
    Wheel(wnd, PlotCentre(), 120, true);
    Wheel(wnd, PlotCentre() + QPoint(30, 0), 120, false);
    SendMouse(wnd, QEvent::MouseButtonPress, PlotCentre());
    SendMouse(wnd, QEvent::MouseMove, PlotCentre() + QPoint(40, 40));
    SendMouse(wnd, QEvent::MouseButtonRelease, PlotCentre() + QPoint(40, 40));
    ASSERT_NE(wnd.GetZoom(), 1.0);
    ASSERT_NE(wnd.GetOffset(), 0);
    ASSERT_NE(wnd.GetYViewMax(), 100.0);

    SendMouse(wnd, QEvent::MouseButtonDblClick, PlotCentre());
    EXPECT_EQ(wnd.GetZoom(), 1.0);
    EXPECT_EQ(wnd.GetOffset(), 0);
    EXPECT_EQ(wnd.GetYViewMin(), 0.0);
    EXPECT_EQ(wnd.GetYViewMax(), 100.0);
    EXPECT_EQ(wnd.GetWaveBuffer(0).GetFrameCount(), 2);
    for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
        EXPECT_EQ(wnd.GetAxis(side).minimum, 0.0);
        EXPECT_EQ(wnd.GetAxis(side).maximum, 63.0);
    }
    EXPECT_EQ(wnd.GetAxis(AXIS_LEFT).minimum, 0.0);
    EXPECT_EQ(wnd.GetAxis(AXIS_LEFT).maximum, 100.0);
    wnd.RenderCanvas();
    EXPECT_EQ(wnd.GetWavePoints(0).size(), 64u);
}

TEST_F(WaveWndTest, ZoomAndPanLabelsFollowTheXRangeUnits) {
    // A 20 s scan of 200 samples: labels stay in seconds after zooming and panning.
    wnd.EnableMouseZoom(true, true, true, true);
    wnd.SetPointCount(200);
    wnd.SetXRange(0, 20, -1);
    const std::vector<double> v = Ramp(0, 200);
    wnd.AddWaveData(0, v.data(), 200);
    wnd.AddWaveData(0, v.data(), 200);
    Wheel(wnd, PlotCentre(), 120, true);
    const CCoordinate& axis = wnd.GetAxis(AXIS_BOTTOM);
    EXPECT_NEAR(axis.maximum - axis.minimum, 20 / 1.25, 1e-9);
    EXPECT_GT(axis.minimum, 0.0);
    EXPECT_LT(axis.maximum, 20.0);
    // The sample at the left edge is the one the label names.
    wnd.RenderCanvas();
    double value = 0;
    ASSERT_TRUE(wnd.GetWaveBuffer(0).GetValueAtPixel(
        {wnd.GetPlotRect().left(), wnd.GetPlotRect().top(), wnd.GetPlotRect().right() + 1,
         wnd.GetPlotRect().bottom() + 1},
        0, 100, wnd.GetOffset(), wnd.GetZoom(), 0, nullptr, nullptr, &value, nullptr));
    EXPECT_NEAR(axis.minimum, value * 20.0 / 199.0, 1e-9);
}

TEST_F(WaveWndTest, AutoScaleCountsZeroAndSettles) {
    wnd.SetAutoScale(true);
    std::vector<double> v(64);
    for (int i = 0; i < 64; ++i)
        v[i] = 2.0 + 8.0 * (i % 2);
    wnd.AddWaveData(0, v.data(), 64);
    wnd.AddWaveData(0, v.data(), 64);
    wnd.RenderCanvas();
    EXPECT_DOUBLE_EQ(wnd.GetYViewMin(), -2.5);
    EXPECT_DOUBLE_EQ(wnd.GetYViewMax(), 12.5);
    EXPECT_DOUBLE_EQ(wnd.GetAxis(AXIS_LEFT).maximum, 12.5);
    wnd.RenderCanvas();
    EXPECT_DOUBLE_EQ(wnd.GetYViewMin(), -2.5);
    EXPECT_DOUBLE_EQ(wnd.GetYViewMax(), 12.5);
    // The polyline of that very paint already uses the new view.
    const QRect plot = wnd.GetPlotRect();
    for (const WavePoint& p : wnd.GetWavePoints(0))
        EXPECT_GT(p.y, plot.top() + plot.height() / 10);
}

TEST_F(WaveWndTest, DefaultTooltipNamesWaveSampleAndValue) {
    std::vector<double> v(64, 90.0);
    v[12] = 3.5;
    wnd.AddWaveData(0, v.data(), 64);
    const QRect plot = wnd.GetPlotRect();
    const double q = 63.0 / (plot.width() - 1);
    int x = 0;
    while (std::lround(q * x) != 12)
        ++x;
    Hover(wnd, QPoint(plot.left() + x, plot.center().y()));
    EXPECT_TRUE(wnd.IsTooltipShown());
    EXPECT_EQ(wnd.GetTooltipText(), QStringLiteral("Wave:0, Sample:12, Value:3.5"));
    Hover(wnd, QPoint(2, 2)); // outside the plot
    EXPECT_FALSE(wnd.IsTooltipShown());
}

TEST_F(WaveWndTest, TooltipListenerWordsTheNearestWave) {
    struct Listener : IWaveWndTooltipListener {
        QString GetTooltipText(int wave, int sample, int offset, int pointCount, double value,
                               std::intptr_t cookie) override {
            return QString::asprintf("%d %d %d %d %.1f %d", wave, sample, offset, pointCount, value,
                                     static_cast<int>(cookie));
        }
    } listener;
    wnd.SetTooltipListener(&listener, 1);
    wnd.SetWaveCount(2);
    const std::vector<double> low(64, 10.0), high(64, 90.0);
    wnd.AddWaveData(0, low.data(), 64);
    wnd.AddWaveData(1, high.data(), 64);
    const QRect plot = wnd.GetPlotRect();
    Hover(wnd, QPoint(plot.left(), plot.top() + 2)); // near the 90 line
    EXPECT_EQ(wnd.GetTooltipText(), QStringLiteral("1 0 0 64 90.0 1"));
    Hover(wnd, QPoint(plot.right(), plot.bottom() - 2)); // near the 10 line
    EXPECT_EQ(wnd.GetTooltipText(), QStringLiteral("0 63 0 64 10.0 1"));
}

TEST_F(WaveWndTest, ResizeToNothingFreesTheLayersAndBackRebuildsThem) {
    wnd.SetText(0, QStringLiteral("FP VS RG"), 15, 0xFFFFFFFF, 1, 0);
    QApplication::processEvents();
    wnd.resize(0, 0);
    QApplication::processEvents();
    EXPECT_FALSE(wnd.HasLayers());
    EXPECT_TRUE(wnd.RenderCanvas().isNull());
    wnd.resize(500, 300);
    QApplication::processEvents();
    ASSERT_TRUE(wnd.HasLayers());
    const QImage& canvas = wnd.RenderCanvas();
    EXPECT_EQ(canvas.size(), QSize(500, 300));
    // Every axis band was drawn again: the left band holds label pixels.
    const QRgb window = 0xFF2A323C;
    int ink = 0;
    for (int y = 0; y < 300 - 24; ++y)
        for (int x = 0; x < 50; ++x)
            ink += canvas.pixel(x, y) != window;
    EXPECT_GT(ink, 20);
}

TEST_F(WaveWndTest, PlotBackgroundGridAndLabels) {
    wnd.SetPlotBkColor(0x000000);
    wnd.ShowGrid(true);
    wnd.SetGridStyle(1, 0xFF005F20, 0xFFFF0000);
    wnd.SetWaveCount(0);
    const QImage& canvas = wnd.RenderCanvas();
    const QRect plot = wnd.GetPlotRect();
    // Centre lines in the centre pixel, dashed one on one off.
    const int cx = plot.left() + plot.width() / 2;
    EXPECT_EQ(canvas.pixel(cx, plot.top()), 0xFFFF0000);
    EXPECT_EQ(canvas.pixel(cx, plot.top() + 1), 0xFF000000);
    EXPECT_EQ(canvas.pixel(cx, plot.top() + 2), 0xFFFF0000);

    // A fitted label shrinks until it fits its rectangle.
    const QRect box(plot.left() + 10, plot.top() + 10, 60, 14);
    wnd.ShowGrid(false);
    wnd.SetText(7, QStringLiteral("a rather long label"), -40, 0xFFFFFFFF, 0, 0, &box);
    const QImage& labelled = wnd.RenderCanvas();
    int inside = 0, outside = 0;
    for (int y = plot.top(); y < plot.top() + 60; ++y)
        for (int x = plot.left(); x < plot.left() + 200; ++x) {
            const bool lit = labelled.pixel(x, y) != 0xFF000000;
            (box.contains(x, y) ? inside : outside) += lit;
        }
    EXPECT_GT(inside, 10);
    EXPECT_EQ(outside, 0);
}

TEST_F(WaveWndTest, DrawListenerGetsItsCookieAndCanTakeOverAWave) {
    struct Listener : IWaveWndDrawListener {
        int background = 0, overlay = 0, waves = 0;
        std::intptr_t cookie = -1;
        void OnDrawPlotBackground(QPainter* p, QImage*, uchar*, int w, int h, int, const QRect&,
                                  std::intptr_t c) override {
            ++background;
            cookie = c;
            p->fillRect(0, 0, w / 2, h, QColor(0, 0, 255));
        }
        bool OnDrawWave(QPainter*, QImage*, uchar*, int, int, int, const QRect&, int wave,
                        const std::vector<WavePoint>& pts, int, std::uint32_t, int,
                        std::intptr_t) override {
            ++waves;
            return wave == 0 && !pts.empty(); // wave 0 drawn here: nothing by default
        }
        void OnDrawOverlay(QPainter*, QImage*, uchar*, int, int, int, const QRect&,
                           std::intptr_t) override {
            ++overlay;
        }
    } listener;
    wnd.SetDrawListener(&listener, 1);
    wnd.SetPlotBkColor(0x000000);
    wnd.SetWaveColor(0, 0x00FF00);
    const std::vector<double> v(64, 50.0);
    wnd.AddWaveData(0, v.data(), 64);
    wnd.AddWaveData(0, v.data(), 64);
    const QImage& canvas = wnd.RenderCanvas();
    EXPECT_EQ(listener.cookie, 1);
    EXPECT_EQ(listener.background, 1);
    EXPECT_EQ(listener.waves, 1);
    EXPECT_EQ(listener.overlay, 1);
    const QRect plot = wnd.GetPlotRect();
    EXPECT_EQ(canvas.pixel(plot.left() + 2, plot.top() + 2), 0xFF0000FF);
    EXPECT_NE(canvas.pixel(plot.right() - 2, plot.center().y()), 0xFF00FF00); // not drawn
    wnd.RenderCanvas(); // the background layer is not rebuilt unless marked
    EXPECT_EQ(listener.background, 1);
    wnd.RedrawPlotBackground();
    wnd.RenderCanvas();
    EXPECT_EQ(listener.background, 2);
}

TEST_F(WaveWndTest, WorkerAppendsAskForAtMostOnePendingRepaint) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            paints += e->type() == QEvent::Paint;
            return false;
        }
    } counter;
    wnd.installEventFilter(&counter);
    struct Background : IWaveWndDrawListener {
        std::atomic<int> rebuilt{0};
        void OnDrawPlotBackground(QPainter*, QImage*, uchar*, int, int, int, const QRect&,
                                  std::intptr_t) override {
            ++rebuilt;
        }
    } background;
    wnd.SetDrawListener(&background, 1);
    QApplication::processEvents();
    background.rebuilt = 0;
    counter.paints = 0;
    // As the live page's reader does per report: a sample, then a new background.
    std::thread worker([this] {
        const double sample = 3.0;
        for (int i = 0; i < 20000; ++i) {
            wnd.AddWaveData(0, &sample, 1);
            wnd.RedrawPlotBackground();
        }
    });
    worker.join();
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    QApplication::processEvents();
    EXPECT_GE(counter.paints, 1);
    EXPECT_LE(counter.paints, 2);
    EXPECT_EQ(wnd.GetWaveBuffer(0).framesReceived, 20000u / 64u);
    EXPECT_EQ(background.rebuilt, counter.paints);
    wnd.removeEventFilter(&counter);
    wnd.SetDrawListener(nullptr, 0);
}

TEST_F(WaveWndTest, HistoryIsAllocatedOnlyForWavesInUse) {
    wnd.SetWaveCount(3);
    wnd.SetPointCount(360000);
    std::vector<double> v(360000, 1.0);
    wnd.AddWaveData(0, v.data(), 360000);
    std::size_t total = 0;
    for (int i = 0; i < CWaveWnd::kMaxWaves; ++i)
        total += wnd.GetWaveBuffer(i).GetAllocatedBytes();
    EXPECT_EQ(total, wnd.GetWaveBuffer(0).GetAllocatedBytes());
    EXPECT_LT(total, 8u * 1024 * 1024);
    wnd.RenderCanvas(); // waves 1 and 2 draw as zeros without memory of their own
    EXPECT_FALSE(wnd.GetWavePoints(1).empty());
}

TEST_F(WaveWndTest, TitleIsTheAccessibleNameAndSetUpCallsAreSafe) {
    wnd.SetText(0, QStringLiteral("Range VS Time"), 15, 0xFFFFFFFF, 1, 0);
    EXPECT_EQ(wnd.accessibleName(), QStringLiteral("Range VS Time"));
    EXPECT_EQ(wnd.GetLabelText(0), QStringLiteral("Range VS Time"));
    // Out-of-range waves and sides are ignored rather than trusted.
    const double s = 1.0;
    wnd.AddWaveData(-1, &s, 1);
    wnd.AddWaveData(CWaveWnd::kMaxWaves, &s, 1);
    wnd.SetWaveColor(999, 0);
    wnd.ShowAxis(9, true, 10);
    wnd.SetWaveCount(100000);
    EXPECT_EQ(wnd.GetWaveCount(), CWaveWnd::kMaxWaves);
    wnd.SetPointCount(0);
    EXPECT_EQ(wnd.GetPointCount(), 1);
    wnd.RenderCanvas();
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseClassicNumericLocale(); // QApplication set LC_NUMERIC from the user's locale
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
