// A timestamp as the date and time fields the dialog edits, and back.
#ifndef PIC2JPG_GUI_CALENDAR_FIELDS_H_
#define PIC2JPG_GUI_CALENDAR_FIELDS_H_

#include <cstdint>

namespace pic2jpg {

// Timestamps (seconds since 1970 in local time) and their calendar fields.
struct DateFields {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;
  int hour = 0;
  int minute = 0;
};
DateFields TimestampFields(int32_t timestamp);
// Clamped to 1970-01-01 00:00 .. the last minute an int32 holds.
int32_t TimestampOfFields(const DateFields& fields);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_CALENDAR_FIELDS_H_
