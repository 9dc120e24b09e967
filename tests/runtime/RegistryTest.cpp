#include "runtime/Registry.h"

#include "platform/RegistryStore.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace runtime;
namespace registry = platform::registry;

namespace {

const char16_t* const weather = u"HKEY_CURRENT_USER\\Software\\NALO\\RegistryTest";

} // namespace

TEST(Registry, MissingValueLeavesOutputAndCreatesTheKey)
{
    delete_key(weather);
    std::u16string text = u"keep";
    uint32_t number = 77;
    EXPECT_FALSE(read_string(weather, u"Missing", text));
    EXPECT_EQ(text, u"keep");
    EXPECT_FALSE(read_number(weather, u"Missing", number));
    EXPECT_EQ(number, 77u);
    EXPECT_TRUE(registry::key_exists(registry::Root::current_user, u"Software\\NALO\\RegistryTest"));
    EXPECT_TRUE(registry::list_values(registry::Root::current_user, u"Software\\NALO\\RegistryTest").empty());
}

TEST(Registry, StringAndNumberLayoutsAndTypeMismatch)
{
    ASSERT_TRUE(write_string(weather, u"Abc", u"abc"));
    auto stored = registry::query_value(registry::Root::current_user, u"Software\\NALO\\RegistryTest", u"Abc", false);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->type, registry::type_string);
    EXPECT_EQ(stored->data, (std::vector<uint8_t> { 'a', 0, 'b', 0, 'c', 0, 0, 0 }));

    ASSERT_TRUE(write_number(weather, u"Num", 0xFFFFFFFF));
    stored = registry::query_value(registry::Root::current_user, u"Software\\NALO\\RegistryTest", u"Num", false);
    EXPECT_EQ(stored->data, (std::vector<uint8_t> { 0xFF, 0xFF, 0xFF, 0xFF }));
    int32_t signed_number = 0;
    EXPECT_TRUE(read_number(weather, u"Num", signed_number));
    EXPECT_EQ(signed_number, -1);

    std::u16string text = u"keep";
    EXPECT_FALSE(read_string(weather, u"Num", text));
    EXPECT_EQ(text, u"keep");
    uint32_t number = 5;
    EXPECT_FALSE(read_number(weather, u"Abc", number));
    EXPECT_EQ(number, 5u);
    bool flag = false;
    EXPECT_TRUE(read_flag(weather, u"Num", flag));
    EXPECT_TRUE(flag);
}

TEST(Registry, EmptyStringAndUnicode)
{
    ASSERT_TRUE(write_string(weather, u"Empty", u""));
    std::u16string text = u"x";
    EXPECT_TRUE(read_string(weather, u"Empty", text));
    EXPECT_EQ(text, u"");
    ASSERT_TRUE(write_string(weather, u"Temp", u"+26\u00B0 \u041C\u043E\u0441\u043A\u0432\u0430"));
    EXPECT_TRUE(read_string(weather, u"Temp", text));
    EXPECT_EQ(text, u"+26\u00B0 \u041C\u043E\u0441\u043A\u0432\u0430");
}

TEST(Registry, CaseInsensitiveKeysNamesAndTrailingSeparator)
{
    ASSERT_TRUE(write_number(u"HKEY_CURRENT_USER\\Software\\NALO\\RegistryTest\\", u"UpdateTime", 60));
    uint32_t n = 0;
    EXPECT_TRUE(read_number(u"HKEY_CURRENT_USER\\software\\nalo\\registrytest", u"updatetime", n));
    EXPECT_EQ(n, 60u);
    // Writing through another spelling replaces, not duplicates, the value.
    ASSERT_TRUE(write_number(weather, u"UPDATETIME", 61));
    int count = 0;
    for (const auto& v : registry::list_values(registry::Root::current_user, u"Software\\NALO\\RegistryTest"))
        count += v.name == u"UpdateTime";
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(read_number(weather, u"UpdateTime", n));
    EXPECT_EQ(n, 61u);
    // Roots are separate stores.
    EXPECT_FALSE(read_number(u"HKEY_LOCAL_MACHINE\\Software\\NALO\\RegistryTest", u"UpdateTime", n));
}

TEST(Registry, UnknownRootFailsWithoutTouchingTheStore)
{
    EXPECT_FALSE(split_key(u"HKEY_CURRENT_CONFIG\\Software"));
    EXPECT_FALSE(write_number(u"HKEY_CURRENT_CONFIG\\Software\\X", u"A", 1));
    uint32_t n = 3;
    EXPECT_FALSE(read_number(u"hkey_current_user\\Software\\X", u"A", n));
    EXPECT_EQ(n, 3u);
    for (auto root : { registry::Root::classes_root, registry::Root::current_user, registry::Root::local_machine,
                       registry::Root::users })
        EXPECT_FALSE(registry::key_exists(root, u"Software\\X"));
    auto split = split_key(u"HKEY_USERS");
    ASSERT_TRUE(split);
    EXPECT_EQ(split->sub_path, u"");
}

TEST(Registry, DeleteKeyRemovesEverythingBelow)
{
    ASSERT_TRUE(write_number(u"HKEY_CURRENT_USER\\Software\\NALO\\Gone\\Sub\\Deeper", u"V", 1));
    ASSERT_TRUE(write_number(u"HKEY_CURRENT_USER\\Software\\NALO\\Gone", u"V", 1));
    ASSERT_TRUE(write_number(u"HKEY_CURRENT_USER\\Software\\NALO\\GoneToo", u"V", 1));
    EXPECT_TRUE(delete_key(u"HKEY_CURRENT_USER\\Software\\NALO\\GONE\\"));
    EXPECT_FALSE(registry::key_exists(registry::Root::current_user, u"Software\\NALO\\Gone\\Sub"));
    EXPECT_FALSE(registry::key_exists(registry::Root::current_user, u"Software\\NALO\\Gone\\Sub\\Deeper"));
    uint32_t n = 0;
    EXPECT_TRUE(read_number(u"HKEY_CURRENT_USER\\Software\\NALO\\GoneToo", u"V", n));
    EXPECT_FALSE(delete_key(u"HKEY_CURRENT_USER\\Software\\NALO\\Gone"));
}

TEST(Registry, ConcurrentWritersFromTwoProcessesLoseNothing)
{
    constexpr int per_process = 1000;
    const char16_t* key = u"HKEY_CURRENT_USER\\Software\\NALO\\Concurrent";
    delete_key(key);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        if (children[c] == 0) {
            bool ok = true;
            for (int i = 0; i < per_process; ++i) {
                std::u16string name = (c ? u"b" : u"a") + std::u16string(1, char16_t(u'0' + i % 10))
                    + std::u16string(1, char16_t(u'0' + i / 10 % 10)) + std::u16string(1, char16_t(u'0' + i / 100));
                ok = write_number(key, name, uint32_t(i)) && ok;
            }
            _exit(ok ? 0 : 1);
        }
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer reported a failed write";
    }
    EXPECT_EQ(registry::list_values(registry::Root::current_user, u"Software\\NALO\\Concurrent").size(),
              size_t(2 * per_process));
}
