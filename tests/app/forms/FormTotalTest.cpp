// The city search: filtering (first run and later runs, case, the city list, the limit),
// the half-second timer, choosing, the ruler and the keys, on the shipped default skin.
#include "FormsTestSupport.h"

#include "app/FormTotal.h"
#include "app/Settings.h"

#include "platform/TextEncoding.h"

#include "skin/list/ListNode.h"
#include "skin/nodes/ButtonNode.h"
#include "skin/nodes/EditNode.h"
#include "skin/nodes/LabelEditNode.h"
#include "skin/nodes/Layout.h"
#include "skin/nodes/TextNode.h"

#include "skin/SkinTestSupport.h"
#include "support/TestSupport.h"

using namespace forms_test;
using weather::FormTotal;

namespace {

const std::vector<City> cities = {
    { u"00000001", u"Aachen, North Rhine-Westphalia, Germany" },
    { u"02950159", u"Berlin, Land Berlin, Germany" },
    { u"02661552", u"Bern, Bern, Switzerland" },
    { u"00000005", u"Paris, Île-de-France, France" },
    { u"00000004", u"Östersund, Jämtland, Sweden" },
    { u"00000007", u"östra Ljungby, Skåne, Sweden" },
    { u"00000006", u"Σπάρτη, Peloponnese, Greece" },
};

std::vector<std::string> names(const FormTotal& form)
{
    std::vector<std::string> out;
    for (size_t row = 0; row < form.results().size(); ++row)
        out.push_back(utf8(form.result_name(int(row))).substr(0, utf8(form.result_name(int(row))).find(',')));
    return out;
}

using Names = std::vector<std::string>;

class FormTotalTest : public FormsTest {
protected:
    std::unique_ptr<FormTotal> make(const std::vector<City>& entries = cities)
    {
        return std::make_unique<FormTotal>(skin(), skin_test::u16(write_codes("total", entries)));
    }
    std::unique_ptr<FormTotal> make_at(const std::string& codes_path)
    {
        return std::make_unique<FormTotal>(skin(), skin_test::u16(codes_path));
    }
    // The text the list's first row shows once the search is open.
    std::string first_row(FormTotal& form)
    {
        form.reset_and_show();
        frames(2);
        skin::ListRowNode* row = form.list().row(0);
        auto* text = row ? dynamic_cast<skin::TextNode*>(row->find_descendant(u"text")) : nullptr;
        return text ? utf8(text->text()) : "";
    }
    void type(FormTotal& form, std::u16string_view text) { form.edit().edit().set_text(text); }
};

} // namespace

TEST_F(FormTotalTest, TheFirstFilteringListsEveryEntryAndLaterOnesHideTheCityList)
{
    start({ { "Paris, Île-de-France, France", "00000005" } });
    auto form = make();
    EXPECT_TRUE(form->filter_pending()) << "the first filtering waits half a second";
    EXPECT_TRUE(form->database().empty());
    form->filter();
    EXPECT_EQ(form->database().size(), cities.size());
    EXPECT_EQ(form->results().size(), cities.size()) << "the first run does not look at the city list";
    EXPECT_NE(log().find("Filtered 7 for "), std::string::npos) << log();
    EXPECT_NE(log().find(" seconds.\n"), std::string::npos);
    form->filter();
    EXPECT_EQ(names(*form), (Names { "Aachen", "Berlin", "Bern", "Östersund", "östra Ljungby", "Σπάρτη" }));
    EXPECT_EQ(form->list().count(), 6);
}

TEST_F(FormTotalTest, BothSidesAreLowerCasedWithTheUnicodeMapping)
{
    start({});
    auto form = make();
    form->filter();
    for (std::u16string_view filter : { u"BERL", u"berl", u"BeRl" }) {
        type(*form, filter);
        form->filter();
        EXPECT_EQ(names(*form), Names { "Berlin" }) << utf8(filter);
    }
    type(*form, u"Ö");
    form->filter();
    EXPECT_EQ(names(*form), (Names { "Östersund", "östra Ljungby" }));
    type(*form, u"ÖSTR");
    form->filter();
    EXPECT_EQ(names(*form), Names { "östra Ljungby" });
    type(*form, u"σΠΆ");
    form->filter();
    EXPECT_EQ(names(*form), Names { "Σπάρτη" });
    type(*form, u"berlin, land berlin, germany, and more");
    form->filter();
    EXPECT_TRUE(form->results().empty()) << "a filter longer than the name matches nothing";
    type(*form, u"");
    form->filter();
    EXPECT_EQ(form->results().size(), cities.size());
}

TEST_F(FormTotalTest, TheFilterRunsHalfASecondAfterTheLastChange)
{
    start({});
    auto form = make();
    auto built = std::chrono::steady_clock::now();
    ASSERT_TRUE(pump_until([&] { return form->filter_count() == 1; }, std::chrono::seconds(3)));
    EXPECT_GE(std::chrono::steady_clock::now() - built, std::chrono::milliseconds(480));
    EXPECT_EQ(form->results().size(), cities.size());

    type(*form, u"b");
    pump(std::chrono::milliseconds(300));
    type(*form, u"be");
    pump(std::chrono::milliseconds(300));
    EXPECT_EQ(form->filter_count(), 1) << "each change starts the half second again";
    auto last = std::chrono::steady_clock::now();
    type(*form, u"ber");
    ASSERT_TRUE(pump_until([&] { return form->filter_count() == 2; }, std::chrono::seconds(3)));
    auto waited = std::chrono::steady_clock::now() - last;
    EXPECT_GE(waited, std::chrono::milliseconds(480));
    EXPECT_LT(waited, std::chrono::milliseconds(600)) << "Berlin is listed within 0.6 s of the last key";
    EXPECT_EQ(names(*form), (Names { "Berlin", "Bern" }));
}

TEST_F(FormTotalTest, ChoosingAddsThePageAndSavesTheListAndTheCityLeavesTheMatches)
{
    weather::Settings& settings = start({}, false);
    auto form = make();
    form->filter();
    form->reset_and_show();
    EXPECT_EQ(app().top_form(), form.get());
    EXPECT_EQ(app().focused(), &form->edit().edit()) << "the search opens with its field focused";
    type(*form, u"bern");
    form->filter();
    ASSERT_EQ(names(*form), Names { "Bern" });
    form->choose(0);
    EXPECT_FALSE(app().is_on_stack(*form));
    EXPECT_EQ(app().focused(), nullptr);
    ASSERT_EQ(settings.city_count(), 2u);
    EXPECT_EQ(utf8(settings.city(0).name), "Bern, Bern, Switzerland") << "before the advertising slot";
    EXPECT_EQ(utf8(settings.city(0).code), "02661552");
    EXPECT_TRUE(form->results().empty());
    EXPECT_NE(app_test::read_text(app_test::settings_path()).find("city_code=\"02661552\""), std::string::npos)
        << "the list is saved at once";
    type(*form, u"");
    form->filter();
    EXPECT_EQ(form->results().size(), cities.size() - 1) << "a city in the list is hidden from later searches";
    form->choose(-1);
    form->choose(int(form->results().size()));
    EXPECT_EQ(settings.city_count(), 2u) << "rows outside the matches choose nothing";
}

TEST_F(FormTotalTest, ARemovedCityIsFoundAgainHalfASecondLater)
{
    weather::Settings& settings = start({ { "Berlin, Land Berlin, Germany", "02950159" } });
    auto form = make();
    form->filter();
    type(*form, u"ber");
    form->filter();
    EXPECT_EQ(names(*form), Names { "Bern" });
    settings.remove_city(0);
    form->restart_filter_timer();
    auto removed = std::chrono::steady_clock::now();
    ASSERT_TRUE(pump_until([&] { return form->results().size() == 2; }, std::chrono::seconds(3)));
    EXPECT_GE(std::chrono::steady_clock::now() - removed, std::chrono::milliseconds(480));
    EXPECT_EQ(names(*form), (Names { "Berlin", "Bern" }));
}

TEST_F(FormTotalTest, BackEndsTheProgramOnlyWithAnEmptyList)
{
    start({}, false);
    auto advertising = make();
    advertising->reset_and_show();
    key(input::key_backspace);
    EXPECT_FALSE(app().is_on_stack(*advertising));
    EXPECT_FALSE(quit_requested()) << "the advertising page is there to go back to";
    advertising.reset();

    weather::Settings& settings = start({}, true);
    auto form = make();
    form->reset_and_show();
    key(input::key_backspace);
    EXPECT_FALSE(app().is_on_stack(*form));
    EXPECT_TRUE(quit_requested()) << "no record: nothing to go back to";

    settings.add_city(u"02950159", u"Berlin, Land Berlin, Germany");
    form->reset_and_show();
    form->back_button().key({ input::key_soft_left, true, true });
    form->back_button().key({ input::key_soft_left, false, true });
    EXPECT_FALSE(app().is_on_stack(*form));
    EXPECT_FALSE(quit_requested());
}

TEST_F(FormTotalTest, AMissingDatabaseIsLoggedAndTriedAgain)
{
    start({});
    std::string folder = test_support::scratch_folder("total-missing");
    std::string path = folder + "/codes.dat";
    std::remove(path.c_str());
    FormTotal form(skin(), skin_test::u16(path));
    form.filter();
    EXPECT_TRUE(form.database().empty());
    EXPECT_TRUE(form.results().empty());
    EXPECT_NE(log().find("CityDatabase::open cannot read"), std::string::npos) << log();
    test_support::write_bytes(path, codes_count(1) + codes_string(u"00000001") + codes_string(u"Aachen"));
    form.filter();
    EXPECT_EQ(form.database().size(), 1u) << "the next filtering reads the file";
    EXPECT_EQ(form.results().size(), 1u);
}

TEST_F(FormTotalTest, DamagedDatabasesKeepWhatWasReadBeforeTheDamage)
{
    start({});
    std::string folder = test_support::scratch_folder("total-damaged");
    std::string path = folder + "/codes.dat";
    // A count far larger than the entries, a long length past the end after two cities.
    test_support::write_bytes(path, codes_count(1000000) + codes_string(u"1") + codes_string(u"Aachen")
            + codes_string(u"2") + codes_string(u"Bonn", 4) + codes_string(u"3") + "\xFC\xFF\xFF\xFF\x7F" "ab");
    FormTotal form(skin(), skin_test::u16(path));
    form.filter();
    EXPECT_EQ(form.database().size(), 2u);
    EXPECT_EQ(form.results().size(), 2u);
    form.filter();
    EXPECT_EQ(form.results().size(), 2u) << "a damaged file is not read again";
}

TEST_F(FormTotalTest, KeysTypeIntoTheFieldMoveIntoTheListAndChoose)
{
    weather::Settings& settings = start({}, true);
    auto form = make();
    form->filter();
    form->reset_and_show();
    frames(2);
    type(*form, u"b");
    form->filter();
    EXPECT_EQ(form->list().highlight_position(), -1);
    key(input::key_down);
    frames(10);
    EXPECT_EQ(form->list().highlight_position(), 0) << "Down moves into the list, onto the first match";
    key(input::key_down);
    frames(20);
    EXPECT_EQ(form->list().highlight_position(), 1);
    key(input::key_enter);
    EXPECT_FALSE(app().is_on_stack(*form));
    ASSERT_EQ(settings.city_count(), 1u);
    EXPECT_EQ(utf8(settings.city(0).name), "Bern, Bern, Switzerland");
}

TEST_F(FormTotalTest, ATappedRowIsChosen)
{
    weather::Settings& settings = start({}, true);
    auto form = make();
    form->filter();
    form->reset_and_show();
    frames(2);
    skin::ListRowNode* row = form->list().row(2);
    ASSERT_NE(row, nullptr);
    tap(centre(*row));
    EXPECT_FALSE(app().is_on_stack(*form));
    ASSERT_EQ(settings.city_count(), 1u);
    EXPECT_EQ(utf8(settings.city(0).name), "Bern, Bern, Switzerland");
}

TEST_F(FormTotalTest, TheRulerListsEachFirstLetterOnceOnASortedDatabase)
{
    start({});
    auto form = make();
    form->filter();
    form->reset_and_show();
    frames(2);
    EXPECT_EQ(utf8(form->ruler().letters()), "ABPOΣ") << "\"Ö\" and \"ö\" are filed with O";
    EXPECT_EQ(utf8(form->ruler().shown_letters()), "ABPOΣ") << "all five fit";
    type(*form, u"b");
    form->filter();
    frames(2);
    EXPECT_EQ(utf8(form->ruler().shown_letters()), "B");

    // Sorted without regard to case, as the shipped database is.
    auto cases = std::make_unique<FormTotal>(skin(),
        skin_test::u16(write_codes("cases", { { u"1", u"Aachen" }, { u"2", u"al-Qamishli" }, { u"3", u"Alba" },
                                               { u"4", u"Ibadan" }, { u"5", u"\u0130zmir" }, { u"6", u"Istanbul" } })));
    cases->filter();
    EXPECT_EQ(utf8(cases->ruler().letters()), "AI");
    cases->jump_to_letter(u'I');
    EXPECT_EQ(cases->list().highlight_position(), 3);

    auto unsorted = std::make_unique<FormTotal>(skin(),
        skin_test::u16(write_codes("unsorted", { { u"1", u"Bern" }, { u"2", u"Aachen" }, { u"3", u"Berlin" }, { u"4", u"" } })));
    unsorted->filter();
    EXPECT_EQ(utf8(unsorted->ruler().letters()), "BAB") << "an unsorted database repeats letters; empty names give none";
}

TEST_F(FormTotalTest, TheRulerFilesNamesUnderTheirBaseLetterAndSignsLast)
{
    start({});
    // Sorted as the shipped database is: by base letter, other scripts after Latin, signs last.
    auto form = make({ { u"1", u"Aachen" }, { u"2", u"\u00C5rhus" }, { u"3", u"Bern" }, { u"4", u"\u0110\u00E0 N\u1EB5ng" },
        { u"5", u"\u015A\u0142ubice" }, { u"6", u"\u0160abac" }, { u"7", u"Z\u00FCrich" }, { u"8", u"\u041C\u043E\u0441\u043A\u0432\u0430" },
        { u"9", u"'s-Hertogenbosch" }, { u"10", u"6th of October" }, { u"11", u"\u2018Anah" } });
    form->filter();
    EXPECT_EQ(utf8(form->ruler().letters()), "ABDSZ\u041C#");
    struct Jump {
        char16_t letter;
        int row;
    };
    for (Jump jump : { Jump { u'A', 0 }, Jump { u'S', 4 }, Jump { u'\u015A', 4 }, Jump { u'#', 8 } }) {
        form->jump_to_letter(jump.letter);
        EXPECT_EQ(form->list().highlight_position(), jump.row) << int(jump.letter);
    }
}

TEST(AlphabetRulerPick, MostUsedLettersStayInTheirOrder)
{
    struct Case {
        std::vector<size_t> uses;
        size_t entries;
        std::vector<size_t> shown;
    };
    const Case cases[] = {
        { { 5, 1, 7 }, 3, { 0, 1, 2 } },               // all fit
        { { 5, 1, 7, 2 }, 2, { 0, 2 } },               // the two most used, in order
        { { 1, 9, 1, 9, 1 }, 3, { 0, 1, 3 } },         // of the tied ones, the evenly spread one
        { { 1, 1, 1, 1, 1, 1 }, 3, { 0, 2, 4 } },      // used alike: spread evenly
        { { 3, 3 }, 0, {} },                           // no room
    };
    for (const Case& c : cases)
        EXPECT_EQ(weather::AlphabetRuler::pick_letters(c.uses, c.entries), c.shown);
}

TEST_F(FormTotalTest, ASearchWithoutMatchSaysSoAndTheNextOneStartsAfresh)
{
    start({});
    auto form = make();
    form->filter();
    form->reset_and_show();
    type(*form, u"xq");
    form->filter();
    frames(2);
    auto* hint = dynamic_cast<skin::TextNode*>(form->find_descendant(u"hint"));
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->visible());
    EXPECT_EQ(utf8(hint->text()), "No city starts with \u201Cxq\u201D");
    form->back();
    frames(10);
    form->reset_and_show();
    EXPECT_EQ(utf8(form->edit().text()), "") << "the field is empty again";
    EXPECT_EQ(form->results().size(), cities.size()) << "over the whole list";
    EXPECT_FALSE(hint->visible());
}

TEST_F(FormTotalTest, TheRulerSamplesTheLettersEvenlyWhenNotAllFit)
{
    start({});
    std::vector<City> alphabet;
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        alphabet.push_back({ u"0000000" + std::u16string(1, c), std::u16string(1, c) + u"ville" });
    auto form = make(alphabet);
    form->filter();
    skin::place_on_screen(*form, 240, 320);
    const weather::AlphabetRuler& ruler = form->ruler();
    int h = ruler.entry_height();
    ASSERT_GT(h, 0);
    int room = ruler.button().height() - ruler.table().border_min().y - ruler.table().border_max().y;
    size_t entries = size_t(room / h);
    ASSERT_LT(entries, 26u);
    std::string expected;
    for (size_t i = 0; i < entries; ++i)
        expected += char('A' + i * 26 / entries);
    EXPECT_EQ(utf8(ruler.shown_letters()), expected);

    // A lower screen leaves room for fewer letters: the ruler is laid out again.
    skin::place_on_screen(*form, 240, 200);
    skin::place_on_screen(*form, 240, 200);
    room = ruler.button().height() - ruler.table().border_min().y - ruler.table().border_max().y;
    size_t fewer = size_t(room / h);
    ASSERT_LT(fewer, entries);
    EXPECT_EQ(ruler.shown_letters().size(), fewer);
    EXPECT_EQ(ruler.shown_letters()[0], u'A');
    // Each entry is placed inside the ruler.
    for (size_t i = 0; i < ruler.table().child_count(); ++i) {
        const skin::SkinNode& entry = ruler.table().child(i);
        EXPECT_GE(entry.y(), ruler.button().y());
        EXPECT_LE(entry.y() + entry.height(), ruler.button().y() + ruler.button().height());
        EXPECT_GT(entry.width(), 0);
    }
}

TEST_F(FormTotalTest, TheRulerKeepsTheLettersOfTheScriptTheListStartsWith)
{
    // A Russian list: a few Cyrillic names first, then many more Latin (English) ones.
    start({});
    std::vector<City> names;
    for (char16_t c = u'А'; c <= u'Я'; ++c)
        names.push_back({ u"1000" + std::u16string(1, u'A' + (c - u'А') % 26) + u"000", std::u16string(1, c) + u"град" });
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        for (int i = 0; i < 5; ++i)
            names.push_back({ u"2000" + std::u16string(1, c) + u"00" + char16_t(u'0' + i), std::u16string(1, c) + u"ville" });
    auto form = make(names);
    form->filter();
    skin::place_on_screen(*form, 240, 320);
    std::u16string shown = form->ruler().shown_letters();
    ASSERT_LT(shown.size(), 32u + 26u);
    for (char16_t c : shown)
        EXPECT_GE(c, u'А') << "a Latin letter kept before a Cyrillic one: " << utf8(shown);
}

TEST_F(FormTotalTest, ATapOnTheRulerHighlightsTheFirstMatchOfTheLetter)
{
    start({});
    std::vector<City> many;
    for (char16_t c = u'A'; c <= u'F'; ++c)
        for (int i = 0; i < 10; ++i)
            many.push_back({ u"000000" + std::u16string(1, c) + char16_t(u'0' + i), std::u16string(1, c) + u"town " + char16_t(u'0' + i) });
    auto form = make(many);
    form->filter();
    form->reset_and_show();
    frames(2);
    const weather::AlphabetRuler& ruler = form->ruler();
    ASSERT_EQ(utf8(ruler.shown_letters()), "ABCDEF");
    const skin::SkinNode& d = ruler.table().child(3);
    tap(centre(d));
    frames(30);
    EXPECT_EQ(int(form->list().highlight_position() + 0.5), 30) << "the first D";
    skin::ListRowNode* row = form->list().row(30);
    ASSERT_NE(row, nullptr) << "scrolled into sight";
    EXPECT_GE(row->y(), form->list().y());
    EXPECT_LE(row->y() + row->height(), form->list().y() + form->list().height());
    key(input::key_enter);
    EXPECT_EQ(utf8(m_settings->city(0).name), "Dtown 0");
}

namespace {

const std::vector<City> world = {
    { u"02950159", u"Berlin, Berlin, Germany" },
    { u"02867714", u"Munich, Bavaria, Germany" },
    { u"02867714", u"München, Bayern, Deutschland" },
    { u"03448439", u"São Paulo, São Paulo, Brazil" },
    { u"01850147", u"Tokyo, Tokyo, Japan" },
    { u"01853909", u"Ōsaka, Osaka, Japan" },
    { u"00524901", u"Москва, Москва, Россия" },
};

// Beside the database in `folder`: a language's own database.
void write_language_codes(const std::string& codes_path, const std::string& language, const std::vector<City>& entries)
{
    std::string bytes = codes_count(int32_t(entries.size()));
    for (const City& city : entries)
        bytes += codes_string(city.code) + codes_string(city.name);
    test_support::write_bytes(codes_path.substr(0, codes_path.rfind('/') + 1) + language + ".codes.dat", bytes);
}

} // namespace

TEST_F(FormTotalTest, TypedLettersMatchNamesWithoutCaseOrAccents)
{
    start({ { "Berlin, Berlin, Germany", "02950159" } });
    auto form = make(world);
    form->filter();
    const struct {
        std::u16string_view typed;
        Names found;
    } table[] = {
        { u"sao paulo", { "São Paulo" } },
        { u"SÃO", { "São Paulo" } },
        { u"munchen", { "München" } },
        { u"MÜNCH", { "München" } },
        { u"mu", { "Munich", "München" } },
        { u"osaka", { "Ōsaka" } },
        { u"моск", { "Москва" } },
        { u"МОСКВА", { "Москва" } },
        { u"sáo paulo, são paulo, brazil!", {} },
    };
    for (const auto& row : table) {
        type(*form, row.typed);
        form->filter();
        EXPECT_EQ(names(*form), row.found) << utf8(row.typed);
    }
}

TEST_F(FormTotalTest, TheLanguagesOwnDatabaseIsReadAndACityInTheListIsHiddenUnderEveryName)
{
    std::string codes = write_codes("languages", { world[0], world[1] });
    write_language_codes(codes, "german", { world[0], world[1], world[2] });
    start({ { "München, Bayern, Deutschland", "02867714" } });
    std::string program = NALO_PROGRAM_DIR;
    ASSERT_TRUE(skin().load_language(platform::from_utf8(program + "/german.lng")));
    auto form = make_at(codes);
    form->filter();
    EXPECT_EQ(utf8(form->database_path()), codes.substr(0, codes.rfind('/') + 1) + "german.codes.dat");
    form->filter();
    EXPECT_EQ(names(*form), Names { "Berlin" }) << "München is in the list, so Munich is too";

    // Back to English: the next filtering reads codes.dat again.
    ASSERT_TRUE(skin().load_language(platform::from_utf8(program + "/english.lng")));
    form->reload(skin());
    EXPECT_EQ(utf8(form->database_path()), codes);
    EXPECT_EQ(form->database().size(), 2u);
}

TEST_F(FormTotalTest, AFirstStartOffersTheLargestCityOfTheTimeZoneFirst)
{
    std::string codes = write_codes("suggestion", world);
    test_support::write_bytes(codes.substr(0, codes.rfind('/') + 1) + "places.tsv",
        "# code\tlatitude\tlongitude\ttime zone\tpopulation\tname\n"
        "01853909\t34.69\t135.50\tAsia/Tokyo\t2592413\tŌsaka, Osaka, Japan\n"
        "01850147\t35.69\t139.69\tAsia/Tokyo\t8336599\tTokyo, Tokyo, Japan\n"
        "broken line\tAsia/Tokyo\n"
        "02867714\t48.14\t11.58\tEurope/Berlin\t1260391\tMunich, Bavaria, Germany\n");
    const struct {
        const char* zone;
        bool cities;
        const char* typed;
        const char* first_row; // empty: no suggestion
    } table[] = {
        { ":Asia/Tokyo", false, "", "Suggested: Tokyo, Tokyo, Japan" },
        // The database names Munich twice: the name that is not the English one wins.
        { "/usr/share/zoneinfo/Europe/Berlin", false, "", "Suggested: München, Bayern, Deutschland" },
        { "Asia/Tokyo", false, "t", "" },
        { "Asia/Tokyo", true, "", "" },
        { "America/Nowhere", false, "", "" },
        { "CET-1", false, "", "" },
    };
    for (const auto& row : table) {
        setenv("TZ", row.zone, 1);
        start(row.cities ? std::vector<std::pair<std::string, std::string>> { { "Berlin, Berlin, Germany", "02950159" } }
                         : std::vector<std::pair<std::string, std::string>> {});
        auto form = make_at(codes);
        type(*form, platform::from_utf8(row.typed));
        form->filter();
        EXPECT_EQ(form->suggesting(), *row.first_row != 0) << row.zone;
        EXPECT_EQ(form->list().count(), int(form->results().size()) + (*row.first_row ? 1 : 0)) << row.zone;
        if (*row.first_row) {
            EXPECT_EQ(first_row(*form), row.first_row) << row.zone;
        }
    }
    unsetenv("TZ");
}

TEST_F(FormTotalTest, ChoosingTheSuggestionAddsItAndTakesItFromTheMatches)
{
    std::string codes = write_codes("suggestion-chosen", world);
    test_support::write_bytes(codes.substr(0, codes.rfind('/') + 1) + "places.tsv",
        "01850147\t35.69\t139.69\tAsia/Tokyo\t8336599\tTokyo, Tokyo, Japan\n");
    setenv("TZ", "Asia/Tokyo", 1);
    weather::Settings& settings = start({});
    auto form = make_at(codes);
    form->filter();
    ASSERT_TRUE(form->suggesting());
    size_t before = form->results().size();
    form->choose(0);
    unsetenv("TZ");
    ASSERT_EQ(settings.real_city_count(), 1u);
    EXPECT_EQ(utf8(settings.cities().back().name), "Tokyo, Tokyo, Japan");
    EXPECT_FALSE(form->suggesting());
    EXPECT_EQ(form->results().size(), before - 1);
    EXPECT_EQ(form->list().count(), int(before - 1));
}
