// Moving cities by their drag handle in the "svlist" list: the row follows the stylus and
// is drawn on top, the city walks one row at a time with swap_cities, the rows passed over
// slide back at 200 px/s, and a drag elsewhere scrolls the list.
#include "FormsTestSupport.h"

#include "app/CityListElement.h"
#include "app/FormItems.h"
#include "app/ReorderList.h"
#include "app/SettingsListener.h"

#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/TextNode.h"

#include <thread>

using namespace forms_test;
using weather::CityListElement;
using weather::FormItems;

namespace {

class Swaps : public weather::SettingsListener {
public:
    void on_settings_event(const weather::SettingsEvent& event) override
    {
        if (event.cities_swapped)
            text += std::to_string(event.first) + "-" + std::to_string(event.second) + ";";
    }
    std::string text;
};

std::string names(const weather::Settings& settings)
{
    std::string out;
    for (const auto& city : settings.cities())
        out += utf8(city.name) + ";";
    return out;
}

std::vector<std::pair<std::string, std::string>> cities(int n)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (int i = 0; i < n; ++i)
        out.push_back({ "City " + std::to_string(i), "0000000" + std::to_string(i) });
    return out;
}

CityListElement& element(const FormItems& form, int row)
{
    auto* e = dynamic_cast<CityListElement*>(form.list().row(row));
    EXPECT_NE(e, nullptr) << row;
    return *e;
}

class ReorderListTest : public FormsTest { };

} // namespace

TEST_F(ReorderListTest, ADragOnTheHandleWalksTheCityRowByRow)
{
    weather::Settings& settings = start(cities(4), true);
    Swaps swaps;
    FormItems form(skin());
    form.open();
    frames(2);
    weather::ReorderList& list = form.list();
    CityListElement& moved = element(form, 0);
    skin::Point grip = centre(moved.move_button());
    int row_h = moved.height();
    int top = moved.y();
    ASSERT_GT(row_h, 0);
    press(grip);
    EXPECT_TRUE(list.move());
    EXPECT_EQ(list.moved_row(), 0);
    EXPECT_NE(log().find("Mouse down element row = 0"), std::string::npos);

    // Half a row down: the row follows, nothing is exchanged yet.
    move({ grip.x, grip.y + row_h / 4 });
    EXPECT_DOUBLE_EQ(list.row_offset(0), row_h / 4);
    EXPECT_EQ(swaps.text, "");
    // Over row 2: two steps, one row at a time.
    move({ grip.x, grip.y + 2 * row_h + 2 });
    EXPECT_EQ(swaps.text, "0-1;1-2;");
    EXPECT_EQ(names(settings), "City 1;City 2;City 0;City 3;");
    EXPECT_EQ(list.moved_row(), 2);
    EXPECT_EQ(&element(form, 2), &moved) << "the moved row goes on under the stylus";
    EXPECT_DOUBLE_EQ(moved.y() + list.row_offset(2), top + 2 * row_h + 2) << "drawn under the stylus";
    std::string trace = log();
    EXPECT_NE(trace.find("Move direction: 1"), std::string::npos);
    EXPECT_NE(trace.find("Mouse down element row = 2"), std::string::npos);
    // The rows passed over are drawn where they were, one row lower.
    EXPECT_DOUBLE_EQ(list.row_offset(0), row_h);
    EXPECT_DOUBLE_EQ(list.row_offset(1), row_h);

    // Back up over row 1.
    move({ grip.x, grip.y + row_h + 2 });
    EXPECT_EQ(swaps.text, "0-1;1-2;2-1;");
    EXPECT_NE(log().find("Move direction: -1"), std::string::npos);
    EXPECT_EQ(names(settings), "City 1;City 0;City 2;City 3;");

    // The others slide back at 200 px/s while the moved one stays with the stylus.
    double before = list.row_offset(0);
    ASSERT_DOUBLE_EQ(before, row_h);
    frames(1);
    EXPECT_NEAR(list.row_offset(0), before - 200 * 0.04, 1e-9);
    double held = list.row_offset(1);
    frames(1);
    EXPECT_DOUBLE_EQ(list.row_offset(1), held);

    release({ grip.x, grip.y + row_h + 2 });
    EXPECT_FALSE(list.move());
    EXPECT_EQ(list.moved_row(), -1);
    frames(20);
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(list.row_offset(row), 0) << row;
    EXPECT_EQ(utf8(element(form, 1).text().text()), "City 0");
    EXPECT_EQ(utf8(element(form, 0).text().text()), "City 1");
}

TEST_F(ReorderListTest, TheMovedRowIsDrawnOverTheOthers)
{
    start(cities(3), true);
    FormItems form(skin());
    form.open();
    frames(2);
    CityListElement& first = element(form, 0);
    skin::Point grip = centre(first.move_button());
    int row_h = first.height();
    // Right of the short names: only the rows' backgrounds and separators there.
    int x = first.text().x() + first.text().width() - 4;
    int line = first.y() + row_h - 1;
    skin::RenderSurface rest = draw_top();
    ASSERT_NE(rest.buffer().at(x, line), rest.buffer().at(x, line + row_h / 3)) << "a separator line and a row";
    // Dragged a third of a row down: the moved row's separator lies over row 1.
    press(grip);
    move({ grip.x, grip.y + row_h / 3 });
    skin::RenderSurface moving = draw_top();
    EXPECT_EQ(moving.buffer().at(x, line + row_h / 3), rest.buffer().at(x, line));
    release(grip);
}

TEST_F(ReorderListTest, APressOutsideTheHandleOrOnAnArmedRowDoesNotMove)
{
    weather::Settings& settings = start(cities(3), true);
    FormItems form(skin());
    form.open();
    frames(2);
    CityListElement& row = element(form, 0);
    press(centre(row.text()));
    EXPECT_FALSE(form.list().move());
    release(centre(row.text()));

    form.toggle_mark(0);
    frames(10);
    press(centre(row.move_button()));
    EXPECT_FALSE(form.list().move()) << "the confirm button is shown over the handle";
    move({ centre(row.move_button()).x, centre(row.move_button()).y + 2 * row.height() });
    release({ centre(row.move_button()).x, centre(row.move_button()).y + 2 * row.height() });
    EXPECT_EQ(names(settings), "City 0;City 1;City 2;");
}

TEST_F(ReorderListTest, ADragElsewhereScrollsAndAFlingFollowsTheFinger)
{
    start(cities(9), true);
    FormItems form(skin());
    form.open();
    frames(2);
    weather::ReorderList& list = form.list();
    ASSERT_GT(list.count() * element(form, 0).height(), list.height()) << "nine rows do not fit";
    skin::Point start_point = centre(element(form, 4).text());
    double offset = list.offset();
    press(start_point);
    for (int i = 1; i <= 8; ++i) {
        move({ start_point.x, start_point.y - 12 * i });
        list.life_cycle(0.0); // keeps the tracker's samples apart in time
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_LT(list.offset(), offset) << "the rows follow the finger up";
    release({ start_point.x, start_point.y - 96 });
    EXPECT_LT(list.velocity(), 0) << "the fling goes on the way the finger went";
    EXPECT_GE(list.velocity(), -2000);
    frames(150);
    EXPECT_EQ(list.velocity(), 0);
}
