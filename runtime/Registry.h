// Registry access by key texts that begin with a root name, such as
// "HKEY_CURRENT_USER\Software\NALO\Weather". Each call opens the key, does one read or
// write and closes it again; nothing is cached and nothing throws.
#pragma once

#include "platform/RegistryStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace runtime {

struct KeyPath {
    platform::registry::Root root;
    std::u16string sub_path;
};

// None when the text does not begin with one of the four root names.
std::optional<KeyPath> split_key(std::u16string_view key);

bool write_string(std::u16string_view key, std::u16string_view name, std::u16string_view text);
// The out text is changed only on success; reading creates a missing key.
bool read_string(std::u16string_view key, std::u16string_view name, std::u16string& text);
bool write_number(std::u16string_view key, std::u16string_view name, uint32_t number);
bool read_number(std::u16string_view key, std::u16string_view name, uint32_t& number);
bool read_number(std::u16string_view key, std::u16string_view name, int32_t& number);
// A DWORD that counts as true when it is not zero.
bool read_flag(std::u16string_view key, std::u16string_view name, bool& flag);
bool delete_key(std::u16string_view key);

} // namespace runtime
