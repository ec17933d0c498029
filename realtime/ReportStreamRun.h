#pragma once
// One streaming run: read chunks from a byte source (the module or a capture
// file), hand the raw bytes to the consumer and decode them into reports, until
// the stop flag, the consumer or the source ends it. Shared by the real-time
// reader and the capture worker, so live data and replays decode alike.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "realtime/ReportStream.h"

// Where report bytes come from.
class IReportByteSource {
public:
    virtual ~IReportByteSource() = default;
    // Reads up to `capacity` bytes into `buffer`. Returns the count (>= 1); 0
    // when nothing arrived in time (read again); -1 when the source has ended
    // (end of file, device gone).
    [[nodiscard]] virtual int ReadChunk(std::uint8_t* buffer, std::uint32_t capacity) = 0;
};

// A capture file, read chunk by chunk from its start.
class CFileByteSource final : public IReportByteSource {
public:
    explicit CFileByteSource(const std::string& path);
    [[nodiscard]] bool IsOpen() const { return file_ != nullptr; }
    // Fills the chunk until it is full, the file ends or a read error occurs;
    // -1 once nothing more can be read.
    [[nodiscard]] int ReadChunk(std::uint8_t* buffer, std::uint32_t capacity) override;

private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, FileCloser> file_;
};

// Used when a chunk size cannot be had from the device library.
constexpr std::uint32_t kDefaultReportChunkSize = 4096;

struct ReportStreamHooks {
    // Every chunk as read, before it is decoded (the capture file writer).
    std::function<void(const std::uint8_t* bytes, std::size_t count)> onBytes;
    // Each report in stream order, on the reading thread.
    ReportStreamDecoder::RecordHandler onRecord;
    // The consumer's own condition to go on, asked before every read (e.g. fewer
    // than N reports taken). Empty: always.
    std::function<bool()> keepReading;
};

enum class ReportStreamEnd {
    Stopped,      // the stop flag was raised
    ConsumerDone, // keepReading said no
    SourceEnded,  // end of file, or the device went away
};

// The read loop of one run: one chunk buffer and one decoder, both freed at the
// end. A chunk size of 0 takes kDefaultReportChunkSize.
ReportStreamEnd RunReportStream(IReportByteSource& source, std::uint32_t chunkSize,
                                const std::atomic<int>& stop, const ReportStreamHooks& hooks);
