#include "FixedFont.h"
#include "SkinTestSupport.h"

#include "skin/layout/ScaleMode.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/ImageNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/ProgressNode.h"
#include "skin/nodes/SkinErrors.h"
#include "skin/nodes/TextNode.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

TEST(ScaleRules, SizeOffsetAndContribution)
{
    struct Case {
        int mode, bmin, bmax, wanted, room, size, offset;
    } cases[] = {
        { both_side, 5, 7, 0, 100, 88, 5 },
        { max_side, 0, 4, 30, 100, 30, 66 },
        { max_side, 0, 4, 30, 20, 16, 0 },
        { center, 0, 0, 9, 10, 9, 0 },
        { center, 0, 0, 6, 10, 6, 2 },
        { center, 3, 1, 50, 40, 36, 3 },
        { min_side, 5, 7, 200, 100, 95, 5 },
        { ratio, 5, 7, 200, 100, 88, 5 },
        { min_side_no_size, 5, 7, 200, 100, 200, 5 },
        { max_side_no_size, 0, 4, 200, 100, 200, 0 },
        { both_side_no_size, 5, 7, 3, 100, 88, 5 },
        { center_no_size, 2, 2, 20, 30, 20, 5 },
        { both_side, 60, 60, 0, 100, 0, 60 },
    };
    for (const Case& c : cases) {
        int size = scale_size(c.mode, c.bmin, c.bmax, c.wanted, c.room);
        EXPECT_EQ(size, c.size) << "mode " << c.mode << " room " << c.room;
        EXPECT_EQ(scale_offset(c.mode, c.bmin, c.bmax, size, c.room), c.offset) << "mode " << c.mode;
    }
    for (int mode = 0; mode < 9; ++mode)
        EXPECT_EQ(scale_contribution(mode, 2, 3, 10), mode <= 4 ? 15 : 0) << mode;
    EXPECT_EQ(parse_scale_mode(u"CENTER_NO_SIZE"), center_no_size);
    EXPECT_EQ(parse_scale_mode(u"center"), both_side);
    EXPECT_EQ(parse_scale_mode(u""), both_side);
}

namespace {

class Layout : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_fonts();
        ensure_node_types();
        folder = test_support::scratch_folder("layout");
        write_plain_png(folder + "/pic.png", 8, 9);
    }
    // Builds the named node of the source into form and places it on a screen.
    void build(const std::string& body, int width = 100, int height = 50)
    {
        std::string path = compile(folder, "s" + std::to_string(++count), "<skin><node name=\"f\">" + body + "</node></skin>");
        ASSERT_TRUE(properties.load_skin(u16(path), ScreenInfo::make(240, 320, 96)));
        form.build(properties, u"f");
        place_on_screen(form, width, height);
    }
    SkinNode& node(const char16_t* id)
    {
        SkinNode* found = form.find_descendant(id);
        EXPECT_TRUE(found) << platform::to_utf8(id);
        return found ? *found : form;
    }
    std::string folder;
    int count = 0;
    PropertiesImpl properties;
    FormNode form;
};

} // namespace

TEST_F(Layout, PlainContainerGivesEachChildTheWholeRoom)
{
    build(R"(<node id="box" border_min="5 2" border_max="7 3"/>
             <node id="right" type="measured" integer.want_x="30" integer.want_y="10" anchor_x="MAX_SIDE" anchor_y="CENTER" border_max="4 0"/>)");
    EXPECT_EQ(node(u"box").rect(), (Rect { 5, 2, 88, 45 }));
    EXPECT_EQ(node(u"right").rect(), (Rect { 66, 20, 30, 10 }));
    Measure m = measure_x(form);
    EXPECT_EQ(m.wanted, 34);
    EXPECT_EQ(m.minimum, 34);
}

TEST_F(Layout, NoSizeChildrenDoNotCountInTheMeasureButGetASlot)
{
    build(R"(<node type="htable" id="t">
               <node type="measured" id="a" integer.want_x="20"/>
               <node type="measured" id="b" integer.want_x="30" anchor_x="MIN_SIDE_NO_SIZE"/>
             </node>)");
    EXPECT_EQ(measure_x(node(u"t")), (Measure { 20, 20 }));
    EXPECT_EQ(node(u"a").rect().width, 20);
    EXPECT_EQ(node(u"b").x(), 20);
    EXPECT_EQ(node(u"b").width(), 30);
}

TEST_F(Layout, TableHandOutRatioAndShrink)
{
    struct Case {
        const char* what;
        int width;
        std::string children;
        std::vector<Rect> expected; // x and width of a, b, c
    } cases[] = {
        { "hand-out to the flexible child", 100,
            R"(<node type="measured" id="a" integer.want_x="40" integer.min_x="10"/><node type="measured" id="b" integer.want_x="30"/>)",
            { { 0, 0, 40, 0 }, { 40, 0, 30, 0 } } },
        { "spare to the ratio child", 100,
            R"(<node type="measured" id="a" integer.want_x="40" integer.min_x="10" table_ratio="1"/><node type="measured" id="b" integer.want_x="30"/>)",
            { { 0, 0, 70, 0 }, { 70, 0, 30, 0 } } },
        { "proportional shrink", 20,
            R"(<node type="measured" id="a" integer.want_x="10"/><node type="measured" id="b" integer.want_x="30"/>)",
            { { 0, 0, 5, 0 }, { 5, 0, 15, 0 } } },
        { "passes hand the excess on", 120,
            R"(<node type="measured" id="a" integer.want_x="10" integer.min_x="0"/><node type="measured" id="b" integer.want_x="100" integer.min_x="0"/>
               <node type="measured" id="c" integer.want_x="100" integer.min_x="0"/>)",
            { { 0, 0, 10, 0 }, { 10, 0, 55, 0 }, { 65, 0, 55, 0 } } },
        { "ratios 1 and 3 share the spare", 100,
            R"(<node type="measured" id="a" integer.want_x="10" table_ratio="1"/><node type="measured" id="b" integer.want_x="10" table_ratio="3"/>
               <node type="measured" id="c" integer.want_x="10"/>)",
            // spare 70 over K = 2: a gets 70 x 1 / 2 = 35, b 70 x 4 / 2 - 35 = 105
            { { 0, 0, 45, 0 }, { 45, 0, 115, 0 }, { 160, 0, 10, 0 } } },
        { "margins take room first", 50,
            R"(<node type="measured" id="a" integer.want_x="30" integer.min_x="0" border_min="5 0" border_max="5 0"/>
               <node type="measured" id="b" integer.want_x="30" integer.min_x="0"/>)",
            { { 5, 0, 20, 0 }, { 30, 0, 20, 0 } } },
        { "no room at all", 8,
            R"(<node type="measured" id="a" integer.want_x="30" border_min="5 0" border_max="5 0"/><node type="measured" id="b" integer.want_x="3"/>)",
            { { 0, 0, 0, 0 }, { 0, 0, 0, 0 } } },
    };
    for (const Case& c : cases) {
        build("<node type=\"htable\" id=\"t\">" + c.children + "</node>", c.width, 10);
        const char16_t* ids[] = { u"a", u"b", u"c" };
        for (size_t i = 0; i < c.expected.size(); ++i) {
            Rect r = node(ids[i]).rect();
            EXPECT_EQ(r.x, c.expected[i].x) << c.what << " child " << i;
            EXPECT_EQ(r.width, c.expected[i].width) << c.what << " child " << i;
            EXPECT_EQ(r.height, 10) << c.what; // the other axis fills
        }
    }
}

TEST_F(Layout, VerticalTableAndAnInvisibleChild)
{
    build(R"(<node type="vtable" id="t">
               <node type="measured" id="a" integer.want_y="10"/>
               <node type="measured" id="b" integer.want_y="20"/>
               <node type="measured" id="c" integer.want_y="5"/>
             </node>)", 30, 100);
    EXPECT_EQ(node(u"b").rect(), (Rect { 0, 10, 30, 20 }));
    EXPECT_EQ(node(u"c").y(), 30);
    EXPECT_EQ(measure_y(node(u"t")).wanted, 35);
    node(u"b").set_visible(false);
    EXPECT_TRUE(node(u"t").layout_pending());
    EXPECT_TRUE(form.layout_pending());
    place_on_screen(form, 30, 100);
    EXPECT_EQ(node(u"c").y(), 10);                           // b takes no room
    EXPECT_EQ(node(u"b").rect(), (Rect { 0, 10, 30, 20 }));   // and keeps its rectangle
    EXPECT_EQ(measure_y(node(u"t")).wanted, 15);
}

namespace {

struct Observer : LayoutObserver {
    std::vector<std::string> calls;
    void x_changed(SkinNode&, int x, int width) override { calls.push_back("x " + std::to_string(x) + " " + std::to_string(width)); }
    void y_changed(SkinNode&, int y, int height) override { calls.push_back("y " + std::to_string(y) + " " + std::to_string(height)); }
};

} // namespace

TEST_F(Layout, PlacementRunsOnlyWhenSomethingChanged)
{
    build(R"(<node id="a" border_min="1 2"/>)");
    Observer observer;
    SkinNode& a = form.bind(u"a", &observer);
    place_on_screen(form, 100, 50); // nothing changed, nothing pending
    EXPECT_TRUE(observer.calls.empty());
    a.clear_dirty();
    form.clear_dirty();
    place_on_screen(form, 80, 50);
    EXPECT_EQ(observer.calls, (std::vector<std::string> { "x 1 79", "y 2 48" }));
    EXPECT_TRUE(a.dirty());
    EXPECT_FALSE(a.layout_pending());
    // Pending layout forces both placements even with the same values.
    a.invalidate();
    EXPECT_TRUE(form.layout_pending());
    place_on_screen(form, 80, 50);
    EXPECT_EQ(observer.calls.size(), 4u);
    EXPECT_THROW(form.bind(u"nothing", &observer), plexor::NodeNotFound);
}

TEST_F(Layout, TextMeasuresGrowAndWrap)
{
    build(R"(<node type="vtable">
               <node type="text" id="grow" text="WWWW" grow="1" font="12 0 0 0 X" design_size="10 3" anchor_x="MIN_SIDE"/>
               <node type="text" id="min" text="WWWW" grow="1" grow_min="1" font="12 0 0 0 X"/>
               <node type="text" id="wrap" text="aaa bbb ccc" grow="1" wrap="1" font="12 0 0 0 X"/>
               <node type="text" id="fixed" text="WWWW" font="12 0 0 0 X" design_size="0 7"/>
             </node>)", 42, 200);
    EXPECT_EQ(measure_x(node(u"grow")), (Measure { 40, 10 }));
    EXPECT_EQ(measure_x(node(u"min")), (Measure { 40, 40 }));
    EXPECT_EQ(node(u"grow").width(), 40);
    EXPECT_EQ(measure_y(node(u"grow")), (Measure { 10, 3 }));
    EXPECT_EQ(measure_y(node(u"min")), (Measure { 10, 10 }));
    EXPECT_EQ(measure_y(node(u"wrap")), (Measure { 20, 0 })); // two lines at width 42
    EXPECT_EQ(node(u"wrap").height(), 20);
    EXPECT_EQ(node(u"fixed").height(), 7);

    // Narrower: three lines, measured again because the width changed.
    place_on_screen(form, 41, 200);
    EXPECT_EQ(node(u"wrap").height(), 30);
    auto& wrap = static_cast<TextNode&>(node(u"wrap"));
    EXPECT_EQ(wrap.lines().size(), 3u);

    // A growing text that changes makes its ancestors stale; a fixed one only dirty.
    auto& fixed = static_cast<TextNode&>(node(u"fixed"));
    form.clear_dirty();
    fixed.set_text(u"W");
    EXPECT_TRUE(form.dirty());
    EXPECT_FALSE(form.layout_pending());
    wrap.set_text(u"aaa");
    EXPECT_TRUE(form.layout_pending());
    place_on_screen(form, 41, 200);
    EXPECT_EQ(wrap.height(), 10);
    form.set_text(u"fixed", u"new text");
    EXPECT_EQ(fixed.text(), u"new text");
}

TEST_F(Layout, ImageMeasuresFollowThePicture)
{
    build(R"(<node type="htable">
               <node type="image" id="g" src="pic.png" grow="1"/>
               <node type="image" id="s" src="pic.png" grow="1" save_aspect_ratio="1" anchor_x="MIN_SIDE_NO_SIZE" design_size="4 0"/>
             </node>)", 100, 100);
    EXPECT_EQ(measure_x(node(u"g")), (Measure { 8, 8 }));
    EXPECT_EQ(node(u"g").height(), 100); // BOTH_SIDE fills
    EXPECT_EQ(measure_y(node(u"g")), (Measure { 9, 9 }));
    auto& s = static_cast<ImageNode&>(node(u"s"));
    EXPECT_EQ(s.width(), 8);
    EXPECT_EQ(measure_y(s), (Measure { 9, 9 }));
    // Squeezed to 4 wide, the picture keeps its proportions: 4 x 9 / 8.
    build(R"(<node type="image" id="s" src="pic.png" grow="1" save_aspect_ratio="1" anchor_x="MIN_SIDE" anchor_y="MIN_SIDE"/>)", 4, 100);
    EXPECT_EQ(node(u"s").width(), 4);
    EXPECT_EQ(node(u"s").height(), 4);
}

TEST_F(Layout, ProgressLineTakesTheValuesShare)
{
    build(R"(<node type="progress" id="p">
               <node id="#line" anchor_x="MIN_SIDE" border_min="2 0" border_max="8 0"/>
               <node id="frame"/>
             </node>)", 100, 20);
    auto& progress = static_cast<ProgressNode&>(node(u"p"));
    ASSERT_TRUE(progress.line());
    EXPECT_EQ(progress.line()->width(), 0);
    progress.set_value(0.5);
    EXPECT_EQ(progress.line()->rect(), (Rect { 2, 0, 45, 20 }));
    progress.set_value(2.0);
    EXPECT_EQ(progress.line()->width(), 90);
    progress.set_value(0.005); // below one pixel
    EXPECT_EQ(progress.line()->width(), 0);
    EXPECT_EQ(node(u"frame").rect(), (Rect { 0, 0, 100, 20 }));
}
