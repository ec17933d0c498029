#include "realtime/SensingGeneratorDlg.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QLocale>

#include "app/Texts.h"
#include "controls/ColorStatic.h"
#include "controls/DigitalEdit.h"
#include "realtime/SensingGeneration.h"
#include "ui_SensingGeneratorDlg.h"

namespace {

const auto kProgressEvent = static_cast<QEvent::Type>(QEvent::User + 0x100);
const auto kFinishedEvent = static_cast<QEvent::Type>(QEvent::User + 0x101);

// A posted notice from the worker with its one value (percent, or 1/0 for success).
class GeneratorEvent : public QEvent {
public:
    GeneratorEvent(QEvent::Type type, int value) : QEvent(type), value_(value) {}
    [[nodiscard]] int Value() const { return value_; }

private:
    int value_;
};

constexpr double kCoefficientMin = 1.0;
constexpr double kCoefficientMax = 20.0;
constexpr double kCoefficientTolerance = 0.1;

} // namespace

CSensingGeneratorDlg::CSensingGeneratorDlg(RadarDeviceHandle handle, double triggerCoefficient,
                                           double holdCoefficient, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CSensingGeneratorDlg>()), handle_(handle),
      trigger_(triggerCoefficient), hold_(holdCoefficient) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    ApplyLanguageGeometry();

    SetItemDouble(this, 3501, trigger_);
    SetItemDouble(this, 3502, hold_);
    for (CDigitalEdit* edit : {ui_->ctl3501, ui_->ctl3502}) {
        edit->SetValueType(DIGITAL_DOUBLE);
        edit->SetMinValue(kCoefficientMin, kCoefficientTolerance, "%.1f");
        edit->SetMaxValue(kCoefficientMax, kCoefficientTolerance, "%.1f");
    }
    ui_->ctl3503->setRange(0, 100);
    ui_->ctl3503->setValue(0);
    ui_->ctl3511->SetTextAlign(CColorStatic::Near, CColorStatic::Centre);
    ui_->ctl3511->setText(QString());
    success_ = 0;
    ui_->ctl3510->show();
    ui_->ctl1->hide();

    ui_->ctl3501->setAccessibleName(ui_->lbl3501->text());
    ui_->ctl3502->setAccessibleName(ui_->lbl3502->text());
    ui_->ctl3503->setAccessibleName(windowTitle());
    ui_->ctl3511->setAccessibleName(windowTitle());
    ui_->ctl3510->setAccessibleName(ui_->ctl3510->text());
    ui_->ctl1->setAccessibleName(ui_->ctl1->text());

    connect(ui_->ctl3510, &QPushButton::clicked, this, &CSensingGeneratorDlg::OnStartClicked);
    connect(ui_->ctl1, &QPushButton::clicked, this, &CSensingGeneratorDlg::accept);
}

CSensingGeneratorDlg::~CSensingGeneratorDlg() {
    // Closing is refused while the worker runs, so this only reaps it.
    worker_.StopThread();
}

void CSensingGeneratorDlg::ApplyLanguageGeometry() {
    if (QLocale().language() != QLocale::Chinese)
        return;
    // The Chinese form is narrower and slightly taller (labels are shorter).
    resize(286, 176);
    ui_->lbl3501->setGeometry(14, 16, 170, 24);
    ui_->ctl3501->setGeometry(190, 14, 82, 26);
    ui_->lbl3502->setGeometry(14, 52, 170, 24);
    ui_->ctl3502->setGeometry(190, 50, 82, 26);
    ui_->ctl3503->setGeometry(14, 94, 258, 20);
    ui_->ctl3511->setGeometry(14, 132, 168, 30);
    ui_->ctl3510->setGeometry(190, 132, 82, 30);
    ui_->ctl1->setGeometry(190, 132, 82, 30);
}

void CSensingGeneratorDlg::OnStartClicked() {
    // A field still being typed in is judged (and corrected) before its value is read.
    if (QWidget* focus = focusWidget(); focus == ui_->ctl3501 || focus == ui_->ctl3502)
        ui_->ctl3510->setFocus(Qt::OtherFocusReason);
    success_ = 0;
    ui_->ctl3511->setText(QString());
    ui_->ctl3510->setEnabled(false);
    ui_->ctl3501->setEnabled(false);
    ui_->ctl3502->setEnabled(false);
    trigger_ = GetItemDouble(this, 3501);
    hold_ = GetItemDouble(this, 3502);
    (void)worker_.StartThread("SensingGenerate", this, nullptr, 1, 0x400000, 0);
}

unsigned int CSensingGeneratorDlg::ThreadFunc(void* /*param*/) {
    const bool ok = RunSensingGeneration(handle_, trigger_, hold_, [this](int percent) {
        QCoreApplication::postEvent(this, new GeneratorEvent(kProgressEvent, percent));
    });
    QCoreApplication::postEvent(this, new GeneratorEvent(kFinishedEvent, ok ? 1 : 0));
    return 0;
}

void CSensingGeneratorDlg::customEvent(QEvent* event) {
    if (event->type() == kProgressEvent)
        OnProgress(static_cast<GeneratorEvent*>(event)->Value());
    else if (event->type() == kFinishedEvent)
        OnFinished(static_cast<GeneratorEvent*>(event)->Value() != 0);
    else
        QDialog::customEvent(event);
}

void CSensingGeneratorDlg::OnProgress(int percent) {
    ui_->ctl3503->setValue(std::clamp(percent, 0, 100));
    SetStatus(QString::asprintf(LoadStringText(10352).toUtf8().constData(), percent));
}

void CSensingGeneratorDlg::OnFinished(bool success) {
    // The worker posted this as its last act; reap it so Close works at once.
    worker_.StopThread();
    success_ = success ? 1 : 0;
    ui_->ctl3510->setEnabled(true);
    ui_->ctl3501->setEnabled(true);
    ui_->ctl3502->setEnabled(true);
    SetStatus(LoadStringText(success ? 10350 : 10351));
    ui_->ctl3510->hide();
    ui_->ctl1->show();
    ui_->ctl1->setDefault(true);
    ui_->ctl1->setFocus(Qt::OtherFocusReason);
}

void CSensingGeneratorDlg::SetStatus(const QString& text) {
    ui_->ctl3511->setText(text);
    ui_->ctl3511->setAccessibleName(text);
}

void CSensingGeneratorDlg::accept() {
    if (IsGenerating())
        return;
    done(success_ != 0 ? kResultConfirm : kResultCancel);
}

void CSensingGeneratorDlg::reject() {}

void CSensingGeneratorDlg::closeEvent(QCloseEvent* event) {
    if (IsGenerating()) {
        event->ignore();
        return;
    }
    done(success_ != 0 ? kResultConfirm : kResultCancel);
    event->accept();
}
