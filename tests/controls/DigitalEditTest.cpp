#include <gtest/gtest.h>

#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <optional>
#include <string>
#include <vector>

#include "controls/DigitalEdit.h"

namespace {

// A window with the field under test and a second field that takes the focus.
struct Host {
    QWidget window;
    CDigitalEdit* edit;
    QLineEdit* next;
    std::vector<QString> notified; // the field's text each time the page heard of it

    Host() {
        auto* layout = new QVBoxLayout(&window);
        edit = new CDigitalEdit(&window);
        edit->setObjectName(QStringLiteral("ctl2002"));
        next = new QLineEdit(&window);
        layout->addWidget(edit);
        layout->addWidget(next);
        QObject::connect(edit, &CDigitalEdit::valueChanged,
                         [this] { notified.push_back(edit->text()); });
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        edit->setFocus(Qt::OtherFocusReason);
    }

    // Plays keys on the field: '\b' Backspace, '\x7f' Delete, 'V' Ctrl+V,
    // 'H' Home, '\r' Enter, '\t' Tab, anything else typed as it is.
    void Play(const std::string& keys) {
        for (char c : keys) {
            switch (c) {
            case '\b':
                QTest::keyClick(edit, Qt::Key_Backspace);
                break;
            case '\x7f':
                QTest::keyClick(edit, Qt::Key_Delete);
                break;
            case 'H':
                QTest::keyClick(edit, Qt::Key_Home);
                break;
            case 'V':
                QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
                break;
            case '\r':
                QTest::keyClick(edit, Qt::Key_Return);
                break;
            case '\t':
                QTest::keyClick(edit, Qt::Key_Tab);
                break;
            default:
                QTest::keyClick(edit, c);
                break;
            }
        }
    }

    [[nodiscard]] std::optional<CBalloonWnd::Message> Newest() const {
        if (edit->Balloon() == nullptr || edit->Balloon()->Messages().empty())
            return std::nullopt;
        return edit->Balloon()->Messages().front();
    }
};

struct Limits {
    double min, max, tolerance;
    const char* format;
};

struct EditCase {
    const char* what;
    DigitalValueType type;
    std::optional<Limits> limits;
    const char* initial;   // put in by the page
    const char* clipboard; // for 'V'
    std::string keys;
    const char* typed;      // text after the keys
    const char* inputError; // newest balloon after the keys ("Input Error"), or null
    const char* left;       // text after the field lost the focus
    const char* dataError;  // balloon after leaving ("Data Invalid"), or null
    int notifications;
};

const EditCase kCases[] = {
    {"digit appended, one notification on leaving", DIGITAL_UINT32, Limits{0, 1000, 1e-16, nullptr},
     "12", "", "5", "125", nullptr, "125", nullptr, 1},
    {"point refused in an integer field", DIGITAL_INT32, std::nullopt, "12", "", ".", "12",
     "Invalid character '.'", "12", nullptr, 0},
    {"second point refused", DIGITAL_DOUBLE, std::nullopt, "1.5", "", ".", "1.5",
     "Invalid character '.'", "1.5", nullptr, 0},
    {"minus refused in an unsigned field", DIGITAL_UINT32, std::nullopt, "", "", "-", "",
     "Invalid character '-'", "", nullptr, 0},
    {"minus first in a signed field", DIGITAL_INT32, std::nullopt, "", "", "-5", "-5", nullptr,
     "-5", nullptr, 1},
    {"minus after a digit refused", DIGITAL_INT32, std::nullopt, "", "", "5-", "5",
     "Invalid character '-'", "5", nullptr, 1},
    {"letter refused with its own text", DIGITAL_DOUBLE, std::nullopt, "", "", "1x", "1",
     "Invalid character 'x'", "1", nullptr, 1},
    {"above the maximum corrected", DIGITAL_UINT32, Limits{0, 15, 1e-16, nullptr}, "", "", "16",
     "16", nullptr, "15", "MaxValue Must <= 15", 1},
    {"within the float tolerance", DIGITAL_DOUBLE, Limits{1.0, 20.0, 0.1, "%.1f"}, "", "", "20.05",
     "20.05", nullptr, "20.05", nullptr, 1},
    {"beyond the float tolerance", DIGITAL_DOUBLE, Limits{1.0, 20.0, 0.1, "%.1f"}, "", "", "20.2",
     "20.2", nullptr, "20.0", "MaxValue Must <= 20.0", 1},
    {"pasted 15.4 within half a unit", DIGITAL_UINT32, Limits{0, 15, 1e-16, nullptr}, "", "15.4",
     "V", "15.4", nullptr, "15.4", nullptr, 1},
    {"pasted 15.6 corrected", DIGITAL_UINT32, Limits{0, 15, 1e-16, nullptr}, "", "15.6", "V",
     "15.6", nullptr, "15", "MaxValue Must <= 15", 1},
    {"pasted letters refused", DIGITAL_UINT32, Limits{0, 15, 1e-16, nullptr}, "7", "abc", "V", "7",
     "Invalid character 'a'", "7", nullptr, 0},
    {"emptied threshold corrected to the minimum", DIGITAL_DOUBLE,
     Limits{1.0, 90.0, 1e-16, nullptr}, "30", "", "\b\b", "", nullptr, "1", "MinValue Must >= 1",
     1},
    {"Delete counts as an edit", DIGITAL_DOUBLE, Limits{1.0, 90.0, 1e-16, nullptr}, "30", "",
     "H\x7f", "0", nullptr, "1", "MinValue Must >= 1", 1},
    {"unchanged field says nothing", DIGITAL_UINT32, Limits{0, 15, 1e-16, nullptr}, "99", "", "",
     "99", nullptr, "99", nullptr, 0},
};

} // namespace

TEST(DigitalEdit, KeystrokesValidationAndNotifications) {
    for (const EditCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Host h;
        h.edit->SetValueType(c.type);
        if (c.limits) {
            h.edit->SetMinValue(c.limits->min, c.limits->tolerance, c.limits->format);
            h.edit->SetMaxValue(c.limits->max, c.limits->tolerance, c.limits->format);
        }
        h.edit->setText(QString::fromUtf8(c.initial));
        h.edit->setCursorPosition(static_cast<int>(h.edit->text().size()));
        QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));

        h.Play(c.keys);
        EXPECT_EQ(h.edit->text().toStdString(), c.typed);
        EXPECT_TRUE(h.notified.empty()) << "keystrokes must not notify";
        const auto afterKeys = h.Newest();
        if (c.inputError != nullptr) {
            ASSERT_TRUE(afterKeys.has_value());
            EXPECT_EQ(afterKeys->title.toStdString(), "Input Error");
            EXPECT_EQ(afterKeys->text.toStdString(), c.inputError);
            EXPECT_EQ(afterKeys->icon, CBalloonWnd::IconError);
            EXPECT_TRUE(h.edit->Balloon()->isVisible());
        } else {
            EXPECT_FALSE(afterKeys.has_value());
        }

        h.Play("\t");
        EXPECT_FALSE(h.edit->hasFocus());
        EXPECT_EQ(h.edit->text().toStdString(), c.left);
        ASSERT_EQ(static_cast<int>(h.notified.size()), c.notifications);
        if (c.notifications > 0) {
            EXPECT_EQ(h.notified.back().toStdString(), c.left) << "the page reads the final value";
        }
        const auto afterLeave = h.Newest();
        if (c.dataError != nullptr) {
            ASSERT_TRUE(afterLeave.has_value());
            EXPECT_EQ(afterLeave->title.toStdString(), "Data Invalid");
            EXPECT_EQ(afterLeave->text.toStdString(), c.dataError);
        } else if (afterLeave) {
            EXPECT_EQ(afterLeave->title.toStdString(), "Input Error");
        } else {
            SUCCEED();
        }
    }
}

TEST(DigitalEdit, EnterMovesOnAndValidates) {
    Host h;
    h.edit->SetValueType(DIGITAL_UINT32);
    h.edit->SetMinValue(0, 1e-16);
    h.edit->SetMaxValue(15, 1e-16);
    h.Play("20\r");
    EXPECT_TRUE(h.next->hasFocus());
    EXPECT_EQ(h.edit->text(), QStringLiteral("15"));
    ASSERT_EQ(h.notified.size(), 1u);
    // Coming back and leaving without typing says nothing more.
    h.edit->setFocus(Qt::OtherFocusReason);
    h.next->setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(h.notified.size(), 1u);
}

TEST(DigitalEdit, TextFromThePageNeverNotifies) {
    Host h;
    h.edit->SetValueType(DIGITAL_DOUBLE);
    SetItemDouble(&h.window, 2002, 1.999);
    EXPECT_EQ(h.edit->text(), QStringLiteral("2.00"));
    SetItemDouble(&h.window, 2002, 2.0);
    EXPECT_EQ(h.edit->text(), QStringLiteral("2"));
    SetItemDouble(&h.window, 2002, 1.25);
    EXPECT_EQ(h.edit->text(), QStringLiteral("1.25"));
    EXPECT_DOUBLE_EQ(GetItemDouble(&h.window, 2002), 1.25);
    EXPECT_EQ(GetItemDouble(&h.window, 9999), 0.0);
    h.next->setFocus(Qt::OtherFocusReason);
    EXPECT_TRUE(h.notified.empty());
}

TEST(DigitalEdit, SameErrorTwiceKeepsOneBalloonEntry) {
    Host h;
    h.edit->SetValueType(DIGITAL_INT32);
    h.Play(".");
    QTest::qWait(50);
    h.Play(".x");
    ASSERT_NE(h.edit->Balloon(), nullptr);
    const auto messages = h.edit->Balloon()->Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Invalid character 'x'"));
    EXPECT_EQ(messages[1].text, QStringLiteral("Invalid character '.'"));
    EXPECT_EQ(messages[1].remainingMs, CBalloonWnd::kDisplayMs);
    // The balloon never takes the focus from the field.
    EXPECT_TRUE(h.edit->hasFocus());
}
