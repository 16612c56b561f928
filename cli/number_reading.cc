#include "cli/number_reading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "text/ascii_case.h"
#include "text/ascii_scan.h"

namespace pic2jpg {
namespace {

// A digit's value in bases up to 16; 99 for a character that is none.
int DigitValue(char c) {
  const int value = HexDigitValue(c);
  return value >= 0 ? value : 99;
}

// Optional sign, digits with an optional "." part (at least one digit in
// all), then an optional exponent with at least one digit.
bool IsDecimalNumber(std::string_view text) {
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    size_t exponent_digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++exponent_digits;
    if (exponent_digits == 0) return false;
  }
  return i == text.size();
}

// Decimal exponent of the leading significant digit of an unsigned number
// that IsDecimalNumber accepted ("123" gives 2, "0.05" gives -2, "1e9" 9).
int64_t DecimalMagnitude(std::string_view text) {
  size_t e = text.find_first_of("eE");
  std::string_view mantissa = text.substr(0, e);
  int64_t exponent = 0;
  if (e != std::string_view::npos) {
    std::string_view digits = text.substr(e + 1);
    bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
      digits.remove_prefix(1);
    }
    for (char c : digits) exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 1 << 30);
    if (negative) exponent = -exponent;
  }
  size_t point = mantissa.find('.');
  if (point == std::string_view::npos) point = mantissa.size();
  size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return -(int64_t{1} << 31);  // zero
  int64_t position = first < point ? static_cast<int64_t>(point - first) - 1
                                   : -static_cast<int64_t>(first - point);
  return position + exponent;
}

}  // namespace

int32_t ReadInteger(std::string_view text) {
  size_t i = 0;
  const bool negative = SkipBlanksAndSign(text, &i);
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  // Magnitudes are held just above the 32-bit range, so they cannot overflow.
  constexpr int64_t kCeiling = int64_t{1} << 32;
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    int digit = DigitValue(text[i]);
    if (digit >= base) break;
    magnitude = magnitude * base + digit;
    if (magnitude > kCeiling) magnitude = kCeiling;
  }
  int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}

double ReadDecimal(std::string_view text) {
  text = TrimAsciiBlanks(text);
  if (EqualsAsciiNoCase(text, "+Infinity")) return std::numeric_limits<double>::infinity();
  if (EqualsAsciiNoCase(text, "-Infinity")) return -std::numeric_limits<double>::infinity();
  if (EqualsAsciiNoCase(text, "NaN")) return std::numeric_limits<double>::quiet_NaN();
  if (!IsDecimalNumber(text)) return 0.0;
  bool negative = text.front() == '-';
  if (text.front() == '+' || text.front() == '-') text.remove_prefix(1);
  double value = 0.0;
  auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // Too large gives infinity, too small zero.
    value = DecimalMagnitude(text) < 0 ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (error != std::errc() || end != text.data() + text.size()) {
    return 0.0;
  }
  return negative ? -value : value;
}

}  // namespace pic2jpg
