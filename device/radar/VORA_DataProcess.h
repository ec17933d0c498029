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

// Status codes of acknowledgement checks and of Protocol_SendCommand. Codes
// 0xA001..0xA006 are the library's own (no acknowledgement reached a check);
// any other nonzero code is what the check returned, usually the module's status.
constexpr std::uint16_t RADAR_ACK_OK = 0;
constexpr std::uint16_t RADAR_ERR_NOT_CONNECTED = 0xA001; // port not open (or gone)
constexpr std::uint16_t RADAR_ERR_WRITE_FAILED = 0xA002;  // the command could not be sent
constexpr std::uint16_t RADAR_ERR_TIMEOUT = 0xA003;       // no acknowledgement in time
constexpr std::uint16_t RADAR_ERR_BAD_ARGUMENT = 0xA004;  // null payload with a length, etc.
constexpr std::uint16_t RADAR_ACK_WRONG_LENGTH = 0xA005;  // acknowledgement of the wrong length
constexpr std::uint16_t RADAR_ERR_PORT_VANISHED = 0xA006; // the device went away meanwhile

// Why the last Serial_OpenByPortNum failed (GetLastErrorCode).
enum eRADAR_OPEN_ERROR {
    RADAR_OPEN_OK = 0,
    RADAR_OPEN_UNKNOWN_PORT = 1, // the number names no present port
    RADAR_OPEN_PERMISSION = 2,   // no access: the user is not in the dialout group
    RADAR_OPEN_BUSY = 3,         // another program holds the port
    RADAR_OPEN_BAD_SETTINGS = 4, // baud rate not valid or refused
    RADAR_OPEN_NO_ANSWER = 5,    // opened, but the module did not enter command mode
    RADAR_OPEN_OTHER = 6,
};

using RadarDeviceHandle = void*;

// Judges the data of an acknowledgement (what follows the echoed command word).
using RadarAckCheckFunc = std::uint16_t (*)(eRADAR_PROTOCOL_VERSION version,
                                            const std::uint8_t* ack, std::uint32_t length,
                                            void* user);

RadarDeviceHandle VORA_Interface_RadarDevice_Serial_Create();
void VORA_Interface_RadarDevice_Serial_Destroy(RadarDeviceHandle handle);

// Opens the port listed under `portNum` by EnumSerialPortNameW (device/common/
// SerialPortEnum.h), 8N1 at `baudRate`, exclusively. protocolVersion must be 2.
// enterCommandMode: enter command mode at once and stay in it (fails the open
//   when the module does not answer); readVersion / readSerialNumber: read and
//   keep the texts for GetVersion / GetSerialNumber (entering command mode for
//   the moment when not asked to stay in it; failures here do not fail the open);
// commandTimeoutMs: acknowledgement wait of the library's own commands (open,
//   StopCmdMode, mode switches, version/serial queries); <= 0 means 150.
// Connect passes 2, 1, 1, 1, 150; the firmware page 2, 0, 0, 0, 50 or 2, 0, 1, 0, 50.
// An open handle is closed first. On failure GetLastErrorText tells why.
int VORA_Interface_RadarDevice_Serial_OpenByPortNum(RadarDeviceHandle handle, int portNum,
                                                    int baudRate, int protocolVersion,
                                                    int enterCommandMode, int readVersion,
                                                    int readSerialNumber, int commandTimeoutMs);
void VORA_Interface_RadarDevice_Serial_Close(RadarDeviceHandle handle);
// Nonzero while open; 0 after Serial_Close and once the device went away (a
// failed read or write on an unplugged port). Safe from any thread.
int VORA_Interface_RadarDevice_IsConnected(RadarDeviceHandle handle);

// OS reason of the last failed open (or of the port going away), in words a
// user can act on, e.g. "ttyUSB0: Permission denied. Add your user to the
// 'dialout' group ...". Empty after a successful open. Valid until the next
// operation on the handle.
const char* VORA_Interface_RadarDevice_GetLastErrorText(RadarDeviceHandle handle);
int VORA_Interface_RadarDevice_GetLastErrorCode(RadarDeviceHandle handle); // eRADAR_OPEN_ERROR

// protocolVersion must be 2; timeoutMs is the acknowledgement wait (150, or 50
// on the firmware page).
int VORA_Interface_RadarDevice_StartCmdMode(RadarDeviceHandle handle, int protocolVersion,
                                            int timeoutMs);
int VORA_Interface_RadarDevice_StopCmdMode(RadarDeviceHandle handle);

int VORA_Interface_RadarDevice_Protocol_SetABDMode(RadarDeviceHandle handle);
int VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(RadarDeviceHandle handle);
// Bytes of one transfer: the largest command frame the module's parameter
// commands are sized for, and the read chunk of stream readers. A fixed
// property of the library, 64 by default; tests change it per handle with the
// setter (clamped to 16..4096) to exercise other chunkings.
constexpr int RADAR_DEFAULT_WRITE_BUFFER_MAX_SIZE = 64;
int VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(RadarDeviceHandle handle);
void VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(RadarDeviceHandle handle, int size);

int VORA_Interface_RadarDevice_Protocol_GetParameter(RadarDeviceHandle handle,
                                                     std::uint16_t command, std::uint32_t count,
                                                     const std::uint16_t* ids,
                                                     std::uint32_t* values,
                                                     std::uint32_t timeoutMs);
int VORA_Interface_RadarDevice_Protocol_SetParameter(RadarDeviceHandle handle,
                                                     std::uint16_t command, std::uint32_t count,
                                                     const std::uint16_t* ids,
                                                     const std::uint32_t* values,
                                                     std::uint32_t timeoutMs);

// Sends a command and waits for its acknowledgement; returns the check's code
// (the library's own failures, such as a time-out, are the RADAR_ERR_ codes).
// A null check means CheckCmdAckData_RetCode.
std::uint16_t VORA_Interface_RadarDevice_Protocol_SendCommand(
    RadarDeviceHandle handle, std::uint16_t command, const std::uint8_t* payload,
    std::uint32_t length, RadarAckCheckFunc check, void* user, std::uint32_t timeoutMs);
int VORA_Interface_RadarDevice_Protocol_SendCommand_NoCheckAck(RadarDeviceHandle handle,
                                                               std::uint16_t command,
                                                               const std::uint8_t* payload,
                                                               std::uint32_t length);

// Bytes that arrived within the time-out (at most `capacity`); 0 means none
// arrived. -1 when the port is not open or went away: then it returns within
// 50 ms (never spins) and IsConnected reports 0. `flags` is reserved (0).
int VORA_Interface_RadarDevice_ReadData(RadarDeviceHandle handle, std::uint8_t* buffer,
                                        std::uint32_t capacity, std::uint32_t timeoutMs, int flags);

// The texts read at open, else asked from the module now (command mode needed).
int VORA_Interface_RadarDevice_GetVersion(RadarDeviceHandle handle, CBaseStringA& version);
int VORA_Interface_RadarDevice_GetSerialNumber(RadarDeviceHandle handle,
                                               CBaseStringA& serialNumber);

// The library's own check: returns the 16-bit status at offset 0, hands nothing back.
std::uint16_t CheckCmdAckData_RetCode(eRADAR_PROTOCOL_VERSION version, const std::uint8_t* ack,
                                      std::uint32_t length, void* user);
