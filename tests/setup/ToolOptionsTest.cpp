// The options every tool answers alike, run as a user runs them.
#include "runtime/Version.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <regex>

using test_support::run_command;

namespace {

std::string tool(const std::string& name) { return std::string(NALO_TOOLS_DIR) + "/" + name; }

// Standard output only, and standard error only, of one run.
test_support::CommandResult out(const std::string& command) { return run_command(command + " 2>/dev/null"); }
test_support::CommandResult err(const std::string& command) { return run_command(command + " 2>&1 >/dev/null"); }

} // namespace

TEST(ToolOptions, HelpVersionAndUnknownOptions)
{
    std::string version(runtime::project_version());
    EXPECT_TRUE(std::regex_match(version, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+"))) << version;
    for (std::string name : { "nalo-reg", "nalo-install" }) {
        auto help = out(tool(name) + " --help");
        EXPECT_EQ(help.exit_code, 0) << name;
        EXPECT_EQ(help.output.rfind("usage:\n", 0), 0u) << name << ": " << help.output;
        EXPECT_NE(help.output.find("--version"), std::string::npos) << name;
        EXPECT_TRUE(err(tool(name) + " --help").output.empty()) << name;

        auto shown = out(tool(name) + " --version");
        EXPECT_EQ(shown.exit_code, 0) << name;
        EXPECT_EQ(shown.output, name + " " + version + "\n");

        for (std::string bad : { "--bogus", "-x", "--help-me" }) {
            auto said = err(tool(name) + " " + bad);
            EXPECT_EQ(said.exit_code, 2) << name << " " << bad;
            EXPECT_NE(said.output.find(name + ": unknown option " + bad + " "), std::string::npos)
                << name << " " << bad << ": " << said.output;
            EXPECT_TRUE(out(tool(name) + " " + bad).output.empty()) << name << " " << bad;
        }
        // No arguments: the usage, on standard error.
        auto bare = run_command(tool(name) + " 2>&1 >/dev/null");
        EXPECT_EQ(bare.exit_code, 2) << name;
        EXPECT_EQ(bare.output.rfind("usage:\n", 0), 0u) << name;
    }
}

TEST(ToolOptions, UnknownCommandsAndMisplacedOptionsAreNamed)
{
    auto bogus = err(tool("nalo-reg") + " bogus");
    EXPECT_EQ(bogus.exit_code, 2);
    EXPECT_NE(bogus.output.find("unknown command"), std::string::npos) << bogus.output;
    EXPECT_NE(bogus.output.find("bogus"), std::string::npos) << bogus.output;
    EXPECT_EQ(err(tool("nalo-reg") + " bogus 'HKEY_CURRENT_USER\\X' A").exit_code, 2);

    // An option after the folders, and --uninstall without its folder.
    auto late = err(tool("nalo-install") + " /nonexistent/a /nonexistent/b --force");
    EXPECT_EQ(late.exit_code, 2);
    EXPECT_NE(late.output.find("unknown option --force"), std::string::npos) << late.output;
    auto lone = err(tool("nalo-install") + " --uninstall");
    EXPECT_EQ(lone.exit_code, 2);
    EXPECT_NE(lone.output.find("--uninstall takes INSTALL_FOLDER"), std::string::npos) << lone.output;
}
