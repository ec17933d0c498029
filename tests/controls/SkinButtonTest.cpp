#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <memory>

#include "controls/ASkinButton.h"
#include "controls/ColorStatic.h"

namespace {

std::unique_ptr<CGdiplusBitmap> Solid(QRgb rgb) {
    QImage image(8, 8, QImage::Format_ARGB32);
    image.fill(QColor::fromRgba(rgb));
    return std::make_unique<CGdiplusBitmap>(image);
}

QRgb CentrePixel(QWidget& w) {
    const QImage shot = w.grab().toImage();
    return shot.pixel(shot.width() / 2, shot.height() / 2);
}

QRgb ImageColour(const CGdiplusBitmap* image) {
    return image != nullptr ? image->Image().pixel(4, 4) : 0;
}

} // namespace

TEST(CASkinButton, IndicatorShowsGreenUncheckedAndRedChecked) {
    QWidget page;
    CASkinButton lamp(CASkinButton::CheckBox, &page);
    lamp.setText(QStringLiteral("Presence"));
    lamp.resize(64, 64);
    lamp.setEnabled(false);
    lamp.SetIndicatorSkin(12);
    page.show();

    ASSERT_NE(lamp.CurrentImage(), nullptr);
    EXPECT_EQ(lamp.CurrentImage()->Image().size(), QSize(356, 344));
    const QRgb green = CentrePixel(lamp);
    EXPECT_NEAR(QColor(green).hslHue(), 110, 25);

    lamp.SetCheck(1);
    EXPECT_EQ(lamp.GetCheck(), 1);
    const QRgb red = CentrePixel(lamp);
    EXPECT_LT((QColor(red).hslHue() + 30) % 360, 50);

    lamp.SetCheck(0);
    EXPECT_EQ(CentrePixel(lamp), green);
    // The caption went with the skin; the lamp is still named for assistive tools.
    EXPECT_TRUE(lamp.text().isEmpty());
    EXPECT_EQ(lamp.accessibleName(), QStringLiteral("Presence"));
}

TEST(CASkinButton, PushButtonIsNeverChecked) {
    QWidget page;
    CASkinButton push(CASkinButton::PushButton, &page);
    push.resize(40, 20);
    page.show();
    push.SetCheck(1);
    EXPECT_EQ(push.GetCheck(), 0);
    int clicks = 0;
    QObject::connect(&push, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&push, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(push.GetCheck(), 0);
    EXPECT_EQ(clicks, 1);
}

TEST(CASkinButton, CheckingARadioUnchecksTheRestOfItsGroup) {
    QWidget group;
    CASkinButton r1(CASkinButton::RadioButton, &group);
    CASkinButton r2(CASkinButton::RadioButton, &group);
    CASkinButton r3(CASkinButton::RadioButton, &group);
    CASkinButton box(CASkinButton::CheckBox, &group);
    QWidget other;
    CASkinButton elsewhere(CASkinButton::RadioButton, &other);
    for (CASkinButton* b : {&r1, &r2, &r3, &box})
        b->resize(40, 20);
    group.show();

    box.SetCheck(1);
    elsewhere.SetCheck(1);
    r1.SetCheck(1);
    r2.SetCheck(1);
    EXPECT_EQ(r1.GetCheck(), 0);
    EXPECT_EQ(r2.GetCheck(), 1);
    EXPECT_EQ(box.GetCheck(), 1);       // not a radio button
    EXPECT_EQ(elsewhere.GetCheck(), 1); // another group

    QTest::mouseClick(&r3, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(r3.GetCheck(), 1);
    EXPECT_EQ(r2.GetCheck(), 0);
    QTest::mouseClick(&r3, Qt::LeftButton, {}, QPoint(20, 10)); // clicking again keeps it
    EXPECT_EQ(r3.GetCheck(), 1);
}

TEST(CASkinButton, CheckBoxTogglesOnlyOnReleaseOverIt) {
    QWidget page;
    CASkinButton box(CASkinButton::CheckBox, &page);
    box.resize(40, 20);
    page.show();

    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(box.IsPressed());
    EXPECT_TRUE(box.isDown());
    QTest::mouseMove(&box, QPoint(90, 60));
    EXPECT_FALSE(box.isDown()); // pushed look follows the cursor
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(90, 60));
    EXPECT_EQ(box.GetCheck(), 0);
    EXPECT_FALSE(box.IsPressed());

    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(box.GetCheck(), 1);
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(box.GetCheck(), 0);

    box.setFocus();
    QTest::keyClick(&box, Qt::Key_Space);
    EXPECT_EQ(box.GetCheck(), 1); // once per key press, not again on release
}

TEST(CASkinButton, ImageFollowsHoverPressAndDisabledState) {
    QWidget page;
    CASkinButton button(CASkinButton::CheckBox, &page);
    button.resize(40, 20);
    const auto normal = Solid(qRgb(0, 0, 255));
    const auto hover = Solid(qRgb(255, 255, 0));
    const auto pressed = Solid(qRgb(255, 0, 255));
    button.SetSkin(normal.get(), pressed.get(), hover.get(), nullptr, nullptr, nullptr, 10);
    page.show();

    EXPECT_EQ(ImageColour(button.CurrentImage()), qRgb(0, 0, 255));
    QTest::mouseMove(&button, QPoint(10, 10));
    EXPECT_TRUE(button.IsHover());
    EXPECT_EQ(ImageColour(button.CurrentImage()), qRgb(255, 255, 0));
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_FALSE(button.IsHover());
    EXPECT_EQ(ImageColour(button.CurrentImage()), qRgb(255, 0, 255));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(ImageColour(button.CurrentImage()), qRgb(255, 0, 255)); // checked now

    // Disabled slots default to grey copies of normal and pressed.
    button.setEnabled(false);
    EXPECT_EQ(ImageColour(button.CurrentImage()), qRgb(105, 105, 105)); // (77 + 29) * 255 >> 8
    button.SetCheck(0);
    EXPECT_EQ(ImageColour(button.CurrentImage()), qRgb(28, 28, 28)); // 29 * 255 >> 8
    EXPECT_EQ(button.TextColor(), QColor(255, 255, 255));
    EXPECT_EQ(button.BkColor(), QColor(42, 50, 60));
}

TEST(CASkinButton, TakesThePlaceOfFormButtons) {
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* check = new QCheckBox(QStringLiteral("Auto"), &form);
    check->setObjectName(QStringLiteral("ctl3001"));
    check->setChecked(true);
    layout->addWidget(check);
    auto* promoted = new CASkinButton(&form); // as a form with a promoted push button makes it
    promoted->setCheckable(true);
    promoted->setAutoExclusive(true);
    layout->addWidget(promoted);
    form.show();

    CASkinButton* skin = CASkinButton::Attach(check);
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->GetButtonKind(), CASkinButton::CheckBox);
    EXPECT_EQ(skin->objectName(), QStringLiteral("ctl3001"));
    EXPECT_EQ(skin->text(), QStringLiteral("Auto"));
    EXPECT_EQ(skin->GetCheck(), 1);
    EXPECT_EQ(layout->indexOf(skin), 0);
    EXPECT_EQ(form.findChildren<QCheckBox*>().size(), 0);
    EXPECT_EQ(promoted->GetButtonKind(), CASkinButton::RadioButton);
}

TEST(FontPointsToPixels, RoundsHalvesAwayFromZero) {
    struct Case {
        int points, dpi, pixels;
    };
    for (const Case c : {Case{9, 96, 12}, Case{10, 96, 13}, Case{11, 96, 15}, Case{3, 108, 5},
                         Case{-3, 108, -5}, Case{12, 72, 12}})
        EXPECT_EQ(FontPointsToPixels(c.points, c.dpi), c.pixels) << c.points << " pt at " << c.dpi;
}

TEST(CColorStatic, LinesAreSpacedEvenlyByAlignment) {
    const QRectF rect(0, 10, 200, 100);
    struct Case {
        int spacing;
        CColorStatic::Align align;
        float first, second;
    };
    const Case cases[] = {
        {0, CColorStatic::Near, 30, 70},         {0, CColorStatic::Centre, 30, 70},
        {0, CColorStatic::Far, 30, 70},          {5, CColorStatic::Near, 15, 40},
        {5, CColorStatic::Centre, 37.5f, 62.5f}, {5, CColorStatic::Far, 60, 85},
    };
    for (const Case& c : cases) {
        const auto boxes = CColorStatic::LayoutLines(rect, {20.0f, 20.0f}, c.spacing, c.align);
        ASSERT_EQ(boxes.size(), 2u);
        EXPECT_FLOAT_EQ(static_cast<float>(boxes[0].top()), c.first) << c.spacing << "/" << c.align;
        EXPECT_FLOAT_EQ(static_cast<float>(boxes[1].top()), c.second)
            << c.spacing << "/" << c.align;
        EXPECT_FLOAT_EQ(static_cast<float>(boxes[1].height()), 20.0f);
        EXPECT_FLOAT_EQ(static_cast<float>(boxes[1].width()), 200.0f);
    }
}

TEST(CColorStatic, PaintsBackgroundAndWhiteLines) {
    QWidget page;
    QLabel* plain = new QLabel(QStringLiteral("Target Range: 2.35 m\nsecond"), &page);
    plain->setObjectName(QStringLiteral("ctl3002"));
    plain->setGeometry(0, 0, 240, 100);
    CColorStatic* label = CColorStatic::Attach(plain);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->geometry(), QRect(0, 0, 240, 100));
    label->setText(QStringLiteral("Target Range: 2.35 m\nsecond"));
    label->SetLabelStyle(nullptr, 12);
    page.show();
    EXPECT_EQ(label->LineSpacing(), 0);
    EXPECT_EQ(label->HorizontalAlign(), CColorStatic::Near);

    const QImage shot = label->grab().toImage();
    EXPECT_EQ(shot.pixel(235, 2), qRgb(42, 50, 60));
    auto whiteIn = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < shot.width(); ++x)
                if (qRed(shot.pixel(x, y)) > 200 && qBlue(shot.pixel(x, y)) > 200)
                    return true;
        return false;
    };
    EXPECT_TRUE(whiteIn(0, 50));   // first line in the upper half
    EXPECT_TRUE(whiteIn(50, 100)); // second line in the lower half
}
