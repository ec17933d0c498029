// The threshold generation exchange against the simulated module over a real
// pseudo-terminal.

#include <gtest/gtest.h>

#include <vector>

#include "device/radar/VORA_DataProcess.h"
#include "realtime/SensingGeneration.h"
#include "sim/SimulatedModulePort.h"
#include "support/DeviceHandle.h"

using vestrel::sim::CommandFault;
using vestrel::sim::CSimulatedModulePort;

namespace {

class SensingGenerationSimTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.IsRunning()) << sim_.ErrorText();
        ASSERT_TRUE(handle_.Connect(sim_.PortNumber()));
        (void)VORA_Interface_RadarDevice_StopCmdMode(handle_);
        sim_.Model().ClearReceivedCommands();
    }
    bool Run(double trigger, double hold) {
        progress_.clear();
        return RunSensingGeneration(handle_, trigger, hold,
                                    [&](int percent) { progress_.push_back(percent); },
                                    {.pollIntervalMs = 50, .stallLimitMs = 2000});
    }

    CSimulatedModulePort sim_;
    testsupport::DeviceHandle handle_;
    std::vector<int> progress_;
};

} // namespace

TEST_F(SensingGenerationSimTest, SendsTheCoefficientsAndFollowsProgressToTheEnd) {
    sim_.Model().SetGenerationDuration(400);
    EXPECT_TRUE(Run(4.0, 1.5));
    EXPECT_EQ(sim_.Model().GenerationCoefficients(),
              (std::pair<std::uint16_t, std::uint16_t>{40, 15}));
    const auto commands = sim_.Model().ReceivedCommands();
    const auto start = std::find_if(commands.begin(), commands.end(), [](const auto& c) {
        return c.word == kCmdStartThresholdGeneration;
    });
    ASSERT_NE(start, commands.end());
    EXPECT_EQ(start->payload, (std::vector<std::uint8_t>{0x28, 0x00, 0x0F, 0x00}));
    ASSERT_FALSE(progress_.empty());
    EXPECT_EQ(progress_.back(), 100);
    EXPECT_TRUE(std::is_sorted(progress_.begin(), progress_.end()));
    EXPECT_FALSE(sim_.Model().InCommandMode()) << "command mode left at the end";

    EXPECT_TRUE(Run(1.25, 1.5));
    EXPECT_EQ(sim_.Model().GenerationCoefficients().first, 13) << "12.5 rounds up";
}

TEST_F(SensingGenerationSimTest, DoneAtTheFirstPollGivesOneProgress) {
    sim_.Model().SetGenerationDuration(0);
    EXPECT_TRUE(Run(4.0, 1.5));
    EXPECT_EQ(progress_, std::vector<int>{100});
    EXPECT_EQ(sim_.Model().CountReceived(kCmdGetGenerationProgress), 1);
}

TEST_F(SensingGenerationSimTest, FaultsEndAsFailure) {
    struct Case {
        const char* name;
        std::uint16_t command;
        CommandFault fault;
        bool progressSeen; // a poll answered before the fault
    };
    const Case cases[] = {
        {"start refused",
         kCmdStartThresholdGeneration,
         {.kind = CommandFault::Kind::Status, .status = 5},
         false},
        {"start unanswered",
         kCmdStartThresholdGeneration,
         {.kind = CommandFault::Kind::NoAck},
         false},
        {"3-byte progress",
         kCmdGetGenerationProgress,
         {.kind = CommandFault::Kind::WrongLength, .length = 3, .skip = 1},
         true},
        {"progress status",
         kCmdGetGenerationProgress,
         {.kind = CommandFault::Kind::Status, .status = 7, .skip = 1},
         true},
        {"progress unanswered",
         kCmdGetGenerationProgress,
         {.kind = CommandFault::Kind::NoAck, .skip = 1},
         true},
    };
    for (const Case& c : cases) {
        sim_.Model().ClearFaults();
        sim_.Model().SetGenerationDuration(60000);
        sim_.Model().InjectFault(c.command, c.fault);
        EXPECT_FALSE(Run(4.0, 1.5)) << c.name;
        EXPECT_EQ(!progress_.empty(), c.progressSeen) << c.name;
        EXPECT_FALSE(sim_.Model().InCommandMode()) << c.name;
    }
}

TEST_F(SensingGenerationSimTest, AModuleThatStopsAdvancingIsGivenUp) {
    sim_.Model().SetGenerationDuration(3600 * 1000); // stays at 0 % for the test's life
    EXPECT_FALSE(Run(4.0, 1.5));
    EXPECT_GE(progress_.size(), 30u);
}
