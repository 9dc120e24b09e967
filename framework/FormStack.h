// The form stack of the shell: forms are skin nodes, the last one on top. Only the top
// receives input; forms below it show only while every form above them dims what is
// below (the dims-below flag), drawn under a dimmed picture. A form's visibility
// animation plays when it is pushed or removed with animate set; a removed form stays
// here until its hide animation has run. The transition level is the brightness of the
// forms under the top one: it moves by 16 per frame towards 128 while the top form dims,
// and back towards 256 otherwise (the whole frame shown at that level).
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/RenderSurface.h"

#include <vector>

namespace skin {
class SkinNode;
}

namespace framework {

struct FormEntry {
    skin::SkinNode* form { nullptr };
    bool dims_below { false };
};

class FormStack {
public:
    static constexpr int level_dimmed = 128;
    static constexpr int level_bright = 256;
    static constexpr int level_step = 16;

    FormStack(int width, int height);

    // A new screen size: every form is laid out to it again.
    void set_screen(int width, int height);
    skin::Point screen() const { return m_screen; }

    // Pushing a form that is already on the stack brings it to the top.
    void push(skin::SkinNode& form, bool dims_below, bool animate);
    // False when the form is not on the stack.
    bool remove(skin::SkinNode& form, bool animate);

    skin::SkinNode* top() const { return m_entries.empty() ? nullptr : m_entries.back().form; }
    const std::vector<FormEntry>& entries() const { return m_entries; }
    bool contains(const skin::SkinNode& form) const;
    // Removed forms whose hide animation still runs.
    const std::vector<skin::SkinNode*>& closing() const { return m_closing; }
    int transition_level() const { return m_level; }
    // True while a show or hide animation of the stack runs.
    bool animating() const;

    // Advances every form on the stack and every closing one.
    void life_cycle(double elapsed);
    // One frame into the target (the screen's size): an animation draws the whole frame;
    // otherwise the level moves one step and the stack is drawn when anything changed (or
    // force is set). True when the target was drawn.
    bool frame(skin::RenderSurface& target, bool force);
    // The stack as it stands, into the target, without moving the level.
    void compose(skin::RenderSurface& target);

private:
    void update_visibility();
    // The index of the lowest form that shows under the top one.
    size_t lowest_shown() const;
    void draw_form(skin::RenderSurface& target, skin::SkinNode& form, bool fill_outside);
    void draw_layers(skin::RenderSurface& target, size_t from, size_t to);
    skin::RenderSurface picture_of_stack();
    void drop_finished();

    std::vector<FormEntry> m_entries;
    std::vector<skin::SkinNode*> m_closing;
    int m_level { level_bright };
    skin::Point m_screen;
    // The forms under a dimming top form, drawn once and kept while none of them changes.
    skin::RenderSurface m_below;
    bool m_below_valid { false };
};

} // namespace framework
