#include "app/DownloadStatus.h"
#include "app/CityRecord.h"

#include "runtime/FileStream.h"
#include "runtime/Paths.h"

#include <charconv>

namespace weather {

namespace {

constexpr size_t status_limit = 64;

} // namespace

std::u16string_view DownloadStatus::message_key() const
{
    switch (outcome) {
    case Outcome::unreachable:
        return u"Status_unreachable";
    case Outcome::http_error:
        return u"Status_http";
    case Outcome::unknown_city:
        return u"Status_unknown_city";
    case Outcome::bad_feed:
        return u"Status_bad_feed";
    default:
        return {};
    }
}

DownloadStatus parse_download_status(std::string_view text)
{
    DownloadStatus status;
    text = text.substr(0, std::min(text.size(), status_limit));
    text = text.substr(0, text.find('\n'));
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    std::string_view word = text.substr(0, text.find(' '));
    std::string_view rest = word.size() < text.size() ? text.substr(word.size() + 1) : std::string_view();
    if (word == "ok") {
        status.outcome = DownloadStatus::Outcome::ok;
    } else if (word == "unreachable") {
        status.outcome = DownloadStatus::Outcome::unreachable;
    } else if (word == "unknown-city") {
        status.outcome = DownloadStatus::Outcome::unknown_city;
    } else if (word == "bad-feed") {
        status.outcome = DownloadStatus::Outcome::bad_feed;
    } else if (word == "http") {
        int32_t number = 0;
        auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
        if (error == std::errc() && end != rest.data() && number >= 100 && number <= 999) {
            status.outcome = DownloadStatus::Outcome::http_error;
            status.http_status = number;
        }
    }
    return status;
}

DownloadStatus read_download_status(std::u16string_view code)
{
    std::u16string path = status_file_path(code);
    runtime::FileInfo info = runtime::read_directory_entry(path);
    if (!info.exists() || (info.attributes & 0x10) != 0)
        return {};
    runtime::FileStream file(path, runtime::FileStream::Mode::read);
    if (!file.is_open())
        return {};
    char bytes[status_limit];
    size_t size = file.read(bytes, sizeof bytes);
    DownloadStatus status = parse_download_status(std::string_view(bytes, size));
    status.time = info.last_write_time;
    return status;
}

} // namespace weather
