#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>

#include "app/AppConfig.h"
#include "app/AppPaths.h"
#include "app/Texts.h"
#include "controls/DigitalEdit.h"
#include "params/ParamSettingDlg.h"
#include "params/RadarParamFile.h"
#include "sim/SimulatedModulePort.h"
#include "support/DeviceHandle.h"

namespace fs = std::filesystem;
using vestrel::sim::CommandFault;
using vestrel::sim::CSimulatedModulePort;

namespace {

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Runs `action`, answering the first modal message box it opens.
std::optional<SeenBox> AnswerMessageBox(const std::function<void()>& action) {
    std::optional<SeenBox> seen;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen = SeenBox{box->windowTitle(), box->text(), box->icon()};
            box->done(QMessageBox::Ok);
        }
    });
    poll.start();
    action();
    poll.stop();
    return seen;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The page hosted as the main window hosts it, over a simulated module, with
// its settings in a private directory.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vestrel-page-" + std::to_string(QCoreApplication::applicationPid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        SetAppBaseDirectory(dir_.string());
        LoadAppConfig();
        ApplyLanguage(QStringLiteral("ENG"));
        ASSERT_TRUE(sim_.IsRunning()) << sim_.ErrorText();
    }
    void TearDown() override {
        page_.reset();
        host_.reset();
        SetAppBaseDirectory({});
        fs::remove_all(dir_);
    }
    void Connect() {
        ASSERT_TRUE(handle_.Connect(sim_.PortNumber()));
        VORA_Interface_RadarDevice_StopCmdMode(handle_);
    }
    void Open() {
        host_ = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(host_.get());
        page_ = std::make_unique<CParamSettingDlg>(handle_, &record_, host_.get());
        layout->addWidget(page_.get());
        host_->show();
        host_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(host_.get()));
    }
    QString Text(int id) const { return page_->Field(id)->text(); }
    QPushButton* Button(int id) const {
        return page_->findChild<QPushButton*>(QStringLiteral("ctl%1").arg(id));
    }
    std::optional<SeenBox> Click(int id) {
        auto box = AnswerMessageBox([&] { QTest::mouseClick(Button(id), Qt::LeftButton); });
        // The window manager would hand the activation back after the box.
        host_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(host_.get()));
        return box;
    }

    fs::path dir_;
    CSimulatedModulePort sim_;
    testsupport::DeviceHandle handle_;
    RadarOperatorConfig record_;
    std::unique_ptr<QWidget> host_;
    std::unique_ptr<CParamSettingDlg> page_;
};

} // namespace

TEST_F(PageTest, SettingsSectionIsReadAtStartAndWrittenAtTheEnd) {
    XMLNode section = GetAppConfig().GetChild("ParamSetting");
    section.SetAttributeText("gatemax", "9");
    section.SetAttributeText("TriggerGate3Threshold", "42.5");
    Open();
    EXPECT_EQ(record_.GateMax, 9u);
    EXPECT_EQ(Text(2002), QStringLiteral("9"));
    EXPECT_EQ(Text(2013), QStringLiteral("42.5"));
    EXPECT_EQ(Text(2003), QStringLiteral("10"));
    EXPECT_EQ(Text(2045), QStringLiteral("30"));

    record_.HoldThreshold[15] = 33.333;
    page_.reset();
    const std::string text = ReadFile(fs::path(GetAppConfigPath()));
    EXPECT_NE(text.find("<ParamSetting gatemax=\"9\""), std::string::npos) << text;
    EXPECT_NE(text.find("HoldGate15Threshold=\"33.33\""), std::string::npos) << text;
}

TEST_F(PageTest, ReadShowsTheModuleValuesAndSetWritesTheEditedOnes) {
    Connect();
    const auto& ids = RadarParamIds();
    sim_.Model().SetParameter(ids[0], 6);
    sim_.Model().SetParameter(ids[1], 25);
    sim_.Model().SetParameter(ids[2], 1000);       // 30 dB
    sim_.Model().SetParameter(ids[3], 2153);       // 33.33 dB
    sim_.Model().SetParameter(ids[33], 100000000); // 80 dB
    Open();

    auto box = Click(2070);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, QStringLiteral("Success"));
    EXPECT_EQ(box->text, QStringLiteral("Succeed reading parameters"));
    EXPECT_EQ(box->icon, QMessageBox::Information);
    EXPECT_EQ(Text(2002), QStringLiteral("6"));
    EXPECT_EQ(Text(2003), QStringLiteral("25"));
    EXPECT_EQ(Text(2010), QStringLiteral("30"));
    EXPECT_EQ(Text(2011), QStringLiteral("33.33"));
    EXPECT_EQ(Text(2045), QStringLiteral("80"));

    // Edit with real keys; leaving a field hands the value to the record at once.
    CDigitalEdit* trigger5 = page_->Field(2015);
    trigger5->setFocus(Qt::OtherFocusReason);
    trigger5->selectAll();
    QTest::keyClicks(trigger5, "45");
    EXPECT_EQ(record_.TriggerThreshold[5], 30.0) << "not before the field is left";
    QTest::keyClick(trigger5, Qt::Key_Tab);
    EXPECT_EQ(record_.TriggerThreshold[5], 45.0);
    CDigitalEdit* gateMax = page_->Field(2002);
    gateMax->setFocus(Qt::OtherFocusReason);
    gateMax->selectAll();
    QTest::keyClicks(gateMax, "16"); // corrected to 15 when left
    box = Click(2071);
    EXPECT_EQ(record_.GateMax, 15u);
    EXPECT_EQ(Text(2002), QStringLiteral("15"));
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, QStringLiteral("Success"));
    EXPECT_EQ(box->text, QStringLiteral("Succeed setting parameters"));
    EXPECT_EQ(sim_.Model().Parameter(1), 15u);
    EXPECT_EQ(sim_.Model().Parameter(16 + 5), 31623u); // 10^4.5
    EXPECT_EQ(sim_.Model().Parameter(16 + 1), 2153u);
    EXPECT_FALSE(sim_.Model().InCommandMode());
}

TEST_F(PageTest, EachFailureHasItsMessage) {
    struct Case {
        const char* what;
        bool connect;
        std::uint16_t faultyCommand; // 0: none
        int button;
        const char* text;
    };
    const Case cases[] = {
        {"read, not connected", false, 0, 2070, "Device Not Connected"},
        {"set, not connected", false, 0, 2071, "Device Not Connected"},
        {"read refused", true, 0x08, 2070, "Failed to read parameters"},
        {"set refused", true, 0x07, 2071, "Failed to set parameters"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.connect && VORA_Interface_RadarDevice_IsConnected(handle_) == 0)
            Connect();
        if (!c.connect)
            VORA_Interface_RadarDevice_Serial_Close(handle_);
        sim_.Model().ClearFaults();
        if (c.faultyCommand != 0)
            sim_.Model().InjectFault(c.faultyCommand,
                                     CommandFault{.kind = CommandFault::Kind::Status});
        if (page_ == nullptr)
            Open();
        const QString before = Text(2010);
        const auto box = Click(c.button);
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(box->caption, QStringLiteral("Error"));
        EXPECT_EQ(box->text, QString::fromUtf8(c.text));
        EXPECT_EQ(box->icon, QMessageBox::Critical);
        EXPECT_EQ(Text(2010), before);
    }
}

TEST_F(PageTest, LoadAndSaveRememberTheFileName) {
    Open();
    EXPECT_EQ(
        page_->ProposedConfigPath(),
        QString::fromStdString(
            (fs::path(GetAppFolderPath(AppFolder::Config)) / "RadarParamConfig.xml").string()));
    const fs::path elsewhere = dir_ / "lab";
    fs::create_directories(elsewhere);
    const fs::path lab = elsewhere / "Lab1.xml";
    std::ofstream(lab) << "<RadarParam GateMax=\"7\" HoldGate2Threshold=\"12.25\"/>";

    page_->LoadConfigFile(QString::fromStdString(lab.string()));
    EXPECT_EQ(record_.GateMax, 7u);
    EXPECT_EQ(Text(2002), QStringLiteral("7"));
    EXPECT_EQ(Text(2032), QStringLiteral("12.25"));
    EXPECT_EQ(Text(2010), QStringLiteral("30")) << "a partial file changes only what it names";
    EXPECT_EQ(page_->ProposedConfigPath(),
              QString::fromStdString(
                  (fs::path(GetAppFolderPath(AppFolder::Config)) / "Lab1.xml").string()));
    EXPECT_NE(ReadFile(GetAppConfigPath()).find("RadarConfigFile=\"Lab1.xml\""), std::string::npos);

    record_.TriggerThreshold[0] = 33.333;
    const fs::path saved = elsewhere / "Lab2.xml";
    page_->SaveConfigFile(QString::fromStdString(saved.string()));
    EXPECT_NE(ReadFile(saved).find("TriggerGate0Threshold=\"33.33\""), std::string::npos);
    EXPECT_NE(ReadFile(GetAppConfigPath()).find("RadarConfigFile=\"Lab2.xml\""), std::string::npos);

    // A file that is not a parameter file changes nothing and shows nothing.
    const fs::path junk = elsewhere / "junk.xml";
    std::ofstream(junk) << "this is not XML";
    const auto box =
        AnswerMessageBox([&] { page_->LoadConfigFile(QString::fromStdString(junk.string())); });
    EXPECT_FALSE(box.has_value());
    EXPECT_EQ(record_.GateMax, 7u);
}

TEST_F(PageTest, FileDialogProposesTheLastFileAndCancelChangesNothing) {
    GetAppConfig().SetAttributeText("RadarConfigFile", "Bench.xml");
    Open();
    for (int id : {2072, 2073}) {
        SCOPED_TRACE(id);
        QStringList filters;
        QStringList proposed;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                filters = dialog->nameFilters();
                proposed = dialog->selectedFiles();
                mode = dialog->acceptMode();
                dialog->reject();
            }
        });
        poll.start();
        QTest::mouseClick(Button(id), Qt::LeftButton);
        poll.stop();
        EXPECT_EQ(filters.value(0), QStringLiteral("Radar Parameter Config File(*.xml)"));
        EXPECT_EQ(filters.size(), 2);
        ASSERT_EQ(proposed.size(), 1);
        EXPECT_TRUE(proposed.front().endsWith(QStringLiteral("/Bench.xml")))
            << proposed.front().toStdString();
        EXPECT_EQ(mode, id == 2072 ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    }
    EXPECT_EQ(GetAppConfig().GetText("RadarConfigFile").value_or(""), "Bench.xml");
    EXPECT_FALSE(fs::exists(fs::path(GetAppFolderPath(AppFolder::Config)) / "Bench.xml"));
}

TEST_F(PageTest, LayoutAndAccessibleNamesInBothLanguages) {
    Open();
    EXPECT_EQ(page_->objectName(), QStringLiteral("CParamSettingDlg"));
    EXPECT_EQ(page_->Field(2002)->accessibleName(), QStringLiteral("Max. Range Gate"));
    EXPECT_EQ(page_->Field(2003)->accessibleName(), QStringLiteral("Absence Report Delay (sec.)"));
    EXPECT_EQ(page_->Field(2010)->accessibleName(), QStringLiteral("Trigger Threshold 00"));
    EXPECT_EQ(page_->Field(2045)->accessibleName(), QStringLiteral("Hold Threshold 15"));
    EXPECT_EQ(Button(2073)->accessibleName(), QStringLiteral("Save Config File"));

    // Four columns of four: gates 0..3 down the first column, 4..7 the next.
    for (int first : {2010, 2030}) {
        for (int gate = 0; gate < 16; ++gate) {
            const QPoint p = page_->Field(first + gate)->mapTo(page_.get(), QPoint(0, 0));
            const QPoint top = page_->Field(first + gate / 4 * 4)->mapTo(page_.get(), QPoint(0, 0));
            const QPoint left = page_->Field(first + gate % 4)->mapTo(page_.get(), QPoint(0, 0));
            EXPECT_EQ(p.x(), top.x()) << gate;
            EXPECT_EQ(p.y(), left.y()) << gate;
            if (gate % 4 != 0) {
                EXPECT_GT(p.y(),
                          page_->Field(first + gate - 1)->mapTo(page_.get(), QPoint(0, 0)).y());
            }
            if (gate >= 4) {
                EXPECT_GT(p.x(),
                          page_->Field(first + gate - 4)->mapTo(page_.get(), QPoint(0, 0)).x());
            }
            const auto* label =
                page_->findChild<QLabel*>(QStringLiteral("lbl%1").arg(first + gate));
            EXPECT_EQ(label->text(), QStringLiteral("%1").arg(gate, 2, 10, QLatin1Char('0')));
        }
    }
    // The buttons form one row below the groups, in order.
    int x = -1;
    for (int id : {2070, 2071, 2072, 2073}) {
        const QPoint p = Button(id)->mapTo(page_.get(), QPoint(0, 0));
        EXPECT_GT(p.x(), x);
        EXPECT_GT(p.y(), page_->Field(2033)->mapTo(page_.get(), QPoint(0, 0)).y());
        x = p.x();
    }

    page_.reset();
    ApplyLanguage(QStringLiteral("CHS"));
    Open();
    EXPECT_EQ(page_->Field(2010)->accessibleName(), QStringLiteral("触发门限 00"));
    EXPECT_EQ(page_->Field(2031)->accessibleName(), QStringLiteral("保持门限 01"));
    EXPECT_EQ(page_->Field(2002)->accessibleName(), QStringLiteral("最大距离门"));
    EXPECT_EQ(Button(2070)->text(), QStringLiteral("读取传感器设置"));
    const auto box = Click(2070);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->caption, QStringLiteral("错误"));
    EXPECT_EQ(box->text, QStringLiteral("设备未连接"));
    ApplyLanguage(QStringLiteral("ENG"));
}

TEST_F(PageTest, ShowingThePageShowsTheRecordAndEnterOrEscapeNeverClose) {
    Open();
    page_->hide();
    record_.GateMax = 4;
    record_.HoldThreshold[0] = 2.5;
    page_->show();
    EXPECT_EQ(Text(2002), QStringLiteral("4"));
    EXPECT_EQ(Text(2030), QStringLiteral("2.5"));
    QTest::keyClick(page_.get(), Qt::Key_Escape);
    QTest::keyClick(page_.get(), Qt::Key_Return);
    EXPECT_TRUE(page_->isVisible());
}
