// The threshold generator dialog against the simulated module.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <functional>

#include "app/Texts.h"
#include "device/radar/VORA_DataProcess.h"
#include "realtime/SensingGeneration.h"
#include "realtime/SensingGeneratorDlg.h"
#include "sim/SimulatedModulePort.h"
#include "support/DeviceHandle.h"
#include "support/WaitFor.h"

using vestrel::sim::CommandFault;
using vestrel::sim::CSimulatedModulePort;

namespace {

class SensingGeneratorDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        ApplyLanguage("ENG");
        ASSERT_TRUE(sim_.IsRunning()) << sim_.ErrorText();
        ASSERT_TRUE(handle_.Connect(sim_.PortNumber()));
        (void)VORA_Interface_RadarDevice_StopCmdMode(handle_);
        sim_.Model().SetGenerationDuration(0);
        dialog_ = std::make_unique<CSensingGeneratorDlg>(handle_, 4.0, 1.5);
        dialog_->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()) || true);
    }
    void TearDown() override { dialog_.reset(); }
    template <typename T> T* Child(const char* name) { return dialog_->findChild<T*>(name); }
    QString Status() { return Child<QLabel>("ctl3511")->text(); }
    bool Finished() { return Child<QPushButton>("ctl1")->isVisibleTo(dialog_.get()); }
    void Start() { Child<QPushButton>("ctl3510")->click(); }

    CSimulatedModulePort sim_;
    testsupport::DeviceHandle handle_;
    std::unique_ptr<CSensingGeneratorDlg> dialog_;
};

} // namespace

TEST_F(SensingGeneratorDlgTest, OpensReadyWithTheGivenCoefficients) {
    EXPECT_EQ(dialog_->windowTitle(), "Threshold Generator");
    EXPECT_EQ(Child<QLineEdit>("ctl3501")->text(), "4");
    EXPECT_EQ(Child<QLineEdit>("ctl3502")->text(), "1.5");
    EXPECT_TRUE(Child<QPushButton>("ctl3510")->isVisibleTo(dialog_.get()));
    EXPECT_FALSE(Finished());
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_EQ(Child<QProgressBar>("ctl3503")->maximum(), 100);
    EXPECT_EQ(Child<QLineEdit>("ctl3501")->accessibleName(), "Trigger Threshold Coefficient:");
}

TEST_F(SensingGeneratorDlgTest, SuccessShowsFullProgressAndConfirms) {
    Start();
    EXPECT_FALSE(Child<QPushButton>("ctl3510")->isEnabled());
    EXPECT_FALSE(Child<QLineEdit>("ctl3501")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return Finished(); }, 8000));
    EXPECT_EQ(Status(), "Generate successed.");
    EXPECT_EQ(Child<QProgressBar>("ctl3503")->value(), 100);
    EXPECT_FALSE(Child<QPushButton>("ctl3510")->isVisibleTo(dialog_.get()));
    EXPECT_TRUE(dialog_->Succeeded());
    EXPECT_EQ(sim_.Model().GenerationCoefficients(),
              (std::pair<std::uint16_t, std::uint16_t>{40, 15}));
    Child<QPushButton>("ctl1")->click();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), CSensingGeneratorDlg::kResultConfirm);
}

TEST_F(SensingGeneratorDlgTest, ProgressTextWhileGenerating) {
    sim_.Model().SetGenerationDuration(1500);
    Start();
    ASSERT_TRUE(WaitFor([&] { return Status().startsWith("Generate progress:"); }, 8000));
    EXPECT_TRUE(Status().endsWith("%"));
    ASSERT_TRUE(WaitFor([&] { return Finished(); }, 8000));
    EXPECT_EQ(Status(), "Generate successed.");
}

TEST_F(SensingGeneratorDlgTest, FailureEndsWithCancel) {
    sim_.Model().SetGenerationDuration(5000);
    sim_.Model().InjectFault(kCmdGetGenerationProgress,
                             {.kind = CommandFault::Kind::WrongLength, .length = 3});
    Start();
    ASSERT_TRUE(WaitFor([&] { return Finished(); }, 8000));
    EXPECT_EQ(Status(), "Generate failed.");
    EXPECT_FALSE(dialog_->Succeeded());
    Child<QPushButton>("ctl1")->click();
    EXPECT_EQ(dialog_->result(), CSensingGeneratorDlg::kResultCancel);
}

TEST_F(SensingGeneratorDlgTest, CannotBeClosedWhileGeneratingAndEscapeNeverCloses) {
    sim_.Model().SetGenerationDuration(1500);
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog_->isVisible()) << "Escape does nothing, also when ready";
    Start();
    ASSERT_TRUE(dialog_->IsGenerating());
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog_->isVisible());
    EXPECT_FALSE(dialog_->close()) << "the title-bar close is refused";
    EXPECT_TRUE(dialog_->isVisible());
    dialog_->accept();
    EXPECT_TRUE(dialog_->isVisible());
    ASSERT_TRUE(WaitFor([&] { return Finished(); }, 8000));
    EXPECT_TRUE(dialog_->close());
    EXPECT_EQ(dialog_->result(), CSensingGeneratorDlg::kResultConfirm);
}

TEST_F(SensingGeneratorDlgTest, ClosingBeforeStartCancels) {
    EXPECT_TRUE(dialog_->close());
    EXPECT_EQ(dialog_->result(), CSensingGeneratorDlg::kResultCancel);
    EXPECT_EQ(sim_.Model().CountReceived(kCmdStartThresholdGeneration), 0);
}

TEST_F(SensingGeneratorDlgTest, OutOfRangeCoefficientIsCorrectedBeforeStartReadsIt) {
    QLineEdit* trigger = Child<QLineEdit>("ctl3501");
    QApplication::setActiveWindow(dialog_.get());
    trigger->setFocus();
    trigger->selectAll();
    QTest::keyClicks(trigger, "25");
    ASSERT_EQ(trigger->text(), "25");
    QTest::mouseClick(Child<QPushButton>("ctl3510"), Qt::LeftButton);
    EXPECT_EQ(trigger->text(), "20.0");
    ASSERT_TRUE(WaitFor([&] { return Finished(); }, 8000));
    EXPECT_DOUBLE_EQ(dialog_->TriggerCoefficient(), 20.0);
    EXPECT_EQ(sim_.Model().GenerationCoefficients().first, 200);
}
