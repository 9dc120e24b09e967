#include "support/TestSupport.h"

#include "platform/TextEncoding.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

std::string scratch_folder(const std::string& name)
{
    const char* temp = std::getenv("NALO_TEMP");
    std::filesystem::path folder = std::filesystem::path(temp ? temp : "/tmp") / ("scratch-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

std::vector<uint8_t> read_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_bytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool file_exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

ChildResult run_in_child(const std::function<void()>& body)
{
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ChildResult result;
    result.exited = WIFEXITED(status);
    result.exit_code = result.exited ? WEXITSTATUS(status) : -1;
    return result;
}

CommandResult run_command(const std::string& command)
{
    CommandResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return result;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, n);
    int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string read_utf16_file(const std::string& path)
{
    auto bytes = read_bytes(path);
    std::u16string text;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text += char16_t(bytes[i] | (bytes[i + 1] << 8));
    return platform::to_utf8(text);
}

} // namespace test_support
