#include "CatalogueTestSupport.h"
#include "skin/SkinTestSupport.h"

#include "framework/LanguageCatalogue.h"

#include "skin/file/Properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace catalogue_test;
using framework::LanguageCatalogue;
using framework::PopupMenuEntry;
using skin_test::u16;

namespace {

const std::u16string app = u"CatalogueTest";

class Languages : public ::testing::Test {
protected:
    void SetUp() override
    {
        clear_choices(app);
        set_locale("de_DE.UTF-8", nullptr, "en_GB.UTF-8");
        folder = program_folder("languages");
    }
    void TearDown() override { clear_choices(app); }

    std::string file(const std::string& name) const { return folder + "/" + name; }
    LanguageCatalogue catalogue() { return LanguageCatalogue(properties, app, u16(folder)); }
    std::u16string text(std::u16string_view key) const { return properties.translate(key); }

    std::string folder;
    skin::Properties properties;
};

TEST_F(Languages, ChainGoesFromTheChoiceToTheSystemLanguageToEnglishToAnyFile)
{
    write_language(file("german.lng"), "Name=Deutsch\n");
    write_language(file("English.LNG"), "Name=English\n");
    write_language(file("russian.lng"), "Name=Russian\n");

    // The chosen file exists: it is loaded, whatever the case of the name.
    write_choice(app, u"Language", u"RUSSIAN");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"Russian");

    // The registry names a deleted language: the system language GERMAN finds german.lng.
    write_choice(app, u"Language", u"klingon");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"Deutsch");
    EXPECT_EQ(catalogue().current_name(), u"german");
    // A fallback is not written to the registry.
    EXPECT_EQ(read_choice(app, u"Language"), u"klingon");

    // Without the system language's file: "english", found as English.LNG.
    std::filesystem::remove(file("german.lng"));
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"English");

    // Without english: the listed file that loads.
    std::filesystem::remove(file("English.LNG"));
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"Russian");
    EXPECT_EQ(read_choice(app, u"Language"), u"klingon");
}

TEST_F(Languages, TheLocaleVariablesPickTheSystemLanguageInTheirOrder)
{
    write_language(file("german.lng"), "Name=Deutsch\n");
    write_language(file("russian.lng"), "Name=Russian\n");
    write_language(file("english.lng"), "Name=English\n");

    set_locale(nullptr, "ru_RU.UTF-8", "de_DE.UTF-8");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"Russian");

    set_locale("", "", "de_AT");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"Deutsch");

    // The C locale names no language: english comes next.
    set_locale("C", "ru_RU.UTF-8", "de_DE.UTF-8");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"English");
}

TEST_F(Languages, AnUnreadableFirstFileIsPassedForALaterOne)
{
    // The listed entries are links whose targets can go away without changing the
    // folder's order; no choice, no system language file, no english.
    set_locale("C", nullptr, nullptr);
    std::string targets = program_folder("language-targets");
    for (const char* name : { "a", "b", "c" }) {
        write_language(targets + "/" + name + ".lng", std::string("Name=") + name + "\n");
        std::filesystem::create_symlink(targets + "/" + name + ".lng", file(std::string(name) + ".lng"));
    }
    std::vector<std::u16string> listed = catalogue().files();
    ASSERT_EQ(listed.size(), 3u);
    auto name_of = [](const std::u16string& path) { return path.substr(path.size() - 5, 1); };
    std::filesystem::remove(targets + "/" + std::string(1, char(name_of(listed[0])[0])) + ".lng");
    std::filesystem::remove(targets + "/" + std::string(1, char(name_of(listed[1])[0])) + ".lng");

    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(properties.language().path(), listed[2]);
    EXPECT_EQ(text(u"Name"), name_of(listed[2]));

    // Nothing loads: failure, and the language in use stays.
    std::filesystem::remove(targets + "/" + std::string(1, char(name_of(listed[2])[0])) + ".lng");
    EXPECT_FALSE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), name_of(listed[2]));
}

TEST_F(Languages, TheLaterLineWinsAndAValueMayBeginAtTheEqualsSign)
{
    write_language(file("english.lng"), "OK=Fine\r\nOK = Fine\r\n");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"OK"), u"= Fine");
    EXPECT_EQ(text(u"Missing"), u"Missing");
}

TEST_F(Languages, ANameThatLeavesTheFolderIsNotLoaded)
{
    std::string outside = program_folder("languages-outside");
    write_language(outside + "/evil.lng", "Name=Evil\n");
    write_language(file("english.lng"), "Name=English\n");
    write_choice(app, u"Language", u"../languages-outside/evil");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"English");
    write_choice(app, u"Language", u"*");
    EXPECT_TRUE(catalogue().load_chosen());
    EXPECT_EQ(text(u"Name"), u"English");
    EXPECT_FALSE(catalogue().load_name(u"../languages-outside/evil"));
}

TEST_F(Languages, ThereIsAChoiceOnlyWithTwoFilesDirectlyInTheFolder)
{
    write_language(file("english.lng"), "");
    EXPECT_FALSE(catalogue().has_choice());
    std::filesystem::create_directories(file("folder.lng"));
    std::filesystem::create_directories(file("sub"));
    write_language(file("sub/german.lng"), "");
    write_language(file("notes.txt"), "");
    EXPECT_FALSE(catalogue().has_choice());
    write_language(file("russian.lng"), "");
    EXPECT_TRUE(catalogue().has_choice());
    EXPECT_EQ(catalogue().files().size(), 2u);
}

TEST_F(Languages, TheMenuListsTheFilesSortedWithTheCurrentOneCheckedAndCancelLast)
{
    write_language(file("russian.lng"), "Cancel=Otmena\n");
    write_language(file("german.lng"), "Cancel=Abbrechen\nLanguage#english=Not used\n");
    write_language(file("English.lng"), "Cancel=Cancel\n");
    ASSERT_TRUE(catalogue().load_chosen()); // german, the system language

    std::vector<PopupMenuEntry> entries;
    EXPECT_FALSE(catalogue().popup(u"Language", entries, u"CancelLanguage"));
    ASSERT_EQ(entries.size(), 4u);
    // Ordinal order of the paths: upper case sorts first.
    EXPECT_EQ(entries[0].identifier, u"Language#English");
    EXPECT_EQ(entries[1].identifier, u"Language#german");
    EXPECT_EQ(entries[2].identifier, u"Language#russian");
    EXPECT_EQ(entries[0].text, u"English");
    EXPECT_EQ(entries[1].text, u"german");
    EXPECT_FALSE(entries[0].checked);
    EXPECT_TRUE(entries[1].checked);
    EXPECT_FALSE(entries[2].checked);
    EXPECT_EQ(entries[3].identifier, u"CancelLanguage");
    EXPECT_EQ(entries[3].text, u"Abbrechen");
    EXPECT_FALSE(entries[3].checked);
    for (const auto& entry : entries)
        EXPECT_TRUE(entry.enabled);

    // Other identifiers are not this catalogue's: nothing is added.
    std::vector<PopupMenuEntry> other;
    EXPECT_FALSE(catalogue().popup(u"Skin", other, u"Cancel"));
    EXPECT_FALSE(catalogue().popup(u"UpdateTime", other, u"Cancel"));
    EXPECT_TRUE(other.empty());
}

TEST_F(Languages, ChoosingSwitchesAndRemembersOnlyARealChange)
{
    write_language(file("german.lng"), "Name=Deutsch\n");
    write_language(file("russian.lng"), "Name=Russian\n");
    ASSERT_TRUE(catalogue().load_chosen());
    std::vector<PopupMenuEntry> unused;

    // The current language, in any case: nothing changes, nothing is written.
    EXPECT_FALSE(catalogue().popup(u"Language#german", unused, u"Cancel"));
    EXPECT_FALSE(catalogue().popup(u"Language#GERMAN", unused, u"Cancel"));
    EXPECT_EQ(read_choice(app, u"Language"), u"");
    EXPECT_EQ(text(u"Name"), u"Deutsch");

    // A file that is gone: false, the table stays.
    EXPECT_FALSE(catalogue().popup(u"Language#french", unused, u"Cancel"));
    EXPECT_EQ(text(u"Name"), u"Deutsch");
    EXPECT_EQ(read_choice(app, u"Language"), u"");

    EXPECT_TRUE(catalogue().popup(u"Language#russian", unused, u"Cancel"));
    EXPECT_EQ(text(u"Name"), u"Russian");
    EXPECT_EQ(read_choice(app, u"Language"), u"russian");
    EXPECT_EQ(catalogue().current_name(), u"russian");
    EXPECT_TRUE(unused.empty());

    // The choice is what the next start loads.
    skin::Properties next;
    EXPECT_TRUE(LanguageCatalogue(next, app, u16(folder)).load_chosen());
    EXPECT_EQ(next.translate(u"Name"), u"Russian");

    // "Cancel" and the menu's own identifier change nothing.
    EXPECT_FALSE(catalogue().popup(u"Cancel", unused, u"Cancel"));
    EXPECT_EQ(text(u"Name"), u"Russian");
}

} // namespace
