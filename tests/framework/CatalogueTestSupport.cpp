#include "CatalogueTestSupport.h"

#include "skin/SkinTestSupport.h"

#include "runtime/Registry.h"
#include "skin/compiler/SkinCompiler.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace catalogue_test {

namespace {

std::u16string key_of(const std::u16string& application) { return u"HKEY_CURRENT_USER\\Software\\NALO\\" + application; }

void compile_into(const std::string& folder, const std::string& name, const std::string& source)
{
    std::string bin = folder + "/skins/bin";
    std::filesystem::create_directories(bin);
    std::filesystem::create_directories(folder + "/src");
    test_support::write_bytes(folder + "/src/" + name + ".xml", source);
    std::string error;
    ASSERT_TRUE(skinc::compile_skin(folder + "/src/" + name + ".xml", bin + "/" + name + ".skin", error)) << error;
}

} // namespace

std::string program_folder(const std::string& name) { return test_support::scratch_folder(name); }

void write_language(const std::string& path, const std::string& lines) { test_support::write_bytes(path, lines); }

void write_skin(const std::string& folder, const std::string& name, const std::string& colour)
{
    compile_into(folder, name, "<skin><node name=\"f\"><node type=\"color\" color=\"" + colour + "\"/></node></skin>");
}

void write_broken_skin(const std::string& folder, const std::string& name)
{
    std::filesystem::create_directories(folder + "/src");
    skin_test::write_plain_png(folder + "/src/" + name + "_pic.png", 4, 4);
    compile_into(folder, name,
        "<skin><node name=\"f\"><node type=\"image\" src=\"" + name + "_pic.png\"/></node></skin>");
    std::filesystem::remove(folder + "/skins/bin/" + name + "_pic.bmp");
}

std::u16string read_choice(const std::u16string& application, const std::u16string& name)
{
    std::u16string value;
    runtime::read_string(key_of(application), name, value);
    return value;
}

void write_choice(const std::u16string& application, const std::u16string& name, const std::u16string& value)
{
    ASSERT_TRUE(runtime::write_string(key_of(application), name, value));
}

void clear_choices(const std::u16string& application) { runtime::delete_key(key_of(application)); }

void set_locale(const char* lc_all, const char* lc_messages, const char* lang)
{
    auto set = [](const char* name, const char* value) {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    };
    set("LC_ALL", lc_all);
    set("LC_MESSAGES", lc_messages);
    set("LANG", lang);
}

} // namespace catalogue_test
