// A fresh host sandbox per test, with helpers to place a setup file, run the
// program and look at what it left.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "platform/host/sandbox.h"
#include "setup_builder.h"

namespace testing_support {

std::filesystem::path SharedDir();

class SandboxTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  host::Sandbox& Box() { return *box_; }

  // Writes bytes to a Windows path in the sandbox, creating its directories.
  void PutFile(const std::string& windowsPath, const Bytes& bytes);
  std::optional<std::string> ReadText(const std::string& windowsPath) const;
  bool Exists(const std::string& windowsPath) const;
  // The file's attributes as the program sees them.
  uint32_t Attributes(const std::string& windowsPath);
  std::filesystem::path HostPath(const std::string& windowsPath) const;

  // Places a setup file at kSetupPath and runs it with the given tail.
  int RunSetup(const Bytes& setupFile, const std::string& tail = "");
  // Runs the program at modulePath with a full command line.
  int Run(const std::string& modulePath, const std::string& commandLine);

  // Makes the sandbox current for direct calls into the program, as the
  // program at modulePath; the test's end ends that process.
  void Enter(const std::string& modulePath);

  static constexpr char kSetupPath[] = "C:\\users\\user\\Downloads\\setup.exe";

  std::filesystem::path root_;
  std::unique_ptr<host::Sandbox> box_;
};

}  // namespace testing_support
