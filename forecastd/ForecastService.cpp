#include "forecastd/ForecastService.h"
#include "forecastd/FeedWriter.h"
#include "forecastd/ForecastQuery.h"

#include <algorithm>
#include <cstdio>

namespace forecastd {

namespace {

using namespace std::chrono;

// Beyond this many cities in memory, those with nothing fresh to keep are let go.
constexpr size_t cities_kept = 4096;

Response plain(int status, const std::string& text)
{
    Response response;
    response.status = status;
    response.body = text + "\n";
    return response;
}

Response feed(const std::string& body)
{
    Response response;
    response.content_type = "text/xml; charset=UTF-8";
    response.body = body;
    return response;
}

} // namespace

ForecastService::ForecastService(const PlaceTable& places, Provider& provider, ServiceOptions options, Clock now)
    : m_places(places)
    , m_provider(provider)
    , m_options(options)
    , m_now(std::move(now))
{
}

static std::string answer_key(const ForecastQuery& query)
{
    return query.code + (query.fahrenheit ? "f" : "c");
}

std::optional<std::string> ForecastService::fresh_answer(const std::string& key, steady_clock::time_point now)
{
    std::lock_guard lock(m_answers_lock);
    auto found = m_answer_index.find(key);
    if (found == m_answer_index.end() || now - found->second->fetched >= m_options.cache_time)
        return std::nullopt;
    m_answers.splice(m_answers.begin(), m_answers, found->second);
    return found->second->feed;
}

void ForecastService::keep_answer(const std::string& key, const std::string& feed, steady_clock::time_point now)
{
    if (m_options.max_answers == 0 || m_options.cache_time.count() == 0)
        return;
    std::lock_guard lock(m_answers_lock);
    if (auto found = m_answer_index.find(key); found != m_answer_index.end()) {
        found->second->feed = feed;
        found->second->fetched = now;
        m_answers.splice(m_answers.begin(), m_answers, found->second);
        return;
    }
    m_answers.push_front({ key, feed, now });
    m_answer_index[key] = m_answers.begin();
    while (m_answers.size() > m_options.max_answers) {
        m_answer_index.erase(m_answers.back().key);
        m_answers.pop_back();
    }
}

size_t ForecastService::answers_kept()
{
    std::lock_guard lock(m_answers_lock);
    return m_answers.size();
}

std::shared_ptr<ForecastService::City> ForecastService::city(const std::string& code)
{
    std::lock_guard lock(m_cities_lock);
    auto& slot = m_cities[code];
    if (!slot)
        slot = std::make_shared<City>();
    return slot;
}

void ForecastService::forget_idle_cities(steady_clock::time_point now)
{
    std::lock_guard lock(m_cities_lock);
    if (m_cities.size() <= cities_kept)
        return;
    std::erase_if(m_cities, [&](auto& entry) {
        // A city someone is asking for right now is held by them as well.
        if (entry.second.use_count() > 1)
            return false;
        std::lock_guard state(entry.second->state);
        return now >= entry.second->retry_at;
    });
}

std::optional<Response> ForecastService::refusal(std::string_view method, const ForecastQuery& query,
    const PlaceInfo*& place)
{
    if (method != "GET" && method != "HEAD")
        return plain(405, "Only GET is answered");
    if (query.status == 404)
        return plain(404, "Not found");
    if (query.status != 200)
        return plain(400, "Bad request: ask /forecastrss?p=CODE&u=c or u=f, CODE being 8 digits");
    place = m_places.find(query.code);
    if (!place)
        return plain(404, "Unknown city code " + query.code);
    return std::nullopt;
}

std::optional<Response> ForecastService::from_memory(City& entry, const std::string& key, steady_clock::time_point now)
{
    if (std::optional<std::string> kept = fresh_answer(key, now))
        return feed(*kept);
    if (now < entry.retry_at)
        return plain(502, "The forecast provider failed for this city; it is asked again in "
                + std::to_string(duration_cast<seconds>(entry.retry_at - now).count() + 1) + " s");
    return std::nullopt;
}

std::optional<Response> ForecastService::answer_at_once(std::string_view method, std::string_view target)
{
    ForecastQuery query = parse_forecast_query(target);
    const PlaceInfo* place = nullptr;
    if (auto refused = refusal(method, query, place))
        return refused;
    // A fresh answer needs no city entry.
    const std::string key = answer_key(query);
    steady_clock::time_point now = m_now();
    if (std::optional<std::string> kept = fresh_answer(key, now))
        return feed(*kept);
    std::shared_ptr<City> entry = city(query.code);
    std::lock_guard state(entry->state);
    return from_memory(*entry, key, now);
}

Response ForecastService::answer(std::string_view method, std::string_view target)
{
    ForecastQuery query = parse_forecast_query(target);
    const PlaceInfo* place = nullptr;
    if (auto refused = refusal(method, query, place))
        return *refused;
    const std::string key = answer_key(query);
    if (std::optional<std::string> kept = fresh_answer(key, m_now()))
        return feed(*kept);
    std::shared_ptr<City> entry = city(query.code);
    // One provider request per city at a time; those who waited find its result.
    std::lock_guard fetching(entry->fetching);
    {
        std::lock_guard state(entry->state);
        if (auto known = from_memory(*entry, key, m_now()))
            return *known;
    }
    ++m_upstream;
    FetchResult result = m_provider.fetch(*place, query.fahrenheit);
    steady_clock::time_point now = m_now();
    std::string body;
    if (result.ok)
        body = write_feed(*place, result.forecast, { query.fahrenheit, m_provider.sample() });
    {
        std::lock_guard state(entry->state);
        if (!result.ok) {
            auto backoff = std::min(m_options.longest_backoff, m_options.first_backoff * (1 << std::min(entry->failures, 20)));
            entry->failures = std::min(entry->failures + 1, 30);
            entry->retry_at = now + backoff;
            std::fprintf(stderr, "forecastd: %s (%s): %s; not asked again for %lld s\n", place->code.c_str(),
                place->name.c_str(), result.error.c_str(), static_cast<long long>(backoff.count()));
        } else {
            entry->failures = 0;
            entry->retry_at = {};
        }
    }
    if (result.ok)
        keep_answer(key, body, now);
    forget_idle_cities(now);
    if (!result.ok)
        return plain(502, "The forecast provider failed: " + result.error);
    return feed(body);
}

} // namespace forecastd
