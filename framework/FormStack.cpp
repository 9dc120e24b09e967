#include "framework/FormStack.h"

#include "skin/draw/Blenders.h"
#include "skin/draw/Dim.h"
#include "skin/draw/Drawing.h"
#include "skin/draw/SolidFill.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeVisibilityAnimation.h"
#include "skin/nodes/SkinNode.h"

#include <algorithm>

namespace framework {

using skin::RenderSurface;
using skin::SkinNode;

namespace {

skin::VisibilityAnimation* animation_of(SkinNode& form) { return form.visibility_animation(); }

bool animation_runs(SkinNode& form)
{
    skin::VisibilityAnimation* animation = animation_of(form);
    return animation && animation->running();
}

} // namespace

FormStack::FormStack(int width, int height)
    : m_screen { width, height }
{
}

void FormStack::set_screen(int width, int height)
{
    m_screen = { width, height };
    for (const FormEntry& entry : m_entries)
        skin::place_on_screen(*entry.form, width, height);
    m_below_valid = false;
}

bool FormStack::contains(const SkinNode& form) const
{
    return std::any_of(m_entries.begin(), m_entries.end(), [&](const FormEntry& e) { return e.form == &form; });
}

bool FormStack::animating() const
{
    if (!m_closing.empty())
        return true;
    return !m_entries.empty() && animation_runs(*m_entries.back().form);
}

size_t FormStack::lowest_shown() const
{
    size_t lowest = m_entries.size() - 1;
    while (lowest > 0 && m_entries[lowest].dims_below)
        --lowest;
    return lowest;
}

void FormStack::update_visibility()
{
    if (m_entries.empty())
        return;
    size_t lowest = lowest_shown();
    for (size_t i = 0; i < m_entries.size(); ++i)
        m_entries[i].form->set_visible(i >= lowest);
    m_below_valid = false;
}

RenderSurface FormStack::picture_of_stack()
{
    RenderSurface picture(m_screen.x, m_screen.y);
    compose(picture);
    return picture;
}

void FormStack::push(SkinNode& form, bool dims_below, bool animate)
{
    auto closing = std::find(m_closing.begin(), m_closing.end(), &form);
    bool was_closing = closing != m_closing.end();
    if (was_closing)
        m_closing.erase(closing);
    auto present = std::find_if(m_entries.begin(), m_entries.end(), [&](const FormEntry& e) { return e.form == &form; });
    if (present != m_entries.end())
        m_entries.erase(present);

    skin::VisibilityAnimation* animation = animation_of(form);
    if (m_entries.empty()) {
        if (animation)
            animation->stop();
        m_entries.push_back({ &form, dims_below });
        form.set_visible(true);
        skin::place_on_screen(form, m_screen.x, m_screen.y);
        m_below_valid = false;
        return;
    }
    RenderSurface background;
    bool start = animate && animation && !animation->running();
    if (start)
        background = picture_of_stack();
    m_entries.push_back({ &form, dims_below });
    update_visibility();
    skin::place_on_screen(form, m_screen.x, m_screen.y);
    if (animation && animation->running()) {
        // A form coming back while it still leaves turns round.
        if (animate && animation->direction() < 0)
            animation->reverse();
        else if (!animate)
            animation->stop();
    } else if (start) {
        animation->start(+1, std::move(background), skin::snapshot_node(form));
    }
    form.mark_dirty();
}

bool FormStack::remove(SkinNode& form, bool animate)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const FormEntry& e) { return e.form == &form; });
    if (it == m_entries.end())
        return false;
    bool was_top = it + 1 == m_entries.end();
    m_entries.erase(it);
    skin::VisibilityAnimation* animation = animation_of(form);
    if (!was_top) {
        if (animation)
            animation->stop();
        form.set_visible(false);
        update_visibility();
        return true;
    }
    update_visibility();
    if (!m_entries.empty())
        m_entries.back().form->mark_dirty();
    if (animate && animation) {
        if (animation->running()) {
            // The show animation still runs: it goes back from where it stands.
            if (animation->direction() > 0)
                animation->reverse();
        } else {
            RenderSurface background = picture_of_stack();
            animation->start(-1, std::move(background), skin::snapshot_node(form));
        }
        form.set_visible(true);
        m_closing.push_back(&form);
        return true;
    }
    if (animation)
        animation->stop();
    form.set_visible(false);
    return true;
}

void FormStack::life_cycle(double elapsed)
{
    // A form may push or remove forms from its life cycle: only forms still here run.
    std::vector<FormEntry> entries = m_entries;
    for (const FormEntry& entry : entries) {
        if (contains(*entry.form))
            entry.form->life_cycle(elapsed);
    }
    std::vector<SkinNode*> closing = m_closing;
    for (SkinNode* form : closing) {
        if (std::find(m_closing.begin(), m_closing.end(), form) != m_closing.end())
            form->life_cycle(elapsed);
    }
}

void FormStack::drop_finished()
{
    for (auto it = m_closing.begin(); it != m_closing.end();) {
        SkinNode* form = *it;
        if (animation_runs(*form)) {
            ++it;
            continue;
        }
        it = m_closing.erase(it);
        form->set_visible(false);
        m_below_valid = false;
        if (!m_entries.empty())
            m_entries.back().form->mark_dirty();
    }
}

bool FormStack::frame(RenderSurface& target, bool force)
{
    drop_finished();
    if (!m_closing.empty()) {
        m_closing.back()->draw_node(target, { 0, 0 });
        if (!m_entries.empty() && animation_runs(*m_entries.back().form))
            m_entries.back().form->draw_node(target, { 0, 0 });
        return true;
    }
    if (!m_entries.empty() && animation_runs(*m_entries.back().form)) {
        m_entries.back().form->draw_node(target, { 0, 0 });
        return true;
    }
    bool changed = force;
    int wanted = !m_entries.empty() && m_entries.back().dims_below ? level_dimmed : level_bright;
    if (m_level != wanted) {
        m_level = m_level < wanted ? std::min(wanted, m_level + level_step) : std::max(wanted, m_level - level_step);
        changed = true;
    }
    if (!m_entries.empty()) {
        skin::place_on_screen(*m_entries.back().form, m_screen.x, m_screen.y);
        for (size_t i = lowest_shown(); i < m_entries.size(); ++i)
            changed = changed || m_entries[i].form->dirty();
    }
    if (!changed)
        return false;
    compose(target);
    return true;
}

void FormStack::draw_form(RenderSurface& target, SkinNode& form, bool fill_outside)
{
    skin::place_on_screen(form, m_screen.x, m_screen.y);
    if (fill_outside) {
        auto* top = dynamic_cast<skin::FormNode*>(&form);
        skin::Color outside = top ? top->outside_color() : skin::Color {};
        skin::fill(target, { 0, 0 }, m_screen, skin::SolidFill(skin::Pixel(skin::to_565(outside) | skin::opaque_bit)));
    }
    form.draw_node(target, form.position());
}

void FormStack::draw_layers(RenderSurface& target, size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i) {
        const FormEntry& entry = m_entries[i];
        if (i == from && !entry.dims_below) {
            draw_form(target, *entry.form, true);
            continue;
        }
        if (i == from)
            skin::fill(target, { 0, 0 }, m_screen, skin::SolidFill(skin::opaque_bit));
        else
            skin::fill(target, { 0, 0 }, m_screen, skin::Dim(level_dimmed));
        draw_form(target, *entry.form, false);
    }
}

void FormStack::compose(RenderSurface& target)
{
    if (m_entries.empty()) {
        skin::fill(target, { 0, 0 }, m_screen, skin::SolidFill(skin::opaque_bit));
        return;
    }
    size_t top = m_entries.size() - 1;
    const FormEntry& entry = m_entries[top];
    if (!entry.dims_below) {
        draw_form(target, *entry.form, true);
        if (m_level < level_bright)
            skin::fill(target, { 0, 0 }, m_screen, skin::Dim(m_level));
        return;
    }
    // The picture under a dimming form: kept while none of its forms changes.
    size_t lowest = lowest_shown();
    bool below_changed = !m_below_valid || m_below.size() != m_screen;
    for (size_t i = lowest; i < top && !below_changed; ++i)
        below_changed = m_entries[i].form->dirty();
    if (below_changed) {
        m_below.recreate(m_screen.x, m_screen.y);
        if (lowest < top)
            draw_layers(m_below, lowest, top);
        else
            skin::fill(m_below, { 0, 0 }, m_screen, skin::SolidFill(skin::opaque_bit));
        m_below_valid = true;
    }
    static const skin::BlenderPtr copy = skin::make_opaque_copy();
    skin::blit(target, { 0, 0 }, m_below, *copy);
    skin::fill(target, { 0, 0 }, m_screen, skin::Dim(m_level));
    draw_form(target, *entry.form, false);
}

} // namespace framework
