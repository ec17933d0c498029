#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "app/AppConfig.h"
#include "app/AppPaths.h"
#include "device/common/FileUtil.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::vector<std::uint8_t> data;
    ReadFileDataW(path, data);
    return {data.begin(), data.end()};
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Every test gets its own directory as the executable's directory.
class AppConfigTest : public ::testing::Test {
protected:
    void SetUp() override { SetAppBaseDirectory(dir.path()); }
    void TearDown() override { SetAppBaseDirectory({}); }
    TempDir dir;
};

const char kEmptyConfig[] = "<?xml version=\"1.0\"?>\n<AppConfig />\n";

} // namespace

TEST_F(AppConfigTest, MissingOrEmptyFileBecomesDeclarationAndEmptyAppConfig) {
    EXPECT_EQ(GetAppConfigPath(), dir.file("appConfig.xml"));
    for (const char* before : {static_cast<const char*>(nullptr), "", "<Other/>"}) {
        SCOPED_TRACE(before ? before : "(deleted)");
        std::filesystem::remove(GetAppConfigPath());
        if (before != nullptr)
            WriteAll(GetAppConfigPath(), before);
        EXPECT_TRUE(LoadAppConfig());
        const std::string expect = before != nullptr && std::string(before) == "<Other/>"
                                       ? "<?xml version=\"1.0\"?>\n<Other />\n<AppConfig />\n"
                                       : kEmptyConfig;
        EXPECT_EQ(ReadAll(GetAppConfigPath()), expect);
        std::int32_t baud = kDefaultBaudRate;
        GetAppConfig().ReadValue("BaudRate", baud);
        EXPECT_EQ(baud, 115200);
    }
}

TEST_F(AppConfigTest, ExistingSettingsAreReadNotRewrittenAndSavedInPlace) {
    const std::string original =
        "<?xml version=\"1.0\"?>\n<AppConfig baudrate=\"9600\" Language=\"CHS\">\n"
        "\t<ParamSetting X=\"1\" />\n</AppConfig>\n";
    WriteAll(GetAppConfigPath(), original);
    EXPECT_TRUE(LoadAppConfig());
    EXPECT_EQ(ReadAll(GetAppConfigPath()), original); // nothing was missing: no save
    std::int32_t baud = kDefaultBaudRate;
    EXPECT_TRUE(GetAppConfig().ReadValue("BaudRate", baud));
    EXPECT_EQ(baud, 9600);

    GetAppConfig().SetAttributeInt("BaudRate", 256000);
    GetAppConfig().GetChild("ObjectInfo");
    EXPECT_TRUE(SaveAppConfig());
    EXPECT_EQ(ReadAll(GetAppConfigPath()),
              "<?xml version=\"1.0\"?>\n<AppConfig baudrate=\"256000\" Language=\"CHS\">\n"
              "\t<ParamSetting X=\"1\" />\n\t<ObjectInfo />\n</AppConfig>\n");
    // Saved through a temporary file that is gone afterwards.
    std::vector<std::string> files;
    GetLocalFolderFileListA(dir.path(), 0, files, "", 0, 0);
    EXPECT_EQ(files, std::vector<std::string>{"appConfig.xml"});
}

TEST_F(AppConfigTest, MalformedFileStartsFromDefaultsAndKeepsItsBytes) {
    const std::string cases[] = {
        std::string("<AppConfig BaudRate=\"9600\"><Open>"),
        std::string("\x00\xff\xfe<<<\x01", 7),
        std::string("<AppConfig BaudRate=\"96"),
    };
    for (const std::string& bytes : cases) {
        WriteAll(GetAppConfigPath(), bytes);
        EXPECT_FALSE(LoadAppConfig());
        std::int32_t baud = kDefaultBaudRate;
        GetAppConfig().ReadValue("BaudRate", baud);
        EXPECT_EQ(baud, 115200);
        EXPECT_EQ(ReadAll(GetAppConfigPath()), kEmptyConfig);
        EXPECT_EQ(ReadAll(GetAppConfigPath() + ".bad"), bytes);
    }
}

TEST_F(AppConfigTest, FailedSaveReportsFalseAndKeepsTheDocument) {
    // The settings folder cannot be created: a regular file stands in its way.
    const std::string blocker = dir.file("blocker");
    WriteAll(blocker, "x");
    SetAppBaseDirectory(blocker + "/sub");
    LoadAppConfig();
    GetAppConfig().SetAttributeInt("BaudRate", 1234);
    EXPECT_FALSE(SaveAppConfig());
    EXPECT_EQ(GetAppConfig().GetText("BaudRate").value_or(""), "1234");
    EXPECT_EQ(ReadAll(blocker), "x");
}

TEST(AppPaths, FoldersBesideTheBaseDirectory) {
    SetAppBaseDirectory("/opt/vt");
    EXPECT_TRUE(IsAppBesideExecutable());
    EXPECT_EQ(GetAppFolderPath(AppFolder::Config), "/opt/vt");
    EXPECT_EQ(GetAppConfigPath(), "/opt/vt/appConfig.xml");
    EXPECT_EQ(GetAppFolderPath(AppFolder::Log), "/opt/vt/Log");
    EXPECT_EQ(GetAppFolderPath(AppFolder::SaveData), "/opt/vt/SaveData");
    EXPECT_EQ(GetAppFolderPath(AppFolder::FWImage), "/opt/vt/FW_Image");
    SetAppBaseDirectory({});
    // The test executable's own directory is writable: files live beside it.
    EXPECT_EQ(GetAppFolderPath(AppFolder::Config), GetProgramPathW());
}

TEST(AppPaths, XdgDirectoriesHonourAbsoluteVariablesOnly) {
    const char* home = std::getenv("HOME");
    ::setenv("VESTREL_TEST_XDG", "/data/xdg", 1);
    EXPECT_EQ(XdgBaseDirectory("VESTREL_TEST_XDG", ".local/share"), "/data/xdg");
    ::setenv("VESTREL_TEST_XDG", "relative/xdg", 1);
    EXPECT_EQ(XdgBaseDirectory("VESTREL_TEST_XDG", ".local/share"),
              std::string(home ? home : "") + "/.local/share");
    ::unsetenv("VESTREL_TEST_XDG");
    EXPECT_EQ(XdgBaseDirectory("VESTREL_TEST_XDG", ".config"),
              std::string(home ? home : "") + "/.config");
}

TEST(LanguageSelection, Table) {
    const std::pair<std::string, std::string> cases[] = {
        {"ENG", "en-US"}, {"eng", "en-US"},
        {"CHS", "zh-cn"}, {"chs", "zh-cn"},
        {"Cht", "zh-tw"}, {"de-DE", "de-DE"},
        {"", ""},         {std::string(40, 'x'), std::string(31, 'x')},
    };
    for (const auto& [setting, expect] : cases)
        EXPECT_EQ(SelectLanguageName(setting), expect) << setting;
}
