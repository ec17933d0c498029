#include <gtest/gtest.h>

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <memory>

#include "controls/WndResizeTool.h"

namespace {

QFont PointFont(double points) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSizeF(points);
    return f;
}

// A dialog recorded at 800 x 600: a button, a frame holding a label with a pixel
// font, and a box whose layout places its own label.
struct Dialog {
    Dialog() {
        root.resize(800, 600);
        button = new QPushButton(QStringLiteral("Connect"), &root);
        button->setGeometry(101, 50, 199, 30);
        button->setFont(PointFont(9));
        frame = new QFrame(&root);
        frame->setGeometry(400, 100, 300, 400);
        label = new QLabel(QStringLiteral("Port No."), frame);
        label->setGeometry(10, 21, 101, 20);
        QFont pixels = label->font();
        pixels.setPixelSize(12);
        label->setFont(pixels);
        combo = new QComboBox(&root);
        combo->setGeometry(10, 500, 150, 24);
        box = new QWidget(&root);
        box->setGeometry(0, 0, 90, 40);
        auto* layout = new QHBoxLayout(box);
        laidOut = new QLabel(QStringLiteral("laid out"));
        layout->addWidget(laidOut);
        laidOut->setFont(PointFont(10));
        laidOut->setGeometry(3, 4, 50, 20);

        tool.ClearChildren();
        tool.SetRecordedSize(800, 600);
        tool.CaptureChildren(&root);
        tool.SetWindow(&root);
    }
    QWidget root;
    QPushButton* button;
    QFrame* frame;
    QLabel* label;
    QComboBox* combo;
    QWidget* box;
    QLabel* laidOut;
    CWndResizeTool tool;
};

} // namespace

TEST(WndResizeTool, DoesNothingUntilEnabled) {
    Dialog d;
    double sx = 0, sy = 0;
    EXPECT_FALSE(d.tool.ResizeChildren(1600, 1200, &sx, &sy));
    EXPECT_EQ(sx, 1.0);
    EXPECT_EQ(sy, 1.0);
    EXPECT_EQ(d.button->geometry(), QRect(101, 50, 199, 30));
    EXPECT_EQ(d.button->font().pointSizeF(), 9.0);
}

TEST(WndResizeTool, ScalesPositionsAndFontsFromTheRecordedValues) {
    Dialog d;
    // Every descendant is recorded, but not the private parts of the combo box.
    EXPECT_EQ(d.tool.RecordedCount(), 6);
    d.tool.SetEnabled(true);

    struct Case {
        int cx, cy;
        QRect button, label;
        double buttonPoints;
        int labelPixels;
    };
    const Case cases[] = {
        // Width doubled: x and widths double, y and heights stay, fonts keep size.
        {1600, 600, QRect(202, 50, 398, 30), QRect(20, 21, 202, 20), 9.0, 12},
        // Both doubled: fonts double too.
        {1600, 1200, QRect(202, 100, 398, 60), QRect(20, 42, 202, 40), 18.0, 24},
        // Odd sizes truncate toward zero; the font follows the smaller factor.
        {1000, 777, QRect(126, 64, 249, 39), QRect(12, 27, 126, 26), 11.25, 15},
        // Back at the recorded size everything is exactly as recorded.
        {800, 600, QRect(101, 50, 199, 30), QRect(10, 21, 101, 20), 9.0, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.cx << "x" << c.cy);
        double sx = 0, sy = 0;
        ASSERT_TRUE(d.tool.ResizeChildren(c.cx, c.cy, &sx, &sy));
        EXPECT_DOUBLE_EQ(sx, c.cx / 800.0);
        EXPECT_DOUBLE_EQ(sy, c.cy / 600.0);
        EXPECT_EQ(d.button->geometry(), c.button);
        EXPECT_EQ(d.label->geometry(), c.label);
        EXPECT_DOUBLE_EQ(d.button->font().pointSizeF(), c.buttonPoints);
        EXPECT_EQ(d.label->font().pixelSize(), c.labelPixels);
    }
    EXPECT_EQ(d.button->font(), PointFont(9));
}

TEST(WndResizeTool, LeavesLaidOutWidgetsToTheirLayoutAndSkipsDestroyedOnes) {
    Dialog d;
    d.tool.SetEnabled(true);
    const QRect before = d.laidOut->geometry();
    delete d.button;
    ASSERT_TRUE(d.tool.ResizeChildren(1600, 1200));
    EXPECT_EQ(d.box->geometry(), QRect(0, 0, 180, 80)); // the box itself is placed
    EXPECT_EQ(d.laidOut->geometry(), before);           // its content is the layout's
    EXPECT_DOUBLE_EQ(d.laidOut->font().pointSizeF(), 20.0);
    d.tool.ClearChildren();
    EXPECT_EQ(d.tool.RecordedCount(), 0);
}

// A laid-out field's width limits were chosen for its recorded font: they grow
// and shrink with the font (factor 2 here), exactly back at the recorded size;
// unset limits stay unset.
TEST(WndResizeTool, LaidOutWidgetsLimitsFollowTheFont) {
    QWidget root;
    root.resize(800, 600);
    auto* box = new QWidget(&root);
    box->setGeometry(0, 0, 400, 100);
    auto* layout = new QHBoxLayout(box);
    auto* field = new QLabel(QStringLiteral("32.56"));
    field->setMinimumWidth(52);
    field->setMaximumWidth(76);
    auto* free = new QLabel(QStringLiteral("00"));
    layout->addWidget(field);
    layout->addWidget(free);
    CWndResizeTool tool;
    tool.SetRecordedSize(800, 600);
    tool.CaptureChildren(&root);
    tool.SetEnabled(true);

    ASSERT_TRUE(tool.ResizeChildren(1600, 1500));
    EXPECT_EQ(field->minimumSize(), QSize(104, 0));
    EXPECT_EQ(field->maximumSize(), QSize(152, QWIDGETSIZE_MAX));
    EXPECT_EQ(free->minimumSize(), QSize(0, 0));
    EXPECT_EQ(free->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    ASSERT_TRUE(tool.ResizeChildren(800, 600));
    EXPECT_EQ(field->minimumSize(), QSize(52, 0));
    EXPECT_EQ(field->maximumSize(), QSize(76, QWIDGETSIZE_MAX));
}
