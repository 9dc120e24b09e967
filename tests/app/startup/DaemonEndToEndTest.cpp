// Weather with the real daemon Ombrelo and a forecast server on loopback: a page whose
// cached forecast is stale posts one request, no second one while it is pending, and
// shows the new temperature within a second of the daemon's file appearing (in the
// frames a script shoots every 0.2 s).
#include "WeatherRun.h"

#include "AppTestSupport.h"
#include "TestFeedServer.h"

#include "app/Settings.h"
#include "platform/TextEncoding.h"
#include "runtime/Registry.h"
#include "support/TestSupport.h"

#include <chrono>
#include <filesystem>
#include <thread>

using namespace startup_test;
namespace fs = std::filesystem;

namespace {

using DaemonEndToEnd = WeatherRun;

TEST_F(DaemonEndToEnd, AStalePageAsksOnceAndShowsTheNewTemperatureWithinASecond)
{
    test_support::TestFeedServer server;
    test_support::Reply feed;
    feed.body = test_support::TestFeedServer::yahoo_feed(-7, 16, "Tue, 8 Dec 2009 2:00 pm CET",
        { { "8 Dec 2009", -9, -2, 16 }, { "9 Dec 2009", -8, -1, 14 } });
    feed.held = true; // pending until the test lets it go
    server.set_reply("02950159", feed);
    runtime::write_string(weather::weather_key, u"Server", platform::from_utf8(server.address()));

    save_cities({ { "Berlin", "02950159" } });
    std::string cache = downloads() + "/_02950159.xml";
    test_support::write_bytes(cache, app_test::cache_xml("02950159", app_test::date_text_minutes_ago(500), 4, 30, 3));
    app_test::set_minutes_old(cache, 500);
    auto old_time = fs::last_write_time(cache);

    constexpr int shots = 40;
    // The first frame after the splash has gone.
    std::string script = "wait 1.5\n";
    for (int i = 0; i < shots; ++i)
        script += "shot " + shot_path("frame" + std::to_string(100 + i)) + "\nwait 0.2\n";
    script += "quit\n";
    WeatherProcess process = start(script);

    ASSERT_TRUE(server.wait_for_requests(1, 15000)) << "no request reached the server";
    // While the reply is held the page keeps watching; it must not ask again.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(server.request_count(), 1u);
    server.release("02950159");
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (fs::last_write_time(cache) == old_time && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_NE(fs::last_write_time(cache), old_time) << "the daemon wrote no file";
    auto file_time = fs::last_write_time(cache);

    RunResult result = process.wait(60);
    result.log = log_text();
    EXPECT_EQ(result.exit_code, 0) << result.error_output;
    EXPECT_EQ(server.request_count(), 1u);
    EXPECT_EQ(lines_with(result.log, "WeatherView::reload_weather step 7").size(), 1u) << result.log;

    // The frames before the file show the old temperature, the last one the new; the first
    // frame showing the new one was shot within a second of the file.
    std::vector<uint8_t> old_region = temperature_region(shot_path("frame100"));
    std::vector<uint8_t> new_region = temperature_region(shot_path("frame" + std::to_string(100 + shots - 1)));
    ASSERT_FALSE(old_region.empty());
    ASSERT_NE(old_region, new_region) << "the temperature never changed on the page";
    int first_new = -1;
    for (int i = 0; i < shots && first_new < 0; ++i)
        if (temperature_region(shot_path("frame" + std::to_string(100 + i))) == new_region)
            first_new = i;
    ASSERT_GT(first_new, 0);
    auto shown_at = fs::last_write_time(shot_path("frame" + std::to_string(100 + first_new)));
    auto before_at = fs::last_write_time(shot_path("frame" + std::to_string(100 + first_new - 1)));
    EXPECT_LT(before_at, file_time + std::chrono::milliseconds(50)) << "an earlier frame already had the file";
    EXPECT_LT(shown_at - file_time, std::chrono::seconds(1));
    EXPECT_EQ(temperature_region(shot_path("frame" + std::to_string(100 + first_new - 1))), old_region);
}

} // namespace
