// http-load: a small HTTP/1.1 load client for the forecastd benchmark. Keeps N requests in
// flight over N connections (keep-alive where the server allows it, a new connection per
// request where it does not), and prints the latency of each request from its first byte
// sent (or its connect, for a new connection) to the last byte of the answer: median,
// p99, requests per second and errors.
//
// usage: http-load HOST PORT TARGET [REQUESTS] [IN_FLIGHT]   (defaults 10000 and 50)
#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Connection {
    int fd { -1 };
    bool busy { false };
    bool reusable { false };
    Clock::time_point started;
    std::string request;
    size_t sent { 0 };
    std::string in;
};

sockaddr_in server_address;
std::string request_text;
std::vector<double> latencies_ms;
size_t errors = 0;
size_t started_count = 0;
size_t total = 0;
int epoll_fd = -1;

bool open_connection(Connection& c)
{
    c.fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int yes = 1;
    setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    if (connect(c.fd, reinterpret_cast<sockaddr*>(&server_address), sizeof server_address) != 0 && errno != EINPROGRESS) {
        close(c.fd);
        c.fd = -1;
        return false;
    }
    epoll_event event {};
    event.events = EPOLLIN | EPOLLOUT;
    event.data.ptr = &c;
    epoll_ctl(epoll_fd, EPOLL_CTL_ADD, c.fd, &event);
    return true;
}

void close_connection(Connection& c)
{
    if (c.fd >= 0) {
        epoll_ctl(epoll_fd, EPOLL_CTL_DEL, c.fd, nullptr);
        close(c.fd);
    }
    c.fd = -1;
}

void start_request(Connection& c)
{
    if (started_count >= total)
        return;
    ++started_count;
    c.started = Clock::now();
    c.busy = true;
    c.sent = 0;
    c.in.clear();
    if (c.fd < 0 || !c.reusable) {
        close_connection(c);
        if (!open_connection(c)) {
            ++errors;
            c.busy = false;
            return;
        }
    }
    epoll_event event {};
    event.events = EPOLLIN | EPOLLOUT;
    event.data.ptr = &c;
    epoll_ctl(epoll_fd, EPOLL_CTL_MOD, c.fd, &event);
}

// Length of a whole answer at the start of `in`, or 0 while incomplete; -1 when the
// answer ends with the connection.
long whole_answer(const std::string& in, bool& keep_alive, int& status)
{
    size_t end = in.find("\r\n\r\n");
    if (end == std::string::npos)
        return 0;
    std::string head = in.substr(0, end);
    for (char& ch : head)
        ch = char(std::tolower(static_cast<unsigned char>(ch)));
    status = std::atoi(head.c_str() + 9);
    bool http11 = head.rfind("http/1.1", 0) == 0;
    keep_alive = http11 ? head.find("connection: close") == std::string::npos
                        : head.find("connection: keep-alive") != std::string::npos;
    size_t length_at = head.find("content-length:");
    if (length_at == std::string::npos) {
        keep_alive = false;
        return -1;
    }
    long length = std::atol(head.c_str() + length_at + 15);
    return in.size() >= end + 4 + size_t(length) ? long(end + 4 + size_t(length)) : 0;
}

void finish(Connection& c, bool ok)
{
    if (ok)
        latencies_ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - c.started).count());
    else
        ++errors;
    c.busy = false;
    if (!c.reusable)
        close_connection(c);
    start_request(c);
}

void on_event(Connection& c, uint32_t events)
{
    if (!c.busy)
        return;
    if (events & EPOLLOUT && c.sent < request_text.size()) {
        ssize_t n = send(c.fd, request_text.data() + c.sent, request_text.size() - c.sent, MSG_NOSIGNAL);
        if (n > 0)
            c.sent += size_t(n);
        else if (n < 0 && errno != EAGAIN) {
            c.reusable = false;
            return finish(c, false);
        }
        if (c.sent == request_text.size()) {
            epoll_event event {};
            event.events = EPOLLIN;
            event.data.ptr = &c;
            epoll_ctl(epoll_fd, EPOLL_CTL_MOD, c.fd, &event);
        }
    }
    if (events & (EPOLLIN | EPOLLHUP | EPOLLERR)) {
        char buffer[16384];
        while (true) {
            ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
            if (n > 0) {
                c.in.append(buffer, size_t(n));
                continue;
            }
            bool keep_alive = false;
            int status = 0;
            long length = whole_answer(c.in, keep_alive, status);
            if (n == 0 || (n < 0 && errno != EAGAIN)) {
                // The server closed: an answer without a length ends here.
                c.reusable = false;
                return finish(c, status == 200 && length != 0);
            }
            if (length > 0) {
                c.reusable = keep_alive && size_t(length) == c.in.size();
                return finish(c, status == 200);
            }
            return;
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: http-load HOST PORT TARGET [REQUESTS] [IN_FLIGHT]\n");
        return 2;
    }
    server_address.sin_family = AF_INET;
    if (inet_pton(AF_INET, argv[1], &server_address.sin_addr) != 1) {
        std::fprintf(stderr, "http-load: %s is not an IPv4 address\n", argv[1]);
        return 2;
    }
    server_address.sin_port = htons(uint16_t(std::atoi(argv[2])));
    request_text = std::string("GET ") + argv[3] + " HTTP/1.1\r\nHost: " + argv[1] + "\r\nUser-Agent: http-load\r\n\r\n";
    total = argc > 4 ? size_t(std::atol(argv[4])) : 10000;
    size_t in_flight = argc > 5 ? size_t(std::atol(argv[5])) : 50;

    epoll_fd = epoll_create1(EPOLL_CLOEXEC);
    std::vector<Connection> connections(in_flight);
    latencies_ms.reserve(total);
    Clock::time_point begin = Clock::now();
    for (auto& c : connections)
        start_request(c);
    std::vector<epoll_event> events(in_flight);
    while (latencies_ms.size() + errors < total) {
        int n = epoll_wait(epoll_fd, events.data(), int(events.size()), 30000);
        if (n <= 0) {
            std::fprintf(stderr, "http-load: no progress for 30 s\n");
            break;
        }
        for (int i = 0; i < n; ++i)
            on_event(*static_cast<Connection*>(events[size_t(i)].data.ptr), events[size_t(i)].events);
    }
    double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    std::sort(latencies_ms.begin(), latencies_ms.end());
    auto at = [&](double q) { return latencies_ms.empty() ? 0.0 : latencies_ms[size_t(q * double(latencies_ms.size() - 1))]; };
    std::printf("requests %zu  in flight %zu  errors %zu  median %.3f ms  p99 %.3f ms  max %.3f ms  %.0f req/s\n",
        latencies_ms.size(), in_flight, total - latencies_ms.size(), at(0.5), at(0.99),
        latencies_ms.empty() ? 0.0 : latencies_ms.back(), double(latencies_ms.size()) / seconds);
    return errors ? 1 : 0;
}
