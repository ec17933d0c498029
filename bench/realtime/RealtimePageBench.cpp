// CPU the tool spends while the real-time page streams from a module at 10
// reports per second: the window thread (plots, lamp, text) plus the reader.
// The simulated module serves from a thread of this process; its time is left out.
//
//   realtime_page_bench [--benchmark_...]     counter cpu_percent: % of one core
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include "app/AppConfig.h"
#include "app/AppPaths.h"
#include "app/Texts.h"
#include "controls/WndResizeTool.h"
#include "device/common/Conversion.h"
#include "device/radar/VORA_DataProcess.h"
#include "params/RadarOperatorConfig.h"
#include "realtime/ObjectInfoDlg.h"
#include "sim/SimulatedModulePort.h"

namespace {

std::set<int> ThreadIds() {
    std::set<int> ids;
    for (const QString& entry :
         QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        ids.insert(entry.toInt());
    return ids;
}

// Nanoseconds a thread has run (precise, from the scheduler's statistics).
std::uint64_t ThreadCpuNs(int tid) {
    std::ifstream in("/proc/self/task/" + std::to_string(tid) + "/schedstat");
    std::uint64_t ns = 0;
    in >> ns;
    return ns;
}

std::uint64_t CpuNsExcept(const std::set<int>& excluded) {
    std::uint64_t total = 0;
    for (int tid : ThreadIds())
        if (excluded.count(tid) == 0)
            total += ThreadCpuNs(tid);
    return total;
}

void RunEventsFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_RealtimeStreamingCpu(benchmark::State& state) {
    QTemporaryDir settings;
    SetAppBaseDirectory(settings.path().toStdString());
    LoadAppConfig();

    const std::set<int> before = ThreadIds();
    auto sim = std::make_unique<vestrel::sim::CSimulatedModulePort>();
    std::set<int> simThreads;
    for (int tid : ThreadIds())
        if (before.count(tid) == 0)
            simThreads.insert(tid);
    sim->Model().SetReportRate(10);

    RadarDeviceHandle handle = VORA_Interface_RadarDevice_Serial_Create();
    if (VORA_Interface_RadarDevice_Serial_OpenByPortNum(handle, sim->PortNumber(), 115200, 2, 1, 1,
                                                        1, 150) == 0) {
        state.SkipWithError("cannot open the simulated module");
        return;
    }
    (void)VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(handle);
    (void)VORA_Interface_RadarDevice_StopCmdMode(handle);
    RadarOperatorConfig record;
    {
        CObjectInfoDlg page(handle, &record);
        // Grown as the main window grows its pages: children moved in proportion,
        // then the plots re-laid out at that scale.
        const double scale = state.range(1) / 100.0;
        CWndResizeTool resizer;
        resizer.SetRecordedSize(page.width(), page.height());
        resizer.CaptureChildren(&page);
        resizer.SetEnabled(true);
        const int width = static_cast<int>(page.width() * scale);
        const int height = static_cast<int>(page.height() * scale);
        page.resize(width, height);
        (void)resizer.ResizeChildren(width, height);
        page.SetScale(scale);
        page.show();
        RunEventsFor(1000); // settle: report mode in, first paints

        const std::uint64_t reportsBefore = sim->Model().ReportsSent();
        double cpuSeconds = 0;
        double wallSeconds = 0;
        for (auto _ : state) {
            const std::uint64_t cpu0 = CpuNsExcept(simThreads);
            const auto wall0 = std::chrono::steady_clock::now();
            RunEventsFor(static_cast<int>(state.range(0)));
            const double wall =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
            const double cpu = (CpuNsExcept(simThreads) - cpu0) / 1e9;
            state.SetIterationTime(wall);
            cpuSeconds += cpu;
            wallSeconds += wall;
        }
        state.counters["cpu_percent"] = 100.0 * cpuSeconds / wallSeconds;
        state.counters["reports_per_s"] =
            static_cast<double>(sim->Model().ReportsSent() - reportsBefore) / wallSeconds;
        page.hide();
    }
    VORA_Interface_RadarDevice_Serial_Close(handle);
    VORA_Interface_RadarDevice_Serial_Destroy(handle);
    SetAppBaseDirectory({});
}
// Arguments: milliseconds per iteration, the page's scale in per cent (100: as designed,
// 686 x 428; 225: the main window maximised on a 1920 x 1080 screen).
BENCHMARK(BM_RealtimeStreamingCpu)
    ->Args({5000, 100})
    ->Args({5000, 225})
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    UseClassicNumericLocale(); // QApplication set LC_NUMERIC from the user's locale
    ApplyLanguage("ENG");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
