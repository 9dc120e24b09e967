// The pop-up menu in scripted runs of its test program on the shipped skins and
// languages: the shell delivers the taps and keys, the catalogues switch, and the shots
// of every step are kept in the shots folder beside the program for a look.
#include "CatalogueTestSupport.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace catalogue_test;

namespace {

const std::u16string app = u"PopupDemo";

class PopupRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear_choices(app);
        folder = test_support::scratch_folder("popup-run");
        shots = std::filesystem::path(POPUP_DEMO).parent_path().string() + "/shots";
        std::filesystem::create_directories(shots);
    }
    void TearDown() override { clear_choices(app); }

    // Runs the program with the script (the shots named NAME go to the shots folder as
    // PREFIX-NAME.png) and returns its notices.
    std::vector<std::string> run(const std::string& prefix, std::string script, const std::string& screen = "240x320")
    {
        for (size_t at = script.find("shot "); at != std::string::npos; at = script.find("shot ", at + 1))
            script.insert(at + 5, shots + "/" + prefix + "-");
        test_support::write_bytes(folder + "/script.txt", script + "quit\n");
        std::filesystem::remove(folder + "/events.txt");
        std::string command = "NALO_HEADLESS=1 LC_ALL=C NALO_SCREEN=" + screen + " NALO_SCRIPT=" + folder
            + "/script.txt NALO_DEMO_EVENTS=" + folder + "/events.txt " + POPUP_DEMO + " 2>&1";
        test_support::CommandResult result = test_support::run_command(command);
        EXPECT_EQ(result.exit_code, 0) << result.output;
        std::ifstream in(folder + "/events.txt");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool shot_exists(const std::string& name) const { return test_support::file_exists(shots + "/" + name + ".png"); }

    std::string folder;
    std::string shots;
};

using Lines = std::vector<std::string>;

TEST_F(PopupRun, KeysChooseALanguageAndBackCancels)
{
    // 5 opens the language pop-up: english (current), german, russian, Cancel. The first
    // Down slides the highlight onto german.
    Lines events = run("default",
        "wait 0.5\nkey 5\nwait 0.6\nshot language.png\n"
        "key Down\nwait 0.3\nshot language-highlight.png\nkey Enter\nwait 0.6\nshot german.png\n"
        "key 4\nwait 0.6\nshot update.png\nkey Esc\nwait 0.6\n");
    EXPECT_EQ(events, (Lines { "loaded english default", "popup Language 4", "language german",
                          "popup Language#german 0", "popup UpdateTime 6", "popup Cancel 0", "ended 0" }));
    EXPECT_EQ(read_choice(app, u"Language"), u"german");
    EXPECT_TRUE(shot_exists("default-language"));
    EXPECT_TRUE(shot_exists("default-german"));
}

TEST_F(PopupRun, ATapChoosesASkinAndTheCurrentOneChangesNothing)
{
    // 6 opens the skin pop-up: Light (current), Dark, Cancel; its rows start at y 124.
    // The language pop-up has one row more, so its rows start at y 106.
    Lines events = run("default", "wait 0.5\nkey 6\nwait 0.6\nshot skin.png\ntap 120 178\nwait 0.8\nshot night.png\n");
    EXPECT_EQ(events, (Lines { "loaded english default", "popup Skin 3", "skin night", "popup Skin#night 0", "ended 0" }));
    EXPECT_EQ(read_choice(app, u"Skin"), u"night");

    // The next start loads the night skin; choosing it again changes and writes nothing.
    write_choice(app, u"Skin", u"NIGHT");
    events = run("night",
        "wait 0.5\nkey 6\nwait 0.6\nshot skin.png\ntap 120 178\nwait 0.6\n"
        "key 5\nwait 0.6\nshot language.png\ntap 120 124\nwait 0.6\nkey 4\nwait 0.6\nshot update.png\ntap 5 5\nwait 0.6\n");
    EXPECT_EQ(events, (Lines { "loaded english night", "popup Skin 3", "popup Skin#night 0", "popup Language 4",
                          "popup Language#english 0", "popup UpdateTime 6", "popup Cancel 0", "ended 0" }));
    EXPECT_EQ(read_choice(app, u"Skin"), u"NIGHT");
    EXPECT_EQ(read_choice(app, u"Language"), u"");
    EXPECT_TRUE(shot_exists("night-update"));
}

TEST_F(PopupRun, ALandscapeScreenKeepsTheLongestMenuReachable)
{
    // Six entries do not fit under the caption at 240 pixels: drag, then tap the last one.
    Lines events = run("landscape",
        "wait 0.5\nkey 4\nwait 0.6\nshot update.png\ndrag 160 200 160 40 0.3\nwait 1.5\nshot update-scrolled.png\n"
        "tap 160 205\nwait 0.6\n",
        "320x240");
    EXPECT_EQ(events, (Lines { "loaded english default", "popup UpdateTime 6", "popup Cancel 0", "ended 0" }));
}

} // namespace
