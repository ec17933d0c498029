// The main window against the simulated module over a real pseudo-terminal.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <vector>

#include "app/AppConfig.h"
#include "app/AppPaths.h"
#include "app/Texts.h"
#include "app/VORA_Vestrel_ToolDlg.h"
#include "controls/DigitalEdit.h"
#include "device/common/SerialPortEnum.h"
#include "device/radar/CommandFrame.h"
#include "params/RadarOperatorConfig.h"
#include "realtime/SensingGeneratorDlg.h"
#include "sim/SimulatedModulePort.h"
#include "support/TempDir.h"

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

namespace {

using vestrel::sim::CommandFault;
using vestrel::sim::CSimulatedModulePort;
using vestrel::sim::StreamMode;

struct SeenMessage {
    QString caption, text, detail;
    QMessageBox::Icon icon;
    bool onTop;
};

// Answers every message box the window shows while it lives, noting what it said.
class MessageCatcher {
public:
    MessageCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            seen.push_back({box->windowTitle(), box->text(), box->detailedText(), box->icon(),
                            box->windowFlags().testFlag(Qt::WindowStaysOnTopHint)});
            box->done(QMessageBox::Ok);
        });
        timer_.start(5);
    }
    std::vector<SeenMessage> seen;

private:
    QTimer timer_;
};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppBaseDirectory(dir.path());
        // Only the simulators of this test are listed, never one the user runs:
        // the window would connect to it.
        SetVirtualPortDirectory(dir.path());
        LoadAppConfig();
        ApplyLanguage(QStringLiteral("ENG"));
    }
    void TearDown() override { SetAppBaseDirectory({}); }

    template <typename T> T* Ctl(CVORA_Vestrel_ToolDlg& w, int id) {
        T* c = w.findChild<T*>(QStringLiteral("ctl%1").arg(id));
        EXPECT_NE(c, nullptr) << id;
        return c;
    }
    void Click(CVORA_Vestrel_ToolDlg& w, int id) { Ctl<QPushButton>(w, id)->click(); }

    TempDir dir;
};

} // namespace

TEST_F(MainWindowTest, ConnectShowsVersionAndParametersAndDisconnectSetsFunctionMode) {
    CSimulatedModulePort sim;
    ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
    sim.Model().SetParameter(1, 6); // maximum range gate
    sim.Model().SetParameter(4, 25);
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;

    // The simulated module is listed first and chosen.
    EXPECT_EQ(Ctl<QComboBox>(w, 1101)->itemText(0), QString::fromStdString(sim.PortName()));
    EXPECT_EQ(w.SelectedPort(), sim.PortNumber());
    EXPECT_EQ(w.FirmwarePage()->GetPortNum(), sim.PortNumber());
    EXPECT_EQ(w.FirmwarePage()->GetBaudRate(), 115200);
    EXPECT_TRUE(Ctl<QLabel>(w, 1104)->isHidden());

    Click(w, 1103);
    EXPECT_TRUE(messages.seen.empty());
    ASSERT_NE(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    EXPECT_EQ(Ctl<QPushButton>(w, 1103)->text(), QStringLiteral("Disconn."));
    EXPECT_FALSE(Ctl<QLabel>(w, 1104)->isHidden());
    EXPECT_EQ(Ctl<QLabel>(w, 1104)->text(),
              QString::fromStdString("Version\uFF1A" + sim.Model().Version() +
                                     "\nSN:" + sim.Model().SerialNumber()));
    EXPECT_EQ(w.Config().GateMax, 6u);
    EXPECT_EQ(w.ParamPage()->Field(2002)->text(), QStringLiteral("6"));
    EXPECT_EQ(w.ParamPage()->Field(2003)->text(), QStringLiteral("25"));
    // Left in data-transfer mode, out of command mode.
    EXPECT_EQ(sim.Model().CurrentStreamMode(), StreamMode::DataTransfer);
    EXPECT_FALSE(sim.Model().InCommandMode());

    Click(w, 1103);
    EXPECT_TRUE(messages.seen.empty());
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    EXPECT_EQ(sim.Model().FunctionMode(), 100u);
    EXPECT_EQ(Ctl<QPushButton>(w, 1103)->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(Ctl<QLabel>(w, 1104)->isHidden());
}

TEST_F(MainWindowTest, FailuresShowTheirMessagesAndTheSettingsAreSavedAfterEveryClick) {
    CSimulatedModulePort sim;
    ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;

    // No port at all.
    {
        QComboBox* ports = Ctl<QComboBox>(w, 1101);
        ports->clear();
        w.OnPortChanged();
        EXPECT_EQ(w.SelectedPort(), 0);
        Ctl<QLineEdit>(w, 1102)->setText(QStringLiteral("abc"));
        EXPECT_EQ(w.BaudRate(), 0);
        std::filesystem::remove(GetAppConfigPath());
        Click(w, 1103);
        ASSERT_EQ(messages.seen.size(), 1u);
        EXPECT_EQ(messages.seen[0].text, QStringLiteral("No Device Detected"));
        EXPECT_EQ(messages.seen[0].caption, QStringLiteral("Error"));
        EXPECT_EQ(messages.seen[0].icon, QMessageBox::Critical);
        EXPECT_TRUE(messages.seen[0].onTop);
        // Rewritten after the failed click, letters saved as 0.
        LoadAppConfig();
        EXPECT_EQ(GetAppConfig().GetText("BaudRate").value_or(""), "0");
    }
    // A port that cannot be opened: the reason goes into the details.
    {
        Ctl<QLineEdit>(w, 1102)->setText(QStringLiteral("115200"));
        w.OnRefresh();
        ASSERT_EQ(w.SelectedPort(), sim.PortNumber());
        sim.Vanish();
        Click(w, 1103);
        ASSERT_EQ(messages.seen.size(), 2u);
        EXPECT_EQ(messages.seen[1].text, QStringLiteral("Failed to open device"));
        EXPECT_TRUE(messages.seen[1].onTop);
        EXPECT_FALSE(messages.seen[1].detail.isEmpty());
        EXPECT_EQ(Ctl<QPushButton>(w, 1103)->text(), QStringLiteral("Connect"));
        EXPECT_TRUE(Ctl<QLabel>(w, 1104)->isHidden());
    }
}

TEST_F(MainWindowTest, RefusedDataTransferModeLeavesTheWindowConnected) {
    CSimulatedModulePort sim;
    ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
    sim.Model().InjectFault(radar::kCmdSetDataTransferMode,
                            {.kind = CommandFault::Kind::Status, .status = 1});
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;
    Click(w, 1103);
    ASSERT_EQ(messages.seen.size(), 1u);
    EXPECT_EQ(messages.seen[0].text, QStringLiteral("Failed to set data transfer mode "));
    EXPECT_FALSE(messages.seen[0].onTop);
    EXPECT_NE(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    EXPECT_EQ(Ctl<QPushButton>(w, 1103)->text(), QStringLiteral("Disconn."));
}

TEST_F(MainWindowTest, FirmwarePageDisconnectsAndOtherPagesDoNotReconnect) {
    CSimulatedModulePort sim;
    ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;
    EXPECT_TRUE(w.ParamPage()->isVisibleTo(&w));
    Click(w, 1103);
    ASSERT_NE(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);

    Click(w, 1190);
    EXPECT_TRUE(w.FirmwarePage()->isVisibleTo(&w));
    EXPECT_FALSE(w.ParamPage()->isVisibleTo(&w));
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    EXPECT_EQ(sim.Model().FunctionMode(), 100u);
    EXPECT_EQ(Ctl<QPushButton>(w, 1103)->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(Ctl<QLabel>(w, 1104)->isHidden());

    Click(w, 1188);
    EXPECT_TRUE(w.RealtimePage()->isVisibleTo(&w));
    EXPECT_FALSE(w.FirmwarePage()->isVisibleTo(&w));
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    EXPECT_TRUE(messages.seen.empty());
}

TEST_F(MainWindowTest, DisconnectStopsTheRealtimeStreamFirst) {
    CSimulatedModulePort sim;
    ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;
    w.show();
    Click(w, 1103);
    ASSERT_NE(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    Click(w, 1188);
    for (int i = 0; i < 200 && sim.Model().CurrentStreamMode() != StreamMode::Report; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    ASSERT_EQ(sim.Model().CurrentStreamMode(), StreamMode::Report);

    Click(w, 1103);
    EXPECT_TRUE(messages.seen.empty());
    EXPECT_FALSE(w.RealtimePage()->IsRunning());
    EXPECT_EQ(sim.Model().FunctionMode(), 100u);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
}

// The thresholds the module derives reach the record every page shares, so the
// parameter page shows them when it comes back.
TEST_F(MainWindowTest, GeneratedThresholdsAppearOnTheParameterPage) {
    CSimulatedModulePort sim;
    ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
    sim.Model().SetGenerationDuration(0);
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;
    w.show();
    Click(w, 1103);
    ASSERT_NE(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    const std::uint32_t before = sim.Model().Parameter(16);
    Click(w, 1188);

    // Start, then confirm once the generation has succeeded.
    QTimer drive;
    QObject::connect(&drive, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<CSensingGeneratorDlg*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        auto* start = dialog->findChild<QPushButton*>("ctl3510");
        if (start->isVisibleTo(dialog) && !dialog->IsGenerating())
            start->click();
        else if (!dialog->IsGenerating() && dialog->Succeeded())
            dialog->findChild<QPushButton*>("ctl1")->click();
    });
    drive.start(10);
    w.RealtimePage()->findChild<QPushButton*>("ctl3004")->click();
    drive.stop();
    ASSERT_NE(sim.Model().Parameter(16), before) << "the module derived new thresholds";

    Click(w, 1187);
    for (int gate = 0; gate < 16; ++gate) {
        const double trigger =
            RadarRawToDb(sim.Model().Parameter(static_cast<std::uint16_t>(16 + gate)));
        const double hold =
            RadarRawToDb(sim.Model().Parameter(static_cast<std::uint16_t>(32 + gate)));
        EXPECT_NEAR(w.Config().TriggerThreshold[gate], trigger, 1e-9) << gate;
        EXPECT_NEAR(GetItemDouble(w.ParamPage(), 2010 + gate), trigger, 0.005) << gate;
        EXPECT_NEAR(GetItemDouble(w.ParamPage(), 2030 + gate), hold, 0.005) << gate;
    }
    EXPECT_TRUE(messages.seen.empty());
}

TEST_F(MainWindowTest, VanishedModuleShowsTheDisconnectedStateAtTheNextAction) {
    CSimulatedModulePort sim;
    ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;
    Click(w, 1103);
    ASSERT_NE(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);

    sim.Vanish();
    // A reader of the stream is the first to notice.
    std::uint8_t buf[64];
    EXPECT_LT(VORA_Interface_RadarDevice_ReadData(w.DeviceHandle(), buf, sizeof buf, 100, 0), 1);
    ASSERT_EQ(VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()), 0);
    Click(w, 1187);
    EXPECT_EQ(Ctl<QPushButton>(w, 1103)->text(), QStringLiteral("Connect"));
    EXPECT_TRUE(Ctl<QLabel>(w, 1104)->isHidden());
    EXPECT_TRUE(messages.seen.empty());
}

TEST_F(MainWindowTest, EnterAndEscapeNeverCloseOnlyTheCloseCommandDoes) {
    CVORA_Vestrel_ToolDlg w;
    MessageCatcher messages;
    w.show();
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&w, &press);
        EXPECT_TRUE(w.isVisible()) << key;
    }
    // Enter pressed the default button instead: it tried to connect.
    EXPECT_TRUE(!messages.seen.empty() ||
                VORA_Interface_RadarDevice_IsConnected(w.DeviceHandle()) != 0);
    EXPECT_TRUE(w.close());
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
}

TEST_F(MainWindowTest, ResizingScalesTheWholeWindowAndHandsTheScaleToThePages) {
    CVORA_Vestrel_ToolDlg w;
    w.show();
    const QSize designed = w.size();
    QPushButton* connectButton = Ctl<QPushButton>(w, 1103);
    const QRect rect = connectButton->geometry();
    const double points = connectButton->font().pointSizeF();

    w.resize(designed * 2);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.ScaleFactor(), 2.0);
    EXPECT_DOUBLE_EQ(w.CapturePage()->Scale(), 2.0);
    EXPECT_EQ(connectButton->geometry(), QRect(rect.topLeft() * 2, rect.size() * 2));
    EXPECT_DOUBLE_EQ(connectButton->font().pointSizeF(), points * 2);
    EXPECT_EQ(w.ParamPage()->geometry().size(), Ctl<QWidget>(w, 1200)->geometry().size());

    w.resize(designed);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(w.ScaleFactor(), 1.0);
    EXPECT_EQ(connectButton->geometry(), rect);
    EXPECT_DOUBLE_EQ(connectButton->font().pointSizeF(), points);
}

TEST_F(MainWindowTest, TitleBaudRateAndAccessibleNamesInBothLanguages) {
    GetAppConfig().SetAttributeText("BaudRate", "256000");
    for (const char* language : {"ENG", "CHS"}) {
        ApplyLanguage(QString::fromLatin1(language));
        CVORA_Vestrel_ToolDlg w;
        EXPECT_EQ(w.windowTitle(), QStringLiteral("VORA_Vestrel_Tool(v%1)").arg(VESTREL_VERSION));
        EXPECT_EQ(w.BaudRate(), 256000);
        EXPECT_EQ(Ctl<QLineEdit>(w, 1102)->text(), QStringLiteral("256000"));
        const bool chinese = std::string(language) == "CHS";
        EXPECT_EQ(Ctl<QPushButton>(w, 1190)->text(),
                  chinese ? QStringLiteral("更新固件") : QStringLiteral("Update FW"));
        EXPECT_EQ(Ctl<QComboBox>(w, 1101)->accessibleName(),
                  chinese ? QStringLiteral("串口号") : QStringLiteral("Port No."));
        EXPECT_EQ(Ctl<QLineEdit>(w, 1102)->accessibleName(),
                  chinese ? QStringLiteral("波特率") : QStringLiteral("BaudRate"));
        EXPECT_FALSE(w.windowIcon().isNull());
    }
}
