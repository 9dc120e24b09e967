#include "app/PageContainer.h"
#include "app/NodeLookup.h"
#include "app/Settings.h"
#include "app/WeatherView.h"

#include "runtime/Log.h"

#include "skin/draw/RenderSurface.h"
#include "skin/file/Properties.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/MultiNode.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace weather {

namespace {

bool advertising_slot_exists()
{
    Settings* settings = Settings::singleton();
    return settings && settings->has_advertising_slot();
}

} // namespace

PageContainer::PageContainer() = default;

void PageContainer::trace_pages() const
{
    Settings* settings = Settings::singleton();
    runtime::Log& log = runtime::get_log();
    log << u"PageContainer pages";
    for (size_t i = 0; i < m_pages.size(); ++i) {
        int32_t index = m_pages[i]->city_index();
        log << (i == 0 ? u" " : u" | ");
        if (settings && index >= 0 && size_t(index) < settings->city_count())
            log << std::u16string_view(settings->city(size_t(index)).name);
        else
            log << u"?";
    }
    log << u"\n";
}

PageContainer::~PageContainer() = default;

void PageContainer::load(const skin::Properties& properties, skin::NodeBody body)
{
    m_dots.fill(nullptr);
    SkinNode::load(properties, body);
    for (size_t i = 0; i < dot_count; ++i)
        m_dots[i] = &find_node<skin::MultiNode>(*this, u"dot" + std::u16string(1, char16_t(u'0' + i)));
    m_scale_shift = properties.scale_shift();
    update_dots();
}

void PageContainer::append_page(std::unique_ptr<WeatherView> view)
{
    if (!view)
        return;
    WeatherView& page = *view;
    adopt(page);
    m_pages.push_back(std::move(view));
    place_page(page);
    update_dots();
    mark_dirty();
    trace_pages();
}

void PageContainer::insert_page(std::unique_ptr<WeatherView> view)
{
    if (!view)
        return;
    view->set_visible(true);
    Settings* settings = Settings::singleton();
    bool sibling = settings && settings->sibling_installed();
    if (sibling || m_pages.size() != 1) {
        append_page(std::move(view));
        return;
    }
    // The only page is the advertising page: the new city goes before it.
    WeatherView& page = *view;
    adopt(page);
    m_pages.insert(m_pages.begin(), std::move(view));
    m_pages[1]->set_city_index(m_pages[1]->city_index() + 1);
    place_page(page);
    update_dots();
    mark_dirty();
    trace_pages();
}

std::unique_ptr<WeatherView> PageContainer::remove_page(size_t position)
{
    if (position >= m_pages.size())
        return nullptr;
    std::unique_ptr<WeatherView> removed = std::move(m_pages[position]);
    m_pages.erase(m_pages.begin() + ptrdiff_t(position));
    if (m_stylus_page == removed.get())
        m_stylus_page = nullptr;
    for (size_t i = position; i < m_pages.size(); ++i)
        m_pages[i]->set_city_index(m_pages[i]->city_index() - 1);
    if (advertising_slot_exists() && position == 0 && m_pages.size() >= 2) {
        // The advertising page stays second: exchange pages, their indices and the records.
        std::swap(m_pages[0], m_pages[1]);
        int32_t first = m_pages[0]->city_index();
        m_pages[0]->set_city_index(m_pages[1]->city_index());
        m_pages[1]->set_city_index(first);
        Settings::singleton()->exchange_records(0, 1);
    }
    update_dots();
    mark_dirty();
    trace_pages();
    return removed;
}

void PageContainer::jump_to(int page)
{
    if (page < 0 || size_t(page) >= m_pages.size())
        return;
    m_position = m_target = page;
    runtime::get_log() << u"PageContainer::jump_to " << int32_t(page) << u"\n";
    update_dots();
    mark_dirty();
}

void PageContainer::glide_to(int page)
{
    if (m_pages.empty())
        return;
    m_target = std::clamp(page, 0, int(m_pages.size()) - 1);
}

int PageContainer::current_page() const
{
    if (m_pages.empty())
        return 0;
    return std::clamp(int(std::floor(m_position)), 0, int(m_pages.size()) - 1);
}

WeatherView* PageContainer::page_under_position() const
{
    if (m_position < 0 || m_position >= double(m_pages.size()))
        return nullptr;
    return m_pages[size_t(std::floor(m_position))].get();
}

void PageContainer::place_page(WeatherView& view)
{
    skin::place_x(view, 0, width());
    skin::place_y(view, 0, height());
}

void PageContainer::update_dots()
{
    int current = current_page();
    size_t shown = std::min(m_pages.size(), dot_count);
    if (shown != m_dots_shown || current != m_dots_current) {
        m_dots_shown = shown;
        m_dots_current = current;
        runtime::get_log() << u"PageContainer dots " << int32_t(shown) << u" current " << int32_t(current) << u"\n";
    }
    for (size_t i = 0; i < dot_count; ++i) {
        skin::MultiNode* dot = m_dots[i];
        if (!dot)
            continue;
        dot->set_visible(i < m_pages.size());
        dot->set_state(int(i) == current ? 1 : 0);
    }
}

void PageContainer::life_cycle(double elapsed)
{
    SkinNode::life_cycle(elapsed);
    m_clock_ms += elapsed * 1000.0;
    if (m_position != m_target) {
        double step = elapsed * glide_speed;
        if (std::abs(m_target - m_position) <= step)
            m_position = m_target;
        else
            m_position += m_target > m_position ? step : -step;
        runtime::get_log() << u"make_dirty life_cycle 1\n";
        mark_dirty();
    }
    for (const auto& page : m_pages) {
        page->life_cycle(elapsed);
        if (page->visible() && page->refreshed()) {
            mark_dirty();
            page->clear_refreshed();
        }
        place_page(*page);
    }
    update_dots();
}

void PageContainer::layout_x()
{
    SkinNode::layout_x();
    for (const auto& page : m_pages)
        place_page(*page);
}

void PageContainer::layout_y()
{
    SkinNode::layout_y();
    for (const auto& page : m_pages)
        place_page(*page);
}

void PageContainer::draw(skin::RenderSurface& surface, skin::Point origin)
{
    const int w = width(), h = height();
    skin::ClipScope clip(surface, origin, { w, h });
    for (size_t i = 0; i < m_pages.size(); ++i) {
        WeatherView& page = *m_pages[i];
        int left = int(std::lround((double(i) - m_position) * w)) + (w - page.width()) / 2;
        int top = (h - page.height()) / 2;
        if (!page.visible() || left >= w || left + page.width() <= 0 || top >= h || top + page.height() <= 0) {
            page.clear_dirty();
            continue;
        }
        page.draw_node(surface, { origin.x + left, origin.y + top });
    }
    // The dots and any other decoration of the template over the pages.
    SkinNode::draw(surface, origin);
}

bool PageContainer::stylus_move(skin::Point point)
{
    if (!m_pressed)
        return false;
    skin::Point moved;
    bool was_dragging = m_tracker.dragging();
    if (!m_tracker.move(point, uint32_t(m_clock_ms), moved))
        return true;
    if (!was_dragging && m_stylus_page) {
        // A drag is no press: the page under the stylus lets go of it.
        skin::StylusEvent cancel;
        cancel.cancelled = true;
        m_stylus_page->stylus(cancel);
        m_stylus_page = nullptr;
    }
    const int w = width();
    if (w <= 0)
        return true;
    double delta = double(moved.x) / w;
    double last = double(m_pages.empty() ? 0 : m_pages.size() - 1);
    if (m_position < 0 || m_position > last)
        delta /= 2;
    m_position -= delta;
    m_target = m_position;
    mark_dirty();
    return true;
}

bool PageContainer::stylus(const skin::StylusEvent& event)
{
    skin::Point relative = event.point - position();
    if (event.cancelled) {
        m_pressed = false;
        if (WeatherView* page = std::exchange(m_stylus_page, nullptr))
            page->stylus(event);
        m_target = std::clamp(std::floor(m_position + 0.5), 0.0, double(m_pages.empty() ? 0 : m_pages.size() - 1));
        return true;
    }
    if (event.down) {
        m_pressed = true;
        m_tracker.press(event.point, uint32_t(m_clock_ms), m_scale_shift);
        m_stylus_page = page_under_position();
        if (m_stylus_page) {
            skin::StylusEvent handed = event;
            handed.point = relative;
            m_stylus_page->stylus(handed);
        }
        return true;
    }
    // Release.
    m_pressed = false;
    if (WeatherView* page = std::exchange(m_stylus_page, nullptr)) {
        skin::StylusEvent handed = event;
        handed.point = relative;
        page->stylus(handed);
    }
    const int w = width();
    int speed = m_tracker.dragging() ? m_tracker.speed_x(uint32_t(m_clock_ms)) : 0;
    int pages = w > 0 ? std::abs(speed) / w : 0;
    double target;
    if (pages == 0)
        target = std::floor(m_position + 0.5);
    else
        // A fling goes on in its own direction: rightwards to the page before.
        target = speed > 0 ? std::floor(m_position) : std::ceil(m_position);
    m_target = std::clamp(target, 0.0, double(m_pages.empty() ? 0 : m_pages.size() - 1));
    runtime::get_log() << u"PageContainer::stylus release position=" << m_position << u" target=" << int32_t(m_target)
                       << u" speed=" << int32_t(speed) << u"\n";
    return true;
}

void PageContainer::shown_changed(bool shown)
{
    SkinNode::shown_changed(shown);
    for (const auto& page : m_pages) {
        bool page_shown = this->visible() && shown;
        if (page->shown() != page_shown)
            page->shown_changed(page_shown);
    }
}

void PageContainer::on_settings_event(const SettingsEvent& event)
{
    Settings* settings = Settings::singleton();
    if (event.cities_swapped && settings) {
        size_t a = settings->adjusted_index(event.first);
        size_t b = settings->adjusted_index(event.second);
        if (a < m_pages.size() && b < m_pages.size() && a != b) {
            std::swap(m_pages[a], m_pages[b]);
            int32_t index = m_pages[a]->city_index();
            m_pages[a]->set_city_index(m_pages[b]->city_index());
            m_pages[b]->set_city_index(index);
            mark_dirty();
            trace_pages();
        }
    }
    if (event.units_changed) {
        for (const auto& page : m_pages)
            page->refresh_view();
        mark_dirty();
    }
}

} // namespace weather
