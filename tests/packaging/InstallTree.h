// One `cmake --install` of the build into a scratch folder through DESTDIR, as a packager
// runs it, and the places of the installed files.
#pragma once

#include <optional>
#include <string>

namespace packaging_test {

class InstallTree {
public:
    // Installs below <folder>/root with the prefix; on failure none, with cmake's output.
    static std::optional<InstallTree> install(const std::string& folder, const std::string& prefix, std::string& error);

    const std::string& destdir() const { return m_destdir; }
    // A path below the prefix, inside DESTDIR: "bin/skinc", "lib/nalo-weather".
    std::string at(const std::string& relative) const { return m_destdir + m_prefix + "/" + relative; }
    std::string bin(const std::string& name) const { return at("bin/" + name); }
    std::string program_folder() const { return at("lib/nalo-weather"); }

private:
    std::string m_destdir;
    std::string m_prefix;
};

// The text quoted for the shell.
std::string shell_quoted(const std::string& text);

// Whether the command is found on the PATH (checking tools a test needs).
bool has_command(const std::string& name);

// A loopback port nothing listens on (the kernel's choice, released again).
int free_loopback_port();

// The whole file as text; empty when missing.
std::string read_text(const std::string& path);

} // namespace packaging_test
