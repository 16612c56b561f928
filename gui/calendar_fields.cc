#include "gui/calendar_fields.h"

#include <algorithm>
#include <limits>

namespace pic2jpg {
namespace {

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

DateFields TimestampFields(int32_t timestamp) {
  const int64_t seconds = std::max<int64_t>(timestamp, 0);
  const int64_t days = seconds / 86400;
  const int64_t rest = seconds % 86400;
  // Civil date of a day count (the inverse of DaysFromCivil).
  const int64_t z = days + 719468;
  const int64_t era = z / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  DateFields fields;
  fields.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  fields.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  fields.year = static_cast<int>(yoe + era * 400 + (fields.month <= 2 ? 1 : 0));
  fields.hour = static_cast<int>(rest / 3600);
  fields.minute = static_cast<int>(rest % 3600 / 60);
  return fields;
}

int32_t TimestampOfFields(const DateFields& fields) {
  const int64_t days =
      DaysFromCivil(fields.year, std::clamp(fields.month, 1, 12), std::clamp(fields.day, 1, 31));
  const int64_t seconds = days * 86400 + int64_t{std::clamp(fields.hour, 0, 23)} * 3600 +
                          int64_t{std::clamp(fields.minute, 0, 59)} * 60;
  const int64_t last_minute = std::numeric_limits<int32_t>::max() / 60 * 60;
  return static_cast<int32_t>(std::clamp<int64_t>(seconds, 0, last_minute));
}

}  // namespace pic2jpg
