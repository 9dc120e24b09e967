// The shipped skins and languages of the program folder, as the program loads them: every
// template and node the forms look up, with the kind of node they expect; a picture for
// every condition code, made for both screen scales; the keypad keys; and every text key
// of the program and the skins in every language.
#include "skin/compiler/FrameRender.h"
#include "skin/compiler/SkinSchema.h"
#include "skin/draw/FramePng.h"
#include "skin/file/LanguageTable.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/TextNode.h"

#include "platform/TextEncoding.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using skin::NodeBody;
using skin::PropertiesImpl;

const std::string program_dir = NALO_PROGRAM_DIR;
const std::vector<std::string> full_skins = { "default", "night" };
const std::vector<std::string> languages = { "english", "german", "russian" };

std::string utf8(const std::u16string& text) { return platform::to_utf8(text); }

struct Skin {
    explicit Skin(const std::string& name, int width = 240, int height = 320, int dpi = 96)
        : path(program_dir + "/skins/bin/" + name + ".skin")
    {
        loaded = properties.load_skin(platform::from_utf8(path), skin::ScreenInfo::make(width, height, dpi));
    }
    std::string string(NodeBody node, const char16_t* name) const
    {
        return utf8(properties.get_string(node, name, u""));
    }
    // The descendant with that id, depth first; none when missing.
    NodeBody find(NodeBody node, const std::string& id) const
    {
        for (size_t i = 0; i < properties.child_count(node); ++i) {
            NodeBody child = properties.child(node, i);
            if (string(child, u"id") == id)
                return child;
            if (NodeBody deeper = find(child, id))
                return deeper;
        }
        return {};
    }
    void walk(NodeBody node, const std::function<void(NodeBody)>& visit) const
    {
        visit(node);
        for (size_t i = 0; i < properties.child_count(node); ++i)
            walk(properties.child(node, i), visit);
    }
    std::vector<NodeBody> children(NodeBody node) const
    {
        std::vector<NodeBody> out;
        for (size_t i = 0; i < properties.child_count(node); ++i)
            out.push_back(properties.child(node, i));
        return out;
    }

    std::string path;
    PropertiesImpl properties;
    bool loaded = false;
};

struct Wanted {
    const char* template_name;
    const char* id;
    const char* type;
};

// What the forms look up, by template; "" as the id checks the template alone.
const std::vector<Wanted> wanted_nodes = {
    { "FormMain", "page", "icon_page" },
    { "FormMain", "btnExit", "button" },
    { "FormMain", "btnMenu", "button" },
    { "WeatherView", "ctext", "text" },
    { "WeatherView", "wtext", "text" },
    { "WeatherView", "mtext", "text" },
    { "WeatherView", "image", "image" },
    { "WeatherLine", "dtext1", "text" },
    { "WeatherLine", "dtext2", "text" },
    { "WeatherLine", "ttext1", "text" },
    { "WeatherLine", "ttext2", "text" },
    { "WeatherLine", "wimage", "image" },
    { "AdvScreen", "btnDwnld", "button" },
    { "AdvScreen", "btnIwin", "button" },
    { "AdvScreen", "ctext", "text" },
    { "AdvScreen", "image", "image" },
    { "FormTotal", "btnBack", "button" },
    { "FormTotal", "listTotal", "vlist" },
    { "FormTotal", "editName", "label_edit" },
    { "FormTotal", "#edit", "edit" },
    { "FormTotal", "#text", "text" },
    { "FormTotal", "clear", "button" },
    { "FormTotal", "ruler_button", "button" },
    { "FormTotal", "ruler_button2", "button" },
    { "FormTotal", "ruler_table", "vtable" },
    { "SimpleElement", "text", "text" },
    { "AlphabetRulerText", "#text", "text" },
    { "FormMenu", "btnAdd", "button" },
    { "FormMenu", "btnC", "multinode" },
    { "FormMenu", "btnF", "multinode" },
    { "FormMenu", "table", "vtable" },
    { "FormMenu", "btnIco", "multinode" },
    { "FormMenu", "btnVal", "multinode" },
    { "FormMenu", "btnLanguage", "button" },
    { "FormMenu", "btnSkin", "button" },
    { "FormMenu", "btnUpdate", "button" },
    { "FormMenu", "btnBack", "button" },
    { "Menu", "caption", "text" },
    { "Menu", "list", "vlist" },
    { "MenuElement", "text", "text" },
    { "MenuElement", "check", "multinode" },
    { "FormItems", "btnBack", "button" },
    { "FormItems", "listCities", "svlist" },
    { "FormItems", "btnPlus", "button" },
    { "CityListElement", "text", "text" },
    { "CityListElement", "btnDel", "button" },
    { "CityListElement", "btnDelF", "button" },
    { "CityListElement", "btnMove", "button" },
    { "FormMessage", "message", "text" },
    { "FormMessage", "btnBack", "button" },
    { "FormDetail", "ctext", "text" },
    { "FormDetail", "hours", "hour_strip" },
    { "FormDetail", "feels", "text" },
    { "FormDetail", "wind", "text" },
    { "FormDetail", "humidity", "text" },
    { "FormDetail", "pressure", "text" },
    { "FormDetail", "rain", "text" },
    { "FormDetail", "uv", "text" },
    { "FormDetail", "sunrise", "text" },
    { "FormDetail", "sunset", "text" },
    { "FormDetail", "nodetails", "text" },
    { "FormDetail", "source", "text" },
    { "FormDetail", "sample", "text" },
    { "FormDetail", "btnBack", "button" },
    { "HourCell", "htime", "text" },
    { "HourCell", "himage", "image" },
    { "HourCell", "htemp", "text" },
    { "HourCell", "hrain", "text" },
};


TEST(ShippedSkins, EveryTemplateAndNodeTheFormsLookUpIsThereWithItsKind)
{
    for (const std::string& name : full_skins) {
        for (int dpi : { 96, 192 }) {
            Skin s(name, 240 * dpi / 96, 320 * dpi / 96, dpi);
            ASSERT_TRUE(s.loaded) << s.path << " at " << dpi << " dpi";
            for (const Wanted& w : wanted_nodes) {
                NodeBody form = s.properties.find_named_node(platform::from_utf8(w.template_name));
                ASSERT_TRUE(form) << name << " has no template " << w.template_name;
                NodeBody node = s.find(form, w.id);
                ASSERT_TRUE(node) << name << ": " << w.template_name << " has no " << w.id;
                EXPECT_EQ(s.string(node, u"type"), w.type) << name << ": " << w.template_name << "/" << w.id;
            }
            // The page's text nodes sit inside the buttons that the advertising page finds them in.
            NodeBody adv = s.properties.find_named_node(u"AdvScreen");
            EXPECT_TRUE(s.find(s.find(adv, "btnDwnld"), "wtext")) << name;
            EXPECT_TRUE(s.find(s.find(adv, "btnIwin"), "mtext")) << name;
            NodeBody menu = s.properties.find_named_node(u"FormMenu");
            EXPECT_TRUE(s.find(s.find(menu, "table"), "btnIco")) << name;
            EXPECT_TRUE(s.find(s.find(menu, "table"), "btnVal")) << name;
        }
    }
    Skin splash("splash");
    ASSERT_TRUE(splash.loaded);
    EXPECT_TRUE(splash.properties.find_named_node(u"Splash"));
}

struct Screen {
    int width, height, dpi;
};
// The landscape panels of Linux handhelds, at both scales where a panel comes in both.
const Screen landscape_screens[] = { { 320, 240, 96 }, { 480, 320, 96 }, { 640, 480, 96 }, { 640, 480, 192 },
    { 800, 480, 96 }, { 800, 480, 192 } };

TEST(ShippedSkins, LandscapeTemplatesHaveEveryNodeTheFormsLookUp)
{
    for (const std::string& name : full_skins) {
        for (Screen screen : landscape_screens) {
            Skin s(name, screen.width, screen.height, screen.dpi);
            ASSERT_TRUE(s.loaded) << s.path;
            for (const Wanted& w : wanted_nodes) {
                NodeBody form = s.properties.find_named_node(platform::from_utf8(w.template_name));
                NodeBody node = s.find(form, w.id);
                ASSERT_TRUE(node) << name << " " << screen.width << "x" << screen.height << ": " << w.template_name << " has no " << w.id;
                EXPECT_EQ(s.string(node, u"type"), w.type) << name << ": " << w.template_name << "/" << w.id;
            }
        }
    }
}

// Every button and named text of every form lies on the screen, with room to show it.
void expect_on_screen(const skin::SkinNode& node, const Screen& screen, const std::string& where)
{
    if (!node.visible())
        return;
    bool button = dynamic_cast<const skin::ButtonNode*>(&node) != nullptr;
    bool text = dynamic_cast<const skin::TextNode*>(&node) != nullptr && !node.id().empty() && node.id()[0] != u'#';
    if ((button || text) && node.width() > 0) {
        std::string id = utf8(node.id());
        EXPECT_GE(node.x(), 0) << where << " " << id;
        EXPECT_GE(node.y(), 0) << where << " " << id;
        EXPECT_LE(node.x() + node.width(), screen.width) << where << " " << id;
        EXPECT_LE(node.y() + node.height(), screen.height) << where << " " << id;
        EXPECT_GT(node.height(), 0) << where << " " << id;
    }
    for (size_t i = 0; i < node.child_count(); ++i)
        expect_on_screen(node.child(i), screen, where);
}

TEST(ShippedSkins, EveryFormFitsEveryLandscapeScreen)
{
    const char* forms[] = { "FormMain", "WeatherView", "AdvScreen", "FormTotal", "FormMenu", "FormItems", "FormMessage",
        "FormDetail" };
    for (const std::string& name : full_skins) {
        for (Screen screen : landscape_screens) {
            for (const char* form : forms) {
                skinc::FormPreview preview;
                std::string error;
                std::string where = name + " " + form + " at " + std::to_string(screen.width) + "x"
                    + std::to_string(screen.height) + "@" + std::to_string(screen.dpi);
                ASSERT_TRUE(preview.build(program_dir + "/skins/bin/" + name + ".skin", form, screen.width, screen.height,
                    screen.dpi, error))
                    << where << ": " << error;
                expect_on_screen(preview.form(), screen, where);
            }
        }
    }
}

TEST(ShippedSkins, CheckButtonsDotsAndMarksHaveTwoStates)
{
    for (const std::string& name : full_skins) {
        Skin s(name);
        ASSERT_TRUE(s.loaded);
        NodeBody main = s.properties.find_named_node(u"FormMain");
        NodeBody page = s.find(main, "page");
        for (int i = 0; i < 10; ++i) {
            // Inside the page, so that the form and the page container both find them.
            NodeBody dot = s.find(page, "dot" + std::to_string(i));
            ASSERT_TRUE(dot) << name << " dot" << i;
            EXPECT_EQ(s.string(dot, u"type"), "multinode");
            EXPECT_EQ(s.children(dot).size(), 2u) << name << " dot" << i;
        }
        NodeBody menu = s.properties.find_named_node(u"FormMenu");
        for (const char* id : { "btnC", "btnF", "btnIco", "btnVal" }) {
            std::vector<NodeBody> states = s.children(s.find(menu, id));
            ASSERT_EQ(states.size(), 2u) << name << " " << id;
            for (NodeBody state : states)
                EXPECT_EQ(s.string(state, u"type"), "button") << name << " " << id;
        }
        NodeBody check = s.find(s.properties.find_named_node(u"MenuElement"), "check");
        EXPECT_EQ(s.children(check).size(), 2u) << name;
        NodeBody confirm = s.find(s.properties.find_named_node(u"CityListElement"), "btnDelF");
        EXPECT_EQ(s.string(confirm, u"visibility_animation"), "right") << name;
    }
}

TEST(ShippedSkins, EveryNodeTypeIsOneTheProgramKnows)
{
    for (const std::string& name : full_skins) {
        Skin s(name);
        ASSERT_TRUE(s.loaded);
        for (const auto& [node_name, body] : s.properties.named_nodes()) {
            for (NodeBody child : s.children(body)) {
                s.walk(child, [&](NodeBody node) {
                    std::string type = s.string(node, u"type");
                    EXPECT_TRUE(skinc::find_node_type(type)) << name << ": " << utf8(node_name) << " uses type '" << type << "'";
                });
            }
        }
    }
}

TEST(ShippedSkins, EveryNamedNodeRendersWithSkinc)
{
    std::string folder = test_support::scratch_folder("shipped-render");
    for (const std::string& name : full_skins) {
        Skin s(name);
        ASSERT_TRUE(s.loaded);
        for (const auto& [node_name, body] : s.properties.named_nodes()) {
            std::string node = utf8(node_name);
            for (auto [screen, dpi] : { std::pair { "240x320", "96" }, { "480x640", "192" } }) {
                std::string png = folder + "/" + name + "-" + node + "-" + dpi + ".png";
                auto run = test_support::run_command(std::string(NALO_TOOLS_DIR) + "/skinc --render " + s.path + " " + node
                    + " " + screen + " " + png + " --dpi " + dpi + " 2>&1");
                EXPECT_EQ(run.exit_code, 0) << name << " " << node << ": " << run.output;
                skin::RgbImage frame;
                ASSERT_TRUE(skin::read_png(png, frame)) << png;
                if (node.rfind("Form", 0) != 0)
                    continue;
                // A form draws more than its outside colour.
                bool drawn = false;
                for (size_t i = 3; i < frame.rgb.size() && !drawn; ++i)
                    drawn = frame.rgb[i] != frame.rgb[i % 3];
                EXPECT_TRUE(drawn) << png;
            }
        }
    }
}

TEST(ShippedSkins, EveryConditionCodeHasAPictureMadeForBothScales)
{
    for (const std::string& name : full_skins) {
        Skin s(name);
        ASSERT_TRUE(s.loaded);
        for (const char* form_name : { "WeatherView", "WeatherLine" }) {
            NodeBody form = s.properties.find_named_node(platform::from_utf8(form_name));
            NodeBody shown = s.find(form, std::string(form_name) == "WeatherView" ? "image" : "wimage");
            ASSERT_TRUE(shown);
            // Drawn shrunk to the node: 1x screens take every other pixel, 2x screens all.
            EXPECT_EQ(s.properties.get_integer(shown, u"save_aspect_ratio", 0), 1) << name << " " << form_name;
            skin::Point size = s.properties.get_point(shown, u"design_size", {});
            std::vector<std::string> ids;
            for (int code = 0; code <= 47; ++code)
                ids.push_back("image" + std::to_string(code));
            ids.push_back("imagebad");
            for (const std::string& id : ids) {
                NodeBody source = s.find(form, id);
                ASSERT_TRUE(source) << name << ": " << form_name << " has no " << id;
                skin::PictureRef picture = s.properties.get_picture(source, u"src", {});
                ASSERT_TRUE(picture.picture) << name << ": " << form_name << "/" << id << " has no picture";
                EXPECT_EQ(picture.picture->width(), 2 * size.x) << name << " " << form_name << "/" << id;
                EXPECT_EQ(picture.picture->height(), 2 * size.y) << name << " " << form_name << "/" << id;
            }
        }
    }
}

TEST(ShippedSkins, SoftKeysAndMenuDigitsAreBoundAndShown)
{
    struct Binding {
        const char* template_name;
        const char* id;
        const char* key;
    };
    const std::vector<Binding> bindings = {
        { "FormMain", "btnExit", "SOFT_LEFT" },
        { "FormMain", "btnMenu", "SOFT_RIGHT" },
        { "FormMenu", "btnBack", "SOFT_LEFT" },
        { "FormTotal", "btnBack", "SOFT_LEFT" },
        { "FormItems", "btnBack", "SOFT_LEFT" },
        { "FormItems", "btnPlus", "SOFT_RIGHT" },
        { "FormMessage", "btnBack", "SOFT_LEFT" },
        { "FormDetail", "btnBack", "SOFT_LEFT" },
        { "FormMenu", "btnAdd", "1" },
        { "FormMenu", "btnC", "2" },
        { "FormMenu", "btnF", "3" },
        { "FormMenu", "btnUpdate", "4" },
        { "FormMenu", "btnLanguage", "5" },
        { "FormMenu", "btnSkin", "6" },
        { "FormMenu", "btnIco", "7" },
        { "FormMenu", "btnVal", "8" },
    };
    for (const std::string& name : full_skins) {
        Skin s(name);
        ASSERT_TRUE(s.loaded);
        for (const Binding& b : bindings) {
            NodeBody node = s.find(s.properties.find_named_node(platform::from_utf8(b.template_name)), b.id);
            ASSERT_TRUE(node) << name << " " << b.id;
            // A check button binds the key on each of its states.
            std::vector<NodeBody> buttons = s.string(node, u"type") == "multinode" ? s.children(node)
                                                                                   : std::vector<NodeBody> { node };
            for (NodeBody button : buttons) {
                EXPECT_EQ(s.string(button, u"bind_key"), b.key) << name << ": " << b.template_name << "/" << b.id;
                if (std::string(b.key).size() != 1)
                    continue;
                bool shown = false;
                s.walk(button, [&](NodeBody n) { shown = shown || (s.string(n, u"type") == "text" && s.string(n, u"text") == b.key); });
                EXPECT_TRUE(shown) << name << ": " << b.id << " does not show its digit " << b.key;
            }
        }
    }
}

// A text of a skin is a language key when it reads like one: letters, digits, '_' and '#'.
bool looks_like_key(const std::string& text)
{
    if (text.empty() || !(std::isalpha(static_cast<unsigned char>(text[0])) || text[0] == '_'))
        return false;
    for (char c : text) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '#'))
            return false;
    }
    return true;
}

TEST(ShippedLanguages, EveryKeyOfTheProgramAndTheSkinsIsInEveryLanguage)
{
    std::set<std::string> keys = { "Last_update", "No_update", "Today", "Tomorrow", "NoSkins", "FIRST_TEXT", "SECOND_TEXT",
        "INSTALL_TEXT", "Language", "Skin", "UpdateTime", "TIME_1", "TIME_3", "TIME_6", "TIME_12", "TIME_NEVER", "Cancel",
        "No_match", "First_city", "Move_up", "Move_down", "City_options", "LanguageName", "Suggestion", "Compass", "Unit_kmh", "Unit_mph",
        "Unit_hPa", "Unit_inHg", "Unit_mm", "Unit_in" };
    // The status-bar line and the spoken forecast: the words of every condition code.
    for (int code = 0; code <= 47; ++code)
        keys.insert("Condition_" + std::to_string(code));
    keys.insert({ "Today_no_forecast", "Today_stale", "Today_range", "Today_updated", "Speech_language", "Speak_current",
        "Speak_current_no_condition", "Speak_today", "Speak_tomorrow", "Speak_minus", "Speak_no_forecast", "Speech_missing" });
    for (const std::string& name : full_skins) {
        keys.insert("Skin#" + name);
        Skin s(name);
        ASSERT_TRUE(s.loaded);
        for (const auto& [node_name, body] : s.properties.named_nodes()) {
            s.walk(body, [&](NodeBody node) {
                std::string text = s.string(node, u"text");
                if (looks_like_key(text))
                    keys.insert(text);
            });
        }
    }
    EXPECT_TRUE(keys.count("Exit") && keys.count("Type_city")) << "the skins' own texts were not collected";
    for (const std::string& language : languages) {
        std::string path = program_dir + "/" + language + ".lng";
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << path;
        char mark[2] = {};
        in.read(mark, 2);
        EXPECT_EQ(static_cast<unsigned char>(mark[0]), 0xFF) << path;
        EXPECT_EQ(static_cast<unsigned char>(mark[1]), 0xFE) << path;
        skin::LanguageTable table;
        ASSERT_TRUE(table.load(platform::from_utf8(path)));
        for (const std::string& key : keys) {
            const std::u16string* text = table.find(platform::from_utf8(key));
            EXPECT_TRUE(text && !text->empty()) << language << " has no text for " << key;
        }
    }
}

TEST(ShippedLanguages, TranslationsAreWrittenAndKeepTheirLetters)
{
    skin::LanguageTable german, russian, english;
    ASSERT_TRUE(german.load(platform::from_utf8(program_dir + "/german.lng")));
    ASSERT_TRUE(russian.load(platform::from_utf8(program_dir + "/russian.lng")));
    ASSERT_TRUE(english.load(platform::from_utf8(program_dir + "/english.lng")));
    EXPECT_EQ(german.size(), english.size());
    EXPECT_EQ(russian.size(), english.size());
    // UTF-16 carries the letters beyond ASCII through to the program.
    EXPECT_EQ(german.text(u"Back"), u"Zurück");
    EXPECT_EQ(german.text(u"Cities"), u"Städte");
    EXPECT_EQ(russian.text(u"Tomorrow"), u"Завтра");
    EXPECT_EQ(russian.text(u"Skin#night"), u"Ночное");
    for (const char16_t* key : { u"Exit", u"Menu", u"Today", u"Cancel", u"FIRST_TEXT" }) {
        EXPECT_NE(german.text(key), english.text(key)) << platform::to_utf8(key);
        EXPECT_NE(russian.text(key), english.text(key)) << platform::to_utf8(key);
    }
}

} // namespace
