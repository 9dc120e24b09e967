#include "daemon/WLoader.h"
#include "daemon/CityCode.h"
#include "daemon/DaemonMessages.h"
#include "daemon/DateTimeText.h"
#include "daemon/ForecastCache.h"
#include "daemon/ForecastServer.h"
#include "daemon/WeatherSettings.h"
#include "daemon/YahooFeed.h"
#include "daemon/HTTPRequestImpl.h"

#include "runtime/FileStream.h"
#include "runtime/Log.h"
#include "runtime/XmlDocument.h"

#include "platform/Clock.h"
#include "platform/MessageQueue.h"

#include <cstdlib>
#include <string>

namespace ombrelo {

using runtime::get_log;

namespace {

// The outcome of a failed download as the status file names it.
std::string failure_status(const HTTPRequest& request)
{
    int code = request.status_code();
    if (request.body_refused())
        return "bad-feed";
    if (code == 404)
        return "unknown-city";
    if (code != 0 && (code < 200 || code > 299))
        return "http " + std::to_string(code);
    return "unreachable";
}

// Seconds a download may take in all: NALO_DOWNLOAD_DEADLINE when it holds a positive
// number (tests, very slow links), else the engine's minute.
double download_deadline()
{
    const char* text = std::getenv("NALO_DOWNLOAD_DEADLINE");
    char* end = nullptr;
    double seconds = text ? std::strtod(text, &end) : 0;
    if (text && end != text && *end == '\0' && seconds > 0 && seconds <= 3600)
        return seconds;
    return HTTPRequestImpl::default_overall_deadline;
}

} // namespace

WLoader::WLoader()
{
    get_log() << u"Wloader constructor\n";
}

WLoader::~WLoader()
{
    std::list<std::unique_ptr<CityRequest>> pending;
    {
        std::lock_guard guard(m_lock);
        pending.swap(m_pending);
    }
    pending.clear();
}

bool WLoader::get_weather(std::u16string_view code)
{
    get_log() << u"WLoader::get_weather city_code = " << code << u"\n";
    if (!is_valid_city_code(code)) {
        get_log() << u"WLoader::get_weather refused a request without a valid city code\n";
        std::lock_guard guard(m_lock);
        if (m_pending.empty())
            post_done();
        return false;
    }
    if (get_weather_local(code)) {
        // No download follows, so no completion would end the daemon.
        std::lock_guard guard(m_lock);
        if (m_pending.empty())
            post_done();
        return true;
    }
    get_weather_http(code);
    return false;
}

bool WLoader::get_weather_local(std::u16string_view code)
{
    uint32_t update_time = read_update_time();
    get_log() << u"WLoader::get_weather_local city_code = " << code << u"\n";
    runtime::FileStream stream(cache_file_path(code), runtime::FileStream::Mode::read);
    runtime::XmlDocument document;
    if (stream.is_open() && stream.size() > largest_cache_file)
        get_log() << u"WLoader::get_weather_local cache file over " << int32_t(largest_cache_file)
                  << u" bytes not read\n";
    else
        document = runtime::XmlDocument::load(stream);
    if (document) {
        int64_t date = 0;
        runtime::XmlNode create = runtime::first_child_named(document.document(), u"Create");
        std::u16string text;
        if (create && runtime::get_attribute(create, u"date", text))
            date = read_date_time_text(text).value_or(0);
        int32_t age = minutes_between(date, platform::local_now());
        if (age < int32_t(update_time)) {
            get_log() << u"WLoader::get_weather_local city_code = " << code << u" return true\n";
            return true;
        }
    }
    get_log() << u"WLoader::get_weather_local city_code = " << code << u" return false\n";
    return false;
}

void WLoader::get_weather_http(std::u16string_view code)
{
    std::lock_guard guard(m_lock);
    get_log() << u"WLoader::get_weather_http city_code = " << code << u"\n";
    for (const auto& request : m_pending)
        if (request->city_code() == code) {
            get_log() << u"Attention! Doubled request for " << code << u"\n";
            return;
        }
    std::u16string url = forecast_url(code);
    m_pending.push_back(std::make_unique<CityRequest>(code, url, *this));
    CityRequest& request = *m_pending.back();
    request.set_overall_deadline(download_deadline());
    get_log() << u"Start request for " << code << u"\n";
    runtime::Log& log = get_log();
    log << u"HTTP string = " << url << u"\n";
    runtime::flush(log);
    request.send_request(ByteBuffer());
}

size_t WLoader::pending_count()
{
    std::lock_guard guard(m_lock);
    return m_pending.size();
}

size_t WLoader::failed_count()
{
    std::lock_guard guard(m_lock);
    return m_failed;
}

void WLoader::on_status(HTTPRequest&, double, std::u16string_view)
{
}

void WLoader::on_failed(HTTPRequest& request)
{
    get_log() << u"on http failed\n";
    std::u16string code;
    {
        std::lock_guard guard(m_lock);
        ++m_failed;
        auto it = find(request);
        if (it != m_pending.end())
            code = (*it)->city_code();
    }
    if (!code.empty())
        save_status(code, failure_status(request));
    finish(request, false);
}

void WLoader::on_success(HTTPRequest& request, const ByteBuffer& body)
{
    get_log() << u"on http success\n";
    ForecastRecord record;
    {
        std::lock_guard guard(m_lock);
        auto it = find(request);
        if (it != m_pending.end())
            record.city_code = (*it)->city_code();
    }
    if (!load_from_yahoo(record, body)) {
        // Nothing of a forecast in it: the old cache file stays as it is.
        get_log() << u"WLoader::on_success no forecast in the answer for " << record.city_code
                  << u", the cache file is kept\n";
        {
            std::lock_guard guard(m_lock);
            ++m_failed;
        }
        save_status(record.city_code, "bad-feed");
        finish(request, true);
        return;
    }
    record.date = platform::local_now();
    store_forecast(record);
    save_status(record.city_code, "ok");
    finish(request, true);
}

std::list<std::unique_ptr<CityRequest>>::iterator WLoader::find(const HTTPRequest& request)
{
    for (auto it = m_pending.begin(); it != m_pending.end(); ++it)
        if (it->get() == &request)
            return it;
    return m_pending.end();
}

void WLoader::finish(const HTTPRequest& request, bool log_finished)
{
    std::lock_guard guard(m_lock);
    auto it = find(request);
    if (it == m_pending.end())
        return;
    std::unique_ptr<CityRequest> finished = std::move(*it);
    finished->destroy_machinery();
    if (log_finished)
        get_log() << u"Finished request for " << finished->city_code() << u"\n";
    m_pending.erase(it);
    finished.reset();
    if (m_pending.empty())
        post_done();
}

void WLoader::post_done()
{
    platform::MessageQueue::current().post(platform::Message { 0, message_done, 0, 0 });
}

} // namespace ombrelo
