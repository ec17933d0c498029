#include "params/RadarParamFile.h"

#include <cstdio>

#include "app/XMLParser.h"
#include "controls/DigitalText.h"
#include "device/common/FileUtil.h"

namespace {
constexpr int kTypeUint32 = 6;
constexpr int kTypeDouble = 10;

std::string TriggerName(int gate) {
    char name[32];
    std::snprintf(name, sizeof name, "TriggerGate%dThreshold", gate);
    return name;
}
std::string HoldName(int gate) {
    char name[32];
    std::snprintf(name, sizeof name, "HoldGate%dThreshold", gate);
    return name;
}
} // namespace

void ReadRadarParamAttributes(const XMLNode& element, RadarOperatorConfig& config) {
    element.ReadValue("GateMax", &config.GateMax, kTypeUint32);
    element.ReadValue("ObjectDisappearDelayTime", &config.ObjectDisappearDelayTime, kTypeUint32);
    for (int gate = 0; gate < kRadarGateCount; ++gate) {
        element.ReadValue(TriggerName(gate).c_str(), &config.TriggerThreshold[gate], kTypeDouble);
        element.ReadValue(HoldName(gate).c_str(), &config.HoldThreshold[gate], kTypeDouble);
    }
}

void WriteRadarParamAttributes(XMLNode element, const RadarOperatorConfig& config) {
    element.SetAttributeInt("GateMax", config.GateMax);
    element.SetAttributeInt("ObjectDisappearDelayTime", config.ObjectDisappearDelayTime);
    for (int gate = 0; gate < kRadarGateCount; ++gate)
        element.SetAttributeText(TriggerName(gate).c_str(),
                                 FormatFixed(config.TriggerThreshold[gate], 2));
    for (int gate = 0; gate < kRadarGateCount; ++gate)
        element.SetAttributeText(HoldName(gate).c_str(),
                                 FormatFixed(config.HoldThreshold[gate], 2));
}

RadarParamLoad LoadRadarParamFile(const std::string& path, RadarOperatorConfig& config) {
    XMLParser parser;
    if (!IsFileExistW(path) || !parser.LoadFile(path))
        return RadarParamLoad::Unreadable;
    const XMLNode element = parser.GetDocument().FindChild("RadarParam");
    if (element.IsNull()) {
        // An empty file parses to an empty document.
        return parser.GetDocument().GetNode().first_child() ? RadarParamLoad::NoRadarParam
                                                            : RadarParamLoad::Unreadable;
    }
    ReadRadarParamAttributes(element, config);
    return RadarParamLoad::Loaded;
}

bool SaveRadarParamFile(const std::string& path, const RadarOperatorConfig& config) {
    XMLParser parser;
    // A file that is missing or not XML leaves the document empty: a new one.
    (void)parser.LoadFile(path);
    WriteRadarParamAttributes(parser.GetChild("RadarParam"), config);
    return parser.SaveFile(path);
}
