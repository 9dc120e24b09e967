// The forecast cache reader on any bytes: load_from_xml must leave a record it can show,
// never crash, and keep no more than the file could describe.
#include "app/CacheFileReader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    weather::CityRecord record;
    record.name = u"Berlin";
    record.code = u"02950159";
    weather::load_from_xml(record, reinterpret_cast<const char*>(data), size);
    // Every day is an element of the file, "<a/>" at the least.
    if (record.days.size() > size / 4 + 1)
        std::abort();
    if (record.name != u"Berlin")
        std::abort();
    return 0;
}
