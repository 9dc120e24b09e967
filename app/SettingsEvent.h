// A notice of a change to the settings or the city list, passed to every listener. Several
// flags may be set; receivers test them one by one in this order.
#pragma once

#include <cstdint>

namespace weather {

struct SettingsEvent {
    int32_t index { 0 };  // the list position concerned (city_removed), the city (open_details)
    int32_t first { 0 };  // the two list positions exchanged (cities_swapped)
    int32_t second { 0 };
    bool city_removed { false };
    bool open_city_list { false };
    bool city_list_closed { false };
    bool open_city_search { false };
    bool open_limit_message { false };
    bool city_added { false };
    bool cities_swapped { false };
    bool open_menu { false };
    bool units_changed { false };
    bool show_notice { false };  // Settings has a message for the user (take_notices)
    bool open_details { false }; // the detail form for the city at index
};

} // namespace weather
