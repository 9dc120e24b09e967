// A named point-to-point message queue between processes of one user, over a POSIX
// message queue: "/" + the name with '/' turned into '.', then "." + the user id, mode
// 0600. Messages stay queued while no handle is open. The environment value
// NALO_QUEUE_SUFFIX, when set, is appended after one more '.', so that test runs never
// meet a user's real queue nor each other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

class RequestQueue {
public:
    struct Options {
        uint32_t max_messages { 10 };     // clamped to the system limit
        uint32_t max_message_size { 9 };  // clamped to the system limit
        bool read_access { false };
    };

    RequestQueue() = default;
    ~RequestQueue();
    RequestQueue(const RequestQueue&) = delete;
    RequestQueue& operator=(const RequestQueue&) = delete;

    static std::string host_name(std::u16string_view name);
    // Deletes the queue with the messages it holds.
    static bool remove(std::u16string_view name);

    // Creates the queue with the options when it does not exist yet, else opens it.
    bool open(std::u16string_view name, const Options& options);
    bool is_open() const { return m_queue != -1; }
    void close();

    // One message within the time; a message longer than the buffer is cut to it.
    bool read(void* buffer, size_t size, size_t& bytes, uint32_t timeout_ms);
    bool write(const void* data, size_t size, uint32_t timeout_ms);
    // Messages waiting in the queue, 0 when unknown.
    size_t waiting() const;
    // The errno of the last failed call.
    int last_error() const { return m_error; }

private:
    int m_queue { -1 };
    size_t m_message_size { 0 };
    int m_error { 0 };
};

} // namespace platform
