#include "authoring/dos_stamp.h"

#include <cstdio>

#include "payload/format.h"

namespace authoring {

DosStamp DosStampFromUtc(std::time_t time) {
  std::tm parts{};
  gmtime_r(&time, &parts);
  int year = parts.tm_year + 1900;
  if (year < 1980) return {static_cast<uint16_t>((1 << 5) | 1), 0};
  if (year > 2107) {
    return {static_cast<uint16_t>((127 << 9) | (12 << 5) | 31), static_cast<uint16_t>((23 << 11) | (59 << 5) | 29)};
  }
  auto date = static_cast<uint16_t>((year - 1980) << 9 | (parts.tm_mon + 1) << 5 | parts.tm_mday);
  auto clock = static_cast<uint16_t>(parts.tm_hour << 11 | parts.tm_min << 5 | parts.tm_sec / 2);
  return {date, clock};
}

std::time_t UtcFromDosStamp(DosStamp stamp) {
  std::tm parts{};
  parts.tm_year = (stamp.fatDate >> 9) + 80;
  parts.tm_mon = ((stamp.fatDate >> 5) & 15) - 1;
  parts.tm_mday = stamp.fatDate & 31;
  parts.tm_hour = stamp.fatTime >> 11;
  parts.tm_min = (stamp.fatTime >> 5) & 63;
  parts.tm_sec = (stamp.fatTime & 31) * 2;
  return timegm(&parts);
}

std::string FormatDosDate(uint16_t fatDate) {
  char text[16];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u", 1980u + (fatDate >> 9), (fatDate >> 5) & 15u, fatDate & 31u);
  return text;
}

std::string FormatDosTime(uint16_t fatTime) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", fatTime >> 11, (fatTime >> 5) & 63u, (fatTime & 31u) * 2);
  return text;
}

std::string AttributeLetters(uint8_t attributes) {
  std::string letters = "----";
  if (attributes & payload::DOS_READONLY) letters[0] = 'R';
  if (attributes & payload::DOS_HIDDEN) letters[1] = 'H';
  if (attributes & payload::DOS_SYSTEM) letters[2] = 'S';
  if (attributes & payload::DOS_ARCHIVE) letters[3] = 'A';
  return letters;
}

}  // namespace authoring
