// Helpers shared by the test binaries: scratch folders, child processes, file bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace test_support {

// A fresh empty folder under the test binary's temp folder.
std::string scratch_folder(const std::string& name);

std::vector<uint8_t> read_bytes(const std::string& path);
void write_bytes(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);

struct ChildResult {
    bool exited { false };
    int exit_code { -1 };
};
// Runs the function in a forked child and waits for it; the child ends with _exit(0)
// when the function returns.
ChildResult run_in_child(const std::function<void()>& body);

// Runs a shell command and returns its exit status and standard output.
struct CommandResult {
    int exit_code { -1 };
    std::string output;
};
CommandResult run_command(const std::string& command);

// The text of a UTF-16LE file with its byte-order mark, as UTF-8.
std::string read_utf16_file(const std::string& path);

} // namespace test_support
