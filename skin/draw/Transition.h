// The frames of the visibility animations: how the form snapshot and the snapshot of the
// screen behind it are drawn at progress t (0 nothing of the form, 1 the form in place).
#pragma once

#include "skin/draw/RenderSurface.h"

#include <optional>
#include <string_view>

namespace skin {

enum class TransitionKind { scale, pop, right, bottom, left, top, flip };

// The kind a "visibility_animation" text names; none for any other text.
std::optional<TransitionKind> transition_kind(std::u16string_view name);
// Progress per second is speed x 5: 1.0, or 0.5 for "pop".
double transition_speed(TransitionKind kind);

// The scale of the form snapshot for "scale" and "pop".
double transition_scale(TransitionKind kind, double t);
// The offset of the form snapshot for the slides (the background follows one size behind).
Point slide_offset(TransitionKind kind, double t, Point size);

// Draws one frame into the rectangle (origin, size) of the target.
void draw_transition(TransitionKind kind, RenderSurface& target, Point origin, Point size, const RenderSurface& background,
    const RenderSurface& form, double t);

} // namespace skin
