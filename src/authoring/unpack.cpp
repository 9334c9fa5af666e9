#include "authoring/unpack.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "authoring/dos_stamp.h"
#include "authoring/stored_names.h"
#include "payload/format.h"

namespace authoring {
namespace fs = std::filesystem;
namespace {

fs::path TargetPath(const fs::path& dir, const std::string& name) {
  fs::path path = dir;
  for (std::string_view part : NameComponents(name)) path /= std::string(part);
  return path;
}

// True when path lies inside dir once symbolic links are followed: a link
// already present below dir must not carry a record out of it.
bool StaysInside(const fs::path& dir, const fs::path& path) {
  fs::path base = fs::weakly_canonical(dir);
  fs::path real = fs::weakly_canonical(path);
  auto [end, unused] = std::mismatch(base.begin(), base.end(), real.begin(), real.end());
  return end == base.end();
}

void WriteRecord(const SetupRecord& record, const std::vector<uint8_t>& data, const fs::path& path) {
  std::error_code error;
  if (fs::is_directory(fs::symlink_status(path, error))) {
    throw AuthoringError(Describe(record) + ": " + path.string() + " is a directory; extract into an empty directory");
  }
  fs::remove(path, error);  // an earlier read-only copy, or a link, goes first
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  if (!out) throw AuthoringError(Describe(record) + ": cannot write " + path.string() + " (disk full? permissions?)");

  std::time_t when = UtcFromDosStamp({record.fatDate, record.fatTime});
  timespec times[2] = {{when, 0}, {when, 0}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
    throw AuthoringError(Describe(record) + ": cannot set the time of " + path.string());
  }
  if (record.attributes & payload::DOS_READONLY) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, error);
    if (error) throw AuthoringError(Describe(record) + ": cannot make " + path.string() + " read-only");
  }
}

}  // namespace

std::string UnpackName(const SetupRecord& record) {
  if (record.name.empty() && record.index == payload::RECORD_SCRIPT) return DEFAULT_SCRIPT_NAME;
  if (record.name.empty() && record.index == payload::RECORD_LICENSE) return DEFAULT_LICENSE_NAME;
  return record.name;
}

std::vector<UnpackedFile> UnpackSetup(const SetupFile& setup, const fs::path& dir) {
  for (const SetupRecord& record : setup.records) {
    if (auto problem = NameProblem(UnpackName(record))) {
      throw AuthoringError(Describe(record) + ": " + *problem + "; nothing was extracted");
    }
  }
  std::error_code error;
  fs::create_directories(dir, error);
  if (error) throw AuthoringError(dir.string() + ": cannot create the directory: " + error.message());

  std::vector<UnpackedFile> written;
  for (const SetupRecord& record : setup.records) {
    fs::path path = TargetPath(dir, UnpackName(record));
    fs::create_directories(path.parent_path(), error);
    if (error) throw AuthoringError(Describe(record) + ": cannot create " + path.parent_path().string() + ": " + error.message());
    if (!StaysInside(dir, path)) {
      throw AuthoringError(Describe(record) + ": " + path.string() + " leads out of " + dir.string() +
                           " through a symbolic link; extract into an empty directory");
    }
    DecodedRecord decoded = DecodeRecord(record);
    WriteRecord(record, decoded.data, path);
    written.push_back({&record, path, decoded.Sound(record)});
  }
  return written;
}

}  // namespace authoring
