#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "data/mylib.h"
#include "fakes.h"

namespace kelvara::testing {
namespace {

TEST(TextSplitTest, FrontAndBackOfTheFirstDelimiter) {
  EXPECT_EQ(MyLibClass::F_STR("abc", ";"), "abc");
  EXPECT_EQ(MyLibClass::F_STR("ab;c;d", ";"), "ab");
  EXPECT_EQ(MyLibClass::F_STR(";x", ";"), "");
  EXPECT_EQ(MyLibClass::B_STR("ab;c;d", ";"), "c;d");
  EXPECT_EQ(MyLibClass::B_STR("abc;", ";"), "") << "delimiter ends the text";
  EXPECT_EQ(MyLibClass::B_STR("abc", ";"), "");
  EXPECT_EQ(MyLibClass::B_STR("", " "), "");
}

TEST(TextSplitTest, RightAlignmentPadsButNeverCuts) {
  EXPECT_EQ(MyLibClass::RightAlignmentStrings("7", 3), "  7");
  EXPECT_EQ(MyLibClass::RightAlignmentStrings("abcd", 3), "abcd");
  EXPECT_EQ(MyLibClass::RightAlignmentStrings("ab", 2), "ab");
  EXPECT_EQ(MyLibClass::RightAlignmentStrings("", -1), "");
}

TEST(IncTest, AddsOneAndWrapsAt32Bits) {
  std::int32_t n = 41;
  MyLibClass::inc(n);
  EXPECT_EQ(n, 42);
  n = INT32_MAX;
  MyLibClass::inc(n);
  EXPECT_EQ(n, INT32_MIN);
}

TEST(GetRandomTest, RangesAndEmptyRanges) {
  FakeClock clock;
  MyLibClass lib(clock);
  lib.Seed(7);
  std::set<int> dice;
  for (int i = 0; i < 2000; ++i) {
    EXPECT_EQ(lib.GetRandom(0, 0), 0);
    EXPECT_EQ(lib.GetRandom(1, 0), 1) << "an empty range gives the lower bound";
    const int d = lib.GetRandom(1, 6);
    ASSERT_GE(d, 1);
    ASSERT_LE(d, 6);
    dice.insert(d);
    const int f = lib.GetRandom(7 * 0.8, 7 * 1.2);
    ASSERT_GE(f, 5);
    ASSERT_LE(f, 9);
    dice.insert(100 + f);
  }
  EXPECT_EQ(dice, (std::set<int>{1, 2, 3, 4, 5, 6, 105, 106, 107, 108, 109}));
}

TEST(GetRandomTest, SameSeedSameSequence) {
  FakeClock clock;
  MyLibClass a(clock), b(clock);
  a.Seed(99);
  b.Seed(99);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(a.GetRandom(0, 1000), b.GetRandom(0, 1000));
}

TEST(Wait1msTest, WaitsOnTheInjectedClockWithinSixteenBits) {
  FakeClock clock;
  MyLibClass lib(clock);
  lib.Wait1ms(1000);
  lib.Wait1ms(0);
  lib.Wait1ms(-5);
  lib.Wait1ms(100000);
  EXPECT_EQ(clock.waits, (std::vector<int>{1000, 0, 0, 32767}));
}

}  // namespace
}  // namespace kelvara::testing
