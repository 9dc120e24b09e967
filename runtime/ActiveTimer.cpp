#include "runtime/ActiveTimer.h"
#include "runtime/CActiveScheduler.h"

#include "platform/Clock.h"

namespace runtime {

class ActiveTimer::Inner final : public CActive {
public:
    Inner(ActiveTimer& timer, TimerListener& listener)
        : m_timer(timer)
        , m_listener(listener)
    {
    }
    ~Inner() override { Cancel(); }

    void RunL() override { m_listener.on_timer(m_timer); }
    // Due at once: the timer service queues the completion, which Cancel then takes.
    void DoCancel() override
    {
        m_due = platform::tick_count();
        CActiveScheduler::current().service_timers();
    }

    ActiveTimer& m_timer;
    TimerListener& m_listener;
    uint32_t m_due { 0 };
};

ActiveTimer::ActiveTimer(TimerListener& listener)
    : m_inner(std::make_unique<Inner>(*this, listener))
{
}

ActiveTimer::~ActiveTimer()
{
    cancel();
}

void ActiveTimer::after(double seconds)
{
    m_inner->Cancel();
    m_inner->m_due = platform::tick_count() + uint32_t(int64_t(seconds * 1000.0 + 0.5));
    CActiveScheduler& scheduler = CActiveScheduler::current();
    scheduler.set_active(*m_inner);
    scheduler.add_timer(*this);
    scheduler.service_timers();
}

void ActiveTimer::cancel()
{
    m_inner->Cancel();
}

bool ActiveTimer::is_running() const
{
    return m_inner->is_active();
}

uint32_t ActiveTimer::due() const
{
    return m_inner->m_due;
}

void ActiveTimer::make_due_now()
{
    m_inner->m_due = platform::tick_count();
}

void ActiveTimer::report_due()
{
    CActiveScheduler::current().notify(*m_inner);
}

} // namespace runtime
