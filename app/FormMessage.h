// A message over the dimmed form below, "btnBack" (or Back) to close it: shown instead
// of the city search when the city list is full, with the fixed English text "Delete
// some cities before adding", and for the notices of Settings (a damaged list, a save
// that failed) with their language texts.
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

    // The limit message, pushed with dims-below.
    void show();
    // The text, pushed with dims-below (shown already: the text changes).
    void show_text(std::u16string_view text);
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
