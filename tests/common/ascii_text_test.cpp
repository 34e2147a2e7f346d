// The shared text rules: each once, for every area that needs it.
#include "common/ascii_text.h"

#include <gtest/gtest.h>

TEST(AsciiText, UpperCasesOnlyAsciiLetters)
{
  EXPECT_EQ(UpperAscii('a'), 'A');
  EXPECT_EQ(UpperAscii('z'), 'Z');
  EXPECT_EQ(UpperAscii('Q'), 'Q');
  EXPECT_EQ(UpperAscii('1'), '1');
  EXPECT_EQ(UpperAscii('\xe9'), '\xe9');  // a letter of the code page stays
}

TEST(AsciiText, ComparesTheGivenLengthWithoutRegardToCase)
{
  EXPECT_TRUE(SameTextNoCase("C:\\Windows", "c:\\WINDOWS", 10));
  EXPECT_TRUE(SameTextNoCase("abcX", "ABCy", 3));
  EXPECT_FALSE(SameTextNoCase("abc", "abd", 3));
  EXPECT_FALSE(SameTextNoCase("\xe9", "\xc9", 1));
  EXPECT_TRUE(SameTextNoCase("x", "y", 0));
}

TEST(AsciiText, DropsOneTrailingSeparator)
{
  EXPECT_EQ(WithoutTrailingSeparator("C:\\Games\\", 9), 8u);
  EXPECT_EQ(WithoutTrailingSeparator("C:\\Games\\\\", 10), 9u);
  EXPECT_EQ(WithoutTrailingSeparator("C:\\Games", 8), 8u);
  EXPECT_EQ(WithoutTrailingSeparator("\\", 1), 0u);
  EXPECT_EQ(WithoutTrailingSeparator("", 0), 0u);
}

TEST(AsciiText, ThreeCharactersOrFewerAreADriveRoot)
{
  EXPECT_TRUE(IsDriveRoot(0));
  EXPECT_TRUE(IsDriveRoot(2));  // "D:"
  EXPECT_TRUE(IsDriveRoot(3));  // "D:\\"
  EXPECT_FALSE(IsDriveRoot(4));
}
