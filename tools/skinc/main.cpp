// skinc SOURCE.xml -o OUTPUT.skin   compiles a skin source and its pictures
// skinc --dump FILE.skin [--dpi N]   lists a compiled skin as the engine loads it
// skinc --render FILE.skin NODE WIDTHxHEIGHT OUT.png [--dpi N]
//                                    draws a named node as a form on a screen of that size
#include "skin/compiler/FrameRender.h"
#include "skin/compiler/SkinCompiler.h"
#include "skin/compiler/SkinDump.h"

#include "skin/file/PropertiesImpl.h"

#include "platform/TextEncoding.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int usage()
{
    std::fputs("usage: skinc SOURCE.xml -o OUTPUT.skin\n"
               "       skinc --dump FILE.skin [--dpi N]\n"
               "       skinc --render FILE.skin NODE WIDTHxHEIGHT OUT.png [--dpi N]\n",
        stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source, output, dump, render, node, screen, frame;
    int dpi = 96;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--render" && i + 4 < argc) {
            render = argv[++i];
            node = argv[++i];
            screen = argv[++i];
            frame = argv[++i];
        } else if (arg == "-o" && i + 1 < argc)
            output = argv[++i];
        else if (arg == "--dump" && i + 1 < argc)
            dump = argv[++i];
        else if (arg == "--dpi" && i + 1 < argc)
            dpi = std::atoi(argv[++i]);
        else if (!arg.empty() && arg[0] != '-' && source.empty())
            source = arg;
        else
            return usage();
    }
    if (!render.empty()) {
        int width = 0, height = 0;
        char rest = 0;
        if (std::sscanf(screen.c_str(), "%dx%d%c", &width, &height, &rest) != 2 || width <= 0 || height <= 0)
            return usage();
        std::string error;
        if (!skinc::render_frame(render, node, width, height, dpi, frame, error)) {
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
    if (source.empty() || output.empty())
        return usage();
    std::string error;
    if (!skinc::compile_skin(source, output, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
