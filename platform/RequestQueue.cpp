#include "platform/RequestQueue.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <mqueue.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

long system_limit(const char* file, long fallback)
{
    std::ifstream in(file);
    long value = 0;
    if (in >> value && value > 0)
        return value;
    return fallback;
}

timespec deadline(uint32_t timeout_ms)
{
    timespec t {};
    clock_gettime(CLOCK_REALTIME, &t);
    t.tv_sec += timeout_ms / 1000;
    t.tv_nsec += long(timeout_ms % 1000) * 1'000'000L;
    if (t.tv_nsec >= 1'000'000'000L) {
        t.tv_sec += 1;
        t.tv_nsec -= 1'000'000'000L;
    }
    return t;
}

} // namespace

RequestQueue::~RequestQueue() { close(); }

std::string RequestQueue::host_name(std::u16string_view name)
{
    std::string text = to_utf8(name);
    for (char& c : text)
        if (c == '/')
            c = '.';
    std::string host = "/" + text + "." + std::to_string(getuid());
    const char* suffix = std::getenv("NALO_QUEUE_SUFFIX");
    if (suffix && *suffix)
        host += std::string(".") + suffix;
    return host;
}

bool RequestQueue::remove(std::u16string_view name)
{
    return mq_unlink(host_name(name).c_str()) == 0;
}

bool RequestQueue::open(std::u16string_view name, const Options& options)
{
    close();
    mq_attr attr {};
    attr.mq_maxmsg = std::clamp<long>(options.max_messages, 1, system_limit("/proc/sys/fs/mqueue/msg_max", 10));
    attr.mq_msgsize = std::clamp<long>(options.max_message_size, 1, system_limit("/proc/sys/fs/mqueue/msgsize_max", 8192));
    int flags = O_CREAT | (options.read_access ? O_RDONLY : O_WRONLY);
    mqd_t q = mq_open(host_name(name).c_str(), flags, 0600, &attr);
    if (q == mqd_t(-1)) {
        m_error = errno;
        return false;
    }
    m_queue = int(q);
    mq_attr actual {};
    m_message_size = mq_getattr(q, &actual) == 0 ? size_t(actual.mq_msgsize) : size_t(attr.mq_msgsize);
    return true;
}

void RequestQueue::close()
{
    if (m_queue != -1)
        mq_close(mqd_t(m_queue));
    m_queue = -1;
}

bool RequestQueue::read(void* buffer, size_t size, size_t& bytes, uint32_t timeout_ms)
{
    bytes = 0;
    if (m_queue == -1) {
        m_error = EBADF;
        return false;
    }
    // The queue may have been made by a writer with longer messages than this
    // reader's buffer: receive into scratch space of the queue's size.
    std::vector<char> scratch(std::max(m_message_size, size));
    timespec end = deadline(timeout_ms);
    ssize_t n;
    do
        n = mq_timedreceive(mqd_t(m_queue), scratch.data(), scratch.size(), nullptr, &end);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        m_error = errno;
        return false;
    }
    bytes = std::min(size, size_t(n));
    std::memcpy(buffer, scratch.data(), bytes);
    return true;
}

bool RequestQueue::write(const void* data, size_t size, uint32_t timeout_ms)
{
    if (m_queue == -1) {
        m_error = EBADF;
        return false;
    }
    timespec end = deadline(timeout_ms);
    int rc;
    do
        rc = mq_timedsend(mqd_t(m_queue), static_cast<const char*>(data), size, 0, &end);
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        m_error = errno;
        return false;
    }
    return true;
}

size_t RequestQueue::waiting() const
{
    mq_attr attr {};
    if (m_queue == -1 || mq_getattr(mqd_t(m_queue), &attr) != 0)
        return 0;
    return size_t(attr.mq_curmsgs);
}

} // namespace platform
