// Shows one child (state) at a time ("multinode"); can play the states as a movie with
// a time per frame. Child buttons report to it, and it passes their notices on.
#pragma once

#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/SkinNode.h"

namespace skin {

class MultiNode : public SkinNode, public ButtonListener {
public:
    std::unique_ptr<SkinNode> remove_child(SkinNode& child, size_t index) override;
    void insert_child(std::unique_ptr<SkinNode> child, size_t index, const Properties* properties, NodeBody body,
        std::u16string_view type) override;
    void load(const Properties& properties, NodeBody body) override;
    void life_cycle(double elapsed) override;

    void clicked(ButtonNode& button, Point point) override;
    void press_changed(ButtonNode& button, Point point, bool cancelled) override;
    void dragged(ButtonNode& button, Point point, Point moved_by) override;

    size_t state() const { return m_current; }
    size_t state_count() const { return child_count(); }
    void set_state(size_t state);
    bool movie() const { return m_movie; }
    // The frame time of a state: its own delay, else the node's; negative when neither is set.
    double frame_time(size_t state) const;
    void set_listener(ButtonListener* listener) { m_listener = listener; }

private:
    void apply_state();

    std::vector<double> m_delays;
    size_t m_current { 0 };
    double m_accumulator { 0 };
    double m_delay { -1 };
    bool m_movie { false };
    ButtonListener* m_listener { nullptr };
};

} // namespace skin
