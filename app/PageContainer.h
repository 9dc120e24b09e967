// The main form's page strip ("icon_page"): one forecast page per record of the city list,
// in list order, laid side by side and scrolled by a position in pages (page i is centred
// at position i). The strip glides towards its target at four pages per second, follows
// the stylus while dragged (at half rate beyond either end) and hands stylus presses to
// the page under the current position. Its template holds the ten page dots "dot0" …
// "dot9" (multinodes: state 1 marks the current page).
//
// The pages are owned by the strip but are not skin children: they are drawn by position,
// clipped to the strip, over nothing else.
#pragma once

#include "app/SettingsListener.h"

#include "skin/list/DragTracker.h"
#include "skin/nodes/SkinNode.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace skin {
class MultiNode;
}

namespace weather {

class WeatherView;

class PageContainer : public skin::SkinNode, public SettingsListener {
public:
    static constexpr size_t dot_count = 10;
    // Pages per second of the glide towards the target.
    static constexpr double glide_speed = 4.0;

    PageContainer();
    ~PageContainer() override;

    // Appends the page at the end of the strip.
    void append_page(std::unique_ptr<WeatherView> view);
    // Appends the page, or, while the only page is the advertising page (and the sibling
    // product is absent), puts it first so that the advertising page stays second. The
    // page is made visible.
    void insert_page(std::unique_ptr<WeatherView> view);
    // Takes the page at the position out and hands it back (null for no such page); the
    // pages after it move down one city index. Removing the first page while the
    // advertising page exists keeps the advertising page second.
    std::unique_ptr<WeatherView> remove_page(size_t position);
    // Position and target become the page at once (no glide); ignored outside the strip.
    void jump_to(int page);
    // The strip glides to the page, held to the strip (keypad paging).
    void glide_to(int page);
    // floor(position), held to the pages.
    int current_page() const;

    size_t page_count() const { return m_pages.size(); }
    WeatherView& page(size_t index) const { return *m_pages.at(index); }
    double scroll_position() const { return m_position; }
    double target() const { return m_target; }
    skin::MultiNode& dot(size_t index) const { return *m_dots.at(index); }

    void load(const skin::Properties& properties, skin::NodeBody body) override;
    void life_cycle(double elapsed) override;
    void draw(skin::RenderSurface& surface, skin::Point origin) override;
    void layout_x() override;
    void layout_y() override;
    bool stylus_move(skin::Point point) override;
    bool stylus(const skin::StylusEvent& event) override;
    void shown_changed(bool shown) override;

    void on_settings_event(const SettingsEvent& event) override;

private:
    // The page under the current position, or null when the position lies outside the strip.
    WeatherView* page_under_position() const;
    void place_page(WeatherView& view);
    void update_dots();
    // "PageContainer pages" and the city names in page order, for the log.
    void trace_pages() const;

    std::vector<std::unique_ptr<WeatherView>> m_pages;
    double m_position { 0 };
    double m_target { 0 };
    std::array<skin::MultiNode*, dot_count> m_dots {};
    skin::DragTracker m_tracker;
    bool m_pressed { false };
    // The page that took the stylus press, so that the release reaches it too.
    WeatherView* m_stylus_page { nullptr };
    // Milliseconds of life-cycle time: the drag tracker's clock, so that a scripted drag
    // measures the same speed on every run.
    double m_clock_ms { 0 };
    int m_scale_shift { 0 };
    // What the dots showed when last traced.
    size_t m_dots_shown { 0 };
    int m_dots_current { -1 };
};

} // namespace weather
