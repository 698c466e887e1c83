// The value texts of command lines: reading, scaling and writing real numbers.
#include <gtest/gtest.h>

#include <climits>

#include "protocol/valuetext.h"

namespace vela {
namespace {

TEST(ValueText, RealNumbers) {
    EXPECT_DOUBLE_EQ(ParseRealText("1.25"), 1.25);
    EXPECT_DOUBLE_EQ(ParseRealText("-0.5XYZ"), -0.5);
    EXPECT_DOUBLE_EQ(ParseRealText("+2.5E2,3"), 250.0);
    EXPECT_DOUBLE_EQ(ParseRealText("7E"), 7.0);  // an exponent without digits is not part of it
    EXPECT_DOUBLE_EQ(ParseRealText(".5"), 0.5);
    EXPECT_DOUBLE_EQ(ParseRealText("INF"), 0.0);
    EXPECT_DOUBLE_EQ(ParseRealText("."), 0.0);
    EXPECT_DOUBLE_EQ(ParseRealText(""), 0.0);
    EXPECT_DOUBLE_EQ(ParseRealText("1E-999"), 0.0);
    EXPECT_GT(ParseRealText("1E999"), 1e300);
    EXPECT_EQ(ScaleReal(1.239, 2), 123);
    EXPECT_EQ(ScaleReal(-1.239, 2), -123);
    EXPECT_EQ(ScaleReal(ParseRealText("1E999"), 2), INT_MAX);
    EXPECT_EQ(FormatRealText(1.5, 2), "1.50");
    EXPECT_EQ(FormatRealText(-3.0, 0), "-3");
}

}  // namespace
}  // namespace vela
