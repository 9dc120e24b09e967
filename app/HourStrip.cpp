#include "app/HourStrip.h"
#include "app/ConditionPictures.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"
#include "app/TemperatureText.h"

#include "skin/draw/RenderSurface.h"
#include "skin/file/Properties.h"
#include "skin/nodes/ImageNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/StylusEvent.h"
#include "skin/nodes/TextNode.h"

#include "platform/Clock.h"
#include "platform/LocaleTimeFormat.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <cmath>

namespace weather {

namespace {

// Pixels per second of a glide at scale shift 0: a cell in about a tenth of a second.
constexpr double glide_speed = 600;
// A fling goes on for this long at its release speed.
constexpr double fling_seconds = 0.3;

class HourCell : public skin::SkinNode {
public:
    HourCell(const skin::Properties& skin, const ombrelo::HourForecast& hour, bool now)
    {
        build(skin, u"HourCell");
        const platform::SystemTime time = platform::count_to_system_time(hour.date);
        find_node<skin::TextNode>(*this, u"htime").set_text(platform::LocaleTimeFormat::current().time_without_seconds(time));
        bool celsius = Settings::singleton() ? Settings::singleton()->degree() : true;
        find_node<skin::TextNode>(*this, u"htemp").set_text(
            hour.temp == ombrelo::HourForecast {}.temp ? std::u16string(u"–") : temperature_text(hour.temp, celsius));
        find_node<skin::TextNode>(*this, u"hrain").set_text(
            hour.rain_chance ? platform::widen(std::to_string(*hour.rain_chance)) + u"%" : std::u16string());
        ConditionPictures pictures(*this);
        find_node<skin::ImageNode>(*this, u"himage").set_picture(pictures.picture(hour.code));
        if (skin::SkinNode* mark = find_descendant(u"hnow"))
            mark->set_visible(now);
    }
};

} // namespace

HourStrip::HourStrip() = default;
HourStrip::~HourStrip() = default;

void HourStrip::load(const skin::Properties& properties, skin::NodeBody body)
{
    SkinNode::load(properties, body);
    m_scale_shift = properties.scale_shift();
}

void HourStrip::set_hours(const skin::Properties& skin, const std::vector<ombrelo::HourForecast>& hours)
{
    m_cells.clear();
    for (size_t i = 0; i < hours.size(); ++i) {
        auto cell = std::make_unique<HourCell>(skin, hours[i], i == 0);
        adopt(*cell);
        m_cells.push_back(std::move(cell));
    }
    m_offset = m_target = 0;
    m_pressed = false;
    place_cells();
    mark_dirty();
}

std::u16string HourStrip::cell_text(size_t index, std::u16string_view id) const
{
    return find_node<skin::TextNode>(*m_cells.at(index), id).text();
}

int HourStrip::cell_width() const
{
    return m_cells.empty() ? 0 : std::max(1, m_cells.front()->design_size().x);
}

int HourStrip::max_offset() const
{
    return std::max(0, int(m_cells.size()) * cell_width() - width());
}

void HourStrip::step(int cells)
{
    int w = cell_width();
    if (w <= 0)
        return;
    double from = std::round(m_target / w);
    m_target = std::clamp((from + cells) * w, 0.0, double(max_offset()));
    mark_dirty();
}

void HourStrip::place_cells()
{
    for (const auto& cell : m_cells) {
        skin::place_x(*cell, 0, cell->design_size().x);
        skin::place_y(*cell, 0, height());
    }
}

void HourStrip::layout_x()
{
    SkinNode::layout_x();
    place_cells();
}

void HourStrip::layout_y()
{
    SkinNode::layout_y();
    place_cells();
}

void HourStrip::life_cycle(double elapsed)
{
    SkinNode::life_cycle(elapsed);
    m_clock_ms += elapsed * 1000.0;
    if (!m_pressed && m_offset != m_target) {
        double step = elapsed * glide_speed * (1 << m_scale_shift);
        m_offset = std::abs(m_target - m_offset) <= step ? m_target : m_offset + (m_target > m_offset ? step : -step);
        mark_dirty();
    }
    for (const auto& cell : m_cells)
        cell->life_cycle(elapsed);
}

void HourStrip::draw(skin::RenderSurface& surface, skin::Point origin)
{
    SkinNode::draw(surface, origin);
    const int w = width(), h = height(), cw = cell_width();
    if (cw <= 0)
        return;
    skin::ClipScope clip(surface, origin, { w, h });
    int shift = int(std::lround(m_offset));
    // Only the cells in sight are drawn: a drag frame costs a screenful, not the day.
    size_t first = size_t(std::max(0, shift / cw));
    for (size_t i = first; i < m_cells.size(); ++i) {
        int left = int(i) * cw - shift;
        if (left >= w)
            break;
        m_cells[i]->draw_node(surface, { origin.x + left, origin.y });
    }
}

bool HourStrip::stylus_move(skin::Point point)
{
    if (!m_pressed)
        return false;
    skin::Point moved;
    if (!m_tracker.move(point, uint32_t(m_clock_ms), moved))
        return true;
    m_offset = std::clamp(m_offset - moved.x, 0.0, double(max_offset()));
    m_target = m_offset;
    mark_dirty();
    return true;
}

bool HourStrip::stylus(const skin::StylusEvent& event)
{
    if (event.move)
        return stylus_move(event.point);
    if (event.cancelled) {
        m_pressed = false;
        return true;
    }
    if (event.down) {
        m_pressed = true;
        m_target = m_offset;
        m_tracker.press(event.point, uint32_t(m_clock_ms), m_scale_shift);
        return true;
    }
    m_pressed = false;
    int speed = m_tracker.dragging() ? m_tracker.speed_x(uint32_t(m_clock_ms)) : 0;
    m_target = std::clamp(m_offset - speed * fling_seconds, 0.0, double(max_offset()));
    return true;
}

} // namespace weather
