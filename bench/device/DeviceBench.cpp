// Costs of the radar device library on a pseudo-terminal against the
// simulated module (in-process, on its own thread):
//  - an idle stream read (nothing arrives; the library must sleep in poll):
//    the CPU column is the reader thread's CPU per ReadData call, and the
//    counter cpu_percent relates it to the wall time spent waiting;
//  - a command round trip (GetRunningMode and its acknowledgement): Time is
//    the wall time including the module's answer, CPU the library's own.

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

#include "device/radar/CommandFrame.h"
#include "device/radar/VORA_DataProcess.h"
#include "sim/SimulatedModulePort.h"

namespace {

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct Session {
    vestrel::sim::CSimulatedModulePort sim;
    RadarDeviceHandle h = VORA_Interface_RadarDevice_Serial_Create();
    bool open = false;
    Session() {
        open = VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, sim.PortNumber(), 256000, 2, 1, 1,
                                                               1, 150) != 0;
    }
    ~Session() {
        VORA_Interface_RadarDevice_Serial_Close(h);
        VORA_Interface_RadarDevice_Serial_Destroy(h);
    }
};

void BM_IdleReadData(benchmark::State& state) {
    Session s; // in command mode: the module sends nothing
    if (!s.open) {
        state.SkipWithError("cannot open the simulated module");
        return;
    }
    std::uint8_t buffer[64];
    const auto timeoutMs = static_cast<std::uint32_t>(state.range(0));
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpu0 = ThreadCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        const int n = VORA_Interface_RadarDevice_ReadData(s.h, buffer, sizeof buffer, timeoutMs, 0);
        benchmark::DoNotOptimize(n);
        cpu += ThreadCpuSeconds() - cpu0;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        if (n != 0)
            state.SkipWithError("data arrived on an idle port");
    }
    state.counters["cpu_percent"] = wall > 0 ? 100.0 * cpu / wall : 0.0;
    state.counters["cpu_us_per_read"] =
        benchmark::Counter(cpu * 1e6, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_IdleReadData)->Arg(2000)->Iterations(3)->Unit(benchmark::kMillisecond);

std::uint16_t RunningModeCheck(eRADAR_PROTOCOL_VERSION, const std::uint8_t* ack,
                               std::uint32_t length, void* user) {
    if (length != 6)
        return RADAR_ACK_WRONG_LENGTH;
    *static_cast<std::uint32_t*>(user) = radar::ReadU32(ack + 2);
    return radar::ReadU16(ack);
}

void BM_CommandRoundTrip(benchmark::State& state) {
    Session s;
    if (!s.open) {
        state.SkipWithError("cannot open the simulated module");
        return;
    }
    std::uint32_t mode = 0;
    for (auto _ : state) {
        const auto result = VORA_Interface_RadarDevice_Protocol_SendCommand(
            s.h, radar::kCmdGetRunningMode, nullptr, 0, &RunningModeCheck, &mode, 500);
        if (result != 0) {
            state.SkipWithError("command failed");
            break;
        }
    }
}
BENCHMARK(BM_CommandRoundTrip)->Unit(benchmark::kMicrosecond);

void BM_ParameterRead13(benchmark::State& state) {
    Session s;
    if (!s.open) {
        state.SkipWithError("cannot open the simulated module");
        return;
    }
    const auto& ids = vestrel::sim::ParameterIds();
    std::uint32_t values[13];
    for (auto _ : state) {
        if (!VORA_Interface_RadarDevice_Protocol_GetParameter(s.h, 8, 13, ids.data(), values,
                                                              500)) {
            state.SkipWithError("read failed");
            break;
        }
    }
}
BENCHMARK(BM_ParameterRead13)->Unit(benchmark::kMicrosecond);

} // namespace
