#pragma once
// Stand-ins for the pages whose own code has not arrived yet. Each offers the
// operations the main window calls, so the real page replaces it by changing
// one alias in VORA_Vestrel_ToolDlg.h.

#include <QDialog>
#include <QWidget>

#include "device/radar/VORA_DataProcess.h"

struct RadarOperatorConfig;
class QLineEdit;

// The capture page (dialog 4000).
class CDataProcessDlgPlaceholder : public QDialog {
    Q_OBJECT
public:
    CDataProcessDlgPlaceholder(RadarDeviceHandle handle, RadarOperatorConfig* record,
                               QWidget* parent = nullptr);
    void ResetPlots() {}
    void StopCapture() {}
    void SetScale(double scale) { scale_ = scale; }
    [[nodiscard]] double Scale() const { return scale_; }
    void accept() override {}
    void reject() override {}

private:
    double scale_ = 1.0;
};

// The firmware page: its own port number and baud rate, which the main window
// overwrites when the port list is refreshed or another port is chosen.
class CDownloadDlgPlaceholder : public QWidget {
    Q_OBJECT
public:
    explicit CDownloadDlgPlaceholder(QWidget* parent = nullptr);
    void SetPortNum(int portNum);
    void SetBaudRate(int baudRate);
    [[nodiscard]] int GetPortNum() const { return portNum_; }
    [[nodiscard]] int GetBaudRate() const { return baudRate_; }

private:
    int portNum_ = 0;
    int baudRate_ = 256000;
    QLineEdit* portField_;
    QLineEdit* baudField_;
};
