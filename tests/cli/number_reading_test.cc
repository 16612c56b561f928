#include "cli/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "support/text_cases.h"

namespace pic2jpg {
namespace {

TEST(ReadIntegerTest, ReadsSignBaseAndDigitsUpToTheFirstOtherCharacter) {
  const test::TextCase<int32_t> cases[] = {
      {"95", 95},
      {"+95", 95},
      {"-90", -90},
      {"  \t 80", 80},
      {"$5F", 95},
      {"$5f", 95},
      {"-$10", -16},
      {"%1011", 11},
      {"-%11", -3},
      {"12abc", 12},
      {"1.9", 1},
      {"80 ", 80},
      {"$", 0},
      {"%", 0},
      {"%102", 2},  // stops at the first non-binary digit
      {"$1G", 1},
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"+-5", 0},
      {" - 5", 0},
      {"0x10", 0},
      {"007", 7},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      // Beyond the 32-bit range: held at its ends.
      {"2147483648", INT32_MAX},
      {"99999999999999999999999999999", INT32_MAX},
      {"-99999999999999999999999999999", INT32_MIN},
      {"$FFFFFFFFFFFFFFFFFFFF", INT32_MAX},
      {"%11111111111111111111111111111111111111", INT32_MAX},
      {"\xC3\xA4", 0},
  };
  test::ExpectEachText(ReadInteger, cases);
}

TEST(ReadDecimalTest, ReadsPointNumbersAndTheSpecialWords) {
  const test::TextCase<double> cases[] = {
      {"1.5", 1.5},
      {"0.01", 0.01},
      {"9.99", 9.99},
      {"-2.25", -2.25},
      {"+3", 3.0},
      {" 2.0 ", 2.0},
      {".5", 0.5},
      {"5.", 5.0},
      {"1e2", 100.0},
      {"2.5E-1", 0.25},
      {"0.001", 0.001},
      // Unreadable texts give 0.
      {"", 0.0},
      {"abc", 0.0},
      {"1,5", 0.0},
      {"1.5x", 0.0},
      {".", 0.0},
      {"e5", 0.0},
      {"1e", 0.0},
      {"--1", 0.0},
      {"Infinity", 0.0},
      {"0x1p3", 0.0},
      {"inf", 0.0},
      // Too large or too small for a double.
      {"1e999", std::numeric_limits<double>::infinity()},
      {"-1e999", -std::numeric_limits<double>::infinity()},
      {"1e-999", 0.0},
      {"+Infinity", std::numeric_limits<double>::infinity()},
      {"+INFINITY", std::numeric_limits<double>::infinity()},
      {"-infinity", -std::numeric_limits<double>::infinity()},
  };
  test::ExpectEachText(ReadDecimal, cases);
  EXPECT_TRUE(std::isnan(ReadDecimal("NaN")));
  EXPECT_TRUE(std::isnan(ReadDecimal("nan")));
}

}  // namespace
}  // namespace pic2jpg
