// The integer and decimal rules of option values on arbitrary text, and
// round trips of numbers written out in each notation the rules accept.
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "cli/number_reading.h"
#include "fuzz/fuzz_support.h"

namespace {

bool SameDouble(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) ||
         std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

std::string InBase(uint32_t value, int base) {
  char buffer[40];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, base);
  (void)error;
  return std::string(buffer, end);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  const std::string text(fuzz::AsText(data, size));
  const int32_t integer = ReadInteger(text);
  fuzz::Check(ReadInteger(" \t" + text) == integer, "leading blanks are skipped");
  fuzz::Check(ReadInteger(text + "\x01" + "99") == ReadInteger(text + "\x01"),
              "reading stops at the first other character");
  const double decimal = ReadDecimal(text);
  fuzz::Check(SameDouble(ReadDecimal(" " + text + "\t"), decimal), "blanks around are allowed");

  // Numbers taken from the input's first bytes, written out and read back.
  if (size >= sizeof(uint32_t)) {
    uint32_t bits;
    std::memcpy(&bits, data, sizeof bits);
    const auto value = static_cast<int32_t>(bits);
    fuzz::Check(ReadInteger(std::to_string(value)) == value, "decimal integers read back");
    const uint32_t magnitude = value < 0 ? 0u - bits : bits;
    const std::string sign = value < 0 ? "-" : "+";
    fuzz::Check(ReadInteger(sign + "$" + InBase(magnitude, 16)) == value, "hexadecimal reads back");
    fuzz::Check(ReadInteger(sign + "%" + InBase(magnitude, 2)) == value, "binary reads back");
  }
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    if (std::isfinite(value)) {
      char buffer[64];
      auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
      (void)error;
      fuzz::Check(SameDouble(ReadDecimal(std::string(buffer, end)), value), "decimals read back");
    }
  }
  return 0;
}
