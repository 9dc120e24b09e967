// Whole-file reads of outside files with a size limit: a file larger than the limit is
// refused without being read into memory.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace weather {

// The settings file and a cache file hold a few kilobytes; 1 MiB is far beyond either.
constexpr size_t outside_file_limit = size_t(1) << 20;

// The file's bytes; false when it cannot be opened or holds more than the limit.
bool read_bounded_file(std::u16string_view path, size_t limit, std::vector<char>& bytes);

} // namespace weather
