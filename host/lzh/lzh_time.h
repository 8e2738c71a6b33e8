// A file's modification time as LZH headers hold it.
#ifndef PORVANE_LZH_TIME_H
#define PORVANE_LZH_TIME_H

#include <stdint.h>

// A calendar time in the local time of the machine that made the file, as
// level 0 and 1 headers (MS-DOS form) store it: years 1980 to 2107, seconds
// in steps of two.
struct LzhLocalTime {
    int year;    // 1980..2107 (earlier and later years are written as the first and last moments)
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59 (written rounded down to even)
};

// The two halves of an MS-DOS time stamp: time in the low 16 bits, date in
// the high 16 bits, as they follow each other in a header.
uint32_t dosTimeStamp(const LzhLocalTime& time);
LzhLocalTime localTimeOfDosStamp(uint32_t stamp);

// Whether each field is within its range (the year is not: it is clamped).
bool isCalendarTime(const LzhLocalTime& time);

#endif
