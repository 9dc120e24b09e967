#include "TestFeedServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace test_support {

namespace {

bool send_all(int fd, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += size_t(n);
    }
    return true;
}

std::string reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

std::string query_value(const std::string& request_line, const std::string& key)
{
    size_t q = request_line.find('?');
    if (q == std::string::npos)
        return {};
    size_t end = request_line.find(' ', q);
    std::string query = request_line.substr(q + 1, end == std::string::npos ? std::string::npos : end - q - 1);
    size_t start = 0;
    while (start <= query.size()) {
        size_t amp = query.find('&', start);
        std::string pair = query.substr(start, amp == std::string::npos ? std::string::npos : amp - start);
        if (pair.rfind(key + "=", 0) == 0)
            return pair.substr(key.size() + 1);
        if (amp == std::string::npos)
            break;
        start = amp + 1;
    }
    return {};
}

} // namespace

TestFeedServer::TestFeedServer()
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 64);
    socklen_t length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] { accept_loop(); });
}

TestFeedServer::~TestFeedServer()
{
    {
        std::lock_guard guard(m_lock);
        m_stopping = true;
        for (int fd : m_open_fds)
            ::shutdown(fd, SHUT_RDWR);
    }
    m_changed.notify_all();
    ::shutdown(m_listener, SHUT_RDWR);
    ::close(m_listener);
    m_acceptor.join();
    std::vector<std::thread> connections;
    {
        std::lock_guard guard(m_lock);
        connections.swap(m_connections);
    }
    for (auto& t : connections)
        t.join();
}

std::string TestFeedServer::address() const
{
    return "127.0.0.1:" + std::to_string(m_port);
}

std::string TestFeedServer::url(const std::string& path) const
{
    return "http://" + address() + path;
}

void TestFeedServer::set_reply(const std::string& city_code, Reply reply)
{
    std::lock_guard guard(m_lock);
    m_replies[city_code] = std::move(reply);
}

void TestFeedServer::set_default(Reply reply)
{
    std::lock_guard guard(m_lock);
    m_default = std::move(reply);
}

void TestFeedServer::release(const std::string& city_code)
{
    {
        std::lock_guard guard(m_lock);
        m_released.push_back(city_code);
    }
    m_changed.notify_all();
}

std::vector<std::string> TestFeedServer::requests() const
{
    std::lock_guard guard(m_lock);
    return m_requests;
}

size_t TestFeedServer::request_count() const
{
    std::lock_guard guard(m_lock);
    return m_requests.size();
}

bool TestFeedServer::wait_for_requests(size_t count, int timeout_ms) const
{
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, std::chrono::milliseconds(timeout_ms), [&] { return m_requests.size() >= count; });
}

bool TestFeedServer::wait_for_replies(size_t count, int timeout_ms) const
{
    std::unique_lock guard(m_lock);
    return m_changed.wait_for(guard, std::chrono::milliseconds(timeout_ms), [&] { return m_replied >= count; });
}

std::string TestFeedServer::yahoo_feed(int temp, int code, const std::string& condition_date, const std::vector<Day>& days)
{
    std::string feed = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
                       "<rss version=\"2.0\" xmlns:yweather=\"http://xml.weather.yahoo.com/ns/rss/1.0\">\n"
                       "<channel>\n<title>Yahoo! Weather</title>\n<item>\n<title>Conditions</title>\n";
    feed += "<yweather:condition text=\"Fair\" code=\"" + std::to_string(code) + "\" temp=\"" + std::to_string(temp)
        + "\" date=\"" + condition_date + "\"/>\n";
    for (const Day& d : days)
        feed += "<yweather:forecast day=\"Mon\" date=\"" + d.date + "\" low=\"" + std::to_string(d.low) + "\" high=\""
            + std::to_string(d.high) + "\" text=\"Fair\" code=\"" + std::to_string(d.code) + "\"/>\n";
    feed += "</item>\n</channel>\n</rss>\n";
    return feed;
}

void TestFeedServer::accept_loop()
{
    for (;;) {
        int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            std::lock_guard guard(m_lock);
            if (m_stopping)
                return;
            continue;
        }
        std::lock_guard guard(m_lock);
        if (m_stopping) {
            ::close(fd);
            return;
        }
        m_open_fds.push_back(fd);
        m_connections.emplace_back([this, fd] { serve(fd); });
    }
}

bool TestFeedServer::sleep_unless_stopped(int milliseconds)
{
    std::unique_lock guard(m_lock);
    return !m_changed.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return m_stopping; });
}

Reply TestFeedServer::reply_for(const std::string& request_line) const
{
    std::lock_guard guard(m_lock);
    std::string code = query_value(request_line, "p");
    auto it = m_replies.find(code);
    if (it != m_replies.end())
        return it->second;
    if (m_default)
        return *m_default;
    Reply feed;
    feed.body = yahoo_feed(26, 32, "Tue, 10 Mar 2009 2:00 pm CET", { { "10 Mar 2009", 12, 24, 32 } });
    return feed;
}

void TestFeedServer::serve(int fd)
{
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        request.append(buffer, size_t(n));
    }
    std::string line = request.substr(0, request.find("\r\n"));
    Reply reply = reply_for(line);
    int now = ++m_at_once;
    int most = m_most_at_once.load();
    while (now > most && !m_most_at_once.compare_exchange_weak(most, now)) {
    }
    {
        std::lock_guard guard(m_lock);
        m_requests.push_back(line);
    }
    m_changed.notify_all();

    bool go_on = true;
    if (reply.held) {
        std::string code = query_value(line, "p");
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [&] {
            return m_stopping || std::find(m_released.begin(), m_released.end(), code) != m_released.end()
                || std::find(m_released.begin(), m_released.end(), "") != m_released.end();
        });
        go_on = !m_stopping;
    }
    go_on = go_on && (reply.delay_ms == 0 || sleep_unless_stopped(reply.delay_ms));
    if (go_on) {
        std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) + "\r\n";
        head += "Content-Type: text/xml;charset=UTF-8\r\nConnection: close\r\n";
        for (const auto& [name, value] : reply.headers)
            head += name + ": " + value + "\r\n";
        if (reply.mode == Reply::Mode::chunked_drip)
            head += "Transfer-Encoding: chunked\r\n";
        else
            head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        head += "\r\n";
        switch (reply.mode) {
        case Reply::Mode::normal:
            send_all(fd, head + reply.body);
            break;
        case Reply::Mode::stall_after_headers:
            send_all(fd, head);
            sleep_unless_stopped(60'000);
            break;
        case Reply::Mode::chunked_drip: {
            if (!send_all(fd, head))
                break;
            for (size_t at = 0; at < reply.body.size(); at += reply.drip_size) {
                std::string piece = reply.body.substr(at, reply.drip_size);
                char size_line[32];
                std::snprintf(size_line, sizeof size_line, "%zx\r\n", piece.size());
                if (!send_all(fd, size_line + piece + "\r\n") || !sleep_unless_stopped(reply.drip_interval_ms))
                    break;
            }
            send_all(fd, "0\r\n\r\n");
            break;
        }
        case Reply::Mode::close_mid_body:
            send_all(fd, head + reply.body.substr(0, reply.body.size() / 2));
            break;
        }
    }
    --m_at_once;
    ::shutdown(fd, SHUT_WR);
    {
        std::lock_guard guard(m_lock);
        ++m_replied;
    }
    m_changed.notify_all();
    // Let the client read everything before the socket goes.
    while (::recv(fd, buffer, sizeof buffer, 0) > 0) {
    }
    {
        std::lock_guard guard(m_lock);
        std::erase(m_open_fds, fd);
    }
    ::close(fd);
}

} // namespace test_support
