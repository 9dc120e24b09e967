// Starting other programs, detached: the caller never waits and no zombie is left.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The host program for a native program path: "x.exe" stands for "x" when no file
// "x.exe" exists (Linux programs carry no extension).
std::string host_program(std::u16string_view native_path);

// Splits a command line into arguments at white space; double quotes group.
std::vector<std::string> split_command_line(std::u16string_view parameters);

// True while a process with that id exists.
bool process_exists(int pid);

// Starts the program with the arguments; true when it was started.
bool start_detached(const std::string& program, const std::vector<std::string>& arguments);
// Starts the program with the arguments (argv[0] is the program), the signal mask cleared
// and every signal at its default, as a program started from a shell expects; `quiet`
// sends its output to /dev/null, `search` looks the program up on PATH. The child's pid,
// or -1 when it could not be started.
int spawn_program(const std::string& program, const std::vector<std::string>& arguments, bool quiet, bool search);

} // namespace platform
