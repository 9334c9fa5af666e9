// Writing a setup file's records out as files below a directory, with their
// stored names, modification times (UTC) and read-only attribute.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "authoring/setup_file.h"

namespace authoring {

// Names for the script and the licence records when they are stored without one.
inline constexpr char DEFAULT_SCRIPT_NAME[] = "setup.inf";
inline constexpr char DEFAULT_LICENSE_NAME[] = "License.txt";

struct UnpackedFile {
  const SetupRecord* record;
  std::filesystem::path path;
  bool sound;  // the stream decoded to exactly its declared length
};

// Checks every name first and writes nothing when one would leave dir (or
// cannot be a file name); then writes each record, replacing existing files.
// Throws AuthoringError naming the record.
std::vector<UnpackedFile> UnpackSetup(const SetupFile& setup, const std::filesystem::path& dir);

// The name a record is written under.
std::string UnpackName(const SetupRecord& record);

}  // namespace authoring
