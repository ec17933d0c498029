#pragma once
// Threshold generator dialog: starts the module's own threshold derivation with two
// coefficients, follows its progress on a worker thread and reports the outcome.
// The dialog cannot be closed while the worker runs.

#include <QDialog>

#include <memory>

#include "device/common/BaseThread.h"
#include "device/radar/VORA_DataProcess.h"

namespace Ui {
class CSensingGeneratorDlg;
}

class CSensingGeneratorDlg : public QDialog, public IThreadFuncInterface {
    Q_OBJECT
public:
    // exec() results: the thresholds were generated, or not.
    static constexpr int kResultConfirm = 1;
    static constexpr int kResultCancel = 2;

    // The handle is borrowed; nothing else may use it while the dialog runs.
    CSensingGeneratorDlg(RadarDeviceHandle handle, double triggerCoefficient,
                         double holdCoefficient, QWidget* parent = nullptr);
    ~CSensingGeneratorDlg() override;

    [[nodiscard]] bool Succeeded() const { return success_ != 0; }
    [[nodiscard]] bool IsGenerating() const { return worker_.IsThreadExit() == 0; }
    [[nodiscard]] double TriggerCoefficient() const { return trigger_; }
    [[nodiscard]] double HoldCoefficient() const { return hold_; }

    // Close button and Enter on it: ends the dialog unless the worker runs.
    void accept() override;
    // Escape does nothing.
    void reject() override;

protected:
    unsigned int ThreadFunc(void* param) override;
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;

private:
    void OnStartClicked();
    void OnProgress(int percent);
    void OnFinished(bool success);
    void ApplyLanguageGeometry();
    void SetStatus(const QString& text);

    std::unique_ptr<Ui::CSensingGeneratorDlg> ui_;
    RadarDeviceHandle handle_ = nullptr;
    double trigger_ = 4.0;
    double hold_ = 1.5;
    int success_ = 0;
    CBaseThread worker_;
};
