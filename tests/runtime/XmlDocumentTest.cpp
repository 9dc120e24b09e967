#include "runtime/XmlDocument.h"

#include "platform/TextEncoding.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace runtime;

namespace {

XmlDocument load_text(const std::string& folder, const std::string& content)
{
    test_support::write_bytes(folder + "/doc.xml", content);
    FileStream stream(platform::from_utf8(folder + "/doc.xml"), FileStream::Mode::read);
    return XmlDocument::load(stream);
}

} // namespace

TEST(XmlDocument, EmptyOrBrokenFilesGiveNoDocument)
{
    std::string folder = test_support::scratch_folder("xml-load");
    EXPECT_FALSE(load_text(folder, ""));
    EXPECT_FALSE(load_text(folder, "<Main><Create></Main>"));
    EXPECT_FALSE(load_text(folder, "not xml at all"));
    FileStream missing(u"/nonexistent/doc.xml", FileStream::Mode::read);
    EXPECT_FALSE(XmlDocument::load(missing));
    EXPECT_TRUE(load_text(folder, "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Main/>"));
}

TEST(XmlDocument, WalkingChildrenByExactName)
{
    std::string folder = test_support::scratch_folder("xml-walk");
    XmlDocument doc = load_text(folder, "<Main>\n  <create/>\n  <Create date=\"2009\" n=\" -42 km\" r=\"1.5e2\"/>\n</Main>");
    ASSERT_TRUE(doc);
    XmlNode main = first_child_named(doc.document(), u"Main");
    ASSERT_TRUE(main);
    EXPECT_EQ(child_count(main), 2u); // white space between elements is not a node
    EXPECT_EQ(node_name(child_at(main, 0)), u"create");
    EXPECT_FALSE(child_at(main, 2));
    XmlNode create = first_child_named(main, u"Create");
    ASSERT_TRUE(create);
    EXPECT_EQ(create, child_at(main, 1));
    EXPECT_FALSE(first_child_named(main, u"CREATE"));
    EXPECT_FALSE(first_child_named(XmlNode(), u"Main"));

    std::u16string text = u"keep";
    EXPECT_FALSE(get_attribute(create, u"missing", text));
    EXPECT_EQ(text, u"keep");
    EXPECT_TRUE(get_attribute(create, u"date", text));
    EXPECT_EQ(text, u"2009");
    int32_t n = 0;
    EXPECT_TRUE(get_attribute(create, u"n", n));
    EXPECT_EQ(n, -42);
    double r = 0;
    EXPECT_TRUE(get_attribute(create, u"r", r));
    EXPECT_DOUBLE_EQ(r, 150);
    EXPECT_FALSE(get_attribute(create, u"date2", n));
}

TEST(XmlDocument, BuildAndSaveWithoutDeclarationOrWhiteSpace)
{
    std::string folder = test_support::scratch_folder("xml-save");
    XmlDocument doc = XmlDocument::create();
    XmlNode main = append_element(doc.document(), u"Main");
    XmlNode create = append_element(main, u"Create");
    set_attribute(create, u"date", u"2009 03 10 14 05 07.250000");
    set_attribute(create, u"rdate", u"a \"quoted\" <text> & \u00B0");
    XmlNode current = append_element(main, u"Current");
    set_attribute(current, u"temp", int32_t(-3));
    set_attribute(current, u"temp", int32_t(5)); // replaced in place, order kept
    set_attribute(current, u"code", int32_t(28));
    std::u16string path = platform::from_utf8(folder + "/out.xml");
    ASSERT_TRUE(doc.save(path));
    auto bytes = test_support::read_bytes(folder + "/out.xml");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "<Main><Create date=\"2009 03 10 14 05 07.250000\" rdate=\"a &quot;quoted&quot; &lt;text> &amp; \xC2\xB0\"/>"
              "<Current temp=\"5\" code=\"28\"/></Main>");
    // Nothing is left beside the file.
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(folder))
        entries += e.is_regular_file();
    EXPECT_EQ(entries, 1);
    EXPECT_FALSE(doc.save(u"/nonexistent-folder/out.xml"));
}
