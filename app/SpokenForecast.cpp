#include "app/SpokenForecast.h"
#include "app/ForecastWords.h"
#include "app/WeatherView.h"

#include "runtime/TextConvert.h"

namespace weather {

std::u16string spoken_temperature(const skin::LanguageTable& language, int32_t celsius, bool in_celsius)
{
    int32_t value = temperature_value(celsius, in_celsius);
    if (value >= 0)
        return runtime::int_to_text(value);
    // The magnitude of the most negative value does not fit; no forecast comes near it.
    std::u16string magnitude = runtime::int_to_text(value).substr(1);
    return fill_places(language.text(u"Speak_minus"), { magnitude });
}

std::u16string spoken_forecast(const skin::LanguageTable& language, const CityRecord& record, bool in_celsius, int64_t now)
{
    std::u16string city = WeatherView::shown_name(record.name);
    std::u16string condition = condition_text(language, record.condition);
    if (record.temperature == no_temperature && condition.empty())
        return fill_places(language.text(u"Speak_no_forecast"), { city });

    std::u16string text;
    if (record.temperature == no_temperature)
        text = city + u": " + condition;
    else if (condition.empty())
        text = fill_places(language.text(u"Speak_current_no_condition"),
            { city, spoken_temperature(language, record.temperature, in_celsius) });
    else
        text = fill_places(language.text(u"Speak_current"),
            { city, condition, spoken_temperature(language, record.temperature, in_celsius) });

    const DayForecast* day = today_of(record, day_number(now));
    int64_t today = day ? day_number(day->date) : day_number(now);
    if (day && day->low != no_temperature && day->high != no_temperature)
        text += u"; "
            + fill_places(language.text(u"Speak_today"),
                { spoken_temperature(language, day->low, in_celsius), spoken_temperature(language, day->high, in_celsius) });
    const DayForecast* tomorrow = day_of(record, today + 1);
    if (tomorrow && tomorrow->high != no_temperature) {
        std::u16string part = fill_places(language.text(u"Speak_tomorrow"),
            { condition_text(language, tomorrow->condition), spoken_temperature(language, tomorrow->high, in_celsius) });
        // Without a condition its place leaves a blank before the comma.
        for (size_t at; (at = part.find(u" ,")) != std::u16string::npos;)
            part.erase(at, 1);
        text += u"; " + part;
    }
    return text;
}

} // namespace weather
