#include "skin/file/LanguageTable.h"

#include "platform/File.h"
#include "runtime/TextConvert.h"

#include <vector>

namespace skin {

namespace {

bool is_line_end(char16_t c) { return c == u'\n' || c == u'\r'; }

std::u16string decode(const uint8_t* data, size_t size)
{
    std::u16string text;
    if (size >= 2 && size % 2 == 0 && data[0] == 0xFF && data[1] == 0xFE) {
        text.resize((size - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = char16_t(data[2 + 2 * i] | data[3 + 2 * i] << 8);
    } else {
        text.assign(data, data + size);
    }
    return text;
}

} // namespace

LanguageTable LanguageTable::parse(const uint8_t* data, size_t size)
{
    LanguageTable table;
    std::u16string text = decode(data, size);
    size_t i = 0, n = text.size();
    while (i < n) {
        while (i < n && runtime::is_white_space(text[i]))
            ++i; // blank lines and line ends are white space too
        size_t key_start = i;
        while (i < n && !runtime::is_white_space(text[i]) && text[i] != u'=')
            ++i;
        std::u16string_view key(text.data() + key_start, i - key_start);
        if (i < n && text[i] == u'=') {
            ++i;
        } else {
            while (i < n && runtime::is_white_space(text[i]) && !is_line_end(text[i]))
                ++i;
        }
        size_t value_start = i;
        while (i < n && !is_line_end(text[i]))
            ++i;
        if (!key.empty())
            table.m_texts.insert_or_assign(std::u16string(key), text.substr(value_start, i - value_start));
    }
    return table;
}

bool LanguageTable::load(std::u16string_view path)
{
    platform::File file;
    if (!file.open(path, platform::File::Mode::read))
        return false;
    int64_t size = file.size();
    if (size < 0)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0 && file.read(bytes.data(), bytes.size()) != size)
        return false;
    LanguageTable loaded = parse(bytes.data(), bytes.size());
    loaded.m_path = std::u16string(path);
    *this = std::move(loaded);
    return true;
}

std::u16string_view LanguageTable::text(std::u16string_view key) const
{
    const std::u16string* value = find(key);
    return value ? std::u16string_view(*value) : key;
}

const std::u16string* LanguageTable::find(std::u16string_view key) const
{
    auto found = m_texts.find(key);
    return found == m_texts.end() ? nullptr : &found->second;
}

} // namespace skin
