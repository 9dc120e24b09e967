// Keys from the keyboard to the forms: SDL keys to virtual keys to key codes, the repeat
// flag, the log lines, the listener first and the soft keys without it, and the
// emergency call dialled through a fake phone library.
#include "ShellTestSupport.h"

#include "framework/EmergencyCall.h"
#include "framework/GameBase.h"
#include "framework/VirtualKeys.h"

#include "platform/TextEncoding.h"
#include "runtime/Registry.h"
#include "skin/nodes/EditNode.h"
#include "skin/SkinTestSupport.h"
#include "support/TestSupport.h"

#include <SDL_keycode.h>

#include <cstdlib>
#include <gtest/gtest.h>

using namespace framework;
using namespace shell_test;

TEST(KeyTable, KeyboardKeysBecomeTheKeyCodesOfTheTable)
{
    struct Case {
        int32_t sdl;
        int virtual_key;
        const char16_t* name;
    };
    const Case cases[] = {
        { SDLK_LEFT, 37, u"Left" }, { SDLK_UP, 38, u"Up" }, { SDLK_RIGHT, 39, u"Right" }, { SDLK_DOWN, 40, u"Down" },
        { SDLK_RETURN, 13, u"Enter" }, { SDLK_KP_ENTER, 13, u"Enter" }, { SDLK_ESCAPE, 27, u"Backspace" },
        { SDLK_BACKSPACE, 8, u"Backspace" }, { SDLK_TAB, 9, u"Tab" }, { SDLK_SPACE, 32, u"Space" },
        { SDLK_PAGEUP, 33, u"PageUp" }, { SDLK_PAGEDOWN, 34, u"PageDown" }, { SDLK_HOME, 36, u"Home" }, { SDLK_END, 35, u"End" },
        { SDLK_INSERT, 45, u"Insert" }, { SDLK_DELETE, 46, u"Del" }, { SDLK_a, 65, u"A" }, { SDLK_z, 90, u"Z" },
        { SDLK_0, 48, u"0" }, { SDLK_9, 57, u"9" }, { SDLK_KP_0, 96, u"0" }, { SDLK_KP_7, 103, u"7" },
        { SDLK_KP_MULTIPLY, 106, u"*" }, { SDLK_KP_PLUS, 107, u"+" }, { SDLK_KP_MINUS, 109, u"-" }, { SDLK_KP_PERIOD, 110, u"." },
        { SDLK_KP_DIVIDE, 111, u"/" }, { SDLK_F1, 112, u"SOFT_LEFT" }, { SDLK_F2, 113, u"SOFT_RIGHT" },
        { SDLK_F3, 114, u"CALL_MAKE" }, { SDLK_F4, 115, u"CALL_END" }, { SDLK_F6, 117, u"VOLUME_UP" },
        { SDLK_F7, 118, u"VOLUME_DOWN" }, { SDLK_F8, 119, u"*" }, { SDLK_F9, 120, u"#" }, { SDLK_LSHIFT, 16, u"Shift" },
        { SDLK_RCTRL, 17, u"Ctrl" }, { SDLK_LALT, 18, u"Alt" }, { SDLK_APPLICATION, 93, u"ContextMenu" },
        // Keys the table has no code for reach the forms as None.
        { SDLK_F5, 116, u"None" }, { SDLK_F12, 123, u"None" }, { SDLK_SEMICOLON, 186, u"None" }, { SDLK_CAPSLOCK, 0, u"None" },
    };
    for (const Case& c : cases) {
        int key = virtual_key_of_sdl(c.sdl);
        EXPECT_EQ(key, c.virtual_key) << c.sdl;
        EXPECT_EQ(input::key_name(input::key_code_of_virtual_key(key)), c.name) << c.sdl;
    }
}

TEST(KeyTable, ScriptKeyNamesPressTheirKeys)
{
    EXPECT_EQ(virtual_key_of_name(u"Esc"), 27) << "the phone's Back key";
    EXPECT_EQ(virtual_key_of_name(u"Backspace"), 8);
    EXPECT_EQ(virtual_key_of_name(u"A"), 65);
    EXPECT_EQ(virtual_key_of_name(u"7"), 55);
    EXPECT_EQ(virtual_key_of_name(u"*"), 106);
    EXPECT_EQ(virtual_key_of_name(u"#"), 120);
    EXPECT_EQ(virtual_key_of_name(u"SOFT_RIGHT"), 113);
    EXPECT_EQ(virtual_key_of_name(u"CALL_MAKE"), 114);
    EXPECT_EQ(virtual_key_of_name(u"Del"), 46);
    for (const char16_t* none : { u"None", u"SLIDE", u"esc", u"left", u"", u"F1" })
        EXPECT_EQ(virtual_key_of_name(none), 0) << platform::to_utf8(none);
    // Every name of a code that a key gives leads back to that code.
    for (int code = 1; code < input::key_code_count; ++code) {
        int key = virtual_key_of_name(input::key_name(code));
        if (code == input::key_esc)
            EXPECT_EQ(key, 27) << "Escape, which gives Backspace";
        else if (code == input::key_slide)
            EXPECT_EQ(key, 0) << "never produced from keys";
        else
            EXPECT_EQ(input::key_code_of_virtual_key(key), code) << platform::to_utf8(input::key_name(code));
    }
}

TEST(KeyTable, TheTypingSessionKeepsItsEditingKeysAndTheKeysThatType)
{
    for (int key : { 8, 46, 37, 39, 36, 35 })
        EXPECT_TRUE(edits_text(key)) << key;
    for (int key : { 38, 40, 13, 27, 112, 113, 9 })
        EXPECT_FALSE(edits_text(key) || types_text(key)) << key << " still reaches the forms";
    for (int key : { 32, 65, 90, 48, 57, 96, 106, 111, 186, 222 })
        EXPECT_TRUE(types_text(key)) << key;
}

TEST(Emergency, NumbersFromTheRegistryOrTheDefault)
{
    const char16_t* key = u"HKEY_CURRENT_USER\\Software\\NALO";
    runtime::delete_key(std::u16string(key) + u"\\EmergencyTest");
    runtime::write_string(key, u"EmergencyNumbers", u"");
    EXPECT_TRUE(EmergencyCall(u"").numbers().empty());
    runtime::write_string(key, u"EmergencyNumbers", u" 999; ;12345;");
    EmergencyCall call(EmergencyCall::registry_numbers());
    EXPECT_EQ(call.numbers(), (std::vector<std::u16string> { u"999", u"12345" }));
    runtime::delete_key(key);
    EXPECT_EQ(EmergencyCall::registry_numbers(), u"112;911");
}

namespace {

class Keys : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        phone_log = folder + "/phone.txt";
        ::setenv("NALO_FAKE_PHONE_LOG", phone_log.c_str(), 1);
        load_skin("<node name=\"F\"><node type=\"color\" color=\"#FFFFFF\"/>"
                  "<node id=\"e\" type=\"edit\" font=\"10 0 0 0 Tahoma\" anchor_y=\"MIN_SIDE\" design_size=\"0 20\"/></node>");
        build(form, u"F");
        app->push_form(form, false, false);
    }
    void press(int key)
    {
        app->key_message(key, true, false);
        app->key_message(key, false, false);
    }
    void type_digits(const char* digits)
    {
        for (const char* d = digits; *d; ++d)
            press(*d);
    }
    std::string dialled() const
    {
        if (!test_support::file_exists(phone_log))
            return "";
        std::vector<uint8_t> bytes = test_support::read_bytes(phone_log);
        return std::string(bytes.begin(), bytes.end());
    }
    // The downs the form received.
    std::vector<std::string> downs() const
    {
        std::vector<std::string> out;
        for (const std::string& r : form.received)
            if (r.rfind("up ", 0) != 0)
                out.push_back(r);
        return out;
    }

    RecordingForm form;
    std::string phone_log;
};

struct Consumer : ApplicationListener {
    std::vector<std::string> seen;
    bool consume = true;
    bool key_event(const input::KeyEvent& event) override
    {
        seen.push_back(describe(event));
        return consume;
    }
};

} // namespace

TEST_F(Keys, TypedDigitsThatEndWithAnEmergencyNumberDialItAndTheTalkKeyGoesNoFurther)
{
    type_digits("112");
    app->key_message(114, true, false);
    EXPECT_EQ(dialled(), "28 1 112\n");
    EXPECT_TRUE(app->game().suspended()) << "the call has the screen until the next input";
    app->key_message(114, false, false);
    EXPECT_FALSE(app->game().suspended());
    EXPECT_EQ(downs(), (std::vector<std::string> { "1", "1", "2" })) << "the digits reach the form, the talk key not";

    type_digits("0112");
    press(114);
    EXPECT_EQ(dialled(), "28 1 112\n28 1 112\n") << "the digits end with the number";
    type_digits("911");
    press(114);
    EXPECT_EQ(dialled(), "28 1 112\n28 1 112\n28 1 911\n");
}

TEST_F(Keys, TheTalkKeyWithoutANumberDialsNothingAndReachesTheForm)
{
    skin_test::start_log();
    press(114);
    EXPECT_EQ(dialled(), "");
    EXPECT_NE(skin_test::log_text().find("try call \n"), std::string::npos);
    EXPECT_EQ(downs(), (std::vector<std::string> { "CALL_MAKE" }));
    // Another key clears the digits; a key without a code leaves them.
    type_digits("11");
    press(37);
    press('2');
    press(114);
    EXPECT_EQ(dialled(), "");
    type_digits("11");
    press(124);
    press('2');
    press(114);
    EXPECT_EQ(dialled(), "28 1 112\n");
    std::string log = skin_test::log_text();
    skin_test::stop_log();
    // The talk key without a match left "2"; the key without a code left "11".
    EXPECT_NE(log.find("try call 2\n"), std::string::npos);
    EXPECT_NE(log.find("try call 2112\nemergency call 112\n"), std::string::npos);
    EXPECT_NE(log.find("WM_KEYDOWN = 124(None) lParam=1 ticks="), std::string::npos);
    EXPECT_NE(log.find("WM_KEYUP = 37(Left) lParam=-1073741823 ticks="), std::string::npos);
}

TEST_F(Keys, TheListenerSeesKeysFirstButNotTheSoftKeysAndRepeatsAreMarked)
{
    Consumer listener;
    app->set_listener(&listener);
    press(40);
    EXPECT_EQ(listener.seen, (std::vector<std::string> { "Down", "up Down" }));
    EXPECT_TRUE(form.received.empty()) << "consumed by the listener";
    skin_test::start_log();
    press(112);
    std::string log = skin_test::log_text();
    skin_test::stop_log();
    EXPECT_EQ(listener.seen.size(), 2u) << "soft keys come as hot keys, past the listener";
    EXPECT_EQ(form.received, (std::vector<std::string> { "SOFT_LEFT", "up SOFT_LEFT" }));
    EXPECT_NE(log.find("WM_HOTKEY = 112(SOFT_LEFT) lParam=7340032 ticks="), std::string::npos) << log;

    listener.consume = false;
    form.received.clear();
    app->key_message(40, true, false);
    app->key_message(40, true, true);
    app->key_message(40, false, false);
    app->key_message(27, true, false);
    EXPECT_EQ(form.received, (std::vector<std::string> { "Down", "Down repeat", "up Down", "Backspace" }));
    app->set_listener(nullptr);
}

TEST_F(Keys, WhileAnEditFieldTypesUpDownEnterBackAndTheSoftKeysStillReachTheForm)
{
    auto& edit = static_cast<skin::EditNode&>(*form.find_descendant(u"e"));
    app->focus(&edit, true);
    EXPECT_EQ(app->focused(), &edit);
    EXPECT_FALSE(app->direct_mode()) << "frames come from the timer while typing";
    app->text_message(u"Lond");
    press(8);
    app->text_message(u"x");
    press(37);
    press(37);
    press(46);
    press('Q'); // the key of a typed letter: its text comes as text input
    EXPECT_EQ(edit.text(), u"Lox");
    EXPECT_EQ(app->caret(), 2);
    for (int key : { 38, 40, 13, 27, 112, 113 })
        press(key);
    EXPECT_EQ(downs(), (std::vector<std::string> { "Up", "Down", "Enter", "Backspace", "SOFT_LEFT", "SOFT_RIGHT" }));
    app->focus(nullptr, false);
    EXPECT_EQ(app->caret(), -1);
    app->switch_to_direct_mode(0);
    EXPECT_TRUE(app->direct_mode());
    app->text_message(u"ab");
    EXPECT_EQ(form.received.back(), "char b") << "without a field, typed text goes to the top form";
}
