// A real HTTP server on loopback for the daemon's tests and benchmark: answers each
// request from a reply chosen by its city code (query key "p") or, failing that, the
// default reply; by default a Yahoo-style feed for the code. Replies can misbehave:
// a status other than 200, a delay, a stall after the headers, a chunked drip, a close
// in the middle of the body, extra headers such as Content-Range. A held reply waits
// until the test releases it, so that tests order events without waiting on the clock.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace test_support {

struct Reply {
    enum class Mode {
        normal,              // headers and body in one write
        stall_after_headers, // headers, then nothing until the server stops
        chunked_drip,        // chunked encoding, drip_size bytes per drip_interval_ms
        close_mid_body,      // announces the whole body, sends half, closes
    };
    int status { 200 };
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
    Mode mode { Mode::normal };
    int delay_ms { 0 };
    bool held { false }; // answers only once release() names its code (or the server ends)
    size_t drip_size { 100 };
    int drip_interval_ms { 20 };
};

class TestFeedServer {
public:
    TestFeedServer();
    ~TestFeedServer();
    TestFeedServer(const TestFeedServer&) = delete;
    TestFeedServer& operator=(const TestFeedServer&) = delete;

    int port() const { return m_port; }
    // "127.0.0.1:PORT", the form of the registry value `Server`.
    std::string address() const;
    std::string url(const std::string& path) const;

    void set_reply(const std::string& city_code, Reply reply);
    void set_default(Reply reply);
    // Lets held replies for the code answer, now and later; an empty code releases all.
    void release(const std::string& city_code);

    // Requests seen so far (their request lines), and the most answered at once.
    std::vector<std::string> requests() const;
    size_t request_count() const;
    int most_at_once() const { return m_most_at_once.load(); }
    // Waits until this many requests have arrived; false after the time.
    bool wait_for_requests(size_t count, int timeout_ms) const;
    // Waits until this many replies have been written out; false after the time.
    bool wait_for_replies(size_t count, int timeout_ms) const;

    // A feed with the current condition and one forecast per (date, low, high, code).
    struct Day {
        std::string date;
        int low, high, code;
    };
    static std::string yahoo_feed(int temp, int code, const std::string& condition_date, const std::vector<Day>& days);

private:
    void accept_loop();
    void serve(int fd);
    bool sleep_unless_stopped(int milliseconds);
    Reply reply_for(const std::string& request_line) const;

    int m_listener { -1 };
    int m_port { 0 };
    std::thread m_acceptor;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    bool m_stopping { false };
    std::map<std::string, Reply> m_replies;
    std::optional<Reply> m_default;
    std::vector<std::string> m_requests;
    std::vector<std::string> m_released;
    size_t m_replied { 0 };
    std::vector<std::thread> m_connections;
    std::vector<int> m_open_fds;
    std::atomic<int> m_at_once { 0 };
    std::atomic<int> m_most_at_once { 0 };
};

} // namespace test_support
