#include "runtime/Paths.h"

#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

using namespace runtime;

namespace {

std::u16string app_folder()
{
    return platform::from_utf8(NALO_BUILD_DIR "/tests/runtime");
}

} // namespace

TEST(ExpandPath, MacrosOnlyAtTheStartAndCaseSensitive)
{
    EXPECT_EQ(expand_path(u""), u"");
    EXPECT_EQ(expand_path(u"%app_path%"), app_folder());
    EXPECT_EQ(expand_path(u"%app_path%//settings.xml"), app_folder() + u"\\\\settings.xml");
    EXPECT_EQ(expand_path(u"%APP_PATH%/x"), u"%APP_PATH%\\x");
    EXPECT_EQ(expand_path(u"/Temp/%app_name%.txt"), u"\\Temp\\%app_name%.txt");
    EXPECT_EQ(expand_path(u"%app_name%.txt"), u"runtime_tests.txt");
    EXPECT_EQ(expand_path(u"%app_full_name%"), app_folder() + u"/runtime_tests");
    // A folder this platform lacks expands to nothing.
    EXPECT_EQ(expand_path(u"%favorites%/a.txt"), u"\\a.txt");
    // Backslashes stay, doubled separators are not collapsed.
    EXPECT_EQ(expand_path(u"a\\b//c"), u"a\\b\\\\c");
}

TEST(ExpandPath, ShellFoldersFollowTheEnvironment)
{
    setenv("NALO_PROGRAM_FILES", "/opt/progs", 1);
    EXPECT_EQ(expand_path(u"%program_files%/NALO"), u"/opt/progs\\NALO");
    unsetenv("NALO_PROGRAM_FILES");
    EXPECT_EQ(expand_path(u"%program_files%/NALO"), u"\\NALO");
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(expand_path(u"%appdata%"), u"/data");
}

TEST(PathParts, SplitJoinAndExtensions)
{
    EXPECT_EQ(directory_part(u"a/b\\c.txt"), u"a/b\\");
    EXPECT_EQ(file_name_part(u"a/b\\c.txt"), u"c.txt");
    EXPECT_EQ(directory_part(u"plain"), u"");
    EXPECT_EQ(file_name_part(u"plain"), u"plain");
    EXPECT_EQ(extension_position(u"a.b\\c"), no_extension);
    EXPECT_EQ(extension_position(u"a.b/c"), no_extension);
    EXPECT_EQ(extension_position(u"x/a.tar.gz"), 7u);
    EXPECT_EQ(strip_extension(u"x/a.tar.gz"), u"x/a.tar");
    EXPECT_EQ(file_name_without_extension(u"\\skins\\bin\\default.skin"), u"default");
    EXPECT_EQ(strip_trailing_separator(u"\\x\\\\"), u"\\x\\");
    EXPECT_EQ(parent_folder(u"\\a\\b\\"), u"\\a\\");
    EXPECT_EQ(join_path(u"\\x\\", u"y"), u"\\x\\y");
    EXPECT_EQ(join_path(u"", u"y"), u"y");
    EXPECT_EQ(to_forward_slashes(u"a\\b\\c"), u"a/b/c");
}

TEST(PathCompare, NormalisedWithoutCaseAndTrailingSeparator)
{
    EXPECT_TRUE(paths_equal(u"/Foo/BAR/", u"/foo/bar"));
    EXPECT_TRUE(paths_equal(u"%app_path%/X", app_folder() + u"\\x"));
    EXPECT_FALSE(paths_equal(u"/foo/bar", u"/foo/baz"));
    EXPECT_TRUE(path_is_under(u"/Skins/Bin/a.skin", u"/skins/bin"));
    EXPECT_FALSE(path_is_under(u"/sk", u"/skins/bin"));
}

TEST(DirectoryEntry, ExistingMissingAndWildcard)
{
    std::u16string folder = platform::from_utf8(NALO_BUILD_DIR "/test-state/runtime_tests/temp");
    FileInfo missing = read_directory_entry(folder + u"/does-not-exist");
    EXPECT_FALSE(missing.exists());
    EXPECT_FALSE(missing.is_read_only());
    EXPECT_FALSE(delete_file(folder + u"/does-not-exist"));

    FILE* f = fopen(NALO_BUILD_DIR "/test-state/runtime_tests/temp/entry.dat", "wb");
    fwrite("12345", 1, 5, f);
    fclose(f);
    FileInfo info = read_directory_entry(folder + u"/entry.dat");
    EXPECT_TRUE(info.exists());
    EXPECT_EQ(info.name, folder + u"/entry.dat");
    EXPECT_EQ(info.size(), 5u);
    EXPECT_GT(info.last_write_time, 0);
    EXPECT_TRUE(read_directory_entry(folder + u"/ENTRY.*").exists());
    EXPECT_TRUE(delete_file(folder + u"/entry.dat"));
    EXPECT_FALSE(read_directory_entry(folder + u"/entry.dat").exists());
}

TEST(ExecuteFile, MissingProgramFails)
{
    EXPECT_FALSE(execute_file(u"/nonexistent/Ombrelo.exe", u""));
    EXPECT_TRUE(execute_file(u"/bin/true.exe", u"a b"));
}
