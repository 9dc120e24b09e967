// What a forecast page shows: the name cuts, the temperature text, the condition picture,
// the update line in the user's locale, the day rows and where they are drawn; the
// advertising page; and the skin errors of a template that does not match.
#include "ViewTestSupport.h"

#include "app/NodeLookup.h"

#include "runtime/Registry.h"

#include "platform/Clock.h"
#include "platform/LocaleTimeFormat.h"
#include "platform/TextEncoding.h"

#include "skin/draw/FramePng.h"
#include "skin/nodes/Layout.h"
#include "skin/draw/RenderSurface.h"
#include "skin/nodes/SkinErrors.h"
#include "skin/SkinTestSupport.h"

#include <filesystem>

using namespace weather;
using namespace app_test;

namespace {

std::string node_text(const skin::SkinNode& root, const char16_t* id)
{
    return text_of(find_node<skin::TextNode>(root, id));
}

const skin::PictureRef& picture_of(const skin::SkinNode& root, const char16_t* id)
{
    return find_node<skin::ImageNode>(root, id).picture();
}

// The 565 pixel of a colour, as the surface holds an opaque one (the opaque bit aside).
uint16_t rgb565(Colour c)
{
    return uint16_t((((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3)) & ~skin::opaque_bit);
}

uint16_t pixel_at(const skin::RenderSurface& surface, int x, int y)
{
    return uint16_t(surface.buffer().at(x, y)) & ~uint16_t(skin::opaque_bit);
}

std::string date_text_of(int year, int month, int day, int hour, int minute)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d %02d %02d %02d %02d 00.000000", year, month, day, hour, minute);
    return text;
}

using WeatherViewContent = ViewTest;

TEST(WeatherViewName, IsCutBeforeTheCommaOrTheBracket)
{
    EXPECT_EQ(WeatherView::shown_name(u"Berlin, Germany"), u"Berlin");
    EXPECT_EQ(WeatherView::shown_name(u"Frankfurt (Oder), DE"), u"Frankfurt");
    EXPECT_EQ(WeatherView::shown_name(u"(Unknown) Place, X"), u"(Unknown) Place, X");
    EXPECT_EQ(WeatherView::shown_name(u"Oslo"), u"Oslo");
    EXPECT_EQ(WeatherView::shown_name(u"St. John's, NL (Canada)"), u"St. John's");
    EXPECT_EQ(WeatherView::shown_name(u"Paris(FR)"), u"Paris"); // no blank before it: no letter goes
    EXPECT_EQ(WeatherView::shown_name(u""), u"");
}

TEST_F(WeatherViewContent, TextsAndPictureComeFromTheRecord)
{
    write_cache("02950159", "<Main><Create date=\"" + date_text_of(2009, 12, 8, 14, 5)
        + "\"/><Current temp=\"30.5\" code=\"47\"/></Main>", 5);
    Settings& settings = start({ { "Frankfurt (Oder), Germany", "02950159" } });
    settings.city(0).request_date = platform::local_now() - 5 * platform::units_per_minute; // no request
    WeatherView page(skin(), 0, true);
    EXPECT_EQ(node_text(page, u"ctext"), "Frankfurt");
    EXPECT_EQ(node_text(page, u"wtext"), "+30\u00B0");
    ConditionPictures sources(page);
    EXPECT_EQ(picture_of(page, u"image"), picture_of(page, u"image47"));

    struct Case {
        int32_t condition;
        const char16_t* source;
    } cases[] = { { 0, u"image0" }, { 47, u"image47" }, { 48, u"imagebad" }, { -1, u"imagebad" }, { 3200, u"imagebad" } };
    for (const Case& c : cases) {
        settings.city(0).condition = c.condition;
        page.refresh_view();
        EXPECT_EQ(picture_of(page, u"image"), picture_of(page, c.source)) << c.condition;
    }

    // Temperatures: -1000 leaves the text; Fahrenheit after a change of unit.
    settings.city(0).temperature = -1000;
    page.refresh_view();
    EXPECT_EQ(node_text(page, u"wtext"), "+30\u00B0");
    settings.city(0).temperature = 21;
    settings.set_degree(false);
    page.refresh_view();
    EXPECT_EQ(node_text(page, u"wtext"), "+69\u00B0");
}

TEST_F(WeatherViewContent, TheUpdateLineIsInTheUsersLocale)
{
    int64_t when = 0;
    platform::SystemTime t;
    t.year = platform::local_system_time().year;
    t.month = 12;
    t.day = 8;
    t.hour = 14;
    t.minute = 5;
    ASSERT_TRUE(platform::system_time_to_count(t, when));
    int64_t now = platform::local_now();
    std::string year = std::to_string(t.year);

    EXPECT_EQ(platform::to_utf8(WeatherView::update_line(skin(), when, now)), "Last update: December 8, 02:05 PM");
    platform::LocaleTimeFormat::replace_current("de_DE.UTF-8");
    ASSERT_TRUE(skin().load_language(platform::from_utf8(std::string(NALO_PROGRAM_DIR) + "/german.lng")));
    EXPECT_EQ(platform::to_utf8(WeatherView::update_line(skin(), when, now)), "Stand: 8. Dezember, 14:05");
    platform::LocaleTimeFormat::replace_current("ru_RU.UTF-8");
    ASSERT_TRUE(skin().load_language(platform::from_utf8(std::string(NALO_PROGRAM_DIR) + "/russian.lng")));
    EXPECT_EQ(platform::to_utf8(WeatherView::update_line(skin(), when, now)), "Обновлено: 08 декабря, 14:05");

    // Two years back is still shown; three, or never, is not.
    t.year -= 2;
    ASSERT_TRUE(platform::system_time_to_count(t, when));
    EXPECT_EQ(platform::to_utf8(WeatherView::update_line(skin(), when, now)), "Обновлено: 08 декабря, 14:05");
    t.year -= 1;
    ASSERT_TRUE(platform::system_time_to_count(t, when));
    EXPECT_EQ(platform::to_utf8(WeatherView::update_line(skin(), when, now)), "Ещё не обновлялось");
    EXPECT_EQ(platform::to_utf8(WeatherView::update_line(skin(), 0, now)), "Ещё не обновлялось");
}

TEST_F(WeatherViewContent, SevenDaysGiveFiveRowsWithTheirLabels)
{
    // Day rows from yesterday on: yesterday, today, tomorrow and four more.
    int64_t today = platform::local_now() / 864'000'000'000 * 864'000'000'000;
    std::string xml = "<Main><Create date=\"" + date_text_minutes_ago(1) + "\"/><Current temp=\"3\" code=\"12\"><Weathers>";
    for (int i = 0; i < 7; ++i) {
        platform::SystemTime d = platform::count_to_system_time(today + (i - 1) * 864'000'000'000);
        xml += "<Weather date=\"" + date_text_of(d.year, d.month, d.day, 0, 0) + "\" code=\"" + std::to_string(40 + i)
            + "\" high=\"" + std::to_string(i) + "\" low=\"" + (i == 2 ? "-1000" : std::to_string(-i)) + "\"/>";
    }
    write_cache("02950159", xml + "</Weathers></Current></Main>", 1);
    Settings& settings = start({ { "Berlin", "02950159" } });
    settings.set_degree(true);
    WeatherView page(skin(), 0, true);
    ASSERT_EQ(settings.city(0).days.size(), 7u);
    ASSERT_EQ(page.rows().size(), 5u);

    const platform::LocaleTimeFormat& locale = platform::LocaleTimeFormat::current();
    platform::SystemTime yesterday = platform::count_to_system_time(today - 864'000'000'000);
    platform::SystemTime third = platform::count_to_system_time(today + 2 * 864'000'000'000);
    const WeatherLine& first = *page.rows()[0];
    EXPECT_EQ(text_of(first.day_label()), platform::to_utf8(locale.short_date(yesterday)));
    EXPECT_EQ(text_of(first.weekday()), platform::to_utf8(locale.weekday_name(yesterday)));
    EXPECT_EQ(text_of(page.rows()[1]->day_label()), "Today");
    EXPECT_EQ(text_of(page.rows()[2]->day_label()), "Tomorrow");
    EXPECT_EQ(text_of(page.rows()[3]->day_label()), platform::to_utf8(locale.short_date(third)));
    EXPECT_EQ(text_of(page.rows()[3]->high()), "+3\u00B0");
    EXPECT_EQ(text_of(page.rows()[3]->low()), "-3\u00B0");
    EXPECT_EQ(text_of(page.rows()[1]->high()), "+1\u00B0");
    EXPECT_EQ(text_of(page.rows()[0]->high()), "0\u00B0");
    EXPECT_EQ(text_of(page.rows()[2]->low()), ""); // no value: no "-1000°"
    EXPECT_EQ(page.rows()[4]->picture().picture(), picture_of(*page.rows()[4], u"image44"));

    // Fahrenheit reaches the rows with the next refresh.
    settings.set_degree(false);
    page.refresh_view();
    EXPECT_EQ(text_of(page.rows()[3]->high()), "+37\u00B0");
}

TEST_F(WeatherViewContent, RowsAreStackedBelowTheHeader)
{
    std::string xml = "<Main><Create date=\"" + date_text_minutes_ago(1) + "\"/><Current temp=\"3\" code=\"5\"><Weathers>";
    for (int i = 0; i < 3; ++i)
        xml += "<Weather date=\"2030 01 0" + std::to_string(i + 1) + " 00 00 00.0\" code=\"" + std::to_string(10 + i)
            + "\" high=\"1\" low=\"0\"/>";
    write_cache("02950159", xml + "</Weathers></Current></Main>", 1);
    start({ { "Berlin", "02950159" } });
    WeatherView page(skin(), 0, true);
    skin::place_on_screen(page, 240, 320);
    page.life_cycle(0.04);
    // ctext ends at 20, wtext at 54, image at 64 (+ 5): the rows start at 71.
    EXPECT_EQ(page.rows_top(), 71);
    ASSERT_EQ(page.rows().size(), 3u);
    EXPECT_EQ(page.rows()[0]->width(), 240);
    EXPECT_EQ(page.rows()[0]->height(), 20); // the design height beats 320 / 20
    skin::place_on_screen(page, 240, 600);
    page.life_cycle(0.04);
    EXPECT_EQ(page.rows()[0]->height(), 30); // one twentieth of the page

    skin::place_on_screen(page, 240, 320);
    page.life_cycle(0.04);
    skin::RenderSurface surface(240, 320);
    page.draw_node(surface, { 0, 0 });
    EXPECT_FALSE(page.refreshed());
    // The page's picture, and each row's picture 80 px from the right, centred in the row.
    EXPECT_EQ(pixel_at(surface, 10, 30), rgb565(condition_colour(5)));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pixel_at(surface, 240 - 80 - 8, 71 + 20 * i + 10), rgb565(condition_colour(10 + i))) << i;
    EXPECT_EQ(pixel_at(surface, 240 - 80 - 8, 71 + 20 * 3 + 10), rgb565({ 255, 255, 255 })); // no fourth row
    std::string shot = std::string(std::getenv("NALO_TEMP")) + "/weather-view-test.png";
    EXPECT_TRUE(skin::write_png(shot, surface.buffer()));
}

TEST_F(WeatherViewContent, TheAdvertisingPageOpensTheProjectsPages)
{
    Settings& settings = start({ { "Berlin", "02950159" } }, false);
    ASSERT_EQ(settings.city(1).name, u"empty");
    WeatherView page(skin(), 1, true);
    ASSERT_TRUE(page.is_advertising());
    EXPECT_EQ(node_text(page, u"ctext"), "Weather for small screens — free software");
    EXPECT_EQ(node_text(page, u"wtext"), "Check for updates");
    EXPECT_EQ(node_text(page, u"mtext"), "Project home page");
    EXPECT_EQ(queued_requests(), 0u);
    page.reload_weather();
    page.refresh_view();
    page.life_cycle(0.04);
    EXPECT_FALSE(page.refreshed());
    EXPECT_TRUE(page.rows().empty());
    EXPECT_EQ(queued_requests(), 0u);

    skin::place_on_screen(page, 240, 320);
    runtime::write_string(weather_key, u"AdvSite", u"https://example.org/weather");
    skin_test::start_log();
    // A tap on each button; the release inside it clicks.
    for (skin::Point at : { skin::Point { 120, 95 }, skin::Point { 120, 135 } }) {
        page.stylus({ at, false, true, false });
        page.stylus({ at, false, false, false });
    }
    std::string trace = log();
    skin_test::stop_log();
    EXPECT_NE(trace.find("execute_file(iexplore.exe} {https://github.com/nalo-weather/nalo-weather/releases)\n"),
        std::string::npos) << trace;
    EXPECT_NE(trace.find("execute_file(iexplore.exe} {https://example.org/weather)\n"), std::string::npos) << trace;
    EXPECT_EQ(AdvertisingPage::download_address(), u"https://github.com/nalo-weather/nalo-weather/releases");
    runtime::write_string(weather_key, u"AdvSite", u"");
    EXPECT_EQ(AdvertisingPage::site_address(), u"https://github.com/nalo-weather/nalo-weather");
}

TEST_F(WeatherViewContent, ASkinThatDoesNotMatchRaisesTheSkinErrors)
{
    start({ { "Berlin", "02950159" } }, false);
    auto missing = [this](const std::string& name, TestSkinParts parts) { return load_skin(name, test_skin_source(parts)); };

    TestSkinParts parts = test_skin_parts();
    parts.weather_view.clear();
    auto no_view = missing("noview", parts);
    EXPECT_THROW(WeatherView(*no_view, 0, true), plexor::NodeNotFoundInSkin);
    EXPECT_NO_THROW(WeatherView(*no_view, 1, true)); // the advertising page needs no "WeatherView"

    parts = test_skin_parts();
    size_t at = parts.weather_view.find("id=\"mtext\"");
    parts.weather_view.replace(at, 10, "id=\"other\"");
    auto no_mtext = missing("nomtext", parts);
    try {
        WeatherView page(*no_mtext, 0, true);
        FAIL() << "built without mtext";
    } catch (const plexor::NodeNotFound& e) {
        EXPECT_EQ(e.id(), u"mtext");
    }

    parts = test_skin_parts();
    at = parts.weather_line.find("id=\"image17\"");
    parts.weather_line.replace(at, 12, "id=\"image71\"");
    auto no_picture = missing("nopicture", parts);
    try {
        WeatherLine row(*no_picture, DayForecast {}, true);
        FAIL() << "built without image17";
    } catch (const plexor::NodeNotFound& e) {
        EXPECT_EQ(e.id(), u"image17");
    }

    parts = test_skin_parts();
    at = parts.adv_screen.find("id=\"btnIwin\"");
    parts.adv_screen.replace(at, 12, "id=\"btnOther\"");
    auto no_button = missing("nobutton", parts);
    EXPECT_THROW(WeatherView(*no_button, 1, true), plexor::NodeNotFound);
}

// The shipped default skin builds every page as the program does.
TEST_F(WeatherViewContent, TheShippedSkinBuildsEveryPage)
{
    auto shipped = std::make_unique<skin::PropertiesImpl>();
    ASSERT_TRUE(shipped->load_skin(platform::from_utf8(std::string(NALO_PROGRAM_DIR) + "/skins/bin/default.skin"),
        skin::ScreenInfo::make(240, 320, 96)));
    ASSERT_TRUE(shipped->load_language(platform::from_utf8(std::string(NALO_PROGRAM_DIR) + "/english.lng")));
    std::string xml = "<Main><Create date=\"" + date_text_minutes_ago(20) + "\"/><Current temp=\"-3\" code=\"26\"><Weathers>";
    int64_t today = platform::local_now() / 864'000'000'000 * 864'000'000'000;
    for (int i = 0; i < 6; ++i) {
        platform::SystemTime d = platform::count_to_system_time(today + i * 864'000'000'000);
        xml += "<Weather date=\"" + date_text_of(d.year, d.month, d.day, 0, 0) + "\" code=\"" + std::to_string(26 + i * 3)
            + "\" high=\"" + std::to_string(2 + i) + "\" low=\"" + std::to_string(-4 + i) + "\"/>";
    }
    write_cache("02950159", xml + "</Weathers></Current></Main>", 20);
    Settings& settings = start({ { "Berlin, Germany", "02950159" } }, false);
    WeatherView city(*shipped, 0, true);
    WeatherView advertising(*shipped, 1, true);
    EXPECT_FALSE(settings.city(0).need_reload);
    EXPECT_TRUE(advertising.is_advertising());
    EXPECT_EQ(node_text(city, u"ctext"), "Berlin");
    EXPECT_EQ(node_text(city, u"wtext"), "-3\u00B0");
    ASSERT_EQ(city.rows().size(), 5u);
    EXPECT_EQ(text_of(city.rows()[0]->day_label()), "Today");

    for (WeatherView* page : { &city, &advertising }) {
        // The page strip of the main form: the screen less the soft-key bar.
        skin::place_on_screen(*page, 240, 286);
        page->life_cycle(0.04);
        skin::RenderSurface surface(240, 286);
        page->draw_node(surface, { 0, 0 });
        std::string shot = std::string(std::getenv("NALO_TEMP")) + (page == &city ? "/shipped-city.png" : "/shipped-adv.png");
        EXPECT_TRUE(skin::write_png(shot, surface.buffer()));
    }
    // The rows fill the page's width below the header.
    EXPECT_EQ(city.rows()[0]->width(), 240);
    EXPECT_GT(city.rows_top(), 100);
    EXPECT_LE(city.rows_top() + 5 * city.rows()[0]->height(), 286);
}

} // namespace
