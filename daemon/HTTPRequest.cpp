#include "daemon/HTTPRequest.h"
#include "daemon/HTTPRequestImpl.h"

#include "runtime/Log.h"

namespace ombrelo {

using runtime::get_log;
using runtime::log_uptime;

HTTPRequest::HTTPRequest(std::u16string_view url, std::u16string_view method, HTTPRequestListener& listener,
    std::u16string_view user_agent)
    : m_url(url)
    , m_listener(listener)
{
    get_log() << u"Request constructed at " << log_uptime() << u"\n";
    m_impl = std::make_unique<HTTPRequestImpl>(*this, m_url, method, user_agent);
    if (!m_impl->is_open())
        m_impl.reset();
}

HTTPRequest::~HTTPRequest()
{
    destroy_machinery();
}

bool HTTPRequest::send_request(const ByteBuffer& body)
{
    get_log() << u"HTTPRequest::send_request 1\n";
    m_listener.on_status(*this, 0.0, u"ServerBusy");
    get_log() << u"HTTPRequest::send_request 2\n";
    if (!m_impl) {
        m_listener.on_status(*this, 1.0, u"ServerSendFailed");
        m_listener.on_failed(*this);
        return false;
    }
    get_log() << u"HTTPRequest::send_request 3\n";
    get_log() << u"HTTPRequest::send_request 4\n";
    runtime::Log& log = get_log();
    log << u"Request sent at " << log_uptime() << u"\n";
    runtime::flush(log);
    m_impl->start(body);
    return true;
}

void HTTPRequest::set_inactivity_timeout(double seconds)
{
    if (m_impl)
        m_impl->set_inactivity_timeout(seconds);
}

void HTTPRequest::set_overall_deadline(double seconds)
{
    if (m_impl)
        m_impl->set_overall_deadline(seconds);
}

void HTTPRequest::destroy_machinery()
{
    m_impl.reset();
}

} // namespace ombrelo
