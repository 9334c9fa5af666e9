#include "sandbox_test.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/host/host_process.h"
#include "platform/platform.h"
#include "startup/state.h"

namespace testing_support {

std::filesystem::path SharedDir() { return std::filesystem::path(QX_SHARED_DIR); }

void SandboxTest::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qxtest-XXXXXX").string();
  ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  box_ = std::make_unique<host::Sandbox>(root_);
}

void SandboxTest::TearDown() {
  host::EndProcess();
  host::SetCurrent(nullptr);
  box_.reset();
  std::error_code error;
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all, error);
  for (auto& entry : std::filesystem::recursive_directory_iterator(root_, error)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, error);
  }
  if (!HasFailure()) std::filesystem::remove_all(root_, error);
}

std::filesystem::path SandboxTest::HostPath(const std::string& windowsPath) const {
  return *box_->HostPath(windowsPath);
}

void SandboxTest::PutFile(const std::string& windowsPath, const Bytes& bytes) {
  auto path = HostPath(windowsPath);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::optional<std::string> SandboxTest::ReadText(const std::string& windowsPath) const {
  std::ifstream in(HostPath(windowsPath), std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool SandboxTest::Exists(const std::string& windowsPath) const {
  std::error_code error;
  return std::filesystem::exists(HostPath(windowsPath), error);
}

uint32_t SandboxTest::Attributes(const std::string& windowsPath) {
  host::Sandbox* previous = host::CurrentOrNull();
  host::SetCurrent(box_.get());
  uint32_t attributes = sys::GetAttributes(windowsPath.c_str());
  host::SetCurrent(previous);
  return attributes;
}

int SandboxTest::RunSetup(const Bytes& setupFile, const std::string& tail) {
  PutFile(kSetupPath, setupFile);
  std::string commandLine = std::string("\"") + kSetupPath + "\"" + (tail.empty() ? "" : " " + tail);
  return Run(kSetupPath, commandLine);
}

int SandboxTest::Run(const std::string& modulePath, const std::string& commandLine) {
  return host::RunProgram(*box_, modulePath, commandLine);
}

}  // namespace testing_support

namespace testing_support {

void SandboxTest::Enter(const std::string& modulePath) {
  box_->modulePath = modulePath;
  host::SetCurrent(box_.get());
  ASSERT_TRUE(TakeStateTexts());
}

}  // namespace testing_support
