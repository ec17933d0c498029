#pragma once
// A simulated module on a fresh pseudo-terminal, served by its own thread,
// published in the port enumeration. This is the test harness every
// module-facing test uses:
//
//   CSimulatedModulePort sim;                      // starts serving at once
//   RadarDeviceHandle h = VORA_Interface_RadarDevice_Serial_Create();
//   VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, sim.PortNumber(), 115200,
//                                                   2, 1, 1, 1, 150);
//   ... talk to the module through the library ...
//   EXPECT_EQ(sim.Model().Parameter(1), 8u);        // inspect what the module holds
//   sim.Model().InjectFault(0x08, {.kind = vestrel::sim::CommandFault::Kind::NoAck,
//                                  .skip = 1, .count = 1}); // lose the 2nd read
//
// Privacy: by default (Options::privateDirectory) the first harness of a
// process switches the port enumeration of the whole process to a private,
// temporary directory, so a `vestrel-sim` the user runs at the same time is
// not seen by tests (and theirs not by it). Real serial ports still appear.
//
// Steering the module (all thread-safe, through Model(), see sim/ModuleModel.h):
//   - the 34 parameters: Parameter(id), SetParameter(id, v), Parameters();
//     FunctionMode() (last value of command 0x12), InCommandMode(),
//     CurrentStreamMode(), Streaming(), RunningMode(), SetRunningMode();
//     Version()/SetVersion(), SerialNumber()/SetSerialNumber();
//   - faults per command word: InjectFault(word, CommandFault{kind, delayMs,
//     length, status, skip, count}) with kind NoAck, LateAck, WrongLength,
//     Status; ClearFaults();
//   - the report stream: ForceReport(ReportContent{state, rangeCm, energies})
//     (std::nullopt returns to the walking target), SetReportRate(hz),
//     SetStreamFaults({badTailEvery, garbageEvery, otherLengthEvery}),
//     ReportsSent();
//   - threshold generation: SetGenerationDuration(ms) (0: 100 % at the first
//     poll), GenerationCoefficients();
//   - bootloader: SetPartitionMask, SetDeviceId, SetPacketSize, Partition(i);
//   - what the host sent: ReceivedCommands(), CountReceived(word),
//     ClearReceivedCommands().
// The port itself: VanishAfterBytes(n) / Vanish() make the device disappear
// like an unplugged adapter (the pseudo-terminal closes, reads on the host
// side fail, the entry leaves the port list).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "sim/ModuleModel.h"

namespace vestrel::sim {

class CSimulatedModulePort {
public:
    struct Options {
        ModuleConfig module; // report rate, state file, packet size, ...
        std::string description = "Simulated module";
        bool privateDirectory = true; // see the privacy note above
    };

    CSimulatedModulePort();
    explicit CSimulatedModulePort(Options options);
    // Stops the thread, closes the pseudo-terminal, withdraws the port.
    ~CSimulatedModulePort();
    CSimulatedModulePort(const CSimulatedModulePort&) = delete;
    CSimulatedModulePort& operator=(const CSimulatedModulePort&) = delete;

    // False when the pseudo-terminal could not be created (ErrorText says why).
    [[nodiscard]] bool IsRunning() const { return started_; }
    [[nodiscard]] const std::string& ErrorText() const { return error_; }
    // The number to pass to Serial_OpenByPortNum (enumerates; 0 when not listed).
    [[nodiscard]] int PortNumber() const;
    [[nodiscard]] const std::string& PortName() const { return name_; }     // "ttyVSIM0"
    [[nodiscard]] const std::string& DevicePath() const { return device_; } // "/dev/pts/3"

    [[nodiscard]] CModuleModel& Model() { return *model_; }

    // The port vanishes once `bytes` more bytes have been written to it.
    void VanishAfterBytes(std::size_t bytes);
    void Vanish() { VanishAfterBytes(0); }
    [[nodiscard]] bool Vanished() const { return vanished_; }
    [[nodiscard]] std::uint64_t BytesWritten() const { return written_; }

private:
    void Run();
    void CloseDevice();
    bool WriteOut(const std::uint8_t* data, std::size_t size);

    Options options_;
    std::unique_ptr<CModuleModel> model_;
    int masterFd_ = -1;
    int slaveFd_ = -1; // held so the master never sees a hang-up between host sessions
    int wakeFd_ = -1;
    std::string device_;
    std::string name_;
    std::string error_;
    bool started_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<bool> vanished_{false};
    std::atomic<std::uint64_t> written_{0};
    std::atomic<std::uint64_t> vanishLimit_{UINT64_MAX};
    std::thread thread_;
};

} // namespace vestrel::sim
