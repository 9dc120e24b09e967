#include "framework/VirtualKeys.h"

#include "input/KeyCodes.h"

#include <SDL_keycode.h>

namespace framework {

int virtual_key_of_sdl(int32_t key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return 112 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return 97 + (key - SDLK_KP_1);
    switch (key) {
    case SDLK_BACKSPACE: return vk::back;
    case SDLK_TAB: return vk::tab;
    case SDLK_RETURN: case SDLK_KP_ENTER: return vk::enter;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL: case SDLK_RCTRL: return 17;
    case SDLK_LALT: case SDLK_RALT: return 18;
    case SDLK_ESCAPE: return vk::escape;
    case SDLK_SPACE: return vk::space;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return vk::end;
    case SDLK_HOME: return vk::home;
    case SDLK_LEFT: return vk::left;
    case SDLK_UP: return vk::up;
    case SDLK_RIGHT: return vk::right;
    case SDLK_DOWN: return vk::down;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return vk::del;
    case SDLK_APPLICATION: return 93;
    case SDLK_KP_0: return 96;
    case SDLK_KP_MULTIPLY: return 106;
    case SDLK_KP_PLUS: return 107;
    case SDLK_KP_MINUS: return 109;
    case SDLK_KP_PERIOD: return 110;
    case SDLK_KP_DIVIDE: return 111;
    case SDLK_SEMICOLON: return 186;
    case SDLK_EQUALS: return 187;
    case SDLK_COMMA: return 188;
    case SDLK_MINUS: return 189;
    case SDLK_PERIOD: return 190;
    case SDLK_SLASH: return 191;
    case SDLK_BACKQUOTE: return 192;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_BACKSLASH: return 220;
    case SDLK_RIGHTBRACKET: return 221;
    case SDLK_QUOTE: return 222;
    default: return 0;
    }
}

int virtual_key_of_name(std::u16string_view name)
{
    if (name == u"Esc")
        return vk::escape;
    // One key for every code the table gives from a key; the first in this list wins.
    static constexpr int keys[] = {
        8, 9, 13, 16, 17, 18, 32, 33, 34, 35, 36, 37, 38, 39, 40, 45, 46, 93, 106, 107, 109, 110, 111,
        112, 113, 114, 115, 117, 118, 120,
    };
    int code = input::key_code_of_name(name);
    if (code == input::key_none)
        return 0;
    if (code >= input::key_a && code < input::key_a + 26)
        return 'A' + (code - input::key_a);
    if (input::is_digit_key(code))
        return '0' + (code - input::key_0);
    for (int key : keys) {
        if (input::key_code_of_virtual_key(key) == code)
            return key;
    }
    return 0;
}

bool types_text(int key)
{
    return key == vk::space || (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= 96 && key <= 111 && key != 108)
        || (key >= 186 && key <= 192) || (key >= 219 && key <= 222);
}

bool edits_text(int key)
{
    return key == vk::back || key == vk::del || key == vk::left || key == vk::right || key == vk::home || key == vk::end;
}

} // namespace framework
