// The daemon's side of the request queue: reads one city code at a time.
#pragma once

#include "platform/RequestQueue.h"

#include <memory>
#include <string>
#include <string_view>

namespace ombrelo {

class ReadQueue {
public:
    explicit ReadQueue(std::u16string_view name);
    ReadQueue(const ReadQueue&) = delete;
    ReadQueue& operator=(const ReadQueue&) = delete;

    bool create();
    // One read of at most 10 ms: the city code, or empty when none came (or the
    // message did not hold a valid code).
    std::u16string read_message();
    // Requests waiting in the queue.
    size_t waiting() const;

private:
    std::u16string m_name;
    platform::RequestQueue::Options m_options;
    std::unique_ptr<platform::RequestQueue> m_queue;
};

} // namespace ombrelo
