#include "FormsTestSupport.h"

#include "app/ReorderList.h"

#include "platform/MessageQueue.h"
#include "platform/TextEncoding.h"

#include "skin/draw/Drawing.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/NodeFactory.h"
#include "skin/nodes/StylusEvent.h"

#include "skin/SkinTestSupport.h"
#include "support/MessagePump.h"
#include "support/TestSupport.h"

#include <cstdlib>

namespace forms_test {

namespace {

std::string le(uint32_t value, int width)
{
    std::string out;
    for (int i = 0; i < width; ++i)
        out += char(value >> (8 * i) & 0xFF);
    return out;
}

} // namespace

std::string codes_count(int32_t count)
{
    return le(uint32_t(count), 4);
}

std::string codes_string(std::u16string_view text, int width)
{
    std::string out;
    if (width == 0) {
        out += char(text.size());
    } else {
        out += char(-width);
        out += le(uint32_t(text.size()), width);
    }
    for (char16_t c : text)
        out += le(c, 2);
    return out;
}

std::string write_codes(const std::string& name, const std::vector<City>& entries, int width)
{
    std::string bytes = codes_count(int32_t(entries.size()));
    for (const City& city : entries)
        bytes += codes_string(city.code, width) + codes_string(city.name, width);
    std::string path = test_support::scratch_folder("codes-" + name) + "/codes.dat";
    test_support::write_bytes(path, bytes);
    return path;
}

std::string utf8(std::u16string_view text)
{
    return platform::to_utf8(text);
}

skin::Point centre(const skin::SkinNode& node)
{
    return { node.x() + node.width() / 2, node.y() + node.height() / 2 };
}

void FormsTest::SetUp()
{
    setenv("NALO_HEADLESS", "1", 1);
    setenv("NALO_SCREEN", "240x320@96", 1);
    unsetenv("NALO_SCRIPT");
    skin_test::ensure_node_types();
    if (!skin::NodeFactory::is_registered(weather::ReorderList::type_name))
        skin::NodeFactory::register_class<weather::ReorderList>(weather::ReorderList::type_name);
    app_test::reset_program_state();
    skin_test::start_log();
    m_app = std::make_unique<framework::Application>(u"FormsTest");
    load_shipped_skin("default");
}

void FormsTest::TearDown()
{
    quit_requested();
    m_settings.reset();
    m_app.reset();
    m_skin.reset();
    app_test::reset_program_state();
}

void FormsTest::load_shipped_skin(const std::string& name)
{
    m_skin = std::make_unique<skin::PropertiesImpl>();
    std::string program = NALO_PROGRAM_DIR;
    ASSERT_TRUE(m_skin->load_skin(platform::from_utf8(program + "/skins/bin/" + name + ".skin"),
        skin::ScreenInfo::make(240, 320, 96)));
    ASSERT_TRUE(m_skin->load_language(platform::from_utf8(program + "/english.lng")));
}

weather::Settings& FormsTest::start(const std::vector<std::pair<std::string, std::string>>& cities, bool sibling)
{
    std::string xml = "<Locations>";
    for (const auto& [name, code] : cities)
        xml += "<Item city=\"" + name + "\" city_code=\"" + code + "\"/>";
    test_support::write_bytes(app_test::settings_path(), xml + "</Locations>");
    app_test::set_sibling_installed(sibling);
    m_settings.reset();
    m_settings = std::make_unique<weather::Settings>();
    return *m_settings;
}

bool FormsTest::key_down(int code)
{
    return m_app->dispatch({ code, true, true });
}

void FormsTest::key(int code)
{
    m_app->dispatch({ code, true, true });
    m_app->dispatch({ code, false, true });
}

void FormsTest::press(skin::Point point)
{
    if (skin::SkinNode* form = m_app->top_form())
        form->stylus({ point, false, true, false });
}

void FormsTest::move(skin::Point point)
{
    if (skin::SkinNode* form = m_app->top_form())
        form->stylus({ point, true, true, false });
}

void FormsTest::release(skin::Point point)
{
    if (skin::SkinNode* form = m_app->top_form())
        form->stylus({ point, false, false, false });
}

void FormsTest::tap(skin::Point point)
{
    press(point);
    release(point);
}

void FormsTest::frames(int count)
{
    for (int i = 0; i < count; ++i) {
        skin::SkinNode* form = m_app->top_form();
        if (!form)
            return;
        skin::place_on_screen(*form, 240, 320);
        form->life_cycle(0.04);
        draw_top();
    }
}

skin::RenderSurface FormsTest::draw_top()
{
    skin::RenderSurface surface(240, 320);
    if (skin::SkinNode* form = m_app->top_form()) {
        skin::place_on_screen(*form, 240, 320);
        form->draw_node(surface, { 0, 0 });
    }
    return surface;
}

void FormsTest::pump(std::chrono::milliseconds time)
{
    test_support::pump_for(time);
}

bool FormsTest::pump_until(const std::function<bool()>& condition, std::chrono::milliseconds limit)
{
    return test_support::pump_until(condition, limit);
}

bool FormsTest::quit_requested()
{
    platform::Message message;
    platform::MessageFilter filter { 0, platform::message_quit, platform::message_quit };
    bool found = false;
    while (platform::MessageQueue::current().peek(message, true, filter))
        found = true;
    return found;
}

std::string FormsTest::log() const
{
    return skin_test::log_text();
}

} // namespace forms_test
