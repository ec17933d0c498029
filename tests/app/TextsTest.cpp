#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QRegularExpression>

#include <map>
#include <string>

#include "app/StringText.h"
#include "app/Texts.h"

namespace {

// Every entry of the string table, read through the accessor.
std::map<int, QString> AllTexts() {
    std::map<int, QString> texts;
    for (int id = 0; id < 20000; ++id) {
        const QString t = LoadStringText(id);
        if (!t.isEmpty())
            texts[id] = t;
    }
    return texts;
}

// The printf conversions of a pattern in order ("%%" included), e.g. "%.1f %.1f".
QStringList Conversions(const QString& pattern) {
    static const QRegularExpression conv(
        QStringLiteral("%[-+ #0]*[0-9*]*(\\.[0-9*]+)?(hh|h|ll|l|L|z|j|t)?[diouxXeEfgGcsp%]"));
    QStringList out;
    for (auto it = conv.globalMatch(pattern); it.hasNext();)
        out << it.next().captured(0);
    return out;
}

class TextsTest : public ::testing::Test {
protected:
    void TearDown() override { ApplyLanguage(QStringLiteral("ENG")); }
};

} // namespace

TEST_F(TextsTest, BothLanguagesHoldEveryNumberWithTheSameConversions) {
    EXPECT_EQ(ApplyLanguage(QStringLiteral("ENG")), QStringLiteral("en_US"));
    const auto english = AllTexts();
    EXPECT_EQ(ApplyLanguage(QStringLiteral("CHS")), QStringLiteral("zh_CN"));
    const auto chinese = AllTexts();
    ASSERT_EQ(english.size(), 76u);
    ASSERT_EQ(chinese.size(), english.size());
    for (const auto& [id, en] : english) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(chinese.count(id));
        EXPECT_NE(chinese.at(id), en) << "not translated";
        EXPECT_EQ(Conversions(chinese.at(id)), Conversions(en));
    }
    EXPECT_EQ(Conversions(english.at(10414)), (QStringList{"%d", "%d"}));
    EXPECT_EQ(Conversions(english.at(10352)), (QStringList{"%3d", "%%"}));
}

TEST_F(TextsTest, TextsAreExactInBothLanguages) {
    struct Case {
        int id;
        const char* english;
        const char* chinese;
    };
    const Case cases[] = {
        {102, "Windows socket init failed.", "Windows 套接字初始化失败。"},
        {10005, "Scroll (+Ctrl): Zoom Y(X) axis\r\n Click: Shift X/Y axis\r\n Double click: Reset",
         "滚轮(+CTRL): Y(X)轴缩放\r\n左键: X/Y轴平移\r\n左键双击: 恢复"},
        {10103, "Device Not Connected", "设备未连接"},
        {10106, "Failed to set data transfer mode ", "启动数据透传模式失败"},
        {10300, "Target Range: %.2f m\r\n\r\n", "目标距离: %.2f米\r\n"},
        {10415, "Downloading\u2026 \r\n", "下载中。。。。\r\n"},
        {10416, "Download successful! \r\n", "下载成功！\r\n"},
        {10434, "Download Progress: %d, Speed: %.2fKBps", "下载进度: %d, 速度: %.2fKBps"},
    };
    ApplyLanguage(QStringLiteral("eng"));
    for (const Case& c : cases)
        EXPECT_EQ(LoadStringText(c.id), QString::fromUtf8(c.english)) << c.id;
    EXPECT_EQ(LoadStringTextA(10103), "Device Not Connected");
    ApplyLanguage(QStringLiteral("chs"));
    for (const Case& c : cases)
        EXPECT_EQ(LoadStringText(c.id), QString::fromUtf8(c.chinese)) << c.id;
    EXPECT_EQ(LoadStringTextA(10103), "设备未连接");
    EXPECT_TRUE(LoadStringText(10105).isEmpty());
    EXPECT_TRUE(LoadStringText(-1).isEmpty());
}

TEST_F(TextsTest, DialogTextsFollowTheLanguage) {
    struct Case {
        const char* context;
        const char* english;
        const char* chinese;
    };
    const Case cases[] = {
        {"CVORA_Vestrel_ToolDlg", "Version：Unknown", "版本号：Unknown"},
        {"CVORA_Vestrel_ToolDlg", "BaudRate", "波特率"},
        {"CParamSettingDlg", "Absence Report Delay (sec.)", "目标消失延迟时间(秒)"},
        {"CObjectInfoDlg", "Start", "开始"},
        {"CSensingGeneratorDlg", "Threshold Generator", "门限生成"},
        {"CSensingGeneratorDlg", "Close", "关闭"},
        {"CDataProcessDlg", "Save path:", "文件保存路径"},
        {"CDataProcessDlg", "...", "..."},
    };
    ApplyLanguage(QStringLiteral("CHS"));
    for (const Case& c : cases)
        EXPECT_EQ(QCoreApplication::translate(c.context, c.english), QString::fromUtf8(c.chinese))
            << c.context << " " << c.english;
    ApplyLanguage(QStringLiteral("ENG"));
    for (const Case& c : cases)
        EXPECT_EQ(QCoreApplication::translate(c.context, c.english), QString::fromUtf8(c.english));
}

TEST_F(TextsTest, LanguagesWithoutTextsFallBackToEnglish) {
    for (const char* code : {"CHT", "de-DE", "no such language"}) {
        EXPECT_EQ(ApplyLanguage(QString::fromLatin1(code)), QStringLiteral("en_US")) << code;
        EXPECT_EQ(LoadStringText(10000), QStringLiteral("Error"));
    }
    EXPECT_EQ(ApplyLanguage(QStringLiteral("zh_CN")), QStringLiteral("zh_CN"));
    EXPECT_EQ(LoadStringText(10000), QStringLiteral("错误"));
}
