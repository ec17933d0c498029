#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "device/common/FileUtil.h"

TEST(FileUtil, NameByDate) {
    EXPECT_TRUE(std::regex_match(GetFileNameByDateW(".log", "Vestrel_TOOL_", "", 0, 1, 0),
                                 std::regex("Vestrel_TOOL_\\d{8}_\\d{6}\\.log")));
    EXPECT_TRUE(std::regex_match(GetFileNameByDateW(".dat", "RadarData_", "", 0, 1, 0),
                                 std::regex("RadarData_\\d{8}_\\d{6}\\.dat")));
    EXPECT_TRUE(std::regex_match(GetFileNameByDateW(".txt", "_x", "_s", 1, 0, 0),
                                 std::regex("\\d{8}_x_s\\.txt")));
}

TEST(FileUtil, PathPieces) {
    struct Case {
        const char* dir;
        const char* name;
        const char* joined;
    };
    const Case cases[] = {
        {"/a/b", "c.xml", "/a/b/c.xml"},
        {"/a/b/", "/c.xml", "/a/b/c.xml"},
        {"/a", "\\Log\\x.log", "/a/Log/x.log"},
        {"/", "x", "/x"},
        {"", "x", "x"},
        {"/a", "", "/a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CombinePathNameW(c.dir, c.name), c.joined) << c.dir << " + " << c.name;
    EXPECT_EQ(GetFileExtNameW("/a.b/c.BIN"), ".BIN");
    EXPECT_EQ(GetFileExtNameW("/a.b/c"), "");
    EXPECT_EQ(GetFileExtNameW(".hidden"), "");
    EXPECT_EQ(GetFileShortNameW("/a/b/c.bin"), "c.bin");
    EXPECT_EQ(DevideStringByCharListA(";a;;b c;", "; "), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(GetProgramPathW().empty());
    EXPECT_TRUE(IsFileExistW(GetProgramPathW()));
    EXPECT_EQ(GetFileVersionW(), VESTREL_VERSION);
}
