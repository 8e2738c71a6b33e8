#include "lzh_time.h"

#include "lzh_format.h"

using namespace Lzh;

bool isCalendarTime(const LzhLocalTime& t)
{
    return t.month >= 1 && t.month <= 12 && t.day >= 1 && t.day <= 31 && t.hour >= 0 && t.hour <= 23 &&
           t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

uint32_t dosTimeStamp(const LzhLocalTime& t)
{
    LzhLocalTime in = t;
    if (in.year < kDosFirstYear)
        in = {kDosFirstYear, 1, 1, 0, 0, 0};
    else if (in.year > kDosLastYear)
        in = {kDosLastYear, 12, 31, 23, 59, 58};
    const uint32_t time = (uint32_t)(in.hour << 11 | in.minute << 5 | in.second / 2);
    const uint32_t date = (uint32_t)((in.year - kDosFirstYear) << 9 | in.month << 5 | in.day);
    return date << 16 | time;
}

LzhLocalTime localTimeOfDosStamp(uint32_t stamp)
{
    const uint32_t time = stamp & 0xFFFF, date = stamp >> 16;
    return {(int)(date >> 9) + kDosFirstYear, (int)(date >> 5 & 15), (int)(date & 31),
            (int)(time >> 11), (int)(time >> 5 & 63), (int)(time & 31) * 2};
}
