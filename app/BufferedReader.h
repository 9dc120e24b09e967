// Reads a file through a buffer of 4096 bytes, so that the city database's tens of
// thousands of short strings cost a system call per 4 kB and not per field.
#pragma once

#include "runtime/FileStream.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace weather {

class BufferedReader {
public:
    static constexpr size_t buffer_size = 4096;

    // Opens the path (macros expanded); false when it cannot be read.
    bool open(std::u16string_view path);
    void close();
    bool is_open() const { return m_file.is_open(); }

    // Size of the file when it was opened, and the bytes not read yet: what a length
    // prefix may claim at most.
    int64_t size() const { return m_size; }
    int64_t remaining() const { return m_size - m_position; }
    int64_t position() const { return m_position; }

    // Reads exactly `count` bytes; false (and the reader at the end) when fewer remain.
    bool read(void* out, size_t count);
    bool read_byte(uint8_t& byte);

private:
    bool refill();

    runtime::FileStream m_file;
    std::array<uint8_t, buffer_size> m_buffer {};
    size_t m_begin { 0 };
    size_t m_end { 0 };
    int64_t m_position { 0 };
    int64_t m_size { 0 };
};

} // namespace weather
