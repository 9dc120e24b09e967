// A one-shot timer that reports on the main thread through the active object
// scheduler; starting it again while it runs restarts it.
#pragma once

#include "runtime/CActive.h"
#include "runtime/TimerListener.h"

#include <cstdint>
#include <memory>

namespace runtime {

class ActiveTimer {
public:
    explicit ActiveTimer(TimerListener& listener);
    // Cancels a running timer.
    ~ActiveTimer();
    ActiveTimer(const ActiveTimer&) = delete;
    ActiveTimer& operator=(const ActiveTimer&) = delete;

    void after(double seconds);
    void cancel();
    bool is_running() const;

    // The due time as a tick count in milliseconds.
    uint32_t due() const;
    // Makes a running timer due now; the scheduler's timer service then queues it.
    void make_due_now();
    // Queues the report (the scheduler's timer service, when the timer is due).
    void report_due();

private:
    class Inner;
    std::unique_ptr<Inner> m_inner;
};

} // namespace runtime
