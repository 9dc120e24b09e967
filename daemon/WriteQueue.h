// The application's side of the request queue: posts one city code for the daemon.
#pragma once

#include "platform/RequestQueue.h"

#include <memory>
#include <string>
#include <string_view>

namespace ombrelo {

class WriteQueue {
public:
    explicit WriteQueue(std::u16string_view name);
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    bool create();
    // False when the code is not a valid city code or the queue stays full for the
    // full-queue time-out (1 s unless set; tests shorten it).
    bool write_message(std::u16string_view code);
    void set_full_timeout(uint32_t milliseconds) { m_full_timeout_ms = milliseconds; }

private:
    std::u16string m_name;
    platform::RequestQueue::Options m_options;
    std::unique_ptr<platform::RequestQueue> m_queue;
    uint32_t m_full_timeout_ms { 1000 };
};

} // namespace ombrelo
