// The Application in the test process, headless: its log lines, the listener's notices,
// a screen change, the platform type, frames of a scripted run, and the edit-field cases
// driven through scripted runs (typed text, Backspace, taps).
#include "ShellTestSupport.h"

#include "framework/FrameTimeOverlay.h"
#include "framework/GameBase.h"

#include "display/HeadlessDisplay.h"
#include "skin/SkinTestSupport.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/EditNode.h"
#include "skin/nodes/LabelEditNode.h"
#include "skin/nodes/NodeFactory.h"
#include "runtime/ActiveTimer.h"
#include "runtime/CActive.h"
#include "runtime/CActiveScheduler.h"
#include "runtime/Registry.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

using namespace framework;
using namespace shell_test;

namespace {

struct Notices : ApplicationListener, skin::EditNodeListener {
    std::vector<std::string> seen;
    void form_pushed(skin::SkinNode& form) override { seen.push_back("pushed " + platform::to_utf8(form.id())); }
    void form_removed(skin::SkinNode& form) override { seen.push_back("removed " + platform::to_utf8(form.id())); }
    void screen_changed() override
    {
        const auto& s = Application::singleton()->screen();
        seen.push_back("screen " + std::to_string(s.width) + "x" + std::to_string(s.height));
    }
    void text_changed(skin::EditNode& node) override { seen.push_back("text " + platform::to_utf8(node.text())); }
};

// A form that notes the seconds of every frame and the transition level it sees.
class TimedForm : public RecordingForm {
public:
    void life_cycle(double elapsed) override
    {
        RecordingForm::life_cycle(elapsed);
        steps.push_back(elapsed);
        levels.push_back(Application::singleton()->transition_level());
    }
    std::vector<double> steps;
    std::vector<int> levels;
};

const char* const forms = R"(
<node name="Main" id="main"><node type="color" color="#FFFFFF"/></node>
<node name="Dim" id="dim"><node type="color" color="#0000FF" anchor_x="CENTER" anchor_y="CENTER" design_size="20 20"/></node>
<node name="Fields" id="fields"><node type="color" color="#FFFFFF"/>
  <node id="city" type="label_edit" text="Type a city" anchor_y="MIN_SIDE" design_size="0 20">
    <node id="#edit" type="edit" font="10 0 0 0 Tahoma" halign="LEFT" border_max="20 0"/>
    <node id="#text" type="text" font="10 0 0 0 Tahoma" halign="LEFT" border_max="20 0"/>
    <node id="clear" type="button" anchor_x="MAX_SIDE" design_size="20 0"><node id="#normal"/></node>
  </node>
  <node id="plain" type="label_edit" text="Name" anchor_y="MIN_SIDE" border_min="0 30" design_size="0 20">
    <node id="#edit" type="edit" font="10 0 0 0 Tahoma" halign="LEFT"/>
    <node id="#text" type="text" font="10 0 0 0 Tahoma" halign="LEFT"/>
  </node>
  <node id="secret" type="edit" font="10 0 0 0 Tahoma" anchor_y="MIN_SIDE" border_min="0 60" design_size="0 20"/>
</node>
)";

} // namespace

TEST_F(ShellTest, ConstructionAndDestructionAreLoggedAndTheNodeTypesComeAndGo)
{
    app.reset();
    skin_test::start_log();
    app = std::make_unique<Application>(u"ShellTest");
    EXPECT_EQ(Application::singleton(), app.get());
    EXPECT_TRUE(skin::NodeFactory::is_registered(u"label_edit"));
    EXPECT_TRUE(skin::NodeFactory::is_registered(u"richtext"));
    EXPECT_FALSE(app->game().display().has_window());
    EXPECT_EQ(app->screen().width, 120);
    EXPECT_EQ(app->screen().height, 160);
    app.reset();
    std::string log = skin_test::log_text();
    skin_test::stop_log();
    EXPECT_EQ(Application::singleton(), nullptr);
    EXPECT_FALSE(skin::NodeFactory::is_registered(u"label_edit")) << "the types it registered go with it";
    EXPECT_NE(log.find("Application::Application() this="), std::string::npos);
    for (int step = 0; step <= 5; ++step)
        EXPECT_NE(log.find(" GameBase " + std::to_string(step) + "\n"), std::string::npos) << step;
    EXPECT_NE(log.find("Application::~Application()\n"), std::string::npos);
    app = std::make_unique<Application>(u"ShellTest");
}

TEST_F(ShellTest, ASecondApplicationIsAFatalError)
{
    skin_test::start_log();
    test_support::ChildResult child = test_support::run_in_child([] { Application second(u"Other"); });
    std::string log = skin_test::log_text();
    skin_test::stop_log();
    EXPECT_TRUE(child.exited);
    EXPECT_NE(log.find("Gluck: Singleton is already instantiated @ Singleton::Singleton()"), std::string::npos) << log;
}

TEST_F(ShellTest, ThePlatformTypeMakesASmartphoneWithoutRegardToCase)
{
    auto smartphone = [](const char* type) {
        return test_support::run_in_child([type] {
            if (type)
                ::setenv("NALO_PLATFORM", type, 1);
            else
                ::unsetenv("NALO_PLATFORM");
            _exit(Application::static_capability_is_smartphone() ? 1 : 0);
        }).exit_code;
    };
    EXPECT_EQ(smartphone(nullptr), 0) << "PocketPC by default";
    EXPECT_EQ(smartphone("Smartphone"), 1);
    EXPECT_EQ(smartphone("SMARTPHONE"), 1);
    EXPECT_EQ(smartphone("PocketPC"), 0);
}

TEST_F(ShellTest, TheListenerHearsOfFormsAndOfARealScreenChangeOnly)
{
    load_skin(forms);
    RecordingForm main, dim;
    build(main, u"Main");
    build(dim, u"Dim");
    Notices notices;
    app->set_listener(&notices);
    app->push_form(main, false, false);
    app->push_form(dim, true, false);
    EXPECT_EQ(app->top_form(), &dim);
    EXPECT_EQ(app->form_count(), 2u);
    EXPECT_TRUE(app->remove_form(dim, false));
    EXPECT_FALSE(app->remove_form(dim, false));
    EXPECT_EQ(notices.seen, (std::vector<std::string> { "pushed main", "pushed dim", "removed dim" }));

    auto& display = dynamic_cast<display::HeadlessDisplay&>(app->game().display());
    skin_test::start_log();
    EXPECT_FALSE(display.change_screen(display::ScreenDescription::make(120, 160, 96)));
    app->check_screen();
    EXPECT_EQ(notices.seen.size(), 3u) << "the same size: no notice";
    EXPECT_TRUE(display.change_screen(display::ScreenDescription::make(160, 120, 96)));
    app->check_screen();
    std::string log = skin_test::log_text();
    skin_test::stop_log();
    EXPECT_EQ(notices.seen.back(), "screen 160x120");
    EXPECT_EQ(app->screen().orientation, display::Orientation::landscape);
    EXPECT_EQ(main.size(), (skin::Point { 160, 120 })) << "laid out again";
    EXPECT_NE(log.find("Application::ResolutionChanged 2\n"), std::string::npos);
    app->set_listener(nullptr);
}

TEST_F(ShellTest, ScriptedFramesAreFourHundredthsAndADimmingFormLowersTheLevel)
{
    load_skin(forms);
    TimedForm main;
    RecordingForm dim;
    build(main, u"Main");
    build(dim, u"Dim");
    app->push_form(main, false, false);
    app->push_form(dim, true, false);
    EXPECT_EQ(run_script("wait 0.4\nquit\n"), 0);
    ASSERT_GE(main.steps.size(), 10u);
    for (double step : main.steps)
        EXPECT_DOUBLE_EQ(step, 0.04);
    EXPECT_EQ(std::vector<int>(main.levels.begin(), main.levels.begin() + 9),
        (std::vector<int> { 256, 240, 224, 208, 192, 176, 160, 144, 128 }));
    EXPECT_EQ(app->transition_level(), 128);
}

TEST_F(ShellTest, AScriptErrorEndsTheRunWithItsLineAndNothingRuns)
{
    load_skin(forms);
    RecordingForm main;
    build(main, u"Main");
    app->push_form(main, false, false);
    EXPECT_EQ(run_script("key Down\nkey Nowhere\n"), 2);
    EXPECT_TRUE(main.received.empty());
    EXPECT_EQ(run_script("key Down\nshot /nonexistent/folder/x.png\nkey Up\nquit\n"), 2);
    EXPECT_EQ(main.received, (std::vector<std::string> { "Down", "up Down" })) << "nothing after the failed shot";
}

TEST_F(ShellTest, EditFieldsThroughScriptedRuns)
{
    load_skin(forms);
    RecordingForm form;
    build(form, u"Fields");
    auto& city = static_cast<skin::LabelEditNode&>(*form.find_descendant(u"city"));
    auto& plain = static_cast<skin::LabelEditNode&>(*form.find_descendant(u"plain"));
    auto& secret = static_cast<skin::EditNode&>(*form.find_descendant(u"secret"));
    Notices notices;
    city.set_listener(&notices);
    secret.set_listener(&notices);
    secret.set_masked(true);
    app->switch_to_direct_mode(0);
    app->push_form(form, false, false);
    EXPECT_TRUE(city.prompt().visible());
    EXPECT_FALSE(city.clear_button()->visible());

    // A tap focuses the field; typing hides the prompt and shows "clear"; Right changes
    // nothing and tells nobody; Backspace twice empties the field again.
    EXPECT_EQ(run_script("tap 10 5\ntext B\nwait 0.04\nkey Right\ntext e\nkey Backspace\nkey Backspace\nwait 0.04\nquit\n"), 0);
    EXPECT_EQ(app->focused(), &city.edit());
    EXPECT_EQ(notices.seen, (std::vector<std::string> { "text B", "text Be", "text B", "text " }));
    EXPECT_TRUE(city.prompt().visible());
    EXPECT_FALSE(city.clear_button()->visible());

    EXPECT_EQ(run_script("text Rom\nwait 0.04\nquit\n"), 0);
    EXPECT_FALSE(city.prompt().visible());
    EXPECT_TRUE(city.clear_button()->visible());
    // The clear button empties it and brings the prompt back.
    skin::ButtonNode& clear = *city.clear_button();
    std::string tap = "tap " + std::to_string(clear.x() + 5) + " " + std::to_string(clear.y() + 5) + "\n";
    EXPECT_EQ(run_script(tap + "wait 0.04\nquit\n"), 0);
    EXPECT_EQ(city.text(), u"");
    EXPECT_TRUE(city.prompt().visible());
    EXPECT_FALSE(city.clear_button()->visible());

    // Without a clear button only the prompt toggles.
    EXPECT_EQ(run_script("tap 10 35\ntext x\nquit\n"), 0);
    EXPECT_EQ(app->focused(), &plain.edit());
    EXPECT_FALSE(plain.prompt().visible());
    EXPECT_EQ(run_script("key Backspace\nquit\n"), 0);
    EXPECT_TRUE(plain.prompt().visible());

    // Masked: the field shows stars, readers get the text.
    notices.seen.clear();
    EXPECT_EQ(run_script("tap 10 65\ntext abc\nwait 0.04\nquit\n"), 0);
    EXPECT_EQ(secret.shown_text(), u"***");
    EXPECT_EQ(secret.text(), u"abc");
    EXPECT_EQ(notices.seen, (std::vector<std::string> { "text abc" }));

    // A form gives a field the focus without a stylus; hiding the form takes it away.
    app->focus(&city.edit(), true);
    EXPECT_FALSE(app->direct_mode()) << "frames come from the timer while a field has the focus";
    EXPECT_EQ(run_script("text Oslo\nkey Down\nquit\n"), 0);
    EXPECT_EQ(city.text(), u"Oslo");
    EXPECT_EQ(form.received.back(), "up Down") << "Down still reaches the form";
    app->remove_form(form, false);
    EXPECT_EQ(app->focused(), nullptr);
    EXPECT_TRUE(app->direct_mode()) << "back in direct mode without a focused field";
}

TEST(FrameTimeOverlay, AverageInTenthsBracketedWhileNothingChangesAndColoursByThreshold)
{
    FrameTimeOverlay overlay;
    for (int i = 0; i < 25; ++i)
        overlay.add(i < 5 ? 100.0 : 12.34);
    EXPECT_NEAR(overlay.average(), 12.34, 1e-9) << "the last 20 frames only";
    EXPECT_EQ(overlay.text(true, 307200), u"12.3 ms 307 Kp");
    EXPECT_EQ(overlay.text(false, 0), u"[12.3 ms] 0 Kp");
    EXPECT_NE(FrameTimeOverlay::colour(19.9), FrameTimeOverlay::colour(20));
    EXPECT_NE(FrameTimeOverlay::colour(39.9), FrameTimeOverlay::colour(40));
    EXPECT_NE(FrameTimeOverlay::colour(59.9), FrameTimeOverlay::colour(60));
    EXPECT_EQ(FrameTimeOverlay::colour(60), FrameTimeOverlay::colour(500));
}

TEST_F(ShellTest, AMessageBoxWithoutAWindowGoesToStandardError)
{
    testing::internal::CaptureStderr();
    Application::message_box(u"No languages, please reinstall\nНе найдены языковые файлы, нужна переустановка\n", u"Weather");
    std::string text = testing::internal::GetCapturedStderr();
    EXPECT_EQ(text, "Weather: No languages, please reinstall\nНе найдены языковые файлы, нужна переустановка\n");
}

TEST_F(ShellTest, TheFocusLeavesAFieldWhenAnotherFormComesOnTopOrTheFieldGoes)
{
    load_skin(forms);
    RecordingForm fields, dim;
    build(fields, u"Fields");
    build(dim, u"Dim");
    app->push_form(fields, false, false);
    auto& secret = static_cast<skin::EditNode&>(*fields.find_descendant(u"secret"));
    app->focus(&secret, true);
    EXPECT_GE(app->caret(), 0);
    app->push_form(dim, true, false);
    EXPECT_EQ(app->focused(), nullptr) << "typing goes to the top form only";
    app->remove_form(dim, false);

    {
        RecordingForm other;
        build(other, u"Fields");
        auto& field = static_cast<skin::EditNode&>(*other.find_descendant(u"secret"));
        app->focus(&field, true);
        EXPECT_EQ(app->focused(), &field);
    }
    EXPECT_EQ(app->focused(), nullptr) << "a field that is destroyed is forgotten";
    EXPECT_EQ(app->caret(), -1);
}

TEST_F(ShellTest, TheInputPanelStateIsReadAtTheStartAndStoredWhenAFieldLosesTheFocus)
{
    const char16_t* key = u"HKEY_CURRENT_USER\\Software\\NALO";
    for (uint32_t preference : { 1u, 0u }) {
        app.reset();
        runtime::write_number(key, u"SIPPreference", preference);
        app = std::make_unique<Application>(u"ShellTest");
        EXPECT_EQ(app->game().panel_preference(), preference != 0);
        load_skin(forms);
        RecordingForm fields;
        build(fields, u"Fields");
        app->push_form(fields, false, false);
        app->focus(static_cast<skin::EditNode*>(fields.find_descendant(u"secret")), true);
        runtime::write_number(key, u"SIPPreference", 7);
        app->focus(nullptr, false);
        uint32_t stored = 99;
        EXPECT_TRUE(runtime::read_number(key, u"SIPPreference", stored));
        EXPECT_EQ(stored, preference) << "no screen keyboard here: the panel stays as the user left it";
        app->remove_form(fields, false);
    }
}

namespace {

// A half-second timer and a completion from another thread, as forms and pages use them.
struct Timed : runtime::TimerListener {
    int fired = 0;
    void on_timer(runtime::ActiveTimer&) override
    {
        ++fired;
        Application::singleton()->quit(7);
    }
};

struct Completion : runtime::CActive {
    bool ran = false;
    void RunL() override
    {
        ran = true;
        Application::singleton()->quit(8);
    }
    void DoCancel() override { }
};

} // namespace

TEST_F(ShellTest, TheLoopKeepsTheSchedulerRunningInDirectAndWindowedMode)
{
    load_skin(forms);
    RecordingForm main;
    build(main, u"Main");
    app->push_form(main, false, false);
    for (bool direct : { true, false }) {
        if (direct)
            app->switch_to_direct_mode(0);
        else
            app->switch_to_windowed_mode(false);
        Timed listener;
        runtime::ActiveTimer timer(listener);
        timer.after(0.1);
        EXPECT_EQ(app->run(), 7) << (direct ? "direct" : "windowed");
        EXPECT_EQ(listener.fired, 1);

        Completion completion;
        completion.set_active();
        std::thread worker([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            runtime::CActiveScheduler::current().notify(completion);
        });
        EXPECT_EQ(app->run(), 8);
        worker.join();
        EXPECT_TRUE(completion.ran);
    }
}

namespace {

// A static form that moves for a few frames when asked, noting where that began.
class WakingForm : public TimedForm {
public:
    void life_cycle(double elapsed) override
    {
        TimedForm::life_cycle(elapsed);
        if (moving > 0) {
            --moving;
            mark_dirty();
        }
    }
    int moving = 0;
};

struct Action : runtime::TimerListener {
    std::function<void()> run;
    void on_timer(runtime::ActiveTimer&) override { run(); }
};

} // namespace

TEST_F(ShellTest, AStaticFormLetsTheLoopRestAndWhatWakesItGetsFramesOfOrdinaryLength)
{
    load_skin(forms);
    for (bool direct : { true, false }) {
        WakingForm main;
        build(main, u"Main");
        app->push_form(main, false, false);
        if (direct)
            app->switch_to_direct_mode(0);
        else
            app->switch_to_windowed_mode(false);
        size_t woken_at = 0;
        Action wake, quit;
        wake.run = [&] {
            woken_at = main.steps.size();
            main.moving = 5;
        };
        quit.run = [&] { app->quit(7); };
        runtime::ActiveTimer wake_timer(wake), quit_timer(quit);
        wake_timer.after(1.5);
        quit_timer.after(2.6);
        EXPECT_EQ(app->run(), 7);
        const char* mode = direct ? "direct" : "windowed";
        // Without rests about 260 frames in direct mode and 65 in windowed mode; with them
        // the frames of 0.2 s after each change, and two a second.
        EXPECT_LT(main.steps.size(), direct ? 100u : 40u) << mode;
        ASSERT_GT(woken_at, 0u) << mode;
        ASSERT_GT(main.steps.size(), woken_at + 5) << mode;
        EXPECT_NE(std::find(main.steps.begin(), main.steps.begin() + long(woken_at), 0.1), main.steps.begin() + long(woken_at))
            << mode << ": a frame after a rest has the longest step";
        // Real-time frames: below the clamped step of a rest, however busy the machine
        // (an emulator's 40 ms frames came out at 60 ms).
        for (size_t i = woken_at; i < woken_at + 5; ++i)
            EXPECT_LT(main.steps[i], 0.1) << mode << ": frame " << i - woken_at << " after the timer";
        app->remove_form(main, false);
    }
}
