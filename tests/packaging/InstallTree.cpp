#include "InstallTree.h"

#include "support/TestSupport.h"

#include <filesystem>
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

} // namespace packaging_test
