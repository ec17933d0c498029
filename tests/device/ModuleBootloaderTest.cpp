// The simulated module's bootloader over the device library: running mode,
// partitions, device ID, reset into the bootloader, image information,
// checksummed numbered packets, and the image becoming the partition's firmware.

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <thread>

#include "sim/SimulatedModulePort.h"
#include "tests/device/DeviceTestSupport.h"

using namespace vestrel::sim;
using namespace devtest;
using radar::AppendU32;

namespace {

std::vector<std::uint8_t> BinInfo(int partition, const std::vector<std::uint8_t>& image,
                                  std::uint32_t checksum) {
    std::vector<std::uint8_t> p;
    AppendU32(p, 1u << partition);
    AppendU32(p, static_cast<std::uint32_t>(image.size()));
    AppendU32(p, checksum);
    return p;
}

std::vector<std::uint8_t> Packet(std::uint32_t seq, const std::uint8_t* data, std::size_t n,
                                 std::size_t padding = 0, int checksumError = 0) {
    std::vector<std::uint8_t> p;
    AppendU32(p, seq);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < n; ++i)
        sum += data[i];
    sum += static_cast<std::uint32_t>(0xFF * padding);
    AppendU32(p, sum + static_cast<std::uint32_t>(checksumError));
    p.insert(p.end(), data, data + n);
    p.insert(p.end(), padding, 0xFF);
    return p;
}

std::vector<std::uint8_t> MakeImage(std::size_t size, const std::string& version = {}) {
    std::vector<std::uint8_t> image(size);
    for (std::size_t i = 0; i < size; ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    if (!version.empty()) {
        const std::string marker = "VESTREL_FW_VERSION=" + version + '\0';
        std::copy(marker.begin(), marker.end(), image.begin() + 8);
    }
    return image;
}

class ModuleBootloaderTest : public ::testing::Test {
protected:
    static CSimulatedModulePort::Options Opts() {
        CSimulatedModulePort::Options o;
        o.module.resetMs = 50;
        o.module.packetSize = 64; // D = 44
        return o;
    }
    void SetUp() override {
        ASSERT_TRUE(sim.IsRunning());
        port = sim.PortNumber();
        ASSERT_TRUE(
            VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 256000, 2, 0, 0, 0, 50));
    }
    // Sends the image the way the tool's download does: information, then
    // packets of D = P - 20 bytes, the last one padded to a multiple of four.
    // Returns the first failing result (0 when all were acknowledged).
    std::uint16_t Download(int partition, const std::vector<std::uint8_t>& image) {
        std::uint32_t value = 0;
        const std::uint32_t checksum = ImageChecksum(image.data(), image.size());
        if (auto r =
                Boot(h, radar::kCmdSendBinInfo, BinInfo(partition, image, checksum), value, 1000))
            return r;
        const std::size_t d = (value & 0xFFFF) - 20;
        const std::size_t padding = image.size() % 4 == 0 ? 0 : 4 - image.size() % 4;
        std::uint32_t seq = 0;
        for (std::size_t sent = 0; sent < image.size(); ++seq) {
            const std::size_t n = std::min(d, image.size() - sent);
            const bool last = d > image.size() - sent;
            if (auto r = Boot(h, radar::kCmdSendPacket,
                              Packet(seq, &image[sent], n, last ? padding : 0), value))
                return r;
            sent += n;
        }
        return 0;
    }
    void EnterBootloader() {
        ASSERT_TRUE(VORA_Interface_RadarDevice_StartCmdMode(h, 2, 50));
        ASSERT_TRUE(VORA_Interface_RadarDevice_Protocol_SendCommand_NoCheckAck(
            h, radar::kCmdSoftwareReset, nullptr, 0));
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        ASSERT_TRUE(
            VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 256000, 2, 0, 0, 0, 50));
        std::uint32_t mode = 0;
        ASSERT_EQ(Boot(h, radar::kCmdGetRunningMode, {}, mode), 0);
        ASSERT_EQ(mode, kRunningBootLoader);
    }

    CSimulatedModulePort sim{Opts()};
    int port = 0;
    Handle h;
};

} // namespace

TEST_F(ModuleBootloaderTest, InformationQueriesNeedCommandModeInTheApplication) {
    std::uint32_t value = 0;
    EXPECT_EQ(Boot(h, radar::kCmdGetRunningMode, {}, value), radar::kStatusNotInCommandMode);
    ASSERT_TRUE(VORA_Interface_RadarDevice_StartCmdMode(h, 2, 50));
    EXPECT_EQ(Boot(h, radar::kCmdGetRunningMode, {}, value), 0);
    EXPECT_EQ(value, 2u); // App0
    EXPECT_EQ(Boot(h, radar::kCmdGetDeviceId, {}, value), 0);
    EXPECT_EQ(value, sim.Model().DeviceId());
    EXPECT_EQ(Boot(h, radar::kCmdGetPartitionInfo, {}, value), 0);
    EXPECT_EQ(value, 0x3u);
    // Images go to the bootloader only.
    const auto image = MakeImage(10);
    EXPECT_EQ(
        Boot(h, radar::kCmdSendBinInfo, BinInfo(0, image, ImageChecksum(image.data(), 10)), value),
        radar::kStatusWrongState);
}

TEST_F(ModuleBootloaderTest, ResetDownloadAndBootTheNewFirmware) {
    EnterBootloader();
    EXPECT_FALSE(sim.Model().InCommandMode());
    // Bootloader commands need no command mode; parameters are not available.
    const std::uint16_t id = 1;
    std::uint32_t value = 0;
    EXPECT_FALSE(VORA_Interface_RadarDevice_Protocol_GetParameter(h, 8, 1, &id, &value, 200));

    const auto image = MakeImage(1001, "1.2.0"); // 22 full packets of 44, then 33 + 3 padding
    ASSERT_EQ(Download(1, image), 0);
    EXPECT_EQ(sim.Model().CountReceived(radar::kCmdSendPacket), 23);
    const PartitionFirmware fw = sim.Model().Partition(1);
    EXPECT_EQ(fw.image, image);
    EXPECT_EQ(fw.checksum, ImageChecksum(image.data(), image.size()));
    EXPECT_EQ(fw.version, "v1.2.0");
    EXPECT_EQ(sim.Model().RunningMode(), RunningModeOfPartition(1));
    EXPECT_EQ(sim.Model().Version(), "v1.2.0");

    // The last packet went out padded: 33 image bytes and three 0xFF.
    const auto commands = sim.Model().ReceivedCommands();
    const auto& lastPacket = commands.back();
    ASSERT_EQ(lastPacket.word, radar::kCmdSendPacket);
    EXPECT_EQ(lastPacket.payload.size(), 8u + 33 + 3);
}

TEST_F(ModuleBootloaderTest, FinalPacketWithoutItsPaddingIsAccepted) {
    sim.Model().SetRunningMode(kRunningBootLoader);
    // The announced checksum counts two padding bytes that never travel.
    const auto image = MakeImage(86);
    std::uint32_t value = 0;
    ASSERT_EQ(
        Boot(h, radar::kCmdSendBinInfo, BinInfo(0, image, ImageChecksum(image.data(), 86)), value),
        0);
    ASSERT_EQ(Boot(h, radar::kCmdSendPacket, Packet(0, image.data(), 44), value), 0);
    ASSERT_EQ(Boot(h, radar::kCmdSendPacket, Packet(1, image.data() + 44, 42), value), 0);
    EXPECT_EQ(sim.Model().Partition(0).image, image);
}

TEST_F(ModuleBootloaderTest, BadPacketsAreRefusedWithTheirStatus) {
    sim.Model().SetRunningMode(kRunningBootLoader);
    const auto image = MakeImage(100);
    const std::uint32_t checksum = ImageChecksum(image.data(), image.size());
    std::uint32_t value = 0;

    EXPECT_EQ(Boot(h, radar::kCmdSendPacket, Packet(0, image.data(), 10), value),
              radar::kStatusNoTransfer);
    EXPECT_EQ(Boot(h, radar::kCmdSendBinInfo, BinInfo(2, image, checksum), value),
              radar::kStatusValueOutOfRange)
        << "partition 2 is not in the mask";
    std::vector<std::uint8_t> twoBits = BinInfo(0, image, checksum);
    twoBits[0] = 0x03;
    EXPECT_EQ(Boot(h, radar::kCmdSendBinInfo, twoBits, value), radar::kStatusValueOutOfRange);
    EXPECT_EQ(Boot(h, radar::kCmdSendBinInfo, {1, 2, 3}, value), radar::kStatusBadPayload);

    ASSERT_EQ(Boot(h, radar::kCmdSendBinInfo, BinInfo(0, image, checksum), value), 0);
    EXPECT_EQ(value & 0xFFFF, 64u);
    struct Case {
        const char* name;
        std::vector<std::uint8_t> packet;
        std::uint16_t status;
    };
    const Case cases[] = {
        {"wrong sequence", Packet(1, image.data(), 44), radar::kStatusSequenceError},
        {"wrong checksum", Packet(0, image.data(), 44, 0, 1), radar::kStatusPacketChecksumError},
        {"too long", Packet(0, image.data(), 45), radar::kStatusPacketTooLong},
        {"no header", {1, 2, 3}, radar::kStatusBadPayload},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Boot(h, radar::kCmdSendPacket, c.packet, value), c.status);
    }
    EXPECT_EQ(value, 0u) << "the value tells the sequence number expected";
    // A refused packet changes nothing: the transfer goes on from packet 0.
    ASSERT_EQ(Boot(h, radar::kCmdSendPacket, Packet(0, image.data(), 44), value), 0);
    ASSERT_EQ(Boot(h, radar::kCmdSendPacket, Packet(1, image.data() + 44, 44), value), 0);
    ASSERT_EQ(Boot(h, radar::kCmdSendPacket, Packet(2, image.data() + 88, 12), value), 0);
    EXPECT_EQ(sim.Model().Partition(0).image, image);
}

TEST_F(ModuleBootloaderTest, ImageChecksumMismatchKeepsTheOldFirmware) {
    sim.Model().SetRunningMode(kRunningBootLoader);
    const auto image = MakeImage(40);
    std::uint32_t value = 0;
    ASSERT_EQ(Boot(h, radar::kCmdSendBinInfo,
                   BinInfo(0, image, ImageChecksum(image.data(), 40) + 1), value),
              0);
    EXPECT_EQ(Boot(h, radar::kCmdSendPacket, Packet(0, image.data(), 40), value),
              radar::kStatusImageChecksumError);
    EXPECT_EQ(sim.Model().Partition(0).version, "v1.1.0");
    EXPECT_TRUE(sim.Model().Partition(0).image.empty());
    EXPECT_EQ(sim.Model().RunningMode(), kRunningBootLoader);
}

TEST_F(ModuleBootloaderTest, ResetFromTheBootloaderStartsTheApplication) {
    sim.Model().SetRunningMode(kRunningBootLoader);
    ASSERT_TRUE(VORA_Interface_RadarDevice_Protocol_SendCommand_NoCheckAck(
        h, radar::kCmdSoftwareReset, nullptr, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    EXPECT_EQ(sim.Model().RunningMode(), RunningModeOfPartition(0));
    CBaseStringA version;
    ASSERT_TRUE(VORA_Interface_RadarDevice_Serial_OpenByPortNum(h, port, 256000, 2, 0, 1, 0, 50));
    ASSERT_TRUE(VORA_Interface_RadarDevice_GetVersion(h, version));
    EXPECT_EQ(version.str(), "v1.1.0");
}

TEST(ImageChecksumTest, PaddingCountsAsFF) {
    const std::uint8_t three[] = {1, 2, 3};
    EXPECT_EQ(ImageChecksum(three, 3), 0x105u);
    const std::uint8_t four[] = {1, 2, 3, 4};
    EXPECT_EQ(ImageChecksum(four, 4), 10u);
    EXPECT_EQ(ImageChecksum(four, 1), 1u + 3 * 255);
    EXPECT_EQ(ImageChecksum(four, 2), 3u + 2 * 255);
}
