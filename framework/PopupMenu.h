// The pop-up menu node ("menu"): a caption and a vertical list of entries over the
// dimmed forms below. It is built from a template ("Menu": a text "caption" and a vlist
// "list") and one row per entry from another ("MenuElement": a text "text" and a
// multinode "check", state 1 for a checked entry). Opening asks the owner for the
// entries and pushes the pop-up as a form with dims-below; a tap on an entry, or Up/Down
// and Enter, choose it; Back (Backspace) or a tap outside the pop-up's panel choose the
// entry "Cancel" when there is one. A choice removes the pop-up from the form stack and
// then reports the entry's identifier to the owner.
//
// The pop-up's panel is its first visible child: a tap outside every child is outside.
#pragma once

#include "framework/PopupMenuEntry.h"
#include "framework/PopupMenuOwner.h"

#include "skin/list/ListSource.h"
#include "skin/nodes/SkinNode.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skin {
class ListNode;
class ListRowNode;
class Properties;
} // namespace skin

namespace framework {

class PopupMenu : public skin::SkinNode, public skin::ListSource {
public:
    static constexpr std::u16string_view type_name = u"menu";
    static constexpr std::u16string_view default_template = u"Menu";
    static constexpr std::u16string_view default_element_template = u"MenuElement";
    // The entry that Back and a tap outside choose.
    static constexpr std::u16string_view cancel_identifier = u"Cancel";

    PopupMenu();
    ~PopupMenu() override;

    // The "menu" type in the node factory (the Application registers it with the engine's
    // types); registering twice throws plexor::NodeAlreadyRegistered.
    static void register_node_type();
    static void unregister_node_type();

    // Builds the pop-up from the named template (plexor::NodeNotFoundInSkin when the skin
    // has none) and remembers the skin for the rows, the row template and the owner. Each
    // open() builds it again, so a pop-up opened after a skin change shows the new skin.
    void build_popup(const skin::Properties& properties, PopupMenuOwner* owner,
        std::u16string_view menu_template = default_template,
        std::u16string_view element_template = default_element_template);
    void set_owner(PopupMenuOwner* owner) { m_owner = owner; }
    PopupMenuOwner* owner() const { return m_owner; }
    void set_element_template(std::u16string_view name) { m_element_template = name; }
    const std::u16string& element_template() const { return m_element_template; }

    // Asks the owner for the entries of the identifier, shows them under the caption
    // (the language text of the identifier) and pushes the pop-up with dims-below. False,
    // and nothing shown, without a skin, an owner, an Application or any entry.
    bool open(std::u16string_view identifier);
    // Leaves the form stack without choosing anything.
    void close();
    // Chooses the entry as a tap does: false for an index outside the entries or a
    // disabled entry.
    bool choose(size_t index);
    // What Back does: chooses the entry "Cancel"; without one, closes the pop-up. False
    // when the pop-up is not open.
    bool cancel();

    bool is_open() const { return m_open; }
    const std::u16string& identifier() const { return m_identifier; }
    const std::vector<PopupMenuEntry>& entries() const { return m_entries; }
    // The index of the entry "Cancel", if any.
    std::optional<size_t> cancel_index() const;
    // The text an entry shows: its own, else the language text of its identifier.
    std::u16string entry_text(const PopupMenuEntry& entry) const;
    // The template's "list" and "caption", or null before a build.
    skin::ListNode* list() const { return m_list; }
    skin::SkinNode* caption() const { return m_caption; }

    void load(const skin::Properties& properties, skin::NodeBody body) override;
    bool stylus(const skin::StylusEvent& event) override;
    bool key(const input::KeyEvent& event) override;
    void life_cycle(double elapsed) override;

    std::unique_ptr<skin::ListRowNode> create_row(skin::ListNode& list, int index) override;
    void row_activated(skin::ListNode& list, int index) override;

private:
    void find_parts();
    bool inside_panel(skin::Point point) const;
    // Runs the choice noted while the event went down the tree, once it is back here.
    bool finish_choice();

    const skin::Properties* m_properties { nullptr };
    PopupMenuOwner* m_owner { nullptr };
    std::u16string m_template;
    std::u16string m_element_template { default_element_template };
    std::u16string m_identifier;
    std::vector<PopupMenuEntry> m_entries;
    skin::ListNode* m_list { nullptr };
    skin::SkinNode* m_caption { nullptr };
    std::optional<size_t> m_pending;
    bool m_open { false };
    bool m_outside_press { false };
};

} // namespace framework
