#include "skin/text/FreeTypeFont.h"

#include "platform/Clock.h"
#include "platform/TextEncoding.h"
#include "runtime/Log.h"
#include "skin/text/FontMatcher.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdlib>

namespace skin {

namespace {

// Character heights for small fonts, as the screen's 96 dpi rounds them.
constexpr int small_heights[20] = { 0, 1, 3, 4, 6, 7, 8, 10, 11, 12, 14, 15, 16, 18, 19, 20, 21, 23, 24, 25 };

int ceil_26_6(long v) { return int((v + 63) >> 6); }

// Walks UTF-16 text by code points, calling f(code, first unit, unit count).
template<typename F>
void for_each_code_point(std::u16string_view text, F f)
{
    for (size_t i = 0; i < text.size();) {
        char32_t c = text[i];
        size_t n = 1;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            n = 2;
        }
        f(c, i, n);
        i += n;
    }
}

inline Pixel blend(Pixel d, int cr, int cg, int cb, int a)
{
    int w = a + (a >> 7); // 0..256
    int r = (cr * w + ((d >> 11) & 31) * (256 - w)) >> 8;
    int g = (cg * w + ((d >> 5) & 63) * (256 - w)) >> 8;
    int b = (cb * w + (d & 31) * (256 - w)) >> 8;
    return Pixel((r << 11) | (g << 5) | b);
}

} // namespace

int FreeTypeFont::character_height(const FontSpec& spec)
{
    int h = spec.size * spec.scale_factor;
    if (h >= 0 && h <= 19)
        return small_heights[h];
    return h * 96 / 72;
}

FreeTypeFont::FreeTypeFont(FontSpec spec)
    : FontRep(std::move(spec))
{
    uint32_t started = platform::tick_count();
    const FontSpec& s = this->spec();
    std::u16string face = s.face.substr(0, 31);
    // A height of 0 asks for the platform's default size, that of a 12-point font.
    int height = std::abs(character_height(s));
    if (height == 0) {
        FontSpec standard = s;
        standard.size = 12;
        height = character_height(standard);
    }
    m_pixel_size = std::max(height, 1);
    FontMatch match;
    FT_Library library = freetype_library();
    if (!library || !match_font(platform::to_utf8(face), s.bold, s.italic, m_pixel_size, match)
        || FT_New_Face(library, match.file.c_str(), match.index, &m_face) != 0) {
        m_face = nullptr;
        runtime::get_log() << u"ERROR: FontRep::FontRep() Failed to create font\n";
        return;
    }
    m_family = match.family;
    m_embolden = match.embolden;
    m_slant = match.slant;
    if (FT_Set_Pixel_Sizes(m_face, 0, FT_UInt(m_pixel_size)) != 0) {
        runtime::get_log() << u"GetTextMetrics failed: {" << face << u"}\n";
    } else {
        const FT_Size_Metrics& m = m_face->size->metrics;
        m_ascent = ceil_26_6(m.ascender);
        m_descent = ceil_26_6(-m.descender);
        if (FT_IS_SCALABLE(m_face)) {
            m_underline_position = std::max(1, int(FT_MulFix(-m_face->underline_position, m.y_scale) >> 6));
            m_underline_thickness = std::max(1, int(FT_MulFix(m_face->underline_thickness, m.y_scale) >> 6));
        }
    }
    double elapsed = (platform::tick_count() - started) / 1000.0;
    runtime::get_log() << u"Creating font: {" << face << u"} elapsed=" << elapsed << u"\n";
}

FreeTypeFont::~FreeTypeFont()
{
    if (m_face)
        FT_Done_Face(m_face);
}

Glyph FreeTypeFont::rasterise(char32_t code) const
{
    Glyph g;
    ++m_rasterised;
    if (!m_face || code < 0x20)
        return g; // control characters take no room on a single line
    if (FT_Load_Char(m_face, code, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return g;
    FT_GlyphSlot slot = m_face->glyph;
    if (m_embolden)
        FT_GlyphSlot_Embolden(slot);
    if (m_slant)
        FT_GlyphSlot_Oblique(slot);
    g.advance = int((slot->advance.x + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0)
        return g;
    const FT_Bitmap& bm = slot->bitmap;
    g.width = int(bm.width);
    g.rows = int(bm.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.coverage.resize(size_t(g.width) * size_t(g.rows));
    for (int y = 0; y < g.rows; ++y) {
        const unsigned char* row = bm.buffer + ptrdiff_t(y) * bm.pitch;
        std::copy(row, row + g.width, g.coverage.begin() + ptrdiff_t(y) * g.width);
    }
    return g;
}

const Glyph& FreeTypeFont::glyph(char32_t code) const
{
    if (code < 128 && m_ascii[code])
        return *m_ascii[code];
    auto it = m_glyphs.find(code);
    if (it == m_glyphs.end())
        it = m_glyphs.emplace(code, rasterise(code)).first;
    if (code < 128)
        m_ascii[code] = &it->second;
    return it->second;
}

TextExtent FreeTypeFont::measure_text(std::u16string_view text) const
{
    TextExtent e;
    e.height = line_height();
    e.right_edges.resize(text.size());
    int pen = 0;
    for_each_code_point(text, [&](char32_t c, size_t first, size_t units) {
        // A surrogate pair's first unit ends where the character starts.
        if (units == 2)
            e.right_edges[first] = pen;
        pen += glyph(c).advance;
        e.right_edges[first + units - 1] = pen;
    });
    e.width = pen;
    return e;
}

void FreeTypeFont::draw_line(const PixelBuffer& target, const Rect& clip, Point top_left, std::u16string_view text, Color colour) const
{
    Rect limit = clip.intersected({ 0, 0, target.width, target.height });
    if (limit.empty() || !target.first_row || !m_face)
        return;
    Pixel c = to_565(colour);
    int cr = c >> 11, cg = (c >> 5) & 63, cb = c & 31;
    int baseline = top_left.y + m_ascent;
    int pen = top_left.x;
    int right = limit.x + limit.width, bottom = limit.y + limit.height;
    for_each_code_point(text, [&](char32_t code, size_t, size_t) {
        const Glyph& g = glyph(code);
        int gx = pen + g.left, gy = baseline - g.top;
        pen += g.advance;
        int x0 = std::max(gx, limit.x), x1 = std::min(gx + g.width, right);
        int y0 = std::max(gy, limit.y), y1 = std::min(gy + g.rows, bottom);
        for (int y = y0; y < y1; ++y) {
            const uint8_t* cov = g.coverage.data() + ptrdiff_t(y - gy) * g.width - gx;
            Pixel* row = target.row(y);
            for (int x = x0; x < x1; ++x) {
                int a = cov[x];
                if (a == 255)
                    row[x] = c;
                else if (a != 0)
                    row[x] = blend(row[x], cr, cg, cb, a);
            }
        }
    });
    if (spec().underline) {
        int x0 = std::max(top_left.x, limit.x), x1 = std::min(pen, right);
        int y0 = std::max(baseline + m_underline_position, limit.y);
        int y1 = std::min(baseline + m_underline_position + m_underline_thickness, bottom);
        for (int y = y0; y < y1; ++y)
            std::fill(target.row(y) + x0, target.row(y) + std::max(x0, x1), c);
    }
}

} // namespace skin
