#pragma once
// The operator configuration as attributes of an element: the settings section
// ParamSetting of appConfig.xml and the top-level element RadarParam of a
// parameter file share one attribute set. Names match ignoring letter case.

#include <string>

#include "app/XMLNode.h"
#include "params/RadarOperatorConfig.h"

// Default name of a parameter file.
constexpr const char* kDefaultRadarParamFile = "RadarParamConfig.xml";

// Reads GateMax, ObjectDisappearDelayTime, then gate by gate the trigger and
// the hold threshold. An absent attribute, an empty or malformed text leaves
// its field as it was.
void ReadRadarParamAttributes(const XMLNode& element, RadarOperatorConfig& config);
// Updates the attributes in place, appending missing ones in the order GateMax,
// ObjectDisappearDelayTime, TriggerGate0..15Threshold, HoldGate0..15Threshold.
// Thresholds are written with two decimals whatever the process locale.
void WriteRadarParamAttributes(XMLNode element, const RadarOperatorConfig& config);

enum class RadarParamLoad {
    Loaded,       // RadarParam found and read
    NoRadarParam, // the file parsed but holds no RadarParam: nothing changed
    Unreadable,   // missing, empty or not XML: nothing changed
};
// Loads a parameter file into the record.
[[nodiscard]] RadarParamLoad LoadRadarParamFile(const std::string& path,
                                                RadarOperatorConfig& config);
// Writes the record into RadarParam of the file at `path`, keeping every other
// element and attribute of the file; a file that cannot be read becomes a new
// document. Written through a temporary file and a rename. False when it
// cannot be written (the old file then stays as it was).
[[nodiscard]] bool SaveRadarParamFile(const std::string& path, const RadarOperatorConfig& config);
