// The 32-character face-name field of the title font.
#include "shell/font_face.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

bool AllZero(const char (&field)[FaceNameSize], size_t from)
{
  for (size_t i = from; i < FaceNameSize; ++i)
    if (field[i] != 0)
      return false;
  return true;
}

}  // namespace

TEST(CopyFaceName, CopiesNamesThatFitWithTheirTerminator)
{
  char field[FaceNameSize];
  std::memset(field, 'x', sizeof(field));
  ASSERT_TRUE(CopyFaceName(field, "Arial Black"));
  EXPECT_STREQ(field, "Arial Black");
  EXPECT_TRUE(AllZero(field, std::strlen("Arial Black")));

  const std::string longest(FaceNameSize - 1, 'F');  // 31 characters + terminator
  std::memset(field, 'x', sizeof(field));
  ASSERT_TRUE(CopyFaceName(field, longest.c_str()));
  EXPECT_EQ(std::string(field), longest);

  std::memset(field, 'x', sizeof(field));
  ASSERT_TRUE(CopyFaceName(field, ""));
  EXPECT_TRUE(AllZero(field, 0));
}

TEST(CopyFaceName, NullOrTooLongLeavesTheFieldZero)
{
  char field[FaceNameSize];
  std::memset(field, 'x', sizeof(field));
  EXPECT_FALSE(CopyFaceName(field, nullptr));
  EXPECT_TRUE(AllZero(field, 0));

  for (size_t length : {FaceNameSize, FaceNameSize + 1, size_t{200}}) {
    const std::string name(length, 'L');
    std::memset(field, 'x', sizeof(field));
    EXPECT_FALSE(CopyFaceName(field, name.c_str())) << length;
    EXPECT_TRUE(AllZero(field, 0)) << length;
  }
}
