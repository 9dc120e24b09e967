// The options every command answers alike: "--help" prints the usage on standard output
// and ends with 0, "--version" prints the command's name and the system's version, and
// an option the command does not know is named on standard error and ends with 2.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace runtime {

class CommandLine {
public:
    // The usage text is printed as given; it ends with a newline.
    CommandLine(std::string_view program, std::string_view usage);

    // "--help" (or "-h") and "--version": prints the answer and gives the exit code, 0.
    // Any other argument: none, nothing printed.
    std::optional<int> answer(std::string_view argument) const;

    // True for an argument that is written as an option: "-x" or "--x" (not "-" alone,
    // and not a negative number such as "-5").
    static bool is_option(std::string_view argument);

    // "<program>: unknown option <argument>" and a pointer to --help; returns 2.
    int unknown_option(std::string_view argument) const;
    // "<program>: <message>" on standard error; returns 2.
    int fail(std::string_view message) const;
    // The usage on standard error, for a command line without enough arguments; returns 2.
    int usage_error() const;

    const std::string& program() const { return m_program; }

private:
    std::string m_program;
    std::string m_usage;
};

} // namespace runtime
