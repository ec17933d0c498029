// Framing details and the module model driven directly (no port): exact bytes
// of the documented exchanges, resynchronisation, threshold generation, the
// report stream's content and the state file.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "device/common/FileUtil.h"
#include "sim/ModuleModel.h"
#include "sim/SimulatedModulePort.h"
#include "tests/device/DeviceTestSupport.h"

using namespace vestrel::sim;
using namespace devtest;
using Bytes = std::vector<std::uint8_t>;

namespace {

// Feeds one command frame into the model and returns everything it answers at once.
Bytes Exchange(CModuleModel& model, const Bytes& frame,
               SimClock::time_point now = SimClock::now()) {
    std::vector<ModuleOutput> out;
    model.Receive(frame.data(), frame.size(), now, out);
    Bytes all;
    for (const auto& o : out)
        all.insert(all.end(), o.bytes.begin(), o.bytes.end());
    return all;
}

Bytes Command(std::uint16_t word, const Bytes& payload = {}) {
    return radar::BuildCommandFrame(word, payload);
}

// Status and reply data of a single acknowledgement frame.
Bytes AckData(const Bytes& frame) {
    radar::CCommandFrameScanner scanner;
    scanner.Append(frame.data(), frame.size());
    auto f = scanner.Next();
    return f ? f->payload : Bytes{};
}

} // namespace

TEST(CommandFrameTest, DocumentedExchangesByteForByte) {
    CModuleModel model;
    struct Case {
        Bytes host;
        Bytes module;
    };
    const Case cases[] = {
        {{0xFD, 0xFC, 0xFB, 0xFA, 0x04, 0x00, 0xFF, 0x00, 0x02, 0x00, 0x04, 0x03, 0x02, 0x01},
         {0xFD, 0xFC, 0xFB, 0xFA, 0x08, 0x00, 0xFF, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x01, 0x04,
          0x03, 0x02, 0x01}},
        {{0xFD, 0xFC, 0xFB, 0xFA, 0x06, 0x00, 0x08, 0x00, 0x01, 0x00, 0x04, 0x00, 0x04, 0x03, 0x02,
          0x01},
         {0xFD, 0xFC, 0xFB, 0xFA, 0x0C, 0x00, 0x08, 0x01, 0x00, 0x00, 0x08,
          0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00, 0x04, 0x03, 0x02, 0x01}},
        {{0xFD, 0xFC, 0xFB, 0xFA, 0x02, 0x00, 0x70, 0x00, 0x04, 0x03, 0x02, 0x01},
         {0xFD, 0xFC, 0xFB, 0xFA, 0x08, 0x00, 0x70, 0x01, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04,
          0x03, 0x02, 0x01}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Exchange(model, c.host), c.module);
    EXPECT_EQ(Command(0xFF, {0x02, 0x00}), cases[0].host);
}

TEST(CommandFrameTest, ScannerFindsFramesAmongNoiseAndAcrossCuts) {
    const Bytes a = radar::BuildAckFrame(0x08, 0, Bytes{1, 2, 3, 4});
    const Bytes b = radar::BuildCommandFrame(0x70, {});
    Bytes stream = {0xFD, 0xFC, 0xFB, 0xFA, 0xFF, 0xFF}; // false header, impossible length
    stream.insert(stream.end(),
                  {0x11, 0xFD, 0xFC, 0xFB, 0xFA, 0x02, 0x00, 0x70, 0x00, 9, 9, 9, 9}); // bad tail
    stream.insert(stream.end(), a.begin(), a.end());
    stream.insert(stream.end(), {0xF4, 0xF3, 0xF2, 0xF1, 0x00});
    stream.insert(stream.end(), b.begin(), b.end());
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        SCOPED_TRACE(cut);
        radar::CCommandFrameScanner scanner;
        std::vector<std::uint16_t> words;
        scanner.Append(stream.data(), cut);
        while (auto f = scanner.Next())
            words.push_back(f->word);
        scanner.Append(stream.data() + cut, stream.size() - cut);
        while (auto f = scanner.Next())
            words.push_back(f->word);
        EXPECT_EQ(words, (std::vector<std::uint16_t>{0x0108, 0x0070}));
        EXPECT_LE(scanner.Pending(), 3u);
    }
}

TEST(ModuleModelTest, CommandsOutsideCommandModeAreRefused) {
    CModuleModel model;
    EXPECT_EQ(AckData(Exchange(model, Command(0x08, {1, 0}))), (Bytes{0x03, 0x00}));
    EXPECT_EQ(AckData(Exchange(model, Command(0xFF, {1, 0}))), (Bytes{0x06, 0x00})) << "protocol 1";
    EXPECT_FALSE(model.InCommandMode());
    EXPECT_EQ(Exchange(model, Command(0x0108, {})), Bytes{}) << "acknowledgements are not commands";
}

// Refused parameter commands change nothing; a write applies all of its
// parameters or none.
TEST(ModuleModelTest, ParameterCommandsAreCheckedWhole) {
    CModuleModel model;
    EXPECT_EQ(AckData(Exchange(model, Command(0xFF, {2, 0}))), (Bytes{0, 0, 2, 0, 0, 1}))
        << "protocol 2, receive buffer of 256 bytes";
    EXPECT_EQ(AckData(Exchange(model, Command(0xFF, {2, 0}))), (Bytes{0, 0, 2, 0, 0, 1}))
        << "entering twice succeeds";
    const auto before = model.Parameters();
    const std::uint32_t modeBefore = model.FunctionMode();
    struct Case {
        const char* name;
        std::uint16_t word;
        Bytes payload;
        std::uint16_t status;
    };
    const Case cases[] = {
        {"read without ids", 0x08, {}, 0x0002},
        {"read of an odd size", 0x08, {1, 0, 4}, 0x0002},
        {"read of an unknown id", 0x08, {1, 0, 2, 0}, 0x0007},
        {"write without parameters", 0x07, {}, 0x0002},
        {"write of a cut parameter", 0x07, {16, 0, 1, 0, 0}, 0x0002},
        {"write naming an unknown id last", 0x07, {16, 0, 9, 0, 0, 0, 5, 0, 9, 0, 0, 0}, 0x0007},
        {"gate maximum beyond 15", 0x07, {16, 0, 9, 0, 0, 0, 1, 0, 16, 0, 0, 0}, 0x0005},
        {"delay beyond 65535", 0x07, {4, 0, 0, 0, 1, 0}, 0x0005},
        {"function mode of id 1", 0x12, {1, 0, 100, 0, 0, 0}, 0x0007},
        {"function mode cut", 0x12, {0, 0, 100}, 0x0002},
        {"unknown command", 0x33, {}, 0x0001},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(AckData(Exchange(model, Command(c.word, c.payload))),
                  (Bytes{static_cast<std::uint8_t>(c.status), 0}))
            << c.name;
        EXPECT_EQ(model.Parameters(), before) << c.name;
        EXPECT_EQ(model.FunctionMode(), modeBefore) << c.name;
    }

    // Accepted: every named parameter at once, the edges of the ranges included.
    EXPECT_EQ(AckData(Exchange(model, Command(0x07, {1, 0, 15, 0, 0, 0, 4, 0, 0xFF, 0xFF, 0, 0, 47,
                                                     0, 0xFF, 0xFF, 0xFF, 0xFF}))),
              (Bytes{0, 0}));
    EXPECT_EQ(model.Parameter(1), 15u);
    EXPECT_EQ(model.Parameter(4), 65535u);
    EXPECT_EQ(model.Parameter(47), 0xFFFFFFFFu);
    EXPECT_EQ(AckData(Exchange(model, Command(0x08, {47, 0, 1, 0}))),
              (Bytes{0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 15, 0, 0, 0}))
        << "values in the order asked";
    EXPECT_EQ(AckData(Exchange(model, Command(0x12, {0, 0, 100, 0, 0, 0}))), (Bytes{0, 0}));
    EXPECT_EQ(model.FunctionMode(), 100u);
}

TEST(ModuleModelTest, ThresholdGenerationRisesAndDerivesThresholdsFromNoise) {
    ModuleConfig config;
    config.generationMs = 1000;
    CModuleModel model(config);
    const auto t0 = SimClock::now();
    Exchange(model, Command(0xFF, {2, 0}), t0);
    EXPECT_EQ(AckData(Exchange(model, Command(0x0A), t0)), (Bytes{0x04, 0x00, 0x00, 0x00}))
        << "no generation started";
    EXPECT_EQ(AckData(Exchange(model, Command(0x09, {0x28, 0x00, 0x0F, 0x00}), t0)), (Bytes{0, 0}));
    EXPECT_EQ(model.GenerationCoefficients(), (std::pair<std::uint16_t, std::uint16_t>{40, 15}));
    EXPECT_EQ(model.Parameter(16), 1000u) << "thresholds change only at 100 %";

    std::vector<int> progress;
    for (int ms = 0; ms <= 1200; ms += 300) {
        const Bytes data =
            AckData(Exchange(model, Command(0x0A), t0 + std::chrono::milliseconds(ms)));
        ASSERT_EQ(data.size(), 4u);
        EXPECT_EQ(radar::ReadU16(data.data()), 0);
        progress.push_back(radar::ReadU16(data.data() + 2));
    }
    EXPECT_EQ(progress, (std::vector<int>{0, 30, 60, 90, 100}));
    EXPECT_FALSE(model.Generating());

    // Trigger = 4.0 x noise, hold = 1.5 x noise; noise is strongest near the module.
    for (int gate = 0; gate < 16; ++gate) {
        const double trig = model.Parameter(static_cast<std::uint16_t>(16 + gate));
        const double hold = model.Parameter(static_cast<std::uint16_t>(32 + gate));
        EXPECT_NEAR(trig / hold, 40.0 / 15.0, 0.05) << gate;
    }
    EXPECT_GT(model.Parameter(16), 3 * model.Parameter(31));
    EXPECT_GT(model.Parameter(31), 4u * 60 * 6 / 10); // at least 4 x the noise floor's low edge

    // Out-of-range coefficients are refused.
    EXPECT_EQ(AckData(Exchange(model, Command(0x09, {0x09, 0x00, 0x0F, 0x00}), t0)),
              (Bytes{0x05, 0x00}));
    EXPECT_EQ(AckData(Exchange(model, Command(0x09, {0x28, 0x00}), t0)), (Bytes{0x02, 0x00}));
}

TEST(ModuleModelTest, GenerationDurationZeroAnswersHundredAtTheFirstPoll) {
    ModuleConfig config;
    config.generationMs = 0;
    CModuleModel model(config);
    Exchange(model, Command(0xFF, {2, 0}));
    Exchange(model, Command(0x09, {0x28, 0x00, 0x0F, 0x00}));
    EXPECT_EQ(AckData(Exchange(model, Command(0x0A))), (Bytes{0, 0, 100, 0}));
}

TEST(ModuleModelTest, WalkingTargetComesAndGoes) {
    CModuleModel model;
    model.SetParameter(4, 1); // absence reported 1 s after the target left
    Exchange(model, Command(0xFF, {2, 0}));
    Exchange(model, Command(0x60));
    Exchange(model, Command(0xFE));
    ASSERT_TRUE(model.Streaming());
    // 30 s of reports at 10 per second, produced with a simulated clock.
    const auto t0 = SimClock::now();
    int present = 0, absent = 0, malformed = 0;
    std::uint16_t nearest = 65535;
    for (int i = 0; i < 300; ++i) {
        std::vector<ModuleOutput> out;
        model.Tick(t0 + std::chrono::milliseconds(100 * i), out);
        ASSERT_FALSE(out.empty());
        const Bytes& frame = out.front().bytes;
        if (frame.size() < 45 || radar::ReadU16(&frame[4]) != 35) {
            ++malformed;
            continue;
        }
        const std::uint8_t state = frame[6];
        const std::uint16_t range = radar::ReadU16(&frame[7]);
        if (state == 1) {
            ++present;
            nearest = std::min(nearest, range);
        } else {
            ++absent;
            EXPECT_EQ(range, 0);
        }
    }
    EXPECT_EQ(malformed, 0);
    EXPECT_GT(present, 100);
    EXPECT_GT(absent, 20);
    EXPECT_LT(nearest, 120) << "the target comes close to the module";
    EXPECT_GE(model.ReportsSent(), 280u);
}

TEST(ModuleModelTest, StateFileKeepsParametersAcrossRunsAndSurvivesDamage) {
    const std::string path = ::testing::TempDir() + "/vestrel-module-state.txt";
    std::remove(path.c_str());
    ModuleConfig config;
    config.stateFile = path;
    {
        CModuleModel model(config);
        Exchange(model, Command(0xFF, {2, 0}));
        Exchange(model, Command(0x07, {0x01, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x11, 0x00, 0x39, 0x30,
                                       0x00, 0x00}));
        Exchange(model, Command(0x12, {0x00, 0x00, 0x64, 0x00, 0x00, 0x00}));
    }
    {
        CModuleModel model(config);
        EXPECT_EQ(model.Parameter(1), 12u);
        EXPECT_EQ(model.Parameter(17), 12345u);
        EXPECT_EQ(model.FunctionMode(), 100u);
    }
    {
        std::ofstream damaged(path, std::ios::app);
        damaged << "param.1=banana\nparam.99=5\npartition.77.version=x\n\xff\xfe=\n=\nparam.4=7\n";
    }
    CModuleModel model(config);
    EXPECT_EQ(model.Parameter(1), 12u);
    EXPECT_EQ(model.Parameter(4), 7u);
    EXPECT_EQ(model.Parameter(99), 0u);
    std::remove(path.c_str());
}
