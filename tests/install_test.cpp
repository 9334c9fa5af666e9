#include <gtest/gtest.h>

#include "platform/platform.h"
#include "support/ini_text.h"
#include "support/sample_setup.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::Bytes;
using testing_support::Entries;
using testing_support::FileSpec;
using testing_support::kSampleScript;
using testing_support::SampleFiles;
using testing_support::SectionEntries;
using testing_support::SetupWith;
using testing_support::ToBytes;

constexpr char kDir[] = "C:\\Program Files\\Tool";
constexpr char kPrograms[] = "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
constexpr char kDesktop[] = "C:\\users\\user\\Desktop";
constexpr char kQuickLaunch[] = "C:\\users\\user\\AppData\\Roaming\\Microsoft\\Internet Explorer\\Quick Launch";
constexpr char kCloseQuestion[] =
    "Tool Setup is complete. If you need help getting started,\nclick the Tool Help menu item on your Start "
    "Menu.\n\nRun Tool?";

std::string In(const std::string& dir, const std::string& name) { return dir + "\\" + name; }

class InstallTest : public testing_support::SandboxTest {
 protected:
  void Answer(bool desktop, bool quickLaunch, bool run) {
    Box().answers["Add a desktop icon?"] = desktop;
    Box().answers["Add Quick Launch toolbar button?"] = quickLaunch;
    Box().answers["Setup Complete"] = run;
  }
  Entries Log() { return SectionEntries(ReadText(In(kDir, "Uninstal.inf")).value_or(""), "Uninstall"); }
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& m : Box().messages) texts.push_back(m.caption + ": " + m.text);
    return texts;
  }
  std::vector<std::string> Commands() {
    std::vector<std::string> lines;
    for (const auto& c : Box().commands) lines.push_back(c.commandLine + " /" + std::to_string(c.show));
    return lines;
  }
};

TEST_F(InstallTest, CompleteInstallationWithBothOffersAccepted) {
  Answer(true, true, true);
  EXPECT_EQ(RunSetup(SetupWith(kSampleScript, SampleFiles())), 0);

  const std::string group = In(kPrograms, "Tool");
  EXPECT_EQ(Log(), (Entries{
                       {"filea", In(kDir, "Tool.exe")},
                       {"fileb", In(kDir, "x.dll")},
                       {"filec", In(kDir, "Help.txt")},
                       {"direa", "sub"},
                       {"filed", In(kDir, "sub\\readme.txt")},
                       {"dlla", In(kDir, "x.dll")},
                       {"filee", In(kDir, "License.txt")},
                       {"filef", In(kDir, "Uninstal.inf")},
                       {"dir", kDir},
                       {"linkdir", group},
                       {"fileg", In(group, "Tool.LNK")},
                       {"fileh", In(kDesktop, "Tool.LNK")},
                       {"filei", In(kQuickLaunch, "Tool.LNK")},
                       {"filej", In(group, "Tool Help.LNK")},
                   }));
  // The payload's own sections are still there, unchanged.
  EXPECT_EQ(SectionEntries(*ReadText(In(kDir, "Uninstal.inf")), "Links").size(), 5u);

  EXPECT_EQ(ReadText(In(kDir, "Tool.exe")), "MZ tool program");
  EXPECT_EQ(ReadText(In(kDir, "sub\\readme.txt")), "Read me.");
  EXPECT_EQ(Attributes(In(kDir, "sub\\readme.txt")), sys::ATTR_ARCHIVE | sys::ATTR_READONLY);
  EXPECT_EQ(ReadText(In(kDir, "License.txt")), "You may use Tool.\r\n");
  EXPECT_FALSE(Exists("C:\\windows\\temp\\Uninstal.inf"));
  EXPECT_FALSE(Exists("C:\\windows\\temp\\License.txt"));
  // The uninstaller is the program without its payload.
  EXPECT_EQ(ReadText("C:\\windows\\Qxunins3.exe")->size(), 4096u);

  EXPECT_EQ(ReadText(In(group, "Tool.LNK")),
            "[Shortcut]\r\nTarget=C:\\Program Files\\Tool\\Tool.exe\r\nDescription=Tool\r\n");
  EXPECT_EQ(ReadText(In(group, "Tool Help.LNK")),
            "[Shortcut]\r\nTarget=C:\\Program Files\\Tool\\Help.txt\r\nDescription=Tool Help\r\n");
  EXPECT_TRUE(Exists(In(kDesktop, "Tool.LNK")));
  EXPECT_FALSE(Exists(kQuickLaunch)) << "the Quick Launch folder is never created";

  EXPECT_EQ(Texts(), (std::vector<std::string>{"Setup: Add a desktop icon?", "Setup: Add Quick Launch toolbar button?",
                                               std::string("Setup Complete: ") + kCloseQuestion}));
  EXPECT_TRUE(Box().messages[2].owned);
  EXPECT_EQ(Box().messages[2].style, sys::BOX_YESNO);
  EXPECT_EQ(Commands(), (std::vector<std::string>{"regsvr32 \"C:\\Program Files\\Tool\\x.dll\" /0", "runonce -r /1",
                                                  "\"C:\\Program Files\\Tool\\Tool.exe\" /1"}));
  const std::string key = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
  EXPECT_EQ(Box().registry.GetText(key, "DisplayName"), "Tool - 2.1");
  EXPECT_EQ(Box().registry.GetText(key, "UninstallString"),
            "C:\\windows\\Qxunins3.exe C:\\Program Files\\Tool\\Uninstal.inf");
}

TEST_F(InstallTest, DeclinedOffersTakeNoLetter) {
  Answer(false, false, false);
  EXPECT_EQ(RunSetup(SetupWith(kSampleScript, SampleFiles())), 0);
  const std::string group = In(kPrograms, "Tool");
  Entries log = Log();
  ASSERT_EQ(log.size(), 12u);
  EXPECT_EQ(log[10], (std::pair<std::string, std::string>{"fileg", In(group, "Tool.LNK")}));
  EXPECT_EQ(log[11], (std::pair<std::string, std::string>{"fileh", In(group, "Tool Help.LNK")}));
  EXPECT_FALSE(Exists(In(kDesktop, "Tool.LNK")));
  EXPECT_EQ(Commands().size(), 2u) << "No on the closing question starts nothing";
}

// What a copy mode does with a file that is already at the destination.
TEST_F(InstallTest, CopyModes) {
  struct Case {
    const char* mode;
    std::optional<bool> answer;  // to "File exists.  Overwrite?"
    bool replaced;
  };
  const Case cases[] = {{"1", {}, true},  {"2", true, true},  {"2", false, false}, {"3", {}, false},
                        {"0", {}, true},  {"4", {}, true},    {"x", {}, true},     {nullptr, {}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("mode ") + (c.mode ? c.mode : "missing"));
    TearDown();
    SetUp();
    Answer(false, false, false);
    PutFile(In(kDir, "a.txt"), ToBytes("old"));
    std::string script = "[Install]\r\nAppName=Tool\r\nDefDir=Tool\r\nFileNum=1\r\n";
    if (c.mode != nullptr) script += std::string("[Copymode]\r\nfilea=") + c.mode + "\r\n";
    if (c.answer) Box().answers["File exists.  Overwrite?"] = *c.answer;
    EXPECT_EQ(RunSetup(SetupWith(script, {{"a.txt", ToBytes("new")}})), 0);
    EXPECT_EQ(ReadText(In(kDir, "a.txt")), c.replaced ? "new" : "old");
    EXPECT_EQ(Log().front(), (std::pair<std::string, std::string>{"filea", In(kDir, "a.txt")}));
    if (c.answer) {
      ASSERT_FALSE(Box().messages.empty());
      EXPECT_EQ(Box().messages[0].caption, In(kDir, "a.txt"));
      EXPECT_EQ(Box().messages[0].style, sys::BOX_ICON_WARNING | sys::BOX_YESNO);
    }
  }
}

TEST_F(InstallTest, CopyModeWindowsDirectoryAndReadOnlyTargets) {
  Answer(false, false, false);
  PutFile("C:\\windows\\x.dll", ToBytes("old"));
  std::string script = "[Install]\r\nAppName=Tool\r\nDefDir=Tool\r\nFileNum=1\r\n[Copymode]\r\nfilea=8\r\n";
  EXPECT_EQ(RunSetup(SetupWith(script, {{"x.dll", ToBytes("new"), testing_support::kDate, testing_support::kTime,
                                          0x21}})),
            0);
  EXPECT_EQ(ReadText("C:\\windows\\x.dll"), "new");
  EXPECT_EQ(Log().front(), (std::pair<std::string, std::string>{"filea", "C:\\windows\\x.dll"}));
  // A second installation writes over the read-only file the first one left.
  Box().messages.clear();
  EXPECT_EQ(RunSetup(SetupWith(script, {{"x.dll", ToBytes("newer")}})), 0);
  EXPECT_EQ(ReadText("C:\\windows\\x.dll"), "newer");
}

TEST_F(InstallTest, ScriptWithFileEntriesShiftsEveryLetter) {
  Answer(false, false, false);
  std::string script = std::string(kSampleScript) + "[Uninstall]\r\nfilea=C:\\old.txt\r\n";
  // Copy modes now follow the log's letters: the first record takes "b".
  script.replace(script.find("filea=1"), 7, "filea=3");
  PutFile(In(kDir, "Tool.exe"), ToBytes("kept?"));
  EXPECT_EQ(RunSetup(SetupWith(script, SampleFiles())), 0);
  Entries log = Log();
  ASSERT_GE(log.size(), 3u);
  EXPECT_EQ(log[0], (std::pair<std::string, std::string>{"filea", "C:\\old.txt"}));
  EXPECT_EQ(log[1], (std::pair<std::string, std::string>{"fileb", In(kDir, "Tool.exe")}));
  EXPECT_EQ(ReadText(In(kDir, "Tool.exe")), "MZ tool program") << "copy mode of letter b is 1";
  EXPECT_EQ(std::count_if(log.begin(), log.end(), [](auto& e) { return e.second == In(kDir, "License.txt"); }), 1);
  EXPECT_EQ(std::find_if(log.begin(), log.end(), [](auto& e) { return e.second == In(kDir, "License.txt"); })->first,
            "filef");
}

TEST_F(InstallTest, EveryLevelOfADeepNameIsLoggedDeepestFirst) {
  Answer(false, false, false);
  std::string script = "[Install]\r\nAppName=Tool\r\nDefDir=Tool\r\nFileNum=3\r\n";
  EXPECT_EQ(RunSetup(SetupWith(script, {{"a\\x.txt", ToBytes("1")},
                                        {"a\\b\\c\\y.txt", ToBytes("2")},
                                        {"a/b/z.txt", ToBytes("3")}})),
            0);
  Entries log = Log();
  Entries dire;
  for (const auto& e : log) {
    if (e.first.rfind("dire", 0) == 0) dire.push_back(e);
  }
  EXPECT_EQ(dire, (Entries{{"direa", "a"}, {"direb", "a\\b\\c"}, {"direc", "a\\b"}, {"dired", "a"},
                           {"diree", "a\\b"}, {"diref", "a"}}));
  EXPECT_EQ(ReadText(In(kDir, "a\\b\\z.txt")), "3");
}

TEST_F(InstallTest, NamesLeavingTheDirectoryAreRefused) {
  for (const char* name : {"..\\evil.txt", "sub\\..\\..\\evil.txt", "C:\\evil.txt", "\\evil.txt", "a/../../evil.txt",
                           "x:stream", "sub\\.. \\evil.txt"}) {
    SCOPED_TRACE(name);
    TearDown();
    SetUp();
    std::string script = "[Install]\r\nAppName=Tool\r\nDefDir=Tool\r\nFileNum=1\r\n";
    EXPECT_EQ(RunSetup(SetupWith(script, {{name, ToBytes("x")}})), 0);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Setup: File Error!", "Setup Error!: Setup Error!"}));
    EXPECT_TRUE(Box().JournalWith("CreateFileA \"C:\\Program").empty());
    EXPECT_FALSE(Exists("C:\\Program Files\\evil.txt"));
    EXPECT_FALSE(Exists("C:\\evil.txt"));
  }
}

TEST_F(InstallTest, UnwritableProgramFileStopsWithSetupError) {
  std::string script = "[Install]\r\nAppName=Tool\r\nDefDir=Tool\r\nFileNum=2\r\n";
  std::filesystem::create_directories(HostPath(In(kDir, "b.txt")));  // a directory in the way
  EXPECT_EQ(RunSetup(SetupWith(script, {{"a.txt", ToBytes("1")}, {"b.txt", ToBytes("2")}})), 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"File Error: Unable to write the file\n" + In(kDir, "b.txt"),
                                               "Setup Error!: Setup Error!"}));
  // Nothing is rolled back; the temporary script keeps the entries written so far.
  EXPECT_EQ(ReadText(In(kDir, "a.txt")), "1");
  EXPECT_EQ(SectionEntries(*ReadText("C:\\windows\\temp\\Uninstal.inf"), "Uninstall"),
            (Entries{{"filea", In(kDir, "a.txt")}, {"fileb", In(kDir, "b.txt")}}));
  EXPECT_TRUE(Box().commands.empty());
}

TEST_F(InstallTest, FileNumBeyondThePayloadIsASetupError) {
  std::string script = "[Install]\r\nAppName=Tool\r\nDefDir=Tool\r\nFileNum=2\r\n";
  EXPECT_EQ(RunSetup(SetupWith(script, {{"a.txt", ToBytes("1")}})), 0);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"Setup Error!: Setup Error!"}));
}

TEST_F(InstallTest, CancelDeletesTheTemporaryFilesOnly) {
  Box().wizard.cancel = true;
  EXPECT_EQ(RunSetup(SetupWith(kSampleScript, SampleFiles())), 0);
  EXPECT_FALSE(Exists("C:\\windows\\temp\\Uninstal.inf"));
  EXPECT_FALSE(Exists("C:\\windows\\temp\\License.txt"));
  EXPECT_FALSE(Exists(kDir));
  EXPECT_TRUE(Box().messages.empty());
  EXPECT_TRUE(Box().commands.empty());
}

TEST_F(InstallTest, NoProgramFilesStillGivesAnUninstallableProduct) {
  Answer(false, false, true);
  EXPECT_EQ(RunSetup(SetupWith("[Install]\r\nAppName=Tool\r\nDefDir=Tool\r\n", {})), 0);
  EXPECT_EQ(ReadText(In(kDir, "License.txt")), "You may use Tool.\r\n");
  EXPECT_EQ(Log(), (Entries{{"filea", In(kDir, "License.txt")},
                            {"fileb", In(kDir, "Uninstal.inf")},
                            {"dir", kDir},
                            {"linkdir", In(kPrograms, "Tool")}}));
  EXPECT_EQ(Commands(), (std::vector<std::string>{"runonce -r /1"})) << "no link: Yes starts nothing";
}

TEST_F(InstallTest, DefaultDirectoryAndChosenDirectory) {
  struct Case {
    const char* temp;
    const char* defDir;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\WINDOWS\\TEMP\\", "Tool", "C:\\Program Files\\Tool"},
      {"C:\\WINDOWS\\TEMP\\", "", "C:\\Program Files\\"},
      {"\\TEMP\\", "Tool", "\\Program Files\\Tool"},
      {"TEMP", "Tool", "TEMPTool"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.temp);
    Box().messages.clear();
    Box().journal.clear();
    Box().tempDir = c.temp;
    Box().wizard.cancel = true;
    RunSetup(SetupWith(std::string("[Install]\r\nAppName=Tool\r\nDefDir=") + c.defDir + "\r\n", {}));
    EXPECT_EQ(Box().JournalWith("SetWindowTextA"), std::vector<std::string>{"SetWindowTextA \"Tool Setup\""});
    EXPECT_EQ(Box().JournalWith("PropertySheetA"),
              std::vector<std::string>{"PropertySheetA " + host::Quote(c.expected) + " -> 0 (Cancel)"});
  }
  // The wizard's directory is where everything goes.
  Box().tempDir = "C:\\windows\\temp\\";
  Box().wizard.cancel = false;
  Box().wizard.directory = "C:\\Apps\\My Tool";
  Answer(false, false, false);
  EXPECT_EQ(RunSetup(SetupWith(kSampleScript, SampleFiles())), 0);
  EXPECT_EQ(ReadText("C:\\Apps\\My Tool\\Tool.exe"), "MZ tool program");
  EXPECT_EQ(Box().registry.GetText(
                "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool", "UninstallString"),
            "C:\\windows\\Qxunins3.exe C:\\Apps\\My Tool\\Uninstal.inf");
}

// An uninstaller of the stub's size or smaller is replaced; a larger one,
// perhaps a newer program's, is left in place.
TEST_F(InstallTest, UninstallerCopyReplacesOnlyFilesUpToTheStubSize) {
  for (size_t size : {size_t{10}, size_t{4096}, size_t{4097}}) {
    SCOPED_TRACE(size);
    TearDown();
    SetUp();
    Answer(false, false, false);
    PutFile("C:\\windows\\Qxunins3.exe", Bytes(size, 'u'));
    EXPECT_EQ(RunSetup(SetupWith(kSampleScript, SampleFiles())), 0);
    std::string copy = *ReadText("C:\\windows\\Qxunins3.exe");
    if (size > 4096) {
      EXPECT_EQ(copy, std::string(size, 'u'));
    } else {
      EXPECT_EQ(copy.size(), 4096u);
      EXPECT_EQ(copy.substr(0, 2), "MZ");
    }
  }
}

}  // namespace
