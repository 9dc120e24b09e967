// The persistent store of registry keys and typed values: one SQLite database shared by
// every process of the user. Key paths and value names compare without regard to case;
// one trailing '\' of a key path is ignored. Safe under concurrent readers and writers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::registry {

enum class Root : int {
    classes_root = 0,
    current_user = 1,
    local_machine = 2,
    users = 3,
};

constexpr uint32_t type_string = 1; // REG_SZ: UTF-16LE with the terminating zero
constexpr uint32_t type_dword = 4;  // REG_DWORD: 4 bytes little-endian

struct Value {
    uint32_t type { 0 };
    std::vector<uint8_t> data;
};

struct NamedValue {
    std::u16string name; // as first written
    Value value;
};

// The database file: $NALO_REGISTRY, else $XDG_CONFIG_HOME/nalo/registry.db.
std::string database_path();

// Why the last call of this thread could not use the store (it cannot be opened, is not
// a database, cannot be read or written); empty when it could. A missing key or value is
// no failure. The programs go by the results alone; the tools report this.
std::string last_failure();

// Creates the key and every missing parent; false when the store cannot be used.
bool create_key(Root root, std::u16string_view path);
bool key_exists(Root root, std::u16string_view path);
// Creates the key when missing, then stores the value.
bool set_value(Root root, std::u16string_view path, std::u16string_view name, const Value& value);
// Reads a value; with create_missing_key the key is created when absent (as the
// original platform's open-for-read does).
std::optional<Value> query_value(Root root, std::u16string_view path, std::u16string_view name,
                                 bool create_missing_key);
bool delete_value(Root root, std::u16string_view path, std::u16string_view name);
// Deletes the key with every key and value below it; false when it does not exist.
bool delete_key(Root root, std::u16string_view path);
std::vector<NamedValue> list_values(Root root, std::u16string_view path);

// Byte layouts of the two value types.
Value string_value(std::u16string_view text);
Value dword_value(uint32_t number);

} // namespace platform::registry
