// The real-time page against the simulated module over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

#include "app/AppConfig.h"
#include "app/Texts.h"
#include "device/radar/VORA_DataProcess.h"
#include "params/RadarOperatorConfig.h"
#include "realtime/ObjectInfoDlg.h"
#include "realtime/PresenceHistory.h"
#include "sim/SimulatedModulePort.h"

using vestrel::sim::CSimulatedModulePort;
using vestrel::sim::ReportContent;
using vestrel::sim::StreamMode;

namespace {

bool WaitFor(const std::function<bool()>& condition, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

ReportContent Report(std::uint8_t state, std::uint16_t rangeCm, std::uint16_t energy = 1000) {
    ReportContent report;
    report.state = state;
    report.rangeCm = rangeCm;
    report.energies.fill(energy);
    return report;
}

// Pixel of a rendered plot, without alpha.
QRgb PixelAt(CWaveWnd* plot, int x, int y) {
    return plot->RenderCanvas().pixel(x, y) & 0xFFFFFF;
}

class ObjectInfoPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ApplyLanguage("ENG");
        ASSERT_TRUE(sim_.IsRunning()) << sim_.ErrorText();
        handle_ = VORA_Interface_RadarDevice_Serial_Create();
        ASSERT_NE(VORA_Interface_RadarDevice_Serial_OpenByPortNum(handle_, sim_.PortNumber(),
                                                                  115200, 2, 1, 1, 1, 150),
                  0);
        // As connecting leaves it: data-transfer mode, out of command mode.
        (void)VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(handle_);
        (void)VORA_Interface_RadarDevice_StopCmdMode(handle_);
        record_.GateMax = 15;
        page_ = std::make_unique<CObjectInfoDlg>(handle_, &record_);
        page_->resize(1020, 648);
    }
    void TearDown() override {
        page_.reset();
        if (handle_ != nullptr) {
            VORA_Interface_RadarDevice_Serial_Close(handle_);
            VORA_Interface_RadarDevice_Serial_Destroy(handle_);
        }
    }

    QString TargetText() const { return page_->findChild<QLabel*>("ctl3002")->text(); }
    bool LampOn() const { return page_->findChild<QPushButton*>("ctl3001")->isChecked(); }
    QString StartText() const { return page_->findChild<QPushButton*>("ctl3003")->text(); }
    // Shows the page (which starts the stream) and waits for the module to stream.
    void ShowAndStream() {
        page_->show();
        ASSERT_TRUE(page_->IsRunning());
        ASSERT_TRUE(WaitFor([&] { return sim_.Model().Streaming(); }));
    }
    // Waits until the page has taken a report that the module sent after this call.
    bool WaitForNextReports(int reports = 2) {
        const auto sent = sim_.Model().ReportsSent();
        return WaitFor([&] { return sim_.Model().ReportsSent() >= sent + reports; }) &&
               WaitFor([] { return true; }, 150); // and its notice has been handled
    }

    CSimulatedModulePort sim_;
    RadarDeviceHandle handle_ = nullptr;
    RadarOperatorConfig record_;
    std::unique_ptr<CObjectInfoDlg> page_;
};

} // namespace

TEST_F(ObjectInfoPageTest, TargetTextAndLampFollowTheState) {
    ShowAndStream();
    EXPECT_EQ(StartText(), "Pause");

    sim_.Model().ForceReport(Report(1, 235));
    ASSERT_TRUE(WaitFor([&] { return TargetText().startsWith("Target Range: 2.35 m"); }))
        << TargetText().toStdString();
    EXPECT_EQ(TargetText(), "Target Range: 2.35 m\r\n\r\n");
    EXPECT_TRUE(LampOn());

    sim_.Model().ForceReport(Report(0, 235));
    ASSERT_TRUE(WaitFor([&] { return TargetText().startsWith("Target Range: 0.00 m"); }));
    EXPECT_FALSE(LampOn());

    // Another state: no text, the lamp stays as it was, and a band is still marked.
    sim_.Model().ForceReport(Report(1, 120));
    ASSERT_TRUE(WaitFor([&] { return LampOn(); }));
    sim_.Model().ForceReport(Report(2, 300));
    ASSERT_TRUE(WaitFor([&] { return TargetText().isEmpty(); }));
    EXPECT_TRUE(LampOn());
    ASSERT_TRUE(WaitForNextReports());
    EXPECT_EQ(page_->PresenceSnapshot().back(), 2);

    // The band reaches the plot's right edge in the presence colour (0xC3C3C3 by default).
    CWaveWnd* range = page_->RangePlot();
    range->RedrawPlotBackground();
    const QRect plot = range->GetPlotRect();
    EXPECT_EQ(PixelAt(range, plot.right() - 1, plot.top() + 2), 0xC3C3C3u);
}

TEST_F(ObjectInfoPageTest, GatesBeyondTheMaximumAreShaded) {
    record_.GateMax = 7;
    CWaveWnd* energy = page_->EnergyPlot();
    page_->show();
    const QRect plot = energy->GetPlotRect();
    ASSERT_GT(plot.width(), 100);
    const int middle = plot.x() + plot.width() / 2;
    const int y = plot.y() + plot.height() - 3;
    // Black plot; 0xBF of grey 0xC3 over it gives 0x92.
    EXPECT_EQ(PixelAt(energy, middle - 3, y), 0x000000u);
    EXPECT_EQ(PixelAt(energy, middle + 3, y), 0x929292u);
    EXPECT_EQ(PixelAt(energy, plot.x() + plot.width() - 2, y), 0x929292u);

    record_.GateMax = 15;
    EXPECT_EQ(PixelAt(energy, plot.x() + plot.width() - 2, y), 0x000000u);
}

TEST_F(ObjectInfoPageTest, HidingReturnsTheModuleToDataTransferBeforeItCompletes) {
    ShowAndStream();
    page_->hide();
    // No waiting: the reader has left report mode before hide() returned.
    EXPECT_EQ(sim_.Model().CurrentStreamMode(), StreamMode::DataTransfer);
    EXPECT_FALSE(sim_.Model().InCommandMode());
    EXPECT_FALSE(page_->IsRunning());
    EXPECT_EQ(StartText(), "Start");
    EXPECT_EQ(TargetText(), "Target Range: 0.00 m\r\n\r\n");
}

TEST_F(ObjectInfoPageTest, PauseThenStartBeginsEmptyWithoutBands) {
    sim_.Model().ForceReport(Report(1, 300));
    ShowAndStream();
    ASSERT_TRUE(WaitForNextReports(3));
    ASSERT_TRUE(page_->RangePlot()->GetWaveBuffer(0).HasHistory());

    QPushButton* startPause = page_->findChild<QPushButton*>("ctl3003");
    startPause->click(); // Pause
    EXPECT_FALSE(page_->IsRunning());
    EXPECT_EQ(page_->PresenceSnapshot(), PresenceStates{});
    EXPECT_TRUE(page_->RangePlot()->GetWaveBuffer(0).HasHistory()) << "kept while stopped";

    sim_.Model().ForceReport(Report(0, 0));
    startPause->click(); // Start
    EXPECT_TRUE(page_->IsRunning());
    EXPECT_FALSE(page_->RangePlot()->GetWaveBuffer(0).HasHistory());
    CWaveWnd* range = page_->RangePlot();
    const QRect plot = range->GetPlotRect();
    EXPECT_EQ(PixelAt(range, plot.right() - 1, plot.top() + 2), 0x000000u) << "old bands gone";
}

TEST_F(ObjectInfoPageTest, TooltipTexts) {
    struct Case {
        int wave, sample;
        double value;
        std::intptr_t cookie;
        const char* text;
    };
    const Case cases[] = {
        {0, 570, 2.35, 1, "No. 0.1s Range: 2.4 m"},
        {0, 0, 1.0, 1, "No. 60.0s Range: 1.0 m"},
        {0, 3, 41.26, 0, "RG No.3 Target Energy: 41.3 dB"},
        {1, 15, 30.0, 0, "RG No.15 Trigger Energy: 30.0 dB"},
        {2, 0, 28.0, 0, "RG No.0 Hold Energy: 28.0 dB"},
        {3, 0, 28.0, 0, ""},
        {1, 0, 1.0, 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(page_->GetTooltipText(c.wave, c.sample, 0, 571, c.value, c.cookie), c.text);
}

TEST_F(ObjectInfoPageTest, StopReturnsWithinOneReadTimeoutWhenNothingArrives) {
    ShowAndStream();
    sim_.Model().SetReportRate(0); // the reader now waits out its read time-outs
    WaitFor([] { return false; }, 300);
    const auto start = std::chrono::steady_clock::now();
    page_->StopRealtime();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // One 2000 ms read time-out plus the switch back to data-transfer mode.
    EXPECT_LT(elapsed, std::chrono::milliseconds(2000 + 1000));
    EXPECT_EQ(sim_.Model().CurrentStreamMode(), StreamMode::DataTransfer);
}

TEST_F(ObjectInfoPageTest, VanishingModuleEndsTheStreamAndStopsThePage) {
    ShowAndStream();
    ASSERT_TRUE(WaitForNextReports());
    sim_.Vanish();
    ASSERT_TRUE(WaitFor([&] { return !page_->IsRunning(); }, 8000));
    EXPECT_EQ(StartText(), "Start");
    EXPECT_FALSE(LampOn());
    page_->hide(); // and nothing hangs afterwards
}

TEST_F(ObjectInfoPageTest, StartWhileDisconnectedExplainsAndStaysStopped) {
    VORA_Interface_RadarDevice_Serial_Close(handle_);
    page_->show(); // shown while disconnected: starts nothing, says nothing
    EXPECT_FALSE(page_->IsRunning());
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown = box->windowTitle() + "|" + box->text();
            box->close();
        }
    });
    page_->findChild<QPushButton*>("ctl3003")->click();
    EXPECT_EQ(shown, "Error|Device Not Connected");
    EXPECT_FALSE(page_->IsRunning());
}
