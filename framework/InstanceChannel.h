// The way into the running copy of the application: a Unix socket in the runtime folder
// named after the window class. A second copy connects, sends its command line (UTF-8,
// then end of stream) and reads the answer: "OK" when the text was queued, else "E " and
// why it was refused (longer than 64 KiB, not valid UTF-8). Whether a copy runs is
// decided by its window lock, never by the socket file: a socket left behind by a copy
// that crashed is simply replaced.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

namespace framework {

class InstanceServer {
public:
    static constexpr size_t max_command_line = 64 * 1024;

    // Called on the server's thread with each accepted command line.
    using Receiver = std::function<void(std::u16string text)>;

    explicit InstanceServer(Receiver receiver);
    ~InstanceServer();
    InstanceServer(const InstanceServer&) = delete;
    InstanceServer& operator=(const InstanceServer&) = delete;

    // Listens on the path (replacing any file there); false with the reason.
    bool listen(const std::string& path, std::string& error);
    void stop();

private:
    void serve();
    void answer(int connection);

    Receiver m_receiver;
    std::string m_path;
    int m_listener { -1 };
    int m_stop[2] { -1, -1 };
    std::thread m_thread;
};

struct InstanceAnswer {
    bool delivered { false };
    // The running copy's process id, 0 when unknown.
    int process { 0 };
    // Why the text was not delivered.
    std::string message;
};

// The socket of the window class in the runtime folder.
std::string instance_socket_path(std::u16string_view window_class);
// Sends the command line ("%CommandLineEmpty%" stands for an empty one) and waits at
// most the time for the answer.
InstanceAnswer send_command_line(const std::string& path, std::u16string_view command_line, int timeout_ms);

} // namespace framework
