#include "support/qxpack_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace testing_support {
namespace fs = std::filesystem;
namespace {

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

RunResult RunQxpack(const std::vector<std::string>& arguments) {
  TempDir capture;
  std::string command = Quote(QX_QXPACK);
  for (const std::string& argument : arguments) command += " " + Quote(argument);
  command += " >" + Quote((capture / "out").string()) + " 2>" + Quote((capture / "err").string()) + " </dev/null";
  int status = std::system(command.c_str());
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return {code, Slurp(capture / "out"), Slurp(capture / "err")};
}

TempDir::TempDir() {
  static std::atomic<unsigned> counter{0};
  path_ = fs::temp_directory_path() /
          ("qxtests-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1)));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code error;
  fs::remove_all(path_, error);
}

}  // namespace testing_support
