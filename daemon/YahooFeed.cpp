#include "daemon/YahooFeed.h"
#include "daemon/DateTimeText.h"
#include "daemon/FeedText.h"

#include "runtime/Log.h"
#include "runtime/XmlDocument.h"

namespace ombrelo {

using runtime::XmlNode;

namespace {

// The XML declaration is dropped: the text is UTF-16 by now, whatever it declares.
std::u16string_view without_declaration(std::u16string_view text)
{
    if (text.size() >= 5 && text.substr(0, 2) == u"<?") {
        size_t end = text.find(u"?>");
        if (end != std::u16string_view::npos)
            return text.substr(end + 2);
    }
    return text;
}

} // namespace

bool load_from_yahoo(ForecastRecord& record, const ByteBuffer& body)
{
    std::u16string text = decode_feed_text(body.data(), body.size());
    runtime::XmlDocument document = runtime::XmlDocument::parse(without_declaration(text));
    // A missing parent finds nothing, so a body that is no feed ends with empty nodes.
    XmlNode rss = runtime::first_child_named(document.document(), u"rss");
    XmlNode channel = runtime::first_child_named(rss, u"channel");
    XmlNode item = runtime::first_child_named(channel, u"item");
    XmlNode condition = runtime::first_child_named(item, u"yweather:condition");
    bool readable = false;
    for (XmlNode child = item.first_child(); child; child = child.next_sibling()) {
        if (runtime::node_name(child) != u"yweather:forecast")
            continue;
        DayForecast day;
        bool read = runtime::get_attribute(child, u"low", day.low);
        read |= runtime::get_attribute(child, u"high", day.high);
        read |= runtime::get_attribute(child, u"code", day.code);
        std::u16string date;
        if (runtime::get_attribute(child, u"date", date))
            day.date = read_forecast_date(date);
        readable |= read || day.date != 0;
        record.days.push_back(day);
    }
    if (condition) {
        readable |= runtime::get_attribute(condition, u"temp", record.temp);
        readable |= runtime::get_attribute(condition, u"code", record.code);
        runtime::get_attribute(condition, u"date", record.rdate);
    }
    record.sample = bool(runtime::first_child_named(channel, u"nalo:sample"));
    runtime::get_log() << u"load_from_yahoo city = " << record.city << u"\n";
    return readable;
}

} // namespace ombrelo
