// The outcome of the daemon's last download attempt for a city, which it leaves in
// "%app_path%//downloads//_" + code + ".status": one line of ASCII, its first word "ok",
// "unreachable", "http" (followed by the service's status number), "unknown-city" or
// "bad-feed". The attempt's time is the file's last-write time. Only the first 64 bytes
// are read; anything else in them counts as no status.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace weather {

struct DownloadStatus {
    enum class Outcome { none, ok, unreachable, http_error, unknown_city, bad_feed };
    Outcome outcome { Outcome::none };
    int32_t http_status { 0 };  // with http_error
    int64_t time { 0 };         // the file's last-write time, local count

    bool failed() const { return outcome != Outcome::none && outcome != Outcome::ok; }
    // The language key of the page's line for a failed attempt, empty otherwise; its
    // "%1" stands for the status number.
    std::u16string_view message_key() const;
};

DownloadStatus parse_download_status(std::string_view text);
DownloadStatus read_download_status(std::u16string_view code);

} // namespace weather
