// The per-process scheduler of active objects: completions queued from any thread run
// on the main thread, woken through a message to a hidden window of the thread's
// message queue. One-shot timers are served by the same window.
#pragma once

#include "platform/MessageQueue.h"

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

class CActive;
class ActiveTimer;

class CActiveScheduler {
public:
    static constexpr uint32_t message_run_actives = 1029; // WM_USER + 5
    static constexpr uint32_t timer_id = 1;

    // Creates the hidden window "CActive" + the process's window class name.
    explicit CActiveScheduler(std::u16string_view window_class_name);
    // Every active object must be idle by now.
    ~CActiveScheduler();
    CActiveScheduler(const CActiveScheduler&) = delete;
    CActiveScheduler& operator=(const CActiveScheduler&) = delete;

    // The scheduler of the process's ApplicationCore.
    static CActiveScheduler& current();

    void set_active(CActive& object);
    // The only operation other threads may call.
    void notify(CActive& object);
    void process_actives();
    void cancel(CActive& object);
    bool is_queued(const CActive& object);

    void add_timer(ActiveTimer& timer);
    void service_timers();

    int32_t active_counter() const { return m_active_counter.load(); }
    platform::WindowHandle window() const { return m_window; }
    std::u16string window_class() const { return m_window_class; }

private:
    void on_message(const platform::Message& message);

    std::mutex m_lock;
    std::atomic<int32_t> m_active_counter { 0 };
    std::deque<CActive*> m_ready;
    std::vector<ActiveTimer*> m_timers;
    std::u16string m_window_class;
    platform::MessageQueue& m_queue;
    platform::WindowHandle m_window { 0 };
};

} // namespace runtime
