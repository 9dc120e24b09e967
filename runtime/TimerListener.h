// The receiver of an ActiveTimer's report, called on the main thread.
#pragma once

namespace runtime {

class ActiveTimer;

class TimerListener {
public:
    virtual void on_timer(ActiveTimer& timer) = 0;
    virtual ~TimerListener() = default;
};

} // namespace runtime
