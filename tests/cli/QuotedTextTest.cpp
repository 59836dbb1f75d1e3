// Names and values from outside as messages show them.
#include "cli/io/QuotedText.h"

#include <gtest/gtest.h>

TEST(QuotedText, ControlCharactersAndStrayBytesAreEscapedAndTextIsKept)
{
    EXPECT_EQ(printable("take 1.wav"), "take 1.wav");
    EXPECT_EQ(printable("a\nb\tc\rd"), "a\\nb\\tc\\rd");
    EXPECT_EQ(printable("\x1b[2Jclear"), "\\x1b[2Jclear");
    EXPECT_EQ(printable(std::string("nul\0x", 5)), "nul\\x00x");
    EXPECT_EQ(printable("del\x7f"), "del\\x7f");
    // UTF-8 is kept; the C1 controls (U+009B opens a terminal command) are escaped; bytes
    // that are not UTF-8 (a stray 0xff, an overlong form, a cut sequence) show as bytes.
    EXPECT_EQ(printable("Gr\xc3\xbc\xc3\x9f \xe2\x80\x94 \xf0\x9f\x8e\xa7"), "Gr\xc3\xbc\xc3\x9f \xe2\x80\x94 \xf0\x9f\x8e\xa7");
    EXPECT_EQ(printable("\xc2\x9b" "31m"), "\\u009b31m");
    EXPECT_EQ(printable("bad\xff"), "bad\\xff");
    EXPECT_EQ(printable("\xc0\xaf"), "\\xc0\\xaf");
    EXPECT_EQ(printable("cut\xe2\x80"), "cut\\xe2\\x80");
}

TEST(QuotedText, LongTextIsCutAtACharactersStartWithItsLength)
{
    EXPECT_EQ(quoted("EQGain"), "\"EQGain\"");
    EXPECT_EQ(quoted(std::string(10, 'k'), 4), "\"kkkk...\" (10 bytes)");
    // Three two-byte characters: a cut after 5 bytes falls inside the third and steps back.
    EXPECT_EQ(quoted("\xc3\xbc\xc3\xbc\xc3\xbc", 5), "\"\xc3\xbc\xc3\xbc...\" (6 bytes)");
    EXPECT_EQ(quoted("a\nb", 2), "\"a\\n...\" (3 bytes)");
}
