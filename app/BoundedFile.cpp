#include "app/BoundedFile.h"

#include "runtime/FileStream.h"
#include "runtime/Log.h"

namespace weather {

bool read_bounded_file(std::u16string_view path, size_t limit, std::vector<char>& bytes)
{
    runtime::FileStream file(path, runtime::FileStream::Mode::read);
    if (!file.is_open())
        return false;
    auto refuse = [&] {
        runtime::get_log() << u"read_bounded_file " << path << u" holds over " << int32_t(limit) << u" bytes: not read\n";
        return false;
    };
    int64_t announced = file.size();
    if (announced > int64_t(limit))
        return refuse();
    std::vector<char> data;
    char chunk[8192];
    // The announced size is not trusted: a file that grows while it is read stops here too.
    while (size_t n = file.read(chunk, sizeof chunk)) {
        if (data.size() + n > limit)
            return refuse();
        data.insert(data.end(), chunk, chunk + n);
    }
    bytes = std::move(data);
    return true;
}

} // namespace weather
