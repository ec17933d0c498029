#pragma once
// Skinned button: paints one of six images by state (normal, hover, pressed or
// checked, disabled, disabled and checked, fallback), centres its caption over
// it and gives check-box and radio-button behaviour to a push button. The
// real-time page uses one, disabled, as its presence lamp: green unchecked,
// red checked.

#include <QColor>
#include <QEvent>
#include <QPushButton>

#include <array>

#include "controls/GdiplusHelpers.h"

class QAbstractButton;

class CASkinButton : public QPushButton {
    Q_OBJECT
public:
    enum ButtonKind { PushButton = 0, CheckBox = 2, RadioButton = 4 };
    // Sent to the other radio buttons of the group when one is checked; a
    // checked receiver clears itself.
    static constexpr QEvent::Type kGroupUncheckEvent =
        static_cast<QEvent::Type>(QEvent::User + 256);

    // A button from a form (promoted push button): its kind follows the
    // checkable and autoExclusive properties when it is first shown, unless
    // SetButtonKind was called.
    explicit CASkinButton(QWidget* parent = nullptr);
    CASkinButton(ButtonKind kind, QWidget* parent);
    ~CASkinButton() override;

    // Takes the place of a form's button (its layout slot or geometry, name,
    // caption, tip, accessible name, enabled and check state) and deletes it.
    // A check box becomes kind 2, a radio button kind 4, a checkable push button
    // 2 (4 when auto-exclusive), any other button 0. Returns the new button.
    static CASkinButton* Attach(QAbstractButton* button);

    void SetButtonKind(ButtonKind kind);
    [[nodiscard]] ButtonKind GetButtonKind() const;

    // Replaces the images by copies (each may be null): disabled defaults to a
    // grey copy of normal, disabledPressed to a grey copy of pressed. Also sets
    // the "黑体" font at `fontPoints`, white text on RGB (42, 50, 60), and
    // clears the caption (kept as the accessible name when none is set).
    void SetSkin(const CGdiplusBitmap* normal, const CGdiplusBitmap* pressed,
                 const CGdiplusBitmap* hover, const CGdiplusBitmap* disabled,
                 const CGdiplusBitmap* disabledPressed, const CGdiplusBitmap* fallback,
                 int fontPoints);
    // The presence lamp: green picture when unchecked, red when checked (for a
    // disabled button).
    void SetIndicatorSkin(int fontPoints);

    // Check state as the owner sets and reads it. A push button stays unchecked;
    // checking a radio button unchecks the others of its group.
    void SetCheck(int check);
    [[nodiscard]] int GetCheck() const { return isChecked() ? 1 : 0; }

    void SetBkColor(const QColor& colour);
    void SetTextColor(const QColor& colour);
    [[nodiscard]] QColor BkColor() const { return background_; }
    [[nodiscard]] QColor TextColor() const { return textColour_; }
    [[nodiscard]] bool IsHover() const { return hover_; }
    [[nodiscard]] bool IsPressed() const { return pressed_; }

    enum ImageSlot { Normal, Hover, Pressed, Disabled, DisabledPressed, Fallback, SlotCount };
    // The image painting uses in the current state; null when there is none.
    [[nodiscard]] const CGdiplusBitmap* CurrentImage() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Check changes are made by this class alone (see mouseReleaseEvent).
    void nextCheckState() override {}

private:
    void ApplyKind();
    void EnsureKind();
    void ToggleByUser();
    void SendGroupUncheck();

    ButtonKind kind_ = PushButton;
    bool kindSet_ = false;
    bool hover_ = false;
    bool pressed_ = false;
    std::array<GdiplusBitmapPtr, SlotCount> images_;
    QColor background_;
    QColor textColour_;
};

// Points to pixels at the screen's vertical resolution, rounded half away from zero.
[[nodiscard]] int FontPointsToPixels(int points, int dpiY);
