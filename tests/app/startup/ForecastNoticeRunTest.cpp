// Weather run as a user runs it, when forecasts do not come the usual way: the outcome of
// the daemon's last attempt and the service's sample data on the page (in each skin and
// language, shot for a look), and a request queue left full by an earlier run, which the
// real daemon drains so that the page still gets its forecast from a server on loopback.
#include "WeatherRun.h"

#include "AppTestSupport.h"
#include "TestFeedServer.h"

#include "app/Settings.h"
#include "daemon/RequestMessage.h"
#include "daemon/WriteQueue.h"
#include "platform/TextEncoding.h"
#include "runtime/Registry.h"
#include "skin/draw/FramePng.h"
#include "support/TestSupport.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <thread>

using namespace startup_test;
namespace fs = std::filesystem;

namespace {

using ForecastNotices = WeatherRun;

// A pixel of the band's left margin (x 4, y 140) at 240x320, as 0xRRGGBB.
uint32_t band_pixel(const std::string& shot)
{
    skin::RgbImage image;
    if (!skin::read_png(shot, image) || image.width < 240 || image.height < 320)
        return 0;
    size_t at = (size_t(140) * image.width + 4) * 3;
    return uint32_t(image.rgb[at]) << 16 | uint32_t(image.rgb[at + 1]) << 8 | image.rgb[at + 2];
}

TEST_F(ForecastNotices, EachFailedAttemptAndSampleDataAreNamedOnThePage)
{
    // The last page's attempt succeeded: it has no band.
    const std::vector<std::array<std::string, 3>> pages = { { "Berlin", "02950159", "unreachable\n" },
        { "Oslo", "03143244", "http 500\n" }, { "Rome", "03169070", "unknown-city\n" },
        { "Paris", "02988507", "sample" }, { "Madrid", "03117735", "ok\n" } };
    std::vector<std::pair<std::string, std::string>> cities;
    for (const auto& [name, code, status] : pages) {
        cities.push_back({ name, code });
        std::string xml = app_test::cache_xml(code, app_test::date_text_minutes_ago(30), 4, 30, 5);
        if (status == "sample")
            xml.replace(xml.find("<Create "), 8, "<Create sample=\"1\" ");
        test_support::write_bytes(downloads() + "/_" + code + ".xml", xml);
        // The failed attempt came after the forecast on the page: a status older than the
        // cache file would say nothing about it.
        if (status != "sample")
            test_support::write_bytes(downloads() + "/_" + code + ".status", status);
    }
    save_cities(cities);
    for (const std::string look : { "default english", "default german", "default russian", "night english" }) {
        std::string skin = look.substr(0, look.find(' ')), language = look.substr(look.find(' ') + 1);
        runtime::write_string(weather::weather_key, u"Skin", platform::from_utf8(skin));
        runtime::write_string(weather::weather_key, u"Language", platform::from_utf8(language));
        std::string script = "wait 1.5\n";
        for (const auto& page : pages)
            script += "shot " + shot_path(skin + "-" + language + "-" + page[0]) + "\nkey Right\nwait 0.8\n";
        EXPECT_EQ(run(script + "quit\n").exit_code, 0);
        uint32_t plain = band_pixel(shot_path(skin + "-" + language + "-Madrid"));
        for (size_t i = 0; i + 1 < pages.size(); ++i)
            EXPECT_NE(band_pixel(shot_path(skin + "-" + language + "-" + pages[i][0])), plain) << look << pages[i][0];
    }
}

TEST_F(ForecastNotices, AFullQueueOfUnknownCodesIsDrainedAndThePageGetsItsForecast)
{
    test_support::TestFeedServer server;
    test_support::Reply unknown;
    unknown.status = 404;
    unknown.body = "no such city";
    server.set_default(unknown);
    test_support::Reply feed;
    feed.body = test_support::TestFeedServer::yahoo_feed(-7, 16, "Tue, 8 Dec 2009 2:00 pm CET",
        { { "8 Dec 2009", -9, -2, 16 }, { "9 Dec 2009", -8, -1, 14 } });
    server.set_reply("02950159", feed);
    runtime::write_string(weather::weather_key, u"Server", platform::from_utf8(server.address()));

    // Ten requests nobody reads: an earlier run's, whose daemon ended.
    ombrelo::WriteQueue left(ombrelo::request_queue_name);
    ASSERT_TRUE(left.create());
    left.set_full_timeout(0);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(left.write_message(u"ZZZZ00" + platform::widen(std::to_string(10 + i))));
    ASSERT_FALSE(left.write_message(u"ZZZZ0020")) << "the queue is not full";

    save_cities({ { "Berlin", "02950159" } });
    std::string cache = downloads() + "/_02950159.xml";
    auto started = std::chrono::steady_clock::now();
    WeatherProcess process = start("wait 9\nquit\n");
    while (!fs::exists(cache) && std::chrono::steady_clock::now() < started + std::chrono::seconds(20))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(fs::exists(cache)) << "the page never got its forecast";
    std::cout << "forecast after " << std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count()
              << " s with a full queue\n";
    EXPECT_EQ(process.wait(60).exit_code, 0);
    EXPECT_NE(log_text().find("Need reload for 0 is false"), std::string::npos) << log_text();
    // The ten old requests were served too (each answered 404) and Berlin's.
    EXPECT_EQ(server.request_count(), 11u);
}

} // namespace
