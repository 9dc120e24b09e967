// The platform's message queue, request queue and named mutex.
#include "platform/MessageQueue.h"
#include "platform/NamedMutex.h"
#include "platform/RequestQueue.h"

#include "support/TestSupport.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using namespace std::chrono_literals;

TEST(MessageQueue, PostsFromOtherThreadsWakeTheOwner)
{
    MessageQueue& queue = MessageQueue::current();
    std::atomic<int> hooks { 0 };
    queue.set_wake_hook([&] { ++hooks; });
    std::vector<uint32_t> seen;
    WindowHandle window = queue.create_window(u"Test", [&](const Message& m) { seen.push_back(m.number); });
    std::thread poster([&] {
        std::this_thread::sleep_for(30ms);
        EXPECT_TRUE(MessageQueue::post_to_window(window, 1029));
        EXPECT_TRUE(MessageQueue::post_to_window(window, 1030, 7, -7));
    });
    Message m;
    ASSERT_TRUE(queue.get(m));
    EXPECT_EQ(m.window, window);
    queue.dispatch(m);
    ASSERT_TRUE(queue.get(m));
    EXPECT_EQ(m.wparam, 7u);
    EXPECT_EQ(m.lparam, -7);
    queue.dispatch(m);
    poster.join();
    EXPECT_EQ(seen, (std::vector<uint32_t> { 1029, 1030 }));
    EXPECT_EQ(hooks.load(), 2);
    queue.set_wake_hook(nullptr);

    queue.destroy_window(window);
    EXPECT_FALSE(MessageQueue::post_to_window(window, 1029));
    EXPECT_FALSE(queue.peek(m, false));
}

TEST(MessageQueue, FiltersLeaveOtherMessagesQueued)
{
    MessageQueue& queue = MessageQueue::current();
    WindowHandle a = queue.create_window(u"A", nullptr);
    WindowHandle b = queue.create_window(u"B", nullptr);
    queue.post({ a, 10, 0, 0 });
    queue.post({ b, 20, 0, 0 });
    queue.post({ 0, 0x421, 0, 0 });
    Message m;
    ASSERT_TRUE(queue.get(m, { b, 20, 20 }));
    EXPECT_EQ(m.window, b);
    EXPECT_FALSE(queue.peek(m, true, { b, 0, 0 }));
    ASSERT_TRUE(queue.peek(m, false, { 0, 0x421, 0x421 }));
    ASSERT_TRUE(queue.peek(m, true)); // in order of posting
    EXPECT_EQ(m.number, 10u);
    ASSERT_TRUE(queue.peek(m, true));
    EXPECT_EQ(m.number, 0x421u);
    EXPECT_FALSE(queue.wait(20ms));

    queue.post({ 0, message_quit, 0, 0 });
    EXPECT_FALSE(queue.get(m)); // the quit message stays for the loop to see
    EXPECT_TRUE(queue.peek(m, true));
    queue.destroy_window(a);
    queue.destroy_window(b);
}

TEST(MessageQueue, TimersAreOneShotAndReplaceable)
{
    MessageQueue& queue = MessageQueue::current();
    WindowHandle window = queue.create_window(u"Timers", nullptr);
    EXPECT_EQ(queue.next_timer_delay(), -1);
    auto start = std::chrono::steady_clock::now();
    queue.set_timer(window, 1, 1000);
    queue.set_timer(window, 1, 60); // replaces the first
    queue.set_timer(window, 2, 120);
    EXPECT_LE(queue.next_timer_delay(), 60);
    Message m;
    ASSERT_TRUE(queue.get(m));
    EXPECT_EQ(m.number, message_timer);
    EXPECT_EQ(m.wparam, 1u);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 55ms);
    queue.kill_timer(window, 2);
    EXPECT_FALSE(queue.wait(200ms));
    EXPECT_EQ(queue.next_timer_delay(), -1);

    queue.set_timer(window, 3, 0);
    queue.post({ window, 99, 0, 0 });
    ASSERT_TRUE(queue.peek(m, true)); // posted messages come before due timers
    EXPECT_EQ(m.number, 99u);
    ASSERT_TRUE(queue.peek(m, true));
    EXPECT_EQ(m.number, message_timer);
    queue.destroy_window(window);
}

TEST(RequestQueue, NamesAreMappedPerUserAndSuffix)
{
    unsetenv("NALO_QUEUE_SUFFIX");
    EXPECT_EQ(RequestQueue::host_name(u"NALO/Weather"), "/NALO.Weather." + std::to_string(getuid()));
    setenv("NALO_QUEUE_SUFFIX", "t1", 1);
    EXPECT_EQ(RequestQueue::host_name(u"NALO/Weather"), "/NALO.Weather." + std::to_string(getuid()) + ".t1");
    unsetenv("NALO_QUEUE_SUFFIX");
}

TEST(RequestQueue, ClampedTimedAndReadThroughScratch)
{
    setenv("NALO_QUEUE_SUFFIX", ("platform-" + std::to_string(getpid())).c_str(), 1);
    RequestQueue::remove(u"Test/Queue");
    RequestQueue writer;
    ASSERT_TRUE(writer.open(u"Test/Queue", { 100000, 274, false }));
    long limit = 10;
    std::ifstream("/proc/sys/fs/mqueue/msg_max") >> limit;
    long written = 0;
    while (written < 100000 && writer.write("0123456789", 10, 0))
        ++written;
    EXPECT_EQ(written, std::min(limit, 100000L));
    EXPECT_EQ(writer.waiting(), size_t(written));

    RequestQueue reader;
    ASSERT_TRUE(reader.open(u"Test/Queue", { 20, 9, true }));
    char small[4];
    size_t bytes = 0;
    ASSERT_TRUE(reader.read(small, sizeof small, bytes, 10)); // the queue's messages are longer
    EXPECT_EQ(bytes, 4u);
    EXPECT_EQ(std::string(small, 4), "0123");
    while (reader.read(small, sizeof small, bytes, 0)) {
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(reader.read(small, sizeof small, bytes, 30));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 25ms);
    EXPECT_EQ(reader.last_error(), ETIMEDOUT);

    // Messages stay while no handle is open.
    ASSERT_TRUE(writer.write("kept", 4, 0));
    writer.close();
    reader.close();
    RequestQueue again;
    ASSERT_TRUE(again.open(u"Test/Queue", { 20, 9, true }));
    char text[300];
    ASSERT_TRUE(again.read(text, sizeof text, bytes, 10));
    EXPECT_EQ(std::string(text, bytes), "kept");
    EXPECT_TRUE(RequestQueue::remove(u"Test/Queue"));
    unsetenv("NALO_QUEUE_SUFFIX");
}

TEST(NamedMutex, HeldByAnotherProcessUntilItEnds)
{
    std::string runtime = std::getenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(NamedMutex::lock_path(u"Weather"), runtime + "/nalo/Weather.lock");
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    pid_t child = fork();
    if (child == 0) {
        NamedMutex held;
        bool got = held.create(u"Weather") && held.wait(100);
        char c = got ? 'y' : 'n';
        (void)!write(ready[1], &c, 1);
        usleep(300'000);
        _exit(0); // the lock goes with the process
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    NamedMutex mine;
    ASSERT_TRUE(mine.create(u"Weather"));
    auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(mine.wait(100));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 95ms);
    EXPECT_TRUE(mine.wait(2000)); // obtained once the child has ended
    EXPECT_TRUE(mine.is_owned());
    waitpid(child, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
}
