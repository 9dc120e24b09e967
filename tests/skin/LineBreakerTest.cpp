#include "FixedFont.h"

#include "skin/text/LineBreaker.h"

#include "platform/TextEncoding.h"

#include <gtest/gtest.h>

using namespace skin;

namespace {

std::vector<std::u16string> broken(std::u16string_view text, int width)
{
    skin_test::FixedFont font(FontSpec {});
    std::vector<std::u16string> out;
    for (TextLine line : break_lines(text, font.measure_text(text).right_edges, width))
        out.emplace_back(text.substr(line.start, line.length));
    return out;
}

} // namespace

// Characters are 6 pixels wide ('W' 10, U+200B 0).
TEST(LineBreaker, BreaksAtOpportunitiesAndCutsLongWords)
{
    using Lines = std::vector<std::u16string>;
    struct Case {
        const char16_t* text;
        int width;
        Lines lines;
    } cases[] = {
        { u"", 100, {} },
        { u"one line", 100, { u"one line" } },
        { u"aaa bbb ccc", 42, { u"aaa ", u"bbb ccc" } },      // the space after bbb overflows
        { u"aaa bbb ccc", 41, { u"aaa ", u"bbb ", u"ccc" } },
        { u"aa bbbbbbbbbb", 36, { u"aa bbb", u"bbbbbb", u"b" } }, // too long alone: cut where it overflows
        { u"abcdefgh", 18, { u"abc", u"def", u"gh" } },
        { u"ab\ncd\n\nef", 100, { u"ab", u"cd", u"", u"ef" } },
        { u"ab\n", 100, { u"ab" } },
        { u"aa\u200Bbbbb", 30, { u"aa\u200B", u"bbbb" } },
        { u"WWW", 5, { u"W", u"W", u"W" } },                    // one character per line at least
        { u"aa\tbb", 24, { u"aa\t", u"bb" } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(broken(c.text, c.width), c.lines) << platform::to_utf8(c.text) << " at " << c.width;
}
