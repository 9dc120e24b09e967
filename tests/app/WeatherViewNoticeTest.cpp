// What the forecast page does when its forecast cannot come the usual way: a cache file
// that does not read, a full request queue, a failed download named on the page, and the
// service's sample data marked.
#include "ViewTestSupport.h"

#include "app/DownloadStatus.h"
#include "app/NodeLookup.h"

#include "daemon/RequestMessage.h"
#include "daemon/WriteQueue.h"

#include "platform/RequestQueue.h"
#include "platform/TextEncoding.h"

#include "support/TestSupport.h"

#include <filesystem>

using namespace weather;
using namespace app_test;
namespace fs = std::filesystem;

namespace {

std::string node_text(const skin::SkinNode& root, const char16_t* id)
{
    return text_of(find_node<skin::TextNode>(root, id));
}

void write_status(const std::string& code, const std::string& text, int64_t minutes_old = 0)
{
    std::string path = downloads_host_folder() + "/_" + code + ".status";
    test_support::write_bytes(path, text);
    set_minutes_old(path, minutes_old);
}

TEST(DownloadStatus, TheFirstWordOfTheLineIsTheOutcome)
{
    using Outcome = DownloadStatus::Outcome;
    struct Case {
        std::string text;
        Outcome outcome;
        int32_t http;
    };
    const std::vector<Case> cases = {
        { "ok\n", Outcome::ok, 0 },
        { "unreachable\n", Outcome::unreachable, 0 },
        { "http 500\n", Outcome::http_error, 500 },
        { "http 503 and more\r\n", Outcome::http_error, 503 },
        { "unknown-city\n", Outcome::unknown_city, 0 },
        { "bad-feed", Outcome::bad_feed, 0 },
        { "http\n", Outcome::none, 0 },
        { "http x500\n", Outcome::none, 0 },
        { "http 99999\n", Outcome::none, 0 },
        { "OK\n", Outcome::none, 0 },
        { "", Outcome::none, 0 },
        { std::string(64, ' ') + "unreachable\n", Outcome::none, 0 }, // beyond what is read
    };
    for (const Case& c : cases) {
        DownloadStatus status = parse_download_status(c.text);
        EXPECT_EQ(status.outcome, c.outcome) << c.text;
        EXPECT_EQ(status.http_status, c.http) << c.text;
    }
}

using WeatherViewNotice = ViewTest;

TEST_F(WeatherViewNotice, ACacheFileThatDoesNotReadIsAskedForAtOnce)
{
    for (const std::string bytes : { "<Main><Curr", "not a forecast", "<Forecast><Current temp=\"5\"/></Forecast>" }) {
        platform::RequestQueue::remove(ombrelo::request_queue_name);
        write_cache("02950159", bytes, 1); // written a minute ago: fresh by its time
        Settings& settings = start({ { "Berlin", "02950159" } });
        WeatherView page(skin(), 0, true);
        EXPECT_TRUE(settings.city(0).need_reload) << bytes;
        EXPECT_EQ(queued_requests(), 1u) << bytes;
        // Still the same file: the page keeps waiting and does not read it again.
        page.life_cycle(0.04);
        EXPECT_TRUE(settings.city(0).need_reload) << bytes;
    }
}

TEST_F(WeatherViewNotice, AFullQueueIsDrainedAndTheRequestWrittenAgain)
{
    ombrelo::WriteQueue filler(ombrelo::request_queue_name);
    ASSERT_TRUE(filler.create());
    filler.set_full_timeout(0);
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(filler.write_message(u"ZZZZ000" + platform::widen(std::to_string(i))));
    ASSERT_FALSE(filler.write_message(u"ZZZZ0010"));

    Settings& settings = start({ { "Berlin", "02950159" } });
    WeatherView page(skin(), 0, true);
    EXPECT_TRUE(page.request_waiting());
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_EQ(daemon_starts(1), 1u); // started on the full queue, to drain it

    // The daemon reads one request; the next retry gets in.
    platform::RequestQueue reader;
    ASSERT_TRUE(reader.open(ombrelo::request_queue_name, { 20, 9, true }));
    char message[9];
    size_t bytes = 0;
    ASSERT_TRUE(reader.read(message, sizeof message, bytes, 100));
    page.life_cycle(0.2);
    EXPECT_TRUE(page.request_waiting()); // not yet: the retry waits half a second
    page.life_cycle(0.4);
    EXPECT_FALSE(page.request_waiting());
    EXPECT_TRUE(settings.city(0).need_reload);
    EXPECT_EQ(queued_requests(), 10u);
    EXPECT_EQ(daemon_starts(2), 2u);
    std::string last;
    while (reader.read(message, sizeof message, bytes, 0))
        last.assign(message, 8);
    EXPECT_EQ(last, "02950159");
}

TEST_F(WeatherViewNotice, AFailedDownloadAndSampleDataAreNamedOnThePage)
{
    struct Case {
        std::string status;
        bool sample;
        std::string line; // after the update line, empty for none
    };
    const std::vector<Case> cases = {
        { "unreachable\n", false, "Forecast service not reachable" },
        { "http 500\n", false, "Forecast service error (HTTP 500)" },
        { "unknown-city\n", false, "Unknown city at the forecast service" },
        { "bad-feed\n", false, "The forecast service sent no forecast" },
        { "ok\n", false, "" },
        { "sunny\n", false, "" },
        { "", true, "Sample data, not a real forecast" },
        { "unreachable\n", true, "Sample data, not a real forecast\nForecast service not reachable" },
    };
    for (const Case& c : cases) {
        reset_program_state();
        std::string xml = cache_xml("02950159", date_text_minutes_ago(10), 5, 28);
        if (c.sample)
            xml.replace(xml.find("<Create "), 8, "<Create sample=\"1\" ");
        write_cache("02950159", xml, 10);
        if (!c.status.empty())
            write_status("02950159", c.status, 1);
        Settings& settings = start({ { "Berlin", "02950159" } });
        WeatherView page(skin(), 0, true);
        std::string update = node_text(page, u"mtext");
        ASSERT_EQ(update.rfind("Last update: ", 0), 0u) << update;
        // The test skin has no band: the lines follow the update line.
        size_t end = update.find('\n');
        std::string line = end == std::string::npos ? "" : update.substr(end + 1);
        EXPECT_EQ(line, c.line) << c.status;
        EXPECT_EQ(node_text(page, u"wtext"), "+5\u00B0"); // the old forecast stays
        EXPECT_EQ(settings.city(0).sample, c.sample);
    }
    // A status older than the forecast on the page says nothing about it.
    reset_program_state();
    write_status("02950159", "unreachable\n", 30);
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(10), 5, 28), 10);
    start({ { "Berlin", "02950159" } });
    WeatherView page(skin(), 0, true);
    EXPECT_EQ(node_text(page, u"mtext").find('\n'), std::string::npos);
}

TEST_F(WeatherViewNotice, AWaitingPageShowsTheFailedAttemptWhenItComes)
{
    Settings& settings = start({ { "Berlin", "02950159" } });
    WeatherView page(skin(), 0, true);
    ASSERT_TRUE(settings.city(0).need_reload);
    page.life_cycle(0.04);
    EXPECT_EQ(node_text(page, u"mtext"), "Not updated yet");
    write_status("02950159", "unknown-city\n");
    page.life_cycle(0.04);
    EXPECT_EQ(node_text(page, u"mtext"), "Not updated yet\nUnknown city at the forecast service");
    EXPECT_TRUE(settings.city(0).need_reload); // no second request
    EXPECT_EQ(queued_requests(), 1u);
}

} // namespace
