#include "CatalogueTestSupport.h"
#include "skin/SkinTestSupport.h"

#include "framework/SkinCatalogue.h"

#include "skin/SkinNodeTypes.h"
#include "skin/draw/RenderSurface.h"
#include "skin/file/Properties.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace catalogue_test;
using framework::PopupMenuEntry;
using framework::SkinCatalogue;
using skin_test::u16;

namespace {

const std::u16string app = u"SkinCatalogueTest";
const skin::ScreenInfo screen = skin::ScreenInfo::make(240, 320, 96);
constexpr skin::Pixel red = 0xF800 | 0x0020, green = 0x07E0 | 0x0020, blue = 0x001F | 0x0020;

class Skins : public ::testing::Test {
protected:
    void SetUp() override
    {
        static bool registered = [] {
            skin::register_skin_node_types();
            return true;
        }();
        (void)registered;
        clear_choices(app);
        base = program_folder("skins");
        write_skin(base, "default", "255 0 0");
        write_skin(base, "night", "0 0 255");
        write_skin(base, "Splash2", "0 255 0");
        write_skin(base, "splash", "0 255 0");
        write_skin(base, "TodayPlugin", "0 255 0");
        write_broken_skin(base, "broken");
    }
    void TearDown() override { clear_choices(app); }

    SkinCatalogue catalogue()
    {
        SkinCatalogue skins(properties, app, u16(base));
        skins.set_screen(screen);
        return skins;
    }
    // The colour the form "f" of the skin in use draws.
    skin::Pixel drawn(skin::FormNode& form)
    {
        skin::place_on_screen(form, 8, 8);
        skin::RenderSurface frame;
        frame.recreate(8, 8);
        form.mark_dirty();
        form.draw_node(frame, { 0, 0 });
        return frame.buffer().at(4, 4);
    }

    std::string base;
    skin::Properties properties;
};

TEST_F(Skins, SpecialSkinsAreNeverListedOrChosen)
{
    std::vector<std::u16string> names;
    for (const auto& path : catalogue().files())
        names.push_back(path.substr(path.find_last_of(u"\\/") + 1));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string> { u"broken.skin", u"default.skin", u"night.skin" }));
    EXPECT_TRUE(catalogue().has_choice());
    EXPECT_TRUE(SkinCatalogue::is_special(u"SPLASH"));
    EXPECT_TRUE(SkinCatalogue::is_special(u"todayish"));
    EXPECT_FALSE(SkinCatalogue::is_special(u"my_splash"));

    std::vector<PopupMenuEntry> entries;
    properties.load_language(u16(base + "/none.lng")); // no texts
    EXPECT_FALSE(catalogue().popup(u"Skin", entries, u"Cancel"));
    for (const auto& entry : entries)
        EXPECT_EQ(entry.identifier.find(u"plash"), std::u16string::npos) << platform::to_utf8(entry.identifier);
    EXPECT_FALSE(catalogue().load_name(u"Splash2"));
    EXPECT_FALSE(catalogue().popup(u"Skin#Splash2", entries, u"Cancel"));
    EXPECT_FALSE(properties.loaded());
}

TEST_F(Skins, ThereIsNoChoiceWithOneSkinBesideTheSpecialOnes)
{
    std::string single = program_folder("skins-single");
    write_skin(single, "default", "255 0 0");
    write_skin(single, "splash", "0 255 0");
    EXPECT_FALSE(SkinCatalogue(properties, app, u16(single)).has_choice());
}

TEST_F(Skins, ChainGoesFromTheChoiceToDefaultToAnyListedSkin)
{
    write_choice(app, u"Skin", u"NIGHT");
    ASSERT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(catalogue().current_name(), u"night");

    // The chosen skin was deleted: "default", and the registry keeps the choice.
    write_choice(app, u"Skin", u"gone");
    ASSERT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(catalogue().current_name(), u"default");
    EXPECT_EQ(read_choice(app, u"Skin"), u"gone");

    // Neither the choice nor "default" loads: the listed skin that does.
    std::filesystem::remove(base + "/skins/bin/default.skin");
    write_broken_skin(base, "default");
    skin::Properties fresh;
    SkinCatalogue skins(fresh, app, u16(base));
    skins.set_screen(screen);
    ASSERT_TRUE(skins.load_chosen());
    EXPECT_EQ(skins.current_name(), u"night");
    EXPECT_EQ(read_choice(app, u"Skin"), u"gone");

    // Nothing loads: failure, and the skin in use stays.
    std::filesystem::remove(base + "/skins/bin/night.skin");
    EXPECT_FALSE(skins.load_chosen());
    EXPECT_EQ(skins.current_name(), u"night");
}

TEST_F(Skins, TheMenuShowsTheLanguagesNamesForSkinsAndChecksTheCurrentOne)
{
    write_language(base + "/english.lng", "Skin#default=Light\nCancel=Close\n");
    ASSERT_TRUE(properties.load_language(u16(base + "/english.lng")));
    ASSERT_TRUE(catalogue().load_name(u"DEFAULT"));

    std::vector<PopupMenuEntry> entries;
    EXPECT_FALSE(catalogue().popup(u"Skin", entries, u"SkinCancel"));
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].identifier, u"Skin#broken");
    EXPECT_EQ(entries[1].identifier, u"Skin#default");
    EXPECT_EQ(entries[2].identifier, u"Skin#night");
    EXPECT_EQ(entries[0].text, u"broken");
    EXPECT_EQ(entries[1].text, u"Light");
    EXPECT_EQ(entries[2].text, u"night");
    EXPECT_FALSE(entries[0].checked);
    EXPECT_TRUE(entries[1].checked);
    EXPECT_FALSE(entries[2].checked);
    EXPECT_EQ(entries[3].identifier, u"SkinCancel");
    EXPECT_EQ(entries[3].text, u"Close");
}

TEST_F(Skins, AFailedSwitchLeavesTheOldSkinDrawing)
{
    ASSERT_TRUE(catalogue().load_chosen());
    skin::FormNode form;
    form.build(properties, u"f");
    EXPECT_EQ(drawn(form), red);
    std::vector<PopupMenuEntry> unused;

    // The broken skin's picture is missing: no change, nothing written.
    EXPECT_FALSE(catalogue().popup(u"Skin#broken", unused, u"Cancel"));
    EXPECT_EQ(catalogue().current_name(), u"default");
    EXPECT_EQ(read_choice(app, u"Skin"), u"");
    EXPECT_EQ(drawn(form), red);
    form.build(properties, u"f");
    EXPECT_EQ(drawn(form), red);

    // The current skin: false. Another one: true, remembered, and forms rebuilt show it.
    EXPECT_FALSE(catalogue().popup(u"Skin#default", unused, u"Cancel"));
    EXPECT_FALSE(catalogue().popup(u"Skin#missing", unused, u"Cancel"));
    EXPECT_EQ(read_choice(app, u"Skin"), u"");
    EXPECT_TRUE(catalogue().popup(u"Skin#night", unused, u"Cancel"));
    EXPECT_EQ(read_choice(app, u"Skin"), u"night");
    form.build(properties, u"f");
    EXPECT_EQ(drawn(form), blue);
    EXPECT_FALSE(catalogue().popup(u"Skin#Night", unused, u"Cancel"));
    (void)green;
}

} // namespace
