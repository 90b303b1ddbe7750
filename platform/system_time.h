// LocalTime and Windows' SYSTEMTIME, field for field.
#ifndef TULVO_SYSTEM_TIME_H
#define TULVO_SYSTEM_TIME_H

#include <windows.h>

#include "platform/local_time.h"

inline SYSTEMTIME system_time_of(const LocalTime& t)
{
    return SYSTEMTIME{t.year, t.month, t.day_of_week, t.day, t.hour, t.minute, t.second, t.milliseconds};
}

inline LocalTime local_time_of(const SYSTEMTIME& t)
{
    return LocalTime{t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

#endif
