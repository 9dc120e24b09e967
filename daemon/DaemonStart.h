// How the application asks for a forecast: post the city code on the request queue and
// start the daemon, which serves every request it finds there.
#pragma once

#include <string_view>

namespace ombrelo {

// Starts "%app_path%/Ombrelo.exe" with no command line, without waiting for it.
bool start_daemon();

// Writes the request and, when that worked, starts the daemon; true when both worked.
bool request_forecast(std::u16string_view code);

} // namespace ombrelo
