// Running the qxpack program as a process, and temporary directories for it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

struct RunResult {
  int exitCode;
  std::string out;
  std::string err;
};

// Runs the built qxpack with the arguments (each passed as one word).
RunResult RunQxpack(const std::vector<std::string>& arguments);

// A fresh empty directory, removed with everything in it at scope end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace testing_support
