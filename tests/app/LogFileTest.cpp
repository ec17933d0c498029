#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "app/AppPaths.h"
#include "app/LogFile.h"
#include "device/common/DbgOutput.h"
#include "device/common/FileUtil.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::vector<std::uint8_t> data;
    ReadFileDataW(path, data);
    return {data.begin(), data.end()};
}

} // namespace

TEST(LogFile, OneDatedFilePerRunFedByDbgOutput) {
    TempDir dir;
    SetAppBaseDirectory(dir.path());
    {
        CLogFile first;
        CLogFile second; // a second run in the same second gets a file of its own
        ASSERT_TRUE(first.OpenLogFile());
        ASSERT_TRUE(second.OpenLogFile());
        EXPECT_NE(first.GetPath(), second.GetPath());
        EXPECT_TRUE(std::regex_match(
            first.GetPath(), std::regex(dir.path() + "/Log/Vestrel_TOOL_\\d{8}_\\d{6}\\.log")))
            << first.GetPath();
        second.CloseLogFile();

        DbgOutputA(2, "Read parameters %d\r\n", 34);
        first.CloseLogFile();
        DbgOutputA(2, "after close\r\n");

        const std::string text = ReadAll(first.GetPath());
        EXPECT_TRUE(std::regex_match(
            text, std::regex("\\[\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\] "
                             "Read parameters 34\r\n")))
            << text;
        EXPECT_EQ(ReadAll(second.GetPath()), "");
    }
    SetAppBaseDirectory({});
}

TEST(LogFile, UnopenableLogDropsLinesSilently) {
    TempDir dir;
    std::ofstream(dir.file("Log")) << "a file where the folder should be";
    SetAppBaseDirectory(dir.path());
    CLogFile log;
    EXPECT_FALSE(log.OpenLogFile());
    EXPECT_FALSE(log.IsOpen());
    DbgOutputA(2, "dropped\r\n");
    log.CloseLogFile();
    log.CloseLogFile();
    SetAppBaseDirectory({});
}
