// The pop-up's test program: the languages and skins of a program folder loaded through
// the catalogues, the options form of the skin ("FormMenu") with its Update, Language
// and Skin buttons opening the pop-up menu, run until quit. Tests drive it with scripts
// (NALO_SCRIPT) and read what it noticed from the events file.
//   NALO_DEMO_PROGRAM  the program folder with the "*.lng" files and skins/bin (default:
//                      the build's program folder)
//   NALO_DEMO_EVENTS   a file that gets one line per notice ("popup IDENTIFIER ENTRIES",
//                      "language NAME", "skin NAME", "update MINUTES", "ended CODE")
#include "framework/Application.h"
#include "framework/LanguageCatalogue.h"
#include "framework/PopupMenu.h"
#include "framework/SkinCatalogue.h"

#include "platform/TextEncoding.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/FormNode.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::u16string application_name = u"PopupDemo";

void note(const std::string& line)
{
    static FILE* file = [] {
        const char* path = std::getenv("NALO_DEMO_EVENTS");
        return path && *path ? std::fopen(path, "a") : nullptr;
    }();
    if (!file)
        return;
    std::fprintf(file, "%s\n", line.c_str());
    std::fflush(file);
}

std::string utf8(std::u16string_view text) { return platform::to_utf8(text); }

struct UpdateChoice {
    const char16_t* identifier;
    int minutes;
};
constexpr UpdateChoice update_choices[] = {
    { u"TIME_1", 60 }, { u"TIME_3", 180 }, { u"TIME_6", 360 }, { u"TIME_12", 720 }, { u"TIME_NEVER", 0 },
};

class OptionsForm : public skin::FormNode, public skin::ButtonListener, public framework::PopupMenuOwner {
public:
    OptionsForm(skin::Properties& skin, framework::LanguageCatalogue& languages, framework::SkinCatalogue& skins)
        : m_skin(skin)
        , m_languages(languages)
        , m_skins(skins)
    {
        rebuild();
    }

    void rebuild()
    {
        build(m_skin, u"FormMenu");
        for (const char16_t* id : { u"btnUpdate", u"btnLanguage", u"btnSkin", u"btnBack" })
            static_cast<skin::ButtonNode&>(bind(id, nullptr)).set_listener(this);
        bind(u"btnLanguage", nullptr).set_visible(m_languages.has_choice());
        bind(u"btnSkin", nullptr).set_visible(m_skins.has_choice());
        m_popup.build_popup(m_skin, this);
    }

    void clicked(skin::ButtonNode& button, skin::Point) override
    {
        if (button.id() == u"btnBack")
            framework::Application::singleton()->quit(0);
        else if (button.id() == u"btnUpdate")
            m_popup.open(u"UpdateTime");
        else if (button.id() == u"btnLanguage")
            m_popup.open(u"Language");
        else
            m_popup.open(u"Skin");
    }
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }

    void on_popup(std::u16string_view identifier, std::vector<framework::PopupMenuEntry>& entries) override
    {
        bool changed = false;
        if (m_skins.popup(identifier, entries, u"Cancel")) {
            note("skin " + utf8(m_skins.current_name()));
            changed = true;
        }
        if (m_languages.popup(identifier, entries, u"Cancel")) {
            note("language " + utf8(m_languages.current_name()));
            changed = true;
        }
        if (identifier == u"UpdateTime") {
            for (const UpdateChoice& choice : update_choices) {
                framework::PopupMenuEntry entry;
                entry.identifier = choice.identifier;
                entry.checked = choice.minutes == m_minutes;
                entries.push_back(entry);
            }
            framework::PopupMenuEntry cancel;
            cancel.identifier = u"Cancel";
            entries.push_back(cancel);
        }
        for (const UpdateChoice& choice : update_choices) {
            if (identifier == choice.identifier) {
                m_minutes = choice.minutes;
                note("update " + std::to_string(m_minutes));
            }
        }
        note("popup " + utf8(identifier) + " " + std::to_string(entries.size()));
        if (changed)
            rebuild(); // the new texts or the new skin
    }

private:
    skin::Properties& m_skin;
    framework::LanguageCatalogue& m_languages;
    framework::SkinCatalogue& m_skins;
    framework::PopupMenu m_popup;
    int m_minutes { 60 };
};

} // namespace

int main()
{
    int code = 0;
    {
        framework::Application application(application_name);
        const char* folder = std::getenv("NALO_DEMO_PROGRAM");
        std::u16string program = platform::from_utf8(folder && *folder ? folder : NALO_PROGRAM_DIR);
        skin::PropertiesImpl skin;
        framework::LanguageCatalogue languages(skin, application_name, program);
        framework::SkinCatalogue skins(skin, application_name, program);
        if (!languages.load_chosen()) {
            framework::Application::message_box(u"No languages, please reinstall\n", application_name);
            return 1;
        }
        if (!skins.load_chosen()) {
            framework::Application::message_box(skin.translate(u"NoSkins"), application_name);
            return 1;
        }
        note("loaded " + utf8(languages.current_name()) + " " + utf8(skins.current_name()));
        OptionsForm form(skin, languages, skins);
        application.switch_to_windowed_mode(false);
        application.set_key_capture(false);
        application.switch_to_direct_mode(application.screen().display_setting());
        application.push_form(form, false, false);
        code = application.run();
        application.remove_form(form, false);
    }
    note("ended " + std::to_string(code));
    return code;
}
