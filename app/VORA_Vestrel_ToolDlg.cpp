#include "app/VORA_Vestrel_ToolDlg.h"
#include "controls/WaitCursor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QResizeEvent>
#include <QTimer>

#include <algorithm>
#include <cstdint>

#include "app/AppConfig.h"
#include "app/AppIcon.h"
#include "app/Texts.h"
#include "device/common/DbgOutput.h"
#include "device/common/FileUtil.h"
#include "device/common/SerialPortEnum.h"
#include "params/OperatorConfigTransfer.h"
#include "ui_VORA_Vestrel_ToolDlg.h"

namespace {

constexpr int kParamButton = 1187;
constexpr int kRealtimeButton = 1188;
constexpr int kCaptureButton = 1189;
constexpr int kFirmwareButton = 1190;
// How often the window looks whether the module is still there.
constexpr int kConnectionWatchMs = 1000;

} // namespace

CVORA_Vestrel_ToolDlg::CVORA_Vestrel_ToolDlg(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CVORA_Vestrel_ToolDlg>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    RetranslateAccessibleNames();

    // Icon, then the title with the program's version.
    setWindowIcon(MakeAppIcon());
    setWindowTitle(
        QStringLiteral("%1(v%2)").arg(windowTitle(), QString::fromStdString(GetFileVersionW())));

    // Baud rate from the settings.
    std::int32_t baud = baudRate_;
    GetAppConfig().ReadValue("BaudRate", baud);
    ui_->ctl1102->setText(QString::number(baud));
    baudRate_ = baud;

    device_ = VORA_Interface_RadarDevice_Serial_Create();

    // The pages on the page area, parameters first.
    const QRect pageArea = ui_->ctl1200->geometry();
    paramPage_ = std::make_unique<CParamSettingDlg>(device_, &config_, this);
    realtimePage_ = std::make_unique<CRealtimePage>(device_, &config_, this);
    capturePage_ = std::make_unique<CCapturePage>(device_, &config_, this);
    for (QWidget* page : std::initializer_list<QWidget*>{paramPage_.get(), realtimePage_.get(),
                                                         capturePage_.get()}) {
        page->setWindowFlags(Qt::Widget);
        page->setGeometry(pageArea);
    }
    firmwarePage_ = std::make_unique<CFirmwarePage>(this);
    firmwarePage_->setWindowFlags(Qt::Widget);
    firmwarePage_->setGeometry(pageArea);

    ui_->ctl1200->hide();
    ui_->ctl1104->hide();
    ui_->ctl1187->setChecked(true);
    ShowPage(kParamButton);

    log_.OpenLogFile();
    OnRefresh();

    // Proportional layout from the size the window was designed at.
    resizeTool_.ClearChildren();
    resizeTool_.SetRecordedSize(width(), height());
    resizeTool_.CaptureChildren(this);
    resizeTool_.SetWindow(this);
    resizeTool_.SetEnabled(true);
    setMinimumSize(width() / 2, height() / 2);

    connect(ui_->ctl1100, &QPushButton::clicked, this, &CVORA_Vestrel_ToolDlg::OnRefresh);
    connect(ui_->ctl1101, &QComboBox::currentIndexChanged, this,
            &CVORA_Vestrel_ToolDlg::OnPortChanged);
    connect(ui_->ctl1102, &QLineEdit::textChanged, this, &CVORA_Vestrel_ToolDlg::OnBaudRateEdited);
    connect(ui_->ctl1103, &QPushButton::clicked, this, &CVORA_Vestrel_ToolDlg::OnConnect);
    const std::pair<QAbstractButton*, int> pageButtons[] = {{ui_->ctl1187, kParamButton},
                                                            {ui_->ctl1188, kRealtimeButton},
                                                            {ui_->ctl1189, kCaptureButton},
                                                            {ui_->ctl1190, kFirmwareButton}};
    for (const auto& [button, id] : pageButtons)
        connect(button, &QAbstractButton::clicked, this, [this, id = id] { OnPageButton(id); });

    connectionWatch_ = new QTimer(this);
    connect(connectionWatch_, &QTimer::timeout, this, &CVORA_Vestrel_ToolDlg::SyncConnectionState);
    connectionWatch_->start(kConnectionWatchMs);
}

CVORA_Vestrel_ToolDlg::~CVORA_Vestrel_ToolDlg() {
    connectionWatch_->stop();
    // Each page writes its settings section as it goes.
    paramPage_.reset();
    realtimePage_.reset();
    capturePage_.reset();
    firmwarePage_.reset();
    if (VORA_Interface_RadarDevice_IsConnected(device_) != 0)
        DisconnectProcedure();
    VORA_Interface_RadarDevice_Serial_Destroy(device_);
    device_ = nullptr;
    SaveBaudRate();
    log_.CloseLogFile();
}

void CVORA_Vestrel_ToolDlg::RetranslateAccessibleNames() {
    // Fields take the text of the label beside them; buttons and labels their own.
    ui_->ctl1101->setAccessibleName(ui_->lbl1101->text());
    ui_->ctl1102->setAccessibleName(ui_->lbl1102->text());
}

QString CVORA_Vestrel_ToolDlg::ConnectionText(const char* version, const char* serialNumber) {
    return QString::fromUtf8("Version\uFF1A%1\r\nSN:%2")
        .arg(QString::fromUtf8(version != nullptr ? version : ""),
             QString::fromUtf8(serialNumber != nullptr ? serialNumber : ""));
}

void CVORA_Vestrel_ToolDlg::OnRefresh() {
    SyncConnectionState();
    QComboBox* list = ui_->ctl1101;
    {
        const QSignalBlocker quiet(list);
        list->clear();
        SerialPortList ports;
        EnumSerialPortNameW(ports);
        for (const SerialPortEntry& port : ports) {
            list->addItem(QString::fromStdWString(port.name), port.portNum);
            list->setItemData(list->count() - 1, QString::fromStdWString(port.description),
                              Qt::ToolTipRole);
        }
        FreeSerialPortNameA(ports);
        if (list->count() > 0)
            list->setCurrentIndex(0);
    }
    OnPortChanged();
}

void CVORA_Vestrel_ToolDlg::OnPortChanged() {
    QComboBox* list = ui_->ctl1101;
    selectedPort_ = 0;
    if (list->currentIndex() >= 0)
        selectedPort_ = list->currentData().toInt();
    list->setToolTip(list->currentData(Qt::ToolTipRole).toString());
    firmwarePage_->SetPortNum(selectedPort_);
    firmwarePage_->SetBaudRate(baudRate_);
}

void CVORA_Vestrel_ToolDlg::OnBaudRateEdited(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    baudRate_ = ok ? value : 0;
}

void CVORA_Vestrel_ToolDlg::OnConnect() {
    int errorText = 0;
    bool errorOnTop = false;
    QString detail;
    {
        const WaitCursor wait;
        if (VORA_Interface_RadarDevice_IsConnected(device_) != 0) {
            StopStreams();
            if (!DisconnectProcedure())
                errorText = 10107;
            ui_->ctl1103->setText(LoadStringText(10100));
        } else if (shownConnected_) {
            // The module went away since the window last looked: the click
            // that meant "disconnect" just shows what is already the case.
            SyncConnectionState();
        } else if (selectedPort_ <= 0) {
            errorText = 10102;
            errorOnTop = true;
            ui_->ctl1103->setText(LoadStringText(10100));
        } else {
            bool dataTransfer = false;
            if (!ConnectProcedure(&dataTransfer)) {
                errorText = 10104;
                errorOnTop = true;
                detail = QString::fromUtf8(VORA_Interface_RadarDevice_GetLastErrorText(device_));
                DbgOutputA(2, "Failed to open port %d at %d baud: %s\r\n", selectedPort_, baudRate_,
                           detail.toUtf8().constData());
                ui_->ctl1103->setText(LoadStringText(10100));
            } else {
                if (!dataTransfer)
                    errorText = 10106;
                ui_->ctl1103->setText(LoadStringText(10101));
            }
        }
    }
    if (errorText != 0)
        ShowError(errorText, errorOnTop, detail);
    SaveBaudRate();
}

bool CVORA_Vestrel_ToolDlg::ConnectProcedure(bool* dataTransferConfirmed) {
    *dataTransferConfirmed = false;
    if (VORA_Interface_RadarDevice_Serial_OpenByPortNum(device_, selectedPort_, baudRate_, 2, 1, 1,
                                                        1, 150) == 0)
        return false;
    CBaseStringA version;
    CBaseStringA serialNumber;
    VORA_Interface_RadarDevice_GetVersion(device_, version);
    VORA_Interface_RadarDevice_GetSerialNumber(device_, serialNumber);
    // A label shows line breaks as "\n" alone.
    ui_->ctl1104->setText(ConnectionText(version.GetString(), serialNumber.GetString())
                              .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    ui_->ctl1104->setAccessibleName(ui_->ctl1104->text());
    ui_->ctl1104->show();
    shownConnected_ = true;

    // A failed read keeps the record as it was and is logged by the transfer.
    (void)ReadSetting_RadarOperatorConfig(device_, &config_);
    paramPage_->ShowRecord();
    realtimePage_->RefreshThresholds();
    capturePage_->ResetPlots();

    *dataTransferConfirmed = VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(device_) != 0;
    VORA_Interface_RadarDevice_StopCmdMode(device_);
    return true;
}

bool CVORA_Vestrel_ToolDlg::DisconnectProcedure() {
    VORA_Interface_RadarDevice_StartCmdMode(device_, 2, 150);
    const std::uint16_t id = 0;
    const std::uint32_t functionMode = 100;
    const bool confirmed = VORA_Interface_RadarDevice_Protocol_SetParameter(
                               device_, 0x12, 1, &id, &functionMode, 2000) != 0;
    VORA_Interface_RadarDevice_StopCmdMode(device_);
    VORA_Interface_RadarDevice_Serial_Close(device_);
    ui_->ctl1104->hide();
    shownConnected_ = false;
    return confirmed;
}

void CVORA_Vestrel_ToolDlg::StopStreams() {
    realtimePage_->StopRealtime();
    capturePage_->StopCapture();
}

void CVORA_Vestrel_ToolDlg::SyncConnectionState() {
    if (!shownConnected_ || device_ == nullptr ||
        VORA_Interface_RadarDevice_IsConnected(device_) != 0)
        return;
    const QString reason = QString::fromUtf8(VORA_Interface_RadarDevice_GetLastErrorText(device_));
    DbgOutputA(2, "Device lost: %s\r\n", reason.toUtf8().constData());
    StopStreams();
    VORA_Interface_RadarDevice_Serial_Close(device_);
    ShowDisconnected();
}

void CVORA_Vestrel_ToolDlg::ShowDisconnected() {
    ui_->ctl1104->hide();
    ui_->ctl1103->setText(LoadStringText(10100));
    shownConnected_ = false;
}

void CVORA_Vestrel_ToolDlg::ShowError(int textId, bool stayOnTop, const QString& detail) {
    QMessageBox box(QMessageBox::Critical, LoadStringText(10000), LoadStringText(textId),
                    QMessageBox::Ok, this);
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    if (stayOnTop)
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

void CVORA_Vestrel_ToolDlg::SaveBaudRate() {
    GetAppConfig().SetAttributeInt("BaudRate", baudRate_);
    SaveAppConfig();
}

void CVORA_Vestrel_ToolDlg::ShowPage(int buttonId) {
    // Hiding a page stops its own stream before anything else uses the handle.
    paramPage_->hide();
    realtimePage_->hide();
    capturePage_->hide();
    firmwarePage_->hide();
    switch (buttonId) {
    case kParamButton:
        paramPage_->show();
        break;
    case kRealtimeButton:
        realtimePage_->show();
        break;
    case kCaptureButton:
        capturePage_->show();
        break;
    case kFirmwareButton:
        firmwarePage_->show();
        break;
    default:
        break;
    }
}

void CVORA_Vestrel_ToolDlg::OnPageButton(int buttonId) {
    SyncConnectionState();
    ShowPage(buttonId);
    if (buttonId == kFirmwareButton && VORA_Interface_RadarDevice_IsConnected(device_) != 0) {
        // The firmware page opens the port with a handle of its own.
        DisconnectProcedure();
        ui_->ctl1103->setText(LoadStringText(10100));
    }
}

void CVORA_Vestrel_ToolDlg::closeEvent(QCloseEvent* event) {
    event->accept();
    done(QDialog::Rejected);
}

void CVORA_Vestrel_ToolDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (isMinimized())
        return;
    double sx = 1.0;
    double sy = 1.0;
    if (resizeTool_.ResizeChildren(event->size().width(), event->size().height(), &sx, &sy)) {
        scale_ = std::min(sx, sy);
        realtimePage_->SetScale(scale_);
        capturePage_->SetScale(scale_);
    }
}
