#include "framework/InstanceChannel.h"

#include "framework/OutsideText.h"

#include "platform/NamedMutex.h"
#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace framework {

namespace {

constexpr int read_timeout_ms = 2000;

// The address of a path; a path too long for an address is reached through the folder's
// descriptor, which the caller closes afterwards.
bool address_of(const std::string& path, sockaddr_un& address, int& folder)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    std::string reach = path;
    folder = -1;
    if (reach.size() >= sizeof address.sun_path) {
        size_t slash = path.rfind('/');
        if (slash == std::string::npos)
            return false;
        folder = ::open(path.substr(0, slash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0)
            return false;
        reach = "/proc/self/fd/" + std::to_string(folder) + path.substr(slash);
        if (reach.size() >= sizeof address.sun_path)
            return false;
    }
    std::memcpy(address.sun_path, reach.c_str(), reach.size() + 1);
    return true;
}

void close_folder(int folder)
{
    if (folder >= 0)
        ::close(folder);
}

bool write_all(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Reads until the end of the stream, the limit plus one byte, or the time-out.
bool read_until_end(int fd, std::string& out, size_t limit, int timeout_ms)
{
    char buffer[4096];
    for (;;) {
        pollfd p { fd, POLLIN, 0 };
        int ready = ::poll(&p, 1, timeout_ms);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        out.append(buffer, size_t(n));
        if (out.size() > limit)
            return true;
    }
}

} // namespace

std::string instance_socket_path(std::u16string_view window_class)
{
    std::string lock = platform::NamedMutex::lock_path(window_class);
    return lock.substr(0, lock.size() - 5) + ".socket"; // beside the lock, without ".lock"
}

InstanceServer::InstanceServer(Receiver receiver)
    : m_receiver(std::move(receiver))
{
}

InstanceServer::~InstanceServer() { stop(); }

bool InstanceServer::listen(const std::string& path, std::string& error)
{
    stop();
    sockaddr_un address;
    int folder = -1;
    if (!address_of(path, address, folder)) {
        close_folder(folder);
        error = "no socket address for " + path;
        return false;
    }
    m_listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listener < 0) {
        close_folder(folder);
        error = std::strerror(errno);
        return false;
    }
    // Only the owner of the window lock gets here: whatever is at the path is stale.
    ::unlink(path.c_str());
    // The runtime folder is the user's own (0700); the socket is too.
    bool bound = ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (bound)
        ::chmod(path.c_str(), 0600);
    close_folder(folder);
    if (!bound || ::listen(m_listener, 8) != 0 || ::pipe2(m_stop, O_CLOEXEC) != 0) {
        error = std::strerror(errno);
        stop();
        return false;
    }
    m_path = path;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void InstanceServer::stop()
{
    if (m_thread.joinable()) {
        char byte = 1;
        (void)!::write(m_stop[1], &byte, 1);
        m_thread.join();
    }
    for (int& fd : m_stop) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    m_path.clear();
}

void InstanceServer::serve()
{
    for (;;) {
        pollfd p[2] = { { m_listener, POLLIN, 0 }, { m_stop[0], POLLIN, 0 } };
        if (::poll(p, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (p[1].revents)
            return;
        if (!(p[0].revents & POLLIN))
            continue;
        int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            continue;
        answer(connection);
        ::close(connection);
    }
}

void InstanceServer::answer(int connection)
{
    std::string bytes;
    if (!read_until_end(connection, bytes, max_command_line, read_timeout_ms)) {
        std::string reply = "E no complete command line arrived";
        write_all(connection, reply.data(), reply.size());
        return;
    }
    std::string reason;
    std::optional<std::u16string> text = decode_outside_text(bytes, max_command_line, reason);
    if (!text) {
        std::string reply = "E the command line is " + reason;
        write_all(connection, reply.data(), reply.size());
        return;
    }
    if (*text == u"%CommandLineEmpty%")
        text->clear();
    m_receiver(std::move(*text));
    write_all(connection, "OK", 2);
}

InstanceAnswer send_command_line(const std::string& path, std::u16string_view command_line, int timeout_ms)
{
    InstanceAnswer result;
    std::string bytes = command_line.empty() ? std::string("%CommandLineEmpty%") : platform::to_utf8(command_line);
    if (bytes.size() > InstanceServer::max_command_line) {
        result.message = "the command line is longer than " + std::to_string(InstanceServer::max_command_line) + " bytes";
        return result;
    }
    sockaddr_un address;
    int folder = -1;
    if (!address_of(path, address, folder)) {
        close_folder(folder);
        result.message = "no socket address for " + path;
        return result;
    }
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        close_folder(folder);
        result.message = std::strerror(errno);
        return result;
    }
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close_folder(folder);
    if (!connected) {
        result.message = std::string("cannot reach the running copy: ") + std::strerror(errno);
        ::close(fd);
        return result;
    }
    ucred peer {};
    socklen_t length = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0)
        result.process = peer.pid;
    std::string reply;
    if (!write_all(fd, bytes.data(), bytes.size()) || ::shutdown(fd, SHUT_WR) != 0
        || !read_until_end(fd, reply, 4096, timeout_ms)) {
        result.message = "the running copy did not answer";
    } else if (reply == "OK") {
        result.delivered = true;
    } else {
        result.message = reply.size() > 2 && reply.compare(0, 2, "E ") == 0 ? reply.substr(2) : "the running copy refused the command line";
    }
    ::close(fd);
    return result;
}

} // namespace framework
