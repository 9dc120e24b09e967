// The frame recorder: 16-bit bitmaps of the frames with the pointer picture drawn in,
// deflated into a zip archive that unzip accepts, started by the shell when the pointer
// picture is in the temp folder.
#include "ShellTestSupport.h"

#include "framework/BitmapFile.h"
#include "framework/FrameRecorder.h"
#include "framework/GameBase.h"

#include "platform/TextEncoding.h"
#include "skin/file/Load565.h"
#include "support/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace framework;

namespace {

uint32_t u32(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24; }

std::string temp() { return std::getenv("NALO_TEMP"); }

// A 4 x 4 pointer: a white cross on the transparent key.
std::vector<uint8_t> pointer_bitmap()
{
    skin::RenderSurface s(4, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            s.buffer().at(x, y) = (x == 1 || y == 1) ? 0xFFFF : skin::transparent_key;
    return bitmap_file_565(s.buffer());
}

test_support::CommandResult unzip(const std::string& arguments) { return test_support::run_command("unzip " + arguments + " 2>&1"); }

} // namespace

TEST(BitmapFile, SixteenBitRowsBottomUpPaddedToFourBytes)
{
    skin::RenderSurface s(3, 2);
    const skin::Pixel values[2][3] = { { 0x0001, 0x0002, 0x0003 }, { 0xF800, 0x07E0, 0x001F } };
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            s.buffer().at(x, y) = values[y][x];
    std::vector<uint8_t> file = bitmap_file_565(s.buffer());
    ASSERT_EQ(file.size(), 66u + 2 * 8);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(u32(file, 2), file.size());
    EXPECT_EQ(u32(file, 10), 66u) << "pixels after the headers and the three masks";
    EXPECT_EQ(u32(file, 18), 3u);
    EXPECT_EQ(u32(file, 22), 2u) << "positive height: bottom-up";
    EXPECT_EQ(file[28], 16);
    EXPECT_EQ(u32(file, 30), 3u) << "bit fields";
    EXPECT_EQ(u32(file, 54), 0xF800u);
    EXPECT_EQ(u32(file, 58), 0x07E0u);
    EXPECT_EQ(u32(file, 62), 0x001Fu);
    // The bottom row comes first, padded with zeros.
    EXPECT_EQ(file[66], 0x00);
    EXPECT_EQ(file[67], 0xF8);
    EXPECT_EQ(file[72], 0);
    EXPECT_EQ(file[73], 0);
    skin::SharedPicture back = skin::decode_565(file.data(), file.size(), u"test");
    ASSERT_TRUE(back);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(back->pixels().at(x, y), values[y][x]);
}

TEST(FrameRecorder, FramesWithThePointerGoIntoAnArchiveThatUnzipAccepts)
{
    std::string folder = test_support::scratch_folder("recorder");
    std::vector<uint8_t> pointer = pointer_bitmap();
    test_support::write_bytes(folder + "/pointer.bmp", std::string(pointer.begin(), pointer.end()));
    test_support::write_bytes(folder + "/frames.zip", "an older archive");
    FrameRecorder recorder;
    EXPECT_FALSE(recorder.start(platform::from_utf8(folder + "/missing.bmp"), platform::from_utf8(folder + "/none.zip")));
    EXPECT_FALSE(test_support::file_exists(folder + "/none.zip")) << "no pointer picture, no archive";
    ASSERT_TRUE(recorder.start(platform::from_utf8(folder + "/pointer.bmp"), platform::from_utf8(folder + "/frames.zip")));
    skin::RenderSurface frame(10, 8);
    for (int i = 0; i < 3; ++i) {
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x)
                frame.buffer().at(x, y) = skin::Pixel(0x1000 * i + 0x21);
        EXPECT_TRUE(recorder.add(frame.buffer(), { 5, 3 }));
    }
    EXPECT_EQ(recorder.frame_count(), 3);
    recorder.close();

    EXPECT_EQ(unzip("-tq " + folder + "/frames.zip").exit_code, 0);
    test_support::CommandResult listing = test_support::run_command("zipinfo -1 " + folder + "/frames.zip");
    EXPECT_EQ(listing.output, "00000.bmp\n00001.bmp\n00002.bmp\n");
    test_support::CommandResult comments = unzip("-z " + folder + "/frames.zip");
    EXPECT_NE(comments.output.find("no comment"), std::string::npos) << comments.output;
    test_support::CommandResult verbose = test_support::run_command("zipinfo -v " + folder + "/frames.zip");
    EXPECT_NE(verbose.output.find("deflated"), std::string::npos);

    test_support::CommandResult entry = test_support::run_command("unzip -p " + folder + "/frames.zip 00002.bmp");
    std::vector<uint8_t> bytes(entry.output.begin(), entry.output.end());
    skin::SharedPicture picture = skin::decode_565(bytes.data(), bytes.size(), u"00002.bmp");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 10);
    EXPECT_EQ(picture->height(), 8);
    EXPECT_EQ(picture->pixels().at(0, 0), 0x2021);
    EXPECT_EQ(picture->pixels().at(6, 3), 0xFFFF) << "the pointer's cross at the pointer";
    EXPECT_EQ(picture->pixels().at(5, 3), 0x2021) << "its transparent corner leaves the frame";
}

namespace {

class RecordingShell : public shell_test::ShellTest {
protected:
    void SetUp() override
    {
        std::vector<uint8_t> pointer = pointer_bitmap();
        test_support::write_bytes(temp() + "/NaloRecordPicture.bmp", std::string(pointer.begin(), pointer.end()));
        test_support::write_bytes(temp() + "/framework_tests.zip", "an older archive");
        ShellTest::SetUp();
    }
    void TearDown() override
    {
        ShellTest::TearDown();
        std::remove((temp() + "/NaloRecordPicture.bmp").c_str());
    }
};

} // namespace

TEST_F(RecordingShell, ThePointerPictureInTheTempFolderRecordsEveryFrameOfTheScreen)
{
    ASSERT_TRUE(app->game().recorder().active());
    EXPECT_DOUBLE_EQ(app->game().clock().fixed(), 0.04);
    load_skin("<node name=\"F\"><node type=\"color\" color=\"#336699\"/></node>");
    shell_test::RecordingForm form;
    build(form, u"F");
    app->push_form(form, false, false);
    EXPECT_EQ(run_script("wait 0.2\ntap 30 40\nwait 0.08\nquit\n"), 0);
    int frames = app->game().recorder().frame_count();
    EXPECT_GE(frames, 8);
    app.reset(); // closes the archive
    std::string archive = temp() + "/framework_tests.zip";
    EXPECT_EQ(unzip("-tq " + archive).exit_code, 0) << "the older archive was replaced";
    test_support::CommandResult entry = test_support::run_command("unzip -p " + archive + " 00007.bmp");
    std::vector<uint8_t> bytes(entry.output.begin(), entry.output.end());
    skin::SharedPicture picture = skin::decode_565(bytes.data(), bytes.size(), u"00007.bmp");
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width(), 120);
    EXPECT_EQ(picture->height(), 160);
    EXPECT_EQ(picture->pixels().at(31, 40), 0xFFFF) << "the pointer where the tap was";
}
