// The detail form's strip of the next hours ("hour_strip"): one cell per hour, built from
// the template "HourCell" (the hour, its picture, temperature and rain chance; "hnow"
// marks the current hour), side by side from the left edge. The strip scrolls sideways by
// an offset in pixels: it follows the stylus while dragged, glides on after a fling, and
// moves a cell per Left or Right key. The cells are owned by the strip but are not skin
// children: they are drawn by offset, clipped to the strip, over its template's nodes.
#pragma once

#include "daemon/ForecastDetails.h"

#include "skin/list/DragTracker.h"
#include "skin/nodes/SkinNode.h"

#include <memory>
#include <vector>

namespace skin {
class Properties;
}

namespace weather {

class HourStrip : public skin::SkinNode {
public:
    HourStrip();
    ~HourStrip() override;

    // One cell per hour, the first one marked as the current hour; the offset goes back to
    // the first. Raises plexor::NodeNotFoundInSkin without "HourCell".
    void set_hours(const skin::Properties& skin, const std::vector<ombrelo::HourForecast>& hours);
    size_t cell_count() const { return m_cells.size(); }
    skin::SkinNode& cell(size_t index) const { return *m_cells[index]; }
    // The texts of a cell's "htime", "htemp" and "hrain", for tests.
    std::u16string cell_text(size_t index, std::u16string_view id) const;

    double offset() const { return m_offset; }
    double target() const { return m_target; }
    int max_offset() const;
    // Glides by whole cells from where it is heading (Left: -1, Right: 1).
    void step(int cells);

    void load(const skin::Properties& properties, skin::NodeBody body) override;
    void life_cycle(double elapsed) override;
    void layout_x() override;
    void layout_y() override;
    void draw(skin::RenderSurface& surface, skin::Point origin) override;
    bool stylus_move(skin::Point point) override;
    bool stylus(const skin::StylusEvent& event) override;

private:
    void place_cells();
    int cell_width() const;

    std::vector<std::unique_ptr<skin::SkinNode>> m_cells;
    double m_offset { 0 };
    double m_target { 0 };
    skin::DragTracker m_tracker;
    bool m_pressed { false };
    double m_clock_ms { 0 };
    int m_scale_shift { 0 };
};

} // namespace weather
