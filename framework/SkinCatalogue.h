// The skins a user can choose: the "*.skin" files directly in base + "/skins/bin", a
// skin's name being its file name without extension. Skins whose name begins with
// "splash" or "today" (in any case) are special and never listed or chosen. Loads the
// chosen skin into the skin object at start-up with the fallbacks, fills the skin menu
// and switches on its commands. The choice is the string "Skin" under
// "HKEY_CURRENT_USER\Software\NALO\" + application name, written only by a switch.
// A name finds its file whatever the case of either.
#pragma once

#include "framework/PopupMenuEntry.h"

#include "skin/file/ScreenInfo.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace skin {
class Properties;
}

namespace framework {

class SkinCatalogue {
public:
    static constexpr std::u16string_view menu_identifier = u"Skin";
    static constexpr std::u16string_view command_prefix = u"Skin#";

    // An empty base is "%app_path%".
    SkinCatalogue(skin::Properties& properties, std::u16string_view application_name,
        std::u16string_view base = {});

    // The screen skins are loaded for: the one set here, else the Application's, else
    // the one NALO_SCREEN describes.
    void set_screen(const skin::ScreenInfo& screen) { m_screen = screen; }
    skin::ScreenInfo screen() const;

    // The skin files in the file system's order, special skins left out.
    std::vector<std::u16string> files() const;
    // True when there is more than one skin file (special skins left out).
    bool has_choice() const;
    // A skin whose name begins with "splash" or "today", in any case.
    static bool is_special(std::u16string_view name);

    // The chosen skin ("Skin"), else "default", else every listed skin in order until one
    // loads. False when none loads; the skin in use then stays. A fallback is not written
    // to the registry.
    bool load_chosen();
    // Loads the skin of that name; false (and nothing changed) for a special skin or when
    // no such file loads.
    bool load_name(std::u16string_view name);

    // The pop-up's handler: "Skin" fills the entries ("Skin#" + name, sorted by path,
    // the text text("Skin#" + name) or the name, the current one checked, then "Cancel"
    // with the caller's command); a command "Skin#" + name switches to that skin and
    // writes the choice. True only when the skin changed.
    bool popup(std::u16string_view identifier, std::vector<PopupMenuEntry>& entries,
        std::u16string_view cancel_command);

    // The name of the skin in use, empty before one loads.
    std::u16string current_name() const;
    std::u16string registry_key() const;
    // base + "/skins/bin".
    const std::u16string& folder() const { return m_folder; }

private:
    std::u16string path_of(std::u16string_view name) const;

    skin::Properties& m_properties;
    std::u16string m_application_name;
    std::u16string m_folder;
    std::optional<skin::ScreenInfo> m_screen;
};

} // namespace framework
