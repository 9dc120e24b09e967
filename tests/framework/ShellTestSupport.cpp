#include "ShellTestSupport.h"

#include "skin/FixedFont.h"
#include "skin/SkinTestSupport.h"

#include "platform/TextEncoding.h"
#include "support/TestSupport.h"

#include <cstdlib>

namespace shell_test {

std::string describe(const input::KeyEvent& event)
{
    std::string name = platform::to_utf8(input::key_name(event.code));
    if (!event.pressed)
        return "up " + name;
    return event.first ? name : name + " repeat";
}

bool RecordingForm::key(const input::KeyEvent& event)
{
    received.push_back(describe(event));
    return FormNode::key(event);
}

bool RecordingForm::char_input(char16_t c)
{
    received.push_back("char " + platform::to_utf8(std::u16string(1, c)));
    return true;
}

void ShellTest::SetUp()
{
    ::setenv("NALO_HEADLESS", "1", 1);
    ::setenv("NALO_SCREEN", "120x160@96", 1);
    ::unsetenv("NALO_SCRIPT");
    skin_test::use_fixed_fonts();
    folder = test_support::scratch_folder("shell");
    app = std::make_unique<framework::Application>(u"ShellTest");
}

void ShellTest::TearDown()
{
    ::unsetenv("NALO_SCRIPT");
    app.reset();
}

void ShellTest::load_skin(const std::string& source)
{
    std::string path = skin_test::compile(folder, "forms", "<skin>" + source + "</skin>");
    ASSERT_TRUE(skin.load_skin(skin_test::u16(path), app->screen()));
}

void ShellTest::build(RecordingForm& form, const char16_t* name) { form.build(skin, name); }

int ShellTest::run_script(const std::string& script)
{
    std::string path = folder + "/script.txt";
    test_support::write_bytes(path, script);
    ::setenv("NALO_SCRIPT", path.c_str(), 1);
    int code = app->run();
    ::unsetenv("NALO_SCRIPT");
    return code;
}

} // namespace shell_test
