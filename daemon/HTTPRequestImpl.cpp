#include "daemon/HTTPRequestImpl.h"
#include "daemon/HTTPRequest.h"
#include "daemon/HeaderBlock.h"

#include "runtime/CActiveScheduler.h"
#include "runtime/Log.h"
#include "runtime/TextConvert.h"

#include <chrono>

namespace ombrelo {

using runtime::get_log;
using runtime::log_uptime;

namespace {

// The connection request for an internet data connection, as the connection manager
// expects it: destination network given, any proxy kind, user-interactive priority.
platform::ConnectionInfo internet_connection()
{
    platform::ConnectionInfo info;
    info.params = 1;
    info.flags = 15;
    info.priority = 0x8000;
    const uint8_t internet[16] = { 0x44, 0xF1, 0x6E, 0x43, 0xFB, 0xB4, 0x63, 0x48,
        0xA0, 0x41, 0x8F, 0x90, 0x5A, 0x62, 0xC5, 0x72 };
    std::copy(std::begin(internet), std::end(internet), info.destination);
    return info;
}

void bind_connection_manager(platform::ConnectionManager& manager)
{
    get_log() << u"Examining cellcore.dll\n";
    if (!manager.load())
        return;
    if (manager.has_establish())
        get_log() << u"ConnMgrEstablishConnection found\n";
    if (manager.has_status())
        get_log() << u"ConnMgrConnectionStatus found\n";
    if (manager.has_release())
        get_log() << u"ConnMgrReleaseConnection found\n";
}

// False when the worker is to end without going on to the request.
bool connection_stage(HTTPExchange& x, const platform::ConnectionManager& manager)
{
    platform::ConnectionHandle connection = nullptr;
    if (manager.establish(internet_connection(), connection) < 0) {
        get_log() << u"ConnMgrEstablishConnection failed\n";
        x.notify(u"ServerSendFailed", notice_failed);
        return false;
    }
    {
        std::lock_guard guard(x.lock);
        x.connection = connection;
    }
    for (;;) {
        get_log() << u"HTTPRequestImpl::run() id= " << x.id << u" iteration1\n";
        uint32_t status = 0;
        manager.status(connection, status);
        if (status == platform::connection_disconnected) {
            get_log() << u"status == CONNMGR_STATUS_DISCONNECTED at " << log_uptime() << u"\n";
            x.notify(u"ServerSendFailed", notice_failed);
            return false;
        }
        if (status == platform::connection_connected)
            return true;
        if (x.terminating()) {
            get_log() << u"HTTPRequestImpl::run() place 4 id=" << x.id << u"\n";
            x.notify(notice_failed);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void data_cycle(HTTPExchange& x)
{
    for (;;) {
        if (x.terminating()) {
            get_log() << u"Request id=" << x.id << u" Break at " << log_uptime() << u"\n";
            return;
        }
        size_t available = 0;
        if (!x.client.query_available(available)) {
            get_log() << u"Request id=" << x.id << u" Failed 1 at " << log_uptime() << u"\n";
            x.notify(u"ServerSendFailed", notice_failed);
            return;
        }
        ByteBuffer chunk(std::min(available, HTTPRequestImpl::largest_chunk));
        size_t read = 0;
        if (!x.client.read(chunk.mutable_data(), chunk.size(), read)) {
            get_log() << u"Request id=" << x.id << u" Failed 2 at " << log_uptime() << u"\n";
            x.notify(u"ServerSendFailed", notice_failed);
            return;
        }
        if (read == 0) {
            get_log() << u"Request id=" << x.id << u" Success at " << log_uptime() << u"\n";
            x.notify(u"ServerSuccess", notice_succeeded);
            return;
        }
        get_log() << u"Request id=" << x.id << u" data {" << int32_t(read) << u"}available at " << log_uptime() << u"\n";
        chunk.narrow(read);
        x.chunk = chunk;
        if (!x.notify(u"ServerBusy", notice_data) || !x.wait())
            return;
    }
}

} // namespace

HTTPRequestImpl::HTTPRequestImpl(HTTPRequest& owner, std::u16string_view url, std::u16string_view method,
    std::u16string_view user_agent)
    : m_owner(owner)
    , m_exchange(std::make_shared<HTTPExchange>(*this, runtime::CActiveScheduler::current(), id()))
    , m_timeout_timer(*this)
    , m_deadline_timer(*this)
{
    m_open = m_exchange->client.open(url, method, user_agent);
    m_exchange->client.set_body_limit(largest_body);
}

void HTTPRequestImpl::start(const ByteBuffer& body)
{
    m_exchange->body = body;
    set_active();
    if (!m_worker.joinable()) {
        try {
            m_worker = std::thread(&HTTPRequestImpl::run, m_exchange);
        } catch (const std::system_error&) {
            // No worker: the inactivity timer fails the request.
        }
    }
    if (!m_timed_out) {
        m_timeout_timer.after(m_inactivity_timeout);
        if (!m_deadline_timer.is_running())
            m_deadline_timer.after(m_overall_deadline);
    }
}

void HTTPRequestImpl::run(std::shared_ptr<HTTPExchange> exchange)
{
    HTTPExchange& x = *exchange;
    get_log() << u"HTTPRequestImpl::run() id=" << x.id << u" 1\n";
    platform::ConnectionManager manager;
    bind_connection_manager(manager);
    if (manager.loaded() && manager.complete() && !connection_stage(x, manager))
        return;

    if (!x.client.send(x.body.data(), x.body.size())) {
        x.notify(u"ServerSendFailed", notice_failed);
        return;
    }
    x.header_block = x.client.header_block();
    if (x.header_block.empty()) {
        x.notify(u"ServerSendFailed", notice_failed);
        return;
    }
    if (!x.notify(u"ServerBusy", notice_headers) || !x.wait())
        return;
    x.chunk = ByteBuffer();
    if (!x.notify(u"ServerBusy", notice_data))
        return;
    get_log() << u"HTTPRequestImpl::RunL before data cycle\n";
    if (!x.wait())
        return;
    data_cycle(x);
}

void HTTPRequestImpl::RunL()
{
    m_timeout_timer.cancel();
    // A completion the worker queued just before the time-out: the request has been
    // failed already and is failed only once.
    if (m_timed_out)
        return;
    HTTPExchange& x = *m_exchange;
    runtime::Log& log = get_log();
    log << u"HTTPRequestImpl::RunL() id=" << id() << u" message=" << x.notice << u"\n";
    runtime::flush(log);
    HTTPRequestListener& listener = m_owner.listener();
    switch (x.notice) {
    case notice_data:
        if (!listener.on_data(m_owner, x.chunk))
            m_chunks.push_back(x.chunk);
        m_received += int32_t(x.chunk.size());
        if (m_content_length != 0)
            listener.on_status(m_owner, double(m_received) / double(m_content_length), x.message);
        break;
    case notice_headers: {
        HeaderBlock block = parse_header_block(x.header_block);
        int32_t status = 0;
        if (runtime::text_to_int(block.status_code, status))
            m_owner.set_status_code(status);
        for (const HeaderLine& header : block.headers) {
            get_log() << u"HTTP Header " << header.name << u": " << header.value << u"\n";
            int32_t length = 0;
            std::optional<ContentRange> range;
            if (header.name == u"content-length" && !m_range_seen && runtime::text_to_int(header.value, length)) {
                m_content_length = length;
                listener.on_content_length(m_owner, length);
            } else if (header.name == u"content-range" && (range = parse_content_range(header.value))) {
                m_range_seen = true;
                if (listener.on_content_range(m_owner, range->first, range->last, range->total)) {
                    m_received = 0;
                    m_content_length = range->last - range->first + 1;
                } else {
                    m_content_length = range->total;
                    m_received = range->first;
                }
            } else {
                listener.on_header(m_owner, header.name, header.value);
            }
        }
        if (!block.succeeded) {
            listener.on_status(m_owner, 1.0, x.message);
            listener.on_failed(m_owner);
            return;
        }
        break;
    }
    case notice_failed:
        if (x.client.over_limit()) {
            get_log() << u"Request id=" << id() << u" body over " << int32_t(largest_body) << u" bytes refused\n";
            m_owner.set_body_refused();
        }
        listener.on_status(m_owner, 1.0, x.message);
        listener.on_failed(m_owner);
        return;
    default:
        listener.on_status(m_owner, 1.0, x.message);
        listener.on_success(m_owner, assemble_body());
        return;
    }
    set_active();
    x.wake();
    if (!m_timed_out)
        m_timeout_timer.after(m_inactivity_timeout);
}

// The kept chunks one after the other; a range that does not start at byte 0 leaves
// no gap of zeros in front.
ByteBuffer HTTPRequestImpl::assemble_body()
{
    size_t total = 0;
    for (const ByteBuffer& chunk : m_chunks)
        total += chunk.size();
    if (total == 0) {
        m_chunks.clear();
        return ByteBuffer();
    }
    ByteBuffer body(total);
    uint8_t* out = body.mutable_data();
    while (!m_chunks.empty()) {
        const ByteBuffer& chunk = m_chunks.front();
        if (chunk.size())
            std::copy(chunk.data(), chunk.data() + chunk.size(), out);
        out += chunk.size();
        m_chunks.pop_front();
    }
    return body;
}

void HTTPRequestImpl::DoCancel()
{
    get_log() << u"DoCancel id=" << id() << u" at " << log_uptime() << u"\n";
    // Once the worker can no longer reach this object, exactly one completion must be
    // queued for Cancel to take away: the worker's own, or one queued here. A completion
    // left behind would later run on destroyed machinery.
    m_exchange->abandon();
    runtime::CActiveScheduler& scheduler = runtime::CActiveScheduler::current();
    if (!scheduler.is_queued(*this))
        scheduler.notify(*this);
}

void HTTPRequestImpl::on_timer(runtime::ActiveTimer& timer)
{
    bool deadline = &timer == &m_deadline_timer;
    get_log() << (deadline ? u"deadline_timer fired at " : u"timeout_timer fired at ") << log_uptime() << u"\n";
    m_timed_out = true;
    m_timeout_timer.cancel();
    m_deadline_timer.cancel();
    // The worker may be stuck in a network call: it is abandoned, not killed, and its
    // thread is left to end by itself.
    m_exchange->abandon();
    HTTPRequestListener& listener = m_owner.listener();
    HTTPRequest& owner = m_owner;
    listener.on_status(owner, 1.0, u"ServerSendFailed");
    listener.on_failed(owner);
    get_log() << u"timeout_timer finished at " << log_uptime() << u"\n";
}

HTTPRequestImpl::~HTTPRequestImpl()
{
    runtime::Log& log = get_log();
    log << u"~HTTPRequestImpl() id=" << id() << u" at " << log_uptime() << u"\n";
    runtime::flush(log);
    get_log() << u"~HTTPRequestImpl() id=" << id() << u" before Cancel at " << log_uptime() << u"\n";
    Cancel();
    get_log() << u"Request id=" << id() << u" after Cancel at " << log_uptime() << u"\n";
    runtime::flush(get_log());
    m_exchange->abandon();
    if (m_worker.joinable()) {
        if (m_timed_out) {
            m_worker.detach();
        } else {
            get_log() << u"~HTTPRequestImpl() request_termination at " << log_uptime() << u"\n";
            get_log() << u"~HTTPRequestImpl() wait_termination at " << log_uptime() << u"\n";
            m_worker.join();
            get_log() << u"~HTTPRequestImpl() after wait_termination at " << log_uptime() << u"\n";
        }
    }
    get_log() << u"Wait id=" << id() << u" finished at " << log_uptime() << u"\n";
    runtime::flush(get_log());

    platform::ConnectionManager manager;
    bind_connection_manager(manager);
    if (manager.loaded() && manager.has_release()) {
        platform::ConnectionHandle connection;
        {
            std::lock_guard guard(m_exchange->lock);
            connection = m_exchange->connection;
        }
        if (manager.release(connection, 10) < 0)
            get_log() << u"ConnMgrReleaseConnection failed at " << log_uptime() << u"\n";
    }
    m_timeout_timer.cancel();
    m_deadline_timer.cancel();
    get_log() << u"~HTTPRequestImpl() finish at " << log_uptime() << u"\n";
}

} // namespace ombrelo
