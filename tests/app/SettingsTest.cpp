// Settings and the city list: first starts with and without the sibling product, the
// advertising slot's place, the list limit, the settings file as outside data, the
// listener registry, the registry values and the removal of old cache files.
#include "AppTestSupport.h"

#include "app/Settings.h"
#include "app/SettingsFile.h"
#include "app/SettingsListener.h"

#include "runtime/Registry.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace weather;
using namespace app_test;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> names(const Settings& settings)
{
    std::vector<std::string> list;
    for (const CityRecord& record : settings.cities())
        list.push_back(utf8(record.name));
    return list;
}

// Records every notice; a hook may act while the notice is delivered.
class Recorder : public SettingsListener {
public:
    void on_settings_event(const SettingsEvent& event) override
    {
        events.push_back(event);
        if (hook)
            hook(event);
    }
    std::vector<SettingsEvent> events;
    std::function<void(const SettingsEvent&)> hook;
};

std::u16string read_registry_string(const char16_t* name)
{
    std::u16string text = u"(missing)";
    runtime::read_string(weather_key, name, text);
    return text;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { reset_program_state(); }
    void TearDown() override { reset_program_state(); }

    void write_settings(const std::string& xml) { test_support::write_bytes(settings_path(), xml); }
};

TEST_F(SettingsTest, FirstStartWithoutTheSiblingHoldsOnlyTheAdvertisingSlot)
{
    Settings settings;
    EXPECT_FALSE(settings.sibling_installed());
    EXPECT_EQ(names(settings), std::vector<std::string>({ "empty" }));
    EXPECT_TRUE(settings.has_advertising_slot());
    EXPECT_EQ(settings.real_city_count(), 0u);
    EXPECT_EQ(settings.update_time(), 360);
    EXPECT_TRUE(settings.degree());
    EXPECT_FALSE(settings.icon());

    ASSERT_TRUE(settings.save());
    EXPECT_EQ(read_text(settings_path()), "<Locations/>");
    EXPECT_EQ(read_registry_string(u"Top"), u""); // the slot has no code
    EXPECT_TRUE(settings_temporaries().empty());
}

TEST_F(SettingsTest, WithTheSiblingInstalledPositionsAreIndices)
{
    set_sibling_installed(true);
    write_settings("<Locations><Item city=\"Berlin\" city_code=\"02950159\"/><Item city=\"Oslo\" city_code=\"03143244\"/></Locations>");
    Settings settings;
    EXPECT_TRUE(settings.sibling_installed());
    EXPECT_EQ(names(settings), std::vector<std::string>({ "Berlin", "Oslo" }));
    EXPECT_FALSE(settings.has_advertising_slot());
    for (int32_t p = 0; p < 5; ++p)
        EXPECT_EQ(settings.adjusted_index(p), size_t(p));

    ASSERT_TRUE(settings.add_city(u"02643743", u"London"));
    EXPECT_EQ(names(settings), std::vector<std::string>({ "Berlin", "Oslo", "London" }));
    EXPECT_FALSE(settings.has_advertising_slot());
}

TEST_F(SettingsTest, TheFirstCityGoesBeforeTheAdvertisingSlotAndEveryChangeIsWritten)
{
    Settings settings;
    Recorder recorder;
    ASSERT_TRUE(settings.add_city(u"02950159", u"Berlin, Germany"));
    EXPECT_EQ(names(settings), std::vector<std::string>({ "Berlin, Germany", "empty" }));
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_TRUE(recorder.events[0].city_added);
    // Written at once, not only at the end of the program.
    EXPECT_EQ(read_text(settings_path()), "<Locations><Item city=\"Berlin, Germany\" city_code=\"02950159\"/></Locations>");

    ASSERT_TRUE(settings.add_city(u"03143244", u"Oslo"));
    EXPECT_EQ(names(settings), std::vector<std::string>({ "Berlin, Germany", "empty", "Oslo" }));
    // Row 1 of the forms is the city at record index 2.
    EXPECT_EQ(settings.adjusted_index(0), 0u);
    EXPECT_EQ(settings.adjusted_index(1), 2u);

    ASSERT_TRUE(settings.swap_cities(0, 1));
    EXPECT_EQ(names(settings), std::vector<std::string>({ "Oslo", "empty", "Berlin, Germany" }));
    ASSERT_EQ(recorder.events.size(), 3u);
    EXPECT_TRUE(recorder.events[2].cities_swapped);
    EXPECT_EQ(recorder.events[2].first, 0);
    EXPECT_EQ(recorder.events[2].second, 1);
    EXPECT_EQ(read_text(settings_path()),
        "<Locations><Item city=\"Oslo\" city_code=\"03143244\"/><Item city=\"Berlin, Germany\" city_code=\"02950159\"/></Locations>");
}

TEST_F(SettingsTest, RemovingTheFirstCityWithTheSlotPresent)
{
    write_settings("<Locations><Item city=\"A\" city_code=\"AAAA0001\"/><Item city=\"B\" city_code=\"BBBB0001\"/></Locations>");
    Settings settings;
    ASSERT_EQ(names(settings), std::vector<std::string>({ "A", "empty", "B" }));
    Recorder recorder;

    ASSERT_TRUE(settings.remove_city(0));
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_TRUE(recorder.events[0].city_removed);
    EXPECT_EQ(recorder.events[0].index, 0); // the unadjusted position
    EXPECT_EQ(names(settings), std::vector<std::string>({ "empty", "B" }));
    // What the page strip does next to keep the advertising page second.
    ASSERT_TRUE(settings.exchange_records(0, 1));
    EXPECT_EQ(names(settings), std::vector<std::string>({ "B", "empty" }));
    EXPECT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(read_text(settings_path()), "<Locations><Item city=\"B\" city_code=\"BBBB0001\"/></Locations>");

    // Positions that name no city change nothing and tell nobody.
    EXPECT_FALSE(settings.remove_city(1));
    EXPECT_FALSE(settings.remove_city(-1));
    EXPECT_FALSE(settings.swap_cities(0, 7));
    ASSERT_TRUE(settings.remove_city(0));
    EXPECT_EQ(names(settings), std::vector<std::string>({ "empty" }));
    EXPECT_FALSE(settings.remove_city(0)); // the slot is no city
    EXPECT_EQ(recorder.events.size(), 2u);
}

TEST_F(SettingsTest, AnyChildOfLocationsIsACityAndEveryRecordIsKept)
{
    write_settings("<?xml version=\"1.0\"?><!-- list --><Locations><City city=\"X\" city_code=\"XXXX0001\"/>"
                   "<!-- a comment --><?Item city=\"pi\"?><Item city=\"Y\"/><Item city=\"empty\" city_code=\"EEEE0001\"/>"
                   "<Place/></Locations><Locations><Item city=\"second root\"/></Locations>");
    {
        Settings settings;
        // The stored "empty" is a city like any other; missing attributes stay empty.
        EXPECT_EQ(names(settings), std::vector<std::string>({ "X", "empty", "Y", "empty", "" }));
        EXPECT_TRUE(settings.city(1).is_advertising());
        EXPECT_FALSE(settings.city(3).is_advertising());
        EXPECT_EQ(utf8(settings.city(3).code), "EEEE0001");
        EXPECT_FALSE(settings.has_notices());
        ASSERT_TRUE(settings.remove_city(0));
    }
    EXPECT_EQ(read_text(settings_path()), "<Locations><Item city=\"Y\" city_code=\"\"/>"
                                          "<Item city=\"empty\" city_code=\"EEEE0001\"/><Item city=\"\" city_code=\"\"/></Locations>");
}

TEST_F(SettingsTest, ADamagedFileIsKeptAsideAndItsReadableRecordsStay)
{
    struct Case {
        std::string bytes;
        std::vector<std::string> names; // with the slot
        bool damaged;
    };
    const std::string item = "<Item city=\"A\" city_code=\"AAAA0001\"/>";
    const std::vector<Case> cases = {
        { "", { "empty" }, false },
        { "not xml at all", { "empty" }, true },
        { "<Locations>" + item + "<Item city=\"B\" city_code=\"BBBB0001\"/><Item city=\"Cu", { "A", "empty", "B" }, true },
        { "<Locations>" + item + "<Item city=\"C\"/>", { "A", "empty" }, true }, // cut short: only whole records
        { "<Settings><Item city=\"A\"/></Settings>", { "empty" }, true },
        { "<Locations>" + item + "</Locations>" + std::string(1 << 20, ' '), { "empty" }, true }, // over 1 MiB
    };
    for (const Case& c : cases) {
        reset_program_state();
        write_settings(c.bytes);
        Settings settings;
        EXPECT_EQ(names(settings), c.names) << c.bytes.substr(0, 60);
        EXPECT_EQ(settings.has_notices(), c.damaged);
        if (!c.damaged)
            continue;
        // Byte for byte beside the new list, which holds what could be read.
        std::string aside = app_folder() + "/" + utf8(settings.damaged_file());
        EXPECT_TRUE(settings.damaged_file().starts_with(u"settings.xml.damaged-"));
        EXPECT_EQ(read_text(aside), c.bytes);
        std::vector<Settings::Notice> notices = settings.take_notices();
        ASSERT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices[0].count, int32_t(c.names.size() - 1));
        EXPECT_EQ(SettingsFile::read(settings_file_path).entries.size(), c.names.size() - 1);
    }
}

TEST_F(SettingsTest, ALaterDamagedFileNeverReplacesAnEarlierOne)
{
    std::vector<std::u16string> aside;
    for (const std::string bytes : { "first damage", "second damage" }) {
        write_settings(bytes);
        aside.push_back(Settings().damaged_file());
        EXPECT_EQ(read_text(app_folder() + "/" + utf8(aside.back())), bytes);
    }
    EXPECT_NE(aside[0], aside[1]);
    EXPECT_EQ(read_text(app_folder() + "/" + utf8(aside[0])), "first damage");
}

TEST_F(SettingsTest, OptionsComeFromTheRegistryAndGoBackAtSave)
{
    runtime::write_number(weather_key, u"Degree", 0u);
    runtime::write_number(weather_key, u"Icon", 7u);
    runtime::write_number(weather_key, u"UpdateTime", 0u);
    {
        Settings settings;
        EXPECT_FALSE(settings.degree());
        EXPECT_TRUE(settings.icon());
        EXPECT_EQ(settings.update_time(), 0); // "never" stays 0
        Recorder recorder;
        settings.set_degree(true);
        ASSERT_EQ(recorder.events.size(), 1u);
        EXPECT_TRUE(recorder.events[0].units_changed);
        settings.set_icon(false);
        settings.set_update_time(720);
        uint32_t stored = 0;
        ASSERT_TRUE(runtime::read_number(weather_key, u"UpdateTime", stored));
        EXPECT_EQ(stored, 720u); // at once
        ASSERT_TRUE(runtime::read_number(weather_key, u"Degree", stored));
        EXPECT_EQ(stored, 0u); // only at save
        settings.set_update_time(0);
        ASSERT_TRUE(settings.save());
    }
    uint32_t degree = 9, icon = 9, update = 9;
    ASSERT_TRUE(runtime::read_number(weather_key, u"Degree", degree));
    ASSERT_TRUE(runtime::read_number(weather_key, u"Icon", icon));
    ASSERT_TRUE(runtime::read_number(weather_key, u"UpdateTime", update));
    EXPECT_EQ(degree, 1u);
    EXPECT_EQ(icon, 0u);
    EXPECT_EQ(update, 0u);
    Settings again;
    EXPECT_EQ(again.update_time(), 0);
    EXPECT_TRUE(again.degree());
}

TEST_F(SettingsTest, PublishTopWritesTheFirstCitysWeather)
{
    write_cache("02950159", cache_xml("02950159", date_text_minutes_ago(5), 21, 28));
    write_cache("03143244", cache_xml("03143244", date_text_minutes_ago(5), -1000, 3));
    set_sibling_installed(true);
    Settings settings;
    ASSERT_TRUE(settings.add_city(u"02950159", u"Berlin"));
    ASSERT_TRUE(settings.add_city(u"03143244", u"Oslo"));
    settings.set_degree(false);
    settings.publish_top();
    EXPECT_EQ(read_registry_string(u"Top"), u"02950159");
    EXPECT_EQ(read_registry_string(u"TopTemp"), u"+69\u00B0"); // 21 °C in Fahrenheit
    uint32_t code = 0;
    ASSERT_TRUE(runtime::read_number(weather_key, u"TopCode", code));
    EXPECT_EQ(code, 28u);

    ASSERT_TRUE(settings.swap_cities(0, 1));
    settings.publish_top();
    EXPECT_EQ(read_registry_string(u"Top"), u"03143244");
    EXPECT_EQ(read_registry_string(u"TopTemp"), u""); // no temperature
    ASSERT_TRUE(settings.remove_city(0));
    ASSERT_TRUE(settings.remove_city(0));
    runtime::write_string(weather_key, u"TopTemp", u"stale");
    settings.publish_top();
    EXPECT_EQ(read_registry_string(u"Top"), u"");
    EXPECT_EQ(read_registry_string(u"TopTemp"), u"stale"); // nothing more is written for no city
}

TEST_F(SettingsTest, SaveRemovesCacheFilesOlderThanThreeWholeHours)
{
    write_cache("KEEP0001", "<Main/>", 3 * 60 + 59); // 3 whole hours: kept
    write_cache("GONE0001", "<Main/>", 4 * 60 + 1);  // 4 whole hours: deleted
    write_cache("NEW00001", "<Main/>", 0);
    std::string other = downloads_host_folder() + "/notes.txt";
    test_support::write_bytes(other, "x");
    set_minutes_old(other, 48 * 60);
    Settings settings;
    ASSERT_TRUE(settings.save());
    EXPECT_TRUE(fs::exists(downloads_host_folder() + "/_KEEP0001.xml"));
    EXPECT_FALSE(fs::exists(downloads_host_folder() + "/_GONE0001.xml"));
    EXPECT_TRUE(fs::exists(downloads_host_folder() + "/_NEW00001.xml"));
    EXPECT_TRUE(fs::exists(other)); // only "*.xml"
}

TEST_F(SettingsTest, ListenersMayComeAndGoDuringABroadcast)
{
    Settings settings;
    auto first = std::make_unique<Recorder>();
    auto second = std::make_unique<Recorder>();
    auto third = std::make_unique<Recorder>();
    std::unique_ptr<Recorder> late;
    std::vector<int> order;
    first->hook = [&](const SettingsEvent& e) {
        order.push_back(1);
        if (e.open_menu) {
            third.reset();                          // a later listener goes away
            late = std::make_unique<Recorder>();    // and a new one comes
        }
    };
    second->hook = [&](const SettingsEvent& e) {
        order.push_back(2);
        if (e.open_menu)
            second.reset();                         // unregisters itself while told
    };
    third->hook = [&](const SettingsEvent&) { order.push_back(3); };
    EXPECT_EQ(settings.listener_count(), 3u);

    SettingsEvent menu;
    menu.open_menu = true;
    settings.broadcast(menu);
    EXPECT_EQ(order, std::vector<int>({ 1, 2 }));
    EXPECT_EQ(first->events.size(), 1u);
    EXPECT_TRUE(late->events.empty()); // hears from the next notice on
    EXPECT_EQ(settings.listener_count(), 2u);

    SettingsEvent list;
    list.open_city_list = true;
    settings.broadcast(list);
    EXPECT_EQ(first->events.size(), 2u);
    ASSERT_EQ(late->events.size(), 1u);
    EXPECT_TRUE(late->events[0].open_city_list);

    // A notice sent from inside a notice reaches everyone too.
    late->hook = [&](const SettingsEvent& e) {
        if (e.open_city_list) {
            SettingsEvent inner;
            inner.units_changed = true;
            settings.broadcast(inner);
            late.reset();
        }
    };
    settings.broadcast(list);
    ASSERT_EQ(first->events.size(), 4u);
    EXPECT_TRUE(first->events[3].units_changed);
    EXPECT_EQ(settings.listener_count(), 1u);

    // Removing takes every entry of the listener.
    settings.add_listener(first.get());
    EXPECT_EQ(settings.listener_count(), 2u);
    settings.remove_listener(first.get());
    EXPECT_EQ(settings.listener_count(), 0u);
    first->events.clear();
    settings.broadcast(list);
    EXPECT_TRUE(first->events.empty());
}

TEST_F(SettingsTest, AListenerBuiltWithoutSettingsIsNotRegistered)
{
    Recorder early;
    Settings settings;
    EXPECT_EQ(settings.listener_count(), 0u);
    SettingsEvent event;
    settings.broadcast(event);
    EXPECT_TRUE(early.events.empty());
}

TEST_F(SettingsTest, NegativeUpdateTimeFallsBackOnTheDefaultAndStaysStoredUntilChosen)
{
    runtime::write_number(weather_key, u"UpdateTime", uint32_t(-5));
    uint32_t stored = 0;
    {
        Settings settings;
        EXPECT_EQ(settings.update_time(), 360);
        settings.save();
    }
    ASSERT_TRUE(runtime::read_number(weather_key, u"UpdateTime", stored));
    EXPECT_EQ(stored, uint32_t(-5));
    {
        Settings settings;
        settings.set_update_time(60);
    }
    ASSERT_TRUE(runtime::read_number(weather_key, u"UpdateTime", stored));
    EXPECT_EQ(stored, 60u);
}

} // namespace
