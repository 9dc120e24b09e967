#include "platform/File.h"
#include "platform/HostPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

File::~File() { close(); }

File::File(File&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1))
{
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

bool File::open(std::u16string_view native_path, Mode mode)
{
    close();
    std::string path = host_path(native_path);
    if (path.empty())
        return false;
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::read: flags |= O_RDONLY; break;
    case Mode::write: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    case Mode::append: flags |= O_WRONLY | O_CREAT; break;
    case Mode::read_write: flags |= O_RDWR | O_CREAT; break;
    }
    int fd;
    do {
        fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return false;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    if (mode == Mode::append && lseek(m_fd, 0, SEEK_END) < 0) {
        close();
        return false;
    }
    return true;
}

void File::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

int64_t File::read(void* buffer, size_t size)
{
    if (m_fd < 0)
        return -1;
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(m_fd, static_cast<char*>(buffer) + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return done ? int64_t(done) : -1;
        if (n == 0)
            break;
        done += size_t(n);
    }
    return int64_t(done);
}

bool File::write(const void* data, size_t size)
{
    if (m_fd < 0)
        return false;
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(m_fd, static_cast<const char*>(data) + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

int64_t File::seek(int64_t offset, Origin origin)
{
    if (m_fd < 0)
        return -1;
    int whence = origin == Origin::begin ? SEEK_SET : origin == Origin::current ? SEEK_CUR : SEEK_END;
    return lseek(m_fd, offset, whence);
}

int64_t File::tell() const
{
    return m_fd < 0 ? -1 : lseek(m_fd, 0, SEEK_CUR);
}

int64_t File::size() const
{
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return -1;
    return st.st_size;
}

bool File::flush()
{
    return m_fd >= 0 && fdatasync(m_fd) == 0;
}

} // namespace platform
