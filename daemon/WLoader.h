// The daemon's forecast loader: tests a city's cache, starts its download unless one
// is pending, converts and stores each answer, and posts the done notice when nothing
// is pending any more.
#pragma once

#include "daemon/CityRequest.h"
#include "daemon/HTTPRequestListener.h"

#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace ombrelo {

class WLoader final : public HTTPRequestListener {
public:
    WLoader();
    ~WLoader() override;
    WLoader(const WLoader&) = delete;
    WLoader& operator=(const WLoader&) = delete;

    // True when the cache was fresh and nothing was started.
    bool get_weather(std::u16string_view code);
    bool get_weather_local(std::u16string_view code);
    void get_weather_http(std::u16string_view code);

    size_t pending_count();
    // Downloads that ended in failure since construction.
    size_t failed_count();

    void on_status(HTTPRequest& request, double progress, std::u16string_view message) override;
    void on_failed(HTTPRequest& request) override;
    void on_success(HTTPRequest& request, const ByteBuffer& body) override;

private:
    std::list<std::unique_ptr<CityRequest>>::iterator find(const HTTPRequest& request);
    // Removes the request (stopping its download) and posts the done notice when the
    // list has become empty.
    void finish(const HTTPRequest& request, bool log_finished);
    void post_done();

    std::recursive_mutex m_lock;
    std::list<std::unique_ptr<CityRequest>> m_pending;
    size_t m_failed { 0 };
};

} // namespace ombrelo
