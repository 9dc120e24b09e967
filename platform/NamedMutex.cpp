#include "platform/NamedMutex.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

std::string runtime_folder()
{
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/nalo";
    return "/tmp/nalo-" + std::to_string(getuid());
}

} // namespace

NamedMutex::~NamedMutex()
{
    release();
    if (m_fd >= 0)
        ::close(m_fd);
}

std::string NamedMutex::lock_path(std::u16string_view name)
{
    std::string file = to_utf8(name);
    for (char& c : file)
        if (c == '/' || c == '\\')
            c = '.';
    return runtime_folder() + "/" + file + ".lock";
}

bool NamedMutex::create(std::u16string_view name)
{
    if (m_fd >= 0) {
        release();
        ::close(m_fd);
        m_fd = -1;
    }
    std::string folder = runtime_folder();
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    // Close-on-exec: a program started by this one must not inherit the lock.
    m_fd = ::open(lock_path(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    return m_fd >= 0;
}

bool NamedMutex::wait(uint32_t milliseconds)
{
    if (m_fd < 0)
        return false;
    if (m_owned)
        return true;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
            m_owned = true;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void NamedMutex::release()
{
    if (m_owned && m_fd >= 0)
        flock(m_fd, LOCK_UN);
    m_owned = false;
}

} // namespace platform
