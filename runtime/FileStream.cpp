#include "runtime/FileStream.h"
#include "runtime/Paths.h"

namespace runtime {

bool FileStream::open(std::u16string_view path, Mode mode)
{
    return m_file.open(expand_path(path), mode);
}

size_t FileStream::read(void* buffer, size_t size)
{
    int64_t n = m_file.read(buffer, size);
    return n > 0 ? size_t(n) : 0;
}

bool FileStream::skip(int64_t count)
{
    return m_file.seek(count, platform::File::Origin::current) >= 0;
}

int64_t FileStream::size() const
{
    return m_file.size();
}

bool FileStream::seek(int64_t position)
{
    return m_file.seek(position, platform::File::Origin::begin) >= 0;
}

} // namespace runtime
