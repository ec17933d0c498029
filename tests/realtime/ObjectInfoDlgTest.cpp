// The real-time page against the simulated module over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>

#include <pugixml.hpp>

#include "app/AppConfig.h"
#include "app/AppPaths.h"
#include "app/Texts.h"
#include "device/radar/VORA_DataProcess.h"
#include "params/RadarOperatorConfig.h"
#include "realtime/ObjectInfoDlg.h"
#include "realtime/PresenceHistory.h"
#include "realtime/SensingGeneratorDlg.h"
#include "sim/SimulatedModulePort.h"
#include "support/DeviceHandle.h"
#include "support/WaitFor.h"

using vestrel::sim::CommandFault;
using vestrel::sim::CSimulatedModulePort;
using vestrel::sim::ReportContent;
using vestrel::sim::StreamMode;

namespace {

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
        // Settings go to a directory of the test's own, starting without a file.
        ASSERT_TRUE(settingsDir_.isValid());
        SetAppBaseDirectory(settingsDir_.path().toStdString());
        LoadAppConfig();
        ASSERT_TRUE(sim_.IsRunning()) << sim_.ErrorText();
        ASSERT_TRUE(handle_.Connect(sim_.PortNumber()));
        // As connecting leaves it: data-transfer mode, out of command mode.
        (void)VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(handle_);
        (void)VORA_Interface_RadarDevice_StopCmdMode(handle_);
        record_.GateMax = 15;
        page_ = std::make_unique<CObjectInfoDlg>(handle_, &record_);
        page_->resize(1020, 648);
    }
    void TearDown() override {
        page_.reset();
        SetAppBaseDirectory({});
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

    QTemporaryDir settingsDir_;
    CSimulatedModulePort sim_;
    testsupport::DeviceHandle handle_;
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

TEST_F(ObjectInfoPageTest, EveryControlIsNamed) {
    page_->show();
    for (const char* name : {"ctl3001", "ctl3002", "ctl3003", "ctl3004"})
        EXPECT_FALSE(page_->findChild<QWidget*>(name)->accessibleName().isEmpty()) << name;
    EXPECT_EQ(page_->EnergyPlot()->accessibleName(), "FP VS RG");
    EXPECT_EQ(page_->RangePlot()->accessibleName(), "Range VS Time");
    EXPECT_TRUE(
        page_->findChild<QWidget*>("ctl3001")->accessibleName().startsWith("Target Range:"));
}

TEST_F(ObjectInfoPageTest, GatesBeyondTheMaximumAreShaded) {
    VORA_Interface_RadarDevice_Serial_Close(handle_); // no stream: thresholds only
    record_.GateMax = 7;
    for (double& t : record_.TriggerThreshold)
        t = 90.0;
    for (double& t : record_.HoldThreshold)
        t = 90.0;
    page_->show();
    page_->RefreshThresholds();
    CWaveWnd* energy = page_->EnergyPlot();
    const QRect plot = energy->GetPlotRect();
    ASSERT_GT(plot.width(), 100);
    const int middle = plot.x() + plot.width() / 2;
    const int y = plot.y() + plot.height() / 2; // 50 dB: no curve, no label there
    // Black plot; 0xBF of grey 0xC3 over it gives 0x92.
    EXPECT_EQ(PixelAt(energy, middle - 2, y), 0x000000u);
    EXPECT_EQ(PixelAt(energy, middle + 1, y), 0x929292u);
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
    const std::vector<double> history = page_->RangePlot()->GetWaveBuffer(0).GetHistory();
    EXPECT_TRUE(std::all_of(history.begin(), history.end(), [](double v) { return v == 0.0; }));
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

TEST_F(ObjectInfoPageTest, SettingsAreWrittenWholeWhenThePageGoes) {
    page_.reset();
    pugi::xml_document written;
    ASSERT_TRUE(written.load_file(GetAppConfigPath().c_str()));
    const pugi::xml_node section = written.child("AppConfig").child("ObjectInfo");
    ASSERT_TRUE(section);
    const char* keys[] = {"EnergyWaveWnd_ActiveColor",     "EnergyWaveWnd_InactiveColor",
                          "EnergyWaveWnd_ValueAutoScale",  "EnergyWaveWnd_ValueDisplayMax",
                          "EnergyWaveWnd_WaveLineWidth",   "DistanceWaveWnd_ActiveColor",
                          "DistanceWaveWnd_InactiveColor", "DistanceWaveWnd_WaveLineWidth",
                          "TriggerSensingScale",           "HoldSensingScale"};
    int index = 0;
    for (const pugi::xml_attribute& attribute : section.attributes())
        EXPECT_STREQ(attribute.name(), keys[index++]);
    EXPECT_EQ(index, 10);
    EXPECT_STREQ(section.attribute("EnergyWaveWnd_InactiveColor").value(), "0xbfc3c3c3");
}

TEST_F(ObjectInfoPageTest, RescalingWhileStreamingClearsThePlotsAndKeepsTheThresholds) {
    for (int gate = 0; gate < 16; ++gate)
        record_.TriggerThreshold[gate] = 20.0 + gate;
    ShowAndStream();
    ASSERT_TRUE(WaitForNextReports());
    // Hold the module's reports while looking at the cleared plot, so none lands in between.
    sim_.Model().SetReportRate(0);
    WaitFor([] { return false; }, 300); // reports already on the way are drawn first
    page_->SetScale(1.5);
    const auto energy = page_->EnergyPlot()->GetWaveBuffer(0).GetHistory();
    EXPECT_TRUE(std::all_of(energy.begin(), energy.end(), [](double v) { return v == 0.0; }));
    const auto trigger = page_->EnergyPlot()->GetWaveBuffer(1).GetHistory();
    ASSERT_GE(trigger.size(), 16u);
    EXPECT_DOUBLE_EQ(trigger[trigger.size() - 16], 20.0);
    EXPECT_DOUBLE_EQ(trigger.back(), 35.0);
    EXPECT_TRUE(page_->IsRunning());
    // And the energy curve comes back with the next reports.
    sim_.Model().SetReportRate(10);
    EXPECT_TRUE(WaitFor([&] {
        const auto e = page_->EnergyPlot()->GetWaveBuffer(0).GetHistory();
        return std::any_of(e.begin(), e.end(), [](double v) { return v != 0.0; });
    }));
}

namespace {

// Runs `drive` on the generator dialog once it is up (it runs modally inside the click).
void DriveGenerator(const std::function<void(CSensingGeneratorDlg*)>& drive) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, drive] {
        if (auto* dialog = qobject_cast<CSensingGeneratorDlg*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            drive(dialog);
        }
    });
    timer->start();
}

} // namespace

TEST_F(ObjectInfoPageTest, GeneratorClosedBeforeStartOnlyRestartsTheStream) {
    ShowAndStream();
    sim_.Model().ClearReceivedCommands();
    bool streamingWhileOpen = true;
    DriveGenerator([&](CSensingGeneratorDlg* dialog) {
        streamingWhileOpen = sim_.Model().Streaming();
        EXPECT_FALSE(page_->IsRunning());
        dialog->close();
    });
    page_->findChild<QPushButton*>("ctl3004")->click();
    EXPECT_FALSE(streamingWhileOpen) << "the stream is stopped while the dialog is up";
    EXPECT_EQ(sim_.Model().CountReceived(0x0008), 0) << "the record is not read";
    EXPECT_TRUE(page_->IsRunning());
    EXPECT_TRUE(WaitFor([&] { return sim_.Model().Streaming(); }));
}

// A generation that fails ends with the cancel result: the page keeps its
// record, does not ask the module for it, and streams again.
TEST_F(ObjectInfoPageTest, FailedGenerationLeavesTheRecordAndRestartsTheStream) {
    const struct {
        const char* name;
        CommandFault fault;
    } cases[] = {
        {"3-byte progress", {.kind = CommandFault::Kind::WrongLength, .length = 3}},
        {"non-zero status", {.kind = CommandFault::Kind::Status, .status = 5}},
        {"no answer", {.kind = CommandFault::Kind::NoAck}},
    };
    sim_.Model().SetGenerationDuration(60000);
    ShowAndStream();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim_.Model().ClearFaults();
        sim_.Model().InjectFault(0x000A, c.fault);
        sim_.Model().ClearReceivedCommands();
        record_.TriggerThreshold[3] = 12.5;
        QString status;
        int result = -1;
        DriveGenerator([&](CSensingGeneratorDlg* dialog) {
            dialog->findChild<QPushButton*>("ctl3510")->click();
            auto* poll = new QTimer(dialog);
            QObject::connect(poll, &QTimer::timeout, [&, dialog, poll] {
                if (dialog->IsGenerating() ||
                    !dialog->findChild<QPushButton*>("ctl1")->isVisibleTo(dialog))
                    return;
                poll->stop();
                status = dialog->findChild<QLabel*>("ctl3511")->text();
                dialog->findChild<QPushButton*>("ctl1")->click();
                result = dialog->result();
            });
            poll->start(10);
        });
        page_->findChild<QPushButton*>("ctl3004")->click();

        EXPECT_EQ(status, "Generate failed.");
        EXPECT_EQ(result, CSensingGeneratorDlg::kResultCancel);
        EXPECT_EQ(sim_.Model().CountReceived(0x0008), 0) << "the record is not read";
        EXPECT_EQ(record_.TriggerThreshold[3], 12.5);
        EXPECT_TRUE(page_->IsRunning());
        EXPECT_TRUE(WaitFor([&] { return sim_.Model().Streaming(); }));
    }
}

TEST_F(ObjectInfoPageTest, GeneratedThresholdsReachTheRecordAndThePlot) {
    sim_.Model().SetGenerationDuration(0);
    ShowAndStream();
    DriveGenerator([&](CSensingGeneratorDlg* dialog) {
        dialog->findChild<QPushButton*>("ctl3510")->click();
        auto* poll = new QTimer(dialog);
        QObject::connect(poll, &QTimer::timeout, [dialog] {
            if (!dialog->IsGenerating() && dialog->Succeeded())
                dialog->findChild<QPushButton*>("ctl1")->click();
        });
        poll->start(10);
    });
    page_->findChild<QPushButton*>("ctl3004")->click();

    for (int gate = 0; gate < 16; ++gate) {
        const std::uint32_t raw = sim_.Model().Parameter(static_cast<std::uint16_t>(16 + gate));
        EXPECT_NEAR(record_.TriggerThreshold[gate], RadarRawToDb(raw), 1e-9) << gate;
    }
    const auto trigger = page_->EnergyPlot()->GetWaveBuffer(1).GetHistory();
    ASSERT_GE(trigger.size(), 16u);
    EXPECT_DOUBLE_EQ(trigger.back(), record_.TriggerThreshold[15]);
    EXPECT_TRUE(page_->IsRunning());
    EXPECT_TRUE(WaitFor([&] { return sim_.Model().Streaming(); }));
}

// The last bottom label ("15", "T0") is right-aligned at the band's end; it
// keeps a few pixels from the plot's edge at every scale, where the frame would
// clip its last glyph.
TEST_F(ObjectInfoPageTest, LastBottomLabelsStayClearOfTheRightEdge) {
    for (double scale : {1.0, 2.25}) {
        page_->SetScale(scale);
        for (CWaveWnd* plot : {page_->EnergyPlot(), page_->RangePlot()}) {
            SCOPED_TRACE(plot->accessibleName().toStdString() + " at " + std::to_string(scale));
            const std::vector<CoordinateCell> cells = plot->GetAxis(AXIS_BOTTOM).Layout();
            ASSERT_FALSE(cells.empty());
            EXPECT_EQ(cells.back().text, plot == page_->RangePlot() ? "T0" : "15");
            EXPECT_LE(cells.back().rect.right, plot->width() - 3);
        }
    }
}
