// A forecast page with the real daemon: a copy of Ombrelo beside the test binary (so that
// both see the same program folder), a forecast server on loopback, and the page's own
// life-cycle ticks. A stale page asks once, the daemon writes the file, and the page
// shows the new forecast on the tick that finds it.
#include "ViewTestSupport.h"

#include "app/NodeLookup.h"

#include "runtime/Registry.h"

#include "TestFeedServer.h"

#include <chrono>
#include <filesystem>
#include <thread>

using namespace weather;
using namespace app_test;
using test_support::Reply;
using test_support::TestFeedServer;
namespace fs = std::filesystem;

namespace {

class DaemonRun : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        std::string daemon = app_folder() + "/Ombrelo";
        fs::copy_file(std::string(NALO_PROGRAM_DIR) + "/Ombrelo", daemon, fs::copy_options::overwrite_existing);
        runtime::write_string(weather_key, u"Server", platform::from_utf8(server.address()));
    }

    TestFeedServer server;
};

TEST_F(DaemonRun, AStalePageAsksOnceAndShowsTheNewForecast)
{
    Reply feed;
    feed.body = TestFeedServer::yahoo_feed(-7, 16, "Tue, 8 Dec 2009 2:00 pm CET",
        { { "8 Dec 2009", -9, -2, 16 }, { "9 Dec 2009", -8, -1, 14 } });
    feed.delay_ms = 600; // the request stays pending for a while
    server.set_reply("02950159", feed);
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(500), 4, 30), 500);
    Settings& settings = start({ { "Berlin", "02950159" } });

    WeatherView page(skin(), 0, true);
    ASSERT_TRUE(settings.city(0).need_reload);
    EXPECT_EQ(text_of(find_node<skin::TextNode>(page, u"wtext")), "+4\u00B0");
    std::string cache = downloads_host_folder() + "/_02950159.xml";
    auto written_before = fs::last_write_time(cache);

    // Frames every 40 ms, as the shell runs them; a second page for the same city is built
    // while the first request is pending.
    auto start_time = std::chrono::steady_clock::now();
    int ticks_after_file = -1;
    std::unique_ptr<WeatherView> second;
    while (std::chrono::steady_clock::now() - start_time < std::chrono::seconds(15)) {
        page.life_cycle(0.04);
        if (second)
            second->life_cycle(0.04);
        if (!second && std::chrono::steady_clock::now() - start_time > std::chrono::milliseconds(200))
            second = std::make_unique<WeatherView>(skin(), 0, true);
        bool file_new = fs::last_write_time(cache) != written_before;
        if (file_new)
            ++ticks_after_file;
        if (!settings.city(0).need_reload)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
    }
    ASSERT_FALSE(settings.city(0).need_reload) << "the page never saw the daemon's file";
    // Seen on the tick that first found the file (or the next, if it came between).
    EXPECT_LE(ticks_after_file, 1);
    EXPECT_EQ(text_of(find_node<skin::TextNode>(page, u"wtext")), "-7\u00B0");
    ASSERT_EQ(page.rows().size(), 2u);
    EXPECT_EQ(text_of(page.rows()[1]->high()), "-1\u00B0");
    EXPECT_EQ(server.request_count(), 1u);
    EXPECT_EQ(queued_requests(), 0u); // the daemon took the one request
    // Nothing more is asked for now that the forecast is fresh.
    WeatherView third(skin(), 0, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(queued_requests(), 0u);
    EXPECT_EQ(server.request_count(), 1u);
}

} // namespace
