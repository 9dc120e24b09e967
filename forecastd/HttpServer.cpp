#include "forecastd/HttpServer.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>

namespace forecastd {

namespace {

// The raw target, captured before the library splits and decodes it.
void* remember_target(void*, const char* uri, MHD_Connection*)
{
    return new std::string(uri ? uri : "");
}

void forget_target(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode)
{
    delete static_cast<std::string*>(*context);
    *context = nullptr;
}

MHD_Result answer(void* server, MHD_Connection* connection, const char*, const char* method, const char*,
    const char*, size_t* upload_size, void** context)
{
    const std::string* target = static_cast<std::string*>(*context);
    // A body sent with the request is not read.
    *upload_size = 0;
    Response response = static_cast<HttpServer*>(server)->handle(method ? method : "", target ? *target : "");
    MHD_Response* reply = MHD_create_response_from_buffer(response.body.size(), response.body.data(),
        MHD_RESPMEM_MUST_COPY);
    if (!reply)
        return MHD_NO;
    MHD_add_response_header(reply, MHD_HTTP_HEADER_CONTENT_TYPE, response.content_type.c_str());
    if (response.status == 405)
        MHD_add_response_header(reply, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    MHD_Result queued = MHD_queue_response(connection, unsigned(response.status), reply);
    MHD_destroy_response(reply);
    return queued;
}

} // namespace

bool split_listen_address(const std::string& text, std::string& host, uint16_t& port)
{
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size())
        return false;
    host = text.substr(0, colon);
    if (host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    std::string digits = text.substr(colon + 1);
    if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    unsigned long value = std::strtoul(digits.c_str(), nullptr, 10);
    if (value > 65535 || host.empty())
        return false;
    port = uint16_t(value);
    return true;
}

HttpServer::HttpServer(Handler handler)
    : m_handler(std::move(handler))
{
}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::start(const std::string& host, uint16_t port, std::string& error)
{
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (int failed = getaddrinfo(host.c_str(), service.c_str(), &hints, &found); failed != 0) {
        error = host + ": " + gai_strerror(failed);
        return false;
    }
    sockaddr_storage address {};
    std::memcpy(&address, found->ai_addr, found->ai_addrlen);
    bool ipv6 = found->ai_family == AF_INET6;
    freeaddrinfo(found);

    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | MHD_USE_POLL
        | MHD_USE_ERROR_LOG;
    if (ipv6)
        flags |= MHD_USE_IPv6;
    m_daemon = MHD_start_daemon(flags, port, nullptr, nullptr, &answer, this,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&address),
        MHD_OPTION_URI_LOG_CALLBACK, &remember_target, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &forget_target, nullptr,
        MHD_OPTION_CONNECTION_LIMIT, 1000u,
        MHD_OPTION_CONNECTION_TIMEOUT, 30u,
        MHD_OPTION_LISTEN_BACKLOG_SIZE, 256u,
        MHD_OPTION_END);
    if (!m_daemon) {
        error = "cannot listen on " + host + ":" + service;
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_port = info ? info->port : port;
    return true;
}

void HttpServer::stop()
{
    if (m_daemon) {
        MHD_stop_daemon(m_daemon);
        m_daemon = nullptr;
    }
}

} // namespace forecastd
