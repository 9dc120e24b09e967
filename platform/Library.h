// Dynamic loading of a shared library by the name the system asks for: "x.dll" is
// looked up as libx.so on the normal library path.
#pragma once

#include <string>
#include <string_view>

namespace platform {

class Library {
public:
    Library() = default;
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    // The host file name for a library name ("cellcore.dll" -> "libcellcore.so").
    static std::string host_name(std::u16string_view name);

    bool open(std::u16string_view name);
    bool is_open() const { return m_handle != nullptr; }
    void close();
    void* symbol(const char* name) const;

private:
    void* m_handle { nullptr };
};

} // namespace platform
