// The texts of one language by key, read from a language file, and the path it came from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace skin {

class LanguageTable {
public:
    // Reads the file; false (and the table unchanged) only when it cannot be read.
    bool load(std::u16string_view path);
    // Parses a whole file image; any bytes parse.
    static LanguageTable parse(const uint8_t* data, size_t size);

    // The value under the key, or the key itself.
    std::u16string_view text(std::u16string_view key) const;
    // The value under the key, or null.
    const std::u16string* find(std::u16string_view key) const;
    size_t size() const { return m_texts.size(); }
    const std::u16string& path() const { return m_path; }

private:
    std::map<std::u16string, std::u16string, std::less<>> m_texts;
    std::u16string m_path;
};

} // namespace skin
