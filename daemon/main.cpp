// Ombrelo: the forecast daemon. Its command line is empty (serve the request queue)
// or "top" (bring the `Top` city up to date).
#include "daemon/Ombrelo.h"

#include "platform/TextEncoding.h"

#include <string>

int main(int argc, char** argv)
{
    std::string command_line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            command_line += ' ';
        command_line += argv[i];
    }
    ombrelo::Ombrelo daemon;
    return daemon.run(platform::from_utf8(command_line));
}
