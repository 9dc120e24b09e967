// A byte block with shared storage: copies share it, a slice narrows the view without
// copying, and writing through a buffer whose storage is shared copies its slice first.
// The reference count is atomic because chunks pass between a worker and the main thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace ombrelo {

class ByteBuffer {
public:
    ByteBuffer() = default;
    // size zero bytes
    explicit ByteBuffer(size_t size);
    ByteBuffer(const void* data, size_t size);
    ByteBuffer(const ByteBuffer& other);
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer other) noexcept;
    ~ByteBuffer();

    size_t size() const { return m_length; }
    bool empty() const { return m_length == 0; }
    const uint8_t* data() const;
    // A private copy of the slice is made first when the storage is shared.
    uint8_t* mutable_data();

    // A view of part of this buffer on the same storage (clamped to it).
    ByteBuffer slice(size_t offset, size_t length) const;
    // Narrows this buffer to its first bytes.
    void narrow(size_t length);

    bool shares_storage_with(const ByteBuffer& other) const { return m_storage && m_storage == other.m_storage; }
    std::string_view as_text() const;

private:
    struct Storage {
        std::atomic<int> references { 1 };
        size_t size { 0 };
        uint8_t* bytes { nullptr };
    };
    static Storage* allocate(size_t size);
    void release();

    Storage* m_storage { nullptr };
    size_t m_offset { 0 };
    size_t m_length { 0 };
};

} // namespace ombrelo
