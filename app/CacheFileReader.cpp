#include "app/CacheFileReader.h"
#include "app/AttributeText.h"
#include "app/BoundedFile.h"

#include "daemon/CityCode.h"

#include "runtime/Log.h"
#include "runtime/XmlDocument.h"

#include <optional>
#include <string>

namespace weather {

namespace {

using runtime::XmlNode;

// The first child element of that exact name; comments and processing instructions of
// the same name do not count.
XmlNode element(XmlNode parent, const char* name)
{
    for (XmlNode c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && std::string_view(c.name()) == name)
            return c;
    return XmlNode();
}

void read_text(XmlNode node, const char16_t* name, std::u16string& field)
{
    runtime::get_attribute(node, name, field);
}

void read_number(XmlNode node, const char16_t* name, int32_t& field)
{
    std::u16string text;
    if (runtime::get_attribute(node, name, text))
        read_integer(text, field);
}

void read_date(XmlNode node, const char16_t* name, int64_t& field)
{
    std::u16string text;
    if (runtime::get_attribute(node, name, text))
        read_date_time(text, field);
}

std::optional<int32_t> number(XmlNode node, const char16_t* name, int32_t low, int32_t high)
{
    int32_t value = 0;
    std::u16string text;
    if (!runtime::get_attribute(node, name, text) || !read_integer(text, value))
        return std::nullopt;
    return ombrelo::within(value, low, high);
}

// Read whole each time: a file without them leaves none of an older forecast's.
void read_details(XmlNode main, CityRecord& record)
{
    record.details = {};
    record.hours.clear();
    XmlNode details = element(main, "Details");
    for (const ombrelo::DetailField& field : ombrelo::detail_fields)
        record.details.*field.member = number(details, field.name, field.low, field.high);
    XmlNode hours = element(main, "Hours");
    for (XmlNode h = hours.first_child(); h && record.hours.size() < ombrelo::max_hours; h = h.next_sibling()) {
        if (h.type() != pugi::node_element || std::string_view(h.name()) != "Hour")
            continue;
        ombrelo::HourForecast hour;
        read_date(h, u"date", hour.date);
        if (hour.date <= 0)
            continue;
        hour.temp = number(h, u"temp", ombrelo::lowest_hour_temp, ombrelo::highest_hour_temp).value_or(no_temperature);
        hour.code = number(h, u"code", 0, ombrelo::highest_condition).value_or(no_condition);
        hour.rain_chance = number(h, u"rain_chance", 0, 100);
        record.hours.push_back(hour);
    }
}

bool fill(CityRecord& record, const runtime::XmlDocument& document)
{
    XmlNode main = element(document.document(), "Main");
    if (!main)
        return false;
    XmlNode create = element(main, "Create");
    read_date(create, u"date", record.request_date);
    read_text(create, u"rdate", record.rdate);
    // The service's sample replies carry sample="1"; a real forecast never does.
    std::u16string sample;
    record.sample = runtime::get_attribute(create, u"sample", sample) && sample == u"1";
    XmlNode current = element(main, "Current");
    if (record.name.empty())
        read_text(current, u"city", record.name);
    std::u16string code;
    // The code names the city's files and its requests: foreign text never becomes one.
    if (runtime::get_attribute(current, u"city_code", code) && ombrelo::is_valid_city_code(code))
        record.code = code;
    read_number(current, u"temp", record.temperature);
    read_number(current, u"code", record.condition);
    record.days.clear();
    XmlNode weathers = element(current, "Weathers");
    for (XmlNode w = weathers.first_child(); w; w = w.next_sibling()) {
        if (w.type() != pugi::node_element)
            continue;
        DayForecast day;
        read_date(w, u"date", day.date);
        read_number(w, u"code", day.condition);
        read_number(w, u"high", day.high);
        read_number(w, u"low", day.low);
        record.days.push_back(day);
    }
    read_details(main, record);
    return true;
}

} // namespace

bool load_from_xml(CityRecord& record, const char* data, size_t size)
{
    runtime::XmlDocument document = runtime::XmlDocument::load_bytes(data, size);
    return document && fill(record, document);
}

bool load_from_xml(CityRecord& record)
{
    if (!ombrelo::is_valid_city_code(record.code))
        return false;
    std::vector<char> bytes;
    if (!read_bounded_file(cache_file_path(record.code), outside_file_limit, bytes)) {
        runtime::get_log() << u"CityRecord::load_from_xml no cache for " << record.code << u"\n";
        return false;
    }
    return load_from_xml(record, bytes.data(), bytes.size());
}

} // namespace weather
