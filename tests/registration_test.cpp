#include <gtest/gtest.h>

#include "support/sample_setup.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::kSampleScript;
using testing_support::SampleFiles;
using testing_support::SetupWith;

constexpr char kRunOnce[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

class RegistrationTest : public testing_support::SandboxTest {
 protected:
  void Install(const std::string& script) {
    Box().answers["Add a desktop icon?"] = false;
    Box().answers["Add Quick Launch toolbar button?"] = false;
    Box().answers["Setup Complete"] = false;
    ASSERT_EQ(RunSetup(SetupWith(script, SampleFiles())), 0);
  }
};

// Values are REG_SZ whose data is the text without its terminating zero.
TEST_F(RegistrationTest, UninstallEntryByteForByte) {
  Box().windowsDir = "C:\\WINDOWS";
  std::filesystem::create_directories(HostPath("C:\\WINDOWS"));
  Install(kSampleScript);
  EXPECT_EQ(Box().JournalWith("RegSetValueExA \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"),
            (std::vector<std::string>{
                "RegSetValueExA \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool\" \"DisplayName\" "
                "REG_SZ 10 \"Tool - 2.1\" -> 1",
                "RegSetValueExA \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool\" "
                "\"UninstallString\" REG_SZ 58 \"C:\\WINDOWS\\Qxunins3.exe C:\\Program "
                "Files\\Tool\\Uninstal.inf\" -> 1"}));
}

TEST_F(RegistrationTest, MissingVersionLeavesTheSeparator) {
  std::string script = kSampleScript;
  script.erase(script.find("VerNum=2.1\r\n"), 12);
  Install(script);
  EXPECT_EQ(Box().registry.GetText(
                "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool", "DisplayName"),
            "Tool - ");
}

// The group conversion: "GrpConv" always, "Wrapper" only beside a "Setup"
// subkey, nothing at all (and no runonce) without the RunOnce key.
TEST_F(RegistrationTest, RunOnceValues) {
  struct Case {
    const char* name;
    bool setupSubkey;
    bool runOnceKey;
    std::vector<std::string> values;
  };
  const Case cases[] = {
      {"plain", false, true, {"GrpConv"}},
      {"with Setup", true, true, {"Wrapper", "GrpConv"}},
      {"missing", false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    if (c.setupSubkey) Box().registry.CreateKey(std::string(kRunOnce) + "\\Setup");
    if (!c.runOnceKey) Box().registry.DeleteKey(kRunOnce);
    Box().SaveRegistry();
    Install(kSampleScript);
    EXPECT_EQ(Box().registry.ValueNames(kRunOnce), c.values);
    EXPECT_EQ(Box().registry.KeyExists(kRunOnce), c.runOnceKey) << "RunOnce is never created";
    if (c.runOnceKey) {
      EXPECT_EQ(Box().registry.GetText(kRunOnce, "GrpConv"), "grpconv -o");
      EXPECT_EQ(Box().JournalWith("RegSetValueExA \"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\" "
                                  "\"GrpConv\""),
                std::vector<std::string>{"RegSetValueExA \"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\" "
                                         "\"GrpConv\" REG_SZ 10 \"grpconv -o\" -> 1"});
      EXPECT_TRUE(Box().registry.ValueNames(std::string(kRunOnce) + "\\Setup").empty());
    }
    bool started = false;
    for (const auto& command : Box().commands) started |= command.commandLine == "runonce -r";
    EXPECT_EQ(started, c.runOnceKey);
  }
}

TEST_F(RegistrationTest, WrapperIsStoredWithoutTerminator) {
  Box().registry.CreateKey(std::string(kRunOnce) + "\\Setup");
  Box().SaveRegistry();
  Install(kSampleScript);
  EXPECT_EQ(Box().JournalWith("RegSetValueExA \"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\" \"Wrapper\""),
            std::vector<std::string>{"RegSetValueExA \"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\" "
                                     "\"Wrapper\" REG_SZ 7 \"runonce\" -> 1"});
}

// Each DLL is logged under its own letter; the walk stops at an empty value.
TEST_F(RegistrationTest, DllWalkStopsAtTheFirstEmptyValue) {
  std::string script = kSampleScript;
  script.replace(script.find("dlla=x.dll\r\n"), 12, "dlla=x.dll\r\ndllb=\r\ndllc=y.dll\r\n");
  Install(script);
  std::vector<std::string> regsvr;
  for (const auto& command : Box().commands) {
    if (command.commandLine.rfind("regsvr32", 0) == 0) regsvr.push_back(command.commandLine);
  }
  EXPECT_EQ(regsvr, std::vector<std::string>{"regsvr32 \"C:\\Program Files\\Tool\\x.dll\""});
}

}  // namespace
