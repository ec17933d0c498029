#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "device/common/DbgOutput.h"
#include "realtime/ReportFrames.h"
#include "realtime/ReportStream.h"

using namespace testframes;

namespace {

// Collects the log lines written while it lives.
class LogCapture {
public:
    LogCapture() {
        DbgOutputSetTimeType(0);
        DbgOutputAddCallback(&LogCapture::OnLine, this);
    }
    ~LogCapture() {
        DbgOutputDelCallback(&LogCapture::OnLine, this);
        DbgOutputSetTimeType(1);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;
    std::vector<std::string> Lines() {
        std::lock_guard<std::mutex> g(mutex_);
        return lines_;
    }

private:
    static void OnLine(void* user, std::uint32_t, const char* text, std::uint32_t length) {
        auto* self = static_cast<LogCapture*>(user);
        std::lock_guard<std::mutex> g(self->mutex_);
        self->lines_.emplace_back(text, length);
    }
    std::mutex mutex_;
    std::vector<std::string> lines_;
};

std::vector<ReportRecord> FeedPieces(const Bytes& stream, const std::vector<std::size_t>& cuts) {
    ReportStreamDecoder decoder;
    const std::atomic<int> stop{0};
    std::vector<ReportRecord> out;
    std::size_t from = 0;
    auto take = [&](std::size_t to) {
        if (to > from)
            decoder.Feed(stream.data() + from, to - from, stop,
                         [&](const ReportRecord& r) { out.push_back(r); });
        from = to;
    };
    for (const std::size_t c : cuts)
        take(c);
    take(stream.size());
    return out;
}

std::vector<ReportRecord> FeedWhole(const Bytes& stream) {
    return FeedPieces(stream, {});
}

// The scanning rules written the plain way, byte by byte over the whole stream:
// the oracle for the optimised decoder.
std::vector<ReportRecord> ReferenceDecode(const Bytes& b) {
    std::vector<ReportRecord> out;
    std::size_t p = 0;
    const std::size_t a = b.size();
    while (p + 10 <= a) {
        if (!(b[p] == 0xF4 && b[p + 1] == 0xF3 && b[p + 2] == 0xF2 && b[p + 3] == 0xF1)) {
            ++p;
            continue;
        }
        const std::size_t len = b[p + 4] | (b[p + 5] << 8);
        if (p + len + 10 > a)
            break;
        const std::size_t t = p + 6 + len;
        if (b[t] == 0xF8 && b[t + 1] == 0xF7 && b[t + 2] == 0xF6 && b[t + 3] == 0xF5) {
            if (len == 35)
                out.push_back(DecodeReportPayload(&b[p + 6]));
            p += len + 10;
        } else {
            p += len + 6;
        }
    }
    return out;
}

// Garbage, reports, an ignored length, a bad tail and a false header whose
// length runs past the end of the stream's useful part.
Bytes MixedStream() {
    Bytes s{0x00, 0xF4, 0xF3, 0x11, 0xF4, 0xF3, 0xF2}; // garbage, including partial headers
    Append(s, Report(1, 235));
    Append(s, Frame(Bytes(36, 0x55))); // well-formed, not a report
    Append(s, Report(0, 0, 0));
    Append(s, Frame(Bytes(12, 0xAA), false)); // bad tail
    Append(s, Report(2, 999, 65000));
    Append(s, {0x12, 0x34});
    Append(s, Report(1, 150, 1));
    return s;
}

} // namespace

TEST(EnergyToDb, GivesDecibelsAndZeroBelowTwo) {
    EXPECT_EQ(EnergyToDb(0), 0.0);
    EXPECT_EQ(EnergyToDb(1), 0.0);
    EXPECT_NEAR(EnergyToDb(2), 3.0103, 1e-4);
    EXPECT_NEAR(EnergyToDb(10), 10.0, 1e-12);
    EXPECT_NEAR(EnergyToDb(65535), 48.1647, 1e-4);
}

TEST(ReportStreamDecoder, DecodesEveryFieldOfAReport) {
    std::array<std::uint16_t, 16> gates{};
    for (std::size_t i = 0; i < gates.size(); ++i)
        gates[i] = static_cast<std::uint16_t>(i == 15 ? 65535 : i * 1000);
    const auto records = FeedWhole(Frame(ReportPayload(1, 150, gates)));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].state, 1);
    EXPECT_EQ(records[0].range, 150);
    EXPECT_DOUBLE_EQ(records[0].range / 100.0, 1.50);
    for (std::size_t i = 0; i < gates.size(); ++i)
        EXPECT_DOUBLE_EQ(records[0].energy[i], EnergyToDb(gates[i])) << "gate " << i;
}

TEST(ReportStreamDecoder, MixedStreamGivesTheReportsOnly) {
    LogCapture log;
    const auto records = FeedWhole(MixedStream());
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].range, 235);
    EXPECT_EQ(records[1].state, 0);
    EXPECT_EQ(records[2].state, 2); // other states pass unchanged
    EXPECT_EQ(records[2].range, 999);
    EXPECT_EQ(records[3].range, 150);
    EXPECT_EQ(log.Lines(), std::vector<std::string>{"Tailer TAG Invalid!\r\n"});
}

TEST(ReportStreamDecoder, EveryCutPositionGivesTheSameRecords) {
    const Bytes stream = MixedStream();
    const auto whole = FeedWhole(stream);
    for (std::size_t cut = 1; cut < stream.size(); ++cut)
        EXPECT_EQ(FeedPieces(stream, {cut}), whole) << "cut at " << cut;
    // Two cuts, covering every pair inside the first report (header, length, tail).
    for (std::size_t c1 = 1; c1 < 52; ++c1)
        for (std::size_t c2 = c1 + 1; c2 < 53; ++c2)
            EXPECT_EQ(FeedPieces(stream, {c1, c2}), whole) << "cuts " << c1 << ", " << c2;
    std::vector<std::size_t> everyByte;
    for (std::size_t i = 1; i < stream.size(); ++i)
        everyByte.push_back(i);
    EXPECT_EQ(FeedPieces(stream, everyByte), whole);
}

TEST(ReportStreamDecoder, ShortInputNeverStartsAFrameCheck) {
    ReportStreamDecoder decoder;
    const std::atomic<int> stop{0};
    const Bytes frame = Report(1, 10);
    int records = 0;
    // Nine bytes: the header and length are there but no check may start.
    decoder.Feed(frame.data(), 9, stop, [&](const ReportRecord&) { ++records; });
    EXPECT_EQ(decoder.PendingBytes(), 9u);
    decoder.Feed(frame.data() + 9, frame.size() - 9, stop, [&](const ReportRecord&) { ++records; });
    EXPECT_EQ(records, 1);
    EXPECT_EQ(decoder.PendingBytes(), 0u);
}

TEST(ReportStreamDecoder, OtherLengthIsIgnoredSilently) {
    LogCapture log;
    Bytes s = Frame(Bytes(36, 0));
    Append(s, Frame({}));
    Append(s, Frame(Bytes(34, 0)));
    EXPECT_TRUE(FeedWhole(s).empty());
    EXPECT_TRUE(log.Lines().empty());
}

TEST(ReportStreamDecoder, BadTailSkipsExactlyLengthPlusSix) {
    LogCapture log;
    // A false header claiming L = 45: the real report starting 3 bytes in lies
    // inside the skipped span and is lost; the one at header + 45 + 6 survives.
    Bytes s = {0xF4, 0xF3, 0xF2, 0xF1, 45, 0};
    Append(s, Report(1, 111)); // 45 bytes, inside the span
    ASSERT_EQ(s.size(), 6u + 45u);
    Append(s, Report(1, 222)); // begins exactly at the expected tail position
    const auto records = FeedWhole(s);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].range, 222);
    EXPECT_EQ(log.Lines().size(), 1u);
}

TEST(ReportStreamDecoder, LargeFalseLengthHoldsDecodingUntilItsEnd) {
    LogCapture log;
    const std::size_t falseLength = 60000;
    Bytes s = {0xF4, 0xF3, 0xF2, 0xF1};
    PutU16(s, falseLength);
    while (s.size() < falseLength + 6)
        Append(s, Report(1, 7)); // all inside the false frame
    s.resize(falseLength + 6);
    Append(s, Report(1, 321));
    Append(s, Report(0, 0));

    ReportStreamDecoder decoder;
    const std::atomic<int> stop{0};
    std::vector<ReportRecord> out;
    const auto sink = [&](const ReportRecord& r) { out.push_back(r); };
    const std::size_t held = falseLength + 10 - 1;
    for (std::size_t at = 0; at < held; at += 1000)
        decoder.Feed(s.data() + at, std::min<std::size_t>(1000, held - at), stop, sink);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(decoder.PendingBytes(), held);
    EXPECT_TRUE(log.Lines().empty());

    decoder.Feed(s.data() + held, s.size() - held, stop, sink);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0].range, 321);
    EXPECT_EQ(log.Lines().size(), 1u);
}

TEST(ReportStreamDecoder, StopFlagEndsScanningAtOnceAndKeepsTheRest) {
    Bytes s;
    for (int i = 0; i < 5; ++i)
        Append(s, Report(1, static_cast<std::uint16_t>(i)));
    ReportStreamDecoder decoder;
    std::atomic<int> stop{0};
    std::vector<ReportRecord> out;
    const auto stopAfterSecond = [&](const ReportRecord& r) {
        out.push_back(r);
        if (out.size() == 2)
            stop = 1;
    };
    EXPECT_EQ(decoder.Feed(s.data(), s.size(), stop, stopAfterSecond), 2u);
    EXPECT_EQ(decoder.PendingBytes(), 3u * 45u);

    // Still raised: a further Feed keeps everything and hands out nothing.
    const Bytes more = Report(1, 99);
    EXPECT_EQ(decoder.Feed(more.data(), more.size(), stop, stopAfterSecond), 0u);
    EXPECT_EQ(out.size(), 2u);

    stop = 0;
    EXPECT_EQ(decoder.Feed(nullptr, 0, stop, stopAfterSecond), 4u);
    ASSERT_EQ(out.size(), 6u);
    EXPECT_EQ(out[2].range, 2);
    EXPECT_EQ(out[5].range, 99);
}

// Random streams rich in tags, lengths of every size and random splits: the
// decoder agrees with the plain byte-by-byte rules and never reads out of
// bounds (run under the sanitizers in CI).
TEST(ReportStreamDecoder, RandomStreamsAgreeWithThePlainRules) {
    std::mt19937 rng(12345);
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    for (int round = 0; round < 3000; ++round) {
        Bytes s;
        const std::size_t pieces = 1 + pick(60);
        for (std::size_t i = 0; i < pieces; ++i) {
            switch (pick(7)) {
            case 0: // random garbage
                for (std::size_t n = pick(20); n > 0; --n)
                    s.push_back(static_cast<std::uint8_t>(pick(256)));
                break;
            case 1: // bare header with a random (often huge) length
                s.insert(s.end(), {0xF4, 0xF3, 0xF2, 0xF1});
                PutU16(s, static_cast<std::uint32_t>(pick(65536)));
                break;
            case 2: // frame of a small random length
                Append(s,
                       Frame(Bytes(pick(50), static_cast<std::uint8_t>(pick(256))), pick(3) != 0));
                break;
            case 3: // lone tag bytes
                s.insert(s.end(), {0xF8, 0xF7, 0xF6, 0xF5});
                break;
            default:
                Append(s, Report(static_cast<std::uint8_t>(pick(3)),
                                 static_cast<std::uint16_t>(pick(65536)),
                                 static_cast<std::uint16_t>(pick(65536))));
            }
        }
        if (pick(4) == 0 && !s.empty())
            s.resize(pick(s.size())); // cut off anywhere
        std::vector<std::size_t> cuts;
        for (std::size_t at = pick(64) + 1; at < s.size(); at += pick(64) + 1)
            cuts.push_back(at);
        const auto expected = ReferenceDecode(s);
        ASSERT_EQ(FeedPieces(s, cuts), expected) << "round " << round;
        ASSERT_EQ(FeedWhole(s), expected) << "round " << round;
    }
}
