// One HTTP exchange over libcurl, driven step by step from one thread: send the request
// and wait for the response headers, then take the body in pieces as they arrive.
// Any thread may abandon the exchange; every waiting or later call then fails at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // Prepares the request; false when the URL does not parse or no handle can be made.
    bool open(std::u16string_view url, std::u16string_view method, std::u16string_view user_agent);
    // A body longer than this fails the exchange (0: no limit).
    void set_body_limit(size_t bytes) { m_body_limit = bytes; }
    // Whether the exchange failed because the body went past the limit.
    bool over_limit() const { return m_over_limit; }

    // Sends the request and waits for the final response's headers; false on a
    // transport failure.
    bool send(const uint8_t* body, size_t size);
    // The response's header lines, status line first, each ended by a NUL character.
    const std::u16string& header_block() const { return m_header_block; }

    // Waits until body bytes are ready or the body has ended (then 0); false on failure.
    bool query_available(size_t& bytes);
    // Up to size ready bytes (waiting for some when none are ready); 0 at the end.
    bool read(uint8_t* buffer, size_t size, size_t& bytes);

    // Any thread.
    void abandon();

private:
    static size_t on_header(char* data, size_t size, size_t count, void* self);
    static size_t on_body(char* data, size_t size, size_t count, void* self);
    static int on_progress(void* self, int64_t, int64_t, int64_t, int64_t);
    // Runs the transfer until the condition holds, the transfer ends or it is abandoned.
    template <typename Condition> void drive(Condition condition);
    // Takes what the socket holds already, without waiting.
    void drain();
    bool failed() const;

    void* m_easy { nullptr };
    void* m_multi { nullptr };
    void* m_headers { nullptr };
    std::string m_url;
    std::string m_method;
    std::string m_agent;
    std::vector<uint8_t> m_request_body;
    std::atomic<bool> m_abandoned { false };
    bool m_started { false };
    bool m_finished { false };
    int m_result { 0 };
    bool m_headers_complete { false };
    std::string m_current_status;
    std::u16string m_pending_block;
    std::u16string m_header_block;
    std::vector<uint8_t> m_ready;
    size_t m_ready_start { 0 };
    size_t m_body_total { 0 };
    size_t m_body_limit { 0 };
    bool m_over_limit { false };
};

} // namespace platform
