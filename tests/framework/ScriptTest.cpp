// Scripts as outside input (every command, refusals with their line numbers) and the
// runner's frames: waits, drags over frames, shots after the frame is presented.
#include "framework/FrameClock.h"
#include "framework/OutsideText.h"
#include "framework/Script.h"
#include "framework/ScriptRunner.h"

#include <gtest/gtest.h>

using namespace framework;
using Kind = ScriptCommand::Kind;

namespace {

std::string refusal(const std::string& text)
{
    std::string error;
    auto commands = Script::parse(text, error);
    EXPECT_FALSE(commands.has_value()) << text;
    return error;
}

struct Recorder : ScriptActions {
    std::vector<std::string> calls;
    bool shots_work = true;
    void script_key(int key, bool down) override { calls.push_back((down ? "down " : "up ") + std::to_string(key)); }
    void script_pointer(skin::Point p, Pointer kind) override
    {
        const char* names[] = { "press", "move", "release" };
        calls.push_back(std::string(names[int(kind)]) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
    }
    void script_text(std::u16string_view text) override { calls.push_back("text " + std::to_string(text.size())); }
    bool script_shot(const std::string& file) override
    {
        calls.push_back("shot " + file);
        return shots_work;
    }
    void script_quit() override { calls.push_back("quit"); }
};

} // namespace

TEST(Script, EveryCommandParsesWithItsArguments)
{
    std::string error;
    auto commands = Script::parse("# a comment\n\n  wait 0.5\r\nkey Esc\nkeydown Down\nkeyup Down\ntap 10 -2\n"
                                  "drag 1 2 30 40 0.2\ntext Grüße aus Köln \nshot out/a b.png\n  # indented comment\nquit\n",
        error);
    ASSERT_TRUE(commands) << error;
    ASSERT_EQ(commands->size(), 9u);
    const auto& c = *commands;
    EXPECT_EQ(c[0].kind, Kind::wait);
    EXPECT_DOUBLE_EQ(c[0].seconds, 0.5);
    EXPECT_EQ(c[0].line, 3);
    EXPECT_EQ(c[1].kind, Kind::key);
    EXPECT_EQ(c[1].virtual_key, 27);
    EXPECT_EQ(c[2].kind, Kind::keydown);
    EXPECT_EQ(c[2].virtual_key, 40);
    EXPECT_EQ(c[3].kind, Kind::keyup);
    EXPECT_EQ(c[4].from, (skin::Point { 10, -2 }));
    EXPECT_EQ(c[5].kind, Kind::drag);
    EXPECT_EQ(c[5].to, (skin::Point { 30, 40 }));
    EXPECT_DOUBLE_EQ(c[5].seconds, 0.2);
    EXPECT_EQ(c[6].text, u"Grüße aus Köln ") << "typed as it stands after one blank";
    EXPECT_EQ(c[7].file, "out/a b.png");
    EXPECT_EQ(c[8].kind, Kind::quit);
    EXPECT_EQ(c[8].line, 12);
}

TEST(Script, BadLinesAreRefusedWithTheirNumbers)
{
    EXPECT_EQ(refusal("wait 1\njump 3\n"), "line 2: unknown command \"jump\"");
    EXPECT_EQ(refusal("key\n"), "line 1: key takes 1 argument");
    EXPECT_EQ(refusal("key Escape\n"), "line 1: no key is named \"Escape\"");
    EXPECT_EQ(refusal("\n\ntap 1\n"), "line 3: tap takes 2 arguments");
    EXPECT_EQ(refusal("tap 1 x\n"), "line 1: \"x\" is not a coordinate");
    EXPECT_EQ(refusal("tap 1 999999999999\n"), "line 1: \"999999999999\" is not a coordinate");
    EXPECT_EQ(refusal("wait -1\n"), "line 1: wait needs seconds from 0 to 86400, not \"-1\"");
    EXPECT_EQ(refusal("wait 1e3\n"), "line 1: wait needs seconds from 0 to 86400, not \"1e3\"");
    EXPECT_EQ(refusal("wait 100000\n"), "line 1: wait needs seconds from 0 to 86400, not \"100000\"");
    EXPECT_EQ(refusal("drag 1 2 3 4\n"), "line 1: drag takes 5 arguments");
    EXPECT_EQ(refusal("shot   \n"), "line 1: shot needs a file name");
    EXPECT_EQ(refusal("quit now\n"), "line 1: quit takes 0 arguments");
    EXPECT_EQ(refusal("wait 1\ntext " + std::string(5000, 'a') + "\n"), "line 2: the line is longer than 4096 bytes");
    EXPECT_EQ(refusal("text ok\ntext \xC3\x28\n"), "line 2: the line is not valid UTF-8");
    EXPECT_EQ(refusal("text \xED\xA0\x80\n"), "line 1: the line is not valid UTF-8") << "an encoded surrogate";
    EXPECT_EQ(refusal("text \xC0\xAF\n"), "line 1: the line is not valid UTF-8") << "an overlong form";
    std::string error;
    EXPECT_FALSE(Script::load("/nonexistent/script", error));
    EXPECT_EQ(error, "cannot read the script");
}

TEST(Script, OutsideTextIsStrictUtf8WithinItsLimit)
{
    EXPECT_TRUE(is_valid_utf8(""));
    EXPECT_TRUE(is_valid_utf8("Grüße \xF0\x9F\x98\x80"));
    EXPECT_FALSE(is_valid_utf8("\xF0\x9F\x98")) << "cut at the end";
    EXPECT_FALSE(is_valid_utf8("\xF4\x90\x80\x80")) << "above U+10FFFF";
    EXPECT_FALSE(is_valid_utf8("\x80"));
    std::string error;
    EXPECT_EQ(decode_outside_text("abc", 3, error), std::u16string(u"abc"));
    EXPECT_FALSE(decode_outside_text("abcd", 3, error));
    EXPECT_EQ(error, "longer than 3 bytes");
    EXPECT_FALSE(decode_outside_text("\xFF", 3, error));
    EXPECT_EQ(error, "not valid UTF-8");
}

TEST(ScriptRunner, CommandsRunUntilOneTakesFramesAndShotsComeAfterTheFrame)
{
    std::string error;
    auto commands = Script::parse("key A\ntap 5 6\nwait 0.12\ntext hi\nshot a.png\ndrag 0 0 30 60 0.12\nkey B\nwait 0\nquit\n", error);
    ASSERT_TRUE(commands);
    Recorder actions;
    ScriptRunner runner(std::move(*commands), actions);
    runner.before_frame(); // key, tap, then the first of three frames of waiting
    EXPECT_EQ(actions.calls, (std::vector<std::string> { "down 65", "up 65", "press 5,6", "release 5,6" }));
    EXPECT_TRUE(runner.after_frame());
    runner.before_frame();
    runner.before_frame();
    EXPECT_EQ(actions.calls.size(), 4u) << "still waiting";
    runner.before_frame(); // text, then the shot takes this frame
    EXPECT_EQ(actions.calls.back(), "text 2");
    EXPECT_TRUE(runner.after_frame());
    EXPECT_EQ(actions.calls.back(), "shot a.png") << "written once the frame is presented";
    runner.before_frame(); // the drag presses
    EXPECT_EQ(actions.calls.back(), "press 0,0");
    runner.before_frame();
    runner.before_frame();
    EXPECT_EQ(actions.calls.back(), "move 20,40");
    runner.before_frame();
    EXPECT_EQ(actions.calls[actions.calls.size() - 2], "move 30,60");
    EXPECT_EQ(actions.calls.back(), "release 30,60");
    EXPECT_FALSE(runner.finished());
    runner.before_frame(); // key B, wait 0 takes no frame, quit
    EXPECT_EQ(actions.calls.back(), "quit");
    EXPECT_TRUE(runner.finished());
    size_t count = actions.calls.size();
    runner.before_frame();
    EXPECT_EQ(actions.calls.size(), count) << "nothing after quit";
}

TEST(ScriptRunner, AShotThatCannotBeWrittenStopsTheScriptWithItsLine)
{
    std::string error;
    auto commands = Script::parse("\nshot /nonexistent/x.png\nkey A\n", error);
    ASSERT_TRUE(commands);
    Recorder actions;
    actions.shots_work = false;
    ScriptRunner runner(std::move(*commands), actions);
    runner.before_frame();
    EXPECT_FALSE(runner.after_frame());
    EXPECT_EQ(runner.error(), "line 2: cannot write the shot /nonexistent/x.png");
    runner.before_frame();
    EXPECT_EQ(actions.calls.size(), 1u) << "no command after the failure";
}

TEST(FrameClock, SecondsAreClampedAndAFixedStepWins)
{
    FrameClock clock(1000);
    EXPECT_DOUBLE_EQ(clock.tick(1040), 0.04);
    EXPECT_DOUBLE_EQ(clock.tick(1040), 0.001) << "no time at all counts as a millisecond";
    EXPECT_DOUBLE_EQ(clock.tick(6040), 0.1) << "a long pause advances by a tenth";
    EXPECT_DOUBLE_EQ(clock.tick(6040 + 100), 0.1);
    // The tick count wraps around.
    clock.reset(0xFFFFFFF0u);
    EXPECT_DOUBLE_EQ(clock.tick(0x10), 0.032);
    clock.set_fixed(0.04);
    EXPECT_DOUBLE_EQ(clock.tick(0x10 + 900), 0.04);
    EXPECT_DOUBLE_EQ(clock.tick(0x10 + 900), 0.04);
}
