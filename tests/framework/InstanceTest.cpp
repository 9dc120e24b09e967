// The way into the running copy: command lines over the instance socket, refused when
// they are too long or not UTF-8; a socket file left behind is replaced; the window lock
// decides whether a copy runs.
#include "framework/InstanceChannel.h"
#include "framework/SingleInstance.h"

#include "platform/NamedMutex.h"
#include "support/TestSupport.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace framework;

namespace {

struct Inbox {
    std::mutex lock;
    std::condition_variable arrived;
    std::vector<std::u16string> texts;
    void add(std::u16string text)
    {
        std::lock_guard guard(lock);
        texts.push_back(std::move(text));
        arrived.notify_all();
    }
};

// Sends raw bytes to the socket and returns the answer.
std::string send_raw(const std::string& path, const std::string& bytes)
{
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return "no connection";
    }
    size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += size_t(n);
    }
    ::shutdown(fd, SHUT_WR);
    std::string reply;
    char buffer[256];
    ssize_t n;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
        reply.append(buffer, size_t(n));
    ::close(fd);
    return reply;
}

} // namespace

TEST(InstanceChannel, CommandLinesArriveAndBadOnesAreRefusedWithTheReason)
{
    std::string path = instance_socket_path(u"VevivozClass_ChannelTest");
    // A socket file left behind by a copy that crashed does not stop the next one.
    {
        int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        platform::NamedMutex folder_maker;
        folder_maker.create(u"VevivozClass_ChannelTest");
        ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(stale);
        ASSERT_TRUE(test_support::file_exists(path));
        EXPECT_FALSE(send_command_line(path, u"x", 500).delivered) << "nobody listens on a stale socket";
    }
    Inbox inbox;
    InstanceServer server([&](std::u16string text) { inbox.add(std::move(text)); });
    std::string error;
    ASSERT_TRUE(server.listen(path, error)) << error;

    InstanceAnswer answer = send_command_line(path, u"--city Köln", 2000);
    EXPECT_TRUE(answer.delivered) << answer.message;
    EXPECT_EQ(answer.process, int(::getpid()));
    answer = send_command_line(path, u"", 2000);
    EXPECT_TRUE(answer.delivered);
    {
        std::lock_guard guard(inbox.lock);
        EXPECT_EQ(inbox.texts, (std::vector<std::u16string> { u"--city Köln", u"" })) << "%CommandLineEmpty% is empty";
    }

    EXPECT_EQ(send_raw(path, "bad \xFF byte"), "E the command line is not valid UTF-8");
    EXPECT_EQ(send_raw(path, std::string(InstanceServer::max_command_line + 10, 'a')),
        "E the command line is longer than 65536 bytes");
    answer = send_command_line(path, std::u16string(InstanceServer::max_command_line + 1, u'a'), 2000);
    EXPECT_FALSE(answer.delivered);
    EXPECT_EQ(answer.message, "the command line is longer than 65536 bytes");
    {
        std::lock_guard guard(inbox.lock);
        EXPECT_EQ(inbox.texts.size(), 2u) << "nothing refused was handed on";
    }
    server.stop();
    EXPECT_FALSE(test_support::file_exists(path)) << "the socket goes with the server";
}

TEST(InstanceChannel, ALongRuntimeFolderIsReachedThroughItsDescriptor)
{
    std::string folder = test_support::scratch_folder(std::string(90, 'f'));
    std::string path = folder + "/VevivozClass_Long.socket";
    ASSERT_GT(path.size(), sizeof(sockaddr_un::sun_path));
    Inbox inbox;
    InstanceServer server([&](std::u16string text) { inbox.add(std::move(text)); });
    std::string error;
    ASSERT_TRUE(server.listen(path, error)) << error;
    EXPECT_TRUE(send_command_line(path, u"far away", 2000).delivered);
    std::lock_guard guard(inbox.lock);
    EXPECT_EQ(inbox.texts, (std::vector<std::u16string> { u"far away" }));
}

TEST(SingleInstance, WithoutAWindowLockTheCopyGoesOnAndHoldsTheStartLock)
{
    EXPECT_FALSE(SingleInstance::open_bracket(u"", u"LockTest"));
    EXPECT_TRUE(SingleInstance::holds_start_lock());
    SingleInstance::close_bracket();
    EXPECT_FALSE(SingleInstance::holds_start_lock());
}
