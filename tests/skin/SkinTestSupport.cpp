#include "SkinTestSupport.h"

#include "skin/SkinNodeTypes.h"
#include "skin/compiler/SkinCompiler.h"

#include "support/TestSupport.h"

#include "platform/HostPath.h"
#include "platform/TextEncoding.h"
#include "runtime/Log.h"
#include "runtime/Paths.h"
#include "runtime/Registry.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <png.h>

namespace skin_test {

void write_png(const std::string& path, int width, int height, const std::vector<Rgba>& pixels)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = PNG_FORMAT_RGBA;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr)) << path;
}

void write_plain_png(const std::string& path, int width, int height)
{
    write_png(path, width, height, std::vector<Rgba>(size_t(width * height), Rgba { 10, 200, 30, 255 }));
}

std::string compile_error(const std::string& folder, const std::string& name, const std::string& source)
{
    std::filesystem::create_directories(folder + "/out");
    test_support::write_bytes(folder + "/" + name + ".xml", source);
    std::string error;
    // The tests' own node types: "measured" and "counter" are registered by the tests that
    // use them, "bogus" never, to see the engine refuse it.
    static constexpr std::string_view test_types[] = { "measured", "counter", "bogus" };
    if (skinc::compile_skin(folder + "/" + name + ".xml", folder + "/out/" + name + ".skin", error, test_types))
        return {};
    return error.empty() ? "?" : error;
}

std::string compile(const std::string& folder, const std::string& name, const std::string& source)
{
    std::string error = compile_error(folder, name, source);
    EXPECT_EQ(error, "");
    return folder + "/out/" + name + ".skin";
}

std::u16string u16(const std::string& text) { return platform::from_utf8(text); }

namespace {

const char16_t* const nalo = u"HKEY_CURRENT_USER\\Software\\NALO";

// The log of the running test binary: the temp folder and the program's own name.
std::string log_path()
{
    return std::string(std::getenv("NALO_TEMP")) + "/" + platform::to_utf8(runtime::file_name_part(platform::executable_path())) + ".txt";
}

} // namespace

void start_log()
{
    runtime::write_number(nalo, u"Log", 0);
    runtime::get_log();
    runtime::write_number(nalo, u"Log", 1);
    runtime::get_log(); // a fresh file
}

std::string log_text() { return test_support::read_utf16_file(log_path()); }

void stop_log()
{
    runtime::write_number(nalo, u"Log", 0);
    runtime::get_log();
}

} // namespace skin_test

#include "skin/file/Properties.h"
#include "skin/nodes/NodeFactory.h"

namespace skin_test {

void MeasuredNode::load(const skin::Properties& p, skin::NodeBody body)
{
    SkinNode::load(p, body);
    m_want_x = p.get_integer(body, u"want_x", 0);
    m_min_x = p.get_integer(body, u"min_x", m_want_x);
    m_want_y = p.get_integer(body, u"want_y", 0);
    m_min_y = p.get_integer(body, u"min_y", m_want_y);
}

void ensure_node_types()
{
    static bool done = [] {
        skin::register_skin_node_types();
        skin::NodeFactory::register_class<MeasuredNode>(u"measured");
        return true;
    }();
    (void)done;
}

} // namespace skin_test
