// nalo-reg against hostile input: numbers in doubtful forms, names that are not UTF-8,
// and stores that cannot be used.
#include "support/TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace fs = std::filesystem;
using test_support::run_command;

namespace {

const std::string key = "'HKEY_CURRENT_USER\\Software\\NALO\\Hostile'";

std::string reg(const std::string& args, const std::string& store = "")
{
    std::string env = store.empty() ? "" : "NALO_REGISTRY='" + store + "' ";
    return env + std::string(NALO_TOOLS_DIR) + "/nalo-reg " + args + " 2>&1";
}

std::string get(const std::string& name)
{
    auto r = run_command(reg("get " + key + " " + name));
    return r.exit_code == 0 ? r.output : "exit " + std::to_string(r.exit_code);
}

class NaloRegInput : public ::testing::Test {
protected:
    void SetUp() override { run_command(reg("delete " + key)); }
    void TearDown() override { run_command(reg("delete " + key)); }
};

} // namespace

TEST_F(NaloRegInput, DwordIsDecimalAsWrittenOrHexadecimal)
{
    struct Case {
        const char* text;
        const char* stored;
    } accepted[] = {
        { "0777", "777\n" }, // a leading zero does not make it octal
        { "08", "8\n" },
        { "-0777", "4294966519\n" },
        { "0x1F", "31\n" },
        { "0XfF", "255\n" },
        { "0x00000010", "16\n" },
        { "4294967295", "4294967295\n" },
        { "0xFFFFFFFF", "4294967295\n" },
        { "-2147483648", "2147483648\n" },
        { "-0", "0\n" },
    };
    for (const Case& c : accepted) {
        auto r = run_command(reg("set " + key + " N --dword '" + c.text + "'"));
        EXPECT_EQ(r.exit_code, 0) << c.text << ": " << r.output;
        EXPECT_EQ(get("N"), c.stored) << c.text;
    }
    const char* refused[] = { " 5", "5 ", "\t5", "+5", "", "-", "--5", "0x", "-0x10", "0x-1", "1e3", "12abc",
                              "0b101", "4294967296", "0x100000000", "-2147483649", "99999999999999999999999" };
    for (const char* text : refused) {
        run_command(reg("delete " + key + " R"));
        auto r = run_command(reg("set " + key + " R --dword '" + text + "'"));
        EXPECT_EQ(r.exit_code, 2) << "'" << text << "'";
        EXPECT_NE(r.output.find("not a 32-bit"), std::string::npos) << "'" << text << "': " << r.output;
        EXPECT_EQ(get("R"), "exit 1") << "'" << text << "' was stored";
    }
}

TEST_F(NaloRegInput, NamesThatAreNotUtf8AreRefused)
{
    // printf turns the octal escapes into the raw bytes.
    auto bytes = [](const char* escaped) { return std::string("\"$(printf '") + escaped + "')\""; };
    const char* malformed[] = {
        "A\\377",         // a byte that never occurs
        "A\\303",         // a lead byte without its continuation
        "A\\300\\257",    // an overlong '/'
        "A\\355\\240\\200", // a surrogate
        "A\\364\\220\\200\\200", // above U+10FFFF
    };
    for (const char* name : malformed) {
        auto set = run_command(reg("set " + key + " " + bytes(name) + " --dword 1"));
        EXPECT_EQ(set.exit_code, 2) << name;
        EXPECT_NE(set.output.find("the name is not valid UTF-8"), std::string::npos) << name << ": " << set.output;
        EXPECT_EQ(run_command(reg("get " + key + " " + bytes(name))).exit_code, 2) << name;
        EXPECT_EQ(run_command(reg("delete " + key + " " + bytes(name))).exit_code, 2) << name;
    }
    // Two different malformed names must not become one value.
    EXPECT_EQ(run_command(reg("list " + key)).exit_code, 1) << run_command(reg("list " + key)).output;

    auto bad_key = run_command(reg("set " + bytes("HKEY_CURRENT_USER\\\\\\377") + " A --dword 1"));
    EXPECT_EQ(bad_key.exit_code, 2);
    EXPECT_NE(bad_key.output.find("the key is not valid UTF-8"), std::string::npos) << bad_key.output;
    auto bad_text = run_command(reg("set " + key + " T --string " + bytes("x\\377y")));
    EXPECT_EQ(bad_text.exit_code, 2);
    EXPECT_NE(bad_text.output.find("the text is not valid UTF-8"), std::string::npos) << bad_text.output;
    EXPECT_EQ(get("T"), "exit 1");

    // Well-formed names beyond ASCII, including U+FFFD itself, are names like any other.
    EXPECT_EQ(run_command(reg("set " + key + " " + bytes("Gr\\303\\266\\303\\237e") + " --dword 3")).exit_code, 0);
    EXPECT_EQ(run_command(reg("set " + key + " " + bytes("\\357\\277\\275") + " --dword 4")).exit_code, 0);
    EXPECT_EQ(get("Größe"), "3\n");
    EXPECT_EQ(get("\xEF\xBF\xBD"), "4\n");
}

TEST_F(NaloRegInput, AStoreThatCannotBeUsedIsAStoreFailure)
{
    std::string folder = test_support::scratch_folder("damaged-store");
    std::string text_file = folder + "/notes.txt";
    std::string not_a_database(4096, 'x');
    test_support::write_bytes(text_file, not_a_database);

    // A store whose first page (the schema) is sound and whose other pages are not: it
    // opens, and reading a key fails.
    std::string made = folder + "/made.db";
    ASSERT_EQ(run_command(reg("set " + key + " A --dword 1", made)).exit_code, 0);
    ASSERT_EQ(run_command(reg("get " + key + " A", made)).output, "1\n");
    int page_size = 0;
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(made.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &stmt, nullptr);
        if (sqlite3_step(stmt) == SQLITE_ROW)
            page_size = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    auto image = test_support::read_bytes(made);
    ASSERT_GT(page_size, 0);
    ASSERT_GT(image.size(), size_t(page_size));
    std::string damaged(image.begin(), image.begin() + page_size);
    damaged.append(image.size() - size_t(page_size), '\xA5');
    test_support::write_bytes(made, damaged);

    struct Store {
        const char* what;
        std::string path;
    } stores[] = {
        { "a text file", text_file },
        { "a path below a file", text_file + "/sub/registry.db" },
        { "a folder", folder },
        { "damaged pages", made },
    };
    for (const Store& s : stores) {
        for (std::string args : { "get " + key + " A", "list " + key, "delete " + key + " A", "delete " + key,
                                  "set " + key + " A --dword 2", "set " + key + " B --string x" }) {
            auto r = run_command(reg(args, s.path));
            EXPECT_EQ(r.exit_code, 2) << s.what << ": " << args << ": " << r.output;
            EXPECT_NE(r.output.find("nalo-reg: store failure: "), std::string::npos) << s.what << ": " << args << ": " << r.output;
        }
    }
    // The tool leaves a file it cannot use as it was.
    auto after = test_support::read_bytes(text_file);
    EXPECT_EQ(std::string(after.begin(), after.end()), not_a_database);
    EXPECT_FALSE(fs::exists(text_file + "-wal"));
}
