// A mutex shared by the processes of one user, named like the original platform's
// named mutexes: an advisory lock on <runtime>/<name>.lock, where runtime is
// $XDG_RUNTIME_DIR/nalo, else /tmp/nalo-<uid>. The system releases it when the
// process ends, however it ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class NamedMutex {
public:
    NamedMutex() = default;
    ~NamedMutex();
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;

    static std::string lock_path(std::u16string_view name);

    // Opens (creating) the lock file; false when that is impossible.
    bool create(std::u16string_view name);
    // True when the mutex was obtained within the time.
    bool wait(uint32_t milliseconds);
    bool is_owned() const { return m_owned; }
    void release();

private:
    int m_fd { -1 };
    bool m_owned { false };
};

} // namespace platform
