// The secondary forms' tests: the shipped skins ("default" or "night") with the English
// texts, a headless Application whose form stack the forms use, Settings with the test's
// cities, a city database written by the test's own writer, and key, stylus and frame
// helpers that drive the forms as the shell does.
#pragma once

#include "AppTestSupport.h"

#include "app/Settings.h"

#include "framework/Application.h"

#include "skin/draw/RenderSurface.h"
#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/SkinNode.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace forms_test {

struct City {
    std::u16string code;
    std::u16string name;
};

// Writes a codes.dat of the entries (every length in one byte, or in `width` bytes after
// the byte -width when width is not 0) and returns its host path.
std::string write_codes(const std::string& name, const std::vector<City>& entries, int width = 0);
// Raw bytes of the file format, for damaged files.
std::string codes_count(int32_t count);
std::string codes_string(std::u16string_view text, int width = 0);

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The shipped skin of that name ("default", "night") with the English texts.
    void load_shipped_skin(const std::string& name);
    // Settings with these cities (name, code) in the settings file.
    weather::Settings& start(const std::vector<std::pair<std::string, std::string>>& cities, bool sibling = true);

    framework::Application& app() { return *m_app; }
    skin::PropertiesImpl& skin() { return *m_skin; }

    // A key down and up as the shell dispatches it to the top form.
    void key(int code);
    bool key_down(int code);
    // Stylus events on the top form, in screen coordinates.
    void press(skin::Point point);
    void move(skin::Point point);
    void release(skin::Point point);
    void tap(skin::Point point);
    // Frames of 0.04 s: the top form laid out on the screen, its life cycle run, drawn.
    void frames(int count);
    // The top form drawn on its own.
    skin::RenderSurface draw_top();
    // Messages and timers of the thread for the time (real time).
    void pump(std::chrono::milliseconds time);
    bool pump_until(const std::function<bool()>& condition, std::chrono::milliseconds limit);
    // Whether the shell was told to quit (the notice is taken).
    bool quit_requested();
    // Rows of a list as their texts, in row order, for the realized rows.
    std::string log() const;

    std::unique_ptr<skin::PropertiesImpl> m_skin;
    std::unique_ptr<weather::Settings> m_settings;
    std::unique_ptr<framework::Application> m_app;
};

std::string utf8(std::u16string_view text);
// The centre of a node.
skin::Point centre(const skin::SkinNode& node);

} // namespace forms_test
