// The keys of a PC keyboard as the platform's virtual keys, which the key table turns into
// key codes: arrows, Enter, Tab, Space, Backspace, Insert, Delete, Home, End, PageUp and
// PageDown, letters, digits and the keypad as themselves; Escape is the phone's Back key
// (27); F1/F2 the soft keys (112/113), F3/F4 talk and end (114/115), F6/F7 volume
// (117/118), F8/F9 the phone's star and pound keys (119/120).
#pragma once

#include <cstdint>
#include <string_view>

namespace framework {

namespace vk {
constexpr int back = 8;
constexpr int tab = 9;
constexpr int enter = 13;
constexpr int escape = 27;
constexpr int space = 32;
constexpr int end = 35;
constexpr int home = 36;
constexpr int left = 37;
constexpr int up = 38;
constexpr int right = 39;
constexpr int down = 40;
constexpr int del = 46;
constexpr int soft_left = 112;
constexpr int soft_right = 113;
} // namespace vk

// The virtual key of an SDL key (SDL_Keycode); 0 for a key the platform has none for.
int virtual_key_of_sdl(int32_t sdl_key);
// The virtual key a script's key name presses: the key whose code has that name ("Esc"
// is the Escape key, the phone's Back); 0 for a name without a key.
int virtual_key_of_name(std::u16string_view name);
// Keys that type text, which the typing session of an edit field takes.
bool types_text(int virtual_key);
// The typing session's own editing keys: Backspace, Delete, Left, Right, Home, End.
bool edits_text(int virtual_key);
// The soft keys, which the shell delivers as hot keys (no listener in between).
inline bool is_hot_key(int virtual_key) { return virtual_key == vk::soft_left || virtual_key == vk::soft_right; }

} // namespace framework
