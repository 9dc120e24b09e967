// A button ("button"): shows its "#normal", "#pressed" or "#disabled" descendant, is
// pressed by the stylus or by its bound key, and clicks on release.
#pragma once

#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/SkinNode.h"

namespace skin {

class ButtonNode : public SkinNode {
public:
    void load(const Properties& properties, NodeBody body) override;
    void refresh() override;
    bool stylus_move(Point point) override;
    bool stylus(const StylusEvent& event) override;
    bool key(const input::KeyEvent& event) override;

    void set_listener(ButtonListener* listener) { m_listener = listener; }
    ButtonListener* listener() const { return m_listener; }
    bool pressed() const { return m_pressed; }
    int bound_key() const { return m_key; }
    const std::u16string& caption() const { return m_caption; }

private:
    void apply_state();
    void press_rule(bool was_pressed, bool cancelled, bool from_key, Point point);

    SkinNode* m_normal { nullptr };
    SkinNode* m_pressed_state { nullptr };
    SkinNode* m_disabled { nullptr };
    int m_key { input::key_none };
    std::u16string m_caption;
    bool m_pressed { false };
    Point m_last_point;
    ButtonListener* m_listener { nullptr };
};

} // namespace skin
