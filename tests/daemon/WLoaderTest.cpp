// The forecast loader in one process: its freshness test, immediate failures and the
// done notice, against a real server on loopback.
#include "daemon/DaemonMessages.h"
#include "daemon/DateTimeText.h"
#include "daemon/ForecastCache.h"
#include "daemon/ForecastServer.h"
#include "daemon/WLoader.h"
#include "daemon/WeatherSettings.h"

#include "runtime/ApplicationCore.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"

#include "platform/Clock.h"
#include "platform/HostPath.h"

#include "TestFeedServer.h"
#include "support/MessagePump.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace ombrelo;
using namespace std::chrono_literals;

namespace {

std::string downloads()
{
    return platform::host_path(runtime::expand_path(u"%app_path%/downloads"));
}

std::u16string wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

// Takes every message of the thread, dispatching them, and counts the done notices.
int done_notices()
{
    int count = 0;
    platform::MessageQueue& queue = platform::MessageQueue::current();
    platform::Message m;
    while (queue.peek(m, true)) {
        queue.dispatch(m);
        if (m.number == message_done)
            ++count;
    }
    return count;
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::remove_all(downloads());
        std::filesystem::create_directories(downloads());
        runtime::delete_key(weather_key);
        runtime::write_string(weather_key, u"Server", wide(server.address()));
        core = std::make_unique<runtime::ApplicationCore>(nullptr, u"Weather");
        done_notices();
    }
    void TearDown() override
    {
        EXPECT_EQ(core->scheduler().active_counter(), 0);
        core.reset();
        std::filesystem::remove_all(downloads());
    }
    void write_cache(const std::string& code, const std::string& text)
    {
        test_support::write_bytes(downloads() + "/_" + code + ".xml", text);
    }
    static std::string minutes_ago(int minutes)
    {
        std::u16string text = date_time_text(platform::local_now() - int64_t(minutes) * platform::units_per_minute);
        return std::string(text.begin(), text.end());
    }

    test_support::TestFeedServer server;
    std::unique_ptr<runtime::ApplicationCore> core;
};

} // namespace

TEST_F(Loader, OnlyATopLevelCreateDateCountsAsFresh)
{
    WLoader loader;
    // What the daemon itself writes keeps Create inside Main: never fresh.
    ForecastRecord record;
    record.city_code = u"OWNF0001";
    record.date = platform::local_now() - platform::units_per_minute;
    save_to_xml(record);
    EXPECT_FALSE(loader.get_weather_local(u"OWNF0001"));

    write_cache("TOPC0001", "<Create date=\"" + minutes_ago(1) + "\"/>");
    EXPECT_TRUE(loader.get_weather_local(u"TOPC0001"));
    write_cache("OLDC0001", "<Create date=\"" + minutes_ago(361) + "\"/>"); // UpdateTime missing: 360
    EXPECT_FALSE(loader.get_weather_local(u"OLDC0001"));
    runtime::write_number(weather_key, u"UpdateTime", 400);
    EXPECT_TRUE(loader.get_weather_local(u"OLDC0001"));
    write_cache("BADC0001", "<Create date=\"not a date\"/>");
    EXPECT_FALSE(loader.get_weather_local(u"BADC0001"));
    write_cache("BROK0001", "<Create date=");
    EXPECT_FALSE(loader.get_weather_local(u"BROK0001"));
    EXPECT_FALSE(loader.get_weather_local(u"NONE0001"));
}

TEST_F(Loader, FreshCacheStartsNothingAndStillEndsTheDaemon)
{
    write_cache("TOPC0001", "<Create date=\"" + minutes_ago(1) + "\"/>");
    WLoader loader;
    EXPECT_TRUE(loader.get_weather(u"TOPC0001"));
    EXPECT_EQ(loader.pending_count(), 0u);
    EXPECT_EQ(done_notices(), 1);
    EXPECT_EQ(server.request_count(), 0u);
}

TEST_F(Loader, UnusableServerFailsInsideGetWeather)
{
    runtime::write_string(weather_key, u"Server", u"no such host name");
    WLoader loader;
    EXPECT_FALSE(loader.get_weather(u"ABCD0001"));
    EXPECT_EQ(loader.pending_count(), 0u);
    EXPECT_EQ(done_notices(), 1);
}

TEST_F(Loader, TwoCitiesAtOnceAndOneDoneNoticeAfterBoth)
{
    test_support::Reply slow;
    slow.delay_ms = 200;
    slow.body = test_support::TestFeedServer::yahoo_feed(12, 30, "now", {});
    server.set_default(slow);
    WLoader loader;
    EXPECT_FALSE(loader.get_weather(u"AAAA0001"));
    EXPECT_FALSE(loader.get_weather(u"BBBB0002"));
    EXPECT_FALSE(loader.get_weather(u"AAAA0001")); // doubled: joins the pending one
    EXPECT_EQ(loader.pending_count(), 2u);
    int done = 0;
    EXPECT_TRUE(test_support::pump_until(
        [&] {
            done += done_notices();
            return loader.pending_count() == 0;
        },
        5s));
    test_support::pump_for(50ms);
    done += done_notices();
    EXPECT_EQ(done, 1);
    EXPECT_EQ(server.request_count(), 2u);
    EXPECT_TRUE(test_support::file_exists(downloads() + "/_AAAA0001.xml"));
    EXPECT_TRUE(test_support::file_exists(downloads() + "/_BBBB0002.xml"));
}

TEST_F(Loader, ServerValueForms)
{
    struct Case {
        const char16_t* value;
        const char16_t* url;
    } cases[] = {
        { nullptr, u"http://localhost:8642/forecastrss?p=ABCD0001&u=c" },
        { u"127.0.0.1:9", u"http://127.0.0.1:9/forecastrss?p=ABCD0001&u=c" },
        { u"http://example.org", u"http://example.org/forecastrss?p=ABCD0001&u=c" },
        { u"https://example.org:8443/", u"https://example.org:8443/forecastrss?p=ABCD0001&u=c" },
    };
    for (const Case& c : cases) {
        runtime::delete_key(weather_key);
        if (c.value)
            runtime::write_string(weather_key, u"Server", c.value);
        EXPECT_EQ(forecast_url(u"ABCD0001"), c.url);
    }
}
