#include "display/ScreenDescription.h"

#include <charconv>
#include <cstdlib>

namespace display {

namespace {

// A decimal number of the whole text within the range.
std::optional<int> number(std::string_view text, int low, int high)
{
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<ScreenDescription> parse_screen(std::string_view text)
{
    size_t x = text.find('x');
    if (x == std::string_view::npos)
        return std::nullopt;
    size_t at = text.find('@', x);
    auto width = number(text.substr(0, x), 1, 8192);
    auto height = number(text.substr(x + 1, at == std::string_view::npos ? std::string_view::npos : at - x - 1), 1, 8192);
    std::optional<int> dpi = 96;
    if (at != std::string_view::npos)
        dpi = number(text.substr(at + 1), 1, 2000);
    if (!width || !height || !dpi)
        return std::nullopt;
    return ScreenDescription::make(*width, *height, *dpi);
}

ScreenDescription screen_from_environment()
{
    const char* text = std::getenv("NALO_SCREEN");
    if (text && *text) {
        if (auto screen = parse_screen(text))
            return *screen;
    }
    return ScreenDescription::make(240, 320, 96);
}

} // namespace display
