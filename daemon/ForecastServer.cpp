#include "daemon/ForecastServer.h"
#include "daemon/WeatherSettings.h"

#include "runtime/Registry.h"

namespace ombrelo {

std::u16string forecast_server()
{
    std::u16string server(default_server);
    runtime::read_string(weather_key, u"Server", server);
    while (!server.empty() && server.back() == u'/')
        server.pop_back();
    if (server.empty())
        server = default_server;
    if (server.rfind(u"http://", 0) != 0 && server.rfind(u"https://", 0) != 0)
        server = u"http://" + server;
    return server;
}

std::u16string forecast_url(std::u16string_view city_code)
{
    return forecast_server() + u"/forecastrss?p=" + std::u16string(city_code) + u"&u=c";
}

} // namespace ombrelo
