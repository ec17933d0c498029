#pragma once
// The simulated module: everything the module does, without any I/O. Bytes
// from the host go in through Receive, report frames come out of Tick, and
// both hand back byte chunks with the time they are due on the wire (late
// acknowledgements are simply due later). CSimulatedModulePort drives it over
// a pseudo-terminal; tests may also drive it directly.
//
// Every public operation is thread-safe (one internal lock), so a test can
// inspect and steer the model while the port thread serves the host.

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "device/radar/CommandFrame.h"

namespace vestrel::sim {

using SimClock = std::chrono::steady_clock;

// The 34 parameter ids in transfer order: 1, 4, 16..47.
[[nodiscard]] const std::array<std::uint16_t, 34>& ParameterIds();

enum class StreamMode { DataTransfer, Report };

// Values of command 0x70 (GetRunningMode).
constexpr std::uint32_t kRunningBootLoader = 1;
[[nodiscard]] constexpr std::uint32_t RunningModeOfPartition(int partition) {
    return 2u << partition; // App0 = 2, App1 = 4, ...
}

// What one command's acknowledgement suffers. Matching commands pass
// untouched `skip` times first; then the fault applies `count` times (-1: for good).
struct CommandFault {
    enum class Kind {
        NoAck,       // the command is lost: not executed, never answered
        LateAck,     // executed; the answer leaves delayMs later
        WrongLength, // executed; the answer's data (status + reply) is cut or
                     // zero-padded to `length` bytes
        Status,      // not executed; answered with `status` and zeroed reply data
                     // of the usual size (4 bytes for 0x70..0x75, 2 for 0x0A, else none)
    };
    Kind kind = Kind::NoAck;
    std::uint32_t delayMs = 0;
    std::size_t length = 0;
    std::uint16_t status = radar::kStatusValueOutOfRange;
    int skip = 0;
    int count = -1;
};

struct StreamFaults {
    int badTailEvery = 0;      // every N-th report frame gets a wrong tail (0: never)
    int garbageEvery = 0;      // every N-th report frame is preceded by 1..7 noise bytes
    int otherLengthEvery = 25; // every N-th report is followed by a frame with L = 8
};

// Forced report content (replaces the walking target and the noise).
struct ReportContent {
    std::uint8_t state = 0;
    std::uint16_t rangeCm = 0;
    std::array<std::uint16_t, 16> energies{};
};

struct PartitionFirmware {
    std::string version; // "v1.1.0"
    std::uint32_t size = 0;
    std::uint32_t checksum = 0;
    std::vector<std::uint8_t> image; // empty for the factory firmware
};

struct ReceivedCommand {
    std::uint16_t word = 0;
    std::vector<std::uint8_t> payload;
};

struct ModuleOutput {
    SimClock::time_point due;
    std::vector<std::uint8_t> bytes;
};

struct ModuleConfig {
    int reportRateHz = 10;
    std::string stateFile;          // parameters etc. kept across runs when set
    std::uint32_t seed = 1;         // noise and garbage generator
    std::uint16_t packetSize = 256; // P answered to SendBinInfo
    std::uint32_t deviceId = 0x56534D01;
    std::uint32_t partitionMask = 0x3;
    std::uint32_t generationMs = 3000; // time for threshold generation to reach 100 %
    std::uint32_t resetMs = 300;       // a software reset keeps the module deaf this long
    bool bootAfterImage = true; // a verified image starts at once (else: stay in the bootloader)
};

class CModuleModel {
public:
    explicit CModuleModel(ModuleConfig config = {});

    // --- driving (the port thread) ---
    void Receive(const std::uint8_t* data, std::size_t size, SimClock::time_point now,
                 std::vector<ModuleOutput>& out);
    void Tick(SimClock::time_point now, std::vector<ModuleOutput>& out);
    // When Tick has something to do next (a far future when nothing streams).
    [[nodiscard]] SimClock::time_point NextTickDue(SimClock::time_point now) const;

    // --- state, for tests and the program ---
    [[nodiscard]] std::uint32_t Parameter(std::uint16_t id) const; // 0 for unknown ids
    void SetParameter(std::uint16_t id, std::uint32_t value);
    [[nodiscard]] std::array<std::uint32_t, 34> Parameters() const; // in ParameterIds() order
    [[nodiscard]] std::uint32_t FunctionMode() const;
    [[nodiscard]] bool InCommandMode() const;
    [[nodiscard]] StreamMode CurrentStreamMode() const;
    // Streaming now: report mode, out of command mode, application running.
    [[nodiscard]] bool Streaming() const;
    [[nodiscard]] std::uint32_t RunningMode() const;
    void SetRunningMode(std::uint32_t mode);
    [[nodiscard]] std::string Version() const;   // of the running firmware (or the bootloader)
    void SetVersion(const std::string& version); // of the running application partition
    [[nodiscard]] std::string SerialNumber() const;
    void SetSerialNumber(const std::string& serial);
    [[nodiscard]] std::uint32_t DeviceId() const;
    void SetDeviceId(std::uint32_t id);
    [[nodiscard]] std::uint32_t PartitionMask() const;
    void SetPartitionMask(std::uint32_t mask);
    void SetPacketSize(std::uint16_t size);
    [[nodiscard]] PartitionFirmware Partition(int index) const;
    [[nodiscard]] int ActivePartition() const;

    void SetReportRate(int reportsPerSecond); // 0 stops the stream
    void ForceReport(std::optional<ReportContent> content);
    void SetStreamFaults(const StreamFaults& faults);
    [[nodiscard]] std::uint64_t ReportsSent() const;

    void SetGenerationDuration(std::uint32_t ms); // 0: 100 % at the first poll
    // Coefficients x 10 of the last accepted command 9; {0, 0} before one.
    [[nodiscard]] std::pair<std::uint16_t, std::uint16_t> GenerationCoefficients() const;
    [[nodiscard]] bool Generating() const;

    // Faults per command word (the word the host sends, e.g. 0x08).
    void InjectFault(std::uint16_t command, const CommandFault& fault);
    void ClearFaults();

    // Every well-formed command frame received, in order.
    [[nodiscard]] std::vector<ReceivedCommand> ReceivedCommands() const;
    [[nodiscard]] int CountReceived(std::uint16_t command) const;
    void ClearReceivedCommands();

    // Writes the state file now (it is also written after every change).
    bool SaveState() const;

private:
    struct Transfer {
        bool active = false;
        int partition = -1;
        std::uint32_t size = 0;
        std::uint32_t checksum = 0;
        std::uint32_t expectedSeq = 0;
        std::vector<std::uint8_t> data;
    };

    void HandleFrame(const radar::CommandFrame& frame, SimClock::time_point now,
                     std::vector<ModuleOutput>& out);
    std::uint16_t Execute(const radar::CommandFrame& frame, SimClock::time_point now,
                          std::vector<std::uint8_t>& reply, bool& answer);
    std::uint16_t ExecuteBootloader(const radar::CommandFrame& frame, SimClock::time_point now,
                                    std::vector<std::uint8_t>& reply, bool& answer);
    void BuildReport(SimClock::time_point now, ReportContent& report);
    std::uint16_t NoiseSample(int gate);
    void FinishGeneration();
    void SoftwareReset(SimClock::time_point now);
    [[nodiscard]] std::string VersionLocked() const;
    void LoadState();
    void SaveStateLocked() const;
    [[nodiscard]] bool InBootloader() const { return runningMode_ == kRunningBootLoader; }

    mutable std::mutex mutex_;
    ModuleConfig config_;
    radar::CCommandFrameScanner scanner_;
    std::map<std::uint16_t, std::uint32_t> params_;
    std::uint32_t functionMode_ = 0;
    bool commandMode_ = false;
    StreamMode streamMode_ = StreamMode::DataTransfer;
    std::uint32_t runningMode_ = RunningModeOfPartition(0);
    std::string bootloaderVersion_ = "v0.9.0-boot";
    std::string serial_ = "VSM2401000123";
    std::array<PartitionFirmware, 32> partitions_{};
    int activePartition_ = 0;
    Transfer transfer_;
    SimClock::time_point deafUntil_{};

    // report stream
    SimClock::time_point start_{};
    SimClock::time_point nextReport_{};
    bool streamWasOn_ = false;
    std::optional<ReportContent> forced_;
    StreamFaults streamFaults_;
    std::uint64_t reportsSent_ = 0;
    std::mt19937 rng_;
    // presence detection of the walking target
    bool present_ = false;
    double lastHoldSeconds_ = -1e9;
    std::uint16_t lastRangeCm_ = 0;

    // threshold generation
    bool generating_ = false;
    bool generationDone_ = false;
    SimClock::time_point generationStart_{};
    std::uint16_t trigCoef10_ = 0;
    std::uint16_t holdCoef10_ = 0;

    std::map<std::uint16_t, CommandFault> faults_;
    std::vector<ReceivedCommand> received_;
};

// Byte sum of `image` padded with 0xFF to a multiple of four: the checksum a
// host announces for an image.
[[nodiscard]] std::uint32_t ImageChecksum(const std::uint8_t* image, std::size_t size);

} // namespace vestrel::sim
