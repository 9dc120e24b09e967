#include "ViewTestSupport.h"

#include "daemon/RequestMessage.h"

#include "platform/LocaleTimeFormat.h"
#include "platform/RequestQueue.h"
#include "platform/TextEncoding.h"

#include "skin/nodes/NodeFactory.h"

#include "skin/SkinTestSupport.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace app_test {

namespace fs = std::filesystem;

namespace {

const char* const font = "11 0 0 0 DejaVu Sans";

std::string sources(const std::string& suffix)
{
    std::string out = "<node anchor_x=\"MIN_SIDE\" anchor_y=\"MIN_SIDE\">";
    for (int code = 0; code <= 48; ++code) {
        std::string id = code < 48 ? "image" + std::to_string(code) : "imagebad";
        out += "<node id=\"" + id + "\" type=\"image\" src=\"c" + std::to_string(code) + suffix
            + ".png\" anchor_x=\"MIN_SIDE\" anchor_y=\"MIN_SIDE\"/>";
    }
    return out + "</node>";
}

std::string text_node(const std::string& id, const std::string& attributes)
{
    return "<node id=\"" + id + "\" type=\"text\" font=\"" + font + "\" color=\"#000000\" " + attributes + "/>";
}

std::string daemon_marker() { return app_folder() + "/daemon-starts.txt"; }

} // namespace

Colour condition_colour(int code)
{
    return { uint8_t(code * 5), uint8_t(255 - code * 5), uint8_t(code * 37 % 256) };
}

TestSkinParts test_skin_parts()
{
    TestSkinParts parts;
    parts.weather_view = "<node name=\"WeatherView\"><node type=\"color\" color=\"#ffffff\"/>"
        + text_node("ctext", "halign=\"LEFT\" anchor_y=\"MIN_SIDE\" design_size=\"0 20\"")
        + "<node id=\"image\" type=\"image\" src=\"c48.png\" anchor_x=\"MIN_SIDE\" anchor_y=\"MIN_SIDE\" "
          "border_min=\"4 24\" design_size=\"40 40\"/>"
        + text_node("wtext", "text=\"--\" halign=\"RIGHT\" anchor_y=\"MIN_SIDE\" border_min=\"50 24\" design_size=\"0 30\"")
        + text_node("mtext", "halign=\"RIGHT\" anchor_y=\"MIN_SIDE\" border_min=\"50 56\" design_size=\"0 14\"")
        + sources("") + "</node>";
    parts.weather_line = "<node name=\"WeatherLine\" design_size=\"0 20\"><node type=\"color\" color=\"#e0e0e0\"/>"
        + text_node("dtext1", "halign=\"LEFT\" anchor_x=\"MIN_SIDE\" design_size=\"70 0\"")
        + text_node("dtext2", "halign=\"LEFT\" anchor_x=\"MIN_SIDE\" border_min=\"70 0\" design_size=\"80 0\"")
        + "<node id=\"wimage\" type=\"image\" src=\"c48.png\" anchor_x=\"MAX_SIDE\" anchor_y=\"CENTER\" "
          "border_max=\"80 0\" design_size=\"16 16\"/>"
        + text_node("ttext1", "halign=\"RIGHT\" anchor_x=\"MAX_SIDE\" border_max=\"40 0\" design_size=\"40 0\"")
        + text_node("ttext2", "halign=\"RIGHT\" anchor_x=\"MAX_SIDE\" design_size=\"40 0\"")
        + sources("") + "</node>";
    parts.adv_screen = "<node name=\"AdvScreen\"><node type=\"color\" color=\"#ffffff\"/>"
        "<node id=\"image\" type=\"image\" src=\"c48.png\" anchor_x=\"CENTER\" anchor_y=\"MIN_SIDE\" design_size=\"40 40\"/>"
        + text_node("ctext", "anchor_y=\"MIN_SIDE\" border_min=\"0 50\" design_size=\"0 20\"")
        + "<node id=\"btnDwnld\" type=\"button\" bind_key=\"1\" anchor_y=\"MIN_SIDE\" border_min=\"10 80\" "
          "border_max=\"10 0\" design_size=\"0 30\"><node id=\"#normal\" type=\"color\" color=\"#0000ff\"/>"
        + text_node("wtext", "") + "</node>"
        + "<node id=\"btnIwin\" type=\"button\" bind_key=\"2\" anchor_y=\"MIN_SIDE\" border_min=\"10 120\" "
          "border_max=\"10 0\" design_size=\"0 30\"><node id=\"#normal\" type=\"color\" color=\"#00ff00\"/>"
        + text_node("mtext", "") + "</node></node>";
    return parts;
}

std::string test_skin_source(const TestSkinParts& parts)
{
    return "<skin>" + parts.weather_view + parts.weather_line + parts.adv_screen + "</skin>";
}

void ViewTest::SetUp()
{
    skin_test::ensure_node_types();
    reset_program_state();
    platform::LocaleTimeFormat::replace_current("en_US.UTF-8");
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    m_suffix = "view-test-" + std::to_string(getpid()) + "-" + name;
    setenv("NALO_QUEUE_SUFFIX", m_suffix.c_str(), 1);
    platform::RequestQueue::remove(ombrelo::request_queue_name);
    // The stand-in daemon: it notes each start beside itself.
    std::string daemon = app_folder() + "/Ombrelo";
    // Each start is noted with the test's queue, so that a late start of an earlier test
    // is not counted.
    std::ofstream(daemon) << "#!/bin/sh\necho \"$NALO_QUEUE_SUFFIX\" >> \"$(dirname \"$0\")/daemon-starts.txt\"\n";
    fs::permissions(daemon, fs::perms::owner_all);
    fs::remove(daemon_marker());
    m_skin = load_skin("test", test_skin_source(test_skin_parts()));
}

void ViewTest::TearDown()
{
    m_settings.reset();
    platform::RequestQueue::remove(ombrelo::request_queue_name);
    unsetenv("NALO_QUEUE_SUFFIX");
    reset_program_state();
}

std::unique_ptr<skin::PropertiesImpl> ViewTest::load_skin(const std::string& name, const std::string& source)
{
    std::string folder = test_support::scratch_folder("view-skin-" + name);
    for (int code = 0; code <= 48; ++code) {
        Colour c = condition_colour(code);
        skin_test::write_png(folder + "/c" + std::to_string(code) + ".png", 8, 8,
            std::vector<skin_test::Rgba>(64, skin_test::Rgba { c.r, c.g, c.b, 255 }));
    }
    std::string path = skin_test::compile(folder, name, source);
    auto properties = std::make_unique<skin::PropertiesImpl>();
    EXPECT_TRUE(properties->load_skin(platform::from_utf8(path), skin::ScreenInfo::make(240, 320, 96)));
    EXPECT_TRUE(properties->load_language(platform::from_utf8(std::string(NALO_PROGRAM_DIR) + "/english.lng")));
    return properties;
}

weather::Settings& ViewTest::start(const std::vector<std::pair<std::string, std::string>>& cities, bool sibling)
{
    std::string xml = "<Locations>";
    for (const auto& [name, code] : cities)
        xml += "<Item city=\"" + name + "\" city_code=\"" + code + "\"/>";
    test_support::write_bytes(settings_path(), xml + "</Locations>");
    set_sibling_installed(sibling);
    m_settings.reset();
    m_settings = std::make_unique<weather::Settings>();
    return *m_settings;
}

size_t ViewTest::queued_requests() const
{
    platform::RequestQueue queue;
    if (!queue.open(ombrelo::request_queue_name, { 10, 274, true }))
        return 0;
    return queue.waiting();
}

size_t ViewTest::daemon_starts(size_t expected) const
{
    // The stand-in runs on its own: wait for the starts expected (or, expecting none, a
    // moment for a start that should not come).
    auto count = [] {
        std::istringstream lines(read_text(daemon_marker()));
        const char* queue = std::getenv("NALO_QUEUE_SUFFIX");
        size_t n = 0;
        for (std::string line; std::getline(lines, line);)
            n += queue && line == queue;
        return n;
    };
    auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(expected ? 10000 : 300);
    while (count() < std::max<size_t>(expected, 1) && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return count();
}

std::string ViewTest::log() const
{
    return skin_test::log_text();
}

std::string text_of(const skin::TextNode& node)
{
    return platform::to_utf8(node.text());
}

} // namespace app_test
