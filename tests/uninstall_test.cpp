#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "platform/platform.h"
#include "support/ini_text.h"
#include "support/sample_setup.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::kSampleScript;
using testing_support::SampleFiles;
using testing_support::SetupWith;
using testing_support::ToBytes;
namespace fs = std::filesystem;

constexpr char kUninstaller[] = "C:\\windows\\Qxunins3.exe";
constexpr char kCommand[] = "C:\\windows\\Qxunins3.exe C:\\Program Files\\Tool\\Uninstal.inf";
constexpr char kConfirm[] = "Are you sure you want to completely\nremove Tool from your computer?";

class UninstallTest : public testing_support::SandboxTest {
 protected:
  // Every file and directory of the drive, as paths relative to it.
  std::set<std::string> Tree() {
    std::set<std::string> paths;
    fs::path drive = root_ / "drive_c";
    for (const auto& entry : fs::recursive_directory_iterator(drive)) {
      paths.insert(fs::relative(entry.path(), drive).string());
    }
    return paths;
  }
  void Install(bool offers) {
    Box().answers["Add a desktop icon?"] = offers;
    Box().answers["Add Quick Launch toolbar button?"] = offers;
    Box().answers["Setup Complete"] = false;
    ASSERT_EQ(RunSetup(SetupWith(kSampleScript, SampleFiles())), 0);
    Box().messages.clear();
    Box().commands.clear();
  }
  int Uninstall(bool yes, const std::string& commandLine = kCommand) {
    Box().answers[kConfirm] = yes;
    return Run(kUninstaller, commandLine);
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& m : Box().messages) texts.push_back(m.caption + ": " + m.text);
    return texts;
  }
};

TEST_F(UninstallTest, RemovesEverythingLoggedAndLeavesOnlyTheUninstaller) {
  // The Quick Launch folder exists this time, so its shortcut is made and removed too.
  fs::create_directories(HostPath("C:\\users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch"));
  std::set<std::string> before = Tree();
  Install(true);
  ASSERT_TRUE(Exists("C:\\users\\user\\Desktop\\Tool.LNK"));
  EXPECT_EQ(Uninstall(true), 0);

  std::set<std::string> after = Tree();
  after.erase("windows/Qxunins3.exe");
  after.erase("users/user/Downloads/setup.exe");
  after.erase("users/user/Downloads");
  EXPECT_EQ(after, before);
  EXPECT_EQ(Texts(), (std::vector<std::string>{std::string("Uninstall: ") + kConfirm,
                                               "Uninstall: Tool has been uninstalled."}));
  EXPECT_EQ(Box().messages[0].style, sys::BOX_ICON_QUESTION | sys::BOX_YESNO);
  ASSERT_EQ(Box().commands.size(), 1u);
  EXPECT_EQ(Box().commands[0].commandLine, "regsvr32 -u \"C:\\Program Files\\Tool\\x.dll\"");
  EXPECT_EQ(Box().commands[0].show, sys::SHOW_HIDE);

  // The removal deletes the product's key; it leaves the company key it created.
  const std::string root = "HKEY_LOCAL_MACHINE\\Software\\";
  EXPECT_FALSE(Box().registry.KeyExists(root + "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
  EXPECT_TRUE(Box().registry.KeyExists(root + "ToolSoft\\Tool"));
  EXPECT_TRUE(Box().registry.KeyExists(root + "Microsoft\\Windows\\CurrentVersion\\RunOnce"));
}

TEST_F(UninstallTest, DeletesTheSettingsKeysOfTheCompany) {
  Install(false);
  Box().registry.CreateKey("HKEY_LOCAL_MACHINE\\Software\\ToolSoft\\Tool\\settings");
  Box().registry.CreateKey("HKEY_LOCAL_MACHINE\\Software\\ToolSoft\\Tool\\Recent File List");
  Box().registry.CreateKey("HKEY_LOCAL_MACHINE\\Software\\ToolSoft\\Tool\\Other");
  Box().SaveRegistry();
  EXPECT_EQ(Uninstall(true), 0);
  EXPECT_EQ(Box().JournalWith("RegDeleteKeyA"),
            (std::vector<std::string>{
                "RegDeleteKeyA \"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\" \"Tool\" -> 1",
                "RegDeleteKeyA \"Software\\ToolSoft\\Tool\" \"settings\" -> 1",
                "RegDeleteKeyA \"Software\\ToolSoft\\Tool\" \"Recent File List\" -> 1"}));
  EXPECT_TRUE(Box().registry.KeyExists("HKEY_LOCAL_MACHINE\\Software\\ToolSoft\\Tool\\Other"));
}

TEST_F(UninstallTest, DeclinedTouchesNothing) {
  Install(false);
  std::set<std::string> installed = Tree();
  EXPECT_EQ(Uninstall(false), 0);
  EXPECT_EQ(Tree(), installed);
  EXPECT_EQ(Texts().size(), 1u) << "no report after No";
  EXPECT_TRUE(Box().commands.empty());
  EXPECT_TRUE(Box().registry.KeyExists(
      "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool"));
}

TEST_F(UninstallTest, EmptyTailOrLogWithoutDirectoryIsAnError) {
  PutFile(kUninstaller, testing_support::MinimalStub());
  Box().answers["Are you sure you want to completely\nremove  from your computer?"] = true;
  EXPECT_EQ(Run(kUninstaller, kUninstaller), 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Uninstall: Are you sure you want to completely\nremove  from your "
                                               "computer?",
                                               "Uninstall: Uninstall error!  Unable to uninstall!"}));

  Box().messages.clear();
  PutFile("C:\\log.inf", ToBytes("[Install]\r\nAppName=Tool\r\n"));
  EXPECT_EQ(Uninstall(true, std::string(kUninstaller) + " C:\\log.inf"), 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{std::string("Uninstall: ") + kConfirm,
                                               "Uninstall: Uninstall error!  Unable to uninstall!"}));
  EXPECT_TRUE(Box().JournalWith("DeleteFileA").empty());
}

TEST_F(UninstallTest, ReportNamesFilesThatStayed) {
  Install(false);
  PutFile("C:\\Program Files\\Tool\\user-data.txt", ToBytes("mine"));
  EXPECT_EQ(Uninstall(true), 0);
  EXPECT_EQ(Texts().back(), "Uninstall: Tool has been uninstalled.\r\nSome files could not be removed.");
  EXPECT_EQ(ReadText("C:\\Program Files\\Tool\\user-data.txt"), "mine");
  EXPECT_FALSE(Exists("C:\\Program Files\\Tool\\Tool.exe"));
}

TEST_F(UninstallTest, ReinstallAfterUninstallWorks) {
  Install(true);
  EXPECT_EQ(Uninstall(true), 0);
  Install(true);
  EXPECT_EQ(ReadText("C:\\Program Files\\Tool\\Tool.exe"), "MZ tool program");
  EXPECT_EQ(Uninstall(true), 0);
  EXPECT_FALSE(Exists("C:\\Program Files\\Tool"));
}

}  // namespace
