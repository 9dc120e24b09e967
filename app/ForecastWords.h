// The words of a forecast outside the page's pictures, from the language file: the
// condition's name (key "Condition_" + code), texts with numbered places ("%1", "%2"),
// and the days of a record by calendar day. Shared by the spoken forecast and the
// status-bar command.
#pragma once

#include "app/CityRecord.h"

#include "skin/file/LanguageTable.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace weather {

// "Condition_" + code.
std::u16string condition_key(int32_t code);
// The condition's name in the language; empty for no condition or one without a text.
std::u16string condition_text(const skin::LanguageTable& language, int32_t code);

// The text with "%1" ... "%9" replaced by the values in order; a place without a value
// stays as it is.
std::u16string fill_places(std::u16string_view text, std::initializer_list<std::u16string_view> values);

// The day number of a local date-time count (days since 1601-01-01).
int64_t day_number(int64_t date);
// The forecast of that calendar day, null when the record has none.
const DayForecast* day_of(const CityRecord& record, int64_t day);
// The city's today for a device whose date is `device_day`: that day's forecast, or, for a
// city already in its next day (east of the device, or past its midnight), the forecast's
// first day when it is the next one. Null when neither is there.
const DayForecast* today_of(const CityRecord& record, int64_t device_day);

// A temperature in the chosen scale as a whole number (Fahrenheit truncated toward
// zero, as on the pages).
int32_t temperature_value(int32_t celsius, bool in_celsius);

} // namespace weather
