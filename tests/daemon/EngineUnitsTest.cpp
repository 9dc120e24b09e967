// The HTTP engine's byte buffers and its reading of the response header block.
#include "daemon/ByteBuffer.h"
#include "daemon/HeaderBlock.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace ombrelo;

TEST(ByteBuffer, CopiesShareSlicesViewAndWritesCopy)
{
    ByteBuffer whole("abcdefgh", 8);
    ByteBuffer copy = whole;
    EXPECT_TRUE(copy.shares_storage_with(whole));
    ByteBuffer middle = whole.slice(2, 3);
    EXPECT_EQ(middle.as_text(), "cde");
    EXPECT_TRUE(middle.shares_storage_with(whole));

    middle.mutable_data()[0] = 'X'; // shared: the slice is copied first
    EXPECT_EQ(middle.as_text(), "Xde");
    EXPECT_EQ(whole.as_text(), "abcdefgh");
    EXPECT_FALSE(middle.shares_storage_with(whole));

    ByteBuffer alone("xyz", 3);
    const uint8_t* before = alone.data();
    alone.mutable_data()[1] = 'Y'; // sole owner: written in place
    EXPECT_EQ(alone.data(), before);
    EXPECT_EQ(alone.as_text(), "xYz");

    EXPECT_EQ(whole.slice(6, 10).as_text(), "gh");
    EXPECT_TRUE(whole.slice(9, 1).empty());
    copy.narrow(2);
    EXPECT_EQ(copy.as_text(), "ab");
    EXPECT_TRUE(ByteBuffer().empty());
    EXPECT_EQ(ByteBuffer(4).as_text(), std::string(4, '\0'));
}

TEST(ByteBuffer, SharingAcrossThreadsKeepsTheCount)
{
    ByteBuffer shared("chunk", 5);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([shared] {
            for (int i = 0; i < 10000; ++i) {
                ByteBuffer copy = shared;
                ByteBuffer part = copy.slice(1, 2);
                (void)part;
            }
        });
    for (auto& t : threads)
        t.join();
    ByteBuffer last = shared;
    last.mutable_data()[0] = 'C'; // two owners: copies
    EXPECT_EQ(shared.as_text(), "chunk");
}

namespace {

std::u16string block_of(std::initializer_list<std::u16string_view> lines)
{
    std::u16string block;
    for (auto line : lines) {
        block += line;
        block += u'\0';
    }
    return block;
}

} // namespace

TEST(HeaderBlock, StatusLineDecides)
{
    struct Case {
        std::u16string_view status;
        bool succeeded;
        std::u16string_view code;
    } cases[] = {
        { u"HTTP/1.1 200 OK", true, u"200" },
        { u"HTTP/1.1 206 Partial Content", true, u"206" },
        { u"HTTP/1.1 204 ", true, u"204" },
        { u"HTTP/1.1 404 Not Found", false, u"404" },
        { u"HTTP/1.1 301 Moved", false, u"301" },
        { u"HTTP/1.1 200", false, u"" }, // no second space
        { u"garbage", false, u"" },
    };
    for (const Case& c : cases) {
        HeaderBlock block = parse_header_block(block_of({ c.status }));
        EXPECT_EQ(block.succeeded, c.succeeded) << std::string(c.status.begin(), c.status.end());
        EXPECT_EQ(block.status_code, c.code);
    }
    EXPECT_FALSE(parse_header_block(u"").succeeded);
}

TEST(HeaderBlock, NamesAreLowerCaseAndOddLinesSkipped)
{
    HeaderBlock block = parse_header_block(block_of({ u"HTTP/1.1 200 OK", u"Content-Length: 20000", u"X-Odd:no-space",
        u"no colon here", u"", u"Set-Cookie: a=b: c", u"Empty: " }));
    ASSERT_EQ(block.headers.size(), 3u);
    EXPECT_EQ(block.headers[0].name, u"content-length");
    EXPECT_EQ(block.headers[0].value, u"20000");
    EXPECT_EQ(block.headers[1].name, u"set-cookie");
    EXPECT_EQ(block.headers[1].value, u"a=b: c");
    EXPECT_EQ(block.headers[2].name, u"empty");
    EXPECT_EQ(block.headers[2].value, u"");
}

TEST(HeaderBlock, ContentRange)
{
    auto range = parse_content_range(u"bytes 0-99/1000");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->first, 0);
    EXPECT_EQ(range->last, 99);
    EXPECT_EQ(range->total, 1000);
    for (std::u16string_view bad : { u"bytes 0-99", u"bytes */1000", u"items 0-99/1000", u"bytes 0 - 99/1000", u"" })
        EXPECT_FALSE(parse_content_range(bad)) << std::string(bad.begin(), bad.end());
    // The largest range a 32-bit length counts; none past it, backwards, beyond the
    // whole, or followed by more text.
    range = parse_content_range(u"bytes 0-2147483646/2147483647");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->last - range->first + 1, 2147483647);
    for (std::u16string_view bad : { u"bytes 0-99/4294967396", u"bytes 2147483648-1/5", u"bytes 0-2147483647/2147483648",
             u"bytes 5-2/10", u"bytes 0-99/99", u"bytes 90-99/1h0", u"bytes 0-0/1 " })
        EXPECT_FALSE(parse_content_range(bad)) << std::string(bad.begin(), bad.end());
}
