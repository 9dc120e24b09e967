// forecastd started on a free loopback port with the given options (its port read from
// its first line), stopped when the object goes.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace test_support {

class RunningForecastd {
public:
    RunningForecastd(const std::string& program, std::vector<std::string> args);
    ~RunningForecastd();
    RunningForecastd(const RunningForecastd&) = delete;
    RunningForecastd& operator=(const RunningForecastd&) = delete;

    int port() const { return m_port; }
    // "127.0.0.1:PORT", the registry's Server value for it.
    std::string address() const { return "127.0.0.1:" + std::to_string(m_port); }
    const std::string& banner() const { return m_banner; }

private:
    pid_t m_pid { -1 };
    int m_port { 0 };
    std::string m_banner;
};

} // namespace test_support
