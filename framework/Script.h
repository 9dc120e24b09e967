// A scripted run's commands (NALO_SCRIPT), one a line: "wait SECONDS", "key NAME" (down
// then up), "keydown NAME", "keyup NAME", "tap X Y", "drag X1 Y1 X2 Y2 SECONDS",
// "text UTF8", "shot FILE.png", "quit". Lines starting with "#" are comments, empty
// lines are skipped. Key names are those of the key table ("Esc" is the phone's Back
// key). A script is outside input: a line longer than 4096 bytes, invalid UTF-8, an
// unknown command or a bad argument is refused with its line number.
#pragma once

#include "skin/draw/Geometry.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace framework {

struct ScriptCommand {
    enum class Kind { wait, key, keydown, keyup, tap, drag, text, shot, quit };
    Kind kind { Kind::quit };
    int line { 0 };
    double seconds { 0 };
    int virtual_key { 0 };
    skin::Point from;
    skin::Point to;
    std::u16string text;
    std::string file;
};

class Script {
public:
    static constexpr size_t max_line = 4096;
    static constexpr size_t max_size = 4 * 1024 * 1024;

    // The commands of the text; none with "line N: reason" in error.
    static std::optional<std::vector<ScriptCommand>> parse(std::string_view text, std::string& error);
    // The same for a file.
    static std::optional<std::vector<ScriptCommand>> load(const std::string& path, std::string& error);
};

} // namespace framework
