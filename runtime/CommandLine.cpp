#include "runtime/CommandLine.h"
#include "runtime/Version.h"

#include <cstdio>

namespace runtime {

namespace {

void put(std::FILE* to, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), to);
}

} // namespace

CommandLine::CommandLine(std::string_view program, std::string_view usage)
    : m_program(program)
    , m_usage(usage)
{
}

std::optional<int> CommandLine::answer(std::string_view argument) const
{
    if (argument == "--help" || argument == "-h") {
        put(stdout, m_usage);
        std::fflush(stdout);
        return 0;
    }
    if (argument == "--version") {
        std::printf("%s %.*s\n", m_program.c_str(), int(project_version().size()), project_version().data());
        std::fflush(stdout);
        return 0;
    }
    return std::nullopt;
}

bool CommandLine::is_option(std::string_view argument)
{
    if (argument.size() < 2 || argument[0] != '-')
        return false;
    return !(argument[1] >= '0' && argument[1] <= '9');
}

int CommandLine::unknown_option(std::string_view argument) const
{
    std::fprintf(stderr, "%s: unknown option %.*s (see %s --help)\n", m_program.c_str(), int(argument.size()),
        argument.data(), m_program.c_str());
    return 2;
}

int CommandLine::fail(std::string_view message) const
{
    std::fprintf(stderr, "%s: %.*s\n", m_program.c_str(), int(message.size()), message.data());
    return 2;
}

int CommandLine::usage_error() const
{
    put(stderr, m_usage);
    return 2;
}

} // namespace runtime
