// The machinery of one request: a worker thread that runs the blocking network calls,
// an active object that brings each of its steps back to the main thread, an inactivity
// timer that fails the request when the worker stays silent for 10 seconds, and an
// overall deadline of 60 seconds from sending: a server that drips its answer a byte at
// a time never trips the inactivity timer, and a feed of a few kilobytes that has not
// arrived in a minute is not going to.
#pragma once

#include "daemon/ByteBuffer.h"
#include "daemon/HTTPExchange.h"

#include "runtime/ActiveTimer.h"
#include "runtime/CActive.h"

#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

namespace ombrelo {

class HTTPRequest;

class HTTPRequestImpl final : public runtime::CActive, public runtime::TimerListener {
public:
    static constexpr double default_inactivity_timeout = 10.0;
    static constexpr double default_overall_deadline = 60.0;
    static constexpr size_t largest_chunk = 8192;
    // A feed is a few kilobytes; no real one comes near this.
    static constexpr size_t largest_body = 256 * 1024;

    HTTPRequestImpl(HTTPRequest& owner, std::u16string_view url, std::u16string_view method, std::u16string_view user_agent);
    ~HTTPRequestImpl() override;

    // False when the URL cannot be used or no client could be made.
    bool is_open() const { return m_open; }
    // Marks the machinery active, starts the worker and the inactivity timer.
    void start(const ByteBuffer& body);
    // Seconds of silence from the worker after which the request fails.
    void set_inactivity_timeout(double seconds) { m_inactivity_timeout = seconds; }
    void set_overall_deadline(double seconds) { m_overall_deadline = seconds; }

    void RunL() override;
    void DoCancel() override;
    void on_timer(runtime::ActiveTimer& timer) override;

    // The worker's body; it touches only the shared exchange.
    static void run(std::shared_ptr<HTTPExchange> exchange);

private:
    void handle_headers();
    ByteBuffer assemble_body();

    HTTPRequest& m_owner;
    std::shared_ptr<HTTPExchange> m_exchange;
    std::thread m_worker;
    bool m_open { false };
    std::list<ByteBuffer> m_chunks;
    int32_t m_content_length { 0 };
    int32_t m_received { 0 };
    bool m_range_seen { false };
    bool m_timed_out { false };
    double m_inactivity_timeout { default_inactivity_timeout };
    double m_overall_deadline { default_overall_deadline };
    runtime::ActiveTimer m_timeout_timer;
    runtime::ActiveTimer m_deadline_timer;
};

} // namespace ombrelo
