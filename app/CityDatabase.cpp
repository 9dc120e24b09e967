#include "app/CityDatabase.h"

#include "runtime/Log.h"

#include <algorithm>
#include <bit>

namespace weather {

namespace {

// The smallest entry: two strings of length 0, one byte each.
constexpr int64_t smallest_entry = 2;

} // namespace

CityDatabase::CityDatabase()
{
    m_entries.reserve(max_entries);
}

bool CityDatabase::open(std::u16string_view path)
{
    m_entries.clear();
    m_count = m_next = m_damaged = 0;
    if (!m_reader.open(path)) {
        runtime::get_log() << u"CityDatabase::open cannot read " << path << u"\n";
        return false;
    }
    uint8_t bytes[4];
    if (!m_reader.read(bytes, sizeof bytes)) {
        runtime::get_log() << u"CityDatabase::open no entry count in " << path << u"\n";
        m_reader.close();
        return false;
    }
    int32_t count = int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
    if (count < 0) {
        runtime::get_log() << u"CityDatabase::open negative entry count " << count << u" in " << path << u"\n";
        m_reader.close();
        return true;
    }
    int64_t room = m_reader.remaining() / smallest_entry;
    if (count > room)
        runtime::get_log() << u"CityDatabase::open entry count " << count << u" is more than the file holds\n";
    m_count = int32_t(std::min<int64_t>({ count, room, int64_t(max_entries) }));
    return true;
}

void CityDatabase::finish(const char* why)
{
    // One line for all damaged entries: a badly damaged file must not cost a log write each.
    if (m_damaged)
        runtime::get_log() << u"CityDatabase::read_next " << m_damaged << u" damaged entries left out\n";
    m_damaged = 0;
    if (why)
        runtime::get_log() << u"CityDatabase::read_next " << why << u" at byte " << int32_t(m_reader.position())
                           << u", " << int32_t(m_entries.size()) << u" entries read\n";
    m_reader.close();
}

CityDatabase::Field CityDatabase::read_string(std::u16string& text)
{
    uint8_t lead = 0;
    if (!m_reader.read_byte(lead))
        return Field::end;
    int64_t length = int8_t(lead);
    if (length < 0) {
        int64_t prefix = -length;
        if (prefix > 4)
            return Field::damaged;
        uint8_t bytes[4] = {};
        if (!m_reader.read(bytes, size_t(prefix)))
            return Field::end;
        uint32_t value = 0;
        for (int64_t i = prefix - 1; i >= 0; --i)
            value = value << 8 | bytes[i];
        // A signed number of `prefix` bytes.
        int64_t sign_bit = int64_t(1) << (prefix * 8 - 1);
        length = int64_t(value) >= sign_bit ? int64_t(value) - 2 * sign_bit : int64_t(value);
        if (length <= 0)
            return Field::damaged;
    }
    // A length the rest of the file cannot hold is damage past which nothing can be read.
    if (length * 2 > m_reader.remaining())
        return Field::end;
    // The code units are read in one go: a call per unit made the first filtering of a
    // large database miss its budget.
    text.resize(size_t(length));
    if (!m_reader.read(text.data(), text.size() * 2))
        return Field::end;
    if constexpr (std::endian::native == std::endian::big)
        for (char16_t& c : text)
            c = char16_t(c << 8 | c >> 8);
    return Field::whole;
}

const CityEntry* CityDatabase::read_next()
{
    while (m_reader.is_open()) {
        if (m_next >= m_count || m_entries.size() >= max_entries) {
            finish(nullptr);
            return nullptr;
        }
        ++m_next;
        CityEntry entry;
        Field code = read_string(entry.code);
        Field name = code == Field::end ? Field::end : read_string(entry.name);
        if (code == Field::end || name == Field::end) {
            finish("file ends early");
            return nullptr;
        }
        if (code == Field::whole && name == Field::whole) {
            m_entries.push_back(std::move(entry));
            return &m_entries.back();
        }
        ++m_damaged;
    }
    return nullptr;
}

size_t CityDatabase::read_all()
{
    while (read_next())
        ;
    return m_entries.size();
}

} // namespace weather
