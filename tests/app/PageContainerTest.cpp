// The main form's page strip against the forecast pages of the test skin: pages in city
// list order with the advertising page kept second, the ten dots, the glide, dragging with
// its stretchy ends and the release rule, stylus presses handed to the page, the settings
// notices, and drawing by position.
#include "ViewTestSupport.h"

#include "app/AppNodeTypes.h"
#include "app/NodeLookup.h"
#include "app/PageContainer.h"

#include "skin/draw/RenderSurface.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/MultiNode.h"
#include "skin/nodes/NodeFactory.h"

using namespace weather;
using namespace app_test;

namespace {

std::string strip_template()
{
    std::string dots;
    for (int i = 0; i < 10; ++i)
        dots += "<node id=\"dot" + std::to_string(i) + "\" type=\"multinode\" design_size=\"8 8\">"
            "<node type=\"color\" color=\"#808080\"/><node type=\"color\" color=\"#000000\"/></node>";
    return "<node name=\"Host\"><node id=\"page\" type=\"icon_page\" border_max=\"0 20\">"
        "<node type=\"htable\" anchor_x=\"CENTER\" anchor_y=\"MAX_SIDE\" design_size=\"0 8\">" + dots + "</node>"
        "</node></node>";
}

uint16_t rgb565(Colour c)
{
    return uint16_t((((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3)) & ~skin::opaque_bit);
}

uint16_t pixel_at(const skin::RenderSurface& surface, int x, int y)
{
    return uint16_t(surface.buffer().at(x, y)) & ~uint16_t(skin::opaque_bit);
}

skin::StylusEvent press(int x, int y, bool down)
{
    skin::StylusEvent event;
    event.point = { x, y };
    event.down = down;
    return event;
}

class PageStrip : public ViewTest {
protected:
    void SetUp() override
    {
        ViewTest::SetUp();
        if (!skin::NodeFactory::is_registered(u"icon_page"))
            register_app_node_types();
        TestSkinParts parts = test_skin_parts();
        m_skin = load_skin("strip", "<skin>" + parts.weather_view + parts.weather_line + parts.adv_screen
            + strip_template() + "</skin>");
    }
    void TearDown() override
    {
        m_host.reset();
        ViewTest::TearDown();
    }

    // The strip of a host form on a 240x320 screen, one page per record (as the main form
    // fills it).
    PageContainer& build_strip()
    {
        m_host = std::make_unique<skin::SkinNode>();
        m_host->build(skin(), u"Host");
        PageContainer& strip = find_node<PageContainer>(*m_host, u"page");
        for (size_t i = 0; i < Settings::singleton()->city_count(); ++i)
            strip.append_page(std::make_unique<WeatherView>(skin(), int32_t(i), true));
        skin::place_on_screen(*m_host, 240, 320);
        strip.life_cycle(0.04);
        return strip;
    }

    static std::vector<std::string> page_names(const PageContainer& strip)
    {
        std::vector<std::string> names;
        for (size_t i = 0; i < strip.page_count(); ++i) {
            WeatherView& page = strip.page(i);
            const CityRecord& record = Settings::singleton()->city(size_t(page.city_index()));
            names.push_back(utf8(record.name) + "@" + std::to_string(page.city_index()));
        }
        return names;
    }

    std::unique_ptr<skin::SkinNode> m_host;
};

std::vector<std::pair<std::string, std::string>> cities(int count)
{
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 0; i < count; ++i)
        list.push_back({ "City" + std::to_string(i), "0100000" + std::to_string(i) });
    return list;
}

TEST_F(PageStrip, DotsFollowThePagesAndTheCurrentPage)
{
    start(cities(10));
    PageContainer& strip = build_strip();
    ASSERT_EQ(strip.page_count(), 10u);
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_TRUE(strip.dot(i).visible()) << i;
        EXPECT_EQ(strip.dot(i).state(), i == 0 ? 1u : 0u) << i;
    }
    strip.jump_to(9);
    strip.life_cycle(0.04);
    EXPECT_EQ(strip.dot(9).state(), 1u);
    EXPECT_EQ(strip.dot(0).state(), 0u);

    // Three pages show three dots; a jump outside the strip is ignored.
    start(cities(3));
    PageContainer& small = build_strip();
    for (size_t i = 0; i < 10; ++i)
        EXPECT_EQ(small.dot(i).visible(), i < 3) << i;
    small.jump_to(3);
    small.jump_to(-1);
    EXPECT_EQ(small.scroll_position(), 0.0);
    small.jump_to(2);
    EXPECT_EQ(small.scroll_position(), 2.0);
    EXPECT_EQ(small.target(), 2.0);
    EXPECT_EQ(small.current_page(), 2);
}

TEST_F(PageStrip, MissingDotIsAMismatchedSkin)
{
    start(cities(1));
    TestSkinParts parts = test_skin_parts();
    std::string host = strip_template();
    host.replace(host.find("dot7"), 4, "dotX");
    m_skin = load_skin("strip-no-dot", "<skin>" + parts.weather_view + parts.weather_line + parts.adv_screen + host + "</skin>");
    skin::SkinNode node;
    EXPECT_THROW(node.build(skin(), u"Host"), plexor::NodeNotFound);
}

TEST_F(PageStrip, AdvertisingPageStaysSecondWhenTheFirstCityGoes)
{
    Settings& settings = start({ { "Berlin", "02950159" }, { "Oslo", "03143244" } }, false);
    PageContainer& strip = build_strip();
    ASSERT_EQ(page_names(strip), (std::vector<std::string> { "Berlin@0", "empty@1", "Oslo@2" }));

    ASSERT_TRUE(settings.remove_city(0));
    std::unique_ptr<WeatherView> removed = strip.remove_page(0);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->city_index(), 0);
    EXPECT_EQ(page_names(strip), (std::vector<std::string> { "Oslo@0", "empty@1" }));
    EXPECT_TRUE(strip.page(1).is_advertising());
    EXPECT_EQ(utf8(settings.city(0).name), "Oslo");

    // Removing a later page only renumbers what follows; the last one leaves the slot alone.
    ASSERT_TRUE(settings.remove_city(0));
    strip.remove_page(0);
    EXPECT_EQ(page_names(strip), (std::vector<std::string> { "empty@0" }));
    EXPECT_EQ(strip.remove_page(1), nullptr);
}

TEST_F(PageStrip, RemovingWithTheSiblingProductKeepsTheOrder)
{
    Settings& settings = start({ { "Berlin", "02950159" }, { "Oslo", "03143244" }, { "Rome", "03169070" } }, true);
    PageContainer& strip = build_strip();
    ASSERT_TRUE(settings.remove_city(0));
    strip.remove_page(0);
    EXPECT_EQ(page_names(strip), (std::vector<std::string> { "Oslo@0", "Rome@1" }));
}

TEST_F(PageStrip, FirstRealCityGoesBeforeTheAdvertisingPage)
{
    Settings& settings = start({}, false);
    PageContainer& strip = build_strip();
    ASSERT_EQ(page_names(strip), (std::vector<std::string> { "empty@0" }));

    ASSERT_TRUE(settings.add_city(u"02950159", u"Berlin"));
    strip.insert_page(std::make_unique<WeatherView>(skin(), 0, false));
    EXPECT_EQ(page_names(strip), (std::vector<std::string> { "Berlin@0", "empty@1" }));
    EXPECT_TRUE(strip.page(0).visible());

    // A second city is appended after the advertising page.
    ASSERT_TRUE(settings.add_city(u"03143244", u"Oslo"));
    strip.insert_page(std::make_unique<WeatherView>(skin(), 2, true));
    EXPECT_EQ(page_names(strip), (std::vector<std::string> { "Berlin@0", "empty@1", "Oslo@2" }));
}

TEST_F(PageStrip, GlidesAtFourPagesPerSecondAndStopsOnTheTarget)
{
    start(cities(4));
    PageContainer& strip = build_strip();
    strip.glide_to(3);
    strip.life_cycle(0.25);
    EXPECT_DOUBLE_EQ(strip.scroll_position(), 1.0);
    EXPECT_EQ(strip.dot(1).state(), 1u);
    strip.life_cycle(0.3);
    EXPECT_DOUBLE_EQ(strip.scroll_position(), 2.2);
    strip.life_cycle(0.3);
    EXPECT_DOUBLE_EQ(strip.scroll_position(), 3.0); // exactly, not beyond
    strip.glide_to(7);
    EXPECT_EQ(strip.target(), 3.0);
    strip.glide_to(-2);
    EXPECT_EQ(strip.target(), 0.0);
}

TEST_F(PageStrip, DraggingBeyondTheLastPageIsHalfRateAndSpringsBack)
{
    start(cities(3));
    PageContainer& strip = build_strip();
    strip.jump_to(2);
    ASSERT_TRUE(strip.stylus(press(150, 100, true)));
    strip.stylus_move({ 146, 100 });                // inside the dead zone: nothing
    EXPECT_EQ(strip.scroll_position(), 2.0);
    strip.stylus_move({ 126, 100 });                // 24 px left, from the last page: full rate
    EXPECT_DOUBLE_EQ(strip.scroll_position(), 2.1);
    strip.stylus_move({ 78, 100 });                 // beyond the end: 48 px count as 24
    EXPECT_DOUBLE_EQ(strip.scroll_position(), 2.2);
    EXPECT_DOUBLE_EQ(strip.target(), 2.2);
    strip.stylus(press(78, 100, false));            // a slow release: back to the nearest page
    EXPECT_EQ(strip.target(), 2.0);
    strip.life_cycle(0.04);
    EXPECT_DOUBLE_EQ(strip.scroll_position(), 2.04);
    strip.life_cycle(0.04);
    EXPECT_DOUBLE_EQ(strip.scroll_position(), 2.0);

    // And before the first page the same.
    strip.jump_to(0);
    strip.stylus(press(50, 100, true));
    strip.stylus_move({ 74, 100 });
    EXPECT_DOUBLE_EQ(strip.scroll_position(), -0.1);
    strip.stylus_move({ 122, 100 });
    EXPECT_DOUBLE_EQ(strip.scroll_position(), -0.2);
    strip.stylus(press(122, 100, false));
    EXPECT_EQ(strip.target(), 0.0);
}

TEST_F(PageStrip, ReleaseRule)
{
    start(cities(3));
    PageContainer& strip = build_strip();
    // A slow drag past half a page settles on the page it shows most of.
    strip.stylus(press(200, 100, true));
    strip.life_cycle(0.1);
    strip.stylus_move({ 160, 100 });
    strip.life_cycle(0.1);
    strip.stylus_move({ 120, 100 });
    strip.life_cycle(0.1);
    strip.stylus_move({ 70, 100 });
    strip.life_cycle(0.3);
    strip.stylus(press(70, 100, false));
    EXPECT_EQ(strip.target(), 1.0); // position 0.54: nearest page

    // A short quick flick leftwards goes on to the next page though it moved a third.
    strip.jump_to(0);
    strip.stylus(press(200, 100, true));
    strip.stylus_move({ 180, 100 });
    strip.life_cycle(0.04);
    strip.stylus_move({ 150, 100 });
    strip.life_cycle(0.04);
    strip.stylus_move({ 120, 100 });
    EXPECT_NEAR(strip.scroll_position(), 80.0 / 240, 1e-9);
    strip.stylus(press(120, 100, false));
    EXPECT_EQ(strip.target(), 1.0);

    // A quick flick rightwards from page 1 goes back to page 0.
    strip.jump_to(1);
    strip.stylus(press(40, 100, true));
    strip.stylus_move({ 60, 100 });
    strip.life_cycle(0.04);
    strip.stylus_move({ 90, 100 });
    strip.life_cycle(0.04);
    strip.stylus_move({ 100, 100 });
    strip.stylus(press(100, 100, false));
    EXPECT_EQ(strip.target(), 0.0);

    // A flick leftwards on the last page stays there.
    strip.jump_to(2);
    strip.stylus(press(200, 100, true));
    strip.stylus_move({ 180, 100 });
    strip.life_cycle(0.04);
    strip.stylus_move({ 120, 100 });
    strip.stylus(press(120, 100, false));
    EXPECT_EQ(strip.target(), 2.0);
}

TEST_F(PageStrip, StylusPressReachesThePageAndADragCancelsIt)
{
    start({ { "Berlin", "02950159" } }, false);
    PageContainer& strip = build_strip();
    strip.jump_to(1);
    ASSERT_TRUE(strip.page(1).is_advertising());
    skin::ButtonNode& download = strip.page(1).advertising()->download_button();
    // The button lies 10 px in from the left, 80 px from the top of the page.
    strip.stylus(press(60, 90, true));
    EXPECT_TRUE(download.pressed());
    strip.stylus_move({ 90, 90 });
    EXPECT_FALSE(download.pressed()); // the drag took the stylus from the page
    strip.stylus(press(90, 90, false));
    EXPECT_FALSE(download.pressed());
}

TEST_F(PageStrip, NoticesSwapPagesAndRefreshEveryPageOnAUnitChange)
{
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(5), 21, 28), 5);
    write_cache("03143244", cache_xml("03143244", date_text_minutes_ago(5), -3, 30), 5);
    Settings& settings = start({ { "Berlin", "02950159" }, { "Oslo", "03143244" } }, false);
    PageContainer& strip = build_strip();
    auto wtext = [&](size_t page) { return text_of(find_node<skin::TextNode>(strip.page(page), u"wtext")); };
    EXPECT_EQ(wtext(0), "+21\u00B0");
    EXPECT_EQ(wtext(2), "-3\u00B0");

    settings.set_degree(false);
    EXPECT_EQ(wtext(0), "+69\u00B0");
    EXPECT_EQ(wtext(2), "+26\u00B0");

    // Positions 0 and 1 of the city list are records 0 and 2 (the slot is record 1).
    ASSERT_TRUE(settings.swap_cities(0, 1));
    EXPECT_EQ(page_names(strip), (std::vector<std::string> { "Oslo@0", "empty@1", "Berlin@2" }));
    EXPECT_EQ(wtext(0), "+26\u00B0");
}

TEST_F(PageStrip, DrawsPagesByPositionClippedToTheStrip)
{
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(5), 21, 28), 5);
    write_cache("03143244", cache_xml("03143244", date_text_minutes_ago(5), -3, 30), 5);
    start({ { "Berlin", "02950159" }, { "Oslo", "03143244" } });
    PageContainer& strip = build_strip();
    ASSERT_EQ(strip.height(), 300);
    skin::RenderSurface surface(240, 320);
    m_host->draw_node(surface, { 0, 0 });
    // Berlin's picture at (4, 24) of the first page; the dot row over the pages.
    EXPECT_EQ(pixel_at(surface, 10, 30), rgb565(condition_colour(28)));

    strip.jump_to(1);
    strip.stylus(press(200, 100, true));
    strip.stylus_move({ 212, 100 });
    strip.stylus_move({ 320, 100 }); // 120 px to the right of the press: position 0.5
    ASSERT_DOUBLE_EQ(strip.scroll_position(), 0.5);
    skin::RenderSurface half(240, 320);
    m_host->draw_node(half, { 0, 0 });
    EXPECT_EQ(pixel_at(half, 130, 30), rgb565(condition_colour(30))); // Oslo's, from x 120
    EXPECT_NE(pixel_at(half, 10, 30), rgb565(condition_colour(28)));
    // Nothing of the pages below the strip.
    EXPECT_EQ(pixel_at(half, 130, 310), 0);
}

} // namespace
