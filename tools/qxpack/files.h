// Whole-file reading and writing for the tools, with errors that name the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace qxpack {

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes);

}  // namespace qxpack

#include "authoring/setup_file.h"

namespace qxpack {

// Reads a setup file into bytes and its chain of records, which view into
// bytes. Errors name the file.
authoring::SetupFile LoadSetup(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace qxpack
