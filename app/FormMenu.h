// The options: "btnAdd" opens the city list; the check pairs "btnC"/"btnF" (temperature
// unit) and "btnIco"/"btnVal" (the icon option, inside "table", shown only when the
// sibling product is installed) behave as radio buttons; "btnLanguage" and "btnSkin"
// (shown only when there is a choice) and "btnUpdate" open pop-up menus; "btnBack"
// leaves. The check buttons are multinodes: state 1 checked, state 0 not.
//
// Keypad: the buttons answer the digits shown on them (1 cities, 2 °C, 3 °F, 4 update
// interval, 5 language, 6 skin, 7 and 8 the icon pair); Back leaves as "btnBack" does.
#pragma once

#include "app/SettingsListener.h"

#include "framework/PopupMenuOwner.h"

#include "skin/file/ReloadListener.h"
#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/FormNode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace skin {
class ButtonNode;
class MultiNode;
class Properties;
} // namespace skin

namespace framework {
class LanguageCatalogue;
class PopupMenu;
class SkinCatalogue;
} // namespace framework

namespace weather {

class FormMenu : public skin::FormNode,
                 public skin::ButtonListener,
                 public skin::ReloadListener,
                 public framework::PopupMenuOwner,
                 public SettingsListener {
public:
    static constexpr std::u16string_view template_name = u"FormMenu";
    static constexpr std::u16string_view popup_template = u"Menu";
    static constexpr std::u16string_view entry_template = u"MenuElement";

    // The interval pop-up's entries and the minutes each stores ("Cancel" stores none).
    struct Interval {
        std::u16string_view identifier;
        int32_t minutes;
    };
    static constexpr Interval intervals[] = {
        { u"TIME_1", 60 }, { u"TIME_3", 180 }, { u"TIME_6", 360 }, { u"TIME_12", 720 }, { u"TIME_NEVER", 0 },
    };

    // Builds the form and its pop-up menu; plexor::NodeNotFoundInSkin / NodeNotFound on
    // a skin that does not match.
    // The language files are looked for in language_folder and the skins under
    // skin_base + "/skins/bin" (empty: the program folder), as the catalogues do.
    explicit FormMenu(skin::Properties& skin, std::u16string_view language_folder = u"%app_path%",
        std::u16string_view skin_base = {});
    ~FormMenu() override;

    // Pushed with dims-below, its check marks and buttons as the options are now.
    void show();
    void back();
    // Opens the pop-up "Language", "Skin" or "UpdateTime".
    void open_popup(std::u16string_view identifier);
    // The pop-up handler: fills the entries of a pop-up being opened (entries empty) and
    // carries out a chosen entry: the skin catalogue, the language catalogue, then the
    // update interval.
    void on_popup(std::u16string_view identifier, std::vector<framework::PopupMenuEntry>& entries) override;
    // Visibility of the icon pair and the language and skin buttons, and the check marks,
    // from the options.
    void update_nodes();

    skin::ButtonNode& add_button() const { return *m_add; }
    skin::MultiNode& celsius_button() const { return *m_celsius; }
    skin::MultiNode& fahrenheit_button() const { return *m_fahrenheit; }
    skin::SkinNode& icon_table() const { return *m_table; }
    skin::MultiNode& icon_button() const { return *m_icon; }
    skin::MultiNode& value_button() const { return *m_value; }
    skin::ButtonNode& language_button() const { return *m_language; }
    skin::ButtonNode& skin_button() const { return *m_skin_button; }
    skin::ButtonNode& update_button() const { return *m_update; }
    skin::ButtonNode& back_button() const { return *m_back; }
    framework::PopupMenu& popup() const;
    framework::LanguageCatalogue& languages() const { return *m_languages; }
    framework::SkinCatalogue& skins() const { return *m_skins; }

    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }
    void reload(skin::Properties& properties) override;
    bool key(const input::KeyEvent& event) override;

private:
    void build_form();
    // Pushed again after a skin or language switch, so that it shows in the new one.
    void show_again();

    skin::Properties& m_skin;
    std::u16string m_language_folder;
    std::u16string m_skin_base;
    std::unique_ptr<framework::LanguageCatalogue> m_languages;
    std::unique_ptr<framework::SkinCatalogue> m_skins;
    std::unique_ptr<framework::PopupMenu> m_popup;
    skin::ButtonNode* m_add { nullptr };
    skin::MultiNode* m_celsius { nullptr };
    skin::MultiNode* m_fahrenheit { nullptr };
    skin::SkinNode* m_table { nullptr };
    skin::MultiNode* m_icon { nullptr };
    skin::MultiNode* m_value { nullptr };
    skin::ButtonNode* m_language { nullptr };
    skin::ButtonNode* m_skin_button { nullptr };
    skin::ButtonNode* m_update { nullptr };
    skin::ButtonNode* m_back { nullptr };
};

} // namespace weather
