// Rich text: the table of domain suffixes, the addresses found in running text, links
// drawn underlined where they stand and opened by a tap, and fit_height.
#include "FixedFont.h"
#include "SkinTestSupport.h"

#include "skin/draw/RenderSurface.h"
#include "skin/nodes/FormNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/RichTextNode.h"
#include "skin/text/WebAddresses.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace skin;
using namespace skin_test;

TEST(WebAddresses, FortyThreeDistinctSuffixesWithTheGenericOnesFirst)
{
    std::set<std::u16string_view> distinct(web_domain_suffixes.begin(), web_domain_suffixes.end());
    EXPECT_EQ(distinct.size(), 43u);
    const std::u16string_view generic[] = { u".com", u".net", u".org", u".edu", u".gov", u".biz", u".info", u".mobi" };
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(web_domain_suffixes[i], generic[i]);
    for (std::u16string_view suffix : web_domain_suffixes)
        EXPECT_EQ(suffix.front(), u'.');
}

TEST(WebAddresses, WordsWithASchemeWwwOrAKnownSuffixAreAddresses)
{
    std::u16string text = u"See www.example.xyz, or Mail.RU; news at http://x.de/a/b. Also (shop.co.uk/p?q=1) and "
                          u"https://host:8080/. Not: .com alone, file.txt, a..com, @home";
    std::vector<WebAddress> found = find_web_addresses(text);
    std::vector<std::u16string> words, targets;
    for (const WebAddress& a : found) {
        words.push_back(text.substr(a.start, a.length));
        targets.push_back(a.target);
    }
    EXPECT_EQ(words, (std::vector<std::u16string> { u"www.example.xyz", u"Mail.RU", u"http://x.de/a/b", u"shop.co.uk/p?q=1",
                         u"https://host:8080/" }));
    EXPECT_EQ(targets[0], u"http://www.example.xyz");
    EXPECT_EQ(targets[1], u"http://Mail.RU");
    EXPECT_EQ(targets[2], u"http://x.de/a/b");
    EXPECT_EQ(targets[4], u"https://host:8080/");
    EXPECT_TRUE(find_web_addresses(u"").empty());
    EXPECT_TRUE(find_web_addresses(u"http:// ...").empty());
}

namespace {

class RichText : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_fonts();
        ensure_node_types();
        RichTextNode::set_link_opener([this](std::u16string_view address) { opened.emplace_back(address); });
    }
    void TearDown() override { RichTextNode::set_link_opener(nullptr); }
    RichTextNode& build(const std::string& attributes, int width, int height)
    {
        std::string folder = test_support::scratch_folder("richtext");
        std::string path = compile(folder, "r", "<skin><node name=\"f\"><node id=\"r\" type=\"richtext\" font=\"10 0 0 0 Tahoma\" "
                "color=\"#000000\" link_color=\"#0000FF\" halign=\"LEFT\" valign=\"TOP\" " + attributes + "/></node></skin>");
        EXPECT_TRUE(properties.load_skin(u16(path), ScreenInfo::make(240, 320, 96)));
        form.build(properties, u"f");
        place_on_screen(form, width, height);
        return static_cast<RichTextNode&>(*form.find_descendant(u"r"));
    }
    std::vector<std::u16string> opened;
    PropertiesImpl properties;
    FormNode form;
};

} // namespace

TEST_F(RichText, LinksAreUnderlinedWhereTheyStandAndATapOpensThem)
{
    // Six pixels a character: "go " is 18 wide, the address 11 characters, 66 pixels.
    RichTextNode& r = build("text=\"go nalo.org/x now\"", 200, 40);
    RenderSurface target(200, 40);
    form.draw_node(target, { 0, 0 });
    ASSERT_EQ(r.link_boxes().size(), 1u);
    EXPECT_EQ(r.link_boxes()[0].box, (Rect { 18, 0, 60, 10 }));
    Pixel blue = Pixel(to_565({ 0, 0, 255, 255 }) | opaque_bit);
    EXPECT_EQ(target.buffer().at(18, 9), blue) << "the underline under the link";
    EXPECT_EQ(target.buffer().at(77, 9), blue);
    EXPECT_NE(target.buffer().at(80, 9), blue) << "not under the plain text";

    EXPECT_FALSE(form.stylus({ { 5, 5 }, false, true, false })) << "plain text takes no press";
    EXPECT_TRUE(form.stylus({ { 20, 5 }, false, true, false }));
    EXPECT_TRUE(form.stylus({ { 21, 5 }, false, false, false }));
    EXPECT_EQ(opened, (std::vector<std::u16string> { u"http://nalo.org/x" }));
    // Pressed on the link, released away from it: nothing opens.
    form.stylus({ { 20, 5 }, false, true, false });
    form.stylus({ { 150, 5 }, false, false, false });
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(RichText, AWrappedLinkHasABoxOnEveryLineAndFitHeightFollowsTheLines)
{
    // 10 characters a line; the address does not fit a line of its own, so it is cut
    // where it overflows: "see www.ab" and "cdefgh.de".
    RichTextNode& r = build("text=\"see www.abcdefgh.de\" wrap=\"1\" fit_height=\"1\" anchor_y=\"MIN_SIDE\"", 60, 100);
    EXPECT_TRUE(r.fit_height());
    EXPECT_EQ(r.height(), 20) << "two lines of ten pixels";
    RenderSurface target(60, 100);
    form.draw_node(target, { 0, 0 });
    ASSERT_EQ(r.link_boxes().size(), 2u);
    for (const auto& box : r.link_boxes())
        EXPECT_EQ(box.link, 0u);
    EXPECT_EQ(r.link_boxes()[0].box, (Rect { 24, 0, 36, 10 }));
    EXPECT_EQ(r.link_boxes()[1].box, (Rect { 0, 10, 54, 10 }));
}
