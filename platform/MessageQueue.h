// The per-thread message queue that stands in for window messages: any thread posts,
// the owning thread peeks, waits and dispatches to the procedure of a hidden window.
// Timers are one-shot, by window and id, and arrive as timer messages when due.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// 0 stands for no window: a message for the thread itself.
using WindowHandle = uint32_t;

constexpr uint32_t message_quit = 0x12;
constexpr uint32_t message_timer = 0x113;

struct Message {
    WindowHandle window { 0 };
    uint32_t number { 0 };
    uintptr_t wparam { 0 };
    intptr_t lparam { 0 };
};

using WindowProcedure = std::function<void(const Message&)>;

// Which messages a peek or get takes: window 0 and numbers 0..0 take every message.
struct MessageFilter {
    WindowHandle window { 0 };
    uint32_t first { 0 };
    uint32_t last { 0 };
    bool matches(const Message& message) const;
};

class MessageQueue : public std::enable_shared_from_this<MessageQueue> {
public:
    MessageQueue() = default;
    MessageQueue(const MessageQueue&) = delete;
    MessageQueue& operator=(const MessageQueue&) = delete;

    // The calling thread's queue, made on first use.
    static MessageQueue& current();

    // Any thread: queues the message for the window's owning thread; false when the
    // window does not exist (any more).
    static bool post_to_window(WindowHandle window, uint32_t number, uintptr_t wparam = 0, intptr_t lparam = 0);

    // Any thread.
    void post(const Message& message);
    // Called by every post, on the posting thread, so that another event loop can
    // wake up and drain this queue.
    void set_wake_hook(std::function<void()> hook);

    // Owning thread. Posted messages come first; a due timer gives a timer message
    // (wparam = timer id) when no posted message matches.
    bool peek(Message& message, bool remove, const MessageFilter& filter = {});
    // Waits for a matching message; false (leaving it queued) when it is the quit message.
    bool get(Message& message, const MessageFilter& filter = {});
    // Waits at most the time for a matching message, without taking it.
    bool wait(std::chrono::milliseconds timeout, const MessageFilter& filter = {});
    void dispatch(const Message& message);

    WindowHandle create_window(std::u16string_view class_name, WindowProcedure procedure);
    void destroy_window(WindowHandle window);
    // Empty when the window is not one of this queue's.
    std::u16string window_class(WindowHandle window) const;

    // A one-shot timer; setting it again replaces the earlier due time.
    void set_timer(WindowHandle window, uint32_t id, uint32_t milliseconds);
    void kill_timer(WindowHandle window, uint32_t id);
    // Milliseconds until the nearest timer is due (0 when one is due), -1 when none runs.
    int64_t next_timer_delay() const;

private:
    using Clock = std::chrono::steady_clock;
    struct Timer {
        WindowHandle window;
        uint32_t id;
        Clock::time_point due;
    };
    struct Window {
        std::u16string class_name;
        WindowProcedure procedure;
    };

    bool take(Message& message, bool remove, const MessageFilter& filter);
    Clock::time_point next_due(const MessageFilter& filter) const;

    mutable std::mutex m_lock;
    std::condition_variable m_posted;
    std::deque<Message> m_messages;
    std::vector<Timer> m_timers;
    std::map<WindowHandle, Window> m_windows;
    std::function<void()> m_wake_hook;
};

} // namespace platform
