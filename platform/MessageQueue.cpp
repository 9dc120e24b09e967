#include "platform/MessageQueue.h"

#include <algorithm>

namespace platform {

namespace {

// Window handles are unique in the process; each names the queue of its thread.
struct WindowTable {
    std::mutex lock;
    WindowHandle next { 1 };
    std::map<WindowHandle, std::weak_ptr<MessageQueue>> owners;
};

WindowTable& window_table()
{
    static WindowTable* table = new WindowTable; // outlives every thread
    return *table;
}

std::shared_ptr<MessageQueue>& thread_queue()
{
    thread_local std::shared_ptr<MessageQueue> queue = std::make_shared<MessageQueue>();
    return queue;
}

} // namespace

bool MessageFilter::matches(const Message& message) const
{
    if (window != 0 && message.window != window)
        return false;
    if ((first != 0 || last != 0) && (message.number < first || message.number > last))
        return false;
    return true;
}

MessageQueue& MessageQueue::current()
{
    return *thread_queue();
}

bool MessageQueue::post_to_window(WindowHandle window, uint32_t number, uintptr_t wparam, intptr_t lparam)
{
    std::shared_ptr<MessageQueue> owner;
    {
        WindowTable& table = window_table();
        std::lock_guard guard(table.lock);
        auto it = table.owners.find(window);
        if (it == table.owners.end())
            return false;
        owner = it->second.lock();
    }
    if (!owner)
        return false;
    owner->post(Message { window, number, wparam, lparam });
    return true;
}

void MessageQueue::post(const Message& message)
{
    std::function<void()> hook;
    {
        std::lock_guard guard(m_lock);
        m_messages.push_back(message);
        hook = m_wake_hook;
    }
    m_posted.notify_all();
    if (hook)
        hook();
}

void MessageQueue::set_wake_hook(std::function<void()> hook)
{
    std::lock_guard guard(m_lock);
    m_wake_hook = std::move(hook);
}

bool MessageQueue::take(Message& message, bool remove, const MessageFilter& filter)
{
    auto it = std::find_if(m_messages.begin(), m_messages.end(), [&](const Message& m) { return filter.matches(m); });
    if (it != m_messages.end()) {
        message = *it;
        if (remove)
            m_messages.erase(it);
        return true;
    }
    Clock::time_point now = Clock::now();
    for (auto t = m_timers.begin(); t != m_timers.end(); ++t) {
        Message candidate { t->window, message_timer, t->id, 0 };
        if (t->due <= now && filter.matches(candidate)) {
            message = candidate;
            if (remove)
                m_timers.erase(t);
            return true;
        }
    }
    return false;
}

MessageQueue::Clock::time_point MessageQueue::next_due(const MessageFilter& filter) const
{
    Clock::time_point due = Clock::time_point::max();
    for (const Timer& t : m_timers)
        if (filter.matches(Message { t.window, message_timer, t.id, 0 }))
            due = std::min(due, t.due);
    return due;
}

bool MessageQueue::peek(Message& message, bool remove, const MessageFilter& filter)
{
    std::lock_guard guard(m_lock);
    return take(message, remove, filter);
}

bool MessageQueue::get(Message& message, const MessageFilter& filter)
{
    std::unique_lock guard(m_lock);
    for (;;) {
        if (take(message, false, filter)) {
            if (message.number == message_quit)
                return false;
            take(message, true, filter);
            return true;
        }
        Clock::time_point due = next_due(filter);
        if (due == Clock::time_point::max())
            m_posted.wait(guard);
        else
            m_posted.wait_until(guard, due);
    }
}

bool MessageQueue::wait(std::chrono::milliseconds timeout, const MessageFilter& filter)
{
    std::unique_lock guard(m_lock);
    Clock::time_point end = Clock::now() + timeout;
    for (;;) {
        Message message;
        if (take(message, false, filter))
            return true;
        Clock::time_point due = std::min(end, next_due(filter));
        if (Clock::now() >= end)
            return false;
        m_posted.wait_until(guard, due);
    }
}

void MessageQueue::dispatch(const Message& message)
{
    WindowProcedure procedure;
    {
        std::lock_guard guard(m_lock);
        auto it = m_windows.find(message.window);
        if (it == m_windows.end())
            return;
        procedure = it->second.procedure; // the procedure may destroy its window
    }
    if (procedure)
        procedure(message);
}

WindowHandle MessageQueue::create_window(std::u16string_view class_name, WindowProcedure procedure)
{
    WindowTable& table = window_table();
    WindowHandle handle;
    {
        std::lock_guard guard(table.lock);
        handle = table.next++;
        table.owners[handle] = weak_from_this();
    }
    std::lock_guard guard(m_lock);
    m_windows[handle] = Window { std::u16string(class_name), std::move(procedure) };
    return handle;
}

void MessageQueue::destroy_window(WindowHandle window)
{
    {
        WindowTable& table = window_table();
        std::lock_guard guard(table.lock);
        table.owners.erase(window);
    }
    std::lock_guard guard(m_lock);
    m_windows.erase(window);
    std::erase_if(m_timers, [&](const Timer& t) { return t.window == window; });
    std::erase_if(m_messages, [&](const Message& m) { return m.window == window; });
}

std::u16string MessageQueue::window_class(WindowHandle window) const
{
    std::lock_guard guard(m_lock);
    auto it = m_windows.find(window);
    return it == m_windows.end() ? std::u16string() : it->second.class_name;
}

void MessageQueue::set_timer(WindowHandle window, uint32_t id, uint32_t milliseconds)
{
    {
        std::lock_guard guard(m_lock);
        std::erase_if(m_timers, [&](const Timer& t) { return t.window == window && t.id == id; });
        m_timers.push_back(Timer { window, id, Clock::now() + std::chrono::milliseconds(milliseconds) });
    }
    m_posted.notify_all();
}

void MessageQueue::kill_timer(WindowHandle window, uint32_t id)
{
    std::lock_guard guard(m_lock);
    std::erase_if(m_timers, [&](const Timer& t) { return t.window == window && t.id == id; });
}

int64_t MessageQueue::next_timer_delay() const
{
    std::lock_guard guard(m_lock);
    Clock::time_point due = next_due({});
    if (due == Clock::time_point::max())
        return -1;
    auto delay = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
    return std::max<int64_t>(0, delay);
}

} // namespace platform
