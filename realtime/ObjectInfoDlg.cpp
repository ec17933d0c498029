#include "realtime/ObjectInfoDlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPainter>

#include <algorithm>
#include <cstdio>

#include "app/AppConfig.h"
#include "app/Texts.h"
#include "device/common/DbgOutput.h"
#include "params/OperatorConfigTransfer.h"
#include "params/RadarOperatorConfig.h"
#include "realtime/ObjectInfoLogic.h"
#include "realtime/ReportMode.h"
#include "realtime/ScreenSaverInhibitor.h"
#include "realtime/SensingGeneratorDlg.h"
#include "ui_ObjectInfoDlg.h"

namespace {

// The reader's notices to the window thread.
const auto kReportArrivedEvent = static_cast<QEvent::Type>(QEvent::User + 0x100);
const auto kReaderEndedEvent = static_cast<QEvent::Type>(QEvent::User + 0x101);

class ReaderEndedEvent : public QEvent {
public:
    explicit ReaderEndedEvent(int run) : QEvent(kReaderEndedEvent), run_(run) {}
    [[nodiscard]] int Run() const { return run_; }

private:
    int run_;
};

constexpr std::intptr_t kEnergyCookie = 0;
constexpr std::intptr_t kRangeCookie = 1;
constexpr int kGateCount = 16;
constexpr std::uint32_t kWindowPixel = 0x2A323C;
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr double kRangeMaxMeters = 11.2;

QString Format(int id, auto... args) {
    return QString::asprintf(LoadStringText(id).toUtf8().constData(), args...);
}

// Settings hold colours with an alpha byte that the plot colours do not use.
std::uint32_t RgbOf(std::uint32_t value) {
    return value & 0x00FFFFFF;
}

} // namespace

CObjectInfoDlg::CObjectInfoDlg(RadarDeviceHandle handle, RadarOperatorConfig* record,
                               QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::CObjectInfoDlg>()), handle_(handle),
      record_(record) {
    ui_->setupUi(this);
    energyPlot_ = new CWaveWnd;
    energyPlot_->Attach(ui_->ctl3010);
    rangePlot_ = new CWaveWnd;
    rangePlot_->Attach(ui_->ctl3011);
    awake_ = new CScreenSaverInhibitor(QStringLiteral("Showing live radar reports"), this);

    XMLNode section = GetAppConfig().GetChild("ObjectInfo");
    ReadObjectInfoSettings(section, settings_);

    ui_->ctl3001->SetIndicatorSkin(Scaled(12));
    ui_->ctl3001->SetCheck(0);
    ui_->ctl3002->SetLabelStyle(nullptr, Scaled(12));
    ConfigurePlots();

    connect(ui_->ctl3003, &QPushButton::clicked, this, &CObjectInfoDlg::OnStartPauseClicked);
    connect(ui_->ctl3004, &QPushButton::clicked, this,
            &CObjectInfoDlg::OnGenerateThresholdsClicked);

    ui_->ctl3003->setAccessibleName(ui_->ctl3003->text());
    ui_->ctl3004->setAccessibleName(ui_->ctl3004->text());
    ui_->ctl3002->setAccessibleName(ui_->ctl3002->text());
    ui_->ctl3001->setAccessibleName(ui_->ctl3002->text());
}

CObjectInfoDlg::~CObjectInfoDlg() {
    StopRealtime();
    XMLNode section = GetAppConfig().GetChild("ObjectInfo");
    WriteObjectInfoSettings(section, settings_);
    (void)SaveAppConfig();
}

void CObjectInfoDlg::SetScale(double scale) {
    scale_ = scale > 0.0 ? scale : 1.0;
    ConfigurePlots();
}

void CObjectInfoDlg::RefreshThresholds() {
    if (record_ != nullptr) {
        std::copy_n(record_->TriggerThreshold, kGateCount, trigger_);
        std::copy_n(record_->HoldThreshold, kGateCount, hold_);
    }
    ApplyThresholds();
    rangePlot_->ClearWaves();
}

void CObjectInfoDlg::ApplyThresholds() {
    energyPlot_->ClearWaves();
    energyPlot_->AddWaveData(1, trigger_, kGateCount);
    energyPlot_->AddWaveData(2, hold_, kGateCount);
}

void CObjectInfoDlg::StartRealtime() {
    if (VORA_Interface_RadarDevice_IsConnected(handle_) == 0) {
        QMessageBox::critical(this, LoadStringText(10000), LoadStringText(10103));
        return;
    }
    if (running_ != 0)
        return;
    DbgOutputA(2, "Start Realtime data show.\r\n");
    running_ = 1;
    ui_->ctl3003->setText(LoadStringText(10004));
    ui_->ctl3003->setAccessibleName(ui_->ctl3003->text());
    lastState_ = 0;
    lastRange_ = 0;
    ApplyThresholds();
    rangePlot_->ClearWaves();
    // The history was zeroed at the last stop; take the old bands off the plot too.
    history_.SetChanged(true);
    rangePlot_->RedrawPlotBackground();
    stop_ = 0;
    readerRun_ = ++run_;
    (void)reader_.StartThread("ReadData", this, nullptr, 0, 0x400000, 0);
    UpdateTargetDisplay();
    awake_->Inhibit();
}

void CObjectInfoDlg::StopRealtime() {
    stop_ = 1;
    reader_.StopThread();
    running_ = 0;
    ui_->ctl3003->setText(LoadStringText(10003));
    ui_->ctl3003->setAccessibleName(ui_->ctl3003->text());
    lastState_ = 0;
    lastRange_ = 0;
    UpdateTargetDisplay();
    history_.Clear();
    awake_->UnInhibit();
    DbgOutputA(2, "Stop Realtime data show.\r\n");
}

unsigned int CObjectInfoDlg::ThreadFunc(void* /*param*/) {
    const int run = readerRun_;
    ReportStreamHooks hooks;
    hooks.onRecord = [this](const ReportRecord& record) { OnReport(record); };
    if (RunLiveReportStream(handle_, stop_, hooks) == ReportStreamEnd::SourceEnded) {
        // The port went away: the window thread stops the page.
        DbgOutputA(2, "Realtime data: the device stopped answering.\r\n");
        QCoreApplication::postEvent(this, new ReaderEndedEvent(run));
    }
    return 0;
}

void CObjectInfoDlg::OnReport(const ReportRecord& record) {
    lastState_ = record.state;
    lastRange_ = record.range;
    energyPlot_->AddWaveData(0, record.energy.data(), kGateCount);
    history_.Push(record.state);
    const double meters = record.range / 100.0;
    rangePlot_->AddWaveData(0, &meters, 1);
    QCoreApplication::postEvent(this, new QEvent(kReportArrivedEvent));
}

void CObjectInfoDlg::customEvent(QEvent* event) {
    if (event->type() == kReportArrivedEvent) {
        rangePlot_->RedrawPlotBackground();
        UpdateTargetDisplay();
    } else if (event->type() == kReaderEndedEvent) {
        OnReaderEnded(static_cast<ReaderEndedEvent*>(event)->Run());
    } else {
        QWidget::customEvent(event);
    }
}

void CObjectInfoDlg::OnReaderEnded(int run) {
    if (run == run_ && running_ != 0)
        StopRealtime();
}

void CObjectInfoDlg::UpdateTargetDisplay() {
    const TargetDisplay display = DecideTargetDisplay(lastState_, lastRange_);
    const QString text = display.showRange ? Format(10300, display.meters) : QString();
    ui_->ctl3002->setText(text);
    // The lamp is named by the text beside it; an emptied text keeps the last name.
    if (!text.isEmpty()) {
        ui_->ctl3002->setAccessibleName(text.trimmed());
        ui_->ctl3001->setAccessibleName(text.trimmed());
    }
    if (display.lamp == LampChange::On)
        ui_->ctl3001->SetCheck(1);
    else if (display.lamp == LampChange::Off)
        ui_->ctl3001->SetCheck(0);
}

void CObjectInfoDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (VORA_Interface_RadarDevice_IsConnected(handle_) != 0) {
        RefreshThresholds();
        StartRealtime();
    } else {
        StopRealtime();
    }
}

void CObjectInfoDlg::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    StopRealtime();
}

void CObjectInfoDlg::OnStartPauseClicked() {
    if (running_ != 0)
        StopRealtime();
    else
        StartRealtime();
}

void CObjectInfoDlg::OnGenerateThresholdsClicked() {
    StopRealtime();
    CSensingGeneratorDlg generator(handle_, 4.0, 1.5, this);
    if (generator.exec() == CSensingGeneratorDlg::kResultConfirm) {
        (void)VORA_Interface_RadarDevice_StartCmdMode(handle_, RADAR_PROTOCOL_VERSION_2, 150);
        if (record_ != nullptr)
            (void)ReadSetting_RadarOperatorConfig(handle_, record_);
        (void)VORA_Interface_RadarDevice_StopCmdMode(handle_);
        RefreshThresholds();
    }
    StartRealtime();
}

QMargins CObjectInfoDlg::EndLabelMargins() const {
    // The last tick label is right-aligned at the band's end; without a few
    // pixels to spare the frame clips its last glyph ("T0", "15").
    return {0, 0, std::max(3, Scaled(6)), 0};
}

QRect CObjectInfoDlg::InsetFarEdges(const QRect& plotRect) const {
    return plotRect.adjusted(0, 0, -std::max(3, Scaled(6)), -std::max(1, Scaled(2)));
}

void CObjectInfoDlg::ConfigurePlots() {
    ConfigureEnergyPlot();
    ConfigureRangePlot();
}

void CObjectInfoDlg::ConfigureEnergyPlot() {
    CWaveWnd& plot = *energyPlot_;
    // The plot fills its placeholder; take the size now, also while the page is hidden.
    plot.setGeometry(ui_->ctl3010->rect());
    plot.setAccessibleName(LoadStringText(10310));
    plot.SetTooltipListener(this, kEnergyCookie);
    plot.SetDrawListener(this, kEnergyCookie);
    plot.SetWindowBkColor(kWindowPixel);
    plot.SetWaveCount(3);
    plot.SetWaveColor(0, 0x00FF00); // energy, green
    plot.SetWaveColor(1, 0x0000FF); // trigger threshold, red
    plot.SetWaveColor(2, 0x00FFFF); // hold threshold, yellow
    plot.SetPlotBkColor(RgbOf(settings_.energyActiveColor));
    plot.SetWaveLineWidth(std::max(1, Scaled(settings_.energyWaveLineWidth)));
    plot.ShowGrid(false);
    plot.SetGridStyle(1, 0xFF005F20, 0xFFFF0000);
    plot.SetDataTypeDouble();
    plot.SetAutoScale(settings_.energyValueAutoScale != 0);
    // A maximum of 0 or below would leave no value range to draw in.
    plot.SetYRange(0, settings_.energyValueDisplayMax > 0 ? settings_.energyValueDisplayMax : 100);
    plot.SetPointCount(kGateCount);
    plot.SetFrameAligned(true);
    plot.ClearWaves();
    plot.ResetFramesReceived();
    plot.SetText(0, LoadStringText(10310), Scaled(15), kWhite, 1, 0);
    plot.SetText(1, LoadStringText(10311), Scaled(10), kWhite, 0, 0);
    plot.ShowAxis(AXIS_LEFT, true, Scaled(50));
    plot.UpdateLayout();
    plot.ShowAxis(AXIS_BOTTOM, true, Scaled(24), EndLabelMargins());
    plot.UpdateLayout();
    plot.SetXAxisFontSize(Scaled(8));
    plot.SetYAxisFontSize(Scaled(8));
    plot.GetAxis(AXIS_TOP).tickCount = 7;
    plot.GetAxis(AXIS_BOTTOM).tickCount = 7;
    plot.SetXRange(0, 15, -1);
    plot.GetAxis(AXIS_LEFT).tickCount = 5;
    plot.GetAxis(AXIS_RIGHT).tickCount = 5;
    plot.Initialize();
    plot.RecreateCanvas();

    // Texts at the far edge keep clear of the frame, which would clip their last glyph.
    const QRect farTexts = InsetFarEdges(plot.GetPlotRect());
    plot.SetText(2, LoadStringText(10312), Scaled(10), kWhite, 2, 2, &farTexts);
    QRect legend = farTexts;
    legend.setTop(legend.top() + Scaled(10));
    plot.SetText(3, LoadStringText(10313), Scaled(10), 0xFF00FF00, 2, 0, &legend);
    legend.setTop(legend.top() + Scaled(20));
    plot.SetText(4, LoadStringText(10314), Scaled(10), 0xFFFF0000, 2, 0, &legend);
    legend.setTop(legend.top() + Scaled(20));
    plot.SetText(5, LoadStringText(10315), Scaled(10), 0xFFFFFF00, 2, 0, &legend);

    plot.AddWaveData(1, trigger_, kGateCount);
    plot.AddWaveData(2, hold_, kGateCount);
}

void CObjectInfoDlg::ConfigureRangePlot() {
    CWaveWnd& plot = *rangePlot_;
    plot.setGeometry(ui_->ctl3011->rect());
    plot.setAccessibleName(LoadStringText(10330));
    plot.SetTooltipListener(this, kRangeCookie);
    plot.SetDrawListener(this, kRangeCookie);
    plot.SetWindowBkColor(kWindowPixel);
    plot.SetWaveCount(1);
    plot.SetWaveColor(0, 0x00FF00);
    plot.SetPlotBkColor(RgbOf(settings_.distanceInactiveColor));
    plot.SetWaveLineWidth(std::max(1, Scaled(settings_.distanceWaveLineWidth)));
    plot.ShowGrid(false);
    plot.SetGridStyle(1, 0xFF005F20, 0xFFFF0000);
    plot.SetDataTypeDouble();
    plot.SetYRange(0, kRangeMaxMeters);
    plot.SetPointCount(kPresenceHistoryLength);
    plot.SetFrameAligned(false);
    plot.ClearWaves();
    plot.ResetFramesReceived();
    plot.SetText(0, LoadStringText(10330), Scaled(15), kWhite, 1, 0);
    plot.SetText(1, LoadStringText(10331), Scaled(10), kWhite, 0, 0);
    plot.ShowAxis(AXIS_LEFT, true, Scaled(50));
    plot.UpdateLayout();
    plot.SetYAxisFontSize(Scaled(8));
    plot.GetAxis(AXIS_LEFT).tickCount = 5;
    plot.GetAxis(AXIS_RIGHT).tickCount = 5;
    plot.LinkDefaultYRange(false);
    plot.SetDefaultYRange(0, kRangeMaxMeters);
    plot.ShowAxis(AXIS_BOTTOM, true, Scaled(24), EndLabelMargins());
    plot.UpdateLayout();
    plot.SetXAxisFontSize(Scaled(8));
    plot.SetXRange(60, 0, -1);
    for (int side : {AXIS_TOP, AXIS_BOTTOM}) {
        CCoordinate& axis = plot.GetAxis(side);
        axis.ClearLabels();
        for (int tick = 0; tick <= 5; ++tick) {
            char label[16];
            std::snprintf(label, sizeof label, "T0-%d", 60 - 10 * tick);
            axis.AddLabel(tick, label);
        }
        axis.AddLabel(6, "T0");
        axis.tickCount = 7;
        plot.RedrawAxis(side);
    }
    plot.Initialize();
    plot.RecreateCanvas();
    const QRect farTexts = InsetFarEdges(plot.GetPlotRect());
    plot.SetText(2, LoadStringText(10332), Scaled(10), kWhite, 2, 2, &farTexts);
    plot.ClearWaves();
}

QString CObjectInfoDlg::GetTooltipText(int wave, int sample, int /*offset*/, int /*pointCount*/,
                                       double value, std::intptr_t cookie) {
    if (cookie == kEnergyCookie && wave >= 0 && wave <= 2)
        return Format(10316 + wave, sample, value);
    if (cookie == kRangeCookie && wave == 0)
        return Format(10333, RangeSampleAgeSeconds(sample), value);
    return {};
}

void CObjectInfoDlg::OnDrawPlotBackground(QPainter* painter, QImage* /*layer*/, uchar* /*pixels*/,
                                          int /*width*/, int /*height*/, int /*stride*/,
                                          const QRect& rect, std::intptr_t cookie) {
    // Drawn at every rebuild of the layer, not only after a new report, so a
    // rebuild for another reason never wipes the bands while streaming.
    if (cookie != kRangeCookie || painter == nullptr)
        return;
    const QColor fill = QColor::fromRgba(settings_.distanceActiveColor);
    const int right = rect.x() + rect.width();
    for (const PresenceBand& band : ComputePresenceBands(history_.Snapshot(), rect.x(), right))
        painter->fillRect(QRect(band.left, rect.y(), band.right - band.left, rect.height()), fill);
    history_.SetChanged(false);
}

void CObjectInfoDlg::OnDrawOverlay(QPainter* painter, QImage* /*canvas*/, uchar* /*pixels*/,
                                   int /*clientWidth*/, int /*clientHeight*/, int /*stride*/,
                                   const QRect& plot, std::intptr_t cookie) {
    if (cookie != kEnergyCookie || painter == nullptr)
        return;
    const std::uint32_t gateMax = record_ != nullptr ? record_->GateMax : 15;
    const int right = plot.x() + plot.width();
    const int x0 = GateShadeLeft(plot.x(), right, gateMax);
    if (x0 < right)
        painter->fillRect(QRect(x0, plot.y(), right - x0, plot.height()),
                          QColor::fromRgba(settings_.energyInactiveColor));
}
