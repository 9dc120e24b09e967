// Ombrelo: the forecast daemon. Its command line is empty (serve the request queue)
// or "top" (bring the `Top` city up to date); "--help" and "--version" answer and end.
// Every other command line serves the queue, as the application's start expects.
#include "daemon/Ombrelo.h"

#include "runtime/CommandLine.h"

#include "platform/TextEncoding.h"

#include <string>

namespace {

const char* usage = "usage:\n"
                    "  Ombrelo          serve the request queue that Weather writes, then end\n"
                    "  Ombrelo top      bring the forecast of the registry's Top city up to date\n"
                    "  Ombrelo --help | --version\n"
                    "Any other command line serves the request queue. The exit status is always 0;\n"
                    "in top mode a failed download is also reported on standard error.\n";

} // namespace

int main(int argc, char** argv)
{
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            command_line += ' ';
        command_line += argv[i];
    }
    if (command_line == "--help" || command_line == "--version")
        return *runtime::CommandLine("Ombrelo", usage).answer(command_line);
    ombrelo::Ombrelo daemon;
    return daemon.run(platform::from_utf8(command_line));
}
