// What skinc refuses at compile time that the engine would otherwise meet only when a
// form is built or drawn: unknown node types, bad fonts, trees the loader will not take;
// and its command line.
#include "SkinTestSupport.h"

#include "skin/compiler/SkinCompiler.h"
#include "skin/compiler/SkinSchema.h"
#include "skin/file/SkinImageCheck.h"
#include "skin/nodes/FormNode.h"

#include "runtime/Version.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace skin;
using namespace skin_test;

namespace {

const std::string skinc_path = std::string(NALO_TOOLS_DIR) + "/skinc";

// Compiles with the schema's types only (the test support adds the tests' own).
std::string schema_error(const std::string& folder, const std::string& source)
{
    test_support::write_bytes(folder + "/s.xml", source);
    std::string error;
    if (skinc::compile_skin(folder + "/s.xml", folder + "/out/s.skin", error))
        return {};
    return error.empty() ? "?" : error;
}

// A named node with a chain of `levels` nested children, one element per line.
std::string nested(int levels)
{
    std::string source = "<skin>\n<node name=\"deep\">\n";
    for (int i = 0; i < levels; ++i)
        source += "<node id=\"n" + std::to_string(i) + "\">\n";
    for (int i = 0; i < levels; ++i)
        source += "</node>";
    return source + "</node></skin>\n";
}

test_support::CommandResult run_skinc(const std::string& arguments)
{
    return test_support::run_command(skinc_path + " " + arguments);
}

} // namespace

TEST(SkincChecks, NodeTypesAreThoseTheProgramsRegister)
{
    std::string folder = test_support::scratch_folder("skinc-types");
    struct Case {
        const char* source;
        const char* message; // empty: compiles
    } cases[] = {
        { "<skin>\n<node name=\"a\">\n\n<node type=\"colour\"/></node></skin>", ":4: unknown node type 'colour'" },
        { "<skin><node name=\"a\">\n<node string.type=\"Text\"/></node></skin>", ":2: unknown node type 'Text'" },
        { "<skin><node name=\"a\">\n<node>\n<attribute name=\"type\" kind=\"string\" value=\"\"/></node></node></skin>",
            ":3: unknown node type ''" },
        { "<skin>\n<node name=\"Menu\" type=\"popup\"/></skin>", ":2: unknown node type 'popup'" },
        { "<skin><node name=\"a\"><node type=\"measured\"/></node></skin>", ":1: unknown node type 'measured'" },
        { "<skin><node name=\"Menu\" type=\"menu\"><node type=\"svlist\"/><node type=\"icon_page\"/></node></skin>", "" },
    };
    for (const Case& c : cases) {
        std::string error = schema_error(folder, c.source);
        if (!*c.message) {
            EXPECT_EQ(error, "") << c.source;
            continue;
        }
        EXPECT_EQ(error.rfind(folder + "/s.xml" + c.message, 0), 0u) << c.source << "\n gave: " << error;
    }
    // Every type of the schema compiles, and the engine's own are all known to it.
    std::string all = "<skin><node name=\"all\">";
    for (const skinc::NodeType& type : skinc::node_types())
        all += "<node type=\"" + std::string(type.name) + "\"/>";
    EXPECT_EQ(schema_error(folder, all + "</node></skin>"), "");
    for (const char* engine : { "node", "text", "color", "image", "htable", "vtable", "button", "vlist", "multinode",
             "progress", "clip", "edit", "label_edit", "richtext" }) {
        const skinc::NodeType* type = skinc::find_node_type(engine);
        ASSERT_TRUE(type) << engine;
        EXPECT_EQ(type->registered_by, "engine");
    }
    EXPECT_EQ(skinc::find_node_type("menu")->registered_by, "framework");
    EXPECT_EQ(skinc::find_node_type("svlist")->registered_by, "application");
    // A program with types of its own names them.
    std::string error;
    test_support::write_bytes(folder + "/own.xml", "<skin><node name=\"a\"><node type=\"gauge\"/></node></skin>");
    constexpr std::string_view own[] = { "gauge" };
    EXPECT_TRUE(skinc::compile_skin(folder + "/own.xml", folder + "/out/own.skin", error, own)) << error;
}

TEST(SkincChecks, FontDescriptionsAreCheckedWithFileAndLine)
{
    std::string folder = test_support::scratch_folder("skinc-fonts");
    const char* bad[] = {
        "big", "12 1 0 0", "12 1 0 0   ", "12 1 0", "0 0 0 0 DejaVu Sans", "501 0 0 0 DejaVu Sans",
        "99999999999 0 0 0 DejaVu Sans", "-12 0 0 0 DejaVu Sans", "12 2 0 0 DejaVu Sans", "12 0 -1 0 DejaVu Sans",
        "12,1 0 0 DejaVu Sans", "12 1 0 0DejaVu", "", "Tahoma 12 1 0 0",
    };
    for (const char* font : bad) {
        std::string error = schema_error(folder, std::string("<skin><node name=\"a\">\n<node type=\"text\" font=\"") + font
                + "\"/></node></skin>");
        EXPECT_EQ(error.rfind(folder + "/s.xml:2: font '" + font + "' ", 0), 0u) << font << "\n gave: " << error;
    }
    // The other ways to write a font are checked alike.
    EXPECT_NE(schema_error(folder, "<skin>\n<node name=\"a\" font.title=\"large\"/></skin>").find(":2: font 'large'"),
        std::string::npos);
    EXPECT_NE(schema_error(folder, "<skin><node name=\"a\">\n<attribute name=\"f\" kind=\"font\" value=\"9\"/></node></skin>")
                  .find(":2: font '9'"),
        std::string::npos);
    const char* good[] = { "12 1 0 0 DejaVu Sans", "1 0 0 0 X", "500 1 1 1 DejaVu Sans Mono", "7\t0 0 1  Face" };
    for (const char* font : good) {
        EXPECT_EQ(schema_error(folder, std::string("<skin><node name=\"a\" font=\"") + font + "\"/></skin>"), "") << font;
    }
    // The engine reads what the compiler let through as written.
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(folder + "/out/s.skin"), ScreenInfo::make(240, 320, 96)));
}

TEST(SkincChecks, NestingStopsWhereTheLoaderStops)
{
    ensure_node_types();
    std::string folder = test_support::scratch_folder("skinc-nesting");
    // As deep as the engine loads: compiles, loads and builds.
    std::string skin = compile(folder, "deepest", nested(max_tree_depth));
    PropertiesImpl p;
    ASSERT_TRUE(p.load_skin(u16(skin), ScreenInfo::make(240, 320, 96)));
    FormNode form;
    form.build(p, u"deep");
    EXPECT_TRUE(form.find_descendant(u"n" + u16(std::to_string(max_tree_depth - 1))));

    // One level more: refused at the node that goes too deep (the named node is line 2).
    std::string error = compile_error(folder, "deeper", nested(max_tree_depth + 1));
    EXPECT_EQ(error.rfind(folder + "/deeper.xml:" + std::to_string(max_tree_depth + 3) + ": nodes nest deeper than 200", 0), 0u)
        << error;
    EXPECT_FALSE(test_support::file_exists(folder + "/out/deeper.skin"));

    // 20,000 levels: refused cleanly by the command (a stack overflow would kill it).
    test_support::write_bytes(folder + "/abyss.xml", nested(20000));
    auto abyss = run_skinc(folder + "/abyss.xml -o " + folder + "/out/abyss.skin 2>&1");
    EXPECT_EQ(abyss.exit_code, 1) << abyss.output;
    EXPECT_EQ(abyss.output, folder + "/abyss.xml:203: nodes nest deeper than 200 levels below a named node; the engine "
                                     "would not load the skin\n");
    EXPECT_NE(compile_error(folder, "abyss2", nested(20000)), "");
}

TEST(SkincChecks, NodeCountStopsWhereTheLoaderStops)
{
    std::string folder = test_support::scratch_folder("skinc-count");
    // Twenty groups of 10,000 children (a node body holds at most about 16,000): with the
    // named node and the groups, 200,021 nodes.
    auto source = [](int per_group) {
        std::string group = "<node>";
        for (int i = 0; i < per_group; ++i)
            group += "<node/>";
        group += "</node>\n";
        std::string s = "<skin>\n<node name=\"many\">\n";
        for (int g = 0; g < 20; ++g)
            s += group;
        return s + "</node></skin>";
    };
    std::string error = compile_error(folder, "many", source(10000));
    EXPECT_NE(error.find("/many.xml:22: a named node holds more than 200000 nodes"), std::string::npos) << error;
    std::string skin = compile(folder, "enough", source(int(max_tree_nodes - 21) / 20));
    PropertiesImpl p;
    EXPECT_TRUE(p.load_skin(u16(skin), ScreenInfo::make(240, 320, 96)));
}

TEST(SkincChecks, OutputFolderIsMadeWhenMissing)
{
    std::string folder = test_support::scratch_folder("skinc-folder");
    write_plain_png(folder + "/p.png", 3, 2);
    test_support::write_bytes(folder + "/s.xml", "<skin><node name=\"a\"><node type=\"image\" src=\"p.png\"/></node></skin>");
    auto made = run_skinc(folder + "/s.xml -o " + folder + "/new/deeper/s.skin 2>&1");
    EXPECT_EQ(made.exit_code, 0) << made.output;
    EXPECT_TRUE(test_support::file_exists(folder + "/new/deeper/s.skin"));
    EXPECT_TRUE(test_support::file_exists(folder + "/new/deeper/p.bmp"));
    PropertiesImpl p;
    EXPECT_TRUE(p.load_skin(u16(folder + "/new/deeper/s.skin"), ScreenInfo::make(240, 320, 96)));
    // A folder that cannot be made: a file is in the way.
    test_support::write_bytes(folder + "/file", "x");
    auto blocked = run_skinc(folder + "/s.xml -o " + folder + "/file/s.skin 2>&1");
    EXPECT_EQ(blocked.exit_code, 1);
    EXPECT_NE(blocked.output.find(folder + "/file/s.skin: cannot make its folder"), std::string::npos) << blocked.output;
}

TEST(SkincChecks, HelpVersionAndUnknownOptions)
{
    auto help = run_skinc("--help 2>/dev/null");
    EXPECT_EQ(help.exit_code, 0);
    EXPECT_EQ(help.output.rfind("usage: skinc SOURCE.xml -o OUTPUT.skin\n", 0), 0u) << help.output;
    EXPECT_EQ(run_skinc("-h 2>/dev/null").output, help.output);
    auto version = run_skinc("--version");
    EXPECT_EQ(version.exit_code, 0);
    EXPECT_EQ(version.output, "skinc " + std::string(runtime::project_version()) + "\n");
    for (const char* option : { "--colour", "-x", "--help-me" }) {
        auto unknown = run_skinc(std::string("in.xml ") + option + " -o out.skin 2>&1 >/dev/null");
        EXPECT_EQ(unknown.exit_code, 2) << option;
        EXPECT_NE(unknown.output.find(std::string("unknown option ") + option), std::string::npos) << unknown.output;
    }
    auto nothing = run_skinc("2>&1 >/dev/null");
    EXPECT_EQ(nothing.exit_code, 2);
    EXPECT_NE(nothing.output.find("usage: skinc"), std::string::npos);
    EXPECT_EQ(run_skinc("a.xml b.xml -o c.skin 2>/dev/null").exit_code, 2);
    EXPECT_EQ(run_skinc("a.xml 2>/dev/null").exit_code, 2);
    EXPECT_EQ(run_skinc("--dump a.skin --render a.skin n 1x1 o.png 2>/dev/null").exit_code, 2);
}
