#include "platform/RegistryStore.h"
#include "platform/CaseFolding.h"
#include "platform/TextEncoding.h"

#include <cstdlib>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::registry {

namespace {

constexpr const char* schema = "CREATE TABLE IF NOT EXISTS keys("
                               " id INTEGER PRIMARY KEY, root INTEGER NOT NULL, path TEXT NOT NULL,"
                               " UNIQUE(root, path));"
                               "CREATE TABLE IF NOT EXISTS vals("
                               " key INTEGER NOT NULL, name TEXT NOT NULL, shown TEXT NOT NULL,"
                               " type INTEGER NOT NULL, data BLOB NOT NULL, PRIMARY KEY(key, name));";

thread_local std::string t_failure;

// The first failure of a call is the one worth reporting.
void note_failure(const std::string& what)
{
    if (t_failure.empty())
        t_failure = what.empty() ? "the store failed" : what;
}

void note_failure(sqlite3* db)
{
    const char* file = db ? sqlite3_db_filename(db, "main") : nullptr;
    note_failure(db ? std::string(file ? file : "") + ": " + sqlite3_errmsg(db) : std::string());
}

// Each public call starts afresh.
void begin_call() { t_failure.clear(); }

// One connection per process, reopened in a child after fork (a connection must not
// cross a fork).
class Store {
public:
    std::mutex mutex;

    sqlite3* db()
    {
        if (m_db && m_pid == getpid())
            return m_db;
        m_db = nullptr; // a connection inherited through fork is abandoned, not closed
        m_pid = getpid();
        std::string path = database_path();
        make_parent_folders(path);
        sqlite3* db = nullptr;
        int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
        mode_t old_mask = umask(077); // the store is private to the user: 0600
        int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
        umask(old_mask);
        if (rc != SQLITE_OK) {
            note_failure("cannot open " + path + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
            sqlite3_close(db);
            return nullptr;
        }
        sqlite3_busy_timeout(db, 10000);
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr, nullptr);
        if (sqlite3_exec(db, schema, nullptr, nullptr, nullptr) != SQLITE_OK) {
            note_failure("cannot use " + path + ": " + sqlite3_errmsg(db));
            sqlite3_close(db);
            return nullptr;
        }
        m_db = db;
        m_statements.clear();
        return m_db;
    }

    // Statements are prepared once per connection; every log call reads the store, so
    // preparing them anew each time would cost more than the read itself.
    sqlite3_stmt* prepared(sqlite3* db, const std::string& sql)
    {
        if (db != m_db)
            return nullptr;
        auto found = m_statements.find(sql);
        if (found != m_statements.end())
            return found->second;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
            note_failure(db);
            sqlite3_finalize(stmt);
            return nullptr;
        }
        m_statements.emplace(sql, stmt);
        return stmt;
    }

private:
    static void make_parent_folders(const std::string& path)
    {
        for (size_t i = 1; i < path.size(); ++i) {
            if (path[i] == '/')
                mkdir(path.substr(0, i).c_str(), 0700);
        }
    }

    sqlite3* m_db { nullptr };
    pid_t m_pid { 0 };
    std::map<std::string, sqlite3_stmt*> m_statements;
};

Store& store()
{
    static Store* instance = new Store; // never destroyed: usable until the process ends
    return *instance;
}

std::string fold(std::u16string_view text) { return to_utf8(to_lower(text)); }

std::string key_text(std::u16string_view path)
{
    if (!path.empty() && path.back() == u'\\')
        path.remove_suffix(1);
    return fold(path);
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql)
        : m_stmt(db ? store().prepared(db, sql) : nullptr)
    {
    }
    // Reset at once, so that no read transaction stays open on the shared connection
    // and the next read sees what other processes wrote.
    ~Statement()
    {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }
    explicit operator bool() const { return m_stmt != nullptr; }
    Statement& bind(int i, int64_t v)
    {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    Statement& bind(int i, const std::string& v)
    {
        sqlite3_bind_text(m_stmt, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& bind_blob(int i, const std::vector<uint8_t>& v)
    {
        sqlite3_bind_blob(m_stmt, i, v.empty() ? "" : static_cast<const void*>(v.data()), int(v.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    int step()
    {
        if (!m_stmt) {
            note_failure(std::string());
            return SQLITE_ERROR;
        }
        int rc = sqlite3_step(m_stmt);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            note_failure(sqlite3_db_handle(m_stmt));
        return rc;
    }
    int64_t integer(int col) const { return sqlite3_column_int64(m_stmt, col); }
    std::string text(int col) const
    {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, col));
        return p ? std::string(p, size_t(sqlite3_column_bytes(m_stmt, col))) : std::string();
    }
    std::vector<uint8_t> blob(int col) const
    {
        auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(m_stmt, col));
        return p ? std::vector<uint8_t>(p, p + sqlite3_column_bytes(m_stmt, col)) : std::vector<uint8_t>();
    }

private:
    sqlite3_stmt* m_stmt { nullptr };
};

// A write transaction taken at once, so that two writers queue on the busy timeout
// instead of failing on a lock upgrade.
class WriteTransaction {
public:
    explicit WriteTransaction(sqlite3* db)
        : m_db(db)
    {
        m_open = db && sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!m_open)
            note_failure(db);
    }
    ~WriteTransaction()
    {
        if (m_open)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    explicit operator bool() const { return m_open; }
    bool commit()
    {
        if (!m_open)
            return false;
        m_open = false;
        if (sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK)
            return true;
        note_failure(m_db);
        return false;
    }

private:
    sqlite3* m_db;
    bool m_open;
};

int64_t find_key(sqlite3* db, Root root, const std::string& path)
{
    Statement s(db, "SELECT id FROM keys WHERE root = ?1 AND path = ?2");
    s.bind(1, int64_t(root)).bind(2, path);
    return s.step() == SQLITE_ROW ? s.integer(0) : 0;
}

// Inside a write transaction: the key's id, created with its parents when missing.
int64_t make_key(sqlite3* db, Root root, const std::string& path)
{
    if (int64_t id = find_key(db, root, path))
        return id;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '\\')
            continue;
        Statement parent(db, "INSERT OR IGNORE INTO keys(root, path) VALUES(?1, ?2)");
        parent.bind(1, int64_t(root)).bind(2, path.substr(0, i));
        if (parent.step() != SQLITE_DONE)
            return 0;
    }
    Statement s(db, "INSERT OR IGNORE INTO keys(root, path) VALUES(?1, ?2)");
    s.bind(1, int64_t(root)).bind(2, path);
    if (s.step() != SQLITE_DONE)
        return 0;
    return find_key(db, root, path);
}

} // namespace

std::string last_failure() { return t_failure; }

std::string database_path()
{
    if (const char* path = std::getenv("NALO_REGISTRY"); path && *path)
        return path;
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::string(home) + "/.config";
    else
        config = "/tmp";
    return config + "/nalo/registry.db";
}

bool create_key(Root root, std::u16string_view path)
{
    begin_call();
    std::lock_guard lock(store().mutex);
    sqlite3* db = store().db();
    WriteTransaction tx(db);
    return tx && make_key(db, root, key_text(path)) && tx.commit();
}

bool key_exists(Root root, std::u16string_view path)
{
    begin_call();
    std::lock_guard lock(store().mutex);
    return find_key(store().db(), root, key_text(path)) != 0;
}

bool set_value(Root root, std::u16string_view path, std::u16string_view name, const Value& value)
{
    begin_call();
    std::lock_guard lock(store().mutex);
    sqlite3* db = store().db();
    WriteTransaction tx(db);
    if (!tx)
        return false;
    int64_t key = make_key(db, root, key_text(path));
    if (!key)
        return false;
    Statement s(db, "INSERT INTO vals(key, name, shown, type, data) VALUES(?1, ?2, ?3, ?4, ?5)"
                    " ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data");
    s.bind(1, key).bind(2, fold(name)).bind(3, to_utf8(name)).bind(4, int64_t(value.type)).bind_blob(5, value.data);
    return s.step() == SQLITE_DONE && tx.commit();
}

std::optional<Value> query_value(Root root, std::u16string_view path, std::u16string_view name, bool create_missing_key)
{
    begin_call();
    std::lock_guard lock(store().mutex);
    sqlite3* db = store().db();
    if (!db)
        return std::nullopt;
    std::string key_path = key_text(path);
    {
        // One statement for the common case: the key and the value both exist.
        Statement s(db, "SELECT v.type, v.data FROM keys k JOIN vals v ON v.key = k.id"
                        " WHERE k.root = ?1 AND k.path = ?2 AND v.name = ?3");
        s.bind(1, int64_t(root)).bind(2, key_path).bind(3, fold(name));
        if (s.step() == SQLITE_ROW)
            return Value { uint32_t(s.integer(0)), s.blob(1) };
    }
    if (create_missing_key && !find_key(db, root, key_path)) {
        WriteTransaction tx(db);
        if (tx && make_key(db, root, key_path))
            tx.commit();
    }
    return std::nullopt;
}

bool delete_value(Root root, std::u16string_view path, std::u16string_view name)
{
    begin_call();
    std::lock_guard lock(store().mutex);
    sqlite3* db = store().db();
    WriteTransaction tx(db);
    int64_t key = tx ? find_key(db, root, key_text(path)) : 0;
    if (!key)
        return false;
    Statement s(db, "DELETE FROM vals WHERE key = ?1 AND name = ?2");
    s.bind(1, key).bind(2, fold(name));
    return s.step() == SQLITE_DONE && sqlite3_changes(db) > 0 && tx.commit();
}

bool delete_key(Root root, std::u16string_view path)
{
    begin_call();
    std::string key_path = key_text(path);
    if (key_path.empty())
        return false; // a root key itself cannot be deleted
    std::lock_guard lock(store().mutex);
    sqlite3* db = store().db();
    WriteTransaction tx(db);
    if (!tx || !find_key(db, root, key_path))
        return false;
    const char* below = "root = ?1 AND (path = ?2 OR substr(path, 1, length(?2) + 1) = ?2 || '\\')";
    Statement values(db, std::string("DELETE FROM vals WHERE key IN (SELECT id FROM keys WHERE ") + below + ")");
    values.bind(1, int64_t(root)).bind(2, key_path);
    Statement keys(db, std::string("DELETE FROM keys WHERE ") + below);
    keys.bind(1, int64_t(root)).bind(2, key_path);
    return values.step() == SQLITE_DONE && keys.step() == SQLITE_DONE && tx.commit();
}

std::vector<NamedValue> list_values(Root root, std::u16string_view path)
{
    begin_call();
    std::vector<NamedValue> result;
    std::lock_guard lock(store().mutex);
    sqlite3* db = store().db();
    int64_t key = find_key(db, root, key_text(path));
    if (!key)
        return result;
    Statement s(db, "SELECT shown, type, data FROM vals WHERE key = ?1 ORDER BY name");
    s.bind(1, key);
    while (s.step() == SQLITE_ROW)
        result.push_back({ from_utf8(s.text(0)), Value { uint32_t(s.integer(1)), s.blob(2) } });
    return result;
}

Value string_value(std::u16string_view text)
{
    Value v { type_string, {} };
    v.data.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        v.data.push_back(uint8_t(c & 0xFF));
        v.data.push_back(uint8_t(c >> 8));
    }
    v.data.push_back(0);
    v.data.push_back(0);
    return v;
}

Value dword_value(uint32_t number)
{
    return Value { type_dword, { uint8_t(number), uint8_t(number >> 8), uint8_t(number >> 16), uint8_t(number >> 24) } };
}

} // namespace platform::registry
