// Today's details of the city in view, over the pages: the next hours as a strip
// ("hours", an HourStrip) that scrolls by drag and by Left/Right, the details as rows
// (feels like, wind, humidity, pressure, rain, UV, sunrise, sunset) in the chosen unit and
// language, and where the numbers come from ("source"), or "sample" for the service's
// sample data. A forecast without details says "No_details" ("nodetails") instead of
// empty rows. "btnBack", Back or the left soft key close it.
#pragma once

#include "skin/file/ReloadListener.h"
#include "skin/nodes/ButtonListener.h"
#include "skin/nodes/FormNode.h"

#include <cstdint>
#include <string_view>

namespace skin {
class ButtonNode;
class Properties;
class TextNode;
} // namespace skin

namespace weather {

class HourStrip;

class FormDetail : public skin::FormNode, public skin::ButtonListener, public skin::ReloadListener {
public:
    static constexpr std::u16string_view template_name = u"FormDetail";

    // Raises plexor::NodeNotFoundInSkin without the template, plexor::NodeNotFound without
    // one of its nodes.
    explicit FormDetail(skin::Properties& skin);
    ~FormDetail() override;

    // Fills the form from the city's record and pushes it (a record that is no city:
    // nothing happens).
    void show(int32_t city_index);
    void back();
    // The texts and pictures again from the record (a change of unit, a new forecast).
    void fill();

    int32_t city_index() const { return m_city_index; }
    HourStrip& strip() const { return *m_strip; }
    // The text of a named text node of the form ("wind", "nodetails" ...).
    const std::u16string& text(std::u16string_view id) const;

    void clicked(skin::ButtonNode& button, skin::Point point) override;
    void press_changed(skin::ButtonNode&, skin::Point, bool) override { }
    void dragged(skin::ButtonNode&, skin::Point, skin::Point) override { }
    void reload(skin::Properties& properties) override;
    bool key(const input::KeyEvent& event) override;
    void life_cycle(double elapsed) override;

private:
    void build_form();

    skin::Properties& m_skin;
    int32_t m_city_index { -1 };
    int64_t m_shown_date { 0 };
    HourStrip* m_strip { nullptr };
    skin::SkinNode* m_details { nullptr };
    skin::ButtonNode* m_back { nullptr };
};

} // namespace weather
