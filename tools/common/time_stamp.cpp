#include <chrono>
#include <cstdio>

#include "process_info.h"

namespace tavrin::tools {

// The calendar date of a count of days since 1970-01-01 (proleptic
// Gregorian, by eras of 400 years), so that no platform's gmtime is needed.
std::string UtcTimeStamp() {
  using namespace std::chrono;
  const long long ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
  const long long seconds_of_day = (ms / 1000) % 86400;
  const long long days = ms / 86400000 + 719468;
  const long long era = days / 146097;
  const long long day_of_era = days - era * 146097;
  const long long year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const long long day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const long long month_index = (5 * day_of_year + 2) / 153;
  const int day = static_cast<int>(day_of_year - (153 * month_index + 2) / 5 + 1);
  const int month = static_cast<int>(month_index < 10 ? month_index + 3 : month_index - 9);
  const long long year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02d.%03dZ", year, month, day,
                static_cast<int>(seconds_of_day / 3600), static_cast<int>(seconds_of_day / 60 % 60),
                static_cast<int>(seconds_of_day % 60), static_cast<int>(ms % 1000));
  return text;
}

}  // namespace tavrin::tools
