// forecastd's service over real HTTP on loopback, with a loopback fake of the provider
// serving JSON written for the tests: the mapping table, Fahrenheit, the city's own date,
// the cache, the back-off, one upstream request per city, and the refusals.
#include "forecastd/ForecastService.h"
#include "forecastd/HttpServer.h"
#include "forecastd/OpenMeteoProvider.h"
#include "forecastd/WmoConditions.h"

#include "ProviderJson.h"
#include "TestFeedServer.h"

#include <curl/curl.h>

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace forecastd;
using forecastd_test::JsonReply;
using test_support::Reply;
using test_support::TestFeedServer;
using namespace std::chrono;

namespace {

struct Answer {
    long status { 0 };
    std::string body;
};

size_t collect(char* data, size_t size, size_t count, void* body)
{
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

Answer get(const std::string& url, const char* method = nullptr)
{
    Answer answer;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &answer.body);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    if (method)
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method);
    if (curl_easy_perform(curl) == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answer.status);
    curl_easy_cleanup(curl);
    return answer;
}

std::string attribute(const std::string& feed, const std::string& element, const std::string& name, size_t nth = 0)
{
    size_t at = 0;
    for (size_t i = 0; i <= nth; ++i) {
        at = feed.find("<" + element + " ", i ? at + 1 : 0);
        if (at == std::string::npos)
            return "(no " + element + ")";
    }
    size_t value = feed.find(" " + name + "=\"", at) + name.size() + 3;
    return feed.substr(value, feed.find('"', value) - value);
}

PlaceInfo place(const std::string& code, const std::string& name)
{
    PlaceInfo p;
    p.code = code;
    p.latitude = 52.52437;
    p.longitude = 13.41053;
    p.time_zone = "Europe/Berlin";
    p.name = name + ", Somewhere, Country";
    p.city = name;
    p.region = "Somewhere";
    p.country = "Country";
    return p;
}

// forecastd's parts on loopback, asking the fake provider, on a clock the test moves.
class Service : public ::testing::Test {
protected:
    Service()
        : provider(provider_server.url("/v1/forecast"))
        , service(places, provider, {}, [this] { return steady_clock::time_point(seconds(clock_seconds.load())); })
        , server([this](std::string_view method, std::string_view target) { return service.answer(method, target); },
              [this](std::string_view method, std::string_view target) { return service.answer_at_once(method, target); })
    {
        places.add(place("02950159", "Berlin"));
        places.add(place("01850147", "Tokyo"));
        std::string error;
        EXPECT_TRUE(server.start("127.0.0.1", 0, error)) << error;
        reply(JsonReply::week());
    }

    void reply(const JsonReply& json, int status = 200, int delay_ms = 0)
    {
        Reply r;
        r.status = status;
        r.body = json.text();
        r.delay_ms = delay_ms;
        r.headers = { { "Content-Type", "application/json" } };
        provider_server.set_default(r);
    }
    Answer ask(const std::string& target) { return get("http://127.0.0.1:" + std::to_string(server.port()) + target); }
    size_t upstream() const { return provider_server.request_count(); }

    TestFeedServer provider_server;
    PlaceTable places;
    OpenMeteoProvider provider;
    std::atomic<int64_t> clock_seconds { 1000000 };
    ForecastService service;
    HttpServer server;
};

} // namespace

TEST_F(Service, TheRequestReachesTheProviderAsOpenMeteoWantsIt)
{
    Answer answer = ask("/forecastrss?p=02950159&u=c");
    ASSERT_EQ(answer.status, 200) << answer.body;
    ASSERT_EQ(upstream(), 1u);
    EXPECT_EQ(provider_server.requests()[0],
        "GET /v1/forecast?latitude=52.5244&longitude=13.4105&current=temperature_2m,weather_code,is_day,"
        "relative_humidity_2m,apparent_temperature,wind_speed_10m,wind_direction_10m,pressure_msl"
        "&hourly=temperature_2m,weather_code,precipitation_probability,is_day"
        "&daily=weather_code,temperature_2m_max,temperature_2m_min,sunrise,sunset,precipitation_sum,"
        "precipitation_probability_max,uv_index_max&timezone=auto&forecast_days=7&forecast_hours=24 HTTP/1.1");
    EXPECT_EQ(attribute(answer.body, "yweather:condition", "date"), "Tue, 10 Mar 2026 2:00 pm CET");
    EXPECT_EQ(attribute(answer.body, "yweather:forecast", "date", 6), "16 Mar 2026");
    EXPECT_NE(answer.body.find("<title>Weather - Berlin, Somewhere, Country</title>"), std::string::npos);
}

TEST_F(Service, EveryWmoCodeByDayAndByNight)
{
    for (int wmo : known_wmo_codes()) {
        for (int is_day : { 1, 0 }) {
            JsonReply json = JsonReply::week();
            json.code = wmo;
            json.is_day = is_day;
            json.days[1].code = wmo;
            reply(json);
            clock_seconds += 15 * 60; // past the cache time
            Answer answer = ask("/forecastrss?p=02950159&u=c");
            ASSERT_EQ(answer.status, 200) << wmo;
            Condition current = condition_for(wmo, is_day == 1);
            EXPECT_EQ(attribute(answer.body, "yweather:condition", "code"), std::to_string(current.code)) << wmo;
            EXPECT_EQ(attribute(answer.body, "yweather:condition", "text"), current.text) << wmo;
            // Days always take the day variant.
            EXPECT_EQ(attribute(answer.body, "yweather:forecast", "code", 1),
                std::to_string(condition_for(wmo, true).code)) << wmo;
        }
    }
    EXPECT_EQ(upstream(), 56u);
    // The sky by night and by day.
    const std::pair<int, std::pair<int, int>> sky[] = { { 0, { 32, 31 } }, { 1, { 34, 33 } }, { 2, { 30, 29 } },
        { 3, { 26, 26 } } };
    for (const auto& [wmo, codes] : sky) {
        EXPECT_EQ(condition_for(wmo, true).code, codes.first);
        EXPECT_EQ(condition_for(wmo, false).code, codes.second);
    }
}

TEST_F(Service, FahrenheitIsAskedOfTheProviderAndCachedApart)
{
    JsonReply json = JsonReply::week();
    json.unit = "\u00B0F";
    json.temperature = 41.7;
    reply(json);
    Answer f = ask("/forecastrss?p=02950159&u=f");
    ASSERT_EQ(f.status, 200);
    EXPECT_NE(provider_server.requests()[0].find(
                  "&forecast_hours=24&temperature_unit=fahrenheit&wind_speed_unit=mph&precipitation_unit=inch HTTP"), std::string::npos);
    EXPECT_EQ(attribute(f.body, "yweather:condition", "temp"), "42");
    EXPECT_EQ(attribute(f.body, "yweather:units", "temperature"), "F");
    // Celsius is a request of its own.
    reply(JsonReply::week());
    Answer c = ask("/forecastrss?p=02950159&u=c");
    EXPECT_EQ(attribute(c.body, "yweather:condition", "temp"), "5");
    EXPECT_EQ(upstream(), 2u);
    EXPECT_EQ(provider_server.requests()[1].find("fahrenheit"), std::string::npos);
}

TEST_F(Service, TheCitysOwnDateWhenUtcIsStillYesterday)
{
    // 11:30 UTC on 10 March is 00:30 on 11 March in Apia.
    JsonReply json = JsonReply::week(11);
    json.time = "2026-03-11T00:30";
    json.utc_offset = 13 * 3600;
    json.zone = "+13";
    reply(json);
    Answer answer = ask("/forecastrss?p=01850147&u=c");
    ASSERT_EQ(answer.status, 200);
    EXPECT_EQ(attribute(answer.body, "yweather:condition", "date"), "Wed, 11 Mar 2026 12:30 am +13");
    EXPECT_EQ(attribute(answer.body, "yweather:forecast", "day"), "Wed");
    EXPECT_EQ(attribute(answer.body, "yweather:forecast", "date"), "11 Mar 2026");
}

TEST_F(Service, ASecondAskWithinTheCacheTimeStaysHome)
{
    ASSERT_EQ(ask("/forecastrss?p=02950159&u=c").status, 200);
    clock_seconds += 14 * 60 + 59;
    Answer again = ask("/forecastrss?p=02950159&u=c");
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(upstream(), 1u);
    // Another city is its own entry.
    EXPECT_EQ(ask("/forecastrss?p=01850147&u=c").status, 200);
    EXPECT_EQ(upstream(), 2u);
    clock_seconds += 1;
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 200);
    EXPECT_EQ(upstream(), 3u);
}

TEST_F(Service, AFailureBacksOffDoublingUpToFifteenMinutes)
{
    const int64_t start = clock_seconds;
    reply(JsonReply::week(), 500);
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 502);
    EXPECT_EQ(upstream(), 1u);
    // During the back-off: 502, the provider is left alone, for either unit.
    clock_seconds = start + 29;
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 502);
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=f").status, 502);
    EXPECT_EQ(upstream(), 1u);
    // Other cities are not held back.
    EXPECT_EQ(ask("/forecastrss?p=01850147&u=c").status, 502);
    EXPECT_EQ(upstream(), 2u);

    int64_t failed_at = start;
    for (int64_t backoff : { 30, 60, 120, 240, 480, 900, 900 }) {
        size_t asked = upstream();
        clock_seconds = failed_at + backoff - 1;
        EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 502);
        EXPECT_EQ(upstream(), asked) << "within a back-off of " << backoff << " s";
        clock_seconds = failed_at + backoff;
        EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 502);
        EXPECT_EQ(upstream(), asked + 1) << "after a back-off of " << backoff << " s";
        failed_at += backoff;
    }
    // A success ends the back-off: the next failure waits 30 s again.
    reply(JsonReply::week());
    clock_seconds = failed_at + 900;
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 200);
    reply(JsonReply::week(), 500);
    clock_seconds += 15 * 60;
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 502);
    size_t asked = upstream();
    clock_seconds += 30;
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=c").status, 502);
    EXPECT_EQ(upstream(), asked + 1);
}

TEST_F(Service, BrokenProviderJsonIsA502)
{
    const char* bodies[] = { "", "{", "{\"current\":{}}", "[]", "{\"utc_offset_seconds\":0,\"current\":null}" };
    int64_t step = 0;
    for (const char* body : bodies) {
        Reply r;
        r.body = body;
        provider_server.set_default(r);
        clock_seconds += 1000 + step++; // past any back-off
        Answer answer = ask("/forecastrss?p=02950159&u=c");
        EXPECT_EQ(answer.status, 502) << body;
        EXPECT_NE(answer.body.find("provider"), std::string::npos) << answer.body;
    }
}

TEST_F(Service, ConcurrentAsksShareOneUpstreamRequest)
{
    reply(JsonReply::week(), 200, 400);
    std::vector<std::thread> askers;
    std::atomic<int> answered { 0 };
    for (int i = 0; i < 8; ++i)
        askers.emplace_back([&] {
            if (ask("/forecastrss?p=02950159&u=c").status == 200)
                ++answered;
        });
    for (auto& t : askers)
        t.join();
    EXPECT_EQ(answered.load(), 8);
    EXPECT_EQ(upstream(), 1u);
}

TEST_F(Service, RefusalsNeverReachTheProvider)
{
    EXPECT_EQ(ask("/forecastrss?p=12345678&u=c").status, 404);
    EXPECT_EQ(ask("/forecastrss?p=1234567&u=c").status, 400);
    EXPECT_EQ(ask("/forecastrss?p=%302950159&u=c").status, 400);
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=x").status, 400);
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=x&pad=" + std::string(224, 'a')).status, 400); // 256 bytes: read
    EXPECT_EQ(ask("/forecastrss?p=02950159&u=c&pad=" + std::string(225, 'a')).status, 414);
    EXPECT_EQ(ask("/forecastrss?p=../places.tsv").status, 400);
    EXPECT_EQ(ask("/").status, 404);
    EXPECT_EQ(ask("/forecastrss/../etc/passwd?p=02950159").status, 404);
    EXPECT_EQ(get("http://127.0.0.1:" + std::to_string(server.port()) + "/forecastrss?p=02950159&u=c", "DELETE").status,
        405);
    EXPECT_EQ(upstream(), 0u);
}

TEST_F(Service, OneConnectionCarriesEveryAnswer)
{
    // One handle reuses its connection while the server keeps it open: the answer worked
    // out with the provider, the one from the cache and a refusal all come over the first.
    CURL* curl = curl_easy_init();
    std::string body;
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 10L);
    std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    long connections_made = 0;
    for (const char* target : { "/forecastrss?p=02950159&u=c", "/forecastrss?p=02950159&u=c", "/forecastrss?p=1&u=c",
             "/forecastrss?p=01850147&u=f" }) {
        curl_easy_setopt(curl, CURLOPT_URL, (base + target).c_str());
        ASSERT_EQ(curl_easy_perform(curl), CURLE_OK) << target;
        long made = 0;
        curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &made);
        connections_made += made;
    }
    curl_easy_cleanup(curl);
    EXPECT_EQ(connections_made, 1);
    EXPECT_EQ(upstream(), 2u);
}
