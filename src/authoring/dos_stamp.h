// MS-DOS dates, times and attributes of records, as the tools show and set
// them. Stamps are taken and given back in UTC, so that a build does not
// depend on the packing machine's time zone.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace authoring {

struct DosStamp {
  uint16_t fatDate;
  uint16_t fatTime;
};

// The stamp of a UTC time: seconds rounded down to even, years before 1980
// raised to 1980-01-01 00:00:00 and years after 2107 lowered to its end.
DosStamp DosStampFromUtc(std::time_t time);
// The UTC time a stamp stands for (fields out of range are carried over).
std::time_t UtcFromDosStamp(DosStamp stamp);

// "2024-03-05" and "13:14:20".
std::string FormatDosDate(uint16_t fatDate);
std::string FormatDosTime(uint16_t fatTime);

// "RHSA" with "-" for each missing bit: read-only, hidden, system, archive.
std::string AttributeLetters(uint8_t attributes);

}  // namespace authoring
