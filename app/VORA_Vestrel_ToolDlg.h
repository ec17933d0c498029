#pragma once
// The main window (dialog 1000): the navigation column with the four page
// buttons and the connection panel, and the page area showing one page. It owns
// the device handle and the operator configuration and hands both to the pages.

#include <QDialog>
#include <QString>

#include <memory>

#include "app/LogFile.h"
#include "app/PagePlaceholders.h"
#include "controls/WndResizeTool.h"
#include "device/radar/VORA_DataProcess.h"
#include "params/ParamSettingDlg.h"
#include "params/RadarOperatorConfig.h"
#include "realtime/ObjectInfoDlg.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
namespace Ui {
class CVORA_Vestrel_ToolDlg;
}

// The pages; a page that has no code of its own yet is a stand-in.
using CRealtimePage = CObjectInfoDlg;
using CCapturePage = CDataProcessDlgPlaceholder;
using CFirmwarePage = CDownloadDlgPlaceholder;

class CVORA_Vestrel_ToolDlg : public QDialog {
    Q_OBJECT
public:
    // Construction is the dialog's initialisation: title, settings, device
    // handle, pages, log file, port list, proportional layout.
    explicit CVORA_Vestrel_ToolDlg(QWidget* parent = nullptr);
    // Pages first (each saves its settings), then the connection, the handle,
    // the baud rate setting and the log file.
    ~CVORA_Vestrel_ToolDlg() override;

    // Enter and Escape never close the window; only its close command does.
    void accept() override {}
    void reject() override {}

    // The handlers, in the order of the connection panel.
    void OnRefresh();
    void OnPortChanged();
    void OnBaudRateEdited(const QString& text);
    void OnConnect();
    // 1187 parameters, 1188 real time, 1189 capture, 1190 firmware.
    void OnPageButton(int buttonId);

    [[nodiscard]] RadarDeviceHandle DeviceHandle() const { return device_; }
    [[nodiscard]] RadarOperatorConfig& Config() { return config_; }
    [[nodiscard]] int SelectedPort() const { return selectedPort_; }
    [[nodiscard]] int BaudRate() const { return baudRate_; }
    [[nodiscard]] double ScaleFactor() const { return scale_; }
    [[nodiscard]] CParamSettingDlg* ParamPage() const { return paramPage_.get(); }
    [[nodiscard]] CRealtimePage* RealtimePage() const { return realtimePage_.get(); }
    [[nodiscard]] CCapturePage* CapturePage() const { return capturePage_.get(); }
    [[nodiscard]] CFirmwarePage* FirmwarePage() const { return firmwarePage_.get(); }
    [[nodiscard]] const CLogFile& LogFile() const { return log_; }

    // "Version：%s\r\nSN:%s" (full-width colon), as the version label shows it.
    [[nodiscard]] static QString ConnectionText(const char* version, const char* serialNumber);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Opens the port, shows version and serial number, reads the configuration
    // into the record and shows it, switches to data-transfer mode. False when
    // the port did not open; *dataTransferConfirmed tells the mode switch.
    bool ConnectProcedure(bool* dataTransferConfirmed);
    // Sets the function mode, leaves command mode, closes. True when the
    // module confirmed the function mode.
    bool DisconnectProcedure();
    // A module that went away leaves the window showing the disconnected
    // state: streams stopped, port released, label hidden, button "Connect".
    void SyncConnectionState();
    void ShowDisconnected();
    void StopStreams();
    void ShowError(int textId, bool stayOnTop, const QString& detail = {});
    void SaveBaudRate();
    void ShowPage(int buttonId);
    void RetranslateAccessibleNames();

    std::unique_ptr<Ui::CVORA_Vestrel_ToolDlg> ui_;
    int selectedPort_ = 0;
    int baudRate_ = 115200;
    RadarDeviceHandle device_ = nullptr;
    RadarOperatorConfig config_;
    double scale_ = 1.0;
    CWndResizeTool resizeTool_;
    std::unique_ptr<CParamSettingDlg> paramPage_;
    std::unique_ptr<CRealtimePage> realtimePage_;
    std::unique_ptr<CCapturePage> capturePage_;
    std::unique_ptr<CFirmwarePage> firmwarePage_;
    CLogFile log_;
    QTimer* connectionWatch_ = nullptr;
    bool shownConnected_ = false;
};
