// Breaking a text into lines that fit a width, from the right edges of its characters.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace skin {

struct TextLine {
    size_t start { 0 };
    size_t length { 0 };
    friend bool operator==(const TextLine&, const TextLine&) = default;
};

// Lines may break after any character below U+0021 and after U+200B; a line feed always
// ends a line (and is in neither line). When the text since the line start no longer
// fits, the line ends at the last break opportunity if the overflowing word fits on a
// line of its own, else the word is cut before the character that overflows. right_edges
// holds, for every character, its right edge measured from the text's start. An empty
// text has no lines.
std::vector<TextLine> break_lines(std::u16string_view text, const std::vector<int>& right_edges, int width);

} // namespace skin
