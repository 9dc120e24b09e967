// One day row of a forecast page, built from the template "WeatherLine": the day's label
// (Today, Tomorrow or the short date), its weekday, the high and low temperatures and
// the condition picture. The page owns and draws its rows; they are not in its tree.
#pragma once

#include "app/ConditionPictures.h"
#include "app/DayForecast.h"
#include "app/SettingsListener.h"

#include "skin/nodes/ImageNode.h"
#include "skin/file/Properties.h"
#include "skin/nodes/SkinNode.h"
#include "skin/nodes/TextNode.h"

namespace weather {

class WeatherLine : public skin::SkinNode, public SettingsListener {
public:
    // Raises plexor::NodeNotFoundInSkin without the template, plexor::NodeNotFound
    // without one of its nodes.
    WeatherLine(const skin::Properties& skin, const DayForecast& day, bool visible);

    const DayForecast& day() const { return m_day; }
    skin::TextNode& day_label() const { return *m_dtext1; }
    skin::TextNode& weekday() const { return *m_dtext2; }
    skin::TextNode& high() const { return *m_ttext1; }
    skin::TextNode& low() const { return *m_ttext2; }
    skin::ImageNode& picture() const { return *m_wimage; }

private:
    void fill(const skin::Properties& skin, bool visible);

    DayForecast m_day;
    skin::TextNode* m_dtext1 { nullptr };
    skin::TextNode* m_dtext2 { nullptr };
    skin::TextNode* m_ttext1 { nullptr };
    skin::TextNode* m_ttext2 { nullptr };
    skin::ImageNode* m_wimage { nullptr };
};

} // namespace weather
