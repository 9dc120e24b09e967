#include "daemon/ReadQueue.h"
#include "daemon/CityCode.h"
#include "daemon/RequestMessage.h"

#include "runtime/Log.h"

namespace ombrelo {

using runtime::get_log;

ReadQueue::ReadQueue(std::u16string_view name)
    : m_name(name)
    , m_options { 20, uint32_t(request_message_size), true }
{
}

bool ReadQueue::create()
{
    get_log() << u"create read_queue begin\n";
    auto queue = std::make_unique<platform::RequestQueue>();
    bool created = queue->open(m_name, m_options);
    m_queue = std::move(queue);
    get_log() << (created ? u"create read_queue end true\n" : u"create read_queue end false CreateMsgQueue\n");
    return created;
}

std::u16string ReadQueue::read_message()
{
    runtime::Log& log = get_log();
    log << u"Try to read message\n";
    runtime::flush(log);
    RequestMessage message {};
    size_t bytes = 0;
    if (!m_queue || !m_queue->read(message.data(), message.size(), bytes, 10))
        return {};
    get_log() << u"dwReaded = " << int32_t(bytes) << u"\n";
    for (size_t i = 0; i < 8; ++i)
        get_log() << u"byte " << int32_t(i) << u" = " << int32_t(message[i]) << u"\n";
    std::u16string code = decode_request(message);
    if (!is_valid_city_code(code)) {
        get_log() << u"ReadQueue::read_message dropped a request without a valid city code\n";
        return {};
    }
    return code;
}

size_t ReadQueue::waiting() const
{
    return m_queue ? m_queue->waiting() : 0;
}

} // namespace ombrelo
