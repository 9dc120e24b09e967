// The HTTP side of forecastd on libmicrohttpd: a small pool of threads on epoll serves
// every connection (keep-alive) from memory; an answer that needs the provider is worked
// out on a thread of its own while its connection is suspended, so one slow provider
// request never holds up other connections. The raw request target is handed on as
// sent, so that the query is checked before anything decodes it.
//
// Against hostile clients: a request target longer than any query is refused at once,
// a client address holds at most `connections_per_address` connections, and a
// connection that has not sent a whole request head within `header_deadline` (counted
// from its opening or from its last answer) is closed.
#pragma once

#include "forecastd/Response.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_set>

struct MHD_Daemon;
struct MHD_Connection;

namespace forecastd {

struct PendingRequest;
struct ConnectionState;

class HttpServer {
public:
    static constexpr unsigned connections_per_address = 64;
    static constexpr std::chrono::seconds default_header_deadline { 10 };

    // May take long (a provider request); runs on a thread of its own.
    using Handler = std::function<Response(std::string_view method, std::string_view target)>;
    // Answers from memory at once, or nothing when `Handler` must be asked.
    using QuickHandler = std::function<std::optional<Response>(std::string_view method, std::string_view target)>;

    explicit HttpServer(Handler handler, QuickHandler quick = {});
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on host:port (port 0 picks a free one); false with the reason.
    bool start(const std::string& host, uint16_t port, std::string& error, unsigned threads = 2);
    // Waits for answers still being worked out, then closes every connection.
    void stop();
    uint16_t port() const { return m_port; }
    // Takes effect at start().
    void set_header_deadline(std::chrono::milliseconds deadline) { m_header_deadline = deadline; }

    // Used by the library's callbacks.
    std::optional<Response> quick(std::string_view method, std::string_view target) const;
    void answer_later(PendingRequest* request, MHD_Connection* connection);
    void opened(ConnectionState* state);
    void began_request(ConnectionState* state);
    void ended_request(ConnectionState* state);
    void closed(ConnectionState* state);

private:
    // Closes the connections that are past their header deadline, until stop().
    void watch_deadlines();

    Handler m_handler;
    QuickHandler m_quick;
    MHD_Daemon* m_daemon { nullptr };
    uint16_t m_port { 0 };
    std::mutex m_lock;
    std::condition_variable m_idle;
    int m_working { 0 };
    std::chrono::milliseconds m_header_deadline { default_header_deadline };
    std::mutex m_connections_lock;
    std::condition_variable m_stopping;
    bool m_stop { false };
    std::unordered_set<ConnectionState*> m_connections;
    std::thread m_watcher;
};

// "HOST:PORT" (or "[IPv6]:PORT"); false when it is not of that form.
bool split_listen_address(const std::string& text, std::string& host, uint16_t& port);

} // namespace forecastd
