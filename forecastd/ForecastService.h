// Answers feed requests: the query checked, the city looked up, the forecast taken from
// the cache or fetched from the provider and written as a feed.
//
// Answers are kept per city and unit for the cache time, at most `max_answers` of them:
// beyond that the least recently used goes. At most one provider request
// per city runs at a time; asks for that city meanwhile wait for it and share its
// result. A failed provider request answers 502 and the city is not asked upstream
// again for a back-off that starts at 30 seconds and doubles up to 15 minutes.
#pragma once

#include "forecastd/ForecastQuery.h"
#include "forecastd/PlaceTable.h"
#include "forecastd/Provider.h"
#include "forecastd/Response.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace forecastd {

struct ServiceOptions {
    std::chrono::seconds cache_time { std::chrono::minutes(15) };
    std::chrono::seconds first_backoff { 30 };
    std::chrono::seconds longest_backoff { std::chrono::minutes(15) };
    size_t max_answers { 2000 };
};

class ForecastService {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    ForecastService(const PlaceTable& places, Provider& provider, ServiceOptions options = {},
        Clock now = std::chrono::steady_clock::now);

    // Thread-safe. `target` is the raw request target (path and query as sent). May wait
    // for the provider.
    Response answer(std::string_view method, std::string_view target);
    // The answer when it needs no provider request (a refusal, a cached feed, a back-off),
    // else nothing: then answer() must be asked, off the thread that serves connections.
    std::optional<Response> answer_at_once(std::string_view method, std::string_view target);

    uint64_t upstream_requests() const { return m_upstream.load(); }
    size_t answers_kept();

private:
    struct Cached {
        std::string key;         // code, then "c" or "f"
        std::string feed;
        std::chrono::steady_clock::time_point fetched {};
    };
    struct City {
        std::mutex fetching;     // held while the provider is asked for this city
        std::mutex state;        // guards what follows
        int failures { 0 };
        std::chrono::steady_clock::time_point retry_at {};
    };

    // The query checked and the city found, or the refusal.
    std::optional<Response> refusal(std::string_view method, const ForecastQuery& query, const PlaceInfo*& place);
    // A fresh feed, or the 502 of a back-off; the caller holds the city's state lock.
    std::optional<Response> from_memory(City& city, const std::string& key, std::chrono::steady_clock::time_point now);
    std::optional<std::string> fresh_answer(const std::string& key, std::chrono::steady_clock::time_point now);
    void keep_answer(const std::string& key, const std::string& feed, std::chrono::steady_clock::time_point now);
    std::shared_ptr<City> city(const std::string& code);
    void forget_idle_cities(std::chrono::steady_clock::time_point now);

    const PlaceTable& m_places;
    Provider& m_provider;
    ServiceOptions m_options;
    Clock m_now;
    std::mutex m_cities_lock;
    std::unordered_map<std::string, std::shared_ptr<City>> m_cities;
    std::mutex m_answers_lock;
    std::list<Cached> m_answers; // the most recently used first
    std::unordered_map<std::string, std::list<Cached>::iterator> m_answer_index;
    std::atomic<uint64_t> m_upstream { 0 };
};

} // namespace forecastd
