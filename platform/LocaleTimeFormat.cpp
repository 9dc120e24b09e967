#include "platform/LocaleTimeFormat.h"
#include "platform/TextEncoding.h"

#include <cstdlib>
#include <ctime>
#include <langinfo.h>

namespace platform {

namespace {

constexpr int categories = LC_TIME_MASK | LC_CTYPE_MASK;

std::unique_ptr<LocaleTimeFormat>& current_slot()
{
    static std::unique_ptr<LocaleTimeFormat> slot;
    return slot;
}

// The name setlocale would take from the environment for LC_TIME.
std::string environment_locale()
{
    for (const char* variable : { "LC_ALL", "LC_TIME", "LANG" })
        if (const char* value = std::getenv(variable); value && *value)
            return value;
    return "C";
}

// "de_DE.ISO-8859-1@euro" becomes "de_DE.UTF-8@euro".
std::string utf8_variant(const std::string& name)
{
    size_t modifier = name.find('@');
    std::string base = name.substr(0, modifier);
    std::string tail = modifier == std::string::npos ? std::string() : name.substr(modifier);
    return base.substr(0, base.find('.')) + ".UTF-8" + tail;
}

bool is_utf8(locale_t locale)
{
    std::string codeset = nl_langinfo_l(CODESET, locale);
    return codeset == "UTF-8" || codeset == "utf8";
}

struct Directive {
    size_t start { std::string::npos };
    size_t length { 0 };
};

// The first directive of the picture among the wanted conversion letters; flags ("-",
// "_", "0") and the modifiers "E" and "O" belong to it.
Directive find_directive(const std::string& picture, std::string_view letters)
{
    for (size_t i = 0; i + 1 < picture.size(); ++i) {
        if (picture[i] != '%')
            continue;
        size_t j = i + 1;
        while (j < picture.size() && std::string_view("-_0EO").find(picture[j]) != std::string_view::npos)
            ++j;
        if (j < picture.size() && letters.find(picture[j]) != std::string_view::npos)
            return { i, j + 1 - i };
        i = j; // past this directive (a "%%" included)
    }
    return {};
}

// The day and month picture after the locale's full date picture ("%a %-d. %b ..." gives
// "%-d. %B"), when that writes them in the same order as the short date; otherwise the
// plain "%B %d" or "%d %B".
std::string day_month_picture(const std::string& date_picture, bool month_first)
{
    std::string fallback = month_first ? "%B %d" : "%d %B";
    Directive day = find_directive(date_picture, "de");
    Directive month = find_directive(date_picture, "bBh");
    if (day.start == std::string::npos || month.start == std::string::npos || (month.start < day.start) != month_first)
        return fallback;
    const Directive& first = month_first ? month : day;
    const Directive& second = month_first ? day : month;
    std::string between = date_picture.substr(first.start + first.length, second.start - first.start - first.length);
    if (between.empty() || between.find('%') != std::string::npos)
        return fallback;
    std::string day_text = date_picture.substr(day.start, day.length);
    // A space-padded day would leave a double blank in the middle of the line.
    if (day_text.back() == 'e')
        day_text = day_text.find('O') != std::string::npos ? "%Od" : "%-d";
    return month_first ? "%B" + between + day_text : day_text + between + "%B";
}

bool is_ascii_punctuation(char c)
{
    return c == ':' || c == '.' || c == ',' || c == '-' || c == '\'';
}

// The locale's time picture with the seconds and their separator taken out:
// "%I:%M:%S %p" gives "%I:%M %p", "%H時%M分%S秒" gives "%H時%M分".
std::string time_picture_without_seconds(locale_t locale)
{
    std::string ampm = nl_langinfo_l(T_FMT_AMPM, locale);
    if (ampm.empty())
        ampm = "%I:%M:%S %p";
    std::string picture = nl_langinfo_l(T_FMT, locale);
    if (picture.empty())
        picture = "%H:%M:%S";
    std::string expanded;
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i] == '%' && i + 1 < picture.size()) {
            char c = picture[i + 1];
            if (c == 'T' || c == 'r' || c == 'R') {
                expanded += c == 'T' ? "%H:%M:%S" : c == 'r' ? ampm : "%H:%M";
                ++i;
                continue;
            }
            expanded += picture.substr(i, 2);
            ++i;
            continue;
        }
        expanded += picture[i];
    }
    Directive seconds = find_directive(expanded, "S");
    if (seconds.start == std::string::npos)
        return expanded;
    // The literal text between the previous directive and the seconds.
    size_t before = 0;
    for (size_t i = 0; i < seconds.start; ++i) {
        if (expanded[i] != '%')
            continue;
        size_t j = i + 1;
        while (j < seconds.start && std::string_view("-_0EO").find(expanded[j]) != std::string_view::npos)
            ++j;
        before = j + 1;
        i = j;
    }
    size_t after = seconds.start + seconds.length;
    std::string literal_before = expanded.substr(before, seconds.start - before);
    bool separator_before = !literal_before.empty();
    for (char c : literal_before)
        separator_before = separator_before && is_ascii_punctuation(c);
    if (separator_before)
        return expanded.substr(0, before) + expanded.substr(after);
    size_t end = after;
    while (end < expanded.size() && expanded[end] != '%' && expanded[end] != ' ')
        ++end;
    return expanded.substr(0, seconds.start) + expanded.substr(end);
}

} // namespace

LocaleTimeFormat::LocaleTimeFormat(std::string_view name)
    : m_name(name.empty() ? environment_locale() : std::string(name))
{
    // LC_CTYPE comes along: it names the code set of the texts that LC_TIME gives.
    m_locale = newlocale(categories, m_name.c_str(), locale_t(0));
    // The texts are UTF-16 in memory: a locale of another code set is taken in UTF-8.
    if (m_locale && !is_utf8(m_locale) && m_name != "C" && m_name != "POSIX") {
        if (locale_t utf8 = newlocale(categories, utf8_variant(m_name).c_str(), locale_t(0))) {
            freelocale(m_locale);
            m_locale = utf8;
        }
    }
    if (!m_locale) {
        m_name.assign(1, 'C'); // not = "C": GCC 12 warns falsely about that assignment
        m_locale = newlocale(categories, "C", locale_t(0));
    }
    SystemTime probe;
    probe.year = 2000;
    probe.month = 11;
    probe.day = 22;
    std::u16string sample = short_date(probe);
    size_t month = sample.find(u"11");
    size_t day = sample.find(u"22");
    m_month_first = month != std::u16string::npos && (day == std::u16string::npos || month < day);
    m_day_month = day_month_picture(nl_langinfo_l(_DATE_FMT, m_locale), m_month_first);
    m_time = time_picture_without_seconds(m_locale);
}

LocaleTimeFormat::~LocaleTimeFormat()
{
    if (m_locale)
        freelocale(m_locale);
}

const LocaleTimeFormat& LocaleTimeFormat::current()
{
    auto& slot = current_slot();
    if (!slot)
        slot = std::make_unique<LocaleTimeFormat>();
    return *slot;
}

void LocaleTimeFormat::replace_current(std::string_view name)
{
    current_slot() = std::make_unique<LocaleTimeFormat>(name);
}

std::u16string LocaleTimeFormat::short_date(const SystemTime& time) const
{
    return format("%x", time);
}

std::u16string LocaleTimeFormat::day_and_month(const SystemTime& time) const
{
    return format(m_day_month.c_str(), time);
}

std::u16string LocaleTimeFormat::time_without_seconds(const SystemTime& time) const
{
    return format(m_time.c_str(), time);
}

std::tm to_tm(const SystemTime& time)
{
    std::tm parts {};
    parts.tm_year = time.year - 1900;
    parts.tm_mon = time.month - 1;
    parts.tm_mday = time.day;
    parts.tm_hour = time.hour;
    parts.tm_min = time.minute;
    parts.tm_sec = time.second;
    parts.tm_wday = time.day_of_week;
    parts.tm_isdst = -1;
    return parts;
}

std::u16string LocaleTimeFormat::weekday_name(const SystemTime& time) const
{
    return format("%A", time);
}

std::u16string LocaleTimeFormat::format(const char* picture, const SystemTime& time) const
{
    // The weekday follows from the date itself, whatever the caller filled in.
    SystemTime t = time;
    int64_t count = 0;
    if (system_time_to_count(t, count))
        t.day_of_week = count_to_system_time(count).day_of_week;
    struct tm parts = to_tm(t);
    char buffer[256];
    size_t n = strftime_l(buffer, sizeof buffer, picture, &parts, m_locale);
    std::string_view text(buffer, n);
    return is_utf8(m_locale) ? from_utf8(text) : widen(text);
}

} // namespace platform
