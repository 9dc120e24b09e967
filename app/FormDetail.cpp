#include "app/FormDetail.h"
#include "app/DetailText.h"
#include "app/HourStrip.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"
#include "app/WeatherView.h"

#include "framework/Application.h"

#include "runtime/Log.h"

#include "skin/file/Properties.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/TextNode.h"

namespace weather {

FormDetail::FormDetail(skin::Properties& skin)
    : m_skin(skin)
{
    build_form();
    set_visible(false);
    m_skin.add_reload_listener(this);
}

FormDetail::~FormDetail()
{
    m_skin.remove_reload_listener(this);
    if (auto* app = framework::Application::singleton())
        app->remove_form(*this, false);
}

void FormDetail::build_form()
{
    build(m_skin, template_name);
    m_strip = &find_node<HourStrip>(*this, u"hours");
    m_details = &find_node<skin::SkinNode>(*this, u"details");
    m_back = &find_node<skin::ButtonNode>(*this, u"btnBack");
    for (const char16_t* id : { u"ctext", u"feels", u"wind", u"humidity", u"pressure", u"rain", u"uv", u"sunrise",
             u"sunset", u"nodetails", u"source", u"sample" })
        find_node<skin::TextNode>(*this, id);
    m_back->set_listener(this);
}

const std::u16string& FormDetail::text(std::u16string_view id) const
{
    return find_node<skin::TextNode>(*this, id).text();
}

void FormDetail::reload(skin::Properties&)
{
    build_form();
    fill();
}

void FormDetail::show(int32_t city_index)
{
    Settings* settings = Settings::singleton();
    if (!settings || city_index < 0 || size_t(city_index) >= settings->city_count()
        || settings->city(size_t(city_index)).is_advertising())
        return;
    m_city_index = city_index;
    fill();
    runtime::get_log() << u"FormDetail::show " << m_city_index << u"\n";
    auto* app = framework::Application::singleton();
    if (app && !app->is_on_stack(*this))
        app->push_form(*this, false, true);
}

void FormDetail::fill()
{
    Settings* settings = Settings::singleton();
    if (!settings || m_city_index < 0 || size_t(m_city_index) >= settings->city_count())
        return;
    const CityRecord& city = settings->city(size_t(m_city_index));
    m_shown_date = city.request_date;
    auto set = [this](const char16_t* id, std::u16string_view value) {
        find_node<skin::TextNode>(*this, id).set_text(value);
    };
    set(u"ctext", WeatherView::shown_name(city.name));
    DetailTexts texts = detail_texts(city.details, settings->degree(),
        [this](std::u16string_view key) { return m_skin.translate(key); });
    set(u"feels", texts.feels);
    set(u"wind", texts.wind);
    set(u"humidity", texts.humidity);
    set(u"pressure", texts.pressure);
    set(u"rain", texts.rain);
    set(u"uv", texts.uv);
    set(u"sunrise", texts.sunrise);
    set(u"sunset", texts.sunset);
    m_strip->set_hours(m_skin, city.hours);
    m_strip->set_visible(!city.hours.empty());
    m_details->set_visible(!city.details.empty());
    find_node<skin::TextNode>(*this, u"nodetails").set_visible(city.details.empty());
    // Made-up numbers never carry the provider's name.
    find_node<skin::TextNode>(*this, u"source").set_visible(!city.sample);
    find_node<skin::TextNode>(*this, u"sample").set_visible(city.sample);
    mark_dirty();
}

void FormDetail::life_cycle(double elapsed)
{
    FormNode::life_cycle(elapsed);
    // A new forecast arrived while the form was open.
    Settings* settings = Settings::singleton();
    if (settings && m_city_index >= 0 && size_t(m_city_index) < settings->city_count()
        && settings->city(size_t(m_city_index)).request_date != m_shown_date)
        fill();
}

void FormDetail::back()
{
    if (auto* app = framework::Application::singleton())
        app->remove_form(*this, true);
}

void FormDetail::clicked(skin::ButtonNode& button, skin::Point)
{
    if (&button == m_back)
        back();
}

bool FormDetail::key(const input::KeyEvent& event)
{
    switch (event.code) {
    case input::key_backspace:
        if (event.pressed && event.first)
            back();
        return true;
    case input::key_left:
    case input::key_right:
        if (event.pressed)
            m_strip->step(event.code == input::key_right ? 1 : -1);
        return true;
    default:
        return FormNode::key(event);
    }
}

} // namespace weather
