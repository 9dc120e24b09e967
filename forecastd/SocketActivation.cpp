#include "forecastd/SocketActivation.h"

#include <arpa/inet.h>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace forecastd {

namespace {

constexpr int first_socket = 3; // SD_LISTEN_FDS_START

bool read_number(const char* text, long& value)
{
    const char* end = text + std::strlen(text);
    auto [stop, failed] = std::from_chars(text, end, value);
    return failed == std::errc() && stop == end && value >= 0;
}

} // namespace

bool take_listen_sockets(std::vector<int>& sockets, std::string& error)
{
    sockets.clear();
    const char* pid_text = std::getenv("LISTEN_PID");
    const char* count_text = std::getenv("LISTEN_FDS");
    std::string pid = pid_text ? pid_text : "", count = count_text ? count_text : "";
    unsetenv("LISTEN_PID");
    unsetenv("LISTEN_FDS");
    unsetenv("LISTEN_FDNAMES");
    if (!pid_text || !count_text)
        return true;

    long owner = 0, number = 0;
    if (!read_number(pid.c_str(), owner)) {
        error = "LISTEN_PID is not a process id: " + pid;
        return false;
    }
    if (owner != long(getpid()))
        return true; // meant for the process that started this one
    if (!read_number(count.c_str(), number) || number > 1024) {
        error = "LISTEN_FDS is not a count of sockets: " + count;
        return false;
    }
    for (int fd = first_socket; fd < first_socket + int(number); ++fd) {
        int flags = fcntl(fd, F_GETFD);
        if (flags < 0) {
            error = "LISTEN_FDS names descriptor " + std::to_string(fd) + ", which is not open";
            sockets.clear();
            return false;
        }
        fcntl(fd, F_SETFD, flags | FD_CLOEXEC);
        sockets.push_back(fd);
    }
    return true;
}

bool is_listening_stream(int socket)
{
    int type = 0, listening = 0;
    socklen_t length = sizeof type;
    if (getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM)
        return false;
    length = sizeof listening;
    return getsockopt(socket, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0 && listening;
}

std::string socket_address(int socket)
{
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return {};
    char host[INET6_ADDRSTRLEN] = "";
    if (address.ss_family == AF_INET) {
        auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
        inet_ntop(AF_INET, &v4->sin_addr, host, sizeof host);
        return std::string(host) + ":" + std::to_string(ntohs(v4->sin_port));
    }
    if (address.ss_family == AF_INET6) {
        auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
        inet_ntop(AF_INET6, &v6->sin6_addr, host, sizeof host);
        std::string text = "[";
        text += host;
        text += "]:";
        text += std::to_string(ntohs(v6->sin6_port));
        return text;
    }
    return {};
}

} // namespace forecastd
