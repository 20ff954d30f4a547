#include <gtest/gtest.h>

#include "bounded_text.h"

namespace {

TEST(BoundedText, CutsNeverSplitADoubleByteCharacter)
{
    // "aソb": ソ is 83 5C, whose trail byte is a backslash.
    const char text[] = "a\x83\x5c" "b";
    EXPECT_EQ(1, CutLength(text, 4, 2, kCodePage932)) << "cut inside ソ drops the lead byte";
    EXPECT_EQ(3, CutLength(text, 4, 3, kCodePage932));
    EXPECT_EQ(4, CutLength(text, 4, 9, kCodePage932));
    EXPECT_EQ(0, CutLength(text, 4, 0, kCodePage932));

    // Half-width katakana (A1..DF) are single bytes.
    EXPECT_EQ(2, CutLength("\xb1\xb2\xb3", 3, 2, kCodePage932));

    char buffer[4];
    EXPECT_EQ(1, CopyText(buffer, 3, text));
    EXPECT_STREQ("a", buffer);
    EXPECT_EQ(3, CopyText(buffer, 4, text));
    EXPECT_STREQ("a\x83\x5c", buffer);
}

TEST(BoundedText, AppendStopsAtTheRoomAndAtTheTerminator)
{
    char buffer[8] = "abc";
    EXPECT_EQ(4, AppendText(buffer, sizeof buffer, "defghij"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_EQ(0, AppendText(buffer, sizeof buffer, "x"));

    char other[8] = "";
    EXPECT_EQ(2, AppendText(other, sizeof other, "hi\0there", 8));
    EXPECT_STREQ("hi", other);
}

}  // namespace
