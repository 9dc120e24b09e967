#include "forecastd/HttpServer.h"

#include "forecastd/ForecastQuery.h"

#include <microhttpd.h>

#include <algorithm>
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
    bool cut_off { false };       // answered already, outside the library
    bool answered_early { false }; // answered at the first call (it carries a body)
    std::optional<Response> response;
};

// One connection from its opening to its closing; it owns the request in progress, so
// that whatever path a request ends by, nothing of it outlives its connection.
struct ConnectionState {
    int fd { -1 };
    PendingRequest request;
    // Guarded by the server's connection lock.
    std::chrono::steady_clock::time_point waiting_since; // for a whole request head
    bool in_request { false };
    bool cut { false };
};

namespace {

ConnectionState* state_of(MHD_Connection* connection)
{
    const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
    return info ? static_cast<ConnectionState*>(info->socket_context) : nullptr;
}

void notify_connection(void* server_pointer, MHD_Connection* connection, void** socket_context,
    MHD_ConnectionNotificationCode code)
{
    auto* server = static_cast<HttpServer*>(server_pointer);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
        auto* state = new ConnectionState;
        const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
        state->fd = info ? info->connect_fd : -1;
        *socket_context = state;
        server->opened(state);
    } else if (auto* state = static_cast<ConnectionState*>(*socket_context)) {
        server->closed(state);
        delete state;
        *socket_context = nullptr;
    }
}

// The library keeps a record per query parameter in a small per-connection pool; a
// target with hundreds of them exhausts it, and the library then neither answers nor
// lets go of the connection. No query of this service is that long, so such a target
// is answered here, before the library parses it, and the connection is ended.
void refuse_long_target(ConnectionState& state)
{
    static const char reply[] = "HTTP/1.1 414 URI Too Long\r\n"
                                "Connection: close\r\n"
                                "Content-Type: text/plain; charset=UTF-8\r\n"
                                "Content-Length: 31\r\n"
                                "\r\n"
                                "The request target is too long\n";
    state.request.cut_off = true;
    if (state.fd < 0)
        return;
    ssize_t sent = send(state.fd, reply, sizeof reply - 1, MSG_NOSIGNAL | MSG_DONTWAIT);
    (void)sent; // a client that cannot take it is cut off all the same
    shutdown(state.fd, SHUT_RDWR);
}

void* remember_target(void*, const char* uri, MHD_Connection* connection)
{
    ConnectionState* state = state_of(connection);
    if (!state)
        return nullptr;
    state->request = PendingRequest {};
    std::string_view target = uri ? uri : "";
    if (target.size() > max_target_length) {
        refuse_long_target(*state);
        return &state->request;
    }
    state->request.target = target;
    return &state->request;
}

void forget_target(void* server_pointer, MHD_Connection* connection, void** context, MHD_RequestTerminationCode)
{
    if (auto* request = static_cast<PendingRequest*>(*context))
        *request = PendingRequest {};
    *context = nullptr;
    if (ConnectionState* state = state_of(connection))
        static_cast<HttpServer*>(server_pointer)->ended_request(state);
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

Response plain(int status, const char* text)
{
    Response response;
    response.status = status;
    response.body = text;
    return response;
}

// A request that carries a body is answered before the body is read: the library can
// queue an answer only while no upload is under way. The connection then closes.
std::optional<Response> refuse_body(MHD_Connection* connection, std::string_view method)
{
    if (method != "GET" && method != "HEAD")
        return plain(405, "Only GET is answered\n");
    const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    const char* chunked = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING);
    if (chunked || (length && std::string_view(length).find_first_not_of("0") != std::string_view::npos))
        return plain(400, "A request with a body is not answered\n");
    return std::nullopt;
}

MHD_Result answer(void* server_pointer, MHD_Connection* connection, const char*, const char* method, const char*,
    const char*, size_t* upload_size, void** context)
{
    auto* server = static_cast<HttpServer*>(server_pointer);
    auto* request = static_cast<PendingRequest*>(*context);
    if (!request || request->cut_off)
        return MHD_NO;
    if (request->answered_early) {
        *upload_size = 0;
        return MHD_YES;
    }
    std::string_view method_text = method ? method : "";
    // An answer queued at the first call would make the library close the connection
    // after it; from the second call on the connection is kept alive.
    if (!request->headers_seen) {
        request->headers_seen = true;
        if (ConnectionState* state = state_of(connection))
            server->began_request(state);
        if (std::optional<Response> refused = refuse_body(connection, method_text)) {
            request->answered_early = true;
            return queue(connection, *refused);
        }
        return MHD_YES;
    }
    // A body sent without announcing it is not read.
    *upload_size = 0;
    if (request->response)
        return queue(connection, *request->response);
    if (request->working)
        return MHD_YES;
    if (std::optional<Response> at_once = server->quick(method_text, request->target))
        return queue(connection, *at_once);
    request->target.insert(0, std::string(method_text) + " ");
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

void HttpServer::opened(ConnectionState* state)
{
    std::lock_guard lock(m_connections_lock);
    state->waiting_since = std::chrono::steady_clock::now();
    m_connections.insert(state);
}

void HttpServer::began_request(ConnectionState* state)
{
    std::lock_guard lock(m_connections_lock);
    state->in_request = true;
}

void HttpServer::ended_request(ConnectionState* state)
{
    std::lock_guard lock(m_connections_lock);
    state->in_request = false;
    state->waiting_since = std::chrono::steady_clock::now();
}

void HttpServer::closed(ConnectionState* state)
{
    // The library closes the socket after this; until then the watcher may still cut it.
    std::lock_guard lock(m_connections_lock);
    m_connections.erase(state);
}

void HttpServer::watch_deadlines()
{
    std::unique_lock lock(m_connections_lock);
    auto step = std::clamp(m_header_deadline / 4, std::chrono::milliseconds(10), std::chrono::milliseconds(500));
    while (!m_stopping.wait_for(lock, step, [this] { return m_stop; })) {
        auto now = std::chrono::steady_clock::now();
        for (ConnectionState* state : m_connections) {
            if (state->in_request || state->cut || now - state->waiting_since < m_header_deadline || state->fd < 0)
                continue;
            // The library sees the connection end and lets it go.
            state->cut = true;
            shutdown(state->fd, SHUT_RDWR);
        }
    }
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
        MHD_OPTION_URI_LOG_CALLBACK, &remember_target, nullptr,
        MHD_OPTION_NOTIFY_COMPLETED, &forget_target, this,
        MHD_OPTION_NOTIFY_CONNECTION, &notify_connection, this,
        MHD_OPTION_THREAD_POOL_SIZE, threads,
        MHD_OPTION_CONNECTION_LIMIT, 1000u,
        MHD_OPTION_PER_IP_CONNECTION_LIMIT, connections_per_address,
        MHD_OPTION_CONNECTION_TIMEOUT, 30u,
        MHD_OPTION_LISTEN_BACKLOG_SIZE, 256u,
        MHD_OPTION_END);
    if (!m_daemon) {
        error = "cannot listen on " + host + ":" + service;
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_port = info ? info->port : port;
    m_stop = false;
    m_watcher = std::thread(&HttpServer::watch_deadlines, this);
    return true;
}

void HttpServer::stop()
{
    {
        // A suspended connection must be resumed before the library may stop.
        std::unique_lock lock(m_lock);
        m_idle.wait(lock, [this] { return m_working == 0; });
    }
    if (m_watcher.joinable()) {
        {
            std::lock_guard lock(m_connections_lock);
            m_stop = true;
        }
        m_stopping.notify_all();
        m_watcher.join();
    }
    if (m_daemon) {
        MHD_stop_daemon(m_daemon);
        m_daemon = nullptr;
    }
}

} // namespace forecastd
