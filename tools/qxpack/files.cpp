#include "files.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "verbs.h"

namespace qxpack {

std::vector<uint8_t> ReadWholeFile(const std::filesystem::path& path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) throw Failure(path.string() + ": is a directory, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Failure(path.string() + ": cannot open for reading: " + std::strerror(errno));
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw Failure(path.string() + ": read error");
  return bytes;
}

void WriteWholeFile(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw Failure(path.string() + ": cannot open for writing: " + std::strerror(errno));
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw Failure(path.string() + ": write error (disk full?)");
}

}  // namespace qxpack

namespace qxpack {

authoring::SetupFile LoadSetup(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes = ReadWholeFile(path);
  try {
    return authoring::ReadSetupFile(bytes);
  } catch (const authoring::AuthoringError& e) {
    throw Failure(path + ": " + e.what());
  }
}

}  // namespace qxpack
