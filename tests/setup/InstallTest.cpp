// The installer hooks and the registry tool, run as the user runs them.
#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using test_support::run_command;

namespace {

std::string tool(const std::string& name) { return std::string(NALO_TOOLS_DIR) + "/" + name; }

std::string reg(const std::string& args) { return tool("nalo-reg") + " " + args + " 2>&1"; }

} // namespace

TEST(NaloReg, SetGetListDeleteAndErrors)
{
    EXPECT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather\\' UpdateTime --dword 60")).exit_code, 0);
    auto got = run_command(reg("get 'HKEY_CURRENT_USER\\software\\nalo\\weather' updatetime"));
    EXPECT_EQ(got.exit_code, 0);
    EXPECT_EQ(got.output, "60\n");
    EXPECT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Top --string 'Москва'")).exit_code, 0);
    EXPECT_EQ(run_command(reg("get 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' TOP")).output, "Москва\n");
    EXPECT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' TopCode --dword -1")).exit_code, 0);
    EXPECT_EQ(run_command(reg("get 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' TopCode")).output, "4294967295\n");
    EXPECT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Hex --dword 0x10")).exit_code, 0);
    auto list = run_command(reg("list 'HKEY_CURRENT_USER\\Software\\NALO\\Weather'"));
    EXPECT_NE(list.output.find("UpdateTime\tREG_DWORD\t60\n"), std::string::npos) << list.output;
    EXPECT_NE(list.output.find("Top\tREG_SZ\tМосква\n"), std::string::npos);
    EXPECT_NE(list.output.find("Hex\tREG_DWORD\t16\n"), std::string::npos);

    EXPECT_EQ(run_command(reg("get 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Missing")).exit_code, 1);
    EXPECT_EQ(run_command(reg("delete 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Hex")).exit_code, 0);
    EXPECT_EQ(run_command(reg("get 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Hex")).exit_code, 1);
    for (const char* bad : { "", "frobnicate 'HKEY_CURRENT_USER\\X'", "get HKEY_CURRENT_CONFIG\\X A",
                             "set 'HKEY_CURRENT_USER\\X' A --dword 12abc", "set 'HKEY_CURRENT_USER\\X' A --dword 4294967296",
                             "set 'HKEY_CURRENT_USER\\X' A --float 1", "get 'HKEY_CURRENT_USER\\X'" }) {
        auto r = run_command(reg(bad));
        EXPECT_EQ(r.exit_code, 2) << bad;
        EXPECT_NE(r.output.find("nalo-reg"), std::string::npos) << "no message for: " << bad;
    }
    EXPECT_EQ(run_command(tool("nalo-reg") + " --help").exit_code, 0);
    EXPECT_EQ(run_command(reg("delete 'HKEY_CURRENT_USER\\Software\\NALO\\Weather'")).exit_code, 0);
    EXPECT_EQ(run_command(reg("list 'HKEY_CURRENT_USER\\Software\\NALO\\Weather'")).exit_code, 1);
}

TEST(Installer, InstallCreatesDownloadsAndUninstallCleansUp)
{
    std::string base = test_support::scratch_folder("install");
    std::string target = base + "/Weather";
    auto installed = run_command(tool("nalo-install") + " " + NALO_PROGRAM_DIR + " " + target + " 2>&1");
    ASSERT_EQ(installed.exit_code, 0) << installed.output;
    EXPECT_TRUE(fs::is_directory(target + "/downloads"));
    EXPECT_TRUE(fs::exists(target + "/setup.so"));
    // A second install over the first keeps an existing downloads folder.
    test_support::write_bytes(target + "/downloads/_ABCD0001.xml", "<Main/>");
    ASSERT_EQ(run_command(tool("nalo-install") + " " + NALO_PROGRAM_DIR + " " + target).exit_code, 0);
    EXPECT_TRUE(fs::exists(target + "/downloads/_ABCD0001.xml"));

    test_support::write_bytes(target + "/downloads/_ZZZZ0002.xml", "<Main/>");
    test_support::write_bytes(target + "/settings.xml", "<Settings/>");
    ASSERT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather\\Sub' X --dword 1")).exit_code, 0);
    ASSERT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO\\Weather' Top --string ABCD0001")).exit_code, 0);
    ASSERT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO' Keep --dword 1")).exit_code, 0);
    auto removed = run_command(tool("nalo-install") + " --uninstall " + target + " 2>&1");
    ASSERT_EQ(removed.exit_code, 0) << removed.output;
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(run_command(reg("list 'HKEY_CURRENT_USER\\Software\\NALO\\Weather'")).exit_code, 1);
    EXPECT_EQ(run_command(reg("list 'HKEY_CURRENT_USER\\Software\\NALO\\Weather\\Sub'")).exit_code, 1);
    EXPECT_EQ(run_command(reg("get 'HKEY_CURRENT_USER\\Software\\NALO' Keep")).exit_code, 0);
}

TEST(Installer, AFileThatIsNotACacheFileKeepsItsFolder)
{
    std::string target = test_support::scratch_folder("install-keep") + "/Weather";
    ASSERT_EQ(run_command(tool("nalo-install") + " " + NALO_PROGRAM_DIR + " " + target).exit_code, 0);
    test_support::write_bytes(target + "/downloads/notes.txt", "mine");
    test_support::write_bytes(target + "/downloads/_A.xml", "<Main/>");
    ASSERT_EQ(run_command(tool("nalo-install") + " --uninstall " + target).exit_code, 0);
    EXPECT_TRUE(fs::exists(target + "/downloads/notes.txt"));
    EXPECT_FALSE(fs::exists(target + "/downloads/_A.xml"));
    EXPECT_FALSE(fs::exists(target + "/setup.so"));
}

TEST(Installer, HookLogLinesWhenTheLogIsOn)
{
    std::string target = test_support::scratch_folder("install-log") + "/Weather";
    ASSERT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO' Log --dword 1")).exit_code, 0);
    ASSERT_EQ(run_command(tool("nalo-install") + " " + NALO_PROGRAM_DIR + " " + target).exit_code, 0);
    ASSERT_EQ(run_command(reg("set 'HKEY_CURRENT_USER\\Software\\NALO' Log --dword 0")).exit_code, 0);
    std::string log = test_support::read_utf16_file(std::string(std::getenv("NALO_TEMP")) + "/nalo-install.txt");
    std::string native = target;
    for (auto& c : native)
        if (c == '/')
            c = '\\';
    EXPECT_NE(log.find("CreateDirectoryW {} result=0\n"), std::string::npos) << log;
    EXPECT_NE(log.find("CreateDirectoryW {" + native + "\\downloads} result=1\n"), std::string::npos) << log;
    EXPECT_EQ(run_command(tool("nalo-install") + " /nonexistent/program " + target + " 2>&1").exit_code, 2);
    EXPECT_EQ(run_command(tool("nalo-install") + " --uninstall /nonexistent/install 2>&1").exit_code, 2);
}
