// Full screen on a handheld's console: without a DRM device the program ends at once
// with one line naming what it tried.
#include "display/FullScreenCheck.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;
using test_support::run_command;

namespace {

struct DriCase {
    const char* name;
    const char* variable; // set for the check, with `value`; nullptr none
    const char* value;
    bool dangling_card;   // a card0 that cannot be opened
    bool openable_card;   // a card1 that opens
    const char* refusal;  // a part of the line, or nullptr for none
};

class FullScreenRefusal : public ::testing::TestWithParam<DriCase> {};

TEST_P(FullScreenRefusal, NamesWhatItTriedOrLetsSdlTry)
{
    const DriCase& c = GetParam();
    std::string dri = test_support::scratch_folder(std::string("dri-") + c.name);
    if (c.dangling_card)
        fs::create_symlink(dri + "/gone", dri + "/card0");
    if (c.openable_card)
        test_support::write_bytes(dri + "/card1", "");
    test_support::write_bytes(dri + "/renderD128", "");
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER" })
        unsetenv(name);
    if (c.variable)
        setenv(c.variable, c.value, 1);
    auto refusal = display::full_screen_refusal(dri);
    if (!c.refusal) {
        EXPECT_FALSE(refusal) << *refusal;
        return;
    }
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->find("NALO_FULLSCREEN=1 without X or Wayland needs a DRM device for SDL's KMSDRM driver; "), 0u)
        << *refusal;
    EXPECT_NE(refusal->find(c.refusal), std::string::npos) << *refusal;
    EXPECT_EQ(refusal->find("renderD128"), std::string::npos) << "render nodes cannot show anything: " << *refusal;
}

INSTANTIATE_TEST_SUITE_P(Consoles, FullScreenRefusal,
    ::testing::Values(DriCase { "no_device", nullptr, nullptr, false, false, "there is none in " },
        DriCase { "device_that_fails", nullptr, nullptr, true, false, "card0: No such file or directory)" },
        DriCase { "one_device_opens", nullptr, nullptr, true, true, nullptr },
        DriCase { "x_desktop", "DISPLAY", ":9", false, false, nullptr },
        DriCase { "wayland_desktop", "WAYLAND_DISPLAY", "wayland-9", false, false, nullptr },
        DriCase { "kmsdrm_asked_for", "SDL_VIDEODRIVER", "KMSDRM", false, false, "there is none in " },
        DriCase { "another_driver", "SDL_VIDEODRIVER", "offscreen", false, false, nullptr }),
    [](const auto& info) { return std::string(info.param.name); });

// The real program on this machine's console, which has no DRM device.
TEST(FullScreenWeather, EndsWithOneLineWhereNoDrmDeviceOpens)
{
    if (!display::full_screen_refusal())
        GTEST_SKIP() << "this machine has a DRM device that opens";
    auto run = run_command("cd " + std::string(NALO_PROGRAM_DIR) + " && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER"
        + " NALO_FULLSCREEN=1 timeout 20 ./Weather 2>&1 >/dev/null");
    EXPECT_EQ(run.exit_code, 1) << run.output;
    EXPECT_EQ(run.output, "Weather: " + *display::full_screen_refusal() + "\n");
}

} // namespace
