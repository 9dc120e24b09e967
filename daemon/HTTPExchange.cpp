#include "daemon/HTTPExchange.h"

#include "runtime/CActiveScheduler.h"

namespace ombrelo {

bool HTTPExchange::notify(std::u16string_view text, int32_t code)
{
    std::lock_guard guard(lock);
    if (!owner)
        return false;
    message = text;
    notice = code;
    scheduler->notify(*owner);
    return true;
}

bool HTTPExchange::notify(int32_t code)
{
    std::lock_guard guard(lock);
    if (!owner)
        return false;
    notice = code;
    scheduler->notify(*owner);
    return true;
}

bool HTTPExchange::wait()
{
    std::unique_lock guard(lock);
    woken.wait(guard, [this] { return wake_signalled || terminate; });
    wake_signalled = false;
    return !terminate;
}

bool HTTPExchange::terminating()
{
    std::lock_guard guard(lock);
    return terminate;
}

void HTTPExchange::wake()
{
    {
        std::lock_guard guard(lock);
        wake_signalled = true;
    }
    woken.notify_all();
}

void HTTPExchange::abandon()
{
    {
        // The worker notifies only while holding this lock: once it is released here,
        // nothing more reaches the owner.
        std::lock_guard guard(lock);
        owner = nullptr;
        terminate = true;
    }
    woken.notify_all();
    client.abandon();
}

} // namespace ombrelo
