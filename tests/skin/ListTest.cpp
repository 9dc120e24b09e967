// The scrolling list driven through fixed life_cycle steps, stylus and keys, with its
// positions checked in numbers.
#include "FixedFont.h"
#include "SkinTestSupport.h"

#include "skin/draw/Drawing.h"
#include "skin/draw/RenderSurface.h"
#include "skin/draw/SolidFill.h"
#include "skin/list/DragTracker.h"
#include "skin/list/ListNode.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <cmath>
#include <set>

using namespace skin;
using namespace skin_test;

namespace {

int live_rows = 0;

class CountedRow : public ListRowNode {
public:
    CountedRow() { ++live_rows; }
    ~CountedRow() override { --live_rows; }
};

class Source : public ListSource {
public:
    explicit Source(const Properties& p)
        : properties(p)
    {
    }
    std::unique_ptr<ListRowNode> create_row(ListNode&, int index) override
    {
        created.push_back(index);
        if (missing.count(index))
            return nullptr;
        auto row = std::make_unique<CountedRow>();
        row->build(properties, u"row");
        return row;
    }
    void row_activated(ListNode&, int index) override { activated.push_back(index); }

    const Properties& properties;
    std::vector<int> created;
    std::vector<int> activated;
    std::set<int> missing;
};

StylusEvent down(int x, int y) { return { { x, y }, false, true, false }; }
StylusEvent move(int x, int y) { return { { x, y }, true, true, false }; }
StylusEvent up(int x, int y) { return { { x, y }, false, false, false }; }
input::KeyEvent key(int code, bool pressed) { return { code, pressed, true }; }

class Lists : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_fonts();
        ensure_node_types();
        folder = test_support::scratch_folder("lists");
    }
    // A 100 x height list of rows 40 high; margins give "scroll_border_min/max".
    void build(int rows, int height = 200, const std::string& list_attributes = "")
    {
        write_png(folder + "/bar.png", 4, 4, std::vector<Rgba>(16, Rgba { 255, 255, 255, 255 }));
        std::string source = "<skin><node name=\"row\" design_size=\"0 40\">"
                             "<node type=\"color\" id=\"#vlist_normal\" color=\"0 0 255\"/>"
                             "<node type=\"color\" id=\"#vlist_pressed\" color=\"255 0 0\"/>"
                             "<node type=\"color\" id=\"#vlist_selected\" color=\"255 255 0\"/></node>"
                             "<node name=\"f\"><node type=\"vlist\" id=\"list\" ";
        source += list_attributes;
        source += "><node type=\"color\" id=\"deco\" color=\"0 255 0\"/></node></node></skin>";
        std::string name = "s";
        name += std::to_string(++count);
        std::string path = compile(folder, name, source);
        ASSERT_TRUE(properties.load_skin(u16(path), ScreenInfo::make(240, 320, 96)));
        form.build(properties, u"f");
        list = static_cast<ListNode*>(form.find_descendant(u"list"));
        ASSERT_TRUE(list);
        list->set_clock([this] { return now; });
        this->source = std::make_unique<Source>(properties);
        list->set_source(this->source.get());
        list->set_count(rows);
        place_on_screen(form, 100, height);
        list->update_window();
    }
    void step(double seconds = 0.04, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            now += uint32_t(seconds * 1000);
            list->life_cycle(seconds);
        }
    }
    // A drag along y in moves of `by` pixels every `ms` milliseconds, then the release.
    void fling(int from_y, int by, int moves, uint32_t ms)
    {
        list->stylus(down(50, from_y));
        int y = from_y;
        for (int i = 0; i < moves; ++i) {
            now += ms;
            y += by;
            list->stylus(move(50, y));
        }
        list->stylus(up(50, y));
    }
    int row_top(int index) const { return list->row(index) ? list->row(index)->y() - list->y() : -9999; }

    std::string folder;
    int count = 0;
    uint32_t now = 1000;
    PropertiesImpl properties;
    FormNode form;
    ListNode* list = nullptr;
    std::unique_ptr<Source> source;
};

} // namespace

TEST(DragTracker, DeadZoneWindowAndSpeed)
{
    DragTracker t;
    Point moved;
    t.press({ 50, 50 }, 0, 1); // 2x screen: dead zone 20
    EXPECT_FALSE(t.move({ 69, 31 }, 10, moved));
    EXPECT_FALSE(t.dragging());
    EXPECT_TRUE(t.move({ 50, 70 }, 20, moved));
    EXPECT_EQ(moved, (Point { 0, 20 }));
    EXPECT_TRUE(t.move({ 50, 71 }, 30, moved)); // once dragging, every move counts
    EXPECT_EQ(moved, (Point { 0, 1 }));
    EXPECT_EQ(t.speed_y(40), 0); // samples span under 50 ms
    EXPECT_EQ(t.speed_y(60), 0); // the press sample is 60 ms old: span 0..30 is 30 ms
    t.move({ 50, 100 }, 70, moved);
    EXPECT_EQ(t.speed_y(70), (100 - 50) * 1000 / 70);
    // Samples older than 250 ms drop out of the speed.
    t.move({ 50, 110 }, 300, moved);
    EXPECT_EQ(t.speed_y(300), (110 - 100) * 1000 / 230);
    EXPECT_EQ(t.speed_y(400), 0);
}

TEST_F(Lists, RealizesOnlyVisibleRowsAndDropsThemWhenTheyScrollOut)
{
    build(38804, 210);
    // 210 pixels of 40-pixel rows: rows 0 to 5, the last one partly out.
    EXPECT_EQ(list->first_index(), 0);
    EXPECT_EQ(list->end_index(), 6);
    EXPECT_EQ(live_rows, 6);
    EXPECT_EQ(list->total(), 240);
    EXPECT_EQ(row_top(0), 0);
    EXPECT_EQ(row_top(3), 120);

    list->stylus(down(50, 150));
    now += 20;
    list->stylus(move(50, 85)); // up by 65: row 0 scrolls out
    EXPECT_DOUBLE_EQ(list->offset(), -25);
    EXPECT_EQ(list->first_index(), 1);
    EXPECT_EQ(list->end_index(), 7);
    EXPECT_EQ(row_top(1), -25);
    now += 20;
    list->stylus(move(50, 45)); // up by 40 more
    EXPECT_EQ(list->first_index(), 2);
    EXPECT_DOUBLE_EQ(list->offset(), -25);
    EXPECT_EQ(list->end_index(), 8);
    EXPECT_EQ(live_rows, 6); // what scrolled out was destroyed
    EXPECT_EQ(row_top(2), -25);
    EXPECT_EQ(row_top(7), 175);
    // Whatever was made was made only once, in order.
    EXPECT_EQ(source->created, (std::vector<int> { 0, 1, 2, 3, 4, 5, 6, 7 }));
    list->stylus(up(50, 45));
}

TEST_F(Lists, EmptyListKeepsTheTopMarginAndPassesKeysOn)
{
    build(0, 200, "scroll_border_min=\"0 12\"");
    step(0.04, 5);
    EXPECT_EQ(list->realized_count(), 0u);
    EXPECT_DOUBLE_EQ(list->offset(), 12);
    EXPECT_DOUBLE_EQ(list->velocity(), 0);
    EXPECT_FALSE(list->key(key(input::key_up, true)));
    EXPECT_EQ(list->highlight_position(), -1);
    fling(100, -30, 4, 10);
    step(0.04, 3);
    EXPECT_DOUBLE_EQ(list->offset(), 12);
}

TEST_F(Lists, FlingIsLimitedAndComesToRestByFriction)
{
    build(1000);
    list->set_selected(500);
    list->update_window();
    ASSERT_EQ(list->first_index(), 500);
    fling(20, 30, 6, 10); // 180 pixels in 60 ms: 3000 px/s
    EXPECT_DOUBLE_EQ(list->velocity(), 2000);
    int tracked = list->first_index();
    int top = row_top(tracked);
    step();
    EXPECT_EQ(row_top(tracked), top + 80); // 2000 px/s for 0.04 s, before friction
    EXPECT_LT(list->first_index(), 500);
    EXPECT_NEAR(list->velocity(), 2000 - (2 * 2000 + 9) * 0.04, 1e-9);
    int steps = 1;
    while (list->velocity() > 0 && steps < 500) {
        step();
        ++steps;
    }
    EXPECT_DOUBLE_EQ(list->velocity(), 0);
    EXPECT_LT(steps, 100);
    double offset = list->offset();
    int first = list->first_index();
    step(0.04, 10);
    EXPECT_DOUBLE_EQ(list->offset(), offset); // at rest in the middle: no settling
    EXPECT_EQ(list->first_index(), first);
    EXPECT_LT(first, 500); // the fling moved the rows down: earlier rows came in
}

TEST_F(Lists, ReleasePastAnEndSettlesAtFourHundredPixelsPerSecondOnTheMargin)
{
    build(50, 200, "scroll_border_min=\"0 10\" scroll_border_max=\"0 6\"");
    EXPECT_DOUBLE_EQ(list->offset(), 10);
    fling(20, 25, 2, 30); // pulled down by 50 past the top
    EXPECT_DOUBLE_EQ(list->offset(), 10 + 25 + 25 * (1 - 2 * 25.0 / 200));
    EXPECT_DOUBLE_EQ(list->velocity(), 0);
    double offset = list->offset();
    while (offset > 10) {
        step();
        EXPECT_DOUBLE_EQ(list->offset(), std::max(10.0, offset - 400 * 0.04));
        offset = list->offset();
    }
    step(0.04, 3);
    EXPECT_DOUBLE_EQ(list->offset(), 10);

    // The bottom end: the last row rests 6 pixels above the list's bottom.
    list->set_selected(49);
    list->update_window();
    step(0.04, 40);
    EXPECT_DOUBLE_EQ(list->offset() + list->total(), 200 - 6);
    fling(150, -20, 3, 30);
    EXPECT_DOUBLE_EQ(list->velocity(), 0);
    EXPECT_GT(list->offset() + list->total(), 0);
    EXPECT_LT(list->offset() + list->total(), 200 - 6);
    step(0.04, 40);
    EXPECT_DOUBLE_EQ(list->offset() + list->total(), 200 - 6);
}

TEST_F(Lists, DraggingPastTheTopByHalfTheHeightStopsFollowing)
{
    build(50);
    list->stylus(down(50, 10));
    now += 20;
    list->stylus(move(50, 60));
    EXPECT_DOUBLE_EQ(list->offset(), 50);
    now += 20;
    list->stylus(move(50, 110)); // scaled by 1 - 2 x 50 / 200
    EXPECT_DOUBLE_EQ(list->offset(), 75);
    list->stylus(move(50, 160));
    list->stylus(move(50, 190));
    list->stylus(move(50, 300));
    // Each move is scaled by the pull before it: 75 + 50 x 0.25 + 30 x 0.125 + 110 x 0.0875.
    EXPECT_DOUBLE_EQ(list->offset(), 100.875);
    double held = list->offset();
    // Past half the height nothing moves any more; dragging back up still works.
    list->stylus(move(50, 500));
    EXPECT_DOUBLE_EQ(list->offset(), held);
    list->stylus(move(50, 480));
    EXPECT_DOUBLE_EQ(list->offset(), held - 20);
}

TEST_F(Lists, TapActivatesAndADragDoesNot)
{
    build(50);
    list->stylus(down(50, 50));
    ASSERT_EQ(list->pressed_row(), list->row(1));
    EXPECT_TRUE(list->row(1)->find_descendant(u"#vlist_pressed")->visible());
    EXPECT_FALSE(list->row(1)->find_descendant(u"#vlist_normal")->visible());
    list->stylus(move(59, 41)); // inside the 10-pixel dead zone
    list->stylus(up(59, 41));
    EXPECT_EQ(source->activated, (std::vector<int> { 1 }));
    EXPECT_FALSE(list->row(1)->find_descendant(u"#vlist_pressed")->visible());

    list->stylus(down(50, 50));
    list->stylus(move(50, 61));
    EXPECT_EQ(list->pressed_row(), nullptr);
    list->stylus(up(50, 61));
    EXPECT_EQ(source->activated, (std::vector<int> { 1 }));

    // Release outside the pressed row cancels the press.
    list->stylus(down(50, 50));
    list->stylus(up(150, 50));
    EXPECT_EQ(source->activated, (std::vector<int> { 1 }));

    list->set_selected(2);
    EXPECT_TRUE(list->row(2)->find_descendant(u"#vlist_selected")->visible());
    EXPECT_FALSE(list->row(2)->find_descendant(u"#vlist_normal")->visible());
}

TEST_F(Lists, KeysMoveTheHighlightFromRowToRow)
{
    build(50, 210);
    EXPECT_TRUE(list->key(key(input::key_up, true)));
    EXPECT_DOUBLE_EQ(list->highlight_position(), 5); // the last visible row
    EXPECT_DOUBLE_EQ(list->highlight_speed(), -200);
    list->key(key(input::key_up, false));
    step(0.04, 20);
    EXPECT_DOUBLE_EQ(list->highlight_position(), 4); // one row up, then it stops
    EXPECT_DOUBLE_EQ(list->highlight_speed(), 0);
    list->key(key(input::key_enter, true));
    EXPECT_EQ(source->activated, (std::vector<int> { 4 }));

    // Down held: the bar keeps moving and the list follows it.
    list->key(key(input::key_down, true));
    list->key(key(input::key_down, true));
    EXPECT_DOUBLE_EQ(list->highlight_speed(), 400);
    step(0.04, 25);
    list->key(key(input::key_down, false));
    EXPECT_DOUBLE_EQ(list->highlight_speed(), 200);
    step(0.04, 20);
    double position = list->highlight_position();
    EXPECT_EQ(position, std::floor(position));
    EXPECT_GT(position, 8);
    ListRowNode* row = list->row(int(position));
    ASSERT_TRUE(row);
    EXPECT_GE(row->y() - list->y(), 0);
    EXPECT_LE(row->y() - list->y() + 40, 210);

    // A stylus event clears the highlight.
    list->stylus(down(50, 20));
    list->stylus(up(50, 20));
    EXPECT_EQ(list->highlight_position(), -1);
}

TEST_F(Lists, HighlightNeverLeavesTheRows)
{
    build(3, 200);
    list->key(key(input::key_down, true));
    for (int i = 0; i < 5; ++i)
        list->key(key(input::key_down, true));
    step(0.04, 50);
    EXPECT_DOUBLE_EQ(list->highlight_position(), 2);
    list->key(key(input::key_down, false));
    step(0.04, 10);
    EXPECT_DOUBLE_EQ(list->highlight_position(), 2);
    list->key(key(input::key_up, true));
    list->key(key(input::key_up, false));
    step(0.04, 20);
    EXPECT_DOUBLE_EQ(list->highlight_position(), 1);
}

TEST_F(Lists, SourceWithoutARowSkipsAboveAndEndsBelow)
{
    build(10, 400);
    EXPECT_EQ(list->end_index(), 10);
    source->missing = { 3 };
    list->set_count(10);
    list->update_window();
    EXPECT_EQ(list->count(), 3); // the list ends where the source stops
    EXPECT_EQ(list->end_index(), 3);

    source->missing = { 2 };
    list->set_count(10);
    list->set_selected(4);
    list->update_window();
    // Pull the rows down: rows above the window come in, row 2 is skipped.
    list->stylus(down(50, 10));
    list->stylus(move(50, 130));
    list->stylus(up(50, 130));
    EXPECT_EQ(list->first_index(), 0);
    EXPECT_EQ(list->row(2), nullptr);
    ASSERT_TRUE(list->row(1));
    ASSERT_TRUE(list->row(3));
    EXPECT_EQ(list->row(3)->y() - list->row(1)->y(), 40);
}

TEST_F(Lists, RemovedRowShrinksAtTwoHundredPixelsPerSecond)
{
    build(10, 400);
    list->remove_row(2);
    EXPECT_EQ(list->count(), 9);
    step(0.05);
    ListRowNode* shrinking = nullptr;
    for (size_t i = 0; i < list->realized_count(); ++i)
        if (list->realized_row(i).removed())
            shrinking = &list->realized_row(i);
    ASSERT_TRUE(shrinking);
    EXPECT_DOUBLE_EQ(shrinking->current_height(), 30);
    EXPECT_EQ(list->row(2)->y() - list->y(), 110); // the old row 3 follows it up
    step(0.05, 3);
    for (size_t i = 0; i < list->realized_count(); ++i)
        EXPECT_FALSE(list->realized_row(i).removed());
    EXPECT_EQ(list->row(2)->y() - list->y(), 80);
}

TEST_F(Lists, DrawsDecorationBandsRowsAndTheHighlightBar)
{
    build(2, 200, "highlight=\"bar.png\"");
    list->stylus(down(50, 10));
    list->stylus(move(50, 40)); // pulled 30 pixels past the top
    RenderSurface frame(100, 200);
    form.draw_node(frame, { 0, 0 });
    // Colour fills are opaque: their pixels carry the opaque bit.
    const Pixel green = 0x07E0, blue = 0x001F | opaque_bit, white = 0xFFFF;
    EXPECT_EQ(frame.buffer().at(50, 10), green);  // the band above the first row
    EXPECT_EQ(frame.buffer().at(50, 29), green);
    EXPECT_EQ(frame.buffer().at(50, 30), blue);   // row 0 from 30 to 70
    EXPECT_EQ(frame.buffer().at(99, 109), blue);  // row 1 ends at 110
    EXPECT_EQ(frame.buffer().at(50, 110), green); // the band below the last row
    EXPECT_EQ(frame.buffer().at(0, 199), green);
    list->stylus(up(50, 40));
    step(0.04, 10); // settled back on the top

    list->key(key(input::key_down, true)); // the bar starts on row 0
    form.draw_node(frame, { 0, 0 });
    EXPECT_EQ(frame.buffer().at(50, 0), white);
    EXPECT_EQ(frame.buffer().at(50, 39), white);
    EXPECT_EQ(frame.buffer().at(50, 40), blue);
    list->key(key(input::key_down, false));
    step(0.1); // half way to row 1: the bar lies between the rows
    double p = list->highlight_position();
    ASSERT_GT(p, 0);
    ASSERT_LT(p, 1);
    form.draw_node(frame, { 0, 0 });
    int bar_top = int(p * 40);
    EXPECT_EQ(frame.buffer().at(50, bar_top + 1), white);
    EXPECT_EQ(frame.buffer().at(50, bar_top - 1), blue);
    EXPECT_EQ(frame.buffer().at(50, bar_top + 41), blue);
}

TEST_F(Lists, GrowingListWantsItsContentAndFollowsItsRows)
{
    build(3, 300, "grow=\"1\" anchor_y=\"MIN_SIDE\" scroll_border_min=\"0 5\" scroll_border_max=\"0 7\"");
    EXPECT_EQ(list->height(), 3 * 40 + 5 + 7);
    list->remove_row(0);
    step(0.05, 5);
    place_on_screen(form, 100, 300);
    EXPECT_EQ(list->height(), 2 * 40 + 5 + 7);
}

TEST_F(Lists, GrowingListWithLessRoomThanItsRowsScrollsAndDrawsInsideIt)
{
    // Ten rows want 400 pixels; the form leaves the list 200 of its 300, from y 50.
    build(10, 300, "grow=\"1\" anchor_y=\"CENTER\" border_min=\"0 50\" border_max=\"0 50\"");
    ASSERT_EQ(list->height(), 200);
    ASSERT_EQ(list->y(), 50);
    fling(240, -40, 8, 20);
    step(0.04, 200);
    ASSERT_TRUE(list->row(9));
    EXPECT_EQ(row_top(9) + 40, 200);

    RenderSurface frame;
    frame.recreate(100, 300);
    fill(frame, { 0, 0 }, { 100, 300 }, SolidFill(0xFFFF));
    form.draw_node(frame, { 0, 0 });
    EXPECT_NE(frame.buffer().at(50, 249), 0xFFFF);
    EXPECT_EQ(frame.buffer().at(50, 250), 0xFFFF);
    EXPECT_EQ(frame.buffer().at(50, 299), 0xFFFF);

    // The keys bring the first row back and then the last into the list.
    fling(60, 40, 8, 20);
    step(0.04, 200);
    EXPECT_EQ(row_top(0), 0);
    for (int i = 0; i < 12; ++i) {
        list->key(key(input::key_down, true));
        list->key(key(input::key_down, false));
        step(0.04, 10);
    }
    step(0.04, 100);
    EXPECT_EQ(list->highlight_position(), 9);
    ASSERT_TRUE(list->row(9));
    EXPECT_LE(row_top(9) + 40, 200);
}

TEST_F(Lists, LowerListKeepsItsLastRowOnTheBottom)
{
    build(50, 200);
    list->set_selected(49);
    list->update_window();
    step(0.04, 30);
    ASSERT_EQ(row_top(49) + 40, 200);
    place_on_screen(form, 100, 150);
    EXPECT_EQ(row_top(49) + 40, 150);
    EXPECT_EQ(list->height(), 150);
}
