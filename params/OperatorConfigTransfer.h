#pragma once
// Moving the operator configuration between the module and the record, and
// the parameter page's two commands around it. Run on the window thread.

#include "device/radar/VORA_DataProcess.h"
#include "params/RadarOperatorConfig.h"

// Results of the transfers.
constexpr int kTransferOk = 0;
constexpr int kTransferNotConnected = 1;
constexpr int kTransferFailed = 2;

// Module to record. Sends neither StartCmdMode nor StopCmdMode (the caller
// brackets). On any failure the record is left exactly as it was.
[[nodiscard]] int ReadSetting_RadarOperatorConfig(RadarDeviceHandle handle,
                                                  RadarOperatorConfig* config);
// Record to module; stops at the first chunk the module refuses (earlier
// chunks stay written on the module).
[[nodiscard]] int WriteSetting_RadarOperatorConfig(RadarDeviceHandle handle,
                                                   const RadarOperatorConfig* config);

// "Read Sensor Config" and "Set Sensor Config": the transfer bracketed by
// StartCmdMode(2, 150) and StopCmdMode, sent even when the port is closed.
[[nodiscard]] int RunReadSensorConfig(RadarDeviceHandle handle, RadarOperatorConfig* config);
[[nodiscard]] int RunWriteSensorConfig(RadarDeviceHandle handle, const RadarOperatorConfig* config);

// What the page tells the user after a command: caption and text by their
// string-table numbers, and whether it is an error (else information).
struct SensorCommandMessage {
    int captionId = 0;
    int textId = 0;
    bool error = false;
};
[[nodiscard]] SensorCommandMessage SensorCommandMessageFor(bool write, int result);
