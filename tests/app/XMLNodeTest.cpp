#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/TempDir.h"
#include "app/XMLNode.h"
#include "app/XMLParser.h"
#include "device/common/FileUtil.h"

TEST(XMLNode, NamesMatchIgnoringCaseAndWritesKeepTheOriginalName) {
    XMLParser parser;
    const std::string text =
        "<appconfig baudrate=\"9600\" language=\"chs\"><paramsetting/></appconfig>";
    ASSERT_TRUE(parser.LoadBuffer(text.data(), text.size()));
    XMLNode app = parser.GetChild("AppConfig");
    ASSERT_FALSE(app.IsNull());
    std::int32_t baud = 115200;
    EXPECT_TRUE(app.ReadValue("BaudRate", baud));
    EXPECT_EQ(baud, 9600);
    EXPECT_EQ(app.GetText("LANGUAGE").value_or(""), "chs");
    EXPECT_FALSE(app.GetText("RadarConfigFile").has_value());

    app.SetAttributeInt("BaudRate", 256000);            // in place, lower-case name kept
    app.SetAttributeText("RadarConfigFile", "a b.xml"); // appended with the name as written
    EXPECT_EQ(app.GetChild("ParamSetting").GetNode(), app.GetNode().first_child());
    const std::string attrs = [&] {
        std::string s;
        for (pugi::xml_attribute a : app.GetNode().attributes())
            s += std::string(a.name()) + "=" + a.value() + ";";
        return s;
    }();
    EXPECT_EQ(attrs, "baudrate=256000;language=chs;RadarConfigFile=a b.xml;");
}

TEST(XMLNode, ReadValueLeavesDefaultsAndFormatsAsStated) {
    XMLParser parser;
    const std::string text =
        "<AppConfig BaudRate=\"\" Color=\"0x0000FF00\" Neg=\"-7\" Thr=\"33.333\" Bad=\"12x\"/>";
    ASSERT_TRUE(parser.LoadBuffer(text.data(), text.size()));
    XMLNode app = parser.GetChild("AppConfig");

    std::int32_t baud = 115200;
    EXPECT_FALSE(app.ReadValue("BaudRate", baud)); // empty text leaves the default
    EXPECT_EQ(baud, 115200);
    std::int32_t bad = 5;
    EXPECT_FALSE(app.ReadValue("Bad", bad));
    EXPECT_EQ(bad, 5);
    std::int32_t missing = 3;
    EXPECT_FALSE(app.ReadValue("Missing", missing));
    EXPECT_EQ(missing, 3);

    std::uint32_t color = 0;
    EXPECT_TRUE(app.ReadValue("color", color));
    EXPECT_EQ(color, 65280u);
    std::int32_t neg = 0;
    EXPECT_TRUE(app.ReadValue("Neg", &neg, 5));
    EXPECT_EQ(neg, -7);
    double thr = 0;
    EXPECT_TRUE(app.ReadValue("Thr", thr));
    EXPECT_DOUBLE_EQ(thr, 33.333);

    app.SetAttributeHex("Color", color);
    app.SetAttributeInt("Neg", -9000000000LL);
    app.SetAttributeDouble("Thr", thr);
    EXPECT_EQ(app.GetText("Color").value_or(""), "0x0000ff00");
    EXPECT_EQ(app.GetText("Neg").value_or(""), "-9000000000");
    EXPECT_EQ(app.GetText("Thr").value_or(""), "33.33");
}

TEST(XMLNode, NullNodesAndNonElementsIgnoreWrites) {
    XMLNode none;
    EXPECT_TRUE(none.IsNull());
    EXPECT_TRUE(none.SetAttributeInt("A", 1)); // reports success, does nothing
    EXPECT_TRUE(none.GetChild("X").IsNull());
    EXPECT_FALSE(none.GetText("A").has_value());

    XMLParser parser;
    const std::string text = "<R>text</R>";
    ASSERT_TRUE(parser.LoadBuffer(text.data(), text.size()));
    XMLNode pcdata(parser.GetChild("R").GetNode().first_child());
    ASSERT_EQ(pcdata.GetNode().type(), pugi::node_pcdata);
    pcdata.SetAttributeText("A", "1");
    EXPECT_TRUE(pcdata.GetChild("Y").IsNull());
    EXPECT_FALSE(pcdata.GetText("A").has_value());
}

TEST(XMLParser, SavesDeclarationTabsAndShortFormAndReadsItBack) {
    TempDir dir;
    XMLParser parser;
    XMLNode root = parser.GetChild("RadarParam");
    root.SetAttributeInt("GateMax", 8);
    root.GetChild("Child").GetChild("Leaf").SetAttributeText("Name", "中文 <&>");
    const std::string path = dir.file("p.xml");
    ASSERT_TRUE(parser.SaveFile(path));
    std::vector<std::uint8_t> data;
    ReadFileDataW(path, data);
    EXPECT_EQ(std::string(data.begin(), data.end()), "<?xml version=\"1.0\"?>\n"
                                                     "<RadarParam GateMax=\"8\">\n"
                                                     "\t<Child>\n"
                                                     "\t\t<Leaf Name=\"中文 &lt;&amp;>\" />\n"
                                                     "\t</Child>\n"
                                                     "</RadarParam>\n");

    // A declaration already there is kept, not doubled.
    XMLParser again;
    ASSERT_TRUE(again.LoadFile(path));
    EXPECT_EQ(again.GetChild("radarparam")
                  .GetChild("child")
                  .GetChild("leaf")
                  .GetText("name")
                  .value_or(""),
              "中文 <&>");
    ASSERT_TRUE(again.SaveFile(path));
    std::vector<std::uint8_t> twice;
    ReadFileDataW(path, twice);
    EXPECT_EQ(twice, data);

    EXPECT_FALSE(parser.SaveFile(dir.file("no/such/dir/p.xml")));
}

TEST(XMLParser, MissingOrMalformedFilesLeaveAnEmptyDocument) {
    TempDir dir;
    XMLParser parser;
    EXPECT_TRUE(parser.LoadFile(dir.file("absent.xml")));
    EXPECT_TRUE(parser.GetDocument().GetNode().first_child().empty());

    const std::string bad = "<RadarParam GateMax=\"8\"><Open>";
    EXPECT_FALSE(parser.LoadBuffer(bad.data(), bad.size()));
    EXPECT_TRUE(parser.GetDocument().GetNode().first_child().empty());

    // UTF-16 with a byte-order mark is detected and read.
    const char16_t wide[] = u"\xFEFF<R A=\"x\"/>";
    EXPECT_TRUE(parser.LoadBuffer(wide, sizeof wide - sizeof(char16_t)));
    EXPECT_EQ(parser.GetChild("R").GetText("A").value_or(""), "x");
}
