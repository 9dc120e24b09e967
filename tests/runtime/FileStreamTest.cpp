#include "runtime/FileListing.h"
#include "runtime/FileStream.h"

#include "platform/TextEncoding.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

using namespace runtime;
using platform::from_utf8;

TEST(FileStream, TheFourModes)
{
    std::string folder = test_support::scratch_folder("stream");
    std::u16string path = from_utf8(folder + "/f.bin");
    FileStream missing(path, FileStream::Mode::read);
    EXPECT_FALSE(missing.is_open());

    {
        FileStream w(path, FileStream::Mode::write);
        ASSERT_TRUE(w.is_open());
        EXPECT_TRUE(w.write("hello world", 11));
    }
    {
        FileStream a(path, FileStream::Mode::append);
        EXPECT_EQ(a.tell(), 11);
        a.write("!", 1);
    }
    {
        FileStream r(path, FileStream::Mode::read);
        EXPECT_EQ(r.size(), 12);
        char buf[8] = {};
        EXPECT_TRUE(r.skip(6));
        EXPECT_EQ(r.read(buf, 5), 5u);
        EXPECT_EQ(std::string(buf, 5), "world");
        EXPECT_TRUE(r.seek(0));
        EXPECT_EQ(r.read(buf, 5), 5u);
        EXPECT_EQ(std::string(buf, 5), "hello");
        EXPECT_FALSE(r.write("x", 1));
    }
    {
        FileStream rw(path, FileStream::Mode::read_write);
        rw.write("J", 1);
    }
    EXPECT_EQ(test_support::read_bytes(folder + "/f.bin").front(), 'J');
    {
        FileStream w(path, FileStream::Mode::write);
    }
    EXPECT_TRUE(test_support::read_bytes(folder + "/f.bin").empty());
}

TEST(FileListing, FileMaskFolderMaskAndRecursion)
{
    std::string folder = test_support::scratch_folder("listing");
    for (const char* f : { "a.xml", "B.XML", "c.txt", "sub/d.xml", "sub/deep/e.xml", "other/f.xml" }) {
        std::filesystem::create_directories(std::filesystem::path(folder + "/" + f).parent_path());
        test_support::write_bytes(folder + "/" + f, "x");
    }
    std::filesystem::create_directories(folder + "/folder.xml");
    std::vector<std::u16string> files;
    FileListing listing;
    listing.on_file = [&](const std::u16string& p) { files.push_back(p); };
    std::u16string base = from_utf8(folder) + u"/";
    list_files(base, u"*.xml", no_folder_mask, listing);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::u16string> { from_utf8(folder) + u"\\B.XML", from_utf8(folder) + u"\\a.xml" }));

    files.clear();
    listing.recursive = true;
    list_files(base, u"*.xml", u"s*", listing);
    std::sort(files.begin(), files.end());
    // "deep" does not match the folder mask itself, so it is not searched.
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[2], from_utf8(folder) + u"\\sub\\d.xml");
}
