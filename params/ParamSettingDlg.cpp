#include "params/ParamSettingDlg.h"
#include "controls/WaitCursor.h"

#include <QApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>

#include <cmath>

#include "app/AppConfig.h"
#include "app/AppPaths.h"
#include "app/Texts.h"
#include "controls/DigitalEdit.h"
#include "controls/GdiplusHelpers.h"
#include "device/common/DbgOutput.h"
#include "device/common/FileUtil.h"
#include "params/OperatorConfigTransfer.h"
#include "params/RadarParamFile.h"
#include "ui_ParamSettingDlg.h"

namespace {

constexpr int kGateMaxField = 2002;
constexpr int kDelayField = 2003;
constexpr int kTriggerFirst = 2010;
constexpr int kHoldFirst = 2030;
constexpr int kReadButton = 2070;
constexpr int kSetButton = 2071;
constexpr int kLoadButton = 2072;
constexpr int kSaveButton = 2073;

// Same text in both languages; "All Files" lists every file, with or without a dot.
const char* const kFileFilter = "Radar Parameter Config File(*.xml);;All Files (*)";

bool IsTrigger(int id) {
    return id >= kTriggerFirst && id < kTriggerFirst + kRadarGateCount;
}
bool IsHold(int id) {
    return id >= kHoldFirst && id < kHoldFirst + kRadarGateCount;
}

// A field's text as a whole number of the record: rounded like the field's own
// half-unit check, and kept inside 32 bits instead of wrapping.
std::uint32_t FieldUnsigned(const QString& text) {
    const double v = std::round(ParseLeadingDouble(text.toStdString()));
    if (!(v > 0.0))
        return 0;
    if (v >= 4294967295.0)
        return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(v);
}

} // namespace

CParamSettingDlg::CParamSettingDlg(RadarDeviceHandle handle, RadarOperatorConfig* record,
                                   QWidget* parent)
    : QDialog(parent), handle_(handle), record_(record),
      ui_(std::make_unique<Ui::CParamSettingDlg>()) {
    if (record_ == nullptr) {
        ownRecord_ = std::make_unique<RadarOperatorConfig>();
        record_ = ownRecord_.get();
    }
    ui_->setupUi(this);
    // The dialog font of both languages: 9 points of the CJK-capable family.
    setFont(QFont(ResolveFontFamily(QStringLiteral("黑体")), 9));
    if (parent != nullptr)
        setWindowFlags(Qt::Widget); // a borderless page inside its host

    // Field set-up: the type first, then the limits.
    CDigitalEdit* gateMax = Field(kGateMaxField);
    gateMax->SetValueType(DIGITAL_UINT32);
    gateMax->SetMinValue(0, 1e-16);
    gateMax->SetMaxValue(15, 1e-16);
    for (int gate = 0; gate < kRadarGateCount; ++gate) {
        for (int id : {kTriggerFirst + gate, kHoldFirst + gate}) {
            CDigitalEdit* f = Field(id);
            f->SetValueType(DIGITAL_DOUBLE);
            f->SetMinValue(1.0, 1e-16);
            f->SetMaxValue(90.0, 1e-16);
        }
    }
    // The delay is an unsigned number of seconds: refuse a sign and keep
    // entries inside 32 bits rather than let them wrap in the record.
    CDigitalEdit* delay = Field(kDelayField);
    delay->SetValueType(DIGITAL_UINT32);
    delay->SetMinValue(0, 1e-16);
    delay->SetMaxValue(4294967295u, 1e-16);

    // Accessible names in the language in force: the label beside a field;
    // threshold fields: group title and gate label ("Trigger Threshold 00").
    for (int id : {kGateMaxField, kDelayField})
        Field(id)->setAccessibleName(findChild<QLabel*>(QStringLiteral("lbl%1").arg(id))->text());
    for (int first : {kTriggerFirst, kHoldFirst}) {
        const QString title = findChild<QGroupBox*>(QStringLiteral("grp%1").arg(first))->title();
        for (int gate = 0; gate < kRadarGateCount; ++gate) {
            const int id = first + gate;
            const QString gateLabel = findChild<QLabel*>(QStringLiteral("lbl%1").arg(id))->text();
            Field(id)->setAccessibleName(title + QLatin1Char(' ') + gateLabel);
        }
    }
    for (QPushButton* b : findChildren<QPushButton*>())
        b->setAccessibleName(b->text());

    for (int id : {kGateMaxField, kDelayField})
        connect(Field(id), &CDigitalEdit::valueChanged, this, [this, id] { OnFieldChanged(id); });
    for (int gate = 0; gate < kRadarGateCount; ++gate)
        for (int id : {kTriggerFirst + gate, kHoldFirst + gate})
            connect(Field(id), &CDigitalEdit::valueChanged, this,
                    [this, id] { OnFieldChanged(id); });

    auto button = [this](int id) {
        return findChild<QPushButton*>(QStringLiteral("ctl%1").arg(id));
    };
    connect(button(kReadButton), &QPushButton::clicked, this, [this] { ReadSensorConfig(); });
    connect(button(kSetButton), &QPushButton::clicked, this, [this] { SetSensorConfig(); });
    connect(button(kLoadButton), &QPushButton::clicked, this, [this] { LoadConfigFile(); });
    connect(button(kSaveButton), &QPushButton::clicked, this, [this] { SaveConfigFile(); });

    ReadRadarParamAttributes(GetAppConfig().GetChild("ParamSetting"), *record_);
    ShowRecord();
}

CParamSettingDlg::~CParamSettingDlg() {
    WriteRadarParamAttributes(GetAppConfig().GetChild("ParamSetting"), *record_);
    (void)SaveAppConfig();
}

CDigitalEdit* CParamSettingDlg::Field(int id) const {
    return findChild<CDigitalEdit*>(QStringLiteral("ctl%1").arg(id));
}

void CParamSettingDlg::ShowRecord() {
    Field(kGateMaxField)->setText(QString::number(record_->GateMax));
    Field(kDelayField)->setText(QString::number(record_->ObjectDisappearDelayTime));
    for (int gate = 0; gate < kRadarGateCount; ++gate) {
        SetItemDouble(this, kTriggerFirst + gate, record_->TriggerThreshold[gate]);
        SetItemDouble(this, kHoldFirst + gate, record_->HoldThreshold[gate]);
    }
}

void CParamSettingDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous())
        ShowRecord();
}

void CParamSettingDlg::OnFieldChanged(int id) {
    if (id == kGateMaxField)
        record_->GateMax = FieldUnsigned(Field(id)->text());
    else if (id == kDelayField)
        record_->ObjectDisappearDelayTime = FieldUnsigned(Field(id)->text());
    else if (IsTrigger(id))
        record_->TriggerThreshold[id - kTriggerFirst] = GetItemDouble(this, id);
    else if (IsHold(id))
        record_->HoldThreshold[id - kHoldFirst] = GetItemDouble(this, id);
}

void CParamSettingDlg::ShowCommandResult(bool write, int result) {
    const SensorCommandMessage m = SensorCommandMessageFor(write, result);
    QMessageBox box(m.error ? QMessageBox::Critical : QMessageBox::Information,
                    LoadStringText(m.captionId), LoadStringText(m.textId), QMessageBox::Ok, this);
    box.exec();
}

void CParamSettingDlg::ReadSensorConfig() {
    int result;
    {
        WaitCursor wait;
        result = RunReadSensorConfig(handle_, record_);
    }
    if (result == kTransferOk)
        ShowRecord();
    ShowCommandResult(false, result);
}

void CParamSettingDlg::SetSensorConfig() {
    int result;
    {
        WaitCursor wait;
        result = RunWriteSensorConfig(handle_, record_);
    }
    ShowCommandResult(true, result);
}

QString CParamSettingDlg::ProposedConfigPath() const {
    std::string name = kDefaultRadarParamFile;
    if (auto text = GetAppConfig().GetText("RadarConfigFile"); text && !text->empty())
        name = *text;
    return QString::fromStdString(CombinePathNameW(GetAppFolderPath(AppFolder::Config), name));
}

void CParamSettingDlg::RememberConfigFile(const QString& path) {
    GetAppConfig().SetAttributeText("RadarConfigFile", GetFileShortNameW(path.toStdString()));
    (void)SaveAppConfig();
}

QString CParamSettingDlg::ChooseConfigPath(QFileDialog::AcceptMode mode) {
    QFileDialog dialog(this, QString(), ProposedConfigPath(), QString::fromLatin1(kFileFilter));
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptOpen) {
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QStringLiteral("xml"));
    }
    dialog.selectFile(ProposedConfigPath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

void CParamSettingDlg::LoadConfigFile(const QString& chosenPath) {
    const QString path =
        chosenPath.isEmpty() ? ChooseConfigPath(QFileDialog::AcceptOpen) : chosenPath;
    if (path.isEmpty())
        return;
    RememberConfigFile(path);
    const std::string file = path.toStdString();
    switch (LoadRadarParamFile(file, *record_)) {
    case RadarParamLoad::Loaded:
        ShowRecord();
        break;
    case RadarParamLoad::NoRadarParam:
        DbgOutputA(2, "LoadConfigFile: no RadarParam in %s\r\n", file.c_str());
        break;
    case RadarParamLoad::Unreadable:
        DbgOutputA(2, "LoadConfigFile: cannot read %s\r\n", file.c_str());
        break;
    }
}

void CParamSettingDlg::SaveConfigFile(const QString& chosenPath) {
    const QString path =
        chosenPath.isEmpty() ? ChooseConfigPath(QFileDialog::AcceptSave) : chosenPath;
    if (path.isEmpty())
        return;
    RememberConfigFile(path);
    const std::string file = path.toStdString();
    if (!SaveRadarParamFile(file, *record_))
        DbgOutputA(2, "SaveConfigFile: cannot write %s\r\n", file.c_str());
}
