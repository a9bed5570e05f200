#include "skin/KestUtil.h"

#include <gtest/gtest.h>

namespace skin {
namespace {

TEST(KestUtil, StrToIntDefaultReadsDecimalHexAndRejectsJunk) {
  EXPECT_EQ(StrToIntDefault("42", 7), 42);
  EXPECT_EQ(StrToIntDefault("  -30", 7), -30);
  EXPECT_EQ(StrToIntDefault("+5", 7), 5);
  EXPECT_EQ(StrToIntDefault("$1F", 7), 31);
  EXPECT_EQ(StrToIntDefault("$FFFFFFFF", 7), -1);
  EXPECT_EQ(StrToIntDefault("-2147483648", 7), INT32_MIN);
  EXPECT_EQ(StrToIntDefault("2147483647", 7), INT32_MAX);
  // Not integers: the default.
  for (const char* junk : {"", " ", "-", "$", "12px", "1 ", "0x10", "2147483648",
                           "99999999999999999999", "$100000000", "1.5"}) {
    EXPECT_EQ(StrToIntDefault(junk, 7), 7) << junk;
  }
}

TEST(KestUtil, PairFieldsSplitAtTheFirstComma) {
  EXPECT_EQ(PairField("258,300", 0), "258");
  EXPECT_EQ(PairField("258,300", 1), "300");
  EXPECT_EQ(PairField("1,2,3", 1), "2,3");
  EXPECT_EQ(PairField("12", 0), "12");
  EXPECT_EQ(PairField("12", 1), "");
  EXPECT_EQ(PairField(" 1 , 2", 1), " 2");

  EXPECT_EQ(ParsePair("-30,6", 5, 5), (platform::TPoint{-30, 6}));
  EXPECT_EQ(ParsePair("", 5, 9), (platform::TPoint{5, 9}));
  EXPECT_EQ(ParsePair("x,4", 5, 9), (platform::TPoint{5, 4}));
  EXPECT_EQ(ParsePair("3", 5, 9), (platform::TPoint{3, 9}));
}

TEST(KestUtil, HexColoursSwapRedAndBlueAndFallBackToRed) {
  EXPECT_EQ(HexToColor("#FF0000"), 0x000000FFu);
  EXPECT_EQ(HexToColor("#0000FF"), 0x00FF0000u);
  EXPECT_EQ(HexToColor("#123456"), 0x00563412u);
  EXPECT_EQ(HexToColor("#ff"), 0x00FF0000u);      // a short text is the number it spells
  EXPECT_EQ(HexToColor("xC0C0C0"), 0x00C0C0C0u);  // the first character is skipped
  EXPECT_EQ(HexToColor("#GGHHII"), 0x000000FFu);
  EXPECT_EQ(HexToColor("#"), 0x000000FFu);
  EXPECT_EQ(HexToColor(""), 0x000000FFu);
  EXPECT_EQ(HexToColor("#12345678"), 0x00563412u);  // only six digits are read
}

}  // namespace
}  // namespace skin
