#include "skin/BoxFont.h"
#include "skin/SkinTestSupport.h"

#include "framework/Application.h"
#include "framework/PopupMenu.h"

#include "skin/SkinNodeTypes.h"
#include "skin/list/ListNode.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/MultiNode.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/SkinErrors.h"
#include "skin/nodes/TextNode.h"
#include "skin/text/FontRegistry.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using framework::PopupMenu;
using framework::PopupMenuEntry;
using skin_test::u16;

namespace {

std::string menu_skin(int row_height)
{
    std::string row = std::to_string(row_height);
    return R"(<skin>
      <node name="Menu" type="menu">
        <node anchor_y="CENTER" border_min="16 16" border_max="16 16">
          <node type="color" color="0 0 0"/>
          <node type="vtable" border_min="1 1" border_max="1 1">
            <node design_size="0 36">
              <node id="caption" type="text" font="12 0 0 0 Any" halign="LEFT"/>
            </node>
            <node id="list" type="vlist" grow="1"/>
          </node>
        </node>
      </node>
      <node name="MenuElement" design_size="0 )" + row + R"(">
        <node id="#vlist_normal" type="color" color="255 255 255"/>
        <node id="#vlist_pressed" type="color" color="200 200 200"/>
        <node id="text" type="text" font="12 0 0 0 Any" halign="LEFT"/>
        <node id="check" type="multinode" anchor_x="MAX_SIDE" design_size="40 0">
          <node/>
          <node type="text" text="v" font="12 0 0 0 Any"/>
        </node>
      </node>
      <node name="Plain"><node type="color" color="0 0 0"/></node>
      <node name="Holder"><node id="inner" type="menu"><node id="list" type="vlist"/></node></node>
    </skin>)";
}

// Fills the pop-up for "UpdateTime" and notes every call.
class Owner : public framework::PopupMenuOwner {
public:
    void on_popup(std::u16string_view identifier, std::vector<PopupMenuEntry>& entries) override
    {
        calls.emplace_back(identifier);
        if (identifier == u"UpdateTime")
            entries = fill;
        if (on_choice && identifier != u"UpdateTime")
            on_choice(identifier);
    }
    std::vector<PopupMenuEntry> fill;
    std::vector<std::u16string> calls;
    std::function<void(std::u16string_view)> on_choice;
};

PopupMenuEntry entry(const char16_t* identifier, const char16_t* text = u"", bool checked = false)
{
    PopupMenuEntry e;
    e.identifier = identifier;
    e.text = text;
    e.checked = checked;
    return e;
}

class Popup : public ::testing::Test {
protected:
    void SetUp() override
    {
        skin::set_font_factory([](const skin::FontSpec&) { return std::make_shared<BoxFont>(); });
        static bool registered = [] {
            skin::register_skin_node_types();
            PopupMenu::register_node_type();
            return true;
        }();
        (void)registered;
        folder = test_support::scratch_folder("popup");
        load_skin(36);
        test_support::write_bytes(folder + "/english.lng",
            "UpdateTime=Update interval\nTIME_1=Every hour\nTIME_3=Every 3 hours\nCancel=Cancel\n");
        ASSERT_TRUE(properties.load_language(u16(folder + "/english.lng")));
        application = std::make_unique<framework::Application>(u"PopupTest");
        background.build(properties, u"Plain");
        application->push_form(background, false, false);
        owner.fill = { entry(u"TIME_1", u"", true), entry(u"TIME_3"), entry(u"Own", u"Own words"), entry(u"Cancel") };
        popup.build_popup(properties, &owner);
    }
    void TearDown() override { application.reset(); }

    void load_skin(int row_height)
    {
        std::string path = skin_test::compile(folder, "menu" + std::to_string(row_height), menu_skin(row_height));
        ASSERT_TRUE(properties.load_skin(u16(path), skin::ScreenInfo::make(240, 320, 96)));
    }
    // Opens and lets the pop-up settle on the screen as the shell would.
    void open()
    {
        ASSERT_TRUE(popup.open(u"UpdateTime"));
        frames(1);
    }
    void frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            skin::place_on_screen(popup, 240, 320);
            popup.life_cycle(0.04);
            popup.list()->update_window();
        }
    }
    skin::ListRowNode& row(int index)
    {
        skin::ListRowNode* r = popup.list()->row(index);
        EXPECT_TRUE(r) << index;
        return r ? *r : *popup.list()->row(0);
    }
    std::u16string row_text(int index)
    {
        auto* text = dynamic_cast<skin::TextNode*>(row(index).find_descendant(u"text"));
        return text ? text->text() : u"?";
    }
    size_t check_state(int index)
    {
        auto* check = dynamic_cast<skin::MultiNode*>(row(index).find_descendant(u"check"));
        return check ? check->state() : 99;
    }
    void tap(skin::Point point)
    {
        popup.stylus({ point, false, true, false });
        popup.stylus({ point, false, false, false });
    }
    skin::Point centre(int index)
    {
        skin::Rect r = row(index).rect();
        return { r.x + r.width / 2, r.y + r.height / 2 };
    }
    void key(int code)
    {
        popup.key({ code, true, true });
        popup.key({ code, false, true });
    }
    bool on_top() const { return application->top_form() == &popup; }

    std::string folder;
    skin::Properties properties;
    std::unique_ptr<framework::Application> application;
    skin::FormNode background;
    Owner owner;
    PopupMenu popup;
};

TEST_F(Popup, OpensOverTheFormsWithTheOwnersEntries)
{
    open();
    EXPECT_TRUE(popup.is_open());
    EXPECT_TRUE(on_top());
    EXPECT_EQ(application->form_count(), 2u);
    EXPECT_EQ(owner.calls, std::vector<std::u16string> { u"UpdateTime" });
    // The caption is the language text of the pop-up's identifier.
    auto* caption = dynamic_cast<skin::TextNode*>(popup.caption());
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->text(), u"Update interval");

    ASSERT_EQ(popup.list()->count(), 4);
    // Without an own text an entry shows its identifier's language text.
    EXPECT_EQ(row_text(0), u"Every hour");
    EXPECT_EQ(row_text(1), u"Every 3 hours");
    EXPECT_EQ(row_text(2), u"Own words");
    EXPECT_EQ(row_text(3), u"Cancel");
    EXPECT_EQ(check_state(0), 1u);
    EXPECT_EQ(check_state(1), 0u);
    EXPECT_EQ(check_state(2), 0u);

    // The panel is centred and just high enough: caption, four rows and its border.
    skin::SkinNode& panel = popup.child(0);
    EXPECT_EQ(panel.height(), 36 + 4 * 36 + 2);
    EXPECT_EQ(panel.y(), (320 - panel.height()) / 2);
    EXPECT_EQ(panel.x(), 16);
    EXPECT_EQ(row(0).y(), panel.y() + 1 + 36);
}

TEST_F(Popup, ALongMenuStaysOnTheScreenAndScrollsToItsLastEntry)
{
    for (int i = 0; i < 6; ++i)
        owner.fill.insert(owner.fill.begin(), entry(u"More"));
    ASSERT_TRUE(popup.open(u"UpdateTime"));
    auto lay_out = [this](int steps) {
        for (int i = 0; i < steps; ++i) {
            skin::place_on_screen(popup, 320, 240);
            popup.life_cycle(0.04);
        }
    };
    lay_out(3);
    // Landscape: the panel keeps its margins, the list gets what is left under the caption.
    skin::SkinNode& panel = popup.child(0);
    EXPECT_EQ(panel.y(), 16);
    EXPECT_EQ(panel.height(), 240 - 32);
    skin::ListNode& list = *popup.list();
    EXPECT_EQ(list.y(), 16 + 1 + 36);
    EXPECT_EQ(list.y() + list.height(), 16 + 208 - 1);

    // Dragged up, the list comes to rest with "Cancel" on its bottom, where a tap chooses it.
    skin::Point from { 160, 200 };
    popup.stylus({ from, false, true, false });
    for (int y = 200; y >= -200; y -= 20)
        popup.stylus_move({ 160, y });
    popup.stylus({ { 160, -200 }, false, false, false });
    lay_out(150);
    skin::ListRowNode& last = row(9);
    EXPECT_EQ(last.y() + last.height(), list.y() + list.height());
    tap(centre(9));
    EXPECT_EQ(owner.calls.back(), u"Cancel");
}

TEST_F(Popup, ATapChoosesTheEntryAfterThePopupHasLeft)
{
    open();
    owner.on_choice = [this](std::u16string_view) {
        EXPECT_FALSE(application->is_on_stack(popup));
        EXPECT_FALSE(popup.is_open());
    };
    tap(centre(1));
    EXPECT_EQ(owner.calls.back(), u"TIME_3");
    EXPECT_EQ(owner.calls.size(), 2u);
    EXPECT_FALSE(popup.is_open());
    EXPECT_EQ(application->top_form(), &background);

    // Once closed, taps choose nothing.
    tap(centre(0));
    EXPECT_EQ(owner.calls.size(), 2u);
}

TEST_F(Popup, UpDownAndEnterChooseTheHighlightedEntry)
{
    open();
    // Enter without a highlight chooses nothing.
    key(input::key_enter);
    EXPECT_TRUE(popup.is_open());
    // The list's highlight starts on the first visible row and slides one row on.
    key(input::key_down);
    frames(10);
    key(input::key_down);
    frames(10);
    key(input::key_up);
    frames(10);
    EXPECT_EQ(owner.calls.size(), 1u);
    ASSERT_EQ(popup.list()->highlight_position(), 1.0);
    key(input::key_enter);
    EXPECT_EQ(owner.calls.back(), u"TIME_3");
    EXPECT_FALSE(popup.is_open());

    ASSERT_TRUE(popup.open(u"UpdateTime"));
    frames(1);
    key(input::key_up);
    frames(10);
    key(input::key_enter);
    EXPECT_EQ(owner.calls.back(), u"Own");
}

TEST_F(Popup, BackAndATapOutsideChooseCancel)
{
    open();
    key(input::key_backspace);
    EXPECT_EQ(owner.calls.back(), u"Cancel");
    EXPECT_FALSE(popup.is_open());
    EXPECT_FALSE(application->is_on_stack(popup));

    open();
    tap({ 5, 5 });
    EXPECT_EQ(owner.calls.back(), u"Cancel");
    EXPECT_FALSE(popup.is_open());

    // A press outside released inside the panel is no tap outside; a press inside the
    // panel's caption chooses nothing either.
    open();
    size_t calls = owner.calls.size();
    popup.stylus({ { 5, 5 }, false, true, false });
    popup.stylus({ centre(0), false, false, false });
    skin::Point caption { 120, popup.child(0).y() + 10 };
    tap(caption);
    EXPECT_EQ(owner.calls.size(), calls);
    EXPECT_TRUE(popup.is_open());
    EXPECT_TRUE(on_top());

    // Without an entry "Cancel", Back only closes the pop-up.
    owner.fill = { entry(u"TIME_1"), entry(u"TIME_3") };
    popup.close();
    open();
    calls = owner.calls.size();
    key(input::key_backspace);
    EXPECT_EQ(owner.calls.size(), calls);
    EXPECT_FALSE(popup.is_open());
    EXPECT_FALSE(application->is_on_stack(popup));
}

TEST_F(Popup, ADisabledEntryIsShownButNotChosen)
{
    owner.fill[1].enabled = false;
    open();
    EXPECT_EQ(row_text(1), u"Every 3 hours");
    tap(centre(1));
    EXPECT_EQ(owner.calls.size(), 1u);
    EXPECT_TRUE(popup.is_open());
    EXPECT_FALSE(popup.choose(1));
    EXPECT_FALSE(popup.choose(7));
    EXPECT_TRUE(popup.choose(2));
    EXPECT_EQ(owner.calls.back(), u"Own");
}

TEST_F(Popup, NothingToShowOpensNothing)
{
    owner.fill.clear();
    EXPECT_FALSE(popup.open(u"UpdateTime"));
    EXPECT_FALSE(popup.is_open());
    EXPECT_EQ(application->form_count(), 1u);
    PopupMenu unbuilt;
    EXPECT_FALSE(unbuilt.open(u"UpdateTime"));

    // A pop-up destroyed while open leaves the form stack.
    owner.fill = { entry(u"TIME_1") };
    auto short_lived = std::make_unique<PopupMenu>();
    short_lived->build_popup(properties, &owner);
    ASSERT_TRUE(short_lived->open(u"UpdateTime"));
    EXPECT_EQ(application->form_count(), 2u);
    short_lived.reset();
    EXPECT_EQ(application->form_count(), 1u);
    EXPECT_EQ(application->top_form(), &background);
}

TEST_F(Popup, TheOwnerMayRebuildThePopupInANewSkinWhileChoosing)
{
    open();
    // As after a skin switch: the owner loads another skin and opens the pop-up again.
    owner.on_choice = [this](std::u16string_view identifier) {
        if (identifier != u"TIME_3")
            return;
        load_skin(50);
        EXPECT_TRUE(popup.open(u"UpdateTime"));
    };
    tap(centre(1));
    EXPECT_EQ(owner.calls.back(), u"UpdateTime");
    EXPECT_TRUE(popup.is_open());
    EXPECT_TRUE(on_top());
    frames(1);
    EXPECT_EQ(row(0).height(), 50);
    EXPECT_EQ(row_text(0), u"Every hour");

    // The same through the keys.
    owner.on_choice = [this](std::u16string_view identifier) {
        if (identifier == u"Cancel")
            popup.build_popup(properties, &owner);
    };
    key(input::key_backspace);
    EXPECT_EQ(owner.calls.back(), u"Cancel");
    EXPECT_FALSE(popup.is_open());
}

TEST_F(Popup, TheMenuTypeIsANodeTypeOfItsOwn)
{
    EXPECT_TRUE(skin::NodeFactory::is_registered(u"menu"));
    EXPECT_THROW(PopupMenu::register_node_type(), plexor::NodeAlreadyRegistered);
    skin::FormNode holder;
    holder.build(properties, u"Holder");
    auto* inner = dynamic_cast<PopupMenu*>(holder.find_descendant(u"inner"));
    ASSERT_TRUE(inner);
    EXPECT_TRUE(inner->list());
    // A template without its list does not match the program.
    PopupMenu broken;
    EXPECT_THROW(broken.build_popup(properties, &owner, u"Plain"), plexor::NodeNotFound);
    EXPECT_THROW(broken.build_popup(properties, &owner, u"NoSuchMenu"), plexor::NodeNotFoundInSkin);
}

} // namespace
