// Skins for the tests: sources compiled by skinc in a scratch folder, PNG pictures,
// and the test binary's own log.
#pragma once

#include "skin/file/PropertiesImpl.h"

#include "platform/TextEncoding.h"

#include <cstdint>
#include <string>
#include <vector>

namespace skin_test {

struct Rgba {
    uint8_t r, g, b, a;
};

// Writes a PNG of width x height pixels, given top row first.
void write_png(const std::string& path, int width, int height, const std::vector<Rgba>& pixels);
// A w x h opaque PNG of one colour.
void write_plain_png(const std::string& path, int width, int height);

// Compiles the source text (written as folder/name.xml) into folder/out/name.skin;
// returns the skin path, or fails the test with skinc's message.
std::string compile(const std::string& folder, const std::string& name, const std::string& source);
// The compiler's message for a bad source, empty when it compiled.
std::string compile_error(const std::string& folder, const std::string& name, const std::string& source);

std::u16string u16(const std::string& text);

// Turns the log on and empties it; log_text() is what was written since.
void start_log();
std::string log_text();
void stop_log();

} // namespace skin_test

#include "skin/nodes/SkinNode.h"

namespace skin_test {

// A node with a given measure, from the integer attributes "want_x", "min_x", "want_y"
// and "min_y" (registered as the type "measured").
class MeasuredNode : public skin::SkinNode {
public:
    void load(const skin::Properties& properties, skin::NodeBody body) override;
    void measure_x(skin::Measure& m) override { m = { m_want_x, m_min_x }; }
    void measure_y(skin::Measure& m) override { m = { m_want_y, m_min_y }; }

private:
    int m_want_x { 0 }, m_min_x { 0 }, m_want_y { 0 }, m_min_y { 0 };
};

// Registers the engine's node types and "measured" once per process.
void ensure_node_types();

} // namespace skin_test
