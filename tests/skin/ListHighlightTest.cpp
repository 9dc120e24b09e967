// The highlight bar's keys and motion driven directly, with rows given as functions.
#include "skin/list/ListHighlight.h"

#include <gtest/gtest.h>

#include <set>

using namespace skin;
using Result = ListHighlight::KeyResult;

namespace {

input::KeyEvent press(int code) { return { code, true, true }; }
input::KeyEvent release(int code) { return { code, false, true }; }

// Rows 30 high, rows 0 to 4 visible; `headers` cannot carry the bar.
struct Rows {
    int count = 10;
    std::set<int> headers;
    std::function<int(int)> start = [](int direction) { return direction < 0 ? 4 : 0; };
    std::function<int(int)> height = [](int) { return 30; };
    std::function<bool(int)> selectable = [this](int i) { return !headers.count(i); };
};

// Steps of 0.01 s until the bar stops; the positions it passed.
std::vector<double> run(ListHighlight& h, const Rows& rows, int limit = 1000)
{
    std::vector<double> seen;
    while (limit-- > 0 && h.step(0.01, rows.count, 0, rows.height, rows.selectable))
        seen.push_back(h.position());
    return seen;
}

} // namespace

TEST(ListHighlight, AFirstKeyStartsOnAVisibleRowAndLaterOnesAddSpeed)
{
    Rows rows;
    ListHighlight h;
    EXPECT_FALSE(h.active());
    EXPECT_EQ(h.key(press(input::key_up), rows.count, rows.start), Result::moved);
    EXPECT_EQ(h.position(), 4); // Up starts on the last visible row
    EXPECT_EQ(h.speed(), -200);
    EXPECT_EQ(h.key(press(input::key_up), rows.count, rows.start), Result::moved);
    EXPECT_EQ(h.speed(), -400);
    EXPECT_EQ(h.key(release(input::key_up), rows.count, rows.start), Result::handled);
    EXPECT_EQ(h.speed(), -200); // a key up limits the speed to 200

    h.clear();
    EXPECT_EQ(h.key(press(input::key_down), rows.count, rows.start), Result::moved);
    EXPECT_EQ(h.position(), 0);
    EXPECT_EQ(h.speed(), 200);

    // Nothing in sight: the key is not the highlight's.
    ListHighlight none;
    EXPECT_EQ(none.key(press(input::key_down), 0, [](int) { return -1; }), Result::ignored);
    EXPECT_FALSE(none.active());
    EXPECT_EQ(none.key(press(input::key_left), rows.count, rows.start), Result::ignored);
}

TEST(ListHighlight, EnterChoosesTheRoundedRowOnlyWithAHighlight)
{
    Rows rows;
    ListHighlight h;
    EXPECT_EQ(h.key(press(input::key_enter), rows.count, rows.start), Result::ignored);
    h.key(press(input::key_down), rows.count, rows.start);
    h.step(0.075, rows.count, 0, rows.height, rows.selectable); // 200 px/s x 0.075 s over 30 px rows
    EXPECT_DOUBLE_EQ(h.position(), 0.5);
    EXPECT_EQ(h.index(), 1);
    EXPECT_EQ(h.key(press(input::key_enter), rows.count, rows.start), Result::activate);
    h.fit(0);
    EXPECT_FALSE(h.active());
}

TEST(ListHighlight, AfterTheKeyIsUpTheBarStopsOnTheNextSelectableRow)
{
    Rows rows;
    rows.headers = { 1, 2 };
    ListHighlight h;
    h.key(press(input::key_down), rows.count, rows.start);
    h.step(0.03, rows.count, 0, rows.height, rows.selectable);
    h.key(release(input::key_down), rows.count, rows.start);
    std::vector<double> seen = run(h, rows);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(h.position(), 3); // the headers are passed over
    EXPECT_EQ(h.speed(), 0);
    for (double p : seen)
        EXPECT_LE(p, 3);
}

TEST(ListHighlight, TheBarNeverLeavesTheRows)
{
    Rows rows;
    rows.count = 3;
    ListHighlight h;
    h.key(press(input::key_down), rows.count, rows.start);
    for (int i = 0; i < 5; ++i)
        h.key(press(input::key_down), rows.count, rows.start); // held: it would run on
    run(h, rows);
    EXPECT_EQ(h.position(), 2);
    EXPECT_EQ(h.speed(), 0);
    // Down on the last row adds nothing; Up goes back.
    h.key(press(input::key_down), rows.count, rows.start);
    EXPECT_EQ(h.speed(), 0);
    h.key(press(input::key_up), rows.count, rows.start);
    run(h, rows);
    EXPECT_EQ(h.position(), 0);
    // Rows that are not realized move the bar as if they were 40 x 2^shift high.
    ListHighlight far;
    Rows unrealized;
    unrealized.height = [](int) { return 0; };
    far.key(press(input::key_down), unrealized.count, unrealized.start);
    far.step(0.1, unrealized.count, 1, unrealized.height, unrealized.selectable);
    EXPECT_DOUBLE_EQ(far.position(), 200 * 0.1 / 80);
}
