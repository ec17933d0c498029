#include "device/radar/CommandFrame.h"

#include <algorithm>
#include <cstring>

namespace radar {

void AppendU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void AppendU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
}

std::uint16_t ReadU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::vector<std::uint8_t> BuildCommandFrame(std::uint16_t word,
                                            std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> frame;
    frame.reserve(kCmdFrameOverhead + payload.size());
    frame.insert(frame.end(), std::begin(kCmdHeader), std::end(kCmdHeader));
    AppendU16(frame, static_cast<std::uint16_t>(2 + payload.size()));
    AppendU16(frame, word);
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.insert(frame.end(), std::begin(kCmdTail), std::end(kCmdTail));
    return frame;
}

std::vector<std::uint8_t> BuildAckFrame(std::uint16_t command, std::uint16_t status,
                                        std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> payload;
    payload.reserve(2 + data.size());
    AppendU16(payload, status);
    payload.insert(payload.end(), data.begin(), data.end());
    return BuildCommandFrame(static_cast<std::uint16_t>(command | kAckBit), payload);
}

void CCommandFrameScanner::Append(const std::uint8_t* data, std::size_t size) {
    if (data != nullptr && size > 0)
        buffer_.insert(buffer_.end(), data, data + size);
}

std::optional<CommandFrame> CCommandFrameScanner::Next() {
    std::size_t p = 0;
    std::optional<CommandFrame> found;
    while (buffer_.size() - p >= 4) {
        if (std::memcmp(buffer_.data() + p, kCmdHeader, 4) != 0) {
            ++p;
            continue;
        }
        if (buffer_.size() - p < 6)
            break;
        const std::size_t length = ReadU16(buffer_.data() + p + 4);
        if (length < 2 || length > kMaxFramePayload) {
            ++rejected_;
            ++p; // a false header: look again one byte further
            continue;
        }
        if (buffer_.size() - p < 10 + length)
            break; // incomplete: wait for more
        if (std::memcmp(buffer_.data() + p + 6 + length, kCmdTail, 4) != 0) {
            ++rejected_;
            ++p;
            continue;
        }
        CommandFrame frame;
        frame.word = ReadU16(buffer_.data() + p + 6);
        frame.payload.assign(buffer_.begin() + static_cast<std::ptrdiff_t>(p + 8),
                             buffer_.begin() + static_cast<std::ptrdiff_t>(p + 6 + length));
        p += 10 + length;
        found = std::move(frame);
        break;
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(p));
    return found;
}

} // namespace radar
