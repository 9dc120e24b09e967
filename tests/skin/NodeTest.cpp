#include "FixedFont.h"
#include "SkinTestSupport.h"

#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/MultiNode.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/SkinErrors.h"
#include "skin/nodes/TextNode.h"

#include "support/TestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

namespace {

class Nodes : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_fonts();
        ensure_node_types();
        folder = test_support::scratch_folder("nodes");
    }
    void build(const std::string& body, int width = 100, int height = 100)
    {
        std::string path = compile(folder, "s" + std::to_string(++count), "<skin><node name=\"f\" outside_color=\"9 8 7\">" + body + "</node></skin>");
        ASSERT_TRUE(properties.load_skin(u16(path), ScreenInfo::make(240, 320, 96)));
        form.build(properties, u"f");
        place_on_screen(form, width, height);
    }
    template<typename T = SkinNode>
    T& node(const char16_t* id)
    {
        SkinNode* found = form.find_descendant(id);
        EXPECT_TRUE(found) << platform::to_utf8(id);
        return static_cast<T&>(found ? *found : form);
    }
    std::string folder;
    int count = 0;
    PropertiesImpl properties;
    FormNode form;
};

struct Clicks : ButtonListener {
    std::vector<std::string> events;
    void clicked(ButtonNode& b, Point p) override { events.push_back("click " + platform::to_utf8(b.id()) + at(p)); }
    void press_changed(ButtonNode& b, Point p, bool cancelled) override
    {
        events.push_back(std::string(b.pressed() ? "down" : "up") + (cancelled ? " cancelled" : "") + at(p));
    }
    void dragged(ButtonNode&, Point p, Point by) override { events.push_back("drag" + at(p) + at(by)); }
    static std::string at(Point p) { return " " + std::to_string(p.x) + "," + std::to_string(p.y); }
};

StylusEvent down(int x, int y) { return { { x, y }, false, true, false }; }
StylusEvent up(int x, int y) { return { { x, y }, false, false, false }; }

} // namespace

TEST_F(Nodes, FactoryAndSkinMismatchesThrowWithTheirNames)
{
    try {
        NodeFactory::register_class<SkinNode>(u"text");
        FAIL() << "registered twice";
    } catch (const plexor::NodeAlreadyRegistered& e) {
        EXPECT_EQ(e.type(), u"text");
    }
    try {
        build(R"(<node type="bogus"/>)");
        FAIL() << "built an unknown type";
    } catch (const plexor::NodeNotRegistered& e) {
        EXPECT_EQ(e.type(), u"bogus");
    }
    try {
        form.build(properties, u"frmNone");
        FAIL();
    } catch (const plexor::NodeNotFoundInSkin& e) {
        EXPECT_EQ(e.name(), u"frmNone");
    }
    build(R"(<node id="x"/>)");
    try {
        form.bind(u"y", nullptr);
        FAIL();
    } catch (const plexor::NodeNotFound& e) {
        EXPECT_EQ(e.id(), u"y");
        EXPECT_EQ(e.parent_id(), u"");
    }
    NodeFactory::register_class<SkinNode>(u"extra");
    EXPECT_TRUE(NodeFactory::is_registered(u"extra"));
    NodeFactory::unregister_type(u"extra");
    EXPECT_THROW(NodeFactory::create(u"extra"), plexor::NodeNotRegistered);
    // A child without a type in the source is compiled as a plain node.
    EXPECT_EQ(typeid(form.child(0)), typeid(SkinNode));
    EXPECT_THROW(NodeFactory::create(u""), plexor::NodeNotRegistered);
    EXPECT_EQ(form.outside_color(), (Color { 9, 8, 7, 255 }));
}

TEST_F(Nodes, FindDescendantPrefersDirectChildren)
{
    build(R"(<node id="box"><node id="target" design_size="1 1"/></node>
             <node id="target" design_size="2 2"/>
             <node id="other"><node id="deep"/></node>)");
    EXPECT_EQ(form.find_descendant(u"target")->design_size(), (Point { 2, 2 }));
    EXPECT_EQ(form.find_descendant(u"deep")->parent()->id(), u"other");
    EXPECT_EQ(form.find_descendant(u"missing"), nullptr);
    EXPECT_EQ(node(u"box").find_descendant(u"target")->design_size(), (Point { 1, 1 }));
}

TEST_F(Nodes, BaseAttributesAndTextAlignments)
{
    build(R"(<node id="c" cache="1" cache_alpha="100" visibility_animation="spin"/>
             <node id="n" cache_alpha="100"/>
             <node type="text" id="t1" halign="left" valign="BOTTOM" text="x"/>
             <node type="text" id="t2" halign="RIGHT" valign="middle"/>
             <node type="text" id="t3" halign="JUSTIFY" valign="TOP"/>)");
    EXPECT_TRUE(node(u"c").cache());
    EXPECT_EQ(node(u"c").cache_alpha(), 100);
    EXPECT_EQ(node(u"c").visibility_animation(), nullptr);
    EXPECT_FALSE(node(u"n").cache());
    EXPECT_EQ(node(u"n").cache_alpha(), -1);
    EXPECT_EQ(node<TextNode>(u"t1").halign(), HAlign::center);
    EXPECT_EQ(node<TextNode>(u"t1").valign(), VAlign::bottom);
    EXPECT_EQ(node<TextNode>(u"t2").halign(), HAlign::right);
    EXPECT_EQ(node<TextNode>(u"t2").valign(), VAlign::vcenter);
    EXPECT_EQ(node<TextNode>(u"t3").halign(), HAlign::justify);
    EXPECT_EQ(node<TextNode>(u"t3").valign(), VAlign::top);
}

TEST_F(Nodes, ButtonPressRule)
{
    build(R"(<node type="button" id="b" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE" design_size="20 10" border_min="10 10">
               <node id="#normal"/><node id="#disabled"/>
               <node type="text" id="#text"/>
             </node>)");
    auto& b = node<ButtonNode>(u"b");
    Clicks clicks;
    b.set_listener(&clicks);
    SkinNode& normal = node(u"#normal");
    SkinNode& disabled = node(u"#disabled");
    EXPECT_TRUE(normal.visible());
    EXPECT_FALSE(disabled.visible());

    // Press and release inside: a click.
    EXPECT_TRUE(form.stylus(down(12, 12)));
    EXPECT_TRUE(b.pressed());
    EXPECT_TRUE(normal.visible()); // no "#pressed": the normal state shows
    form.stylus_move({ 15, 13 });
    form.stylus(up(14, 14));
    EXPECT_EQ(clicks.events, (std::vector<std::string> { "drag 12,12 0,0", "down 12,12", "drag 15,13 3,1", "up 14,14",
                                 "click b 14,14" }));

    // Released outside: no click, but both press notices.
    clicks.events.clear();
    form.stylus(down(12, 12));
    form.stylus(up(50, 50)); // the capture brings it to the button anyway
    EXPECT_EQ(clicks.events, (std::vector<std::string> { "drag 12,12 0,0", "down 12,12", "up 50,50" }));

    // A cancelled press does not click.
    clicks.events.clear();
    form.stylus(down(12, 12));
    form.stylus({ { 12, 12 }, false, false, true });
    EXPECT_EQ(clicks.events.back(), "up cancelled 12,12");

    // Disabled: the disabled state shows and the stylus does not reach it.
    b.set_enabled(false);
    EXPECT_TRUE(disabled.visible());
    EXPECT_FALSE(normal.visible());
    clicks.events.clear();
    EXPECT_FALSE(form.stylus(down(12, 12)));
    EXPECT_TRUE(clicks.events.empty());
    b.set_enabled(true);
    EXPECT_TRUE(normal.visible());
}

TEST_F(Nodes, ButtonKeysAndCaption)
{
    test_support::write_bytes(folder + "/l.lng", "Menu=Options\n");
    ASSERT_TRUE(properties.load_language(u16(folder + "/l.lng")));
    build(R"(<node type="button" id="b" bind_key="SOFT_LEFT" text="Menu" design_size="20 10" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE">
               <node id="#normal"><node type="text" id="#text" text="skin"/></node><node id="#pressed"/>
             </node>
             <node type="button" id="lower" bind_key="soft_left"/>
             <node type="button" id="plain"><node type="text" id="#text" text="own"/></node>)");
    auto& b = node<ButtonNode>(u"b");
    EXPECT_EQ(b.bound_key(), input::key_soft_left);
    EXPECT_EQ(node<ButtonNode>(u"lower").bound_key(), input::key_none);
    EXPECT_EQ(b.caption(), u"Options");
    EXPECT_EQ(static_cast<TextNode*>(b.find_descendant(u"#text"))->text(), u"Options");
    EXPECT_EQ(static_cast<TextNode*>(node(u"plain").find_descendant(u"#text"))->text(), u"own");
    Clicks clicks;
    b.set_listener(&clicks);
    EXPECT_TRUE(form.key({ input::key_soft_left, true, true }));
    EXPECT_TRUE(node(u"#pressed").visible());
    EXPECT_FALSE(node(u"#normal").visible());
    EXPECT_TRUE(form.key({ input::key_soft_left, false, true }));
    EXPECT_EQ(clicks.events, (std::vector<std::string> { "down 10,5", "up 10,5", "click b 10,5" }));
    EXPECT_FALSE(form.key({ input::key_enter, true, true }));
}

TEST_F(Nodes, StylusGoesToTheTopmostChildAndStaysCaptured)
{
    build(R"(<node type="button" id="under"/><node type="button" id="over" anchor_x="MIN_SIDE" design_size="50 0"/>
             <node type="button" id="hidden"/>)");
    node(u"hidden").set_visible(false);
    Clicks clicks;
    node<ButtonNode>(u"under").set_listener(&clicks);
    node<ButtonNode>(u"over").set_listener(&clicks);
    form.stylus(down(10, 10));
    EXPECT_EQ(form.captured_child(), &node(u"over"));
    form.stylus(up(10, 10));
    EXPECT_EQ(form.captured_child(), nullptr);
    form.stylus(down(80, 10));
    form.stylus(up(80, 10));
    ASSERT_EQ(clicks.events.size(), 8u); // drag, down, up and click each
    EXPECT_EQ(clicks.events[3], "click over 10,10");
    EXPECT_EQ(clicks.events[7], "click under 80,10");

    // Hiding the captured node's parent cancels the press.
    clicks.events.clear();
    form.stylus(down(80, 10));
    form.set_visible(false);
    EXPECT_EQ(clicks.events.back(), "up cancelled 0,0");
    EXPECT_FALSE(node(u"under").shown());
    form.set_visible(true);
    EXPECT_TRUE(node(u"under").shown());
    EXPECT_FALSE(node(u"hidden").visible());
}

TEST_F(Nodes, MultinodeMovieFrameTimes)
{
    build(R"(<node type="multinode" id="m" movie="1" delay="0.25" text="Hi">
               <node id="s0"><attribute name="delay" kind="string" value="0.5"/><node type="text" id="#text"/></node>
               <node id="s1"/>
               <node id="s2"><attribute name="delay" kind="string" value="1.0"/></node>
             </node>)");
    auto& m = node<MultiNode>(u"m");
    ASSERT_EQ(m.state_count(), 3u);
    EXPECT_DOUBLE_EQ(m.frame_time(0), 0.5);
    EXPECT_DOUBLE_EQ(m.frame_time(1), 0.25);
    EXPECT_DOUBLE_EQ(m.frame_time(2), 1.0);
    EXPECT_EQ(static_cast<TextNode&>(node(u"#text")).text(), u"Hi");
    std::vector<double> changes;
    size_t state = m.state();
    for (int step = 1; step <= 70; ++step) {
        form.life_cycle(0.05);
        if (m.state() != state) {
            changes.push_back(std::round(step * 5.0) / 100.0);
            state = m.state();
        }
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(m.child(i).visible(), i == m.state());
    }
    // 0.5, then 0.25, then 1.0, cycling.
    std::vector<double> expected { 0.5, 0.75, 1.75, 2.25, 2.5, 3.5 };
    ASSERT_EQ(changes.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NEAR(changes[i], expected[i], 0.051) << i;
    // Hidden, the movie stands still.
    m.set_visible(false);
    size_t still = m.state();
    for (int i = 0; i < 40; ++i)
        form.life_cycle(0.05);
    EXPECT_EQ(m.state(), still);
    // Removing the current state keeps the index inside the count.
    m.set_state(2);
    m.child(2).destroy();
    EXPECT_EQ(m.state_count(), 2u);
    EXPECT_EQ(m.state(), 0u);
    EXPECT_DOUBLE_EQ(m.frame_time(1), 0.25);
}

TEST_F(Nodes, RemovingAndDestroyingMarkTheAncestorsStale)
{
    build(R"(<node id="box"><node id="a"/><node id="b"/></node>)");
    SkinNode& box = node(u"box");
    EXPECT_FALSE(form.layout_pending());
    node(u"a").destroy();
    EXPECT_EQ(box.child_count(), 1u);
    EXPECT_EQ(box.child(0).id(), u"b");
    EXPECT_TRUE(form.layout_pending());
    EXPECT_TRUE(form.dirty());
    std::unique_ptr<SkinNode> taken = box.remove_child(box.child(0), 7); // a wrong index still finds it
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->parent(), nullptr);
    EXPECT_EQ(box.child_count(), 0u);
    box.add_child(std::move(taken));
    EXPECT_EQ(box.child(0).parent(), &box);
    form.destroy(); // a root only loses its children
    EXPECT_EQ(form.child_count(), 0u);
}

TEST_F(Nodes, DumpLogsTheTree)
{
    build(R"(<node id="a" border_min="1 2" design_size="3 4"><node id="b"/></node>)", 50, 60);
    start_log();
    form.dump(0);
    std::string log = log_text();
    stop_log();
    EXPECT_NE(log.find("{} position=(0, 0) size=(50, 60) design_size=(0, 0) rs.size=(0, 0)\n"
                       "\t{a} position=(1, 2) size=(49, 58) design_size=(3, 4) rs.size=(0, 0)\n"
                       "\t\t{b} position=(1, 2) size=(49, 58) design_size=(0, 0) rs.size=(0, 0)\n"),
        std::string::npos)
        << log;
}
