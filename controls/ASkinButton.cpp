#include "controls/ASkinButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QRadioButton>

#include <cmath>
#include <cstdlib>

#include "controls/WidgetReplace.h"

namespace {
const QColor kSkinBackground(42, 50, 60);

std::uint32_t Argb(const QColor& c) {
    return static_cast<std::uint32_t>(c.rgba());
}
} // namespace

int FontPointsToPixels(int points, int dpiY) {
    const long long product = static_cast<long long>(points) * dpiY;
    const long long half = 36; // 72 / 2: halves away from zero
    return static_cast<int>(product >= 0 ? (product + half) / 72 : (product - half) / 72);
}

CASkinButton::CASkinButton(QWidget* parent) : QPushButton(parent) {
    background_ = palette().color(QPalette::Button);
    textColour_ = palette().color(QPalette::ButtonText);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

CASkinButton::CASkinButton(ButtonKind kind, QWidget* parent) : CASkinButton(parent) {
    SetButtonKind(kind);
}

CASkinButton::~CASkinButton() = default;

CASkinButton* CASkinButton::Attach(QAbstractButton* button) {
    if (button == nullptr)
        return nullptr;
    ButtonKind kind = PushButton;
    if (qobject_cast<QCheckBox*>(button) != nullptr)
        kind = CheckBox;
    else if (qobject_cast<QRadioButton*>(button) != nullptr)
        kind = RadioButton;
    else if (button->isCheckable())
        kind = button->autoExclusive() ? RadioButton : CheckBox;
    auto* skin = new CASkinButton(kind, button->parentWidget()); // owned by the parent
    skin->setText(button->text());
    skin->setChecked(kind != PushButton && button->isChecked());
    ReplaceFormWidget(button, skin);
    return skin;
}

void CASkinButton::SetButtonKind(ButtonKind kind) {
    kind_ = kind;
    kindSet_ = true;
    ApplyKind();
}

void CASkinButton::ApplyKind() {
    // Qt's own exclusivity would fight the group handling below.
    setAutoExclusive(false);
    setCheckable(kind_ != PushButton);
    if (kind_ == PushButton)
        setChecked(false);
}

CASkinButton::ButtonKind CASkinButton::GetButtonKind() const {
    if (kindSet_)
        return kind_;
    return !isCheckable() ? PushButton : autoExclusive() ? RadioButton : CheckBox;
}

void CASkinButton::EnsureKind() {
    // A promoted form button: the form has set its properties by the time it
    // is shown or first used.
    if (!kindSet_)
        SetButtonKind(GetButtonKind());
}

bool CASkinButton::event(QEvent* event) {
    if (event->type() == QEvent::Polish) {
        EnsureKind();
    } else if (event->type() == kGroupUncheckEvent) {
        if (isChecked()) {
            setChecked(false);
            setDown(false);
            update();
        }
        event->accept();
        return true;
    }
    return QPushButton::event(event);
}

void CASkinButton::SetSkin(const CGdiplusBitmap* normal, const CGdiplusBitmap* pressed,
                           const CGdiplusBitmap* hover, const CGdiplusBitmap* disabled,
                           const CGdiplusBitmap* disabledPressed, const CGdiplusBitmap* fallback,
                           int fontPoints) {
    QFont font(ResolveFontFamily(QStringLiteral("黑体")));
    font.setPixelSize(std::max(1, FontPointsToPixels(fontPoints, logicalDpiY())));
    setFont(font);
    textColour_ = QColor(255, 255, 255);

    images_[Normal] = Gdiplus_CopyBitmap(normal);
    images_[Pressed] = Gdiplus_CopyBitmap(pressed);
    images_[Hover] = Gdiplus_CopyBitmap(hover);
    images_[Disabled] = disabled != nullptr ? Gdiplus_CopyBitmap(disabled) : Gdiplus_Gray(normal);
    images_[DisabledPressed] =
        disabledPressed != nullptr ? Gdiplus_CopyBitmap(disabledPressed) : Gdiplus_Gray(pressed);
    images_[Fallback] = Gdiplus_CopyBitmap(fallback);
    background_ = kSkinBackground;

    // The caption goes; whoever relied on it to name the control keeps hearing it.
    if (accessibleName().isEmpty() && !text().isEmpty())
        setAccessibleName(text());
    setText(QString());
    update();
}

void CASkinButton::SetIndicatorSkin(int fontPoints) {
    GdiplusBitmapPtr green = Gdiplus_LoadBitmapFromResourceW(QStringLiteral("PNG"), 191);
    GdiplusBitmapPtr red = Gdiplus_LoadBitmapFromResourceW(QStringLiteral("PNG"), 192);
    if (!Gdiplus_BitmapOK(green.get()))
        green.reset();
    if (!Gdiplus_BitmapOK(red.get()))
        red.reset();
    SetSkin(nullptr, nullptr, nullptr, green.get(), red.get(), nullptr, fontPoints);
}

void CASkinButton::SetCheck(int check) {
    EnsureKind();
    const bool checked = check != 0 && kind_ != PushButton;
    setChecked(checked);
    if (kind_ == RadioButton && check != 0)
        SendGroupUncheck();
    update();
}

void CASkinButton::SendGroupUncheck() {
    // The group: the other radio buttons under the same parent.
    QWidget* parent = parentWidget();
    if (parent == nullptr)
        return;
    for (CASkinButton* other : parent->findChildren<CASkinButton*>(Qt::FindDirectChildrenOnly)) {
        if (other == this || other->GetButtonKind() != RadioButton)
            continue;
        QEvent uncheck(kGroupUncheckEvent);
        QCoreApplication::sendEvent(other, &uncheck);
    }
}

void CASkinButton::SetBkColor(const QColor& colour) {
    background_ = colour;
    update();
}

void CASkinButton::SetTextColor(const QColor& colour) {
    textColour_ = colour;
    update();
}

const CGdiplusBitmap* CASkinButton::CurrentImage() const {
    const bool disabled = !isEnabled();
    const bool selected = isDown() || isChecked();
    ImageSlot slot = Normal;
    if (disabled)
        slot = selected ? DisabledPressed : Disabled;
    else if (selected)
        slot = Pressed;
    else if (hover_)
        slot = Hover;
    for (const ImageSlot s : {slot, Normal, Fallback})
        if (images_[s])
            return images_[s].get();
    return nullptr;
}

void CASkinButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QRectF r(rect());
    painter.fillRect(r, background_);
    if (const CGdiplusBitmap* image = CurrentImage())
        (void)Gdiplus_DrawBitmap(&painter, r, image, {}, 4);
    const QString caption = text();
    if (caption.isEmpty())
        return;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    if (!isEnabled()) {
        // Embossed: a light copy under the grey text, one pixel down and right.
        (void)Gdiplus_DrawText(&painter, caption, r, Argb(palette().color(QPalette::Light)), font(),
                               flags);
        (void)Gdiplus_DrawText(&painter, caption, r.translated(-1, -1),
                               Argb(palette().color(QPalette::Disabled, QPalette::WindowText)),
                               font(), flags);
    } else {
        (void)Gdiplus_DrawText(&painter, caption, r, Argb(textColour_), font(), flags);
    }
}

void CASkinButton::mousePressEvent(QMouseEvent* event) {
    EnsureKind();
    if (event->button() == Qt::LeftButton) {
        if (hover_) {
            hover_ = false;
            update();
        }
        QPushButton::mousePressEvent(event);
        pressed_ = true;
        return;
    }
    QPushButton::mousePressEvent(event);
}

void CASkinButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // Only a release over the button changes the check state.
        if (pressed_ && kind_ != PushButton && rect().contains(event->position().toPoint()))
            ToggleByUser();
        pressed_ = false;
    }
    QPushButton::mouseReleaseEvent(event);
}

void CASkinButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click is a press like the first.
    mousePressEvent(event);
}

void CASkinButton::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_) {
        QPushButton::mouseMoveEvent(event); // follows the cursor in and out: pushed state
        return;
    }
    if (!hover_) {
        hover_ = true;
        update();
    }
    QPushButton::mouseMoveEvent(event);
}

void CASkinButton::enterEvent(QEnterEvent* event) {
    if (!pressed_ && !hover_) {
        hover_ = true;
        update();
    }
    QPushButton::enterEvent(event);
}

void CASkinButton::leaveEvent(QEvent* event) {
    hover_ = false;
    update();
    QPushButton::leaveEvent(event);
}

void CASkinButton::keyPressEvent(QKeyEvent* event) {
    EnsureKind();
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && kind_ != PushButton)
        ToggleByUser();
    QPushButton::keyPressEvent(event);
}

void CASkinButton::focusOutEvent(QFocusEvent* event) {
    if (pressed_) {
        pressed_ = false;
        setDown(false);
    }
    QPushButton::focusOutEvent(event);
}

void CASkinButton::ToggleByUser() {
    if (kind_ == CheckBox)
        SetCheck(isChecked() ? 0 : 1);
    else if (kind_ == RadioButton)
        SetCheck(1);
}
