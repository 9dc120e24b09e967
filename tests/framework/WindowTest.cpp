// A real SDL window under an X server of the test's own (Xvfb on a free display): the
// pushed form shows in the window exactly as the headless run composes it, at zoom 1
// and 2 (each frame pixel a square of zoom x zoom window pixels). The window is read
// back with xwd and compared with the headless shot of the same frame in the frame's
// own 565 pixels (the window's 8-bit channels keep the 565 values in their top bits).
// The window process maps no GL library.
#include "DemoProcess.h"

#include "skin/draw/FramePng.h"
#include "support/TestSupport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

using namespace shell_test;
using namespace std::chrono_literals;

namespace {

bool exists(const std::string& path)
{
    struct stat s;
    return ::stat(path.c_str(), &s) == 0;
}

std::string find_program(const char* name)
{
    for (const char* folder : { "/usr/bin/", "/usr/local/bin/", "/bin/" }) {
        std::string path = std::string(folder) + name;
        if (::access(path.c_str(), X_OK) == 0)
            return path;
    }
    return {};
}

// An X server of its own on the first free display from :90 on.
class XServer {
public:
    bool start()
    {
        std::string xvfb = find_program("Xvfb");
        if (xvfb.empty())
            return false;
        for (int display = 90; display < 190; ++display) {
            std::string lock = "/tmp/.X" + std::to_string(display) + "-lock";
            std::string socket = "/tmp/.X11-unix/X" + std::to_string(display);
            if (exists(lock) || exists(socket))
                continue;
            std::string name = std::to_string(display);
            name.insert(name.begin(), ':');
            const char* argv[] = { xvfb.c_str(), name.c_str(), "-screen", "0", "800x800x24", "-nolisten", "tcp", nullptr };
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
            int spawned = posix_spawn(&m_pid, xvfb.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
            posix_spawn_file_actions_destroy(&actions);
            if (spawned != 0)
                return false;
            for (int i = 0; i < 500; ++i) {
                if (exists(socket)) {
                    m_display = name;
                    return true;
                }
                int status;
                if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
                    m_pid = -1; // another server took the number first
                    break;
                }
                std::this_thread::sleep_for(10ms);
            }
            stop();
        }
        return false;
    }
    void stop()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
        m_pid = -1;
    }
    ~XServer() { stop(); }
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid { -1 };
    std::string m_display;
};

uint32_t big32(const std::string& b, size_t at)
{
    auto u = [&](size_t i) { return uint32_t(uint8_t(b[at + i])); };
    return u(0) << 24 | u(1) << 16 | u(2) << 8 | u(3);
}

// The window's pixels from an xwd dump (ZPixmap, 24 or 32 bits a pixel) as 565 values.
bool read_xwd_565(const std::string& path, int& width, int& height, std::vector<uint16_t>& pixels, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 100) {
        error = "no xwd header";
        return false;
    }
    uint32_t header_size = big32(b, 0), format = big32(b, 8), byte_order = big32(b, 28), bits = big32(b, 44);
    uint32_t line = big32(b, 48), red_mask = big32(b, 56), ncolours = big32(b, 76);
    width = int(big32(b, 16));
    height = int(big32(b, 20));
    if (format != 2 || (bits != 32 && bits != 24) || red_mask != 0xFF0000) {
        error = "unexpected xwd pixel format";
        return false;
    }
    size_t data = header_size + size_t(ncolours) * 12;
    if (b.size() < data + size_t(line) * size_t(height)) {
        error = "xwd dump too short";
        return false;
    }
    pixels.clear();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            size_t at = data + size_t(y) * line + size_t(x) * (bits / 8);
            auto byte = [&](size_t i) { return uint32_t(uint8_t(b[at + i])); };
            uint32_t value = bits == 32 ? (byte_order == 0 ? byte(0) | byte(1) << 8 | byte(2) << 16 : byte(1) << 16 | byte(2) << 8 | byte(3))
                                        : (byte_order == 0 ? byte(0) | byte(1) << 8 | byte(2) << 16 : byte(0) << 16 | byte(1) << 8 | byte(2));
            uint32_t r = (value >> 16) & 0xFF, g = (value >> 8) & 0xFF, bl = value & 0xFF;
            pixels.push_back(uint16_t((r >> 3) << 11 | (g >> 2) << 5 | (bl >> 3)));
        }
    }
    return true;
}

std::vector<uint16_t> png_565(const skin::RgbImage& image)
{
    std::vector<uint16_t> out;
    for (size_t i = 0; i + 2 < image.rgb.size(); i += 3)
        out.push_back(uint16_t((image.rgb[i] >> 3) << 11 | (image.rgb[i + 1] >> 2) << 5 | (image.rgb[i + 2] >> 3)));
    return out;
}

// The GL, Mesa and LLVM libraries the process has mapped.
std::vector<std::string> gl_libraries(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::vector<std::string> found;
    for (std::string line; std::getline(maps, line);) {
        std::string name = line.substr(line.rfind('/') == std::string::npos ? line.size() : line.rfind('/') + 1);
        for (const char* mark : { "libGL", "libEGL", "libLLVM", "swrast", "_dri" })
            if (name.find(mark) != std::string::npos)
                found.push_back(name);
    }
    return found;
}

// The window's pixels, each zoom x zoom square taken back to one pixel when all of it
// has one value; 0xFFFF marks a square that does not.
std::vector<uint16_t> unzoom(const std::vector<uint16_t>& shown, int width, int height, int zoom)
{
    std::vector<uint16_t> out;
    for (int y = 0; y + zoom <= height; y += zoom) {
        for (int x = 0; x + zoom <= width; x += zoom) {
            uint16_t value = shown[size_t(y) * size_t(width) + size_t(x)];
            for (int dy = 0; dy < zoom; ++dy)
                for (int dx = 0; dx < zoom; ++dx)
                    if (shown[size_t(y + dy) * size_t(width) + size_t(x + dx)] != value)
                        value = 0xFFFF;
            out.push_back(value);
        }
    }
    return out;
}

class Window : public testing::TestWithParam<int> { };

} // namespace

INSTANTIATE_TEST_SUITE_P(Zoom, Window, testing::Values(1, 2));

TEST_P(Window, TheWindowShowsThePushedFormAsTheHeadlessRunComposesIt)
{
    int zoom = GetParam();
    std::string xwd = find_program("xwd");
    XServer server;
    if (xwd.empty() || !server.start())
        GTEST_SKIP() << "needs Xvfb and xwd (scripts/install-deps installs them)";
    std::string folder = test_support::scratch_folder("window" + std::to_string(zoom));
    std::string script = folder + "/script.txt";
    std::string window_shot = folder + "/window.png", headless_shot = folder + "/headless.png";
    // The same frame twice: first in the window, then headless.
    test_support::write_bytes(script, "text Berlin\nkey SOFT_RIGHT\nwait 0.6\nshot " + window_shot + "\nwait 30\nquit\n");
    std::string events = folder + "/events.txt";
    DemoProcess window({}, { "NALO_HEADLESS=0", "DISPLAY=" + server.display(), "NALO_ZOOM=" + std::to_string(zoom), "NALO_SCRIPT=" + script }, events);
    auto deadline = std::chrono::steady_clock::now() + 30s;
    while (!test_support::file_exists(window_shot) && window.running() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(test_support::file_exists(window_shot)) << window.standard_error();
    std::this_thread::sleep_for(200ms); // the shot is written after the frame was presented
    EXPECT_EQ(gl_libraries(window.pid()), std::vector<std::string>());
    std::string dump = folder + "/window.xwd";
    test_support::CommandResult grabbed
        = test_support::run_command("DISPLAY=" + server.display() + " " + xwd + " -silent -name ShellDemo -out " + dump + " 2>&1");
    EXPECT_EQ(grabbed.exit_code, 0) << grabbed.output;
    window.signal(SIGTERM);
    EXPECT_EQ(window.wait(10s), 0) << window.standard_error();

    test_support::write_bytes(script, "text Berlin\nkey SOFT_RIGHT\nwait 0.6\nshot " + headless_shot + "\nquit\n");
    DemoProcess headless({}, { "NALO_SCRIPT=" + script }, folder + "/headless.txt");
    EXPECT_EQ(headless.wait(30s), 0) << headless.standard_error();

    int width = 0, height = 0;
    std::vector<uint16_t> shown;
    std::string error;
    ASSERT_TRUE(read_xwd_565(dump, width, height, shown, error)) << error;
    EXPECT_EQ(width, 240 * zoom);
    EXPECT_EQ(height, 320 * zoom);
    shown = unzoom(shown, width, height, zoom);
    skin::RgbImage composed, presented;
    ASSERT_TRUE(skin::read_png(headless_shot, composed));
    ASSERT_TRUE(skin::read_png(window_shot, presented));
    EXPECT_EQ(png_565(presented), png_565(composed)) << "the window's own shot and the headless one";
    std::vector<uint16_t> expected = png_565(composed);
    ASSERT_EQ(shown.size(), expected.size());
    size_t differing = 0;
    for (size_t i = 0; i < shown.size(); ++i)
        differing += shown[i] != expected[i];
    EXPECT_EQ(differing, 0u) << "pixels of the window that differ from the headless frame";
}
