#pragma once
// Radar device library: owns the serial port, the framing of commands and
// acknowledgements, command mode and the reading of the raw report stream.
// Every operation takes the handle first (but Serial_Create). Results: nonzero
// on success unless stated; acknowledgement checks return 16-bit codes, 0 for
// success. No operation throws.

#include <cstdint>

#include "device/common/BaseString.h"

enum eRADAR_PROTOCOL_VERSION {
    RADAR_PROTOCOL_VERSION_1 = 1,
    RADAR_PROTOCOL_VERSION_2 = 2, // the version every caller passes
};

// Status codes of acknowledgement checks.
constexpr std::uint16_t RADAR_ACK_OK = 0;
constexpr std::uint16_t RADAR_ACK_WRONG_LENGTH = 0xA005;

using RadarDeviceHandle = void*;

// Judges the data of an acknowledgement (what follows the echoed command word).
using RadarAckCheckFunc = std::uint16_t (*)(eRADAR_PROTOCOL_VERSION version, const std::uint8_t* ack,
                                            std::uint32_t length, void* user);

RadarDeviceHandle VORA_Interface_RadarDevice_Serial_Create();
void VORA_Interface_RadarDevice_Serial_Destroy(RadarDeviceHandle handle);

// Opens the port listed under `portNum` by EnumSerialPortNameW. The flags and
// the last value are documented in docs/protocol.md (connect passes 2, 1, 1, 1, 150).
int VORA_Interface_RadarDevice_Serial_OpenByPortNum(RadarDeviceHandle handle, int portNum, int baudRate,
                                                    int protocolVersion, int flagA, int flagB,
                                                    int flagC, int timeoutMs);
void VORA_Interface_RadarDevice_Serial_Close(RadarDeviceHandle handle);
int VORA_Interface_RadarDevice_IsConnected(RadarDeviceHandle handle);

int VORA_Interface_RadarDevice_StartCmdMode(RadarDeviceHandle handle, int protocolVersion, int timeoutMs);
int VORA_Interface_RadarDevice_StopCmdMode(RadarDeviceHandle handle);

int VORA_Interface_RadarDevice_Protocol_SetABDMode(RadarDeviceHandle handle);
int VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(RadarDeviceHandle handle);
// Bytes of one transfer (a fixed property of the library, see below).
int VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(RadarDeviceHandle handle);

int VORA_Interface_RadarDevice_Protocol_GetParameter(RadarDeviceHandle handle, std::uint16_t command,
                                                     std::uint32_t count, const std::uint16_t* ids,
                                                     std::uint32_t* values, std::uint32_t timeoutMs);
int VORA_Interface_RadarDevice_Protocol_SetParameter(RadarDeviceHandle handle, std::uint16_t command,
                                                     std::uint32_t count, const std::uint16_t* ids,
                                                     const std::uint32_t* values, std::uint32_t timeoutMs);

// Sends a command and waits for its acknowledgement; returns the check's code
// (the library's own failures, such as a time-out, are nonzero codes too).
std::uint16_t VORA_Interface_RadarDevice_Protocol_SendCommand(RadarDeviceHandle handle, std::uint16_t command,
                                                              const std::uint8_t* payload, std::uint32_t length,
                                                              RadarAckCheckFunc check, void* user,
                                                              std::uint32_t timeoutMs);
int VORA_Interface_RadarDevice_Protocol_SendCommand_NoCheckAck(RadarDeviceHandle handle, std::uint16_t command,
                                                               const std::uint8_t* payload, std::uint32_t length);

// Bytes that arrived within the time-out (at most `capacity`); below 1 means none.
int VORA_Interface_RadarDevice_ReadData(RadarDeviceHandle handle, std::uint8_t* buffer, std::uint32_t capacity,
                                        std::uint32_t timeoutMs, int flags);

int VORA_Interface_RadarDevice_GetVersion(RadarDeviceHandle handle, CBaseStringA& version);
int VORA_Interface_RadarDevice_GetSerialNumber(RadarDeviceHandle handle, CBaseStringA& serialNumber);

// The library's own check: returns the 16-bit status at offset 0, hands nothing back.
std::uint16_t CheckCmdAckData_RetCode(eRADAR_PROTOCOL_VERSION version, const std::uint8_t* ack,
                                      std::uint32_t length, void* user);
