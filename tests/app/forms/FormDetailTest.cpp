// The detail form on the shipped skins: the hours and today's details in the chosen unit,
// the sample-data and no-details cases, the strip's keys and drag, and Back.
#include "FormsTestSupport.h"

#include "app/FormDetail.h"
#include "app/HourStrip.h"

#include "platform/Clock.h"

#include <cmath>

#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/NodeFactory.h"

using namespace forms_test;
using weather::FormDetail;

namespace {

class FormDetailTest : public FormsTest {
protected:
    void SetUp() override
    {
        if (!skin::NodeFactory::is_registered(u"hour_strip"))
            skin::NodeFactory::register_class<weather::HourStrip>(u"hour_strip");
        FormsTest::SetUp();
    }

    weather::CityRecord& berlin(bool details = true)
    {
        weather::Settings& settings = start({ { "Berlin, Berlin, Germany", "02950159" } });
        weather::CityRecord& city = settings.city(0);
        if (details) {
            city.details = { -3, 14, 225, 81, 10162, 12, 60, 35, 6 * 60 + 41, 18 * 60 + 7 };
            int64_t hour = platform::local_now() / (platform::units_per_minute * 60) * platform::units_per_minute * 60;
            for (int i = 0; i < 24; ++i)
                city.hours.push_back({ hour + i * platform::units_per_minute * 60, i - 2, i % 2 ? 11 : 32,
                    i == 1 ? std::nullopt : std::optional<int32_t>(i * 4) });
        }
        return city;
    }
};

} // namespace

TEST_F(FormDetailTest, DetailsAndHoursInTheChosenUnit)
{
    struct Case {
        bool celsius;
        const char16_t* id;
        std::u16string expected;
    };
    const Case cases[] = {
        { true, u"ctext", u"Berlin" },
        { true, u"feels", u"-3°" },
        { false, u"feels", u"+26°" },
        { true, u"wind", u"↗\u00A0SW\u00A0\u00A014\u00A0km/h" },
        { false, u"wind", u"↗\u00A0SW\u00A0\u00A09\u00A0mph" },
        { true, u"humidity", u"81%" },
        { true, u"pressure", u"1016\u00A0hPa" },
        { false, u"pressure", u"30.01\u00A0inHg" },
        { true, u"rain", u"1.2\u00A0mm · 60%" },
        { false, u"rain", u"0.05\u00A0in · 60%" },
        { true, u"uv", u"4" },
    };
    berlin();
    for (const Case& c : cases) {
        m_settings->set_degree(c.celsius);
        FormDetail form(skin());
        form.show(0);
        EXPECT_EQ(form.text(c.id), c.expected) << utf8(c.id) << " " << c.celsius;
        EXPECT_TRUE(form.text(u"sunrise").find(u"41") != std::u16string::npos);
        ASSERT_EQ(form.strip().cell_count(), 24u);
        EXPECT_EQ(form.strip().cell_text(0, u"htemp"), c.celsius ? u"-2°" : u"+28°");
        EXPECT_EQ(form.strip().cell_text(1, u"hrain"), u"");
        EXPECT_EQ(form.strip().cell_text(2, u"hrain"), u"8%");
        form.back();
    }
}

TEST_F(FormDetailTest, WithoutDetailsItSaysSoAndSampleDataIsNamed)
{
    weather::CityRecord& city = berlin(false);
    FormDetail form(skin());
    form.show(0);
    frames(10);
    EXPECT_EQ(app().top_form(), &form);
    EXPECT_TRUE(form.find_descendant(u"nodetails")->visible());
    EXPECT_EQ(form.text(u"nodetails"), u"No details for this forecast yet");
    EXPECT_FALSE(form.find_descendant(u"details")->visible());
    EXPECT_FALSE(form.strip().visible());
    EXPECT_TRUE(form.find_descendant(u"source")->visible());
    EXPECT_FALSE(form.find_descendant(u"sample")->visible());
    city.sample = true;
    city.details.humidity = 50;
    form.fill();
    EXPECT_FALSE(form.find_descendant(u"nodetails")->visible());
    EXPECT_EQ(form.text(u"wind"), u"–");
    EXPECT_FALSE(form.find_descendant(u"source")->visible());
    EXPECT_TRUE(form.find_descendant(u"sample")->visible());
    EXPECT_EQ(form.text(u"sample"), u"Sample data, not a real forecast");
}

TEST_F(FormDetailTest, TheStripScrollsByKeysAndDragAndBackCloses)
{
    berlin();
    FormDetail form(skin());
    form.show(0);
    frames(10);
    weather::HourStrip& strip = form.strip();
    int cell = strip.cell(0).width();
    ASSERT_GT(cell, 0);
    ASSERT_GT(strip.max_offset(), 0);
    key(input::key_left);
    frames(10);
    EXPECT_EQ(strip.offset(), 0) << "the first hour stays first";
    key(input::key_right);
    key(input::key_right);
    frames(20);
    EXPECT_EQ(strip.offset(), 2 * cell);
    for (int i = 0; i < 30; ++i)
        key(input::key_right);
    frames(100);
    EXPECT_EQ(strip.offset(), strip.max_offset());
    key(input::key_left);
    frames(20);
    EXPECT_EQ(strip.offset(), std::round(double(strip.max_offset()) / cell - 1) * cell);
    // A slow drag to the right moves the hours with the stylus.
    double before = strip.offset();
    skin::Point at = centre(strip);
    press(at);
    for (int step = 1; step <= 10; ++step) {
        frames(2);
        app().top_form()->stylus_move({ at.x + step * 6, at.y });
    }
    EXPECT_NEAR(strip.offset(), before - 60 + skin::DragTracker::dead_zone, skin::DragTracker::dead_zone);
    release({ at.x + 60, at.y });
    key(input::key_backspace);
    frames(20);
    EXPECT_NE(app().top_form(), &form);
}

TEST_F(FormDetailTest, TheRowsSitBetweenTheStripAndTheSourceLineInBothSkins)
{
    for (const char* name : { "default", "night" }) {
        load_shipped_skin(name);
        berlin();
        FormDetail form(skin());
        form.show(0);
        frames(10);
        // Every row's value lies inside the form, below the strip and above the soft keys.
        for (const char16_t* id : { u"feels", u"wind", u"sunset" }) {
            const skin::SkinNode* value = form.find_descendant(id);
            EXPECT_GE(value->y(), form.strip().y() + form.strip().height()) << name;
            EXPECT_LE(value->y() + value->height(), form.find_descendant(u"source")->y()) << name;
        }
        form.back();
    }
}
