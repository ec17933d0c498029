#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/XMLParser.h"
#include "params/RadarParamFile.h"

namespace fs = std::filesystem;

namespace {

class ParamFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vestrel-paramfile-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& text) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    fs::path dir_;
};

} // namespace

TEST_F(ParamFileTest, RoundTripInTheStatedOrderAndFormat) {
    RadarOperatorConfig record;
    record.GateMax = 8;
    record.ObjectDisappearDelayTime = 120;
    record.TriggerThreshold[0] = 33.333;
    record.HoldThreshold[15] = 1.0;
    const std::string path = (dir_ / "RadarParamConfig.xml").string();
    ASSERT_TRUE(SaveRadarParamFile(path, record));

    const std::string text = Read(path);
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>", 0), 0u) << text;
    const auto at = [&](const char* s) { return text.find(s); };
    EXPECT_NE(at("GateMax=\"8\""), std::string::npos);
    EXPECT_NE(at("ObjectDisappearDelayTime=\"120\""), std::string::npos);
    EXPECT_NE(at("TriggerGate0Threshold=\"33.33\""), std::string::npos);
    EXPECT_NE(at("HoldGate15Threshold=\"1.00\""), std::string::npos);
    EXPECT_LT(at("GateMax="), at("ObjectDisappearDelayTime="));
    EXPECT_LT(at("ObjectDisappearDelayTime="), at("TriggerGate0Threshold="));
    EXPECT_LT(at("TriggerGate15Threshold="), at("HoldGate0Threshold="));
    EXPECT_LT(at("TriggerGate9Threshold="), at("TriggerGate10Threshold="));

    RadarOperatorConfig back;
    ASSERT_EQ(LoadRadarParamFile(path, back), RadarParamLoad::Loaded);
    EXPECT_EQ(back.GateMax, 8u);
    EXPECT_EQ(back.ObjectDisappearDelayTime, 120u);
    EXPECT_DOUBLE_EQ(back.TriggerThreshold[0], 33.33);
    EXPECT_DOUBLE_EQ(back.HoldThreshold[15], 1.0);
    EXPECT_DOUBLE_EQ(back.HoldThreshold[3], 30.0);
}

TEST_F(ParamFileTest, PartialFileChangesOnlyWhatItNames) {
    RadarOperatorConfig record;
    record.TriggerThreshold[2] = 44.0;
    record.ObjectDisappearDelayTime = 77;
    const std::string path =
        Write("partial.xml",
              "<RadarParam GateMax=\"7\" HoldGate3Threshold=\"\" TriggerGate2Threshold=\"x\"/>");
    ASSERT_EQ(LoadRadarParamFile(path, record), RadarParamLoad::Loaded);
    EXPECT_EQ(record.GateMax, 7u);
    EXPECT_EQ(record.ObjectDisappearDelayTime, 77u);
    EXPECT_EQ(record.TriggerThreshold[2], 44.0) << "malformed text leaves the field";
    EXPECT_EQ(record.HoldThreshold[3], 30.0) << "empty text leaves the field";
}

TEST_F(ParamFileTest, LowerCaseNamesAreReadAndKeptOnSave) {
    const std::string path =
        Write("lower.xml", "<?xml version=\"1.0\"?>\n<radarparam gatemax=\"3\" "
                           "triggergate0threshold=\"12.5\" holdgate1threshold=\"20\"/>\n");
    RadarOperatorConfig record;
    ASSERT_EQ(LoadRadarParamFile(path, record), RadarParamLoad::Loaded);
    EXPECT_EQ(record.GateMax, 3u);
    EXPECT_EQ(record.TriggerThreshold[0], 12.5);
    EXPECT_EQ(record.HoldThreshold[1], 20.0);

    record.GateMax = 11;
    ASSERT_TRUE(SaveRadarParamFile(path, record));
    const std::string text = Read(path);
    EXPECT_NE(text.find("<radarparam gatemax=\"11\""), std::string::npos) << text;
    EXPECT_NE(text.find("triggergate0threshold=\"12.50\""), std::string::npos) << text;
    EXPECT_EQ(text.find("GateMax"), std::string::npos) << "no second attribute for the same name";
    EXPECT_EQ(text.find("RadarParam"), std::string::npos) << "no second element";
}

TEST_F(ParamFileTest, SavingKeepsForeignElementsAndAttributes) {
    const std::string path =
        Write("shared.xml", "<?xml version=\"1.0\"?>\n"
                            "<Lab name=\"bench 2\">\n\t<Note text=\"keep me\" />\n</Lab>\n"
                            "<RadarParam Operator=\"ann\" GateMax=\"2\">\n\t<Comment />\n"
                            "</RadarParam>\n");
    RadarOperatorConfig record;
    record.GateMax = 6;
    ASSERT_TRUE(SaveRadarParamFile(path, record));
    const std::string text = Read(path);
    EXPECT_NE(text.find("<Lab name=\"bench 2\">"), std::string::npos) << text;
    EXPECT_NE(text.find("<Note text=\"keep me\" />"), std::string::npos) << text;
    EXPECT_NE(text.find("Operator=\"ann\""), std::string::npos) << text;
    EXPECT_NE(text.find("<Comment />"), std::string::npos) << text;
    EXPECT_NE(text.find("GateMax=\"6\""), std::string::npos) << text;

    // A file holding other elements only gets RadarParam added.
    const std::string other = Write("other.xml", "<?xml version=\"1.0\"?>\n<Settings a=\"1\" />\n");
    ASSERT_TRUE(SaveRadarParamFile(other, record));
    EXPECT_NE(Read(other).find("<Settings a=\"1\" />"), std::string::npos);
    RadarOperatorConfig back;
    EXPECT_EQ(LoadRadarParamFile(other, back), RadarParamLoad::Loaded);
    EXPECT_EQ(back.GateMax, 6u);
}

TEST_F(ParamFileTest, BadFilesChangeNothing) {
    struct Case {
        const char* what;
        const char* text; // null: no file at all
        RadarParamLoad result;
    };
    const Case cases[] = {
        {"missing", nullptr, RadarParamLoad::Unreadable},
        {"empty", "", RadarParamLoad::Unreadable},
        {"not XML", "GateMax=7 and some \x01\x02 bytes <<<", RadarParamLoad::Unreadable},
        {"truncated XML", "<RadarParam GateMax=\"7\" Trigger", RadarParamLoad::Unreadable},
        {"no RadarParam", "<?xml version=\"1.0\"?>\n<Other GateMax=\"7\"/>",
         RadarParamLoad::NoRadarParam},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path =
            c.text != nullptr ? Write("bad.xml", c.text) : (dir_ / "does-not-exist.xml").string();
        RadarOperatorConfig record;
        record.GateMax = 1;
        EXPECT_EQ(LoadRadarParamFile(path, record), c.result);
        EXPECT_EQ(record.GateMax, 1u);
        EXPECT_EQ(record.TriggerThreshold[0], 30.0);
    }
    // Saving over a file that is not XML writes a fresh document.
    const std::string path = Write("junk.xml", "not xml at all");
    RadarOperatorConfig record;
    ASSERT_TRUE(SaveRadarParamFile(path, record));
    RadarOperatorConfig back;
    back.GateMax = 0;
    EXPECT_EQ(LoadRadarParamFile(path, back), RadarParamLoad::Loaded);
    EXPECT_EQ(back.GateMax, 15u);
}

TEST_F(ParamFileTest, UnwritablePlaceLeavesTheOldFile) {
    RadarOperatorConfig record;
    EXPECT_FALSE(SaveRadarParamFile((dir_ / "no-such-dir" / "x.xml").string(), record));
    // Saving onto a directory fails and leaves it a directory.
    fs::create_directories(dir_ / "adir.xml");
    EXPECT_FALSE(SaveRadarParamFile((dir_ / "adir.xml").string(), record));
    EXPECT_TRUE(fs::is_directory(dir_ / "adir.xml"));
}

TEST_F(ParamFileTest, HandEditedThresholdBeyondTheFieldsReachesTheModuleSaturated) {
    const std::string path = Write("hot.xml", "<RadarParam TriggerGate0Threshold=\"200\" "
                                              "HoldGate0Threshold=\"-3\"/>");
    RadarOperatorConfig record;
    ASSERT_EQ(LoadRadarParamFile(path, record), RadarParamLoad::Loaded);
    EXPECT_EQ(record.TriggerThreshold[0], 200.0);
    const auto values = RadarParamValues(record);
    EXPECT_EQ(values[2], 0xFFFFFFFFu);
    EXPECT_EQ(values[18], 0u);
}
