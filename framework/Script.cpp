#include "framework/Script.h"

#include "framework/OutsideText.h"
#include "framework/VirtualKeys.h"

#include "platform/TextEncoding.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace framework {

namespace {

constexpr double longest_wait = 24 * 3600;
constexpr int coordinate_limit = 100000;

std::vector<std::string_view> words(std::string_view text)
{
    std::vector<std::string_view> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
        size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t')
            ++i;
        if (i > start)
            out.push_back(text.substr(start, i - start));
    }
    return out;
}

std::optional<int> coordinate(std::string_view text)
{
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < -coordinate_limit || value > coordinate_limit)
        return std::nullopt;
    return value;
}

// Digits with an optional fraction after ".".
std::optional<double> seconds(std::string_view text)
{
    size_t dot = text.find('.');
    std::string_view whole = text.substr(0, dot);
    std::string_view fraction = dot == std::string_view::npos ? std::string_view {} : text.substr(dot + 1);
    auto digits = [](std::string_view s) { return s.find_first_not_of("0123456789") == std::string_view::npos; };
    if (text.empty() || !digits(whole) || !digits(fraction) || (whole.empty() && fraction.empty()) || whole.size() > 9)
        return std::nullopt;
    double value = 0;
    for (char c : whole)
        value = value * 10 + (c - '0');
    double scale = 0.1;
    for (char c : fraction.substr(0, 9)) {
        value += (c - '0') * scale;
        scale /= 10;
    }
    if (value > longest_wait)
        return std::nullopt;
    return value;
}

std::string trimmed(std::string_view text)
{
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return {};
    size_t end = text.find_last_not_of(" \t");
    return std::string(text.substr(start, end - start + 1));
}

// One command from one line; false with the reason.
bool parse_line(std::string_view line, ScriptCommand& command, std::string& error)
{
    std::vector<std::string_view> w = words(line);
    std::string_view name = w[0];
    auto want = [&](size_t count) {
        if (w.size() == count + 1)
            return true;
        error = std::string(name) + " takes " + std::to_string(count) + (count == 1 ? " argument" : " arguments");
        return false;
    };
    auto key_of = [&](std::string_view key_name) {
        command.virtual_key = virtual_key_of_name(platform::from_utf8(key_name));
        if (command.virtual_key == 0)
            error = "no key is named \"" + std::string(key_name) + "\"";
        return command.virtual_key != 0;
    };
    using Kind = ScriptCommand::Kind;
    if (name == "wait") {
        command.kind = Kind::wait;
        if (!want(1))
            return false;
        auto s = seconds(w[1]);
        if (!s)
            error = "wait needs seconds from 0 to 86400, not \"" + std::string(w[1]) + "\"";
        command.seconds = s.value_or(0);
        return s.has_value();
    }
    if (name == "key" || name == "keydown" || name == "keyup") {
        command.kind = name == "key" ? Kind::key : name == "keydown" ? Kind::keydown : Kind::keyup;
        return want(1) && key_of(w[1]);
    }
    if (name == "tap" || name == "drag") {
        command.kind = name == "tap" ? Kind::tap : Kind::drag;
        if (!want(name == "tap" ? 2 : 5))
            return false;
        std::optional<int> values[4];
        for (size_t i = 0; i + 1 < w.size() && i < 4; ++i) {
            values[i] = coordinate(w[i + 1]);
            if (!values[i]) {
                error.assign("\"").append(w[i + 1]).append("\" is not a coordinate");
                return false;
            }
        }
        command.from = { *values[0], *values[1] };
        if (command.kind == Kind::tap)
            return true;
        command.to = { *values[2], *values[3] };
        auto s = seconds(w[5]);
        if (!s)
            error = "drag needs seconds from 0 to 86400, not \"" + std::string(w[5]) + "\"";
        command.seconds = s.value_or(0);
        return s.has_value();
    }
    if (name == "text") {
        command.kind = Kind::text;
        size_t start = line.find("text") + 4;
        // One blank separates the command from the text, which is typed as it stands.
        if (start < line.size())
            ++start;
        command.text = platform::from_utf8(line.substr(std::min(start, line.size())));
        return true;
    }
    if (name == "shot") {
        command.kind = Kind::shot;
        size_t start = line.find("shot") + 4;
        command.file = trimmed(line.substr(start));
        if (command.file.empty())
            error = "shot needs a file name";
        return !command.file.empty();
    }
    if (name == "quit") {
        command.kind = Kind::quit;
        return want(0);
    }
    error = "unknown command \"" + std::string(name) + "\"";
    return false;
}

} // namespace

std::optional<std::vector<ScriptCommand>> Script::parse(std::string_view text, std::string& error)
{
    if (text.size() > max_size) {
        error = "the script is longer than " + std::to_string(max_size) + " bytes";
        return std::nullopt;
    }
    std::vector<ScriptCommand> commands;
    int number = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string reason;
        if (line.size() > max_line)
            reason = "the line is longer than " + std::to_string(max_line) + " bytes";
        else if (!is_valid_utf8(line))
            reason = "the line is not valid UTF-8";
        if (reason.empty()) {
            std::string_view content = line.substr(std::min(line.size(), line.find_first_not_of(" \t")));
            if (content.empty() || content.front() == '#')
                continue;
            ScriptCommand command;
            command.line = number;
            if (parse_line(content, command, reason)) {
                commands.push_back(std::move(command));
                continue;
            }
        }
        error = "line " + std::to_string(number) + ": " + reason;
        return std::nullopt;
    }
    return commands;
}

std::optional<std::vector<ScriptCommand>> Script::load(const std::string& path, std::string& error)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot read the script";
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        text.append(buffer, size_t(file.gcount()));
        if (text.size() > max_size) {
            error = "the script is longer than " + std::to_string(max_size) + " bytes";
            return std::nullopt;
        }
    }
    return parse(text, error);
}

} // namespace framework
