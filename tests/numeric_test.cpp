#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tavrin/util/numeric.h"

TEST(RoundValue, HalvesRoundUpOnlyForZeroAndPositiveValues) {
  EXPECT_EQ(0, lib_RoundValue(0.0));
  EXPECT_EQ(1, lib_RoundValue(0.5));
  EXPECT_EQ(0, lib_RoundValue(0.49));
  EXPECT_EQ(8, lib_RoundValue(7.5));
  EXPECT_EQ(2, lib_RoundValue(2.4999));
  EXPECT_EQ(-1, lib_RoundValue(-0.2));
  EXPECT_EQ(-3, lib_RoundValue(-2.3));
  EXPECT_EQ(-3, lib_RoundValue(-2.5));
  EXPECT_EQ(-3, lib_RoundValue(-2.7));
}

TEST(RoundValue, ValuesWithoutAResultGiveZero) {
  EXPECT_EQ(0, lib_RoundValue(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_EQ(0, lib_RoundValue(1e12));
  EXPECT_EQ(0, lib_RoundValue(-1e12));
}

TEST(LongPow, SmallExponentsAndWrapping) {
  EXPECT_EQ(1, lib_LongPow(10, 0));
  EXPECT_EQ(1, lib_LongPow(0, 0));
  EXPECT_EQ(10, lib_LongPow(10, 1));
  EXPECT_EQ(10, lib_LongPow(10, -3));
  EXPECT_EQ(-7, lib_LongPow(-7, -1));
  EXPECT_EQ(1000, lib_LongPow(10, 3));
  EXPECT_EQ(-8, lib_LongPow(-2, 3));
  EXPECT_EQ(1410065408, lib_LongPow(10, 10));
}

TEST(DoublePow, NegativeExponentsNeverGiveFractions) {
  EXPECT_EQ(2.0, lib_DoublePow(2, -1));
  EXPECT_EQ(1024.0, lib_DoublePow(2, 10));
  EXPECT_EQ(9.0, lib_DoublePow(-3, 2));
  EXPECT_EQ(1.0, lib_DoublePow(5, 0));
  EXPECT_EQ(1e10, lib_DoublePow(10, 10));  // no 32-bit wrap in double
}

TEST(ConvertMmInch, ExactFactors) {
  EXPECT_EQ(1.0, lib_ConvertMmInch(false));
  EXPECT_EQ(25.4, lib_ConvertMmInch(true));
}
