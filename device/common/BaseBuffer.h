#pragma once
// Growable byte buffer: a valid count inside a reserved capacity.

#include <cstddef>
#include <cstdint>
#include <vector>

class CBaseBuffer {
public:
    // Appends `size` bytes; false only when data is null and size > 0.
    bool AppendBuffer(const void* data, std::size_t size);
    // Replaces the contents; `data` may point into this buffer (e.g. its own tail).
    bool SetBuffer(const void* data, std::size_t size);
    [[nodiscard]] std::uint8_t* GetBuffer() { return bytes_.data(); }
    [[nodiscard]] const std::uint8_t* GetBuffer() const { return bytes_.data(); }
    [[nodiscard]] std::size_t GetAvailSize() const { return avail_; }
    // Sets the valid count; grows the storage (zero-filled) when needed.
    void SetAvailSize(std::size_t size);
    // Reserves at least `size` bytes of storage; never shrinks the valid data.
    void SetBufferSize(std::size_t size);
    [[nodiscard]] std::size_t GetBufferSize() const { return bytes_.size(); }
    // Empties the buffer and frees its storage.
    void Delete();

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t avail_ = 0;
};
