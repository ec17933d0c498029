#include "realtime/ObjectInfoSettings.h"

#include <cstdio>
#include <string>

#include "app/XMLNode.h"
#include "device/common/Conversion.h"

namespace {

std::string FormatScale(double value) {
    return FormatFixed(value, 6);
}

} // namespace

void ReadObjectInfoSettings(const XMLNode& section, ObjectInfoSettings& s) {
    section.ReadValue("EnergyWaveWnd_ActiveColor", &s.energyActiveColor, DIGITAL_TYPE_UINT32);
    section.ReadValue("EnergyWaveWnd_InactiveColor", &s.energyInactiveColor, DIGITAL_TYPE_UINT32);
    section.ReadValue("EnergyWaveWnd_ValueAutoScale", &s.energyValueAutoScale, DIGITAL_TYPE_FLAG);
    section.ReadValue("EnergyWaveWnd_ValueDisplayMax", &s.energyValueDisplayMax,
                      DIGITAL_TYPE_INT32);
    section.ReadValue("EnergyWaveWnd_WaveLineWidth", &s.energyWaveLineWidth, DIGITAL_TYPE_INT32);
    section.ReadValue("DistanceWaveWnd_ActiveColor", &s.distanceActiveColor, DIGITAL_TYPE_UINT32);
    section.ReadValue("DistanceWaveWnd_InactiveColor", &s.distanceInactiveColor,
                      DIGITAL_TYPE_UINT32);
    section.ReadValue("DistanceWaveWnd_WaveLineWidth", &s.distanceWaveLineWidth,
                      DIGITAL_TYPE_INT32);
    section.ReadValue("TriggerSensingScale", &s.triggerSensingScale, DIGITAL_TYPE_DOUBLE);
    section.ReadValue("HoldSensingScale", &s.holdSensingScale, DIGITAL_TYPE_DOUBLE);
}

void WriteObjectInfoSettings(XMLNode& section, const ObjectInfoSettings& s) {
    section.SetAttributeHex("EnergyWaveWnd_ActiveColor", s.energyActiveColor);
    section.SetAttributeHex("EnergyWaveWnd_InactiveColor", s.energyInactiveColor);
    section.SetAttributeInt("EnergyWaveWnd_ValueAutoScale", s.energyValueAutoScale);
    section.SetAttributeInt("EnergyWaveWnd_ValueDisplayMax", s.energyValueDisplayMax);
    section.SetAttributeInt("EnergyWaveWnd_WaveLineWidth", s.energyWaveLineWidth);
    section.SetAttributeHex("DistanceWaveWnd_ActiveColor", s.distanceActiveColor);
    section.SetAttributeHex("DistanceWaveWnd_InactiveColor", s.distanceInactiveColor);
    section.SetAttributeInt("DistanceWaveWnd_WaveLineWidth", s.distanceWaveLineWidth);
    section.SetAttributeText("TriggerSensingScale", FormatScale(s.triggerSensingScale));
    section.SetAttributeText("HoldSensingScale", FormatScale(s.holdSensingScale));
}
