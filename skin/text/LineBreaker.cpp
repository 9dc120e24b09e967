#include "skin/text/LineBreaker.h"

namespace skin {

namespace {

bool breaks_after(char16_t c) { return c < 0x21 || c == 0x200B; }

} // namespace

std::vector<TextLine> break_lines(std::u16string_view text, const std::vector<int>& right_edges, int width)
{
    std::vector<TextLine> lines;
    size_t n = std::min(text.size(), right_edges.size());
    auto edge_before = [&](size_t i) { return i == 0 ? 0 : right_edges[i - 1]; };
    size_t start = 0;
    size_t last_break = 0; // a position after a break opportunity, 0 for none in this line
    for (size_t i = 0; i < n; ++i) {
        char16_t c = text[i];
        if (c == u'\n') {
            lines.push_back({ start, i - start });
            start = i + 1;
            last_break = 0;
            continue;
        }
        if (i > start && right_edges[i] - edge_before(start) > width) {
            bool word_fits = false;
            if (last_break > start) {
                size_t end = i;
                while (end < n && !breaks_after(text[end]))
                    ++end;
                // A word ends before its break character, except after U+200B.
                size_t last = end < n && text[end] == 0x200B ? end + 1 : end;
                word_fits = right_edges[last - 1] - edge_before(last_break) <= width;
            }
            size_t cut = word_fits ? last_break : i;
            lines.push_back({ start, cut - start });
            start = cut;
            last_break = 0;
        }
        if (breaks_after(c))
            last_break = i + 1;
    }
    if (start < n)
        lines.push_back({ start, n - start });
    return lines;
}

} // namespace skin
