#pragma once
// The real-time page's section of the settings file (element ObjectInfo).

#include <cstdint>

class XMLNode;

struct ObjectInfoSettings {
    std::uint32_t energyActiveColor = 0xFF000000;   // energy plot background (RGB, red low)
    std::uint32_t energyInactiveColor = 0xBFC3C3C3; // shading beyond GateMax (ARGB)
    std::int32_t energyValueAutoScale = 0;
    std::int32_t energyValueDisplayMax = 100;         // dB
    std::int32_t energyWaveLineWidth = 5;             // before scaling
    std::uint32_t distanceActiveColor = 0xFFC3C3C3;   // presence bands (ARGB)
    std::uint32_t distanceInactiveColor = 0xFF000000; // range plot background (RGB, red low)
    std::int32_t distanceWaveLineWidth = 5;           // before scaling
    double triggerSensingScale = 5.0;                 // kept in the file only
    double holdSensingScale = 3.5;                    // kept in the file only
};

// Reads every key present in `section`; absent, empty or malformed ones keep
// their current value.
void ReadObjectInfoSettings(const XMLNode& section, ObjectInfoSettings& settings);
// Writes all ten keys into `section` (colours as hex, integers, scales as "%f").
void WriteObjectInfoSettings(XMLNode& section, const ObjectInfoSettings& settings);
