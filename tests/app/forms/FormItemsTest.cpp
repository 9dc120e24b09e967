// The city list: the rows and the advertising slot, deleting in two steps by stylus and
// by Del, marks that follow the rows, the add and back buttons, moving cities with the
// keys, and FormMessage.
#include "FormsTestSupport.h"

#include "app/CityListElement.h"
#include "app/FormItems.h"
#include "app/FormMessage.h"
#include "app/SettingsListener.h"

#include "runtime/Registry.h"

#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/TextNode.h"

using namespace forms_test;
using weather::CityListElement;
using weather::FormItems;

namespace {

// Notes the notices that open forms and the swaps, as FormMain would receive them.
class Notices : public weather::SettingsListener {
public:
    void on_settings_event(const weather::SettingsEvent& event) override
    {
        if (event.open_city_search)
            text += "search;";
        if (event.open_limit_message)
            text += "limit;";
        if (event.city_list_closed)
            text += "closed;";
        if (event.cities_swapped)
            text += "swap " + std::to_string(event.first) + " " + std::to_string(event.second) + ";";
        if (event.city_removed)
            text += "removed " + std::to_string(event.index) + ";";
    }
    std::string text;
};

std::vector<std::pair<std::string, std::string>> first_cities(int n)
{
    std::vector<std::pair<std::string, std::string>> out;
    for (int i = 0; i < n; ++i)
        out.push_back({ "City " + std::to_string(i), "0000000" + std::to_string(i) });
    return out;
}

std::string shown(const FormItems& form)
{
    std::string out;
    for (int row = 0; row < form.list().count(); ++row) {
        auto* e = dynamic_cast<CityListElement*>(form.list().row(row));
        out += e ? utf8(e->text().text()) : "?";
        out += form.mark(row) ? "*" : "";
        out += ";";
    }
    return out;
}

std::string names(const weather::Settings& settings)
{
    std::string out;
    for (const auto& city : settings.cities())
        out += utf8(city.name) + ";";
    return out;
}

class FormItemsTest : public FormsTest { };

} // namespace

TEST_F(FormItemsTest, RowsAreTheRealCitiesWithoutTheAdvertisingSlot)
{
    weather::Settings& settings = start(first_cities(3), false);
    ASSERT_EQ(names(settings), "City 0;empty;City 1;City 2;");
    FormItems form(skin());
    form.open();
    frames(2);
    EXPECT_EQ(form.list().count(), 3);
    EXPECT_EQ(form.record_index(1), 2u) << "row 1 is the city at record index 2";
    EXPECT_EQ(shown(form), "City 0;City 1;City 2;");
    EXPECT_EQ(app().top_form(), &form);
}

TEST_F(FormItemsTest, DeletingTakesTwoTapsAndTheMarksFollowTheRows)
{
    weather::Settings& settings = start(first_cities(4), true);
    Notices notices;
    FormItems form(skin());
    form.open();
    frames(2);
    auto* row1 = dynamic_cast<CityListElement*>(form.list().row(1));
    auto* row2 = dynamic_cast<CityListElement*>(form.list().row(2));
    ASSERT_TRUE(row1 && row2);
    EXPECT_FALSE(row2->confirm_button().visible()) << "the confirm button starts hidden";
    tap(centre(row2->delete_button()));
    EXPECT_TRUE(form.mark(2));
    frames(10);
    EXPECT_TRUE(row2->confirm_button().visible());
    tap(centre(row1->delete_button()));
    tap(centre(row1->delete_button()));
    EXPECT_FALSE(form.mark(1)) << "a second tap disarms";
    frames(10);
    EXPECT_FALSE(row1->confirm_button().visible());
    EXPECT_EQ(shown(form), "City 0;City 1;City 2*;City 3;");

    tap(centre(row2->confirm_button()));
    EXPECT_EQ(names(settings), "City 0;City 1;City 3;");
    EXPECT_NE(notices.text.find("removed 2;"), std::string::npos);
    EXPECT_EQ(form.mark_count(), 3u);
    frames(20);
    EXPECT_EQ(shown(form), "City 0;City 1;City 3;") << "the mark left with its row";
}

TEST_F(FormItemsTest, DelArmsAndASecondDelConfirms)
{
    weather::Settings& settings = start(first_cities(3), true);
    FormItems form(skin());
    form.open();
    frames(2);
    key(input::key_down);
    frames(10);
    ASSERT_EQ(form.list().highlight_position(), 0) << "the first Down stops on the first city";
    key(input::key_down);
    frames(20);
    ASSERT_EQ(form.list().highlight_position(), 1);
    key(input::key_del);
    EXPECT_TRUE(form.mark(1));
    EXPECT_EQ(settings.city_count(), 3u);
    key(input::key_del);
    EXPECT_EQ(names(settings), "City 0;City 2;");
    frames(20);
    EXPECT_EQ(shown(form), "City 0;City 2;");
}

TEST_F(FormItemsTest, ReopeningShowsEveryRowDisarmed)
{
    start(first_cities(3), true);
    FormItems form(skin());
    form.open();
    frames(2);
    form.toggle_mark(0);
    form.toggle_mark(2);
    EXPECT_EQ(shown(form), "City 0*;City 1;City 2*;");
    form.back();
    form.open();
    frames(10);
    EXPECT_EQ(shown(form), "City 0;City 1;City 2;");
    for (int row = 0; row < 3; ++row) {
        auto* e = dynamic_cast<CityListElement*>(form.list().row(row));
        ASSERT_NE(e, nullptr);
        EXPECT_FALSE(e->confirm_button().visible()) << row;
    }
}

TEST_F(FormItemsTest, PlusOpensTheSearchWithNineRecordsAndTheMessageWithTen)
{
    weather::Settings& settings = start(first_cities(8), false);
    ASSERT_EQ(settings.city_count(), 9u);
    Notices notices;
    FormItems form(skin());
    form.open();
    form.clicked(form.plus_button(), {});
    EXPECT_EQ(notices.text, "search;");
    settings.add_city(u"00000009", u"City 9");
    ASSERT_EQ(settings.city_count(), 10u);
    notices.text.clear();
    key(input::key_insert);
    EXPECT_EQ(notices.text, "limit;") << "Insert adds as btnPlus does";

    weather::FormMessage message(skin());
    message.show();
    EXPECT_EQ(utf8(message.message().text()), "Delete some cities before adding");
    EXPECT_EQ(app().top_form(), &message);
    key(input::key_backspace);
    EXPECT_FALSE(app().is_on_stack(message));
    EXPECT_EQ(app().top_form(), &form);
}

TEST_F(FormItemsTest, BackClosesTheListOrEndsTheProgramWithoutCities)
{
    weather::Settings& settings = start(first_cities(1), true);
    Notices notices;
    FormItems form(skin());
    form.open();
    key(input::key_backspace);
    EXPECT_EQ(notices.text, "closed;");
    EXPECT_FALSE(quit_requested());
    std::u16string top;
    runtime::read_string(weather::weather_key, u"Top", top);
    EXPECT_EQ(utf8(top), "00000000") << "publish_top";

    form.open();
    form.confirm_delete(0);
    EXPECT_EQ(names(settings), "");
    notices.text.clear();
    form.clicked(form.back_button(), {});
    EXPECT_FALSE(app().is_on_stack(form));
    EXPECT_EQ(notices.text, "");
    EXPECT_TRUE(quit_requested()) << "the last city deleted, back ends the program";
}

TEST_F(FormItemsTest, StarAndPoundMoveTheHighlightedCityAndThePagesFollow)
{
    weather::Settings& settings = start(first_cities(4), false);
    Notices notices;
    FormItems form(skin());
    form.open();
    frames(2);
    form.toggle_mark(0);
    key(input::key_down);
    frames(10);
    ASSERT_EQ(form.list().highlight_position(), 0);
    key(input::key_pound);
    EXPECT_EQ(names(settings), "City 1;empty;City 0;City 2;City 3;");
    EXPECT_EQ(notices.text, "swap 0 1;");
    EXPECT_EQ(int(form.list().highlight_position() + 0.5), 1) << "the highlight follows the city";
    key(input::key_pound);
    key(input::key_pound);
    key(input::key_pound);
    EXPECT_EQ(names(settings), "City 1;empty;City 2;City 3;City 0;") << "it stops at the end";
    key(input::key_star);
    EXPECT_EQ(names(settings), "City 1;empty;City 2;City 0;City 3;");
    frames(30);
    EXPECT_EQ(shown(form), "City 1;City 2;City 0*;City 3;") << "the mark moved with the city";
}

TEST_F(FormItemsTest, DeletingTheLastCityLeavesTheAdvertisingPageToGoBackTo)
{
    weather::Settings& settings = start(first_cities(1), false);
    Notices notices;
    FormItems form(skin());
    form.open();
    frames(2);
    key(input::key_down);
    key(input::key_del);
    key(input::key_del);
    EXPECT_EQ(names(settings), "empty;");
    key(input::key_backspace);
    EXPECT_FALSE(app().is_on_stack(form));
    EXPECT_EQ(notices.text, "removed 0;closed;");
    EXPECT_FALSE(quit_requested());
}
