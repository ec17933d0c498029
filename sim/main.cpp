// vestrel-sim: a simulated module on a pseudo-terminal, listed in the tool's
// port list as ttyVSIM<n>. Serves until SIGINT or SIGTERM.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "device/common/SerialPortEnum.h"
#include "sim/SimulatedModulePort.h"

namespace {

void Usage(FILE* out) {
    std::fputs(
        "Usage: vestrel-sim [options]\n"
        "Runs a simulated radar module on a pseudo-terminal and publishes it as\n"
        "ttyVSIM<n> for the tool's port list. Stops on Ctrl+C or SIGTERM.\n"
        "\n"
        "  --rate HZ               reports per second in report mode (default 10, 0 = none)\n"
        "  --state FILE            keep parameters, serial number and firmware in FILE\n"
        "  --serial TEXT           serial number (default VSM2401000123)\n"
        "  --version TEXT          version of the running firmware (default v1.1.0)\n"
        "  --packet-size P         packet size answered to image information (default 256)\n"
        "  --partitions MASK       programmable partitions, bit i = App i (default 0x3)\n"
        "  --generation-ms MS      time for threshold generation to reach 100 % (default 3000)\n"
        "  --bootloader            start in the bootloader\n"
        "  --no-ack CMD            never answer command CMD (e.g. 0x08)\n"
        "  --late-ack CMD:MS       answer CMD MS milliseconds late\n"
        "  --wrong-length CMD:LEN  answer CMD with LEN bytes of data (status included)\n"
        "  --status CMD:CODE       refuse CMD with status CODE\n"
        "  --bad-tail-every N      spoil the tail of every N-th report frame\n"
        "  --garbage-every N       put noise bytes before every N-th report frame\n"
        "  --vanish-after BYTES    close the port after writing BYTES bytes\n"
        "  --dir DIR               publish in DIR instead of the per-user runtime directory\n"
        "  -h, --help              this text\n",
        out);
}

bool ParseNumber(const char* text, unsigned long& value) {
    if (text == nullptr || *text == '\0')
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 0);
    return errno == 0 && end != nullptr && *end == '\0';
}

// "CMD:VALUE" with numbers in decimal or 0x hexadecimal.
bool ParsePair(const char* text, unsigned long& command, unsigned long& value) {
    const char* colon = text != nullptr ? std::strchr(text, ':') : nullptr;
    if (colon == nullptr)
        return false;
    const std::string left(text, colon);
    return ParseNumber(left.c_str(), command) && ParseNumber(colon + 1, value) && command <= 0xFFFF;
}

} // namespace

int main(int argc, char** argv) {
    using vestrel::sim::CommandFault;
    vestrel::sim::CSimulatedModulePort::Options options;
    options.privateDirectory = false;
    options.description = "Simulated module (vestrel-sim)";
    struct PendingFault {
        std::uint16_t command;
        CommandFault fault;
    };
    std::vector<PendingFault> faults;
    vestrel::sim::StreamFaults streamFaults;
    std::string serial;
    std::string version;
    bool bootloader = false;
    unsigned long vanishAfter = 0;
    bool vanish = false;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long a = 0;
        unsigned long b = 0;
        auto bad = [&] {
            std::fprintf(stderr, "vestrel-sim: bad or missing value for %s\n", arg.c_str());
            Usage(stderr);
            std::exit(2);
        };
        if (arg == "-h" || arg == "--help") {
            Usage(stdout);
            return 0;
        } else if (arg == "--rate") {
            if (!ParseNumber(next, a) || a > 1000)
                bad();
            options.module.reportRateHz = static_cast<int>(a);
            ++i;
        } else if (arg == "--state") {
            if (next == nullptr)
                bad();
            options.module.stateFile = next;
            ++i;
        } else if (arg == "--serial") {
            if (next == nullptr)
                bad();
            serial = next;
            ++i;
        } else if (arg == "--version") {
            if (next == nullptr)
                bad();
            version = next;
            ++i;
        } else if (arg == "--packet-size") {
            if (!ParseNumber(next, a) || a > 4096)
                bad();
            options.module.packetSize = static_cast<std::uint16_t>(a);
            ++i;
        } else if (arg == "--partitions") {
            if (!ParseNumber(next, a) || a > 0xFFFFFFFFul)
                bad();
            options.module.partitionMask = static_cast<std::uint32_t>(a);
            ++i;
        } else if (arg == "--generation-ms") {
            if (!ParseNumber(next, a) || a > 600000)
                bad();
            options.module.generationMs = static_cast<std::uint32_t>(a);
            ++i;
        } else if (arg == "--bootloader") {
            bootloader = true;
        } else if (arg == "--no-ack") {
            if (!ParseNumber(next, a) || a > 0xFFFF)
                bad();
            faults.push_back({static_cast<std::uint16_t>(a), {.kind = CommandFault::Kind::NoAck}});
            ++i;
        } else if (arg == "--late-ack" || arg == "--wrong-length" || arg == "--status") {
            if (!ParsePair(next, a, b))
                bad();
            CommandFault fault;
            if (arg == "--late-ack") {
                fault.kind = CommandFault::Kind::LateAck;
                fault.delayMs = static_cast<std::uint32_t>(b);
            } else if (arg == "--wrong-length") {
                fault.kind = CommandFault::Kind::WrongLength;
                fault.length = std::min<unsigned long>(b, 4000);
            } else {
                fault.kind = CommandFault::Kind::Status;
                fault.status = static_cast<std::uint16_t>(b);
            }
            faults.push_back({static_cast<std::uint16_t>(a), fault});
            ++i;
        } else if (arg == "--bad-tail-every" || arg == "--garbage-every") {
            if (!ParseNumber(next, a) || a > 1000000)
                bad();
            (arg == "--bad-tail-every" ? streamFaults.badTailEvery : streamFaults.garbageEvery) =
                static_cast<int>(a);
            ++i;
        } else if (arg == "--vanish-after") {
            if (!ParseNumber(next, vanishAfter))
                bad();
            vanish = true;
            ++i;
        } else if (arg == "--dir") {
            if (next == nullptr)
                bad();
            SetVirtualPortDirectory(next);
            ++i;
        } else {
            std::fprintf(stderr, "vestrel-sim: unknown option %s\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }

    // Block the stop signals in every thread; the main thread waits for them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    vestrel::sim::CSimulatedModulePort sim(options);
    if (!sim.IsRunning() || sim.PortName().empty()) {
        std::fprintf(stderr, "vestrel-sim: %s\n", sim.ErrorText().c_str());
        return 1;
    }
    auto& model = sim.Model();
    if (bootloader)
        model.SetRunningMode(vestrel::sim::kRunningBootLoader);
    if (!serial.empty())
        model.SetSerialNumber(serial);
    if (!version.empty())
        model.SetVersion(version);
    for (const auto& f : faults)
        model.InjectFault(f.command, f.fault);
    model.SetStreamFaults(streamFaults);
    if (vanish)
        sim.VanishAfterBytes(vanishAfter);

    std::printf("vestrel-sim: simulated module on %s, listed as %s (in %s)\n",
                sim.DevicePath().c_str(), sim.PortName().c_str(),
                GetVirtualPortDirectory().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    std::printf("vestrel-sim: stopped (%s)\n", signal == SIGINT ? "SIGINT" : "SIGTERM");
    return 0;
}
