// The HTTP side of forecastd on libmicrohttpd: one thread per connection (a provider
// request may keep one waiting), keep-alive, and the raw request target handed on as
// sent, so that the query is checked before anything decodes it.
#pragma once

#include "forecastd/Response.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct MHD_Daemon;

namespace forecastd {

class HttpServer {
public:
    using Handler = std::function<Response(std::string_view method, std::string_view target)>;

    explicit HttpServer(Handler handler);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Listens on host:port (port 0 picks a free one); false with the reason.
    bool start(const std::string& host, uint16_t port, std::string& error);
    void stop();
    uint16_t port() const { return m_port; }

    // Called by the library's callbacks.
    Response handle(std::string_view method, std::string_view target) const { return m_handler(method, target); }

private:
    Handler m_handler;
    MHD_Daemon* m_daemon { nullptr };
    uint16_t m_port { 0 };
};

// "HOST:PORT" (or "[IPv6]:PORT"); false when it is not of that form.
bool split_listen_address(const std::string& text, std::string& host, uint16_t& port);

} // namespace forecastd
