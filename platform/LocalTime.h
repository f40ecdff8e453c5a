#pragma once
// The calendar time of the user's time zone.

#include <ctime>

// `time` broken down in local time (thread-safe, unlike std::localtime).
std::tm LocalTime(std::time_t time);
