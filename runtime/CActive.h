// An active object: marked active while it waits for a completion that happens on
// another thread or later; the scheduler then runs its RunL on the main thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace runtime {

class CActiveScheduler;

class CActive {
public:
    CActive();
    // Destroying an object that is still active is a programming fault.
    virtual ~CActive();
    CActive(const CActive&) = delete;
    CActive& operator=(const CActive&) = delete;

    virtual void RunL() = 0;
    // Must make the completion come (through notify); Cancel blocks until it does.
    virtual void DoCancel() = 0;

    // Main thread: cancels the wait and discards the completion unprocessed.
    void Cancel();
    // Main thread: marks the object active with the process's scheduler.
    void set_active();

    bool is_active() const { return m_active.load(); }
    int32_t id() const { return m_id; }

private:
    friend class CActiveScheduler;
    std::atomic<bool> m_active { false };
    int32_t m_id;
};

} // namespace runtime
