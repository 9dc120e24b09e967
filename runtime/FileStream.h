// A file opened by a path text (macros expanded first), used by the log, the skin
// loader and the document readers.
#pragma once

#include "platform/File.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace runtime {

class FileStream {
public:
    using Mode = platform::File::Mode;

    FileStream() = default;
    FileStream(std::u16string_view path, Mode mode) { open(path, mode); }

    bool open(std::u16string_view path, Mode mode);
    bool is_open() const { return m_file.is_open(); }
    void close() { m_file.close(); }

    // Bytes read, 0 at the end or on failure.
    size_t read(void* buffer, size_t size);
    bool skip(int64_t count);
    int64_t size() const;
    bool seek(int64_t position);
    int64_t tell() const { return m_file.tell(); }
    bool write(const void* data, size_t size) { return m_file.write(data, size); }
    bool flush() { return m_file.flush(); }

private:
    platform::File m_file;
};

} // namespace runtime
