// Two plots set up the way the live page sets them up, fed with made-up reports, for
// looking at the plot window by eye: wave_demo [--grab file.png] [--smooth] [--grid]
#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "device/common/Conversion.h"
#include "wave/WaveWnd.h"

namespace {

void ConfigureEnergy(CWaveWnd& w, bool smooth, bool grid) {
    w.SetWindowBkColor(0x2A323C);
    w.SetWaveCount(3);
    w.SetWaveColor(0, 0x00FF00);
    w.SetWaveColor(1, 0x0000FF);
    w.SetWaveColor(2, 0x00FFFF);
    w.SetPlotBkColor(0x000000);
    w.SetWaveLineWidth(3);
    w.SetSmoothCurve(smooth);
    w.ShowGrid(grid);
    w.SetGridStyle(1, 0xFF005F20, 0xFFFF0000);
    w.SetDataTypeDouble();
    w.SetAutoScale(false);
    w.SetYRange(0, 100);
    w.SetPointCount(16);
    w.SetFrameAligned(true);
    w.ClearWaves();
    w.ResetFramesReceived();
    w.SetText(0, QStringLiteral("FP VS RG"), 15, 0xFFFFFFFF, 1, 0);
    w.SetText(1, QStringLiteral("Fraction Power (dB)"), 10, 0xFFFFFFFF, 0, 0);
    w.SetText(2, QStringLiteral("0.7 m/Range Gate"), 10, 0xFFFFFFFF, 2, 2);
    w.ShowAxis(AXIS_LEFT, true, 50);
    w.UpdateLayout();
    w.ShowAxis(AXIS_BOTTOM, true, 24);
    w.UpdateLayout();
    w.SetXAxisFontSize(8);
    w.SetYAxisFontSize(8);
    w.GetAxis(AXIS_TOP).tickCount = 7;
    w.GetAxis(AXIS_BOTTOM).tickCount = 7;
    w.SetXRange(0, 15, -1);
    w.GetAxis(AXIS_LEFT).tickCount = 5;
    w.GetAxis(AXIS_RIGHT).tickCount = 5;
    w.Initialize();
    w.RecreateCanvas();
    QRect legend = w.GetPlotRect();
    legend.setTop(legend.top() + 10);
    w.SetText(3, QStringLiteral("--Energy Value"), 10, 0xFF00FF00, 2, 0, &legend);
    legend.setTop(legend.top() + 20);
    w.SetText(4, QStringLiteral("--Trigger Threshold"), 10, 0xFFFF0000, 2, 0, &legend);
    legend.setTop(legend.top() + 20);
    w.SetText(5, QStringLiteral("--Hold Threshold"), 10, 0xFFFFFF00, 2, 0, &legend);
    std::vector<double> trigger(16), hold(16);
    for (int g = 0; g < 16; ++g) {
        trigger[g] = 60.0 - 1.5 * g;
        hold[g] = 50.0 - 1.5 * g;
    }
    w.AddWaveData(1, trigger.data(), 16);
    w.AddWaveData(2, hold.data(), 16);
}

void ConfigureRange(CWaveWnd& w, bool smooth) {
    w.SetWindowBkColor(0x2A323C);
    w.SetWaveCount(1);
    w.SetWaveColor(0, 0x00FF00);
    w.SetPlotBkColor(0x000000);
    w.SetWaveLineWidth(3);
    w.SetSmoothCurve(smooth);
    w.ShowGrid(false);
    w.SetDataTypeDouble();
    w.SetYRange(0, 11.2);
    w.SetPointCount(571);
    w.SetFrameAligned(false);
    w.ClearWaves();
    w.SetText(0, QStringLiteral("Range VS Time"), 15, 0xFFFFFFFF, 1, 0);
    w.SetText(1, QStringLiteral("Range (m)"), 10, 0xFFFFFFFF, 0, 0);
    w.SetText(2, QStringLiteral("Time (sec.)"), 10, 0xFFFFFFFF, 2, 2);
    w.ShowAxis(AXIS_LEFT, true, 50);
    w.UpdateLayout();
    w.SetYAxisFontSize(8);
    w.GetAxis(AXIS_LEFT).tickCount = 5;
    w.GetAxis(AXIS_RIGHT).tickCount = 5;
    w.LinkDefaultYRange(false);
    w.SetDefaultYRange(0, 11.2);
    w.ShowAxis(AXIS_BOTTOM, true, 24);
    w.UpdateLayout();
    w.SetXAxisFontSize(8);
    w.SetXRange(60, 0, -1);
    for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
        CCoordinate& c = w.GetAxis(side);
        c.ClearLabels();
        for (int i = 0; i < 6; ++i)
            c.AddLabel(i, "T0-" + std::to_string(60 - 10 * i));
        c.AddLabel(6, "T0");
        c.tickCount = 7;
    }
    w.Initialize();
    w.RecreateCanvas();
    w.ClearWaves();
    w.EnableMouseZoom(true, true, true, true);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UseClassicNumericLocale(); // QApplication set LC_NUMERIC from the user's locale
    QString grab;
    bool smooth = false, grid = false, hover = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--grab") == 0 && i + 1 < argc)
            grab = QString::fromLocal8Bit(argv[++i]);
        else if (std::strcmp(argv[i], "--smooth") == 0)
            smooth = true;
        else if (std::strcmp(argv[i], "--grid") == 0)
            grid = true;
        else if (std::strcmp(argv[i], "--hover") == 0) // the pointer over the energy plot
            hover = true;
    }

    QWidget window;
    window.setWindowTitle(QStringLiteral("Plot window demo"));
    auto* layout = new QVBoxLayout(&window);
    auto* energyHolder = new QWidget(&window);
    auto* rangeHolder = new QWidget(&window);
    layout->addWidget(energyHolder, 1);
    layout->addWidget(rangeHolder, 1);
    window.resize(900, 700);
    CWaveWnd energy, range;
    energy.Attach(energyHolder);
    range.Attach(rangeHolder);
    window.show();
    QApplication::processEvents();
    ConfigureEnergy(energy, smooth, grid);
    ConfigureRange(range, smooth);

    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 3.0);
    int report = 0;
    const auto step = [&] {
        const double target = 2.0 + 1.5 * std::sin(report * 0.03) + 3.0;
        const bool present = std::sin(report * 0.02) > -0.3;
        std::vector<double> db(16);
        for (int g = 0; g < 16; ++g) {
            const double peak = present ? 45.0 * std::exp(-std::pow(g - target / 0.7, 2) / 3.0) : 0;
            db[g] = std::max(0.0, 22.0 - g + peak + noise(rng));
        }
        energy.AddWaveData(0, db.data(), 16);
        const double metres = present ? target : 0.0;
        range.AddWaveData(0, &metres, 1);
        ++report;
    };
    for (int i = 0; i < 600; ++i) // a minute of history up front
        step();
    QTimer feed;
    QObject::connect(&feed, &QTimer::timeout, step);
    feed.start(100);

    if (hover) {
        QTimer::singleShot(500, [&] {
            const QRect plot = energy.GetPlotRect();
            QCursor::setPos(energy.mapToGlobal(plot.topLeft() +
                                               QPoint(plot.width() / 3, plot.height() * 3 / 4)));
        });
    }
    if (!grab.isEmpty()) {
        QTimer::singleShot(800, [&] {
            window.grab().save(grab);
            QApplication::quit();
        });
    }
    return QApplication::exec();
}
