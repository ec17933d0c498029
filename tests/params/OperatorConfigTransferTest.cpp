#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "device/common/DbgOutput.h"
#include "device/radar/VORA_DataProcess.h"
#include "params/OperatorConfigTransfer.h"
#include "sim/SimulatedModulePort.h"
#include "support/DeviceHandle.h"

using vestrel::sim::CommandFault;
using vestrel::sim::CSimulatedModulePort;

namespace {

constexpr std::uint16_t kWrite = 0x07;
constexpr std::uint16_t kRead = 0x08;
constexpr std::uint16_t kEnterCmd = 0x00FF;
constexpr std::uint16_t kLeaveCmd = 0x00FE;

// Collects the log lines written meanwhile.
class LogCapture {
public:
    LogCapture() { DbgOutputAddCallback(&LogCapture::Write, this); }
    ~LogCapture() { DbgOutputDelCallback(&LogCapture::Write, this); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    [[nodiscard]] std::string Text() const {
        std::lock_guard lock(mutex_);
        return text_;
    }

private:
    static void Write(void* user, std::uint32_t, const char* text, std::uint32_t length) {
        auto* self = static_cast<LogCapture*>(user);
        std::lock_guard lock(self->mutex_);
        self->text_.append(text, length);
    }
    mutable std::mutex mutex_;
    std::string text_;
};

bool SameRecord(const RadarOperatorConfig& a, const RadarOperatorConfig& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A module on a pseudo-terminal and a library handle connected to it as the
// main window connects (command mode on).
class ModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.IsRunning()) << sim_.ErrorText();
        ASSERT_TRUE(handle_.Connect(sim_.PortNumber()));
        sim_.Model().ClearReceivedCommands();
    }
    // Parameter counts of the parameter commands the module received, in order.
    std::vector<std::size_t> Chunks(std::uint16_t word, std::size_t bytesPerParam) {
        std::vector<std::size_t> counts;
        for (const auto& c : sim_.Model().ReceivedCommands())
            if (c.word == word)
                counts.push_back(c.payload.size() / bytesPerParam);
        return counts;
    }
    // Distinct, recognisable module values: 7, 42, then raw thresholds.
    void FillModule() {
        const auto& ids = RadarParamIds();
        sim_.Model().SetParameter(ids[0], 7);
        sim_.Model().SetParameter(ids[1], 42);
        for (std::size_t i = 2; i < kRadarParamCount; ++i)
            sim_.Model().SetParameter(ids[i], static_cast<std::uint32_t>(1000 * i));
    }

    CSimulatedModulePort sim_;
    testsupport::DeviceHandle handle_;
};

} // namespace

TEST_F(ModuleTest, ReadTakesTheModuleValuesInDb) {
    FillModule();
    const auto& ids = RadarParamIds();
    sim_.Model().SetParameter(ids[2], 1000);        // trigger gate 0: 30 dB
    sim_.Model().SetParameter(ids[3], 0);           // trigger gate 1: 0 dB
    sim_.Model().SetParameter(ids[18], 1);          // hold gate 0: 0 dB
    sim_.Model().SetParameter(ids[33], 1000000000); // hold gate 15: 90 dB
    LogCapture log;
    RadarOperatorConfig record;
    ASSERT_EQ(ReadSetting_RadarOperatorConfig(handle_, &record), kTransferOk);
    EXPECT_EQ(record.GateMax, 7u);
    EXPECT_EQ(record.ObjectDisappearDelayTime, 42u);
    EXPECT_DOUBLE_EQ(record.TriggerThreshold[0], 30.0);
    EXPECT_EQ(record.TriggerThreshold[1], 0.0);
    EXPECT_EQ(record.HoldThreshold[0], 0.0);
    EXPECT_DOUBLE_EQ(record.HoldThreshold[15], 90.0);
    EXPECT_DOUBLE_EQ(record.TriggerThreshold[4], RadarRawToDb(6000));
    EXPECT_NE(log.Text().find("ReadSetting_RadarOperatorConfig, result: Success\r\n"),
              std::string::npos);
    // No command-mode bracket of its own.
    EXPECT_EQ(sim_.Model().CountReceived(kEnterCmd), 0);
    EXPECT_EQ(sim_.Model().CountReceived(kLeaveCmd), 0);
}

TEST_F(ModuleTest, ChunksFollowTheTransferSize) {
    struct Case {
        int size;
        std::vector<std::size_t> reads, writes;
    };
    const int own = VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(handle_);
    auto split = [](int size, int per) {
        std::vector<std::size_t> v;
        const int n = (size - 12) / per;
        for (int left = 34; left > 0; left -= n)
            v.push_back(static_cast<std::size_t>(std::min(n, left)));
        return v;
    };
    const Case cases[] = {
        {148, {34}, {22, 12}},
        {100, {22, 12}, {14, 14, 6}},
        {own, split(own, 4), split(own, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(handle_, c.size);
        sim_.Model().ClearReceivedCommands();
        RadarOperatorConfig record;
        record.TriggerThreshold[9] = 33.33;
        ASSERT_EQ(WriteSetting_RadarOperatorConfig(handle_, &record), kTransferOk);
        ASSERT_EQ(ReadSetting_RadarOperatorConfig(handle_, &record), kTransferOk);
        EXPECT_EQ(Chunks(kRead, 2), c.reads);
        EXPECT_EQ(Chunks(kWrite, 6), c.writes);
        EXPECT_EQ(sim_.Model().Parameters(), RadarParamValues(record));
        EXPECT_EQ(sim_.Model().Parameter(16 + 9), 2153u);
    }
}

TEST_F(ModuleTest, ReadFailingInItsSecondChunkChangesNothing) {
    FillModule();
    VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(handle_, 100);
    sim_.Model().InjectFault(
        kRead, CommandFault{.kind = CommandFault::Kind::Status, .skip = 1, .count = 1});
    LogCapture log;
    RadarOperatorConfig record;
    record.GateMax = 3;
    record.HoldThreshold[15] = 12.5;
    const RadarOperatorConfig before = record;
    EXPECT_EQ(ReadSetting_RadarOperatorConfig(handle_, &record), kTransferFailed);
    EXPECT_TRUE(SameRecord(record, before)) << "the first chunk must not leak into the record";
    EXPECT_EQ(Chunks(kRead, 2).size(), 2u);
    EXPECT_NE(log.Text().find("ReadSetting_RadarOperatorConfig, result: Failed.\r\n"),
              std::string::npos);
}

TEST_F(ModuleTest, WriteStopsAtTheFirstRefusedChunk) {
    FillModule();
    const auto old = sim_.Model().Parameters();
    VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(handle_, 100); // 14, 14, 6
    sim_.Model().InjectFault(
        kWrite, CommandFault{.kind = CommandFault::Kind::Status, .skip = 1, .count = 1});
    LogCapture log;
    RadarOperatorConfig record; // defaults: 15, 10, 30 dB everywhere
    const RadarOperatorConfig before = record;
    EXPECT_EQ(WriteSetting_RadarOperatorConfig(handle_, &record), kTransferFailed);
    EXPECT_EQ(Chunks(kWrite, 6).size(), 2u) << "nothing after the refused chunk";
    const auto now = sim_.Model().Parameters();
    const auto wanted = RadarParamValues(record);
    for (std::size_t i = 0; i < kRadarParamCount; ++i)
        EXPECT_EQ(now[i], i < 14 ? wanted[i] : old[i]) << "position " << i;
    EXPECT_TRUE(SameRecord(record, before));
    EXPECT_NE(log.Text().find("WriteSetting_RadarOperatorConfig, result: Failed\r\n"),
              std::string::npos);
}

TEST_F(ModuleTest, TransferTooSmallForOneParameterSendsNothing) {
    VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(handle_,
                                                              16); // reads 1 each, writes none
    RadarOperatorConfig record;
    record.GateMax = 5;
    EXPECT_EQ(WriteSetting_RadarOperatorConfig(handle_, &record), kTransferFailed);
    EXPECT_EQ(sim_.Model().CountReceived(kWrite), 0);
    FillModule();
    ASSERT_EQ(ReadSetting_RadarOperatorConfig(handle_, &record), kTransferOk);
    EXPECT_EQ(Chunks(kRead, 2), std::vector<std::size_t>(34, 1));
    EXPECT_EQ(record.GateMax, 7u);
}

TEST_F(ModuleTest, PageCommandsBracketWithCommandMode) {
    // Leave command mode as the connect procedure does at its end.
    VORA_Interface_RadarDevice_StopCmdMode(handle_);
    FillModule();
    sim_.Model().ClearReceivedCommands();
    RadarOperatorConfig record;
    ASSERT_EQ(RunReadSensorConfig(handle_, &record), kTransferOk);
    EXPECT_EQ(record.GateMax, 7u);
    auto received = sim_.Model().ReceivedCommands();
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received.front().word, kEnterCmd);
    EXPECT_EQ(received.back().word, kLeaveCmd);
    EXPECT_FALSE(sim_.Model().InCommandMode());

    record.GateMax = 9;
    sim_.Model().ClearReceivedCommands();
    ASSERT_EQ(RunWriteSensorConfig(handle_, &record), kTransferOk);
    EXPECT_EQ(sim_.Model().Parameter(1), 9u);
    received = sim_.Model().ReceivedCommands();
    EXPECT_EQ(received.front().word, kEnterCmd);
    EXPECT_EQ(received.back().word, kLeaveCmd);
}

TEST_F(ModuleTest, ClosedPortReportsNotConnectedAndSendsNothing) {
    VORA_Interface_RadarDevice_Serial_Close(handle_);
    RadarOperatorConfig record;
    record.GateMax = 4;
    const RadarOperatorConfig before = record;
    EXPECT_EQ(ReadSetting_RadarOperatorConfig(handle_, &record), kTransferNotConnected);
    EXPECT_EQ(WriteSetting_RadarOperatorConfig(handle_, &record), kTransferNotConnected);
    EXPECT_EQ(RunReadSensorConfig(handle_, &record), kTransferNotConnected);
    EXPECT_EQ(RunWriteSensorConfig(handle_, &record), kTransferNotConnected);
    EXPECT_TRUE(SameRecord(record, before));
    EXPECT_TRUE(sim_.Model().ReceivedCommands().empty());
}
