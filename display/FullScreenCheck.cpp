#include "display/FullScreenCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace display {

namespace {

bool set(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

} // namespace

std::optional<std::string> full_screen_refusal(const std::string& dri)
{
    if (set("DISPLAY") || set("WAYLAND_DISPLAY"))
        return std::nullopt;
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && *driver && strcasecmp(driver, "kmsdrm") != 0)
        return std::nullopt;

    std::vector<std::string> cards;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dri, ec))
        if (entry.path().filename().string().rfind("card", 0) == 0)
            cards.push_back(entry.path().string());
    std::sort(cards.begin(), cards.end());
    std::string tried;
    for (const auto& card : cards) {
        int fd = open(card.c_str(), O_RDWR | O_CLOEXEC);
        if (fd >= 0) {
            close(fd);
            return std::nullopt;
        }
        tried += (tried.empty() ? "" : ", ") + card + ": " + std::strerror(errno);
    }
    std::string line = "NALO_FULLSCREEN=1 without X or Wayland needs a DRM device for SDL's KMSDRM driver; ";
    if (cards.empty())
        return line + "there is none in " + dri + " (no " + dri + "/card*)";
    return line + "none could be opened (" + tried + ")";
}

void refuse_full_screen(const std::string& line)
{
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line.c_str());
    std::exit(1);
}

} // namespace display
