#include "daemon/WriteQueue.h"
#include "daemon/CityCode.h"
#include "daemon/RequestMessage.h"

#include "runtime/Log.h"

namespace ombrelo {

using runtime::get_log;

WriteQueue::WriteQueue(std::u16string_view name)
    : m_name(name)
    , m_options { 10, 274, false }
{
}

bool WriteQueue::create()
{
    get_log() << u"create write_queue begin\n";
    auto queue = std::make_unique<platform::RequestQueue>();
    bool created = queue->open(m_name, m_options);
    m_queue = std::move(queue);
    runtime::Log& log = get_log();
    log << (created ? u"create write_queue end true\n" : u"create write_queue end false CreateMsgQueue\n");
    if (created)
        runtime::flush(log);
    return created;
}

bool WriteQueue::write_message(std::u16string_view code)
{
    runtime::Log& log = get_log();
    log << u"write_message begin " << code << u"\n";
    runtime::flush(log);
    // Anything else would put foreign text into the daemon's file path and address.
    if (!is_valid_city_code(code)) {
        get_log() << u"write_message end false invalid city code\n";
        return false;
    }
    RequestMessage message = encode_request(code);
    if (m_queue && m_queue->write(message.data(), message.size(), m_full_timeout_ms)) {
        get_log() << u"write_message end true\n";
        return true;
    }
    get_log() << u"write_message end false WriteMsgQueue " << int32_t(m_queue ? m_queue->last_error() : 0) << u"\n";
    return false;
}

} // namespace ombrelo
