// The typing session on its own: insertion at the caret, the editing keys over surrogate
// pairs, control characters left out, the length limit, and the text the program sets.
#include "framework/TypingSession.h"
#include "framework/VirtualKeys.h"

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
