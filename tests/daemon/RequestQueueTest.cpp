// Both sides of the request queue, in one process: the message layout, the options of
// each side and the refusal of anything that is not a city code.
#include "daemon/CityCode.h"
#include "daemon/ReadQueue.h"
#include "daemon/RequestMessage.h"
#include "daemon/WriteQueue.h"

#include "platform/RequestQueue.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace ombrelo;

class RequestQueues : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string suffix = "queue-test-" + std::to_string(getpid()) + "-"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        setenv("NALO_QUEUE_SUFFIX", suffix.c_str(), 1);
        platform::RequestQueue::remove(request_queue_name);
    }
    void TearDown() override
    {
        platform::RequestQueue::remove(request_queue_name);
        unsetenv("NALO_QUEUE_SUFFIX");
    }
};

TEST(CityCode, OnlyEightAsciiLettersOrDigits)
{
    EXPECT_TRUE(is_valid_city_code(u"ABCD0001"));
    EXPECT_TRUE(is_valid_city_code(u"usny0996"));
    for (std::u16string_view bad : { u"", u"ABCD001", u"ABCD00001", u"../../x1", u"ABCD 001", u"ABCD\u00E9001", u"AB/D0001" })
        EXPECT_FALSE(is_valid_city_code(bad));
}

TEST(RequestMessageLayout, NineBytesWithEndMark)
{
    RequestMessage message = encode_request(u"ABCD0001");
    RequestMessage expected { 0x41, 0x42, 0x43, 0x44, 0x30, 0x30, 0x30, 0x31, 0x00 };
    EXPECT_EQ(message, expected);
    EXPECT_EQ(decode_request(expected), u"ABCD0001");
    expected[8] = 0x7F; // byte 8 is not looked at
    EXPECT_EQ(decode_request(expected), u"ABCD0001");
}

TEST_F(RequestQueues, CodesTravelInOrder)
{
    WriteQueue writer(request_queue_name);
    ASSERT_TRUE(writer.create());
    EXPECT_TRUE(writer.write_message(u"ABCD0001"));
    EXPECT_TRUE(writer.write_message(u"WXYZ0002"));
    ReadQueue reader(request_queue_name);
    ASSERT_TRUE(reader.create());
    EXPECT_EQ(reader.waiting(), 2u);
    EXPECT_EQ(reader.read_message(), u"ABCD0001");
    EXPECT_EQ(reader.read_message(), u"WXYZ0002");
    EXPECT_EQ(reader.read_message(), u""); // times out
}

TEST_F(RequestQueues, ReaderMadeQueueTakesTheWritersNineBytes)
{
    ReadQueue reader(request_queue_name);
    ASSERT_TRUE(reader.create());
    WriteQueue writer(request_queue_name);
    ASSERT_TRUE(writer.create());
    EXPECT_TRUE(writer.write_message(u"ABCD0003"));
    EXPECT_EQ(reader.read_message(), u"ABCD0003");
}

TEST_F(RequestQueues, WriterRefusesWhatIsNoCityCode)
{
    WriteQueue writer(request_queue_name);
    ASSERT_TRUE(writer.create());
    EXPECT_FALSE(writer.write_message(u"../../etc"));
    EXPECT_FALSE(writer.write_message(u"ABC"));
    ReadQueue reader(request_queue_name);
    ASSERT_TRUE(reader.create());
    EXPECT_EQ(reader.waiting(), 0u);
}

TEST_F(RequestQueues, ReaderDropsForeignMessages)
{
    platform::RequestQueue raw;
    ASSERT_TRUE(raw.open(request_queue_name, { 10, 274, false }));
    const char bad[9] = { 'a', '/', '.', '.', '/', 'x', 'y', 'z', 0 };
    ASSERT_TRUE(raw.write(bad, sizeof bad, 100));
    const char good[9] = { 'Q', 'Q', 'Q', 'Q', '1', '2', '3', '4', 0 };
    ASSERT_TRUE(raw.write(good, sizeof good, 100));
    ReadQueue reader(request_queue_name);
    ASSERT_TRUE(reader.create());
    EXPECT_EQ(reader.read_message(), u"");
    EXPECT_EQ(reader.read_message(), u"QQQQ1234");
}

TEST_F(RequestQueues, FullQueueFailsTheWriteAfterItsTimeOut)
{
    WriteQueue writer(request_queue_name);
    ASSERT_TRUE(writer.create());
    writer.set_full_timeout(100); // a second in the application
    int written = 0;
    auto start = std::chrono::steady_clock::now();
    while (written < 50 && writer.write_message(u"ABCD0001"))
        ++written;
    // The time-out runs on the wall clock, which the system may slew against this one.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
    // The writer's 10 messages, clamped to what the system allows.
    EXPECT_GE(written, 1);
    EXPECT_LE(written, 10);
    ReadQueue reader(request_queue_name);
    ASSERT_TRUE(reader.create());
    EXPECT_EQ(reader.waiting(), size_t(written));
}
