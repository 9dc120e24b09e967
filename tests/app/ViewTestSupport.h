// The forecast pages' tests: a small test skin compiled with skinc (the templates
// "WeatherView", "WeatherLine" and "AdvScreen" with a picture of its own colour for every
// condition), the shipped English language file, a request queue of the test's own and a
// stand-in "Ombrelo" in the test binary's folder that only notes that it was started.
#pragma once

#include "AppTestSupport.h"

#include "app/Settings.h"
#include "app/WeatherView.h"

#include "skin/file/PropertiesImpl.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace app_test {

// The colour of the test skin's picture for a condition (48 for "imagebad").
struct Colour {
    uint8_t r, g, b;
};
Colour condition_colour(int code);

// The template sources; a template may be left out or given other content.
struct TestSkinParts {
    std::string weather_view;
    std::string weather_line;
    std::string adv_screen;
};
TestSkinParts test_skin_parts();
std::string test_skin_source(const TestSkinParts& parts);

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads a skin compiled from the source, with the English texts.
    std::unique_ptr<skin::PropertiesImpl> load_skin(const std::string& name, const std::string& source);
    // Settings with these cities (name, code) in the settings file; the sibling product
    // installed unless asked otherwise.
    weather::Settings& start(const std::vector<std::pair<std::string, std::string>>& cities, bool sibling = true);

    // Requests waiting in the queue, and how often the stand-in daemon was started (given
    // the starts expected, so that it can wait for them).
    size_t queued_requests() const;
    size_t daemon_starts(size_t expected) const;
    std::string log() const;

    skin::PropertiesImpl& skin() { return *m_skin; }

    std::unique_ptr<skin::PropertiesImpl> m_skin;
    std::unique_ptr<weather::Settings> m_settings;
    std::string m_suffix;
};

std::string text_of(const skin::TextNode& node);

} // namespace app_test
