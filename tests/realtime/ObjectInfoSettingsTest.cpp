#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

#include "app/XMLNode.h"
#include "realtime/ObjectInfoSettings.h"

namespace {

std::vector<std::pair<std::string, std::string>> Attributes(const pugi::xml_node& node) {
    std::vector<std::pair<std::string, std::string>> result;
    for (const pugi::xml_attribute& a : node.attributes())
        result.emplace_back(a.name(), a.value());
    return result;
}

} // namespace

TEST(ObjectInfoSettings, MissingSectionKeepsDefaultsAndIsWrittenWhole) {
    pugi::xml_document document;
    XMLNode root(document.append_child("AppConfig"));
    XMLNode section = root.GetChild("ObjectInfo");
    ObjectInfoSettings settings;
    ReadObjectInfoSettings(section, settings);
    EXPECT_EQ(settings.energyActiveColor, 0xFF000000u);
    EXPECT_EQ(settings.energyValueDisplayMax, 100);
    EXPECT_DOUBLE_EQ(settings.holdSensingScale, 3.5);

    WriteObjectInfoSettings(section, settings);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"EnergyWaveWnd_ActiveColor", "0xff000000"},
        {"EnergyWaveWnd_InactiveColor", "0xbfc3c3c3"},
        {"EnergyWaveWnd_ValueAutoScale", "0"},
        {"EnergyWaveWnd_ValueDisplayMax", "100"},
        {"EnergyWaveWnd_WaveLineWidth", "5"},
        {"DistanceWaveWnd_ActiveColor", "0xffc3c3c3"},
        {"DistanceWaveWnd_InactiveColor", "0xff000000"},
        {"DistanceWaveWnd_WaveLineWidth", "5"},
        {"TriggerSensingScale", "5.000000"},
        {"HoldSensingScale", "3.500000"},
    };
    EXPECT_EQ(Attributes(section.GetNode()), expected);
}

TEST(ObjectInfoSettings, ReadsWhatIsThereIgnoringCaseAndSkipsBadValues) {
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(R"(<AppConfig><objectinfo
        energywavewnd_activecolor="0x00102030"
        EnergyWaveWnd_InactiveColor=""
        EnergyWaveWnd_ValueAutoScale="1"
        EnergyWaveWnd_ValueDisplayMax="abc"
        EnergyWaveWnd_WaveLineWidth="3"
        DistanceWaveWnd_ActiveColor="4294967295"
        DistanceWaveWnd_WaveLineWidth="-2"
        TriggerSensingScale="6.25"/></AppConfig>)"));
    XMLNode section = XMLNode(document.document_element()).GetChild("ObjectInfo");
    ObjectInfoSettings settings;
    ReadObjectInfoSettings(section, settings);
    EXPECT_EQ(settings.energyActiveColor, 0x00102030u);
    EXPECT_EQ(settings.energyInactiveColor, 0xBFC3C3C3u) << "empty text keeps the default";
    EXPECT_EQ(settings.energyValueAutoScale, 1);
    EXPECT_EQ(settings.energyValueDisplayMax, 100) << "malformed text keeps the default";
    EXPECT_EQ(settings.energyWaveLineWidth, 3);
    EXPECT_EQ(settings.distanceActiveColor, 0xFFFFFFFFu);
    EXPECT_EQ(settings.distanceWaveLineWidth, -2) << "kept as stored; the page draws at least 1";
    EXPECT_DOUBLE_EQ(settings.triggerSensingScale, 6.25);
    EXPECT_DOUBLE_EQ(settings.holdSensingScale, 3.5);

    // Written back into the same attributes, which keep their spelling.
    WriteObjectInfoSettings(section, settings);
    EXPECT_STREQ(section.GetNode().attribute("energywavewnd_activecolor").value(), "0x00102030");
    EXPECT_STREQ(section.GetNode().attribute("TriggerSensingScale").value(), "6.250000");
    EXPECT_EQ(Attributes(section.GetNode()).size(), 10u);
}
