#include "input/KeyCodes.h"

#include <gtest/gtest.h>

using namespace input;

TEST(KeyCodes, VirtualKeysOfThePhone)
{
    EXPECT_EQ(key_code_of_virtual_key(27), key_backspace);
    EXPECT_EQ(key_code_of_virtual_key(8), key_backspace);
    EXPECT_EQ(key_code_of_virtual_key(106), key_star);
    EXPECT_EQ(key_code_of_virtual_key(119), key_star);
    EXPECT_EQ(key_code_of_virtual_key(120), key_pound);
    EXPECT_EQ(key_code_of_virtual_key(124), key_none);
    EXPECT_EQ(key_code_of_virtual_key(0), key_none);
    EXPECT_EQ(key_code_of_virtual_key(48), key_0);
    EXPECT_EQ(key_code_of_virtual_key(105), key_0 + 9);
    EXPECT_EQ(key_code_of_virtual_key(90), key_a + 25);
    EXPECT_EQ(key_code_of_virtual_key(38), key_up);
    EXPECT_EQ(key_code_of_virtual_key(39), key_right);
    EXPECT_EQ(key_code_of_virtual_key(114), key_call_make);
    EXPECT_EQ(key_code_of_virtual_key(112), key_soft_left);
}

TEST(KeyCodes, NamesBothWays)
{
    EXPECT_EQ(key_name(0), u"None");
    EXPECT_EQ(key_name(20), u"A");
    EXPECT_EQ(key_name(55), u"9");
    EXPECT_EQ(key_name(62), u"SOFT_RIGHT");
    EXPECT_EQ(key_name(68), u"/");
    EXPECT_EQ(key_name(69), u"");
    EXPECT_EQ(key_name(-1), u"");
    // Every name maps back to its own code; the virtual-key table never yields Esc or SLIDE.
    for (int code = 0; code < key_code_count; ++code)
        EXPECT_EQ(key_code_of_name(key_name(code)), code);
    for (int vk = 0; vk < 256; ++vk) {
        EXPECT_NE(key_code_of_virtual_key(vk), key_esc);
        EXPECT_NE(key_code_of_virtual_key(vk), key_slide);
    }
    EXPECT_EQ(key_code_of_name(u"soft_left"), key_none);
    EXPECT_EQ(key_code_of_name(u"CALL_MAKE"), key_call_make);
}
