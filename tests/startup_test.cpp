#include <gtest/gtest.h>

#include "platform/platform.h"
#include "startup/command_tail.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::MinimalStub;
using testing_support::RecordFor;
using testing_support::ToBytes;

TEST(ModeSelection, OnlyTheLastTwelveCharactersCount) {
  const std::pair<const char*, bool> cases[] = {
      {"C:\\WINDOWS\\Qxunins3.exe", true},
      {"C:\\WINDOWS\\QXUNINS3.EXE", true},
      {"D:\\any\\dir\\qxunins3.exe", true},
      {"C:\\WINDOWS\\OldQxunins3.exe", true},
      {"Qxunins3.exe", true},
      {"C:\\WINDOWS\\Qxunins3.exe.bak", false},
      {"C:\\Setup.exe", false},
      {"nins3.exe", false},
      {"", false},
  };
  for (auto [path, uninstall] : cases) EXPECT_EQ(IsUninstallerPath(path), uninstall) << path;
}

class StartupTest : public testing_support::SandboxTest {};

TEST_F(StartupTest, CommandTailCases) {
  Enter("C:\\x.exe");
  const std::pair<const char*, const char*> cases[] = {
      {"\"C:\\WINDOWS\\Qxunins3.exe\" C:\\Program Files\\Tool\\Uninstal.inf", "C:\\Program Files\\Tool\\Uninstal.inf"},
      {"C:\\WINDOWS\\Qxunins3.exe    C:\\Tool\\Uninstal.inf", "C:\\Tool\\Uninstal.inf"},
      {"Qxunins3.exe \"C:\\Program Files\\Tool\\Uninstal.inf\"", "\"C:\\Program Files\\Tool\\Uninstal.inf\""},
      {"C:\\Program Files\\Qxunins3.exe x", "Files\\Qxunins3.exe x"},
      {"\"C:\\WINDOWS\\Qxunins3.exe\"", ""},
      {"Qxunins3.exe", ""},
      {"Qxunins3.exe \t\x01path with trailing blanks  ", "path with trailing blanks  "},
      {"\"unterminated quote", ""},
      {"\"C:\\x.exe\"tail", "tail"},
  };
  for (auto [line, tail] : cases) EXPECT_STREQ(CommandTail(line), tail) << line;
}

TEST_F(StartupTest, QuotedNameDoesNotEndInsideADoubleByteCharacter) {
  Enter("C:\\x.exe");
  Box().leadBytes = true;
  // 0x82 0x22 is one double-byte character whose trail byte is a quote.
  EXPECT_STREQ(CommandTail("\"C:\\\x82\"dir\\Qxunins3.exe\" C:\\log.inf"), "C:\\log.inf");
}

TEST_F(StartupTest, BareProgramEndsAtOnceSilently) {
  for (const char* path : {kSetupPath, "C:\\windows\\Qxunins3.exe.bak"}) {
    PutFile(path, MinimalStub());
    EXPECT_EQ(Run(path, std::string("\"") + path + "\""), 0);
  }
  EXPECT_TRUE(Box().messages.empty());
  EXPECT_TRUE(Box().JournalWith("CreateFileA").empty());
}

TEST_F(StartupTest, InstallModeExtractsScriptAndLicenceIntoTheTemporaryDirectory) {
  Box().tempDir = "C:\\TEMP\\";
  Box().failWindow = true;  // stop right after the extraction
  auto setup = testing_support::Concat(MinimalStub(), {RecordFor({"setup.inf", ToBytes("[Install]\r\nAppName=T\r\n")}),
                                                       RecordFor({"License.txt", ToBytes("Licence.")})});
  EXPECT_EQ(RunSetup(setup), 0);
  EXPECT_EQ(ReadText("C:\\TEMP\\Uninstal.inf"), "[Install]\r\nAppName=T\r\n");
  EXPECT_EQ(ReadText("C:\\TEMP\\License.txt"), "Licence.");
  EXPECT_TRUE(Box().messages.empty());
}

TEST_F(StartupTest, MissingLicenceRecordEndsAfterTheScript) {
  Box().failWindow = true;
  auto setup = testing_support::Concat(MinimalStub(), {RecordFor({"setup.inf", ToBytes("[Install]\r\n")})});
  EXPECT_EQ(RunSetup(setup), 0);
  EXPECT_TRUE(Exists("C:\\windows\\temp\\Uninstal.inf"));
  EXPECT_FALSE(Exists("C:\\windows\\temp\\License.txt"));
  EXPECT_TRUE(Box().JournalWith("CreateWindowExA").empty());
}

TEST_F(StartupTest, OverlongCommandTailIsRefusedBeforeAnythingIsTouched) {
  PutFile("C:\\windows\\Qxunins3.exe", MinimalStub());
  std::string tail(256, 'x');
  EXPECT_EQ(Run("C:\\windows\\Qxunins3.exe", "C:\\windows\\Qxunins3.exe " + tail), 0);
  ASSERT_EQ(Box().messages.size(), 1u);
  EXPECT_EQ(Box().messages[0].caption, "Uninstall");
  EXPECT_EQ(Box().messages[0].text, "Uninstall error!  Unable to uninstall!");
  EXPECT_EQ(Box().messages[0].style, sys::BOX_ICON_ERROR);
}

}  // namespace
