#include "skin/nodes/SkinNode.h"

#include "skin/file/Properties.h"
#include "skin/layout/ScaleMode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/SkinErrors.h"

#include "runtime/Log.h"

#include <algorithm>

namespace skin {

namespace {

void log_pair(runtime::Log& log, Point p)
{
    log << u"(" << int32_t(p.x) << u", " << int32_t(p.y) << u")";
}

bool is_animation_kind(std::u16string_view kind)
{
    static constexpr std::u16string_view kinds[] = { u"scale", u"pop", u"right", u"bottom", u"left", u"top", u"flip" };
    return std::find(std::begin(kinds), std::end(kinds), kind) != std::end(kinds);
}

} // namespace

SkinNode::~SkinNode() = default;

size_t SkinNode::index_of(const SkinNode& child) const
{
    for (size_t i = 0; i < m_children.size(); ++i) {
        if (m_children[i].get() == &child)
            return i;
    }
    return m_children.size();
}

std::unique_ptr<SkinNode> SkinNode::remove_child(SkinNode& child, size_t index)
{
    // A wrong index must not take out another node.
    if (index >= m_children.size() || m_children[index].get() != &child)
        index = index_of(child);
    if (index >= m_children.size())
        return nullptr;
    invalidate();
    return detach_child(index);
}

std::unique_ptr<SkinNode> SkinNode::detach_child(size_t index)
{
    if (index >= m_children.size())
        return nullptr;
    if (m_captured == m_children[index].get())
        m_captured = nullptr;
    std::unique_ptr<SkinNode> taken = std::move(m_children[index]);
    m_children.erase(m_children.begin() + ptrdiff_t(index));
    taken->m_parent = nullptr;
    return taken;
}

void SkinNode::insert_child(std::unique_ptr<SkinNode> child, size_t index, const Properties*, NodeBody,
    std::u16string_view)
{
    if (!child)
        return;
    SkinNode& node = *child;
    m_children.insert(m_children.begin() + ptrdiff_t(std::min(index, m_children.size())), std::move(child));
    adopt(node);
}

void SkinNode::adopt(SkinNode& node)
{
    node.m_parent = this;
    bool shown = m_visible && m_shown;
    if (node.m_shown != shown)
        node.shown_changed(shown);
    bool enabled = m_enabled && m_enabled_by_parent;
    if (node.m_enabled_by_parent != enabled) {
        node.m_enabled_by_parent = enabled;
        node.update_children_enabled();
    }
}

void SkinNode::child_visibility_changed(SkinNode&) { }

void SkinNode::dump(int depth) const
{
    runtime::Log& log = runtime::get_log();
    for (int i = 0; i < depth; ++i)
        log << u"\t";
    log << u"{" << std::u16string_view(m_id) << u"} position=";
    log_pair(log, position());
    log << u" size=";
    log_pair(log, size());
    log << u" design_size=";
    log_pair(log, m_design_size);
    log << u" rs.size=";
    log_pair(log, m_node_cache.surface().size());
    log << u"\n";
    for (const auto& child : m_children)
        child->dump(depth + 1);
}

void SkinNode::set_text(std::u16string_view id, std::u16string_view text)
{
    for (const auto& child : m_children)
        child->set_text(id, text);
}

void SkinNode::load(const Properties& properties, NodeBody body)
{
    m_id = properties.get_string(body, u"id", u"");
    const std::u16string* anchor_x = properties.find_string(body, u"anchor_x");
    const std::u16string* anchor_y = properties.find_string(body, u"anchor_y");
    m_anchor_x = anchor_x ? parse_scale_mode(*anchor_x) : both_side;
    m_anchor_y = anchor_y ? parse_scale_mode(*anchor_y) : both_side;
    m_border_min = m_design_size = m_border_max = {};
    if (properties.has_section(body, layout::Section::point)) {
        m_border_min = properties.get_point(body, u"border_min", {});
        m_design_size = properties.get_point(body, u"design_size", {});
        m_border_max = properties.get_point(body, u"border_max", {});
    }
    m_cache = false;
    m_cache_alpha = -1;
    if (properties.has_section(body, layout::Section::integer) || properties.has_section(body, layout::Section::font)) {
        m_cache = properties.get_integer(body, u"cache", 0) != 0;
        if (m_cache)
            m_cache_alpha = properties.get_integer(body, u"cache_alpha", -1);
    }
    size_t count = properties.child_count(body);
    for (size_t i = 0; i < count; ++i) {
        NodeBody child_body = properties.child(body, i);
        std::u16string type = properties.get_string(child_body, u"type", u"");
        std::unique_ptr<SkinNode> child = NodeFactory::create(type);
        child->load(properties, child_body);
        insert_child(std::move(child), m_children.size(), &properties, child_body, type);
    }
    m_visibility_animation.reset();
    const std::u16string* animation = properties.find_string(body, u"visibility_animation");
    if (animation && is_animation_kind(*animation))
        m_visibility_animation = create_visibility_animation(*animation);
}

void SkinNode::destroy()
{
    if (m_parent) {
        // The parent hands back the owning pointer; it frees this node on leaving.
        std::unique_ptr<SkinNode> self = m_parent->remove_child(*this, m_parent->index_of(*this));
        return;
    }
    while (!m_children.empty())
        remove_child(*m_children.back(), m_children.size() - 1);
}

void SkinNode::refresh()
{
    for (const auto& child : m_children)
        child->refresh();
    mark_dirty();
}

void SkinNode::cancel_capture()
{
    if (SkinNode* captured = std::exchange(m_captured, nullptr)) {
        StylusEvent cancel;
        cancel.cancelled = true;
        captured->stylus(cancel);
    }
}

void SkinNode::shown_changed(bool shown)
{
    m_shown = shown;
    update_children_shown();
    if (!shown) {
        release_cache();
        cancel_capture();
    }
}

void SkinNode::update_children_shown()
{
    bool shown = m_visible && m_shown;
    for (const auto& child : m_children) {
        if (child->m_shown != shown)
            child->shown_changed(shown);
    }
}

void SkinNode::update_children_enabled()
{
    bool enabled = m_enabled && m_enabled_by_parent;
    for (const auto& child : m_children) {
        if (child->m_enabled_by_parent != enabled) {
            child->m_enabled_by_parent = enabled;
            child->update_children_enabled();
            child->refresh();
        }
    }
}

void SkinNode::life_cycle(double elapsed)
{
    if (m_visibility_animation && m_visibility_animation->running()) {
        m_visibility_animation->life_cycle(*this, elapsed);
        return;
    }
    for (size_t i = 0; i < m_children.size(); ++i)
        m_children[i]->life_cycle(elapsed);
}

void SkinNode::layout_x() { layout_plain(Axis::x); }
void SkinNode::layout_y() { layout_plain(Axis::y); }
void SkinNode::measure_x(Measure& measure) { measure_plain(Axis::x, measure); }
void SkinNode::measure_y(Measure& measure) { measure_plain(Axis::y, measure); }

void SkinNode::measure_plain(Axis axis, Measure& m)
{
    int design = along(m_design_size, axis);
    m.wanted = std::max(m.wanted, design);
    m.minimum = std::max(m.minimum, design);
    for (const auto& child : m_children) {
        Measure c = skin::measure(*child, axis);
        int contribution = scale_contribution(child->anchor(axis), along(child->m_border_min, axis),
            along(child->m_border_max, axis), c.wanted);
        m.wanted = std::max(m.wanted, contribution);
        m.minimum = std::max(m.minimum, c.minimum + contribution - c.wanted);
    }
}

void SkinNode::layout_child(SkinNode& child, Axis axis, int wanted, int room_start, int room)
{
    int mode = child.anchor(axis);
    int bmin = along(child.m_border_min, axis), bmax = along(child.m_border_max, axis);
    int size = scale_size(mode, bmin, bmax, wanted, room);
    int offset = scale_offset(mode, bmin, bmax, size, room);
    skin::place(child, axis, room_start + offset, size);
}

void SkinNode::layout_plain(Axis axis)
{
    int start = axis == Axis::x ? m_x : m_y;
    int room = axis == Axis::x ? m_width : m_height;
    for (size_t i = 0; i < m_children.size(); ++i) {
        SkinNode& child = *m_children[i];
        layout_child(child, axis, skin::measure(child, axis).wanted, start, room);
    }
}

bool SkinNode::contains(Point p) const
{
    return m_x <= p.x && p.x < m_x + m_width && m_y <= p.y && p.y < m_y + m_height;
}

bool SkinNode::stylus_move(Point point)
{
    return m_captured ? m_captured->stylus_move(point) : false;
}

bool SkinNode::stylus(const StylusEvent& event)
{
    if (SkinNode* captured = m_captured) {
        captured->stylus(event);
        // The call may already have dropped the capture (the child went away).
        if ((!event.down || event.cancelled) && m_captured == captured)
            m_captured = nullptr;
        return true;
    }
    for (size_t i = m_children.size(); i-- > 0;) {
        SkinNode& child = *m_children[i];
        if (!child.contains(event.point) || !child.m_visible || !child.m_shown || !child.enabled())
            continue;
        if (child.stylus(event)) {
            // The handler may have changed the children; capture only a child still here.
            if (event.down && !event.cancelled && index_of(child) < m_children.size())
                m_captured = &child;
            return true;
        }
    }
    return false;
}

bool SkinNode::key(const input::KeyEvent& event)
{
    for (size_t i = 0; i < m_children.size(); ++i) {
        SkinNode& child = *m_children[i];
        if (child.m_visible && child.key(event))
            return true;
    }
    return false;
}

bool SkinNode::char_input(char16_t) { return false; }

void SkinNode::build(const Properties& properties, std::u16string_view name)
{
    NodeBody body = properties.find_named_node(name);
    if (!body)
        throw plexor::NodeNotFoundInSkin(name);
    m_captured = nullptr;
    m_children.clear();
    load(properties, body);
    invalidate();
}

SkinNode* SkinNode::find_descendant(std::u16string_view id) const
{
    for (const auto& child : m_children) {
        if (child->m_id == id)
            return child.get();
    }
    for (const auto& child : m_children) {
        if (SkinNode* found = child->find_descendant(id))
            return found;
    }
    return nullptr;
}

SkinNode& SkinNode::bind(std::u16string_view id, LayoutObserver* observer)
{
    SkinNode* found = find_descendant(id);
    if (!found)
        throw plexor::NodeNotFound(m_id, id);
    found->m_layout_observer = observer;
    return *found;
}

void SkinNode::set_visible(bool visible)
{
    if (m_visible == visible)
        return;
    m_visible = visible;
    update_children_shown();
    if (!visible)
        cancel_capture();
    mark_dirty();
    if (m_parent)
        m_parent->child_visibility_changed(*this);
}

void SkinNode::set_enabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    update_children_enabled();
    refresh();
}

void SkinNode::mark_dirty()
{
    for (SkinNode* node = this; node; node = node->m_parent)
        node->m_dirty = true;
}

void SkinNode::invalidate()
{
    for (SkinNode* node = this; node; node = node->m_parent) {
        node->m_wanted_width = node->m_min_width = -1;
        node->m_wanted_height = node->m_min_height = -1;
        node->m_layout_pending = true;
        node->m_dirty = true;
    }
}

} // namespace skin
