#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "realtime/ReportFrames.h"
#include "realtime/ReportStreamRun.h"

using namespace testframes;

namespace {

// A source that plays a script of reads: byte pieces, time-outs (empty) and
// then the end.
class ScriptedSource final : public IReportByteSource {
public:
    explicit ScriptedSource(std::deque<Bytes> script) : script_(std::move(script)) {}
    int ReadChunk(std::uint8_t* buffer, std::uint32_t capacity) override {
        ++reads;
        if (script_.empty())
            return -1;
        Bytes piece = std::move(script_.front());
        script_.pop_front();
        if (piece.size() > capacity) { // the rest comes with the next read
            script_.emplace_front(piece.begin() + capacity, piece.end());
            piece.resize(capacity);
        }
        std::copy(piece.begin(), piece.end(), buffer);
        return static_cast<int>(piece.size());
    }
    int reads = 0;

private:
    std::deque<Bytes> script_;
};

class TempFile {
public:
    explicit TempFile(const Bytes& data)
        : path_((std::filesystem::temp_directory_path() /
                 ("vestrel-capture-" + std::to_string(::getpid()) + ".dat"))
                    .string()) {
        std::ofstream(path_, std::ios::binary)
            .write(reinterpret_cast<const char*>(data.data()),
                   static_cast<std::streamsize>(data.size()));
    }
    ~TempFile() { std::filesystem::remove(path_); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

Bytes Reports(int count) {
    Bytes s;
    for (int i = 0; i < count; ++i)
        Append(s, Report(1, static_cast<std::uint16_t>(i)));
    return s;
}

} // namespace

TEST(RunReportStream, ReplaysAFileInChunksBytesFirstThenReports) {
    // A capture may begin inside a frame: those bytes are skipped.
    const Bytes partial = Report(1, 5);
    Bytes data(partial.begin() + 20, partial.end());
    Append(data, Reports(30));
    const TempFile file(data);
    CFileByteSource source(file.Path());
    ASSERT_TRUE(source.IsOpen());

    Bytes seen;
    std::vector<std::uint16_t> ranges;
    std::size_t bytesWhenFirstRecord = 0;
    ReportStreamHooks hooks;
    hooks.onBytes = [&](const std::uint8_t* b, std::size_t n) {
        seen.insert(seen.end(), b, b + n);
    };
    hooks.onRecord = [&](const ReportRecord& r) {
        if (ranges.empty())
            bytesWhenFirstRecord = seen.size();
        ranges.push_back(r.range);
    };
    const std::atomic<int> stop{0};
    EXPECT_EQ(RunReportStream(source, 64, stop, hooks), ReportStreamEnd::SourceEnded);
    EXPECT_EQ(seen, data);
    ASSERT_EQ(ranges.size(), 30u);
    for (std::size_t i = 0; i < ranges.size(); ++i)
        EXPECT_EQ(ranges[i], i);
    EXPECT_GE(bytesWhenFirstRecord, 25u + 45u); // raw bytes are handed over before decoding
}

TEST(RunReportStream, MissingFileEndsAtOnce) {
    CFileByteSource source("/nonexistent/vestrel/RadarData.dat");
    EXPECT_FALSE(source.IsOpen());
    const std::atomic<int> stop{0};
    int records = 0;
    ReportStreamHooks hooks;
    hooks.onRecord = [&](const ReportRecord&) { ++records; };
    EXPECT_EQ(RunReportStream(source, 0, stop, hooks), ReportStreamEnd::SourceEnded);
    EXPECT_EQ(records, 0);
}

TEST(RunReportStream, TimeOutsReadAgainAndFramesSpanReads) {
    const Bytes data = Reports(3);
    ScriptedSource source(
        {{}, Bytes(data.begin(), data.begin() + 50), {}, {}, Bytes(data.begin() + 50, data.end())});
    const std::atomic<int> stop{0};
    int records = 0;
    ReportStreamHooks hooks;
    hooks.onRecord = [&](const ReportRecord&) { ++records; };
    EXPECT_EQ(RunReportStream(source, 4096, stop, hooks), ReportStreamEnd::SourceEnded);
    EXPECT_EQ(records, 3);
    EXPECT_EQ(source.reads, 6);
}

TEST(RunReportStream, ConsumerConditionEndsTheRunBeforeTheNextRead) {
    ScriptedSource source({Reports(4), Reports(4), Reports(4)});
    const std::atomic<int> stop{0};
    int records = 0;
    ReportStreamHooks hooks;
    hooks.onRecord = [&](const ReportRecord&) { ++records; };
    hooks.keepReading = [&] { return records < 5; };
    EXPECT_EQ(RunReportStream(source, 4096, stop, hooks), ReportStreamEnd::ConsumerDone);
    // The rest of a chunk is still decoded, as the capture relies on.
    EXPECT_EQ(records, 8);
    EXPECT_EQ(source.reads, 2);
}

TEST(RunReportStream, StopFlagEndsTheRunAndTheScan) {
    ScriptedSource source({Reports(10), Reports(10)});
    std::atomic<int> stop{0};
    int records = 0;
    ReportStreamHooks hooks;
    hooks.onRecord = [&](const ReportRecord&) {
        if (++records == 3)
            stop = 1;
    };
    EXPECT_EQ(RunReportStream(source, 4096, stop, hooks), ReportStreamEnd::Stopped);
    EXPECT_EQ(records, 3);
    EXPECT_EQ(source.reads, 1);
}
