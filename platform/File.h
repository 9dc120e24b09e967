// An open file of the host, addressed by a native path text. Reads and writes go
// straight to the kernel (no user-space buffer), as the system's streams expect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

class File {
public:
    enum class Mode {
        read,       // existing file only
        write,      // created or emptied
        append,     // created when missing, positioned at the end
        read_write, // created when missing
    };
    enum class Origin { begin, current, end };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;

    // Opens the native path (after macro expansion); false when the file cannot be opened.
    bool open(std::u16string_view native_path, Mode mode);
    bool is_open() const { return m_fd >= 0; }
    void close();

    // Bytes read (0 at the end), or -1 on failure.
    int64_t read(void* buffer, size_t size);
    // True when every byte was written.
    bool write(const void* data, size_t size);
    // The new absolute position, or -1 on failure.
    int64_t seek(int64_t offset, Origin origin);
    int64_t tell() const;
    // The file's size in bytes, or -1 on failure.
    int64_t size() const;
    bool flush();

private:
    int m_fd { -1 };
};

} // namespace platform
