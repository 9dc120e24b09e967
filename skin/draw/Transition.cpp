#include "skin/draw/Transition.h"

#include "skin/draw/Blenders.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace skin {

namespace {

const Blender& opaque()
{
    static const BlenderPtr b = make_opaque_copy();
    return *b;
}

const Blender& keyed()
{
    static const BlenderPtr b = make_level_blender(0);
    return *b;
}

// The card turn. The visible face turns by phi about the vertical centre line; the camera
// looks from twice the width away, so the edge that moves back gets narrower and lower.
void draw_flip(RenderSurface& target, Point origin, Point size, const RenderSurface& background, const RenderSurface& form, double t)
{
    fill(target, origin, size, SolidFill(0x0000));
    double angle = (1.0 - std::clamp(t, 0.0, 1.0)) * std::numbers::pi; // 0: the form faces us
    bool form_side = angle <= std::numbers::pi / 2;
    const RenderSurface& face = form_side ? form : background;
    const Blender& blender = form_side ? keyed() : opaque();
    double phi = form_side ? angle : std::numbers::pi - angle;
    if (!face.buffer().first_row || face.area().empty() || size.x <= 0 || size.y <= 0)
        return;
    // The background turns away the other way round: mirror its angle's sign.
    double sign = form_side ? 1.0 : -1.0;
    double half = size.x / 2.0;
    double distance = 2.0 * size.x;
    double c = std::cos(phi), s = std::sin(phi) * sign;
    const Rect& from = face.area();
    Rect clip = target.area().intersected({ origin.x, origin.y, size.x, size.y });
    if (clip.empty())
        return;
    // Each screen column shows one face column, scaled about the middle row.
    struct Column {
        int source_x { 0 };
        int y0 { 0 }, y1 { 0 };
        int64_t position { 0 }; // source row at the current screen row, 16.16
        int64_t step { 0 };
    };
    std::vector<Column> columns(size_t(clip.width));
    for (int i = 0; i < clip.width; ++i) {
        // Invert the projection sx = u c half D / (D + u s half) for the face coordinate u.
        double sx = clip.x + i + 0.5 - origin.x - half;
        double denominator = half * (c * distance - sx * s);
        if (std::abs(denominator) < 1e-9)
            continue;
        double u = sx * distance / denominator;
        if (u < -1.0 || u >= 1.0)
            continue;
        double k = distance / (distance + u * s * half); // the column's height on screen
        Column& col = columns[size_t(i)];
        col.source_x = std::clamp(int((u + 1.0) / 2.0 * from.width), 0, from.width - 1);
        double height = size.y * k;
        double top = origin.y + (size.y - height) / 2.0;
        col.y0 = std::max(clip.y, int(std::ceil(top)));
        col.y1 = std::min(clip.y + clip.height, int(std::ceil(top + height)));
        double step = from.height / height;
        col.step = int64_t(step * 65536.0);
        col.position = int64_t((col.y0 + 0.5 - top) * step * 65536.0);
    }
    // Rows are gathered into runs of neighbouring columns and blended a run at a time.
    const PixelBuffer& tb = target.buffer();
    const PixelBuffer& fb = face.buffer();
    std::vector<Pixel> run(size_t(clip.width));
    for (int y = clip.y; y < clip.y + clip.height; ++y) {
        int i = 0;
        while (i < clip.width) {
            auto covers = [&](int at) { return y >= columns[size_t(at)].y0 && y < columns[size_t(at)].y1; };
            if (!covers(i)) {
                ++i;
                continue;
            }
            int first = i;
            for (; i < clip.width && covers(i); ++i) {
                Column& col = columns[size_t(i)];
                int source_y = std::clamp(int(col.position >> 16), 0, from.height - 1);
                col.position += col.step;
                run[size_t(i - first)] = fb.row(from.y + source_y)[from.x + col.source_x];
            }
            blender.copy_run(tb.row(y) + clip.x + first, run.data(), i - first);
        }
    }
}

} // namespace

std::optional<TransitionKind> transition_kind(std::u16string_view name)
{
    struct Entry {
        std::u16string_view name;
        TransitionKind kind;
    };
    static const Entry entries[] = { { u"scale", TransitionKind::scale }, { u"pop", TransitionKind::pop },
        { u"right", TransitionKind::right }, { u"bottom", TransitionKind::bottom }, { u"left", TransitionKind::left },
        { u"top", TransitionKind::top }, { u"flip", TransitionKind::flip } };
    for (const Entry& e : entries)
        if (e.name == name)
            return e.kind;
    return std::nullopt;
}

double transition_speed(TransitionKind kind)
{
    return kind == TransitionKind::pop ? 0.5 : 1.0;
}

double transition_scale(TransitionKind kind, double t)
{
    if (kind == TransitionKind::pop) {
        double a = 1.5 * std::numbers::pi * t;
        return 1.0 - std::cos(a) / (1.0 + a);
    }
    return t * t;
}

Point slide_offset(TransitionKind kind, double t, Point size)
{
    switch (kind) {
    case TransitionKind::right:
        return { int((1.0 - t) * size.x), 0 };
    case TransitionKind::bottom:
        return { 0, int((1.0 - t) * size.y) };
    case TransitionKind::left:
        return { int((1.0 - t) * -size.x), 0 };
    case TransitionKind::top:
        return { 0, int((1.0 - t) * -size.y) };
    default:
        return {};
    }
}

void draw_transition(TransitionKind kind, RenderSurface& target, Point origin, Point size, const RenderSurface& background,
    const RenderSurface& form, double t)
{
    switch (kind) {
    case TransitionKind::scale:
    case TransitionKind::pop: {
        blit(target, origin, background, opaque());
        double scale = transition_scale(kind, t);
        Point scaled { int(size.x * scale), int(size.y * scale) };
        if (scaled.x > 0 && scaled.y > 0)
            blit_scaled(target, { origin.x + (size.x - scaled.x) / 2, origin.y + (size.y - scaled.y) / 2 }, scaled, form, keyed());
        break;
    }
    case TransitionKind::right:
    case TransitionKind::bottom:
    case TransitionKind::left:
    case TransitionKind::top: {
        ClipScope clip(target, origin, size);
        Point d = slide_offset(kind, t, size);
        // The form pushes the background out on the side it moves to.
        Point behind = d;
        if (kind == TransitionKind::right)
            behind.x = d.x - size.x;
        else if (kind == TransitionKind::bottom)
            behind.y = d.y - size.y;
        else if (kind == TransitionKind::left)
            behind.x = d.x + size.x;
        else
            behind.y = d.y + size.y;
        blit(target, origin + behind, background, opaque());
        blit(target, origin + d, form, keyed());
        break;
    }
    case TransitionKind::flip:
        draw_flip(target, origin, size, background, form, t);
        break;
    }
}

} // namespace skin
