#include "platform/Library.h"
#include "platform/CaseFolding.h"
#include "platform/TextEncoding.h"

#include <dlfcn.h>

namespace platform {

Library::~Library() { close(); }

std::string Library::host_name(std::u16string_view name)
{
    std::u16string text(name);
    if (text.size() > 4 && to_lower(text.substr(text.size() - 4)) == u".dll" && text.find(u'/') == std::u16string::npos
        && text.find(u'\\') == std::u16string::npos)
        return "lib" + to_utf8(text.substr(0, text.size() - 4)) + ".so";
    for (auto& c : text)
        if (c == u'\\')
            c = u'/';
    return to_utf8(text);
}

bool Library::open(std::u16string_view name)
{
    close();
    m_handle = dlopen(host_name(name).c_str(), RTLD_NOW | RTLD_LOCAL);
    return m_handle != nullptr;
}

void Library::close()
{
    if (m_handle)
        dlclose(m_handle);
    m_handle = nullptr;
}

void* Library::symbol(const char* name) const
{
    return m_handle ? dlsym(m_handle, name) : nullptr;
}

} // namespace platform
