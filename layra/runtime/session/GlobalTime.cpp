#include <layra/GlobalTime.h>

#include <cstdio>
#include <ctime>

GlobalTime GlobalTime::CurrentTime() {
  return GlobalTime(static_cast<std::int64_t>(std::time(nullptr)));
}

PMString GlobalTime::GetDateAsText() const {
  const auto seconds = static_cast<std::time_t>(fSeconds);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  return PMString(text, PMString::kDontTranslateDuringCall);
}

std::int32_t GlobalTime::DaysSince(const GlobalTime& earlier) const {
  return static_cast<std::int32_t>((fSeconds - earlier.fSeconds) / 86400);
}
