// The options form: the radio pairs, the icon pair shown only with the sibling product,
// the language and skin buttons shown only with a choice, the update interval pop-up, the
// language and skin switches, back and the digit keys, on the shipped skins.
#include "FormsTestSupport.h"

#include "app/FormMenu.h"
#include "app/SettingsListener.h"

#include "framework/PopupMenu.h"
#include "framework/LanguageCatalogue.h"

#include "runtime/Registry.h"

#include "skin/list/ListNode.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/MultiNode.h"
#include "skin/nodes/TextNode.h"

#include "skin/SkinTestSupport.h"
#include "support/TestSupport.h"

#include <filesystem>

using namespace forms_test;
using weather::FormMenu;

namespace {

class Notices : public weather::SettingsListener {
public:
    void on_settings_event(const weather::SettingsEvent& event) override
    {
        if (event.units_changed)
            text += "units;";
        if (event.open_city_list)
            text += "list;";
    }
    std::string text;
};

std::u16string program() { return skin_test::u16(NALO_PROGRAM_DIR); }

// A folder with the English language file only.
std::u16string one_language()
{
    std::string folder = test_support::scratch_folder("menu-one-language");
    std::filesystem::copy_file(std::string(NALO_PROGRAM_DIR) + "/english.lng", folder + "/english.lng",
        std::filesystem::copy_options::overwrite_existing);
    return skin_test::u16(folder);
}

std::string identifiers(const framework::PopupMenu& popup)
{
    std::string out;
    for (const auto& entry : popup.entries())
        out += utf8(entry.identifier) + (entry.checked ? "*" : "") + ";";
    return out;
}

std::string caption(const skin::ButtonNode& button) { return utf8(button.caption()); }

class FormMenuTest : public FormsTest { };

} // namespace

TEST_F(FormMenuTest, TheUnitPairBehavesAsRadioButtonsByStylusAndDigits)
{
    weather::Settings& settings = start({ { "Berlin", "02950159" } });
    Notices notices;
    FormMenu menu(skin(), program(), program());
    menu.show();
    frames(10);
    EXPECT_EQ(menu.celsius_button().state(), 1u);
    EXPECT_EQ(menu.fahrenheit_button().state(), 0u);
    tap(centre(menu.fahrenheit_button()));
    EXPECT_FALSE(settings.degree());
    EXPECT_EQ(menu.celsius_button().state(), 0u);
    EXPECT_EQ(menu.fahrenheit_button().state(), 1u);
    EXPECT_EQ(notices.text, "units;");
    tap(centre(menu.fahrenheit_button()));
    EXPECT_EQ(menu.fahrenheit_button().state(), 1u) << "a checked entry stays checked";
    key(input::key_0 + 2);
    EXPECT_TRUE(settings.degree());
    EXPECT_EQ(menu.celsius_button().state(), 1u);
    EXPECT_EQ(menu.fahrenheit_button().state(), 0u);
    key(input::key_0 + 3);
    EXPECT_FALSE(settings.degree());
}

TEST_F(FormMenuTest, TheIconPairShowsOnlyWithTheSiblingProductAndKeepsItsValue)
{
    runtime::write_number(weather::weather_key, u"Icon", 1);
    weather::Settings& settings = start({ { "Berlin", "02950159" } }, false);
    {
        FormMenu menu(skin(), program(), program());
        menu.show();
        EXPECT_FALSE(menu.icon_table().visible());
        key(input::key_0 + 8);
        EXPECT_TRUE(settings.icon()) << "the hidden pair takes no keys; the value is kept";
        menu.back();
    }
    weather::Settings& with = start({ { "Berlin", "02950159" } }, true);
    FormMenu menu(skin(), program(), program());
    menu.show();
    frames(10);
    EXPECT_TRUE(menu.icon_table().visible());
    EXPECT_EQ(menu.icon_button().state(), 1u);
    EXPECT_EQ(menu.value_button().state(), 0u);
    key(input::key_0 + 8);
    EXPECT_FALSE(with.icon());
    EXPECT_EQ(menu.icon_button().state(), 0u);
    EXPECT_EQ(menu.value_button().state(), 1u);
    tap(centre(menu.icon_button()));
    EXPECT_TRUE(with.icon());
}

TEST_F(FormMenuTest, LanguageAndSkinButtonsShowOnlyWithAChoice)
{
    start({ { "Berlin", "02950159" } });
    FormMenu single(skin(), one_language(), program());
    EXPECT_FALSE(single.language_button().visible()) << "one language file";
    EXPECT_TRUE(single.skin_button().visible()) << "default and night; splash is special";
    FormMenu several(skin(), program(), program());
    EXPECT_TRUE(several.language_button().visible());
    several.show();
    key(input::key_0 + 5);
    ASSERT_EQ(app().top_form(), &several.popup());
    EXPECT_EQ(identifiers(several.popup()), "Language#english*;Language#german;Language#russian;Cancel;");
    key(input::key_backspace);
    EXPECT_EQ(app().top_form(), &several);
    key(input::key_0 + 6);
    EXPECT_EQ(identifiers(several.popup()), "Skin#default*;Skin#night;Cancel;");
}

TEST_F(FormMenuTest, TheIntervalPopupChecksTheCurrentIntervalAndStoresTheChoice)
{
    weather::Settings& settings = start({ { "Berlin", "02950159" } });
    FormMenu menu(skin(), program(), program());
    menu.show();
    key(input::key_0 + 4);
    framework::PopupMenu& popup = menu.popup();
    ASSERT_EQ(app().top_form(), &popup);
    EXPECT_EQ(identifiers(popup), "TIME_1;TIME_3;TIME_6*;TIME_12;TIME_NEVER;Cancel;");
    EXPECT_EQ(utf8(popup.entry_text(popup.entries()[0])), utf8(skin().translate(u"TIME_1")));
    // Down to the fourth entry, Enter.
    key(input::key_down);
    frames(8);
    for (int i = 0; i < 3; ++i) {
        key(input::key_down);
        frames(12);
    }
    key(input::key_enter);
    EXPECT_EQ(settings.update_time(), 720);
    int32_t stored = 0;
    EXPECT_TRUE(runtime::read_number(weather::weather_key, u"UpdateTime", stored));
    EXPECT_EQ(stored, 720) << "written at once";
    EXPECT_EQ(app().top_form(), &menu);

    std::vector<framework::PopupMenuEntry> none;
    menu.on_popup(u"Cancel", none);
    EXPECT_EQ(settings.update_time(), 720) << "Cancel stores nothing";
    menu.on_popup(u"TIME_NEVER", none);
    EXPECT_EQ(settings.update_time(), 0);
    settings.set_update_time(100);
    std::vector<framework::PopupMenuEntry> entries;
    menu.on_popup(u"UpdateTime", entries);
    ASSERT_EQ(entries.size(), 6u);
    for (const auto& entry : entries)
        EXPECT_FALSE(entry.checked) << "an interval not in the table checks no entry: " << utf8(entry.identifier);
}

TEST_F(FormMenuTest, BackEndsTheProgramWithoutCitiesAndCitiesOpensTheList)
{
    start({}, true);
    Notices notices;
    FormMenu menu(skin(), program(), program());
    menu.show();
    key(input::key_backspace);
    EXPECT_FALSE(app().is_on_stack(menu));
    EXPECT_TRUE(quit_requested()) << "back with an empty list ends the program";

    m_settings->add_city(u"02950159", u"Berlin");
    menu.show();
    menu.clicked(menu.back_button(), {});
    EXPECT_FALSE(quit_requested());
    menu.show();
    key(input::key_0 + 1);
    EXPECT_FALSE(app().is_on_stack(menu));
    EXPECT_EQ(notices.text, "list;");
}

TEST_F(FormMenuTest, ALanguageSwitchRebuildsTheMenuInTheNewLanguage)
{
    start({ { "Berlin", "02950159" } });
    FormMenu menu(skin(), program(), program());
    menu.show();
    std::string english = caption(menu.add_button());
    menu.open_popup(u"Language");
    auto german = std::find_if(menu.popup().entries().begin(), menu.popup().entries().end(),
        [](const auto& e) { return e.identifier == u"Language#german"; });
    ASSERT_NE(german, menu.popup().entries().end());
    menu.popup().choose(size_t(german - menu.popup().entries().begin()));
    EXPECT_NE(caption(menu.add_button()), english) << "built again with the German texts";
    EXPECT_EQ(app().top_form(), &menu) << "pushed again";
    std::u16string chosen;
    EXPECT_TRUE(runtime::read_string(u"HKEY_CURRENT_USER\\Software\\NALO\\Weather", u"Language", chosen));
    EXPECT_EQ(utf8(chosen), "german");
}

TEST_F(FormMenuTest, ASkinSwitchRebuildsTheMenuInTheNewSkin)
{
    start({ { "Berlin", "02950159" } });
    FormMenu menu(skin(), program(), program());
    menu.show();
    frames(10);
    skin::RenderSurface day = draw_top();
    menu.open_popup(u"Skin");
    ASSERT_EQ(identifiers(menu.popup()), "Skin#default*;Skin#night;Cancel;");
    menu.popup().choose(1);
    EXPECT_NE(utf8(skin().path()).find("night"), std::string::npos);
    EXPECT_EQ(app().top_form(), &menu);
    frames(10);
    skin::RenderSurface night = draw_top();
    skin::Point background { 120, 300 - 60 };
    EXPECT_NE(day.buffer().at(background.x, background.y), night.buffer().at(background.x, background.y))
        << "the page is drawn in the night skin's colours";
}

// The program cannot reach the options without a city (the search opens first and its
// Back ends the program), so the menu is pushed here and the run scripted.
TEST_F(FormMenuTest, AScriptedBackFromTheMenuWithoutCitiesEndsTheRun)
{
    start({}, true);
    FormMenu menu(skin(), program(), program());
    menu.show();
    std::string script = test_support::scratch_folder("menu-script") + "/script.txt";
    test_support::write_bytes(script, "wait 0.4\nkey Esc\nwait 10\nquit\n");
    setenv("NALO_SCRIPT", script.c_str(), 1);
    auto begin = std::chrono::steady_clock::now();
    int code = app().run();
    unsetenv("NALO_SCRIPT");
    EXPECT_EQ(code, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5)) << "ended by Back, not by the script";
    EXPECT_FALSE(app().is_on_stack(menu));
}
