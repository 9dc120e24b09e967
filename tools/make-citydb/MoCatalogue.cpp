#include "MoCatalogue.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>

namespace citydb {

namespace {

constexpr uint32_t magic = 0x950412DE;
constexpr uint32_t swapped_magic = 0xDE120495;

uint32_t read_word(const std::string& bytes, size_t at, bool swapped)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        uint32_t byte = uint8_t(bytes[at + size_t(i)]);
        value |= swapped ? byte << (8 * (3 - i)) : byte << (8 * i);
    }
    return value;
}

} // namespace

bool MoCatalogue::load(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!parse(bytes.str(), error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool MoCatalogue::parse(const std::string& bytes, std::string& error)
{
    m_messages.clear();
    if (bytes.size() < 20) {
        error = "too short for a message catalogue";
        return false;
    }
    uint32_t first = read_word(bytes, 0, false);
    if (first != magic && first != swapped_magic) {
        error = "not a message catalogue";
        return false;
    }
    bool swapped = first == swapped_magic;
    uint64_t count = read_word(bytes, 8, swapped);
    uint64_t originals = read_word(bytes, 12, swapped);
    uint64_t translations = read_word(bytes, 16, swapped);
    if (originals + count * 8 > bytes.size() || translations + count * 8 > bytes.size()) {
        error = "message tables outside the file";
        return false;
    }
    auto text_at = [&](uint64_t table, uint64_t index, std::string& text) {
        uint64_t length = read_word(bytes, size_t(table + index * 8), swapped);
        uint64_t offset = read_word(bytes, size_t(table + index * 8 + 4), swapped);
        if (offset + length > bytes.size())
            return false;
        text.assign(bytes, size_t(offset), size_t(length));
        return true;
    };
    for (uint64_t i = 0; i < count; ++i) {
        std::string id, translation;
        if (!text_at(originals, i, id) || !text_at(translations, i, translation)) {
            error = "message " + std::to_string(i) + " outside the file";
            m_messages.clear();
            return false;
        }
        // Plural forms ("one\0other") and the header (empty id) are no place names.
        if (id.empty() || id.find('\0') != std::string::npos || translation.empty())
            continue;
        size_t end = translation.find('\0');
        if (end != std::string::npos)
            translation.resize(end);
        m_messages.emplace(std::move(id), std::move(translation));
    }
    return true;
}

const std::string* MoCatalogue::find(const std::string& id) const
{
    auto found = m_messages.find(id);
    return found == m_messages.end() ? nullptr : &found->second;
}

} // namespace citydb
