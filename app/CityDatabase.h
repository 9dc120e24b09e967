// The city database "codes.dat": (city code, city name) pairs in file order, read once
// on the city search's first filtering and kept for the life of the program. Reading is
// incremental, so that the search can filter each entry as it arrives and stop early.
//
// The file: a signed 32-bit little-endian entry count, then per entry the code and the
// name, each a length (one signed byte L; for L < 0 the next -L bytes, 1 to 4, hold a
// signed little-endian length greater than 0) followed by that many UTF-16LE code units.
//
// The file is outside data. A string that fails (a long length of more than 4 bytes or
// not above 0) drops its entry and reading goes on with the next fields; a negative
// count, a length past the end of the file or a truncated file end the reading with the
// entries read so far; a count larger than the file could hold is bounded by the file.
// No more than max_entries are ever kept, and no string is longer than the file.
#pragma once

#include "app/BufferedReader.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace weather {

constexpr std::u16string_view city_database_path = u"%app_path%/codes.dat";

struct CityEntry {
    std::u16string code;
    std::u16string name;
};

class CityDatabase {
public:
    static constexpr size_t max_entries = 38804;

    CityDatabase();

    // Empties the database and starts reading the file at its count. False, with the
    // failure logged and the database left empty, when the file cannot be read or is
    // too short to hold a count: a later call may try again.
    bool open(std::u16string_view path = city_database_path);
    // The entry count the file announces, bounded by what the file can hold and by
    // max_entries (0 when negative).
    int32_t count() const { return m_count; }
    bool reading() const { return m_reader.is_open(); }

    // Reads entries up to the next whole one and appends it; nullptr (and the file
    // closed) once the count, the file or max_entries is reached, or at damage that
    // leaves nothing readable after it.
    const CityEntry* read_next();
    // Reads every remaining entry; the number of entries in the database.
    size_t read_all();
    void close() { finish(nullptr); }

    const std::vector<CityEntry>& entries() const { return m_entries; }
    size_t size() const { return m_entries.size(); }
    bool empty() const { return m_entries.empty(); }
    const CityEntry& operator[](size_t index) const { return m_entries[index]; }

private:
    enum class Field { whole, damaged, end };
    Field read_string(std::u16string& text);
    void finish(const char* why);

    BufferedReader m_reader;
    std::vector<CityEntry> m_entries;
    int32_t m_count { 0 };
    int32_t m_next { 0 };
    int32_t m_damaged { 0 };
};

} // namespace weather
