#include "InstallTree.h"

#include "support/TestSupport.h"

#include <arpa/inet.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <fstream>
#include <sstream>

namespace packaging_test {

std::optional<InstallTree> InstallTree::install(const std::string& folder, const std::string& prefix,
                                                 std::string& error)
{
    InstallTree tree;
    tree.m_destdir = folder + "/root";
    tree.m_prefix = prefix;
    std::filesystem::remove_all(tree.m_destdir);
    auto run = test_support::run_command("DESTDIR=" + shell_quoted(tree.m_destdir) + " " + shell_quoted(NALO_CMAKE_COMMAND)
        + " --install " + shell_quoted(NALO_BUILD_DIR) + " --prefix " + shell_quoted(prefix) + " 2>&1");
    if (run.exit_code != 0) {
        error = run.output;
        return std::nullopt;
    }
    return tree;
}

std::string shell_quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool has_command(const std::string& name)
{
    return test_support::run_command("command -v " + shell_quoted(name) + " >/dev/null 2>&1").exit_code == 0;
}

std::string read_text(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int free_loopback_port()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

} // namespace packaging_test
