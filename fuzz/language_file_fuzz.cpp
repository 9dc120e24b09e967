// Any bytes parse as a language file without reading outside them; every key found
// looks up its own value.
#include "skin/file/LanguageTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    skin::LanguageTable table = skin::LanguageTable::parse(data, size);
    std::u16string probe(data, data + std::min<size_t>(size, 8));
    if (table.text(probe).data() == nullptr && !probe.empty())
        std::abort();
    return 0;
}
