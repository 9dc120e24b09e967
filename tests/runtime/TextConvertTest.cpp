#include "runtime/TextConvert.h"

#include <gtest/gtest.h>

using namespace runtime;

TEST(TextToInt, SignsSpacesAndTrailingText)
{
    int32_t v = 7;
    EXPECT_TRUE(text_to_int(u" -42 km", v));
    EXPECT_EQ(v, -42);
    EXPECT_TRUE(text_to_int(u"12abc", v));
    EXPECT_EQ(v, 12);
    EXPECT_TRUE(text_to_int(u"\t+8", v));
    EXPECT_EQ(v, 8);
    v = 99;
    for (const char16_t* bad : { u"", u"   ", u"-", u"+", u"x1", u"- 1", u"--1" }) {
        EXPECT_FALSE(text_to_int(bad, v)) << "accepted a bad text";
        EXPECT_EQ(v, 99);
    }
}

TEST(TextToInt, OverflowWrapsInThirtyTwoBits)
{
    int32_t v = 0;
    EXPECT_TRUE(text_to_int(u"4294967295", v));
    EXPECT_EQ(v, -1);
    EXPECT_TRUE(text_to_int(u"4294967296", v));
    EXPECT_EQ(v, 0);
    EXPECT_TRUE(text_to_int(u"-2147483648", v));
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_TRUE(text_to_int(u"99999999999999999999", v)); // no undefined behaviour, just wraps
}

TEST(TextToDouble, FractionsExponentsAndFailures)
{
    double d = 0;
    EXPECT_TRUE(text_to_double(u"1.5e2", d));
    EXPECT_DOUBLE_EQ(d, 150);
    EXPECT_TRUE(text_to_double(u" -0.25", d));
    EXPECT_DOUBLE_EQ(d, -0.25);
    EXPECT_TRUE(text_to_double(u".5", d));
    EXPECT_DOUBLE_EQ(d, 0.5);
    EXPECT_TRUE(text_to_double(u"7.", d));
    EXPECT_DOUBLE_EQ(d, 7);
    EXPECT_TRUE(text_to_double(u"2E-1x", d));
    EXPECT_DOUBLE_EQ(d, 0.2);
    d = 3;
    for (const char16_t* bad : { u"", u"-", u".", u"-.", u"1e", u"1e+", u"abc" })
        EXPECT_FALSE(text_to_double(bad, d));
    EXPECT_DOUBLE_EQ(d, 3);
}

TEST(NumberToText, PrintfFormats)
{
    EXPECT_EQ(int_to_text(-5), u"-5");
    EXPECT_EQ(int_to_text(INT32_MIN), u"-2147483648");
    EXPECT_EQ(double_to_text(0.5), u"0.500000");
    EXPECT_EQ(double_to_text(-1234.0625), u"-1234.062500");
}
