// The part of a request that its worker thread shares with the main thread. It is
// owned jointly, so a worker that is abandoned after a time-out may go on safely: once
// abandoned it can no longer reach the request's active object or its listener.
#pragma once

#include "daemon/ByteBuffer.h"

#include "platform/ConnectionManager.h"
#include "platform/HttpClient.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

namespace runtime {
class CActive;
class CActiveScheduler;
}

namespace ombrelo {

enum Notice : int32_t {
    notice_data = 0,
    notice_headers = 1,
    notice_failed = 2,
    notice_succeeded = 3,
};

struct HTTPExchange {
    HTTPExchange(runtime::CActive& owner, runtime::CActiveScheduler& scheduler, int32_t id)
        : owner(&owner)
        , scheduler(&scheduler)
        , id(id)
    {
    }

    // Worker: hands the notice to the main thread; false once abandoned.
    bool notify(std::u16string_view message, int32_t notice);
    // Worker: the same, keeping the message as it is.
    bool notify(int32_t notice);
    // Worker: waits until the main thread lets it go on; false when it must end.
    bool wait();
    bool terminating();

    // Main thread: lets the worker go on.
    void wake();
    // Main thread: from now on nothing of the worker reaches the owner; the worker is
    // woken and its network wait ends at once.
    void abandon();

    std::mutex lock;
    std::condition_variable woken;
    bool wake_signalled { false };
    bool terminate { false };
    runtime::CActive* owner;
    runtime::CActiveScheduler* scheduler;
    const int32_t id;

    platform::HttpClient client;
    platform::ConnectionHandle connection { nullptr };
    ByteBuffer body;
    // Handed over through the scheduler's queue: written by the worker before each
    // notice, read by the main thread in RunL while the worker waits.
    ByteBuffer chunk;
    std::u16string header_block;
    std::u16string message;
    int32_t notice { notice_data };
};

} // namespace ombrelo
