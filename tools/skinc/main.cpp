// skinc SOURCE.xml -o OUTPUT.skin   compiles a skin source and its pictures
// skinc --dump FILE.skin [--dpi N]   lists a compiled skin as the engine loads it
// skinc --render FILE.skin NODE WIDTHxHEIGHT OUT.png [--dpi N]
//                                    draws a named node as a form on a screen of that size
#include "skin/compiler/FrameRender.h"
#include "skin/compiler/SkinCompiler.h"
#include "skin/compiler/SkinDump.h"

#include "skin/file/PropertiesImpl.h"

#include "platform/TextEncoding.h"
#include "runtime/CommandLine.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

constexpr int max_dpi = 2000;

const char* const usage =
    "usage: skinc SOURCE.xml -o OUTPUT.skin\n"
    "       skinc --dump FILE.skin [--dpi N]\n"
    "       skinc --render FILE.skin NODE WIDTHxHEIGHT OUT.png [--dpi N]\n"
    "       skinc --help | --version\n"
    "Compiles a skin source and its PNG pictures into a skin file (the output's folder is\n"
    "made when missing), lists a compiled skin as the engine loads it, or draws a named\n"
    "node as a form on a screen of WIDTHxHEIGHT pixels (1 to 8192 each) into a PNG.\n"
    "--dpi N is the screen's dots per inch, 1 to 2000 (default 96): above 191 doubles\n"
    "every point and font size, above 383 quadruples them.\n"
    "Exit status: 0 done, 1 the source or skin is bad or a file cannot be written,\n"
    "2 bad arguments.\n";

const runtime::CommandLine command_line("skinc", usage);

// Decimal digits only, from low to high; false for anything else.
bool read_number(std::string_view text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    int result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
    }
    if (result < low || result > high)
        return false;
    value = result;
    return true;
}

// "WIDTHxHEIGHT"; an empty text when it is good, else the complaint.
std::string read_screen(std::string_view text, int& width, int& height)
{
    size_t x = text.find('x');
    std::string_view w = text.substr(0, x), h = x == std::string_view::npos ? "" : text.substr(x + 1);
    auto digits = [](std::string_view part) {
        return !part.empty() && part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (!digits(w) || !digits(h))
        return "the screen size is WIDTHxHEIGHT in pixels, not '" + std::string(text) + "'";
    const std::string limit = std::to_string(skinc::max_frame_side);
    if (!read_number(w, 1, skinc::max_frame_side, width) || !read_number(h, 1, skinc::max_frame_side, height))
        return "the screen size " + std::string(text) + " is outside 1 to " + limit + " pixels each way";
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    std::string source, output, dump, render, node, screen, frame;
    int dpi = 96;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (std::optional<int> answered = command_line.answer(arg))
            return *answered;
        int left = argc - 1 - i;
        if (arg == "--render") {
            if (left < 4)
                return command_line.fail("--render takes FILE.skin NODE WIDTHxHEIGHT OUT.png");
            render = argv[++i];
            node = argv[++i];
            screen = argv[++i];
            frame = argv[++i];
        } else if (arg == "-o" || arg == "--dump" || arg == "--dpi") {
            if (left < 1)
                return command_line.fail(std::string(arg) + " needs a value");
            std::string_view value = argv[++i];
            if (arg == "-o")
                output = value;
            else if (arg == "--dump")
                dump = value;
            else if (!read_number(value, 1, max_dpi, dpi))
                return command_line.fail("--dpi takes a whole number from 1 to " + std::to_string(max_dpi) + ", not '"
                    + std::string(value) + "'");
        } else if (runtime::CommandLine::is_option(arg)) {
            return command_line.unknown_option(arg);
        } else if (!source.empty()) {
            return command_line.fail("one source at a time, not also " + std::string(arg));
        } else {
            source = arg;
        }
    }
    if (int(!render.empty()) + int(!dump.empty()) + int(!source.empty() || !output.empty()) > 1)
        return command_line.fail("compile, --dump and --render are separate runs");
    if (!render.empty()) {
        int width = 0, height = 0;
        if (std::string wrong = read_screen(screen, width, height); !wrong.empty())
            return command_line.fail(wrong);
        std::string error;
        std::vector<std::string> notes;
        bool drawn = skinc::render_frame(render, node, width, height, dpi, frame, error, &notes);
        for (const std::string& note : notes)
            std::fprintf(stderr, "skinc: %s\n", note.c_str());
        if (!drawn) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (!dump.empty()) {
        skinc::use_description_fonts();
        skin::PropertiesImpl properties;
        if (!properties.load_skin(platform::from_utf8(dump), skin::ScreenInfo::make(240, 320, dpi))) {
            std::fprintf(stderr, "%s: the skin does not load\n", dump.c_str());
            return 1;
        }
        std::fputs(skinc::dump_skin(properties).c_str(), stdout);
        return 0;
    }
    if (source.empty() && output.empty())
        return command_line.usage_error();
    if (source.empty() || output.empty())
        return command_line.fail(source.empty() ? "no source given" : "no output given: -o OUTPUT.skin");
    std::string error;
    if (!skinc::compile_skin(source, output, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
