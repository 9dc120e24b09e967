// The directory entry of one file, read with read_directory_entry (Paths.h).
#pragma once

#include <cstdint>
#include <string>

namespace runtime {

struct FileInfo {
    std::u16string name;                 // the path text as passed in, not expanded
    uint32_t attributes { 0xFFFFFFFF };  // -1 when nothing was found
    uint32_t size_low { 0 };
    uint32_t size_high { 0 };
    int64_t creation_time { 0 };         // local date-time count
    int64_t last_write_time { 0 };       // local date-time count
    int last_error { 0 };

    bool exists() const { return attributes != 0xFFFFFFFF; }
    bool is_read_only() const { return exists() && (attributes & 1) != 0; }
    uint64_t size() const { return (uint64_t(size_high) << 32) | size_low; }
};

} // namespace runtime
