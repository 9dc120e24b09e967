// The first skin of tools/skinc/README.md compiles and renders, with the README's own
// commands, as the picture beside it shows; so the README cannot drift from skinc.
#include "skin/draw/FramePng.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <sstream>

using namespace skin;

namespace {

const std::string readme_dir = std::string(NALO_SOURCE_DIR) + "/tools/skinc";

// The text of the first block fenced as ```language after `from`; empty when none.
std::string fenced(const std::string& text, size_t from, const std::string& language)
{
    std::string opening = "\n```" + language + "\n";
    size_t start = text.find(opening, from);
    if (start == std::string::npos)
        return {};
    start += opening.size();
    size_t end = text.find("\n```", start);
    return end == std::string::npos ? std::string() : text.substr(start, end - start + 1);
}

} // namespace

TEST(SkincReadme, TheFirstSkinCompilesAndRendersAsShown)
{
    auto bytes = test_support::read_bytes(readme_dir + "/README.md");
    std::string readme(bytes.begin(), bytes.end());
    size_t section = readme.find("\n## A first skin\n");
    ASSERT_NE(section, std::string::npos);
    std::string source = fenced(readme, section, "xml");
    std::string commands = fenced(readme, section, "sh");
    ASSERT_NE(source.find("<skin>"), std::string::npos);
    std::smatch saved, picture;
    ASSERT_TRUE(std::regex_search(readme.cbegin() + std::ptrdiff_t(section), readme.cend(), saved,
        std::regex("Saved as `([a-z0-9_.-]+)`")));
    ASSERT_TRUE(std::regex_search(readme.cbegin() + std::ptrdiff_t(section), readme.cend(), picture,
        std::regex(R"(!\[[^\]]*\]\(([a-z0-9_.-]+\.png)\))")));

    std::string folder = test_support::scratch_folder("skinc-readme");
    test_support::write_bytes(folder + "/" + saved[1].str(), source);
    std::istringstream lines(commands);
    int run = 0;
    for (std::string line; std::getline(lines, line);) {
        ASSERT_EQ(line.rfind("skinc ", 0), 0u) << line;
        auto result = test_support::run_command("cd " + folder + " && " + NALO_TOOLS_DIR + "/" + line + " 2>&1");
        EXPECT_EQ(result.exit_code, 0) << line << ": " << result.output;
        EXPECT_EQ(result.output.find("skinc:"), std::string::npos) << line << ": " << result.output;
        ++run;
    }
    EXPECT_EQ(run, 2);

    RgbImage got, shown;
    ASSERT_TRUE(read_png(folder + "/" + picture[1].str(), got));
    std::string kept = readme_dir + "/" + picture[1].str();
    if (std::getenv("NALO_UPDATE_GOLDEN")) {
        test_support::run_command("cp " + folder + "/" + picture[1].str() + " " + kept);
    }
    ASSERT_TRUE(read_png(kept, shown));
    ASSERT_EQ(got.width, shown.width);
    ASSERT_EQ(got.height, shown.height);
    // The texts are antialiased by FreeType: small differences between its versions pass.
    long total = 0;
    int far_off = 0;
    for (size_t i = 0; i < got.rgb.size(); ++i) {
        int d = std::abs(int(got.rgb[i]) - int(shown.rgb[i]));
        total += d;
        far_off += d > 96;
    }
    EXPECT_LT(double(total) / double(got.rgb.size()), 1.0);
    EXPECT_LT(far_off, 40);
}
