#include "forecastd/HttpServer.h"

#include <microhttpd.h>

#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <sys/socket.h>
#include <thread>

namespace forecastd {

// One request from its first line to its answer.
struct PendingRequest {
    std::string target;           // as sent, before the library decodes it
    bool headers_seen { false };  // the first call only announces the request
    bool working { false };       // handed to a thread; the connection is suspended
    std::optional<Response> response;
};

namespace {

void* remember_target(void*, const char* uri, MHD_Connection*)
{
    auto* request = new PendingRequest;
    request->target = uri ? uri : "";
    return request;
}

void forget_target(void*, MHD_Connection*, void** context, MHD_RequestTerminationCode)
{
    delete static_cast<PendingRequest*>(*context);
    *context = nullptr;
}

MHD_Result queue(MHD_Connection* connection, const Response& response)
{
    MHD_Response* reply = MHD_create_response_from_buffer(response.body.size(),
        const_cast<char*>(response.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!reply)
        return MHD_NO;
    MHD_add_response_header(reply, MHD_HTTP_HEADER_CONTENT_TYPE, response.content_type.c_str());
    if (response.status == 405)
        MHD_add_response_header(reply, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
    MHD_Result queued = MHD_queue_response(connection, unsigned(response.status), reply);
    MHD_destroy_response(reply);
    return queued;
}

MHD_Result answer(void* server_pointer, MHD_Connection* connection, const char*, const char* method, const char*,
    const char*, size_t* upload_size, void** context)
{
    auto* server = static_cast<HttpServer*>(server_pointer);
    auto* request = static_cast<PendingRequest*>(*context);
    if (!request)
        return MHD_NO;
    // An answer queued at the first call would make the library close the connection
    // after it; from the second call on the connection is kept alive.
    if (!request->headers_seen) {
        request->headers_seen = true;
        return MHD_YES;
    }
    // A body sent with the request is not read.
    *upload_size = 0;
    if (request->response)
        return queue(connection, *request->response);
    if (request->working)
        return MHD_YES;
    if (std::optional<Response> at_once = server->quick(method ? method : "", request->target))
        return queue(connection, *at_once);
    request->target.insert(0, std::string(method ? method : "") + " ");
    server->answer_later(request, connection);
    return MHD_YES;
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

HttpServer::HttpServer(Handler handler, QuickHandler quick)
    : m_handler(std::move(handler))
    , m_quick(std::move(quick))
{
}

std::optional<Response> HttpServer::quick(std::string_view method, std::string_view target) const
{
    if (!m_quick)
        return std::nullopt;
    return m_quick(method, target);
}

void HttpServer::answer_later(PendingRequest* request, MHD_Connection* connection)
{
    request->working = true;
    MHD_suspend_connection(connection);
    {
        std::lock_guard lock(m_lock);
        ++m_working;
    }
    std::thread([this, request, connection] {
        // The method travels in front of the target: "GET /forecastrss?...".
        size_t space = request->target.find(' ');
        Response response = m_handler(std::string_view(request->target).substr(0, space),
            std::string_view(request->target).substr(space + 1));
        request->response = std::move(response);
        MHD_resume_connection(connection);
        std::lock_guard lock(m_lock);
        if (--m_working == 0)
            m_idle.notify_all();
    }).detach();
}

HttpServer::~HttpServer()
{
    stop();
}

bool HttpServer::start(const std::string& host, uint16_t port, std::string& error, unsigned threads)
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

    unsigned flags = MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_TURBO | MHD_USE_ERROR_LOG;
    if (ipv6)
        flags |= MHD_USE_IPv6;
    m_daemon = MHD_start_daemon(flags, port, nullptr, nullptr, &answer, this,
        MHD_OPTION_SOCK_ADDR, reinterpret_cast<sockaddr*>(&address),
        MHD_OPTION_LISTEN_SOCKET, m_listen_socket,
        MHD_OPTION_URI_LOG_CALLBACK, &remember_target, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &forget_target, nullptr,
        MHD_OPTION_THREAD_POOL_SIZE, threads,
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
    {
        // A suspended connection must be resumed before the library may stop.
        std::unique_lock lock(m_lock);
        m_idle.wait(lock, [this] { return m_working == 0; });
    }
    if (m_daemon) {
        MHD_stop_daemon(m_daemon);
        m_daemon = nullptr;
    }
}

} // namespace forecastd
