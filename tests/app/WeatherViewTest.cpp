// The forecast page's freshness decision and its watch for the daemon's file: when a
// request is posted and the daemon started, when the cache is loaded instead, and that
// a waiting page never asks twice.
#include "ViewTestSupport.h"

#include "app/NodeLookup.h"

#include "runtime/Registry.h"

#include "skin/SkinTestSupport.h"

#include <filesystem>

using namespace weather;
using namespace app_test;

namespace {

std::string node_text(const skin::SkinNode& root, const char16_t* id)
{
    return text_of(find_node<skin::TextNode>(root, id));
}

using WeatherViewFreshness = ViewTest;

TEST_F(WeatherViewFreshness, FiftyNineMinutesIsFreshSixtyOneIsNot)
{
    runtime::write_number(weather_key, u"UpdateTime", 60u);
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(59), 5, 28), 59);
    write_cache("03143244", cache_xml("03143244", date_text_minutes_ago(61), 7, 30), 61);
    Settings& settings = start({ { "Berlin", "02950159" }, { "Oslo", "03143244" } });
    ASSERT_EQ(settings.update_time(), 60);

    WeatherView berlin(skin(), 0, true);
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_EQ(queued_requests(), 0u);
    EXPECT_EQ(node_text(berlin, u"wtext"), "+5\u00B0");

    skin_test::start_log();
    WeatherView oslo(skin(), 1, true);
    EXPECT_TRUE(settings.city(1).need_reload);
    EXPECT_EQ(queued_requests(), 1u);
    EXPECT_EQ(daemon_starts(1), 1u);
    std::string trace = log();
    skin_test::stop_log();
    EXPECT_NE(trace.find("WeatherView::reload_weather start for city = Oslo\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Minutes from request_date = 61\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Need reload for 1 is true\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("WeatherView::reload_weather step 7 (start daemon)\n"), std::string::npos) << trace;
    // Meanwhile the page shows what the old file held.
    EXPECT_EQ(node_text(oslo, u"wtext"), "+7\u00B0");
    EXPECT_TRUE(oslo.refreshed());
}

TEST_F(WeatherViewFreshness, NeverUpdatingMeansSixHours)
{
    runtime::write_number(weather_key, u"UpdateTime", 0u);
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(300), 5, 28), 300);
    write_cache("03143244", cache_xml("03143244", date_text_minutes_ago(361), 7, 30), 361);
    Settings& settings = start({ { "Berlin", "02950159" }, { "Oslo", "03143244" } });
    ASSERT_EQ(settings.update_time(), 0);
    WeatherView berlin(skin(), 0, true);
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_EQ(queued_requests(), 0u);
    WeatherView oslo(skin(), 1, true);
    EXPECT_TRUE(settings.city(1).need_reload);
    EXPECT_EQ(queued_requests(), 1u);
}

TEST_F(WeatherViewFreshness, AFileJustWrittenIsLoadedWhateverItsRequestDate)
{
    // The settings were loaded while the cache was old...
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(400), 5, 28), 400);
    Settings& settings = start({ { "Berlin", "02950159" } });
    // ...then the daemon wrote a new file whose request date is as stale as before, or
    // missing: it is loaded once, and nothing is asked for.
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(400), 12, 30), 2);
    skin_test::start_log();
    WeatherView page(skin(), 0, true);
    std::string trace = log();
    skin_test::stop_log();
    EXPECT_EQ(node_text(page, u"wtext"), "+12\u00B0");
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_EQ(queued_requests(), 0u);
    size_t starts = 0;
    for (size_t at = trace.find("reload_weather start"); at != std::string::npos; at = trace.find("reload_weather start", at + 1))
        ++starts;
    EXPECT_EQ(starts, 2u) << trace; // the decision, and its one re-run on the loaded file

    write_cache("02950159", "<Main><Current temp=\"-4\"/></Main>", 1);
    settings.city(0).request_date = 0;
    page.reload_weather();
    EXPECT_EQ(node_text(page, u"wtext"), "-4\u00B0");
    EXPECT_EQ(queued_requests(), 0u);
}

TEST_F(WeatherViewFreshness, AWaitingPageAsksOnceAndLoadsTheNewFile)
{
    Settings& settings = start({ { "Berlin", "02950159" } });
    WeatherView page(skin(), 0, true);
    ASSERT_TRUE(settings.city(0).need_reload); // no cache at all
    EXPECT_EQ(queued_requests(), 1u);
    EXPECT_EQ(node_text(page, u"mtext"), "Not updated yet");
    EXPECT_EQ(node_text(page, u"wtext"), "--"); // no temperature: the skin's text stays
    page.clear_refreshed();

    // While nothing comes, the page waits without asking again, even when rebuilt.
    for (int i = 0; i < 20; ++i)
        page.life_cycle(0.04);
    WeatherView again(skin(), 0, true);
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(400), 5, 28), 400); // old: not it
    page.life_cycle(0.04);
    EXPECT_TRUE(settings.city(0).need_reload);
    EXPECT_FALSE(page.refreshed());
    EXPECT_EQ(queued_requests(), 1u);

    // The daemon's file arrives.
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(0), 21, 30, 3), 0);
    skin_test::start_log();
    page.life_cycle(0.04);
    std::string trace = log();
    skin_test::stop_log();
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_TRUE(page.refreshed());
    EXPECT_EQ(node_text(page, u"wtext"), "+21\u00B0");
    EXPECT_EQ(page.rows().size(), 3u);
    EXPECT_EQ(node_text(page, u"mtext").rfind("Last update: ", 0), 0u);
    EXPECT_EQ(queued_requests(), 1u);
    EXPECT_EQ(daemon_starts(1), 1u);
    EXPECT_NE(trace.find("WeatherView::life_cycle reload_weather\n"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Need reload for 0 is false\n"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("write_message"), std::string::npos) << trace;
}

TEST_F(WeatherViewFreshness, WithoutAQueueNothingIsStarted)
{
    setenv("NALO_QUEUE_SUFFIX", std::string(300, 'q').c_str(), 1); // a name too long for the system
    Settings& settings = start({ { "Berlin", "02950159" } });
    WeatherView page(skin(), 0, true);
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_EQ(daemon_starts(0), 0u);
    EXPECT_TRUE(page.refreshed());
}

TEST_F(WeatherViewFreshness, ACodeThatIsNoCityCodeIsNeverPosted)
{
    Settings& settings = start({ { "Odd", "../x" } });
    WeatherView page(skin(), 0, true);
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_EQ(queued_requests(), 0u);
}

TEST_F(WeatherViewFreshness, ARequestDateInTheFutureDoesNotHoldThePage)
{
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(-600), 5, 28), 400);
    Settings& settings = start({ { "Berlin", "02950159" } });
    WeatherView page(skin(), 0, true);
    EXPECT_TRUE(settings.city(0).need_reload);
    EXPECT_EQ(queued_requests(), 1u);
}

} // namespace
