// Text as people type it and spreadsheets save it: numbers with a typographic minus, a unit
// or a decimal comma, and files that are not UTF-8.
#include "cli/io/SpreadsheetText.h"
#include "cli/settings/TypedNumber.h"

#include <gtest/gtest.h>

TEST(TypedNumbers, MinusSignsUnitsAndSpacesAsTyped)
{
    struct Case
    {
        const char* text;
        double value;
        const char* rest;
    };
    const Case read[] = {
        {"-23", -23.0, ""},
        {"\xe2\x88\x92" "23", -23.0, ""},        // U+2212
        {"\xe2\x80\x93" "6 dB", -6.0, "dB"},     // en dash
        {" -23 LUFS ", -23.0, "LUFS"},
        {"-23LUFS", -23.0, "LUFS"},
        {"-23\xc2\xa0LUFS", -23.0, "LUFS"},      // a no-break space
        {"\xe2\x80\xaf" "3.4kHz", 3.4, "kHz"},   // a narrow no-break space before
        {"+.5", 0.5, ""},
    };
    for (const Case& c : read)
    {
        double value = 0.0;
        std::string rest;
        ASSERT_TRUE(readTypedNumber(c.text, value, rest)) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(rest, c.rest) << c.text;
    }
    for (const char* refused : {"", "LUFS", "--23", "- 23", "inf", "nan", "1e999", "\xe2\x80\x94" "23", "\xe2\x88\x92"})
    {
        double value = 0.0;
        std::string rest;
        EXPECT_FALSE(readTypedNumber(refused, value, rest)) << refused;
    }
}

TEST(TypedNumbers, ADecimalCommaIsAPointOnlyInANumberAlone)
{
    EXPECT_EQ(decimalPointed("-23,5"), "-23.5");
    EXPECT_EQ(decimalPointed("\xe2\x88\x92" "2,5 dB"), "\xe2\x88\x92" "2.5 dB");
    EXPECT_EQ(decimalPointed("44,1 kHz"), "44.1 kHz");
    EXPECT_EQ(decimalPointed("12,5%"), "12.5%");
    for (const char* kept : {"1,000,000", "take 1,5.wav", "a,5", "5,", ",5", "1,5 2", "Phone call", "-23.5", "1,5/2"})
        EXPECT_EQ(decimalPointed(kept), kept) << kept;
}

TEST(TypedNumbers, RefusalsNameTheCharacterThatLooksLikeOneTaken)
{
    EXPECT_EQ(numberLookalikes("-23"), "");
    EXPECT_EQ(numberLookalikes("\xe2\x88\x92" "23"), "");
    EXPECT_NE(numberLookalikes("\xe2\x80\x94" "23").find("'\xe2\x80\x94' (U+2014) is not a minus sign"), std::string::npos);
    EXPECT_NE(numberLookalikes("\xef\xbc\x8d" "3").find("(U+FF0D)"), std::string::npos);
    EXPECT_NE(numberLookalikes("\xef\xbc\x92\xef\xbc\x93").find("(U+FF12) is a full-width digit"), std::string::npos);
    // Named once however often it stands.
    const std::string twice = numberLookalikes("\xe2\x80\x94" "3\xe2\x80\x94");
    EXPECT_EQ(twice.find("U+2014"), twice.rfind("U+2014"));
    EXPECT_NE(numberLookalikes("-23,5").find("type -23.5"), std::string::npos);
}

TEST(SpreadsheetTexts, Utf8IsKeptAndWindows1252Converted)
{
    EXPECT_EQ(spreadsheetText("caf\xc3\xa9").text, "caf\xc3\xa9");
    EXPECT_FALSE(spreadsheetText("caf\xc3\xa9").fromWindows1252);
    EXPECT_EQ(spreadsheetText("\xef\xbb\xbf" "a,b").text, "a,b");
    // Windows-1252's own: é, the euro sign, curly quotes, an en dash; the bytes it leaves
    // undefined as their C1 controls.
    const SpreadsheetText windows = spreadsheetText("caf\xe9 \x80 \x93x\x94 \x96 \x81");
    EXPECT_TRUE(windows.fromWindows1252);
    EXPECT_EQ(windows.text, "caf\xc3\xa9 \xe2\x82\xac \xe2\x80\x9cx\xe2\x80\x9d \xe2\x80\x93 \xc2\x81");
    EXPECT_TRUE(isUtf8(windows.text));
    // What is not UTF-8: overlong forms, surrogates, a sequence cut short.
    for (const char* notUtf8 : {"\xc0\xaf", "\xed\xa0\x80", "\xe2\x88", "\xf4\x90\x80\x80"})
        EXPECT_FALSE(isUtf8(notUtf8)) << notUtf8;
}
