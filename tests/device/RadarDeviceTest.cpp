// The radar device library end to end over a real pseudo-terminal against the
// simulated module.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "device/common/SerialPortEnum.h"
#include "device/radar/CommandFrame.h"
#include "device/radar/VORA_DataProcess.h"
#include "sim/SimulatedModulePort.h"
#include "tests/device/DeviceTestSupport.h"

using namespace vestrel::sim;
using namespace devtest;

namespace {

// Reads the stream for up to `ms` and returns every byte.
std::vector<std::uint8_t> ReadFor(RadarDeviceHandle h, int ms) {
    std::vector<std::uint8_t> all;
    std::uint8_t chunk[64];
    const auto start = Clock::now();
    while (MsSince(start) < ms) {
        const int n = VORA_Interface_RadarDevice_ReadData(h, chunk, sizeof chunk, 50, 0);
        if (n > 0)
            all.insert(all.end(), chunk, chunk + n);
    }
    return all;
}

// Report frames (L = 35) found in a byte stream.
int CountReports(const std::vector<std::uint8_t>& bytes,
                 std::vector<std::vector<std::uint8_t>>* payloads = nullptr) {
    int count = 0;
    for (std::size_t p = 0; p + 10 <= bytes.size(); ++p) {
        if (bytes[p] != 0xF4 || bytes[p + 1] != 0xF3 || bytes[p + 2] != 0xF2 ||
            bytes[p + 3] != 0xF1)
            continue;
        const std::size_t length = radar::ReadU16(&bytes[p + 4]);
        if (p + 10 + length > bytes.size())
            break;
        const std::uint8_t* tail = &bytes[p + 6 + length];
        if (length == 35 && tail[0] == 0xF8 && tail[1] == 0xF7 && tail[2] == 0xF6 &&
            tail[3] == 0xF5) {
            ++count;
            if (payloads != nullptr)
                payloads->emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(p + 6),
                                       bytes.begin() + static_cast<std::ptrdiff_t>(p + 41));
        }
    }
    return count;
}

class RadarDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.IsRunning()) << sim.ErrorText();
        port = sim.PortNumber();
        ASSERT_GE(port, 1);
    }
    bool Connect(RadarDeviceHandle h) {
        return VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 115200, 2, 1, 1, 1, 150) !=
               0;
    }

    CSimulatedModulePort sim;
    int port = 0;
};

} // namespace

TEST_F(RadarDeviceTest, EnumerationListsTheSimulatedPortWithItsNumber) {
    SerialPortList ports;
    ASSERT_GE(EnumSerialPortNameW(ports), 1);
    const auto& first = ports.front(); // simulated modules come first
    EXPECT_EQ(first.name, std::wstring(sim.PortName().begin(), sim.PortName().end()));
    EXPECT_EQ(first.portNum, port);
    EXPECT_EQ(first.devicePath, sim.DevicePath());
    EXPECT_TRUE(first.isVirtual);
    EXPECT_EQ(ResolveSerialPortNum(port), sim.DevicePath());
    FreeSerialPortNameA(ports);
    EXPECT_TRUE(ports.empty());

    // A second module gets its own name and number; numbers stay with their ports.
    CSimulatedModulePort second;
    EXPECT_NE(second.PortName(), sim.PortName());
    EXPECT_NE(second.PortNumber(), port);
    EXPECT_EQ(sim.PortNumber(), port);
}

TEST_F(RadarDeviceTest, ConnectReadsVersionAndSerialAndStaysInCommandMode) {
    Handle h;
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 0);
    ASSERT_TRUE(Connect(h)) << VORA_Interface_RadarDevice_GetLastErrorText(h);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 1);
    EXPECT_TRUE(sim.Model().InCommandMode());

    CBaseStringA version, serial;
    ASSERT_TRUE(VORA_Interface_RadarDevice_GetVersion(h, version));
    ASSERT_TRUE(VORA_Interface_RadarDevice_GetSerialNumber(h, serial));
    EXPECT_EQ(version.str(), sim.Model().Version());
    EXPECT_EQ(version.str().front(), 'v');
    EXPECT_EQ(serial.str(), sim.Model().SerialNumber());

    EXPECT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));
    EXPECT_FALSE(sim.Model().InCommandMode());
    EXPECT_TRUE(VORA_Interface_RadarDevice_StartCmdMode(h, 2, 150));
    EXPECT_TRUE(sim.Model().InCommandMode());
    EXPECT_FALSE(VORA_Interface_RadarDevice_StartCmdMode(h, 1, 150)) << "only protocol 2 is spoken";

    VORA_Interface_RadarDevice_Serial_Close(h);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 0);
    // The port is free again for the next opener.
    EXPECT_TRUE(Connect(h));
}

TEST_F(RadarDeviceTest, OpenFlagsChooseWhatHappensAtOpen) {
    Handle h;
    // Version only: command mode just for the query, left afterwards.
    ASSERT_TRUE(VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 256000, 2, 0, 1, 0, 50));
    EXPECT_FALSE(sim.Model().InCommandMode());
    EXPECT_EQ(sim.Model().CountReceived(radar::kCmdReadSerialNumber), 0);
    CBaseStringA version;
    EXPECT_TRUE(VORA_Interface_RadarDevice_GetVersion(h, version));
    EXPECT_EQ(version.str(), "v1.1.0");

    // Nothing at all: the port only.
    sim.Model().ClearReceivedCommands();
    ASSERT_TRUE(VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 256000, 2, 0, 0, 0, 50));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(sim.Model().ReceivedCommands().empty());
}

TEST_F(RadarDeviceTest, ParametersReadAndWriteInChunks) {
    Handle h;
    ASSERT_TRUE(Connect(h));
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(h), 64);
    const auto& ids = ParameterIds();

    // Write all 34 in chunks of (64 - 12) / 6 = 8, as a caller does.
    std::vector<std::uint32_t> values(34);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<std::uint32_t>(i == 0 ? 7 : 1000 + i * 37);
    for (std::size_t pos = 0; pos < 34; pos += 8) {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(8, 34 - pos));
        ASSERT_TRUE(VORA_Interface_RadarDevice_Protocol_SetParameter(h, 7, n, &ids[pos],
                                                                     &values[pos], 2000));
    }
    const auto held = sim.Model().Parameters();
    EXPECT_TRUE(std::equal(held.begin(), held.end(), values.begin()));

    // Read them back in chunks of (64 - 12) / 4 = 13.
    std::vector<std::uint32_t> read(34, 0xDEAD);
    for (std::size_t pos = 0; pos < 34; pos += 13) {
        const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(13, 34 - pos));
        ASSERT_TRUE(
            VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, n, &ids[pos], &read[pos], 2000));
    }
    EXPECT_EQ(read, values);
    EXPECT_EQ(sim.Model().CountReceived(8), 3);

    // Each read command carries exactly its ids.
    const auto commands = sim.Model().ReceivedCommands();
    std::vector<std::size_t> sizes;
    for (const auto& c : commands)
        if (c.word == 8)
            sizes.push_back(c.payload.size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{26, 26, 16}));

    // Unknown ids and out-of-range values are refused, and nothing changes.
    const std::uint16_t unknown = 99;
    std::uint32_t v = 0;
    EXPECT_FALSE(VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, 1, &unknown, &v, 2000));
    const std::uint16_t gateMax = 1;
    const std::uint32_t tooBig = 16;
    EXPECT_FALSE(
        VORA_Interface_RadarDevice_Protocol_SetParameter(h, 7, 1, &gateMax, &tooBig, 2000));
    EXPECT_EQ(sim.Model().Parameter(1), 7u);
}

TEST_F(RadarDeviceTest, WriteBufferSizeIsSettablePerHandle) {
    Handle h;
    VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(h, 148);
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(h), 148);
    VORA_Interface_RadarDevice_Protocol_SetWriteBufferMaxSize(h, 2);
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(h), 16);
    Handle other;
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_GetWriteBufferMaxSize(other), 64);
}

TEST_F(RadarDeviceTest, FunctionModeOnDisconnect) {
    Handle h;
    ASSERT_TRUE(Connect(h));
    ASSERT_TRUE(VORA_Interface_RadarDevice_StartCmdMode(h, 2, 150));
    const std::uint16_t id = 0;
    const std::uint32_t value = 100;
    EXPECT_TRUE(VORA_Interface_RadarDevice_Protocol_SetParameter(h, 0x12, 1, &id, &value, 2000));
    EXPECT_EQ(sim.Model().FunctionMode(), 100u);
    EXPECT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));
}

TEST_F(RadarDeviceTest, ReportStreamThroughReadData) {
    sim.Model().SetReportRate(50);
    ReportContent forced;
    forced.state = 1;
    forced.rangeCm = 235;
    for (int i = 0; i < 16; ++i)
        forced.energies[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(100 * i + 1);
    sim.Model().ForceReport(forced);

    Handle h;
    ASSERT_TRUE(Connect(h));
    ASSERT_TRUE(VORA_Interface_RadarDevice_Protocol_SetABDMode(h));
    EXPECT_FALSE(sim.Model().Streaming()) << "no reports inside command mode";
    ASSERT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));

    std::vector<std::vector<std::uint8_t>> payloads;
    const auto bytes = ReadFor(h, 300);
    EXPECT_GE(CountReports(bytes, &payloads), 5);
    ASSERT_FALSE(payloads.empty());
    EXPECT_EQ(payloads[0][0], 1);
    EXPECT_EQ(radar::ReadU16(&payloads[0][1]), 235);
    EXPECT_EQ(radar::ReadU16(&payloads[0][3 + 2 * 15]), 1501);

    // Back to data-transfer mode while the stream runs: the acknowledgement is
    // found among the reports, and the stream stops.
    ASSERT_TRUE(VORA_Interface_RadarDevice_StartCmdMode(h, 2, 150));
    EXPECT_TRUE(VORA_Interface_RadarDevice_Protocol_SetDataTransferMode(h));
    EXPECT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));
    EXPECT_EQ(sim.Model().CurrentStreamMode(), StreamMode::DataTransfer);
    ReadFor(h, 60); // whatever was in flight
    EXPECT_EQ(CountReports(ReadFor(h, 200)), 0);
}

TEST_F(RadarDeviceTest, WalkingTargetStreamAtTenPerSecond) {
    Handle h;
    ASSERT_TRUE(Connect(h));
    ASSERT_TRUE(VORA_Interface_RadarDevice_Protocol_SetABDMode(h));
    ASSERT_TRUE(VORA_Interface_RadarDevice_StopCmdMode(h));
    const auto bytes = ReadFor(h, 1000);
    const int reports = CountReports(bytes);
    EXPECT_GE(reports, 8);
    EXPECT_LE(reports, 12);
}

TEST_F(RadarDeviceTest, ReadDataTimesOutWithNothing) {
    Handle h;
    ASSERT_TRUE(Connect(h));
    std::uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(VORA_Interface_RadarDevice_ReadData(h, buffer, sizeof buffer, 100, 0), 0);
    EXPECT_GE(MsSince(start), 90);
    EXPECT_LT(MsSince(start), 400);
}

TEST_F(RadarDeviceTest, GenericCommandWithOwnCheck) {
    Handle h;
    ASSERT_TRUE(Connect(h));
    struct Context {
        std::uint32_t length = 0;
        std::uint32_t value = 0;
    } context;
    auto check = [](eRADAR_PROTOCOL_VERSION version, const std::uint8_t* ack, std::uint32_t length,
                    void* user) -> std::uint16_t {
        auto* c = static_cast<Context*>(user);
        c->length = length;
        if (version != RADAR_PROTOCOL_VERSION_2 || length != 6)
            return RADAR_ACK_WRONG_LENGTH;
        c->value = radar::ReadU32(ack + 2);
        return radar::ReadU16(ack);
    };
    EXPECT_EQ(
        VORA_Interface_RadarDevice_Protocol_SendCommand(h, 0x75, nullptr, 0, check, &context, 500),
        0);
    EXPECT_EQ(context.length, 6u);
    EXPECT_EQ(context.value, sim.Model().DeviceId());

    // The library's own check hands back only the status.
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_SendCommand(
                  h, 0x70, nullptr, 0, CheckCmdAckData_RetCode, nullptr, 500),
              0);
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_SendCommand(h, 0x3033, nullptr, 0, nullptr,
                                                              nullptr, 500),
              radar::kStatusUnknownCommand);
    // A null payload with a length, and a word with the reply bit, are not sent.
    EXPECT_EQ(
        VORA_Interface_RadarDevice_Protocol_SendCommand(h, 0x70, nullptr, 1, nullptr, nullptr, 500),
        RADAR_ERR_BAD_ARGUMENT);
    EXPECT_EQ(VORA_Interface_RadarDevice_Protocol_SendCommand(h, 0x0170, nullptr, 0, nullptr,
                                                              nullptr, 500),
              RADAR_ERR_BAD_ARGUMENT);
}

TEST(CheckCmdAckDataRetCode, StatusOrWrongLength) {
    const std::uint8_t ok[] = {0x00, 0x00, 0x12};
    const std::uint8_t failed[] = {0x05, 0x00};
    const std::uint8_t shortAck[] = {0x05};
    EXPECT_EQ(CheckCmdAckData_RetCode(RADAR_PROTOCOL_VERSION_2, ok, 3, nullptr), 0);
    EXPECT_EQ(CheckCmdAckData_RetCode(RADAR_PROTOCOL_VERSION_2, failed, 2, nullptr), 5);
    EXPECT_EQ(CheckCmdAckData_RetCode(RADAR_PROTOCOL_VERSION_2, shortAck, 1, nullptr),
              RADAR_ACK_WRONG_LENGTH);
    EXPECT_EQ(CheckCmdAckData_RetCode(RADAR_PROTOCOL_VERSION_2, nullptr, 0, nullptr),
              RADAR_ACK_WRONG_LENGTH);
}

TEST(RadarDeviceNoPort, UnknownPortFailsWithAReason) {
    Handle h;
    EXPECT_EQ(VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, 9999, 115200, 2, 1, 1, 1, 150), 0);
    EXPECT_EQ(VORA_Interface_RadarDevice_GetLastErrorCode(h), RADAR_OPEN_UNKNOWN_PORT);
    EXPECT_NE(std::strstr(VORA_Interface_RadarDevice_GetLastErrorText(h), "9999"), nullptr);
    EXPECT_EQ(VORA_Interface_RadarDevice_IsConnected(h), 0);
    // Everything else fails at once without a port.
    EXPECT_EQ(VORA_Interface_RadarDevice_StartCmdMode(h, 2, 150), 0);
    EXPECT_EQ(
        VORA_Interface_RadarDevice_Protocol_SendCommand(h, 0x70, nullptr, 0, nullptr, nullptr, 100),
        RADAR_ERR_NOT_CONNECTED);
    std::uint8_t buffer[8];
    EXPECT_LT(VORA_Interface_RadarDevice_ReadData(h, buffer, sizeof buffer, 10, 0), 1);
}
