// Injected faults, a vanishing port and refused opens: every call gives its
// documented result within its time-out plus a small margin.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "device/common/DbgOutput.h"

#include "device/common/SerialPortEnum.h"
#include "sim/SimulatedModulePort.h"
#include "tests/device/DeviceTestSupport.h"

using namespace vestrel::sim;
using namespace devtest;

namespace {

class RadarFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
        port = sim.PortNumber();
        ASSERT_GE(port, 1);
        ASSERT_TRUE(
            VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 115200, 2, 1, 1, 1, 150));
    }
    CSimulatedModulePort sim;
    int port = 0;
    Handle h;
};

} // namespace

TEST_F(RadarFaultTest, AcknowledgementFaultsGiveTheirResultInBoundedTime) {
    using Kind = CommandFault::Kind;
    struct Case {
        const char* name;
        CommandFault fault;
        std::uint16_t expected;
        long long minMs, maxMs; // elapsed, with a 200 ms time-out
    };
    const Case cases[] = {
        {"no acknowledgement", {.kind = Kind::NoAck}, RADAR_ERR_TIMEOUT, 190, 450},
        {"too late", {.kind = Kind::LateAck, .delayMs = 400}, RADAR_ERR_TIMEOUT, 190, 450},
        {"late but in time", {.kind = Kind::LateAck, .delayMs = 80}, 0, 70, 190},
        {"too short", {.kind = Kind::WrongLength, .length = 3}, RADAR_ACK_WRONG_LENGTH, 0, 150},
        {"too long", {.kind = Kind::WrongLength, .length = 9}, RADAR_ACK_WRONG_LENGTH, 0, 150},
        {"refused", {.kind = Kind::Status, .status = 0x0042}, 0x0042, 0, 150},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim.Model().InjectFault(radar::kCmdGetDeviceId, c.fault);
        std::uint32_t value = 0;
        const auto start = Clock::now();
        EXPECT_EQ(Boot(h, radar::kCmdGetDeviceId, {}, value, 200), c.expected);
        const auto elapsed = MsSince(start);
        EXPECT_GE(elapsed, c.minMs);
        EXPECT_LE(elapsed, c.maxMs);
        if (c.expected == 0) {
            EXPECT_EQ(value, sim.Model().DeviceId());
        }
        sim.Model().ClearFaults();
        // A late answer still under way is never taken for the next command's.
        std::this_thread::sleep_for(std::chrono::milliseconds(c.fault.delayMs > 200 ? 250 : 0));
        value = 0;
        EXPECT_EQ(Boot(h, radar::kCmdGetRunningMode, {}, value, 200), 0);
        EXPECT_EQ(value, RunningModeOfPartition(0));
    }
}

TEST_F(RadarFaultTest, LateAnswerOfTheSameCommandIsNotTakenForTheNextOne) {
    sim.Model().InjectFault(radar::kCmdReadParameters,
                            {.kind = CommandFault::Kind::LateAck, .delayMs = 150, .count = 1});
    const std::uint16_t gateMax = 1;
    std::uint32_t value = 0;
    EXPECT_FALSE(VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, 1, &gateMax, &value, 100));
    sim.Model().SetParameter(1, 12);
    std::this_thread::sleep_for(std::chrono::milliseconds(100)); // the late answer (8) arrives now
    EXPECT_TRUE(VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, 1, &gateMax, &value, 300));
    EXPECT_EQ(value, 12u);
}

TEST_F(RadarFaultTest, SecondReadChunkLostFailsOnlyThatChunk) {
    sim.Model().InjectFault(radar::kCmdReadParameters,
                            {.kind = CommandFault::Kind::NoAck, .skip = 1, .count = 1});
    const auto& ids = ParameterIds();
    std::uint32_t values[34] = {};
    EXPECT_TRUE(
        VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, 13, &ids[0], &values[0], 300));
    EXPECT_FALSE(
        VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, 13, &ids[13], &values[13], 300));
    EXPECT_TRUE(
        VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, 8, &ids[26], &values[26], 300));
}

TEST_F(RadarFaultTest, RefusedModeSwitchesReportFailure) {
    sim.Model().InjectFault(radar::kCmdSetDataTransferMode, {.kind = CommandFault::Kind::Status});
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(h), 0);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 1) << "a refusal keeps the connection";
    sim.Model().InjectFault(radar::kCmdSetFunctionMode, {.kind = CommandFault::Kind::NoAck});
    const std::uint16_t id = 0;
    const std::uint32_t mode = 100;
    const auto start = Clock::now();
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_SetParameter(h, 0x12, 1, &id, &mode, 200), 0);
    EXPECT_LT(MsSince(start), 450);
    EXPECT_EQ(sim.Model().FunctionMode(), 0u);
}

TEST_F(RadarFaultTest, ModuleThatDoesNotAnswerFailsTheOpen) {
    sim.Model().InjectFault(radar::kCmdEnterCommandMode, {.kind = CommandFault::Kind::NoAck});
    Handle other;
    VORA_Interface_RadarDevice_Serial_Close(h);
    const auto start = Clock::now();
    EXPECT_EQ(VORA_Interface_RadarDevice_Serial_OpenByPortNum(other, port, 115200, 2, 1, 1, 1, 150),
              0);
    EXPECT_LT(MsSince(start), 500);
    EXPECT_EQ(VORA_Interface_RadarDevice_GetLastErrorCode(other), RADAR_OPEN_NO_ANSWER);
    EXPECT_NE(std::strstr(VORA_Interface_RadarDevice_GetLastErrorText(other), "does not answer"),
              nullptr);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(other), 0);
    // Port only: no command, so it opens.
    EXPECT_TRUE(
        VORA_Interface_RadarDevice_Serial_OpenByPortNum(other, port, 115200, 2, 0, 0, 0, 50));
}

// A lost version or serial query does not fail the open; the getter asks again.
// An acknowledgement time-out of 0 stands for 150 ms.
TEST_F(RadarFaultTest, LostQueryAtOpenIsAskedAgainAndZeroTimeOutMeans150) {
    VORA_Interface_RadarDevice_Serial_Close(h);
    sim.Model().ClearReceivedCommands();
    sim.Model().InjectFault(radar::kCmdReadSerialNumber,
                            {.kind = CommandFault::Kind::NoAck, .count = 1});
    Handle other;
    ASSERT_TRUE(
        VORA_Interface_RadarDevice_Serial_OpenByPortNum(other, port, 115200, 2, 1, 1, 1, 150));
    CBaseStringA serial;
    EXPECT_TRUE(VORA_Interface_RadarDevice_GetSerialNumber(other, serial));
    EXPECT_EQ(serial.str(), sim.Model().SerialNumber());
    EXPECT_EQ(sim.Model().CountReceived(radar::kCmdReadSerialNumber), 2);
    VORA_Interface_RadarDevice_Serial_Close(other);

    // An answer 100 ms late: too late for 50 ms, in time for 0 (= 150 ms).
    for (const auto& [timeoutMs, opens] : {std::pair{50, false}, std::pair{0, true}}) {
        SCOPED_TRACE(timeoutMs);
        sim.Model().InjectFault(radar::kCmdEnterCommandMode,
                                {.kind = CommandFault::Kind::LateAck, .delayMs = 100, .count = 1});
        EXPECT_EQ(VORA_Interface_RadarDevice_Serial_OpenByPortNum(other, port, 115200, 2, 1, 0, 0,
                                                                  timeoutMs) != 0,
                  opens);
        VORA_Interface_RadarDevice_Serial_Close(other);
        std::this_thread::sleep_for(std::chrono::milliseconds(150)); // let a late answer pass
    }
}

TEST_F(RadarFaultTest, BusyPortAndBadBaudRateAreRefusedWithAReason) {
    Handle second;
    EXPECT_EQ(
        VORA_Interface_RadarDevice_Serial_OpenByPortNum(second, port, 115200, 2, 1, 1, 1, 150), 0);
    EXPECT_EQ(VORA_Interface_RadarDevice_GetLastErrorCode(second), RADAR_OPEN_BUSY);
    EXPECT_NE(
        std::strstr(VORA_Interface_RadarDevice_GetLastErrorText(second), sim.PortName().c_str()),
        nullptr);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 1) << "the holder keeps its port";

    VORA_Interface_RadarDevice_Serial_Close(h);
    EXPECT_EQ(VORA_Interface_RadarDevice_Serial_OpenByPortNum(second, port, 0, 2, 1, 1, 1, 150), 0);
    EXPECT_EQ(VORA_Interface_RadarDevice_GetLastErrorCode(second), RADAR_OPEN_BAD_SETTINGS);
    EXPECT_EQ(
        VORA_Interface_RadarDevice_Serial_OpenByPortNum(second, port, 115200, 3, 1, 1, 1, 150), 0);
    EXPECT_TRUE(
        VORA_Interface_RadarDevice_Serial_OpenByPortNum(second, port, 115200, 2, 1, 1, 1, 150));
    EXPECT_STREQ(VORA_Interface_RadarDevice_GetLastErrorText(second), "");
}

TEST_F(RadarFaultTest, PortVanishingMidStream) {
    sim.Model().SetReportRate(100);
    ASSERT_TRUE(VORA_Interface_RadarDevice_Protocol_SetABDMode(h));
    sim.VanishAfterBytes(300); // counted from here: the next acknowledgement, then reports
    ASSERT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));

    std::uint8_t buffer[64];
    int total = 0;
    int result = 0;
    const auto start = Clock::now();
    while ((result = VORA_Interface_RadarDevice_ReadData(h, buffer, sizeof buffer, 2000, 0)) > 0)
        total += result;
    EXPECT_EQ(result, -1);
    EXPECT_LT(MsSince(start), 1500) << "the loss is noticed at once, not after a time-out";
    EXPECT_LE(total, 300);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 0);
    EXPECT_NE(std::strstr(VORA_Interface_RadarDevice_GetLastErrorText(h), "went away"), nullptr);

    // Later reads fail fast but do not spin; commands fail at once.
    const auto again = Clock::now();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(VORA_Interface_RadarDevice_ReadData(h, buffer, sizeof buffer, 2000, 0), -1);
    EXPECT_GE(MsSince(again), 100);
    EXPECT_LT(MsSince(again), 600);
    EXPECT_EQ(VORA_Interface_RadarDevice_StartCmdMode(h, 2, 150), 0);

    // The port has left the list; its number opens nothing now.
    EXPECT_EQ(sim.PortNumber(), 0);
    EXPECT_EQ(VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 115200, 2, 1, 1, 1, 150), 0);
    EXPECT_EQ(VORA_Interface_RadarDevice_GetLastErrorCode(h), RADAR_OPEN_UNKNOWN_PORT);
}

TEST_F(RadarFaultTest, PortVanishingDuringACommand) {
    sim.Vanish();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::uint32_t value = 0;
    const auto start = Clock::now();
    const auto result = Boot(h, radar::kCmdGetRunningMode, {}, value, 2000);
    EXPECT_TRUE(result == RADAR_ERR_PORT_VANISHED || result == RADAR_ERR_WRITE_FAILED) << result;
    EXPECT_LT(MsSince(start), 500);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 0);
}

TEST_F(RadarFaultTest, StreamFaultsReachTheReader) {
    sim.Model().SetReportRate(100);
    sim.Model().SetStreamFaults({.badTailEvery = 3, .garbageEvery = 2, .otherLengthEvery = 4});
    ASSERT_TRUE(VORA_Interface_RadarDevice_Protocol_SetABDMode(h));
    ASSERT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[64];
    const auto start = Clock::now();
    while (MsSince(start) < 250) {
        const int n = VORA_Interface_RadarDevice_ReadData(h, chunk, sizeof chunk, 50, 0);
        if (n > 0)
            bytes.insert(bytes.end(), chunk, chunk + n);
    }
    int good = 0, badTail = 0, other = 0;
    for (std::size_t p = 0; p + 10 <= bytes.size(); ++p) {
        if (bytes[p] != 0xF4 || bytes[p + 1] != 0xF3 || bytes[p + 2] != 0xF2 ||
            bytes[p + 3] != 0xF1)
            continue;
        const std::size_t length = radar::ReadU16(&bytes[p + 4]);
        if (p + 10 + length > bytes.size())
            break;
        const bool tailOk = bytes[p + 6 + length] == 0xF8 && bytes[p + 8 + length] == 0xF6;
        if (!tailOk)
            ++badTail;
        else if (length == 35)
            ++good;
        else
            ++other;
    }
    EXPECT_GT(good, 5);
    EXPECT_GT(badTail, 2);
    EXPECT_GT(other, 1);
}

namespace {
std::string gLogged;
void CollectLog(void*, std::uint32_t, const char* text, std::uint32_t length) {
    gLogged.append(text, length);
}
} // namespace

TEST_F(RadarFaultTest, PermissionDeniedNamesTheDialoutGroup) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to drop to an unprivileged user";
    VORA_Interface_RadarDevice_Serial_Close(h);
    // The child drops to "nobody", who may read the port list but not open
    // the pseudo-terminal (owned by root, mode 0620).
    const std::string dir = GetVirtualPortDirectory();
    ASSERT_EQ(::chmod(dir.c_str(), 0755), 0);
    ASSERT_EQ(::chmod((dir + "/" + sim.PortName() + ".port").c_str(), 0644), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(10);
        DbgOutputAddCallback(&CollectLog, nullptr);
        RadarDeviceHandle child = VORA_Interface_RadarDevice_Serial_Create();
        const int opened =
            VORA_Interface_RadarDevice_Serial_OpenByPortNum(child, port, 115200, 2, 1, 1, 1, 150);
        const std::string text = VORA_Interface_RadarDevice_GetLastErrorText(child);
        int code = 0;
        if (opened != 0)
            code = 11;
        else if (VORA_Interface_RadarDevice_GetLastErrorCode(child) != RADAR_OPEN_PERMISSION)
            code = 12;
        else if (text.find("Permission denied") == std::string::npos ||
                 text.find("dialout") == std::string::npos)
            code = 13;
        else if (gLogged.find("dialout") == std::string::npos)
            code = 14;
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ::chmod(dir.c_str(), 0700);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 setuid, 11 opened, 12 code, 13 text, 14 log";
}
