// The languages a user can choose: the "*.lng" files directly in the program folder, a
// language's name being its file name without extension. Loads the chosen one into the
// skin object at start-up with the fallbacks, fills the language menu and switches on
// its commands. The choice is the string "Language" under
// "HKEY_CURRENT_USER\Software\NALO\" + application name, written only by a switch.
// A name finds its file whatever the case of either ("GERMAN" finds "german.lng").
#pragma once

#include "framework/PopupMenuEntry.h"

#include <string>
#include <string_view>
#include <vector>

namespace skin {
class Properties;
}

namespace framework {

class LanguageCatalogue {
public:
    static constexpr std::u16string_view menu_identifier = u"Language";
    static constexpr std::u16string_view command_prefix = u"Language#";

    // The folder is a path with macros; the program folder unless a test says otherwise.
    LanguageCatalogue(skin::Properties& properties, std::u16string_view application_name,
        std::u16string_view folder = u"%app_path%");

    // The language files in the file system's order.
    std::vector<std::u16string> files() const;
    // True when there is more than one language file.
    bool has_choice() const;

    // The chosen language ("Language"), else the system language, else "english", else
    // every listed file in order until one loads. False when none loads; the language
    // in use then stays. A fallback is not written to the registry.
    bool load_chosen();
    // Loads the language of that name; false (and nothing changed) when no such file loads.
    bool load_name(std::u16string_view name);

    // The pop-up's handler: "Language" fills the entries ("Language#" + name, sorted by
    // path, each shown by its display name, the current one checked, then "Cancel" with the caller's command); a command
    // "Language#" + name switches to that language and writes the choice. True only when
    // the language changed.
    bool popup(std::u16string_view identifier, std::vector<PopupMenuEntry>& entries,
        std::u16string_view cancel_command);

    // The name of the language in use (its file name without extension), empty before one loads.
    std::u16string current_name() const;
    // How a language file calls its language ("Deutsch"): its text "LanguageName", else
    // the file name without extension.
    static std::u16string display_name(std::u16string_view path);
    // The language in use by its own name.
    std::u16string current_display_name() const;
    // The registry key that holds the choice.
    std::u16string registry_key() const;

private:
    std::u16string path_of(std::u16string_view name) const;

    skin::Properties& m_properties;
    std::u16string m_application_name;
    std::u16string m_folder;
};

} // namespace framework
