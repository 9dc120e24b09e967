// A headless Application in the test process with a form of a small test skin (fixed
// font metrics) that records the keys and characters it receives.
#pragma once

#include "framework/Application.h"

#include "skin/file/PropertiesImpl.h"
#include "skin/nodes/FormNode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace shell_test {

// A form that notes every key event and character that reaches it.
class RecordingForm : public skin::FormNode {
public:
    bool key(const input::KeyEvent& event) override;
    bool char_input(char16_t c) override;
    std::vector<std::string> received;
};

// "Down Left" style: the names of the codes of key downs, "up X" for key ups.
std::string describe(const input::KeyEvent& event);

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Compiles the form source (the body of <skin>) and builds the named form from it.
    void load_skin(const std::string& source);
    void build(RecordingForm& form, const char16_t* name);
    // Runs the loop with the script; its exit code.
    int run_script(const std::string& script);

    std::unique_ptr<framework::Application> app;
    skin::PropertiesImpl skin;
    std::string folder;
};

} // namespace shell_test
