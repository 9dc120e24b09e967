#include "framework/TerminationSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace framework {

namespace {

constexpr int signals[] = { SIGTERM, SIGINT, SIGHUP };
int s_pipe[2] = { -1, -1 };
struct sigaction s_previous[3];

void on_signal(int number)
{
    int saved = errno;
    unsigned char byte = static_cast<unsigned char>(number);
    (void)!::write(s_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> callback)
    : m_on_signal(std::move(callback))
{
    if (::pipe2(s_pipe, O_CLOEXEC) != 0)
        return;
    m_thread = std::thread([this] {
        for (;;) {
            unsigned char byte = 0;
            ssize_t n = ::read(s_pipe[0], &byte, 1);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0 || byte == 0)
                return;
            m_on_signal(byte);
        }
    });
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(signals); ++i)
        sigaction(signals[i], &action, &s_previous[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (!m_thread.joinable())
        return;
    for (size_t i = 0; i < std::size(signals); ++i)
        sigaction(signals[i], &s_previous[i], nullptr);
    unsigned char stop = 0;
    (void)!::write(s_pipe[1], &stop, 1);
    m_thread.join();
    ::close(s_pipe[0]);
    ::close(s_pipe[1]);
    s_pipe[0] = s_pipe[1] = -1;
}

} // namespace framework
