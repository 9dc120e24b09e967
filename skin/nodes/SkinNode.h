// The base of every runtime node built from a skin: a rectangle in the form's
// coordinates placed by its parent's layout, owned children, visibility and input
// state, and dispatch of stylus and key events down the tree.
#pragma once

#include "skin/draw/Geometry.h"
#include "skin/draw/NodeCache.h"
#include "skin/file/NodeBody.h"
#include "skin/layout/LayoutObserver.h"
#include "skin/layout/Measure.h"
#include "skin/nodes/StylusEvent.h"
#include "skin/nodes/VisibilityAnimation.h"

#include "input/KeyCodes.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skin {

class Properties;
class RenderSurface;

enum class Axis { x, y };

class SkinNode {
public:
    SkinNode() = default;
    SkinNode(const SkinNode&) = delete;
    SkinNode& operator=(const SkinNode&) = delete;
    virtual ~SkinNode();

    // Takes the child out (dropping a stylus capture it holds) and hands it back; the
    // node and its ancestors become stale and dirty.
    virtual std::unique_ptr<SkinNode> remove_child(SkinNode& child, size_t index);
    // Takes ownership; the skin data (null for nodes made at run time) is there for
    // subclasses that read attributes of their children.
    virtual void insert_child(std::unique_ptr<SkinNode> child, size_t index, const Properties* properties,
        NodeBody body, std::u16string_view type);
    virtual void child_visibility_changed(SkinNode& child);
    // Logs the tree with positions and sizes.
    virtual void dump(int depth) const;
    // Passes the text to every descendant; text nodes with that id take it.
    virtual void set_text(std::u16string_view id, std::u16string_view text);
    virtual void load(const Properties& properties, NodeBody body);
    // Takes the node out of its parent and frees it; a root only loses its children.
    virtual void destroy();
    virtual void refresh();
    virtual void shown_changed(bool shown);
    virtual void life_cycle(double elapsed);
    virtual void draw(RenderSurface& surface, Point origin);
    virtual void layout_x();
    virtual void layout_y();
    virtual void measure_x(Measure& measure);
    virtual void measure_y(Measure& measure);
    virtual bool contains(Point point) const;
    virtual bool stylus_move(Point point);
    virtual bool stylus(const StylusEvent& event);
    virtual bool key(const input::KeyEvent& event);
    // Typed characters, for edit fields.
    virtual bool char_input(char16_t character);

    // The whole-node step of drawing: visibility animation, cache, dirty mark.
    void draw_node(RenderSurface& surface, Point origin);

    // Rebuilds this node from the named node of the skin; throws
    // plexor::NodeNotFoundInSkin when the skin has none.
    void build(const Properties& properties, std::u16string_view name);
    // Direct children first, then a search below each child in order.
    SkinNode* find_descendant(std::u16string_view id) const;
    // The descendant with the id, with the observer attached; throws plexor::NodeNotFound.
    SkinNode& bind(std::u16string_view id, LayoutObserver* observer);
    void set_visible(bool visible);
    void set_enabled(bool enabled);
    // Appends a node made at run time.
    void add_child(std::unique_ptr<SkinNode> child) { insert_child(std::move(child), m_children.size(), nullptr, {}, {}); }

    // Marks the node and every ancestor for redrawing.
    void mark_dirty();
    // Marks the node and every ancestor stale, layout pending and dirty.
    void invalidate();
    void clear_dirty() { m_dirty = false; }

    const std::u16string& id() const { return m_id; }
    SkinNode* parent() const { return m_parent; }
    LayoutObserver* layout_observer() const { return m_layout_observer; }
    void set_layout_observer(LayoutObserver* observer) { m_layout_observer = observer; }
    int anchor(Axis axis) const { return axis == Axis::x ? m_anchor_x : m_anchor_y; }
    Point border_min() const { return m_border_min; }
    Point border_max() const { return m_border_max; }
    Point design_size() const { return m_design_size; }
    bool visible() const { return m_visible; }
    bool shown() const { return m_shown; }
    bool enabled() const { return m_enabled && m_enabled_by_parent; }
    bool dirty() const { return m_dirty; }
    SkinNode* captured_child() const { return m_captured; }
    int x() const { return m_x; }
    int y() const { return m_y; }
    int width() const { return m_width; }
    int height() const { return m_height; }
    Point position() const { return { m_x, m_y }; }
    Point size() const { return { m_width, m_height }; }
    Rect rect() const { return { m_x, m_y, m_width, m_height }; }
    bool layout_pending() const { return m_layout_pending; }
    bool cache() const { return m_cache; }
    int cache_alpha() const { return m_cache_alpha; }
    // The node's pixels while "cache" is on (empty otherwise and while not shown).
    const RenderSurface& cache_surface() const { return m_node_cache.surface(); }
    VisibilityAnimation* visibility_animation() const { return m_visibility_animation.get(); }
    size_t child_count() const { return m_children.size(); }
    SkinNode& child(size_t index) const { return *m_children[index]; }
    const std::vector<std::unique_ptr<SkinNode>>& children() const { return m_children; }
    // The index of the child in the list, or the count when it is not a child.
    size_t index_of(const SkinNode& child) const;
    // The share of a table's spare room, read from the child's "table_ratio".
    int table_ratio() const { return m_table_ratio; }
    void set_table_ratio(int ratio) { m_table_ratio = ratio; }

protected:
    // Takes the child at the index out without marking anything (a list that drops a
    // row scrolled out of sight relays nothing); drops a stylus capture it holds.
    std::unique_ptr<SkinNode> detach_child(size_t index);
    // Layout along one axis as a plain container: every child gets the whole extent.
    void measure_plain(Axis axis, Measure& measure);
    void layout_plain(Axis axis);
    void layout_child(SkinNode& child, Axis axis, int wanted, int room_start, int room);
    // Frees what drawing keeps for the node while it is not shown.
    void release_cache();
    // Makes this node the parent of a node it keeps outside its children (the rows of a
    // list), so that marks, visibility and input state flow as for a child.
    void adopt(SkinNode& node);

private:
    friend void place_x(SkinNode&, int, int);
    friend void place_y(SkinNode&, int, int);
    friend Measure measure_x(SkinNode&);
    friend Measure measure_y(SkinNode&);

    void update_children_shown();
    void update_children_enabled();
    void cancel_capture();

    std::unique_ptr<VisibilityAnimation> m_visibility_animation;
    std::u16string m_id;
    SkinNode* m_parent { nullptr };
    LayoutObserver* m_layout_observer { nullptr };
    int m_anchor_x { 1 };
    int m_anchor_y { 1 };
    Point m_border_min;
    Point m_design_size;
    int m_wanted_width { -1 };
    int m_min_width { -1 };
    int m_wanted_height { -1 };
    int m_min_height { -1 };
    Point m_border_max;
    bool m_visible { true };
    bool m_shown { true };
    bool m_enabled { true };
    bool m_enabled_by_parent { true };
    bool m_dirty { true };
    SkinNode* m_captured { nullptr };
    int m_x { 0 };
    int m_y { 0 };
    int m_width { 0 };
    int m_height { 0 };
    bool m_layout_pending { true };
    bool m_cache { false };
    int m_cache_alpha { -1 };
    NodeCache m_node_cache;
    std::vector<std::unique_ptr<SkinNode>> m_children;
    int m_table_ratio { 0 };
};

} // namespace skin
