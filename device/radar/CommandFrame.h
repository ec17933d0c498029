#pragma once
// Command and acknowledgement framing shared by the device library and the
// simulated module (docs/protocol.md is the reference):
//
//   FD FC FB FA | length L (u16 LE) | command word (u16 LE) | payload | 04 03 02 01
//
// L counts the command word and the payload. An acknowledgement echoes the
// command word with kAckBit set and its payload starts with a 16-bit status.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace radar {

inline constexpr std::uint8_t kCmdHeader[4] = {0xFD, 0xFC, 0xFB, 0xFA};
inline constexpr std::uint8_t kCmdTail[4] = {0x04, 0x03, 0x02, 0x01};
inline constexpr std::size_t kCmdFrameOverhead = 12; // header, length, command word, tail
inline constexpr std::uint16_t kAckBit = 0x0100;

// Command words of the module (the threshold and bootloader codes are the
// callers' own and travel through the generic command path).
enum : std::uint16_t {
    kCmdWriteParameters = 0x0007,
    kCmdReadParameters = 0x0008,
    kCmdStartThresholdGeneration = 0x0009,
    kCmdGetGenerationProgress = 0x000A,
    kCmdSetFunctionMode = 0x0012,
    kCmdSetReportMode = 0x0060,
    kCmdSetDataTransferMode = 0x0061,
    kCmdReadVersion = 0x00A0,
    kCmdReadSerialNumber = 0x00A1,
    kCmdLeaveCommandMode = 0x00FE,
    kCmdEnterCommandMode = 0x00FF,
    kCmdGetRunningMode = 0x0070,
    kCmdGetPartitionInfo = 0x0071,
    kCmdSendBinInfo = 0x0072,
    kCmdSendPacket = 0x0073,
    kCmdSoftwareReset = 0x0074,
    kCmdGetDeviceId = 0x0075,
};

// Status words the module puts into its acknowledgements.
enum : std::uint16_t {
    kStatusOk = 0x0000,
    kStatusUnknownCommand = 0x0001,
    kStatusBadPayload = 0x0002,
    kStatusNotInCommandMode = 0x0003,
    kStatusWrongState = 0x0004,
    kStatusValueOutOfRange = 0x0005,
    kStatusUnsupportedProtocol = 0x0006,
    kStatusUnknownParameter = 0x0007,
    kStatusSequenceError = 0x0011,
    kStatusPacketChecksumError = 0x0012,
    kStatusPacketTooLong = 0x0013,
    kStatusImageChecksumError = 0x0014,
    kStatusNoTransfer = 0x0015,
};

// Largest L either side accepts; longer announced lengths are taken as noise.
inline constexpr std::size_t kMaxFramePayload = 4096;

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value);
[[nodiscard]] std::uint16_t ReadU16(const std::uint8_t* p);
[[nodiscard]] std::uint32_t ReadU32(const std::uint8_t* p);

// A whole frame: header, length, word, payload, tail.
[[nodiscard]] std::vector<std::uint8_t> BuildCommandFrame(std::uint16_t word,
                                                          std::span<const std::uint8_t> payload);
// An acknowledgement of `command`: word = command | kAckBit, payload = status + data.
[[nodiscard]] std::vector<std::uint8_t> BuildAckFrame(std::uint16_t command, std::uint16_t status,
                                                      std::span<const std::uint8_t> data);

struct CommandFrame {
    std::uint16_t word = 0;
    std::vector<std::uint8_t> payload;
};

// Finds command/acknowledgement frames in a byte stream that may hold anything
// else (report frames, noise, partial frames). Bytes are appended as they come;
// Next() hands out complete, well-formed frames in order.
class CCommandFrameScanner {
public:
    void Append(const std::uint8_t* data, std::size_t size);
    // The next complete frame, or nothing when more bytes are needed.
    [[nodiscard]] std::optional<CommandFrame> Next();
    void Clear() { buffer_.clear(); }
    [[nodiscard]] std::size_t Pending() const { return buffer_.size(); }
    // Frames dropped for a bad tail or an impossible length since construction.
    [[nodiscard]] std::size_t Rejected() const { return rejected_; }

private:
    std::vector<std::uint8_t> buffer_;
    std::size_t rejected_ = 0;
};

} // namespace radar
