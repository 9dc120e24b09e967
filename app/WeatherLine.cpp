#include "app/WeatherLine.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"
#include "app/TemperatureText.h"

#include "platform/Clock.h"
#include "platform/LocaleTimeFormat.h"

namespace weather {

namespace {

constexpr int64_t units_per_day = 864'000'000'000;

// The count at midnight of its own day.
int64_t midnight(int64_t count)
{
    return count - count % units_per_day;
}

bool same_day(int64_t a, int64_t b)
{
    platform::SystemTime x = platform::count_to_system_time(a);
    platform::SystemTime y = platform::count_to_system_time(b);
    return x.year == y.year && x.month == y.month && x.day == y.day;
}

// A day without a value shows nothing rather than "-1000°".
std::u16string day_temperature(int32_t celsius)
{
    if (celsius == no_temperature)
        return {};
    Settings* settings = Settings::singleton();
    return temperature_text(celsius, settings ? settings->degree() : true);
}

} // namespace

WeatherLine::WeatherLine(const skin::Properties& skin, const DayForecast& day, bool visible)
    : m_day(day)
{
    build(skin, u"WeatherLine");
    m_dtext1 = &find_node<skin::TextNode>(*this, u"dtext1");
    m_dtext2 = &find_node<skin::TextNode>(*this, u"dtext2");
    m_ttext1 = &find_node<skin::TextNode>(*this, u"ttext1");
    m_ttext2 = &find_node<skin::TextNode>(*this, u"ttext2");
    m_wimage = &find_node<skin::ImageNode>(*this, u"wimage");
    fill(skin, visible);
}

void WeatherLine::fill(const skin::Properties& skin, bool visible)
{
    const platform::LocaleTimeFormat& locale = platform::LocaleTimeFormat::current();
    int64_t today = midnight(platform::local_now());
    int64_t date = m_day.date < 0 ? 0 : midnight(m_day.date);
    platform::SystemTime parts = platform::count_to_system_time(date);
    if (same_day(date, today))
        m_dtext1->set_text(skin.translate(u"Today"));
    else if (same_day(date, today + units_per_day))
        m_dtext1->set_text(skin.translate(u"Tomorrow"));
    else
        m_dtext1->set_text(locale.short_date(parts));
    m_dtext2->set_text(locale.weekday_name(parts));
    m_ttext1->set_text(day_temperature(m_day.high));
    m_ttext2->set_text(day_temperature(m_day.low));
    ConditionPictures pictures(*this);
    m_wimage->set_picture(pictures.picture(m_day.condition));
    for (skin::TextNode* text : { m_dtext1, m_dtext2, m_ttext1, m_ttext2 })
        text->set_visible(visible);
}

} // namespace weather
