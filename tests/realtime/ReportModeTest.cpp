// Live streaming runs against the simulated module over a pseudo-terminal.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "realtime/ReportMode.h"
#include "sim/SimulatedModulePort.h"

using namespace vestrel::sim;
using Clock = std::chrono::steady_clock;

namespace {

class LiveStream : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
        ASSERT_EQ(VORA_Interface_RadarDevice_Serial_OpenByPortNum(handle, sim.PortNumber(), 256000,
                                                                  2, 1, 1, 1, 150),
                  1);
        sim.Model().SetReportRate(50);
    }
    void TearDown() override {
        stop = 1;
        if (run.valid())
            run.wait();
        VORA_Interface_RadarDevice_Serial_Close(handle);
        VORA_Interface_RadarDevice_Serial_Destroy(handle);
    }

    // Starts a run on its own thread, as the page readers do.
    void Start() {
        ReportStreamHooks hooks;
        hooks.onRecord = [this](const ReportRecord& r) {
            std::lock_guard g(mutex);
            records.push_back(r);
        };
        run = std::async(std::launch::async,
                         [this, hooks] { return RunLiveReportStream(handle, stop, hooks); });
    }
    bool WaitForRecords(std::size_t n, std::chrono::seconds limit = std::chrono::seconds(10)) {
        const auto end = Clock::now() + limit;
        while (Clock::now() < end) {
            {
                std::lock_guard g(mutex);
                if (records.size() >= n)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    std::vector<ReportRecord> Records() {
        std::lock_guard g(mutex);
        return records;
    }

    CSimulatedModulePort sim;
    RadarDeviceHandle handle = VORA_Interface_RadarDevice_Serial_Create();
    std::atomic<int> stop{0};
    std::future<ReportStreamEnd> run;
    std::mutex mutex;
    std::vector<ReportRecord> records;
};

} // namespace

TEST_F(LiveStream, ReportsArriveAndStopReturnsTheModuleToDataTransfer) {
    ReportContent content;
    content.state = 1;
    content.rangeCm = 235;
    for (std::size_t i = 0; i < 16; ++i)
        content.energies[i] = static_cast<std::uint16_t>(10 * i);
    sim.Model().ForceReport(content);
    // Bad tails, noise and frames of other lengths on the wire change nothing.
    sim.Model().SetStreamFaults({.badTailEvery = 4, .garbageEvery = 3, .otherLengthEvery = 2});

    Start();
    ASSERT_TRUE(WaitForRecords(10));
    EXPECT_TRUE(sim.Model().Streaming());
    stop = 1;
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(run.get(), ReportStreamEnd::Stopped);

    EXPECT_EQ(sim.Model().CurrentStreamMode(), StreamMode::DataTransfer);
    EXPECT_FALSE(sim.Model().InCommandMode());
    for (const ReportRecord& r : Records()) {
        EXPECT_EQ(r.state, 1);
        EXPECT_EQ(r.range, 235);
        EXPECT_DOUBLE_EQ(r.energy[0], 0.0);
        EXPECT_NEAR(r.energy[15], 21.76, 0.01); // 10 log10(150)
    }
}

TEST_F(LiveStream, StopWhileNothingArrivesEndsWithinOneReadTimeOut) {
    sim.Model().SetReportRate(0);
    Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto stopped = Clock::now();
    stop = 1;
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_LT(Clock::now() - stopped, std::chrono::milliseconds(2000 + 1500));
    EXPECT_EQ(run.get(), ReportStreamEnd::Stopped);
    EXPECT_EQ(sim.Model().CurrentStreamMode(), StreamMode::DataTransfer);
}

TEST_F(LiveStream, VanishingModuleEndsTheRun) {
    Start();
    ASSERT_TRUE(WaitForRecords(3));
    sim.Vanish();
    ASSERT_EQ(run.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(run.get(), ReportStreamEnd::SourceEnded);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(handle), 0);
}
