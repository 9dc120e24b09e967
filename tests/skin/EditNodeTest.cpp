// Edit fields on their own, with a stand-in for the shell's focus host: focus by the
// stylus, the focus given up when the field stops showing, set_text with and without
// masked mode, the text-input slot, and the label edit's prompt and clear button.
#include "FixedFont.h"
#include "SkinTestSupport.h"

#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/EditFocusHost.h"
#include "skin/nodes/EditNode.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/LabelEditNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/SkinErrors.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

namespace {

// Remembers every focus request, as the shell would take it.
struct Host : EditFocusHost {
    EditNode* node = nullptr;
    std::vector<std::pair<EditNode*, bool>> requests;
    int caret_at = -1;
    void focus(EditNode* n, bool native) override
    {
        requests.push_back({ n, native });
        // A native control brings a typing session with a caret; focusing again keeps it.
        if (n != node)
            caret_at = n && native ? 0 : -1;
        node = n;
    }
    EditNode* focused() const override { return node; }
    int caret() const override { return caret_at; }
};

struct Changes : EditNodeListener {
    std::vector<std::u16string> texts;
    void text_changed(EditNode& node) override { texts.push_back(node.text()); }
};

class Edits : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_fonts();
        ensure_node_types();
        EditFocusHost::install(&host);
        folder = test_support::scratch_folder("edits");
    }
    void TearDown() override { EditFocusHost::install(nullptr); }
    void build(const std::string& body)
    {
        std::string name = "e";
        name += std::to_string(++count);
        std::string path = compile(folder, name, "<skin><node name=\"f\">" + body + "</node></skin>");
        ASSERT_TRUE(properties.load_skin(u16(path), ScreenInfo::make(240, 320, 96)));
        form.build(properties, u"f");
        place_on_screen(form, 200, 100);
    }
    template<typename T>
    T& node(const char16_t* id)
    {
        return static_cast<T&>(*form.find_descendant(id));
    }
    static std::string label_edit(bool with_clear)
    {
        return std::string("<node id=\"field\" type=\"label_edit\" text=\"Type a city\" design_size=\"0 30\" anchor_y=\"MIN_SIDE\">")
            + "<node id=\"#edit\" type=\"edit\" font=\"10 0 0 0 Tahoma\" halign=\"LEFT\" border_max=\"30 0\"/>"
            + "<node id=\"#text\" type=\"text\" font=\"10 0 0 0 Tahoma\" halign=\"LEFT\" border_max=\"30 0\"/>"
            + (with_clear ? "<node id=\"clear\" type=\"button\" anchor_x=\"MAX_SIDE\" design_size=\"30 0\"><node id=\"#normal\"/></node>" : "")
            + "</node>";
    }

    Host host;
    std::string folder;
    int count = 0;
    PropertiesImpl properties;
    FormNode form;
};

} // namespace

TEST_F(Edits, AnEditReadsItsColoursAndAPressAsksForTheFocusWithANativeControl)
{
    build(R"(<node id="e" type="edit" text="abc" color="#102030" background_color="#F0E0D0" font="10 0 0 0 Tahoma"/>)");
    EditNode& e = node<EditNode>(u"e");
    EXPECT_EQ(e.text(), u"abc");
    EXPECT_EQ(e.background_colour(), (Color { 0xF0, 0xE0, 0xD0, 255 }));
    EXPECT_EQ(e.colour(), (Color { 0x10, 0x20, 0x30, 255 }));
    EXPECT_TRUE(form.stylus({ { 5, 5 }, false, true, false }));
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0], std::make_pair(&e, true));
    EXPECT_TRUE(e.focused());
    // A second press on the focused field asks nothing more; every press is handled.
    EXPECT_TRUE(e.stylus({ { 5, 5 }, false, true, false }));
    EXPECT_TRUE(e.stylus({ { 5, 5 }, false, false, false }));
    EXPECT_EQ(host.requests.size(), 1u);

    // After its vertical layout a focused field asks again, so the control follows it.
    place_on_screen(form, 200, 80);
    ASSERT_GE(host.requests.size(), 2u);
    for (size_t i = 1; i < host.requests.size(); ++i)
        EXPECT_EQ(host.requests[i], std::make_pair(&e, true));

    // No longer shown while focused (its form is hidden), it gives the focus up.
    size_t before = host.requests.size();
    form.set_visible(false);
    ASSERT_EQ(host.requests.size(), before + 1);
    EXPECT_EQ(host.requests.back().first, nullptr);
}

TEST_F(Edits, TheSameTextTwiceTellsTheListenerOnceAndMaskedModeShowsStars)
{
    build(R"(<node id="e" type="edit" font="10 0 0 0 Tahoma"/>)");
    EditNode& e = node<EditNode>(u"e");
    Changes changes;
    e.set_listener(&changes);
    e.set_text(u"Rome");
    e.set_text(u"Rome");
    EXPECT_EQ(changes.texts, (std::vector<std::u16string> { u"Rome" }));

    e.set_masked(true);
    EXPECT_EQ(e.shown_text(), u"****");
    EXPECT_EQ(e.text(), u"Rome");
    e.set_text(u"abc");
    EXPECT_EQ(e.shown_text(), u"***");
    EXPECT_EQ(e.text(), u"abc");
    e.set_text(u"abc");
    EXPECT_EQ(changes.texts, (std::vector<std::u16string> { u"Rome", u"abc" }));
    // Another text of the same length changes the real text, not the stars.
    e.set_text(u"xyz");
    EXPECT_EQ(e.shown_text(), u"***");
    EXPECT_EQ(changes.texts.back(), u"xyz");
    e.set_masked(false);
    EXPECT_EQ(e.shown_text(), u"xyz");
}

TEST_F(Edits, AFocusedFieldRefreshesTheControlOnSetTextAndTakesTypedCharacters)
{
    build(R"(<node id="e" type="edit" font="10 0 0 0 Tahoma"/>)");
    EditNode& e = node<EditNode>(u"e");
    Changes changes;
    e.set_listener(&changes);
    EXPECT_TRUE(e.char_input(u'a')) << "always handled";
    EXPECT_TRUE(changes.texts.empty()) << "ignored while not focused";
    host.focus(&e, true);
    host.requests.clear();
    e.set_text(u"Oslo");
    ASSERT_EQ(host.requests.size(), 1u);
    EXPECT_EQ(host.requests[0], std::make_pair(&e, true));
    EXPECT_TRUE(e.char_input(u'o'));
    EXPECT_EQ(changes.texts.size(), 2u);
    EXPECT_TRUE(e.layout_pending()) << "typed text lays the form out again";
}

TEST_F(Edits, TheCaretStandsAfterTheCharactersBeforeIt)
{
    build(R"(<node id="e" type="edit" text="abcd" font="10 0 0 0 Tahoma" halign="LEFT" border_min="10 0"/>)");
    EditNode& e = node<EditNode>(u"e");
    EXPECT_EQ(e.caret_rect(0), (Rect { 10, 45, 1, 10 }));
    EXPECT_EQ(e.caret_rect(2), (Rect { 22, 45, 1, 10 }));
    EXPECT_EQ(e.caret_rect(99), (Rect { 34, 45, 1, 10 })) << "past the end: at the end";
}

TEST_F(Edits, ALabelEditTogglesItsPromptAndClearButton)
{
    build(label_edit(true));
    auto& field = node<LabelEditNode>(u"field");
    EXPECT_EQ(field.prompt_text(), u"Type a city");
    EXPECT_EQ(field.prompt().text(), u"Type a city");
    ASSERT_TRUE(field.clear_button());
    EXPECT_TRUE(field.prompt().visible());
    EXPECT_FALSE(field.clear_button()->visible());
    Changes changes;
    field.set_listener(&changes);

    field.edit().set_text(u"B");
    EXPECT_FALSE(field.prompt().visible());
    EXPECT_TRUE(field.clear_button()->visible());
    EXPECT_EQ(changes.texts, (std::vector<std::u16string> { u"B" })) << "the notice is passed on";

    // The clear button empties the field, which brings the prompt back.
    ButtonNode& clear = *field.clear_button();
    place_on_screen(form, 200, 100);
    Point inside { clear.x() + 2, clear.y() + 2 };
    clear.stylus({ inside, false, true, false });
    clear.stylus({ inside, false, false, false });
    EXPECT_EQ(field.text(), u"");
    EXPECT_TRUE(field.prompt().visible());
    EXPECT_FALSE(field.clear_button()->visible());
    EXPECT_EQ(changes.texts.back(), u"");
}

TEST_F(Edits, ALabelEditWithoutClearTogglesOnlyThePromptAndOneWithoutItsPartsFails)
{
    build(label_edit(false));
    auto& field = node<LabelEditNode>(u"field");
    EXPECT_EQ(field.clear_button(), nullptr);
    field.edit().set_text(u"x");
    EXPECT_FALSE(field.prompt().visible());
    field.edit().set_text(u"");
    EXPECT_TRUE(field.prompt().visible());

    try {
        build(R"(<node id="broken" type="label_edit"><node id="#text" type="text"/></node>)");
        FAIL() << "built without #edit";
    } catch (const plexor::NodeNotFound& e) {
        EXPECT_EQ(e.id(), u"#edit");
    }
    try {
        build(R"(<node id="broken" type="label_edit"><node id="#edit" type="edit"/></node>)");
        FAIL() << "built without #text";
    } catch (const plexor::NodeNotFound& e) {
        EXPECT_EQ(e.id(), u"#text");
    }
}
