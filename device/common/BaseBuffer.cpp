#include "device/common/BaseBuffer.h"

#include <algorithm>
#include <cstring>

bool CBaseBuffer::AppendBuffer(const void* data, std::size_t size) {
    if (size == 0)
        return true;
    if (data == nullptr)
        return false;
    const auto* src = static_cast<const std::uint8_t*>(data);
    // Appending a piece of ourselves: keep the source valid across a reallocation.
    if (!bytes_.empty() && src >= bytes_.data() && src < bytes_.data() + bytes_.size()) {
        std::vector<std::uint8_t> copy(src, src + size);
        return AppendBuffer(copy.data(), copy.size());
    }
    if (avail_ + size > bytes_.size())
        bytes_.resize(std::max(avail_ + size, bytes_.size() * 2));
    std::memcpy(bytes_.data() + avail_, src, size);
    avail_ += size;
    return true;
}

bool CBaseBuffer::SetBuffer(const void* data, std::size_t size) {
    if (size == 0) {
        avail_ = 0;
        return true;
    }
    if (data == nullptr)
        return false;
    const auto* src = static_cast<const std::uint8_t*>(data);
    if (!bytes_.empty() && src >= bytes_.data() && src < bytes_.data() + bytes_.size()) {
        std::memmove(bytes_.data(), src, size); // own tail moved to the front
        avail_ = size;
        return true;
    }
    if (size > bytes_.size())
        bytes_.resize(size);
    std::memcpy(bytes_.data(), src, size);
    avail_ = size;
    return true;
}

void CBaseBuffer::SetAvailSize(std::size_t size) {
    if (size > bytes_.size())
        bytes_.resize(size, 0);
    avail_ = size;
}

void CBaseBuffer::SetBufferSize(std::size_t size) {
    if (size > bytes_.size())
        bytes_.resize(size, 0);
}

void CBaseBuffer::Delete() {
    bytes_.clear();
    bytes_.shrink_to_fit();
    avail_ = 0;
}
