// forecastd: the forecast service that the Ombrelo daemon asks, on loopback.
#include "forecastd/ForecastService.h"
#include "forecastd/HttpServer.h"
#include "forecastd/OfflineProvider.h"
#include "forecastd/OpenMeteoProvider.h"
#include "forecastd/Options.h"
#include "forecastd/SocketActivation.h"

#include <curl/curl.h>

#include <csignal>
#include <malloc.h>
#include <cstdio>
#include <filesystem>
#include <algorithm>
#include <memory>
#include <thread>

using namespace forecastd;

namespace {

std::string beside_program(const char* name)
{
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::path(".") : self.parent_path()) / name;
}

} // namespace

int main(int argc, char** argv)
{
#ifdef M_ARENA_MAX
    // Each provider request runs on a thread of its own. With a heap per thread, the kept
    // answers spread over many heaps and room freed in one is not reused by another, so
    // the process would keep growing although the answers kept are bounded.
    mallopt(M_ARENA_MAX, 1);
#endif
    Options options;
    if (std::optional<int> done = parse_options(std::vector<std::string>(argv + 1, argv + argc), options))
        return *done;
    std::string error;
    // Started by forecastd.socket: systemd listens, and this process takes its socket.
    std::vector<int> handed;
    if (!take_listen_sockets(handed, error) || handed.size() > 1
        || (handed.size() == 1 && !is_listening_stream(handed[0]))) {
        std::fprintf(stderr, "forecastd: %s\n",
            error.empty() ? "systemd must hand over one listening stream socket" : error.c_str());
        return 1;
    }

    PlaceTable places;
    std::string places_file = options.places.empty() ? beside_program("places.tsv") : options.places;
    if (!places.load(places_file, error)) {
        std::fprintf(stderr, "forecastd: %s\n", error.c_str());
        return 1;
    }

    // Without replies every answer would be a 502: better not to start at all.
    if (!options.offline.empty() && !OfflineProvider::holds_replies(options.offline, error)) {
        std::fprintf(stderr, "forecastd: %s\n", error.c_str());
        return 1;
    }

    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::unique_ptr<Provider> provider;
    if (!options.offline.empty())
        provider = std::make_unique<OfflineProvider>(options.offline);
    else
        provider = std::make_unique<OpenMeteoProvider>(options.provider.empty() ? default_provider_url : options.provider);

    ServiceOptions service_options;
    service_options.cache_time = std::chrono::minutes(options.cache_minutes);
    ForecastService service(places, *provider, service_options);
    HttpServer server([&](std::string_view method, std::string_view target) { return service.answer(method, target); },
        [&](std::string_view method, std::string_view target) { return service.answer_at_once(method, target); });

    // The signals that end the service are taken by this thread alone.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGINT);
    sigaddset(&ending, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (!handed.empty())
        server.use_listening_socket(handed[0]);
    if (!server.start(options.host, options.port, error, std::max(2u, std::thread::hardware_concurrency()))) {
        std::fprintf(stderr, "forecastd: %s\n", error.c_str());
        return 1;
    }
    std::string where = handed.empty() ? options.host + ":" + std::to_string(server.port())
                                       : socket_address(handed[0]) + ", the socket systemd handed over";
    std::printf("forecastd: %zu places, answers from %s%s, listening on %s\n", places.size(),
        provider->describe().c_str(), provider->sample() ? " (sample data)" : "", where.c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&ending, &signal);
    server.stop();
    std::printf("forecastd: stopped after %llu provider requests\n",
        static_cast<unsigned long long>(service.upstream_requests()));
    curl_global_cleanup();
    return 0;
}
