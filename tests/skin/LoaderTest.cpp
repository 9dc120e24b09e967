#include "FixedFont.h"
#include "SkinTestSupport.h"

#include "platform/TextEncoding.h"
#include "skin/file/ReloadListener.h"
#include "skin/compiler/SkinWriter.h"
#include "skin/file/SkinImageRead.h"

#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

namespace {

const ScreenInfo screen96 = ScreenInfo::make(240, 320, 96);
const ScreenInfo screen192 = ScreenInfo::make(480, 640, 192);

std::string bytes_of(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

std::vector<uint8_t> empty_skin(size_t size)
{
    std::vector<uint8_t> image(size, 0);
    const char16_t magic[] = { u'\u0421', u'\u043A', u'\u0438', u'\u043D' };
    for (int i = 0; i < 4; ++i) {
        image[2 * i] = uint8_t(magic[i]);
        image[2 * i + 1] = uint8_t(magic[i] >> 8);
    }
    for (size_t i = 72; i < 76 && i < size; ++i)
        image[i] = 0xFF; // no named nodes
    if (size >= 92)
        image[84] = 92; // name block at the end, empty
    return image;
}

const char* const basic_source = R"(<skin>
  <node name="frmMain" design_size="10 3" outside_color="#102030" cache="1">
    <attribute name="big" kind="integer" value="-123456"/>
    <node type="text" id="lbl" text="Hello" font="14 0 1 0 Times New Roman" color="1 2 3"/>
    <node type="image" id="pic" src="a.png 1 2 3 4 5 6 7 8 9"/>
    <node type="image" id="whole" src="a.png"/>
  </node>
  <node name="btn" id="short"/>
  <node name="btnMenu" id="long"/>
</skin>)";

class Loader : public ::testing::Test {
protected:
    void SetUp() override
    {
        use_fixed_fonts();
        folder = test_support::scratch_folder("loader");
        write_plain_png(folder + "/a.png", 8, 9);
        write_plain_png(folder + "/b.png", 4, 4);
        path = compile(folder, "basic", basic_source);
    }
    std::string folder, path;
};

} // namespace

TEST(LoaderFile, ShortFilesAndTheMagic)
{
    std::string folder = test_support::scratch_folder("short");
    struct Case {
        std::vector<uint8_t> image;
        bool loads;
    } cases[] = {
        { empty_skin(91), false },
        { empty_skin(92), true },
        { {}, false },
    };
    std::vector<uint8_t> wrong_magic = empty_skin(92);
    wrong_magic[6] = 'x';
    for (size_t i = 0; i < std::size(cases); ++i) {
        test_support::write_bytes(folder + "/s.skin", bytes_of(cases[i].image));
        PropertiesImpl properties;
        EXPECT_EQ(properties.load_skin(u16(folder + "/s.skin"), screen96), cases[i].loads) << i;
        EXPECT_EQ(properties.loaded(), cases[i].loads) << i;
        EXPECT_FALSE(properties.find_named_node(u"frmMain")) << i;
        EXPECT_TRUE(properties.named_nodes().empty());
    }
    test_support::write_bytes(folder + "/w.skin", bytes_of(wrong_magic));
    PropertiesImpl properties;
    EXPECT_FALSE(properties.load_skin(u16(folder + "/w.skin"), screen96));
    EXPECT_FALSE(properties.load_skin(u16(folder + "/missing.skin"), screen96));
    // An empty Properties finds nothing and gives every default.
    EXPECT_EQ(properties.get_integer(properties.find_named_node(u"x"), u"a", 7), 7);
}

TEST_F(Loader, NamedNodesAreFoundByWholeName)
{
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(path), screen96));
    EXPECT_EQ(p.get_string(p.find_named_node(u"btn"), u"id", u""), u"short");
    EXPECT_EQ(p.get_string(p.find_named_node(u"btnMenu"), u"id", u""), u"long");
    for (const char16_t* absent : { u"bt", u"btnM", u"btnMenu2", u"", u"frmmain", u"zzz" })
        EXPECT_FALSE(p.find_named_node(absent)) << platform::to_utf8(absent);
    EXPECT_EQ(p.path(), u16(path));
}

TEST_F(Loader, ManyNamesInTheBalancedTree)
{
    std::string source = "<skin>";
    for (int i = 0; i < 57; ++i)
        source += "<node name=\"n" + std::to_string(i * 7919 % 1000) + "\" id=\"" + std::to_string(i) + "\"/>";
    source += "</skin>";
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(compile(folder, "many", source)), screen96));
    EXPECT_EQ(p.named_nodes().size(), 57u);
    for (int i = 0; i < 57; ++i) {
        std::string name = "n";
        name += std::to_string(i * 7919 % 1000);
        NodeBody body = p.find_named_node(u16(name));
        ASSERT_TRUE(body) << i;
        EXPECT_EQ(p.get_string(body, u"id", u""), u16(std::to_string(i)));
    }
    EXPECT_FALSE(p.find_named_node(u"n1"));
}

TEST_F(Loader, TypedGettersScaleOnlyPointsPicturesAndFonts)
{
    for (const ScreenInfo& screen : { screen96, screen192 }) {
        int f = 1 << screen.scale_shift;
        PropertiesImpl p;
        ASSERT_TRUE(p.load_skin(u16(path), screen));
        EXPECT_EQ(p.scale_shift(), screen.scale_shift);
        NodeBody form = p.find_named_node(u"frmMain");
        ASSERT_TRUE(form);
        EXPECT_EQ(p.get_point(form, u"design_size", { 1, 1 }), (Point { 10 * f, 3 * f }));
        EXPECT_EQ(p.get_point(form, u"border_min", { 5, 7 }), (Point { 5, 7 })); // default unscaled
        EXPECT_EQ(p.get_integer(form, u"big", 0), -123456);
        EXPECT_EQ(p.get_integer(form, u"cache", 0), 1);
        EXPECT_EQ(p.get_colour(form, u"outside_color", {}), (Color { 0x10, 0x20, 0x30, 255 }));
        EXPECT_EQ(p.get_string(form, u"text", u"none"), u"none");
        ASSERT_EQ(p.child_count(form), 3u);
        EXPECT_FALSE(p.child(form, 3));

        NodeBody label = p.child(form, 0);
        EXPECT_EQ(p.get_string(label, u"text", u""), u"Hello");
        EXPECT_EQ(p.get_colour(label, u"color", {}), (Color { 1, 2, 3, 255 }));
        // The label has no integer section: the default comes back untouched.
        EXPECT_FALSE(p.has_section(label, layout::Section::integer));
        EXPECT_EQ(p.get_integer(label, u"cache", 42), 42);
        SharedFont font = p.get_font(label, u"font", nullptr);
        ASSERT_TRUE(font);
        EXPECT_EQ(font->spec().size, 14);
        EXPECT_EQ(font->spec().scale_factor, f);
        EXPECT_TRUE(font->spec().italic);
        EXPECT_FALSE(font->spec().bold);
        EXPECT_EQ(font->spec().face, u"Times New Roman");

        PictureRef pic = p.get_picture(p.child(form, 1), u"src", {});
        ASSERT_TRUE(pic.picture);
        EXPECT_EQ(pic.picture->width(), 8);
        EXPECT_EQ(pic.p0, (Point { 1 * f, 2 * f }));
        EXPECT_EQ(pic.p1, (Point { 3 * f, 4 * f }));
        EXPECT_EQ(pic.p2, (Point { 5 * f, 6 * f }));
        EXPECT_EQ(pic.p3, (Point { 7 * f, 8 * f }));
        EXPECT_EQ(pic.flag, 9);
        EXPECT_EQ(pic.scale_shift, screen.scale_shift);
        PictureRef whole = p.get_picture(p.child(form, 2), u"src", {});
        EXPECT_EQ(whole.picture, pic.picture); // one picture, shared
        EXPECT_EQ(whole.p3, (Point { 8 * f, 9 * f }));
        EXPECT_EQ(whole.p1, (Point {}));
        EXPECT_FALSE(whole == pic);
        EXPECT_TRUE(whole == p.get_picture(p.child(form, 2), u"src", {}));
        EXPECT_EQ(p.pictures().size(), 1u);
        EXPECT_EQ(p.pictures()[0].p3, (Point { 8, 9 }));
    }
}

TEST_F(Loader, EqualFontDescriptionsShareOneFont)
{
    std::string source = R"(<skin><node name="a" font="12 1 0 0 Tahoma"/><node name="b" font="12 1 0 0 Tahoma"/>
        <node name="c"><attribute name="font" kind="font" value="12 1 0 0 Tahoma "/></node></skin>)";
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(compile(folder, "fonts", source)), screen96));
    SharedFont a = p.get_font(p.find_named_node(u"a"), u"font", nullptr);
    EXPECT_EQ(a, p.get_font(p.find_named_node(u"b"), u"font", nullptr));
    EXPECT_NE(a, p.get_font(p.find_named_node(u"c"), u"font", nullptr)); // a face with a trailing space
    PropertiesImpl q;
    ASSERT_TRUE(q.load_skin(u16(folder + "/out/fonts.skin"), screen96));
    EXPECT_EQ(a, q.get_font(q.find_named_node(u"a"), u"font", nullptr)); // shared across skins too
}

TEST_F(Loader, AFailedSecondPictureLeavesTheSkinInUse)
{
    std::string other = compile(folder, "two", R"(<skin><node name="two"><node type="image" src="a.png"/><node type="image" src="b.png"/></node></skin>)");
    std::filesystem::remove(folder + "/out/b.bmp");
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(path), screen96));
    start_log();
    EXPECT_FALSE(p.load_skin(u16(other), screen192));
    std::string log = log_text();
    stop_log();
    EXPECT_NE(log.find("PropertiesImpl::PropertiesImpl picture load time="), std::string::npos) << log;
    EXPECT_NE(log.find(" {a}\n"), std::string::npos) << log;
    EXPECT_NE(log.find("PropertiesImpl::PropertiesImpl picture failed to load {b}\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("Properties::load_skin 3"), std::string::npos) << log;
    EXPECT_EQ(log.find("fonts create time"), std::string::npos) << log;
    // The old skin is still complete and in use.
    EXPECT_EQ(p.path(), u16(path));
    EXPECT_EQ(p.scale_shift(), 0);
    EXPECT_TRUE(p.find_named_node(u"frmMain"));
    EXPECT_FALSE(p.find_named_node(u"two"));
    EXPECT_EQ(p.get_point(p.find_named_node(u"frmMain"), u"design_size", {}), (Point { 10, 3 }));
}

TEST_F(Loader, ASuccessfulLoadLogsItsStepsAndKeepsOldPicturesAlive)
{
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(path), screen96));
    PictureRef held = p.get_picture(p.child(p.find_named_node(u"frmMain"), 1), u"src", {});
    std::string second = compile(folder, "second", R"(<skin><node name="other" src="b.png"/></skin>)");
    start_log();
    ASSERT_TRUE(p.load_skin(u16(second), screen96));
    std::string log = log_text();
    stop_log();
    const char* expected[] = { "Properties::load_skin 1\n", "sizeof(Node*4)=8\n", "sizeof(IntegerNode*4)=32\n",
        "sizeof(PointNode*4)=32\n", "sizeof(Node)=2\n", "sizeof(IntegerNode)=8\n", "IntegerNode::Size=8\n",
        "sizeof(PointNode)=8\n", "PointNode::Size=8\n", "sizeof(ColorNode)=8\n", "ColorNode::Size=8\n",
        "sizeof(StringNode)=4\n", "StringNode::Size=4\n", "sizeof(PictureNode)=20\n", "PictureNode::Size=20\n",
        "PropertiesImpl::PropertiesImpl picture load time=", " {b}\n", "PropertiesImpl::PropertiesImpl fonts create time=",
        "Properties::load_skin 2\n", "Properties::load_skin 3\n" };
    size_t at = 0;
    for (const char* line : expected) {
        size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " in\n" << log;
        at = found;
    }
    EXPECT_FALSE(p.find_named_node(u"frmMain"));
    EXPECT_TRUE(p.find_named_node(u"other"));
    ASSERT_TRUE(held.picture);
    EXPECT_EQ(held.picture->width(), 8); // still alive after its skin went
}

TEST_F(Loader, TranslateUsesTheLanguageTable)
{
    test_support::write_bytes(folder + "/en.lng", "Hello=Hi there\n");
    PropertiesImpl p;
    EXPECT_EQ(p.translate(u"Hello"), u"Hello");
    ASSERT_TRUE(p.load_language(u16(folder + "/en.lng")));
    EXPECT_EQ(p.translate(u"Hello"), u"Hi there");
    EXPECT_EQ(p.translate(u"hello"), u"hello");
    ASSERT_TRUE(p.load_skin(u16(path), screen96)); // the language survives a skin load
    EXPECT_EQ(p.translate(u"Hello"), u"Hi there");
}

// Every broken offset, bound, count or index fails the load like a short file, and the
// skin in use stays.
TEST_F(Loader, BrokenImagesFailAndLeaveTheLiveSkin)
{
    std::vector<uint8_t> good = test_support::read_bytes(path);
    uint32_t root = read_u32(good.data() + 72);
    // The tree's root is the middle name, "btnMenu"; its body has no children, so
    // walk down to frmMain through the right record.
    uint32_t right = read_u32(good.data() + root + 4);
    ASSERT_NE(right, 0xFFFFFFFFu);
    size_t form = right + 12;
    ASSERT_EQ(read_u16(good.data() + form + 14), 3u);
    size_t label = read_u32(good.data() + form + 16);
    auto put32 = [](std::vector<uint8_t>& v, size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            v[at + size_t(i)] = uint8_t(value >> (8 * i));
    };
    auto put16 = [](std::vector<uint8_t>& v, size_t at, uint16_t value) {
        v[at] = uint8_t(value);
        v[at + 1] = uint8_t(value >> 8);
    };
    uint32_t size = uint32_t(good.size());
    // The "pic" image's src entry: corners 1 2, 3 4, 5 6, 7 8 of the 8 x 9 picture.
    auto picture_entry = [&](const std::vector<uint8_t>& v) {
        size_t image = read_u32(v.data() + form + 20);
        return image + read_u16(v.data() + image + 8);
    };
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
    } cases[] = {
        { "root beyond the end", [&](auto& v) { put32(v, 72, size); } },
        { "root in the last bytes", [&](auto& v) { put32(v, 72, size - 8); } },
        { "picture count too large", [&](auto& v) { put32(v, 76, 1000000); } },
        { "string count too large", [&](auto& v) { put32(v, 88, 0x7FFFFFFF); } },
        { "name block beyond the end", [&](auto& v) { put32(v, 84, size + 2); } },
        { "record name beyond the end", [&](auto& v) { put32(v, root + 8, size); } },
        { "record links to itself", [&](auto& v) { put32(v, root, root); } },
        { "child beyond the end", [&](auto& v) { put32(v, form + 16, size - 4); } },
        { "child is its parent", [&](auto& v) { put32(v, form + 16, uint32_t(form)); } },
        { "child count too large", [&](auto& v) { put16(v, form + 14, 60000); } },
        { "section bounds decrease", [&](auto& v) { put16(v, label + 2, 0); } },
        { "section end beyond the file", [&](auto& v) { put16(v, label + 12, 0xFFF0); } },
        { "attribute name offset beyond the end", [&](auto& v) {
             put16(v, label + read_u16(v.data() + label + 6), 0xFFFE); } },
        { "string index too large", [&](auto& v) {
             put16(v, label + read_u16(v.data() + label + 6) + 2, 500); } },
        { "font index too large", [&](auto& v) { put32(v, label + read_u16(v.data() + label + 2) + 4, 7); } },
        { "picture index too large", [&](auto& v) {
             size_t image = read_u32(v.data() + form + 20);
             v[image + read_u16(v.data() + image + 8) + 18] = 1; } },
        { "cut in the middle", [&](auto& v) { v.resize(v.size() - 20); } },
        // The fuzzer's skin: a rectangle of 65535 x 40000 pixels of an 8 x 9 picture,
        // which drawing it kept to its proportions would copy into a surface of 5.24 GB.
        { "picture corners far beyond the picture", [&](auto& v) {
             size_t corners = picture_entry(v) + 2;
             put16(v, corners + 8, 0);
             put16(v, corners + 10, 0);
             put16(v, corners + 12, 65535);
             put16(v, corners + 14, 40000); } },
        { "picture corner one pixel beyond", [&](auto& v) { put16(v, picture_entry(v) + 2 + 12, 9); } },
        { "picture corners out of order", [&](auto& v) { put16(v, picture_entry(v) + 2, 7); } },
    };
    PropertiesImpl live;
    ASSERT_TRUE(live.load_skin(u16(path), screen96));
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        c.damage(bad);
        test_support::write_bytes(folder + "/out/bad.skin", bytes_of(bad));
        EXPECT_FALSE(live.load_skin(u16(folder + "/out/bad.skin"), screen192)) << c.what;
        EXPECT_EQ(live.path(), u16(path)) << c.what;
        EXPECT_EQ(live.get_point(live.find_named_node(u"frmMain"), u"design_size", {}), (Point { 10, 3 })) << c.what;
    }
    // The undamaged image still loads from the same place.
    test_support::write_bytes(folder + "/out/bad.skin", bytes_of(good));
    EXPECT_TRUE(live.load_skin(u16(folder + "/out/bad.skin"), screen192));
}

TEST(FontDescription, FieldsParseUntilOneDoesNot)
{
    struct Case {
        const char16_t* text;
        FontSpec expected;
    } cases[] = {
        { u"12 1 0 0 Tahoma", { 12, true, false, false, 1, u"Tahoma" } },
        { u"14 0 1 0 Times New Roman", { 14, false, true, false, 1, u"Times New Roman" } },
        { u"14,1,0,0 Arial", { 14, false, false, false, 1, u"Tahoma" } },
        { u"16 1 1 1", { 16, true, true, true, 1, u"" } },
        { u"  +9 -2 0 7   Deja Vu ", { 9, true, false, true, 1, u"Deja Vu " } },
        { u"11 1", { 11, true, false, false, 1, u"Tahoma" } },
        { u"", { 12, false, false, false, 1, u"Tahoma" } },
        { u"big 1 1 1 X", { 12, false, false, false, 1, u"Tahoma" } },
    };
    for (const Case& c : cases) {
        FontSpec spec;
        parse_font_spec(c.text, spec);
        EXPECT_EQ(spec, c.expected) << platform::to_utf8(c.text);
    }
    FontSpec scaled;
    scaled.scale_factor = 2;
    parse_font_spec(u"12 0 0 0 X", scaled);
    EXPECT_EQ(scaled.scale_factor, 2);
}

namespace {

struct Recorder : ReloadListener {
    std::vector<int>* order;
    int number;
    PropertiesImpl* remove_from { nullptr };
    Recorder(std::vector<int>* o, int n)
        : order(o)
        , number(n)
    {
    }
    void reload(Properties& p) override
    {
        order->push_back(number);
        EXPECT_TRUE(p.loaded());
        if (remove_from)
            remove_from->remove_reload_listener(this);
    }
};

} // namespace

TEST_F(Loader, ReloadListenersAreToldInOrder)
{
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(path), screen96));
    std::vector<int> order;
    Recorder a(&order, 1), b(&order, 2), c(&order, 3);
    b.remove_from = &p;
    p.add_reload_listener(&a);
    p.add_reload_listener(&b);
    p.add_reload_listener(&c);
    p.add_reload_listener(&a); // once only
    start_log();
    p.send_reload_skin();
    std::string log = log_text();
    p.send_reload_skin();
    stop_log();
    EXPECT_EQ(order, (std::vector<int> { 1, 2, 3, 1, 3 }));
    EXPECT_NE(log.find("PropertiesImpl::send_reload_skin the rest time="), std::string::npos) << log;
}

TEST(ScreenInfo, ScaleShiftFromVerticalDpi)
{
    std::pair<int, int> cases[] = { { 96, 0 }, { 191, 0 }, { 192, 1 }, { 383, 1 }, { 384, 2 }, { 600, 2 } };
    for (auto [dpi, shift] : cases)
        EXPECT_EQ(ScreenInfo::make(1, 1, dpi).scale_shift, shift) << dpi;
}

TEST(FontRegistry, OneFontPerSpecAndNoneWithoutAFactory)
{
    set_font_factory(nullptr);
    FontSpec spec;
    EXPECT_EQ(get_font(spec), nullptr);
    int made = 0;
    set_font_factory([&made](const FontSpec& s) {
        ++made;
        return std::make_shared<FixedFont>(s);
    });
    SharedFont a = get_font(spec);
    spec.bold = true;
    SharedFont b = get_font(spec);
    spec.bold = false;
    EXPECT_EQ(get_font(spec), a);
    EXPECT_NE(a, b);
    EXPECT_EQ(made, 2);
    use_fixed_fonts();
    EXPECT_NE(get_font(spec), a); // a new factory forgets the old fonts
}

TEST(LoaderLimits, TreesNestedTooDeepAreRefused)
{
    std::string folder = test_support::scratch_folder("deep");
    auto nested = [](int depth) {
        std::string source = "<skin><node name=\"deep\">";
        for (int i = 0; i < depth; ++i)
            source += "<node>";
        for (int i = 0; i < depth; ++i)
            source += "</node>";
        return source + "</node></skin>";
    };
    PropertiesImpl p;
    EXPECT_TRUE(p.load_skin(u16(compile(folder, "ok", nested(200))), screen96));
    // The compiler refuses deeper trees, so these files come from its writer directly.
    auto written = [&](int depth) {
        skinc::WriterNode top;
        skinc::WriterNode* last = &top;
        for (int i = 0; i < depth; ++i)
            last = &last->children.emplace_back();
        skinc::SkinWriter writer;
        writer.add_named_node(u"deep", std::move(top));
        std::vector<uint8_t> image;
        std::string error;
        EXPECT_TRUE(writer.write(image, error)) << error;
        std::string path = folder + "/out/written" + std::to_string(depth) + ".skin";
        test_support::write_bytes(path, std::string(image.begin(), image.end()));
        return u16(path);
    };
    EXPECT_TRUE(p.load_skin(written(200), screen96));
    EXPECT_TRUE(p.load_skin(u16(folder + "/out/ok.skin"), screen96));
    EXPECT_FALSE(p.load_skin(written(201), screen96));
    EXPECT_EQ(p.path(), u16(folder + "/out/ok.skin"));
}
