// The system's own key codes: one fixed table that names every key the program knows.
// The shell converts the platform's virtual keys to them; skins bind buttons by name. They
// sit below the skin engine and the framework, which both use them, and need nothing.
#pragma once

#include <string_view>

namespace input {

enum KeyCode : int {
    key_none = 0,
    key_shift = 1,
    key_ctrl = 2,
    key_alt = 3,
    key_left = 4,
    key_right = 5,
    key_up = 6,
    key_down = 7,
    key_esc = 8,
    key_enter = 9,
    key_space = 10,
    key_backspace = 11,
    key_del = 12,
    key_insert = 13,
    key_home = 14,
    key_end = 15,
    key_page_down = 16,
    key_page_up = 17,
    key_tab = 18,
    key_context_menu = 19,
    key_a = 20, // letters A to Z: 20 to 45
    key_0 = 46, // digits 0 to 9: 46 to 55
    key_star = 56,
    key_pound = 57,
    key_call_make = 58,
    key_call_end = 59,
    key_slide = 60,
    key_soft_left = 61,
    key_soft_right = 62,
    key_volume_up = 63,
    key_volume_down = 64,
    key_plus = 65,
    key_minus = 66,
    key_period = 67,
    key_slash = 68,
};

constexpr int key_code_count = 69;

// A key event as forms receive it; first is false only for an auto-repeated key down.
struct KeyEvent {
    int code { key_none };
    bool pressed { false };
    bool first { true };
};

int key_code_of_virtual_key(int virtual_key);
// The name of a code ("None" ... "/"); an empty text outside 0..68.
std::u16string_view key_name(int code);
// The code whose name equals the text exactly, else key_none.
int key_code_of_name(std::u16string_view name);

inline bool is_digit_key(int code) { return code >= key_0 && code <= key_0 + 9; }

} // namespace input
