#include "app/BufferedReader.h"

#include <algorithm>
#include <cstring>

namespace weather {

bool BufferedReader::open(std::u16string_view path)
{
    close();
    if (!m_file.open(path, runtime::FileStream::Mode::read))
        return false;
    m_size = std::max<int64_t>(m_file.size(), 0);
    return true;
}

void BufferedReader::close()
{
    m_file.close();
    m_begin = m_end = 0;
    m_position = m_size = 0;
}

bool BufferedReader::refill()
{
    m_begin = 0;
    m_end = m_file.is_open() ? m_file.read(m_buffer.data(), m_buffer.size()) : 0;
    return m_end > 0;
}

bool BufferedReader::read(void* out, size_t count)
{
    auto* target = static_cast<uint8_t*>(out);
    while (count > 0) {
        if (m_begin == m_end && !refill()) {
            // The file is shorter than it was: nothing more can be read.
            m_size = m_position;
            return false;
        }
        size_t part = std::min(count, m_end - m_begin);
        std::memcpy(target, m_buffer.data() + m_begin, part);
        m_begin += part;
        m_position += int64_t(part);
        target += part;
        count -= part;
    }
    return true;
}

bool BufferedReader::read_byte(uint8_t& byte)
{
    if (m_begin < m_end) {
        byte = m_buffer[m_begin++];
        ++m_position;
        return true;
    }
    return read(&byte, 1);
}

} // namespace weather
