// Any bytes as "codes.dat": the reader never reads outside the file, never keeps more
// than its capacity, and never holds a string longer than the file.
#include "app/CityDatabase.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // On tmpfs where there is one: a disk file system spends the time truncating.
    static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp")
        + "/city_database_fuzz." + std::to_string(getpid()) + ".dat";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, file);
    std::fclose(file);

    static weather::CityDatabase database;
    if (!database.open(std::u16string(path.begin(), path.end())))
        return 0;
    size_t bytes = 0;
    while (const weather::CityEntry* entry = database.read_next())
        bytes += (entry->code.size() + entry->name.size()) * 2;
    if (database.size() > weather::CityDatabase::max_entries || bytes > size)
        std::abort();
    if (database.entries().capacity() != weather::CityDatabase::max_entries)
        std::abort();
    return 0;
}
