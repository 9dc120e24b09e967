// What the forecast page does when its forecast cannot come the usual way: a cache file
// that does not read, a failed download named on the page, the service's sample data.
#include "ViewTestSupport.h"

#include "app/DownloadStatus.h"
#include "app/NodeLookup.h"

#include "daemon/RequestMessage.h"
#include "platform/RequestQueue.h"

#include "support/TestSupport.h"

using namespace weather;
using namespace app_test;

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
        { "http 503 and more\r\n", Outcome::http_error, 503 },
        { "bad-feed", Outcome::bad_feed, 0 },
        { "http x500\n", Outcome::none, 0 },
        { "OK\n", Outcome::none, 0 },
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

TEST_F(WeatherViewNotice, AFailedDownloadAndSampleDataAreNamedOnThePage)
{
    struct Case {
        std::string status;
        int64_t status_age; // minutes; the forecast is 10 minutes old
        bool sample;
        std::string line;   // after the update line (the test skin has no band)
    };
    const std::vector<Case> cases = {
        { "unreachable\n", 1, false, "\nForecast service not reachable" },
        { "http 500\n", 1, false, "\nForecast service error (HTTP 500)" },
        { "unknown-city\n", 1, false, "\nUnknown city at the forecast service" },
        { "ok\n", 1, false, "" },
        { "unreachable\n", 30, false, "" }, // older than the forecast: says nothing about it
        { "unreachable\n", 1, true, "\nSample data, not a real forecast\nForecast service not reachable" },
    };
    for (const Case& c : cases) {
        reset_program_state();
        std::string xml = cache_xml("02950159", date_text_minutes_ago(10), 5, 28);
        if (c.sample)
            xml.replace(xml.find("<Create "), 8, "<Create sample=\"1\" ");
        write_cache("02950159", xml, 10);
        write_status("02950159", c.status, c.status_age);
        start({ { "Berlin", "02950159" } });
        WeatherView page(skin(), 0, true);
        std::string update = node_text(page, u"mtext");
        EXPECT_EQ(update.substr(update.find('\n') == std::string::npos ? update.size() : update.find('\n')), c.line);
        EXPECT_EQ(node_text(page, u"wtext"), "+5\u00B0"); // the old forecast stays
    }
}

} // namespace
