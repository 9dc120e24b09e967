// The city list survives what ends a program badly: a kill -9 right after a change, a
// save interrupted between writing and renaming, and a disk that fills up during a save.
#include "AppTestSupport.h"

#include "app/Settings.h"
#include "app/SettingsFile.h"

#include "support/TestSupport.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace weather;
using namespace app_test;
namespace fs = std::filesystem;

namespace {

// Runs the body in a child process that the body ends itself (or that ends when it returns).
int run_child(const std::function<void()>& body)
{
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        body();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

class SettingsFileSafety : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }
};

TEST_F(SettingsFileSafety, ACityAddedRightBeforeAKillIsThereAfterARestart)
{
    int ended = run_child([] {
        Settings settings;
        settings.add_city(u"02950159", u"Berlin");
        settings.add_city(u"03143244", u"Oslo");
        settings.swap_cities(0, 1);
        std::raise(SIGKILL); // no save, no destructor
    });
    ASSERT_EQ(ended, -SIGKILL);
    {
        Settings settings;
        ASSERT_EQ(settings.city_count(), 3u);
        EXPECT_EQ(settings.city(0).name, u"Oslo");
        EXPECT_EQ(settings.city(1).name, u"empty");
        EXPECT_EQ(settings.city(2).name, u"Berlin");
        EXPECT_EQ(settings.city(2).code, u"02950159");
    }

    ASSERT_EQ(run_child([] {
        Settings settings;
        settings.remove_city(0);
        std::raise(SIGKILL);
    }), -SIGKILL);
    Settings after;
    ASSERT_EQ(after.real_city_count(), 1u);
    EXPECT_EQ(after.city(0).name, u"Berlin");
}

TEST_F(SettingsFileSafety, AnInterruptedSaveLeavesTheOldFile)
{
    const std::vector<SettingsEntry> old_list = { { u"Berlin", u"02950159" }, { u"Oslo", u"03143244" } };
    ASSERT_TRUE(SettingsFile::write(settings_file_path, old_list));
    std::string before = read_text(settings_path());

    // Killed after the new document was written and flushed, before the rename.
    ASSERT_EQ(run_child([] {
        SettingsFile::write_temporary(settings_file_path, SettingsFile::compose({ { u"London", u"02643743" } }));
        std::raise(SIGKILL);
    }), -SIGKILL);
    EXPECT_EQ(read_text(settings_path()), before);
    EXPECT_EQ(settings_temporaries().size(), 1u);
    {
        // The leftover of the ended process goes at the next start.
        Settings settings;
        EXPECT_TRUE(settings_temporaries().empty());
        ASSERT_EQ(settings.real_city_count(), 2u);
        EXPECT_EQ(settings.city(0).name, u"Berlin");
        EXPECT_EQ(settings.city(2).name, u"Oslo");
        ASSERT_TRUE(settings.remove_city(1));
        ASSERT_TRUE(settings.save());
    }
    EXPECT_TRUE(settings_temporaries().empty());
    SettingsContent list = SettingsFile::read(settings_file_path);
    EXPECT_EQ(list.entries, std::vector<SettingsEntry>({ { u"Berlin", u"02950159" } }));
}

TEST_F(SettingsFileSafety, AFullDiskLeavesTheOldFile)
{
    ASSERT_TRUE(SettingsFile::write(settings_file_path, { { u"Berlin", u"02950159" } }));
    std::string before = read_text(settings_path());
    // The disk "fills up" after 64 bytes: the write of a longer list fails part-way.
    int code = run_child([] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit { 64, 64 };
        setrlimit(RLIMIT_FSIZE, &limit);
        Settings settings;
        bool added = settings.add_city(u"03143244", u"Oslo with a name long enough to pass the limit");
        // Told once, however often it fails.
        bool told = settings.take_notices().size() == 1 && !settings.save() && !settings.has_notices();
        _exit(added && told ? 0 : 1);
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(read_text(settings_path()), before);
    EXPECT_TRUE(settings_temporaries().empty());
}

TEST_F(SettingsFileSafety, ASaveThatCannotWriteReportsIt)
{
    ASSERT_TRUE(SettingsFile::write(settings_file_path, { { u"Berlin", u"02950159" } }));
    std::string before = read_text(settings_path());
    std::string temporary = settings_path() + ".tmp-" + std::to_string(getpid());
    fs::create_directory(temporary); // the temporary file cannot be made
    {
        Settings settings;
        EXPECT_TRUE(settings.add_city(u"03143244", u"Oslo")); // the list itself changes
        EXPECT_FALSE(settings.save());
    }
    EXPECT_EQ(read_text(settings_path()), before);
    fs::remove(temporary);
}

TEST(SettingsMerge, OursWithTheOtherCopysAdditionsAndWithoutItsRemovals)
{
    const SettingsEntry a { u"A", u"AAAA0001" }, b { u"B", u"BBBB0001" }, c { u"C", u"CCCC0001" },
        d { u"D", u"DDDD0001" };
    struct Case {
        std::vector<SettingsEntry> base, ours, theirs, merged;
    };
    const std::vector<Case> cases = {
        { { a }, { a, b }, { a, c }, { a, b, c } },     // both added
        { { a, b }, { a, b, c }, { a }, { a, c } },     // they removed b, we added c
        { { a, b }, { a }, { a, b, d }, { a, d } },     // we removed b, they added d
        { { a, b }, { b, a }, { a, b }, { b, a } },     // our order stands
        { { a }, { a, b }, { a, b }, { a, b } },        // both added the same city
        { { a, b }, { }, { }, { } },                    // both emptied the list
    };
    for (const Case& c : cases)
        EXPECT_EQ(SettingsFile::merge(c.base, c.ours, c.theirs), c.merged);
}

} // namespace
