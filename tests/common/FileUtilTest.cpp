#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "device/common/FileUtil.h"
#include "support/TempDir.h"

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

namespace {
std::string Contents(const std::string& path) {
    std::vector<std::uint8_t> data;
    ReadFileDataW(path, data);
    return {data.begin(), data.end()};
}
} // namespace

TEST(FileUtil, AtomicWriteReplacesWholeOrLeavesTheOldFile) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    const std::string path = dir.file("appConfig.xml");
    ASSERT_TRUE(WriteFileAtomically(path, "first", 5));
    ASSERT_TRUE(WriteFileAtomically(path, "second!", 7));
    EXPECT_EQ(Contents(path), "second!");
    ASSERT_TRUE(WriteFileAtomically(path, "", 0));
    EXPECT_EQ(Contents(path), "");
    ASSERT_TRUE(WriteFileAtomically(path, "kept", 4));

    std::vector<std::string> names;
    EXPECT_EQ(GetLocalFolderFileListA(dir.path(), 0, names, "", 0, 0), 1) << "no temporary left";

    // A target that cannot be replaced (a directory) or a missing folder: false,
    // nothing left behind, the old file as it was.
    ASSERT_TRUE(RecursiveCreateDirectoryW(dir.file("sub")));
    EXPECT_FALSE(WriteFileAtomically(dir.file("sub"), "x", 1));
    EXPECT_FALSE(WriteFileAtomically(dir.file("missing/appConfig.xml"), "x", 1));
    EXPECT_EQ(GetLocalFolderFileListA(dir.path(), 1, names, "", 1, 0), 2);
    EXPECT_EQ(Contents(path), "kept");
}

TEST(FileUtil, DirectoriesAndFolderListing) {
    TempDir dir;
    ASSERT_FALSE(dir.path().empty());
    ASSERT_TRUE(RecursiveCreateDirectoryW(dir.file("a/b/c")));
    EXPECT_TRUE(RecursiveCreateDirectoryW(dir.file("a/b/c"))) << "existing is fine";
    EXPECT_TRUE(IsFileExistW(dir.file("a/b/c")));
    for (const char* name : {"x.BIN", "y.bin", "a/z.bin", "a/b/w.txt"})
        std::ofstream(dir.file(name)) << name;
    EXPECT_FALSE(RecursiveCreateDirectoryW(dir.file("x.BIN/d"))) << "a file in the way";

    std::vector<std::string> list;
    EXPECT_EQ(GetLocalFolderFileListA(dir.path(), 0, list, ".bin", 0, 0), 2);
    EXPECT_EQ(list, (std::vector<std::string>{"x.BIN", "y.bin"}));
    EXPECT_EQ(GetLocalFolderFileListA(dir.path(), 1, list, ".Bin", 0, 0), 3);
    EXPECT_EQ(list, (std::vector<std::string>{"a/z.bin", "x.BIN", "y.bin"}));
    EXPECT_EQ(GetLocalFolderFileListA(dir.path(), 0, list, "", 0, 1), 2);
    EXPECT_EQ(list.front(), dir.file("x.BIN"));
    EXPECT_EQ(GetLocalFolderFileListA(dir.file("none"), 1, list, "", 0, 0), 0);

    std::vector<std::uint8_t> data{1, 2, 3};
    EXPECT_EQ(ReadFileDataW(dir.file("y.bin"), data), 5u);
    EXPECT_EQ(std::string(data.begin(), data.end()), "y.bin");
    EXPECT_EQ(ReadFileDataW(dir.file("none"), data), 0u);
    EXPECT_TRUE(data.empty());
}
