// A font with fixed metrics for exact layout tests: every character is a solid 6 x 10
// box, the ellipsis character a 3 x 10 box, and a space leaves a gap.
#pragma once

#include "skin/text/FontRep.h"

class BoxFont final : public skin::FontRep {
public:
    BoxFont()
        : FontRep(skin::FontSpec {})
    {
    }
    static constexpr int line = 10;
    static int advance(char16_t c) { return c == u'\u2026' ? 3 : 6; }

    int line_height() const override { return line; }
    skin::TextExtent measure_text(std::u16string_view text) const override
    {
        skin::TextExtent e;
        e.height = line;
        for (char16_t c : text)
            e.right_edges.push_back(e.width += advance(c));
        return e;
    }
    void draw_line(const skin::PixelBuffer& target, const skin::Rect& clip, skin::Point top_left, std::u16string_view text,
        skin::Color colour) const override
    {
        skin::Rect limit = clip.intersected({ 0, 0, target.width, target.height });
        int pen = top_left.x;
        for (char16_t c : text) {
            if (c != u' ') {
                skin::Rect box = limit.intersected({ pen, top_left.y, advance(c), line });
                for (int y = box.y; y < box.y + box.height; ++y)
                    for (int x = box.x; x < box.x + box.width; ++x)
                        target.at(x, y) = skin::to_565(colour);
            }
            pen += advance(c);
        }
    }
};
