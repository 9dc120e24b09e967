// Runs the calling thread's message loop until a condition holds or the time is up.
#pragma once

#include "platform/MessageQueue.h"

#include <chrono>
#include <functional>

namespace test_support {

inline bool pump_until(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    platform::MessageQueue& queue = platform::MessageQueue::current();
    auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        platform::Message message;
        if (queue.wait(std::chrono::milliseconds(10)) && queue.peek(message, true))
            queue.dispatch(message);
    }
    return true;
}

inline void pump_for(std::chrono::milliseconds time)
{
    pump_until([] { return false; }, time);
}

} // namespace test_support
