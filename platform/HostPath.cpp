#include "platform/HostPath.h"
#include "platform/CaseFolding.h"
#include "platform/TextEncoding.h"

#include <cstdlib>
#include <unistd.h>

namespace platform {

std::string temp_folder()
{
    for (const char* name : { "NALO_TEMP", "TMPDIR" }) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return "/tmp";
}

std::string host_path(std::u16string_view native)
{
    std::u16string text(native);
    for (auto& c : text)
        if (c == u'\\')
            c = u'/';
    constexpr std::u16string_view temp = u"/temp";
    if (text.size() >= temp.size() && to_lower(text.substr(0, temp.size())) == temp
        && (text.size() == temp.size() || text[temp.size()] == u'/')) {
        std::string folder = temp_folder();
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        return folder + to_utf8(std::u16string_view(text).substr(temp.size()));
    }
    return to_utf8(text);
}

std::u16string executable_path()
{
    std::string buffer(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0)
        return {};
    buffer.resize(size_t(n));
    return from_utf8(buffer);
}

} // namespace platform
