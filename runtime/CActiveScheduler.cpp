#include "runtime/CActiveScheduler.h"
#include "runtime/ActiveTimer.h"
#include "runtime/ApplicationCore.h"
#include "runtime/CActive.h"
#include "runtime/Log.h"
#include "runtime/TextConvert.h"

#include "platform/Clock.h"

#include <algorithm>

namespace runtime {

namespace {

constexpr int32_t no_timer = 10'000'000;

} // namespace

CActiveScheduler::CActiveScheduler(std::u16string_view window_class_name)
    : m_window_class(u"CActive" + std::u16string(window_class_name))
    , m_queue(platform::MessageQueue::current())
{
    m_window = m_queue.create_window(m_window_class, [this](const platform::Message& m) { on_message(m); });
}

CActiveScheduler::~CActiveScheduler()
{
    if (m_active_counter != 0)
        fatal_error(u"", u"Some active objects still live while scheduler is terminating active_counter="
                + int_to_text(m_active_counter));
    if (m_window)
        m_queue.destroy_window(m_window);
    m_ready.clear();
    m_timers.clear();
}

CActiveScheduler& CActiveScheduler::current()
{
    return ApplicationCore::instance()->scheduler();
}

void CActiveScheduler::set_active(CActive& object)
{
    if (object.m_active)
        fatal_error(u"CActiveScheduler::set_active()", u"Object " + int_to_text(object.id()) + u" is already active");
    object.m_active = true;
    ++m_active_counter;
}

void CActiveScheduler::notify(CActive& object)
{
    if (!object.m_active)
        fatal_error(u"CActiveScheduler::notify()", u"Active object " + int_to_text(object.id()) + u" is not active");
    std::lock_guard guard(m_lock);
    m_ready.push_back(&object);
    platform::MessageQueue::post_to_window(m_window, message_run_actives);
}

void CActiveScheduler::process_actives()
{
    for (;;) {
        CActive* object;
        {
            std::lock_guard guard(m_lock);
            if (m_ready.empty())
                return;
            object = m_ready.front();
            m_ready.pop_front();
        }
        if (!object->m_active)
            fatal_error(u"CActiveScheduler::process_actives()",
                u"Active object " + int_to_text(object->id()) + u" is not marked active");
        object->m_active = false;
        --m_active_counter;
        object->RunL();
    }
}

void CActiveScheduler::cancel(CActive& object)
{
    if (!object.m_active)
        return;
    object.DoCancel();
    bool took_message = false;
    for (;;) {
        {
            std::lock_guard guard(m_lock);
            auto it = std::find(m_ready.begin(), m_ready.end(), &object);
            if (it != m_ready.end()) {
                m_ready.erase(it);
                object.m_active = false;
                --m_active_counter;
                break;
            }
        }
        platform::Message message;
        if (!m_queue.get(message, platform::MessageFilter { m_window, message_run_actives, message_run_actives }))
            break;
        took_message = true;
    }
    // Completions of other objects that arrived meanwhile still run.
    if (took_message)
        platform::MessageQueue::post_to_window(m_window, message_run_actives);
}

bool CActiveScheduler::is_queued(const CActive& object)
{
    std::lock_guard guard(m_lock);
    return std::find(m_ready.begin(), m_ready.end(), &object) != m_ready.end();
}

void CActiveScheduler::add_timer(ActiveTimer& timer)
{
    m_timers.push_back(&timer);
}

void CActiveScheduler::service_timers()
{
    m_queue.kill_timer(m_window, timer_id);
    uint32_t now = platform::tick_count();
    int32_t nearest = no_timer;
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        ActiveTimer* timer = *it;
        int32_t remaining = int32_t(timer->due() - now);
        if (remaining < 1) {
            it = m_timers.erase(it);
            timer->report_due();
        } else {
            nearest = std::min(nearest, remaining);
            ++it;
        }
    }
    if (nearest != no_timer)
        m_queue.set_timer(m_window, timer_id, uint32_t(nearest));
}

void CActiveScheduler::on_message(const platform::Message& message)
{
    if (message.number == message_run_actives)
        process_actives();
    else if (message.number == platform::message_timer && message.wparam == timer_id)
        service_timers();
}

} // namespace runtime
