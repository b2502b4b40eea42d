#pragma once

#include <layra/Export.h>
#include <layra/PMString.h>

#include <cstdint>

/** The host's clock, in local time. */
class LAYRA_API GlobalTime {
public:
  static GlobalTime CurrentTime();
  explicit GlobalTime(std::int64_t secondsSince1970) : fSeconds(secondsSince1970) {}

  std::int64_t SecondsSince1970() const { return fSeconds; }
  /** The local date as "YYYY-MM-DD". */
  PMString GetDateAsText() const;
  std::int32_t DaysSince(const GlobalTime& earlier) const;

private:
  std::int64_t fSeconds;
};
