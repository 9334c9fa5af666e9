#include <gtest/gtest.h>

#include <fstream>

#include "support/qxpack_run.h"
#include "support/sample_setup.h"
#include "support/sandbox_test.h"

namespace {

namespace fs = std::filesystem;

// Runs qxpack with the arguments split at blanks outside single quotes, as
// a shell would; standard output and error together.
struct Result {
  int exitCode;
  std::string output;
};

Result Qxpack(const std::string& arguments) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, started = false;
  for (char c : arguments) {
    if (c == '\'') {
      quoted = !quoted;
      started = true;
    } else if (c == ' ' && !quoted) {
      if (started) words.push_back(word);
      word.clear();
      started = false;
    } else {
      word += c;
      started = true;
    }
  }
  if (started) words.push_back(word);
  testing_support::RunResult run = testing_support::RunQxpack(words);
  return Result{run.exitCode, run.out + run.err};
}

class SimulateCliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "qxsim-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
    setup_ = dir_ / "Tool Setup.exe";
    auto bytes = testing_support::SetupWith(testing_support::kSampleScript, testing_support::SampleFiles());
    std::ofstream(setup_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
  }
  void TearDown() override {
    std::error_code error;
    if (!HasFailure()) fs::remove_all(dir_, error);
  }
  std::string Root() const { return "'" + (dir_ / "box").string() + "'"; }
  std::string Setup() const { return "'" + setup_.string() + "'"; }

  fs::path dir_;
  fs::path setup_;
};

TEST_F(SimulateCliTest, InstallUninstallAndInstallAgain) {
  const std::string answers =
      " --answer 'Add a desktop icon?=yes' --answer 'Add Quick Launch toolbar button?=no'"
      " --answer 'Setup Complete=yes'";
  Result install = Qxpack("simulate install " + Setup() + " --root " + Root() + answers);
  ASSERT_EQ(install.exitCode, 0) << install.output;
  EXPECT_NE(install.output.find("box: [Setup Complete] \"Tool Setup is complete."), std::string::npos)
      << install.output;
  EXPECT_NE(install.output.find("run: regsvr32 \"C:\\Program Files\\Tool\\x.dll\" (hidden)"), std::string::npos);
  EXPECT_NE(install.output.find("run: \"C:\\Program Files\\Tool\\Tool.exe\" (normal)"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir_ / "box" / "drive_c" / "Program Files" / "Tool" / "Uninstal.inf"));
  std::ifstream registry(dir_ / "box" / "registry.reg");
  std::string text((std::istreambuf_iterator<char>(registry)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\"UninstallString\"=\"C:\\\\windows\\\\Qxunins3.exe C:\\\\Program Files\\\\Tool\\\\Uninstal.inf\""),
            std::string::npos)
      << text;

  Result uninstall = Qxpack("simulate uninstall --root " + Root() +
                            " --answer 'Uninstall=yes'");
  ASSERT_EQ(uninstall.exitCode, 0) << uninstall.output;
  EXPECT_NE(uninstall.output.find("start: C:\\windows\\Qxunins3.exe C:\\Program Files\\Tool\\Uninstal.inf"),
            std::string::npos)
      << uninstall.output;
  EXPECT_NE(uninstall.output.find("box: [Uninstall] \"Tool has been uninstalled.\" -> OK"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "box" / "drive_c" / "Program Files" / "Tool"));

  Result again = Qxpack("simulate install " + Setup() + " --root " + Root() + " --dir 'C:\\Tools\\T'" + answers);
  ASSERT_EQ(again.exitCode, 0) << again.output;
  EXPECT_TRUE(fs::exists(dir_ / "box" / "drive_c" / "Tools" / "T" / "Tool.exe"));
}

TEST_F(SimulateCliTest, CancelLeavesNothingInstalled) {
  Result result = Qxpack("simulate install " + Setup() + " --root " + Root() + " --cancel");
  ASSERT_EQ(result.exitCode, 0) << result.output;
  EXPECT_FALSE(fs::exists(dir_ / "box" / "drive_c" / "Program Files" / "Tool"));
  EXPECT_NE(Qxpack("simulate uninstall --root " + Root()).exitCode, 0);
}

TEST_F(SimulateCliTest, ClearErrorsWhenTheSimulationCannotRun) {
  std::ofstream(dir_ / "text.exe") << "not a program";
  struct Case {
    std::string arguments;
    std::string message;
  };
  const Case cases[] = {
      {"simulate install '" + (dir_ / "missing.exe").string() + "' --root " + Root(), "missing.exe"},
      {"simulate install '" + (dir_ / "text.exe").string() + "' --root " + Root(), "not a setup file"},
      {"simulate install " + Setup() + " --root " + Root() + " --answer 'Setup Complete=maybe'", "KEY=yes"},
      {"simulate install " + Setup() + " --root " + Root(), "\"Add a desktop icon?\" (caption \"Setup\") has no answer"},
      {"simulate uninstall --root '" + (dir_ / "nothing").string() + "'", "no sandbox here"},
      {"simulate install " + Setup(), "--root"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    Result result = Qxpack(c.arguments);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
  }
}

}  // namespace
