// The message shown instead of the city search when the city list is full: the fixed
// English text "Delete some cities before adding" over the dimmed form below, and
// "btnBack" (or Back) to close it.
#pragma once

#include "skin/file/ReloadListener.h"
#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/FormNode.h"

#include <string_view>

namespace skin {
class ButtonNode;
class Properties;
class TextNode;
} // namespace skin

namespace weather {

class FormMessage : public skin::FormNode, public skin::ButtonListener, public skin::ReloadListener {
public:
    static constexpr std::u16string_view template_name = u"FormMessage";
    static constexpr std::u16string_view limit_text = u"Delete some cities before adding";

    explicit FormMessage(skin::Properties& skin);
    ~FormMessage() override;

    // Pushed with dims-below.
    void show();
    void back();

    skin::TextNode& message() const { return *m_message; }
    skin::ButtonNode& back_button() const { return *m_back; }

    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }
    void reload(skin::Properties& properties) override;
    bool key(const input::KeyEvent& event) override;

private:
    void build_form();

    skin::Properties& m_skin;
    skin::TextNode* m_message { nullptr };
    skin::ButtonNode* m_back { nullptr };
};

} // namespace weather
