// The typing session on its own: insertion at the caret, the editing keys over surrogate
// pairs, control characters left out, the length limit, and the text the program sets.
#include "framework/TypingSession.h"
#include "framework/VirtualKeys.h"

#include "input/KeyCodes.h"
#include "skin/file/LanguageTable.h"
#include "skin/nodes/EditNode.h"

#include <gtest/gtest.h>

using namespace framework;

namespace {

struct Changes : skin::EditNodeListener {
    std::vector<std::u16string> texts;
    void text_changed(skin::EditNode& node) override { texts.push_back(node.text()); }
};

} // namespace

TEST(TypingSession, TypingAndEditingKeysChangeTheNodesText)
{
    skin::EditNode node;
    node.set_text(u"ab");
    Changes changes;
    node.set_listener(&changes);
    TypingSession session;
    EXPECT_FALSE(session.insert(u"x")) << "nothing without a node";
    session.open(node);
    EXPECT_EQ(session.caret(), 2u);
    EXPECT_TRUE(session.insert(u"c\u00E9"));
    EXPECT_EQ(node.text(), u"abc\u00E9");
    EXPECT_TRUE(session.edit_key(vk::home));
    EXPECT_TRUE(session.edit_key(vk::del));
    EXPECT_TRUE(session.edit_key(vk::right));
    EXPECT_TRUE(session.insert(u"\tZ\n\x7F"));
    EXPECT_EQ(node.text(), u"bZc\u00E9") << "control characters are left out";
    EXPECT_TRUE(session.edit_key(vk::end));
    EXPECT_TRUE(session.edit_key(vk::back));
    EXPECT_EQ(node.text(), u"bZc");
    EXPECT_FALSE(session.edit_key(vk::up)) << "not one of its keys";
    EXPECT_EQ(changes.texts, (std::vector<std::u16string> { u"abc\u00E9", u"bc\u00E9", u"bZc\u00E9", u"bZc" }));
    // Keys at the ends change nothing and tell nobody.
    session.edit_key(vk::end);
    session.edit_key(vk::del);
    session.edit_key(vk::home);
    session.edit_key(vk::back);
    EXPECT_EQ(changes.texts.size(), 4u);
}

TEST(TypingSession, SurrogatePairsMoveAndGoAsOneCharacter)
{
    skin::EditNode node;
    TypingSession session;
    session.open(node);
    session.insert(u"a\U0001F600b");
    EXPECT_EQ(session.caret(), 4u);
    session.edit_key(vk::left);
    session.edit_key(vk::left);
    EXPECT_EQ(session.caret(), 1u) << "over the pair at once";
    session.edit_key(vk::del);
    EXPECT_EQ(node.text(), u"ab");
    session.insert(u"\U0001F600");
    session.edit_key(vk::back);
    EXPECT_EQ(node.text(), u"ab");
}

TEST(TypingSession, TheLimitAndTheTextTheProgramSets)
{
    skin::EditNode node;
    TypingSession session;
    session.open(node);
    session.insert(std::u16string(TypingSession::max_length - 1, u'x'));
    EXPECT_TRUE(session.insert(u"yz"));
    EXPECT_EQ(node.text().size(), TypingSession::max_length);
    EXPECT_EQ(node.text().back(), u'y');
    EXPECT_FALSE(session.insert(u"more"));

    node.set_text(u"Paris");
    EXPECT_TRUE(session.refresh());
    EXPECT_EQ(session.text(), u"Paris");
    EXPECT_EQ(session.caret(), 5u) << "kept inside the new text";
    EXPECT_FALSE(session.refresh()) << "the same text again";
    session.close();
    EXPECT_FALSE(session.active());
}

namespace {

// A language file's bytes: UTF-16LE with its mark, one KEY=text a line.
skin::LanguageTable language(const std::u16string& lines)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t c : lines)
        bytes += { char(c & 0xFF), char(c >> 8) };
    return skin::LanguageTable::parse(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

std::u16string keypad_lines(const char16_t* const (&keys)[10])
{
    std::u16string lines;
    for (int digit = 0; digit < 10; ++digit)
        lines += u"Keypad" + std::u16string(1, char16_t(u'0' + digit)) + u"=" + keys[digit] + u"\n";
    return lines;
}

} // namespace

TEST(TypingSession, TheTwelveKeysTypeTheLanguagesLettersByMultiTap)
{
    const char16_t* const german[10] = { u"0", u".-1", u"abc\u00E42", u"def3", u"ghi4", u"jkl5", u"mno\u00F66", u"pqrs\u00DF7", u"tuv\u00FC8", u"wxyz9" };
    const char16_t* const russian[10] = { u"0", u".-1", u"\u0430\u0431\u0432\u04332", u"\u0434\u0435\u0436\u04373", u"\u0438\u0439\u043A\u043B4", u"\u043C\u043D\u043E\u043F5",
        u"\u0440\u0441\u0442\u04436", u"\u0444\u0445\u0446\u04477", u"\u0448\u0449\u044A\u044B8", u"\u044C\u044D\u044E\u044F9" };
    struct Case {
        const char* what;
        KeypadLetters keypad;
        const char* keys; // digits, '*', '#', and '_' for a pause longer than the keypad's
        std::u16string text;
    };
    const Case cases[] = {
        { "Latin, another key commits", KeypadLetters(), "223377755566", u"berln" },
        { "the same key after a pause", KeypadLetters(), "777_777", u"rr" },
        { "round past the digit", KeypadLetters(), "22222", u"a" },
        { "0: a space, then 0", KeypadLetters(), "2_0_2", u"a a" },
        { "* switches case", KeypadLetters(), "*2_*2", u"Aa" },
        { "# steps to digits", KeypadLetters(), "#2222", u"2222" },
        { "German: ü from its base key", KeypadLetters::from_language(language(keypad_lines(german))), "38888", u"d\u00FC" },
        { "German: ß after s", KeypadLetters::from_language(language(keypad_lines(german))), "77777", u"\u00DF" },
        { "Russian: Cyrillic first", KeypadLetters::from_language(language(keypad_lines(russian))), "5_55566", u"\u043C\u043E\u0441" },
        { "Russian: # for Latin", KeypadLetters::from_language(language(keypad_lines(russian))), "#22", u"b" },
        { "Russian: ## for digits", KeypadLetters::from_language(language(keypad_lines(russian))), "##5", u"5" },
        { "a file without the keys", KeypadLetters::from_language(language(u"Back=Back\n")), "44", u"h" },
    };
    for (const Case& c : cases) {
        skin::EditNode node;
        TypingSession session;
        session.set_keypad(c.keypad);
        session.open(node);
        uint32_t now = 1000;
        for (const char* k = c.keys; *k; ++k) {
            if (*k == '_') {
                now += TypingSession::keypad_pause_ms + 1;
                continue;
            }
            int code = *k == '*' ? input::key_star : *k == '#' ? input::key_pound : input::key_0 + (*k - '0');
            EXPECT_TRUE(session.keypad_key(code, now)) << c.what;
            now += 100;
        }
        EXPECT_EQ(node.text(), c.text) << c.what;
    }
}

TEST(TypingSession, APendingLetterIsMarkedUntilThePauseOrAnotherEdit)
{
    skin::EditNode node;
    TypingSession session;
    session.open(node);
    EXPECT_TRUE(session.keypad_key(input::key_0 + 2, 0));
    EXPECT_TRUE(session.keypad_key(input::key_0 + 2, 200));
    EXPECT_EQ(session.pending(), 1u);
    EXPECT_EQ(node.text(), u"b");
    EXPECT_FALSE(session.commit_after_pause(200 + TypingSession::keypad_pause_ms - 1));
    EXPECT_TRUE(session.commit_after_pause(200 + TypingSession::keypad_pause_ms));
    EXPECT_EQ(session.pending(), 0u);
    EXPECT_TRUE(session.keypad_key(input::key_0 + 3, 5000));
    EXPECT_TRUE(session.edit_key(vk::back));
    EXPECT_EQ(session.pending(), 0u) << "an edit commits";
    EXPECT_EQ(node.text(), u"b");
    EXPECT_FALSE(session.keypad_key(input::key_enter, 6000)) << "not a keypad key";
}
