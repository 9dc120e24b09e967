#include "CatalogueTestSupport.h"

#include "framework/LanguageNames.h"

#include "platform/SystemLanguage.h"

#include <gtest/gtest.h>

using framework::language_name;
using framework::system_language_name;

TEST(LanguageNames, TheTableIsIndexedByThePlatformsLanguageIdentifiers)
{
    EXPECT_EQ(language_name(0).name, u"");
    EXPECT_EQ(language_name(1).code, u"AR");
    EXPECT_EQ(language_name(1).name, u"ARABIC");
    EXPECT_EQ(language_name(7).name, u"GERMAN");
    EXPECT_EQ(language_name(9).code, u"EN");
    EXPECT_EQ(language_name(9).name, u"ENGLISH");
    EXPECT_EQ(language_name(0x17).name, u""); // no language
    EXPECT_EQ(language_name(25).code, u"RU");
    EXPECT_EQ(language_name(25).name, u"RUSSIAN");
    EXPECT_EQ(language_name(0x23).name, u"BYELORUSSIAN");
    EXPECT_EQ(language_name(0x38).name, u"FAROESE");
    EXPECT_EQ(language_name(97).code, u"NE");
    EXPECT_EQ(language_name(97).name, u"NEPALI");
    EXPECT_EQ(language_name(98).name, u"");
    EXPECT_EQ(language_name(1023).name, u"");
    // The sub-language above the low 10 bits does not matter.
    EXPECT_EQ(language_name(0x0407).name, u"GERMAN");
    EXPECT_EQ(language_name(0x0C07).name, u"GERMAN");

    int named = 0;
    for (int id = 0; id < framework::language_name_count; ++id) {
        auto entry = language_name(id);
        EXPECT_EQ(entry.code.empty(), entry.name.empty()) << id;
        named += entry.name.empty() ? 0 : 1;
    }
    EXPECT_EQ(named, 67);
}

TEST(LanguageNames, TheLocaleGivesThePrimaryLanguage)
{
    using platform::language_id_of_locale;
    using platform::primary_language;
    EXPECT_EQ(primary_language(language_id_of_locale("de_DE.UTF-8")), 7);
    EXPECT_EQ(primary_language(language_id_of_locale("ru")), 25);
    EXPECT_EQ(primary_language(language_id_of_locale("pt_BR")), 0x16);
    EXPECT_EQ(primary_language(language_id_of_locale("sr@latin")), 0x1a);
    EXPECT_EQ(primary_language(language_id_of_locale("nb_NO.UTF-8")), 0x14);
    EXPECT_EQ(primary_language(language_id_of_locale("ne_NP")), 97);
    EXPECT_EQ(primary_language(language_id_of_locale("EN_us")), 9);
    EXPECT_EQ(language_id_of_locale("C"), platform::language_neutral);
    EXPECT_EQ(language_id_of_locale("C.UTF-8"), platform::language_neutral);
    EXPECT_EQ(language_id_of_locale("POSIX"), platform::language_neutral);
    EXPECT_EQ(language_id_of_locale(""), platform::language_neutral);
    EXPECT_EQ(language_id_of_locale("xx_YY"), platform::language_neutral);
    EXPECT_EQ(language_id_of_locale("fil_PH"), platform::language_neutral);
}

TEST(LanguageNames, TheSystemLanguageComesFromTheFirstLocaleVariableSet)
{
    catalogue_test::set_locale("de_DE.UTF-8", "ru_RU.UTF-8", "en_US.UTF-8");
    EXPECT_EQ(system_language_name().name, u"GERMAN");
    EXPECT_EQ(system_language_name().code, u"DE");
    catalogue_test::set_locale("", "ru_RU.UTF-8", "en_US.UTF-8");
    EXPECT_EQ(system_language_name().name, u"RUSSIAN");
    catalogue_test::set_locale(nullptr, nullptr, "en_US.UTF-8");
    EXPECT_EQ(system_language_name().name, u"ENGLISH");
    catalogue_test::set_locale(nullptr, nullptr, nullptr);
    EXPECT_EQ(system_language_name().name, u"");
    // A language the table has no name for gives empty texts.
    catalogue_test::set_locale("ga_IE.UTF-8", nullptr, nullptr);
    EXPECT_EQ(system_language_name().name, u"");
    EXPECT_EQ(system_language_name().code, u"");
}
