#include "daemon/ByteBuffer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ombrelo {

ByteBuffer::Storage* ByteBuffer::allocate(size_t size)
{
    auto* storage = new Storage;
    storage->size = size;
    storage->bytes = size ? new uint8_t[size]() : nullptr;
    return storage;
}

ByteBuffer::ByteBuffer(size_t size)
    : m_storage(allocate(size))
    , m_length(size)
{
}

ByteBuffer::ByteBuffer(const void* data, size_t size)
    : ByteBuffer(size)
{
    if (size)
        std::memcpy(m_storage->bytes, data, size);
}

ByteBuffer::ByteBuffer(const ByteBuffer& other)
    : m_storage(other.m_storage)
    , m_offset(other.m_offset)
    , m_length(other.m_length)
{
    if (m_storage)
        m_storage->references.fetch_add(1, std::memory_order_relaxed);
}

ByteBuffer::ByteBuffer(ByteBuffer&& other) noexcept
    : m_storage(std::exchange(other.m_storage, nullptr))
    , m_offset(std::exchange(other.m_offset, 0))
    , m_length(std::exchange(other.m_length, 0))
{
}

ByteBuffer& ByteBuffer::operator=(ByteBuffer other) noexcept
{
    std::swap(m_storage, other.m_storage);
    std::swap(m_offset, other.m_offset);
    std::swap(m_length, other.m_length);
    return *this;
}

ByteBuffer::~ByteBuffer()
{
    release();
}

void ByteBuffer::release()
{
    if (m_storage && m_storage->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        delete[] m_storage->bytes;
        delete m_storage;
    }
    m_storage = nullptr;
}

const uint8_t* ByteBuffer::data() const
{
    return m_storage && m_storage->bytes ? m_storage->bytes + m_offset : nullptr;
}

uint8_t* ByteBuffer::mutable_data()
{
    if (!m_storage)
        return nullptr;
    if (m_storage->references.load(std::memory_order_acquire) != 1) {
        Storage* copy = allocate(m_length);
        if (m_length)
            std::memcpy(copy->bytes, m_storage->bytes + m_offset, m_length);
        release();
        m_storage = copy;
        m_offset = 0;
    }
    return m_storage->bytes ? m_storage->bytes + m_offset : nullptr;
}

ByteBuffer ByteBuffer::slice(size_t offset, size_t length) const
{
    ByteBuffer part(*this);
    part.m_offset = m_offset + std::min(offset, m_length);
    part.m_length = std::min(length, m_length - std::min(offset, m_length));
    return part;
}

void ByteBuffer::narrow(size_t length)
{
    m_length = std::min(length, m_length);
}

std::string_view ByteBuffer::as_text() const
{
    return m_length ? std::string_view(reinterpret_cast<const char*>(data()), m_length) : std::string_view();
}

} // namespace ombrelo
