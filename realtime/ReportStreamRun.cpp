#include "realtime/ReportStreamRun.h"

#include <vector>

CFileByteSource::CFileByteSource(const std::string& path) : file_(std::fopen(path.c_str(), "rb")) {}

int CFileByteSource::ReadChunk(std::uint8_t* buffer, std::uint32_t capacity) {
    if (!file_ || buffer == nullptr || capacity == 0)
        return -1;
    std::size_t total = 0;
    while (total < capacity) {
        const std::size_t n = std::fread(buffer + total, 1, capacity - total, file_.get());
        if (n == 0)
            break; // end of file or read error
        total += n;
    }
    // The chunk never exceeds the int range the device library uses for counts.
    return total > 0 ? static_cast<int>(total) : -1;
}

ReportStreamEnd RunReportStream(IReportByteSource& source, std::uint32_t chunkSize,
                                const std::atomic<int>& stop, const ReportStreamHooks& hooks) {
    if (chunkSize == 0)
        chunkSize = kDefaultReportChunkSize;
    ReportStreamDecoder decoder;
    std::vector<std::uint8_t> chunk(chunkSize);
    for (;;) {
        if (stop.load(std::memory_order_relaxed) != 0)
            return ReportStreamEnd::Stopped;
        if (hooks.keepReading && !hooks.keepReading())
            return ReportStreamEnd::ConsumerDone;
        const int len = source.ReadChunk(chunk.data(), chunkSize);
        if (len < 0)
            return ReportStreamEnd::SourceEnded;
        if (len == 0)
            continue; // nothing within the time-out: look at the flags and read again
        const auto count = static_cast<std::size_t>(len) < chunk.size()
                               ? static_cast<std::size_t>(len)
                               : chunk.size();
        if (hooks.onBytes)
            hooks.onBytes(chunk.data(), count);
        decoder.Feed(chunk.data(), count, stop, hooks.onRecord);
    }
}
