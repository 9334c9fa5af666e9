// The linter's problems, one table of scripts and the lines they must give.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "authoring/script_lint.h"

namespace {

using authoring::LintContext;
using authoring::LintScript;

struct Expected {
  unsigned line;
  const char* severity;  // "error" or "warning"
  const char* fragment;  // a part of the message that says what is wrong
};

struct LintCase {
  const char* title;
  std::string script;
  LintContext context;
  std::vector<Expected> expected;
};

// A script without problems for one application file, tool.exe.
const std::string kHead = "[Install]\r\nDefDir=Tool\r\nAppName=Tool\r\nFileNum=1\r\n";
const std::string kLinks = "[Links]\r\nlinka=tool.exe\r\nlinkfilea=Tool.LNK\r\n";

LintContext Files(std::vector<std::string> names) { return LintContext{names.size(), names}; }
LintContext Count(size_t count) { return LintContext{count, std::nullopt}; }

std::vector<LintCase> Cases() {
  const std::string longName(136, 'n');
  const std::string longDir(240, 'd');
  return {
      {"clean", kHead + kLinks, Files({"tool.exe"}), {}},
      {"clean with LF line ends and quotes", "[install]\nDEFDIR = \"Tool\"\nappname='Tool'\nfilenum=1\n", Count(1), {}},
      {"FileNum above the files", kHead, Count(0), {{4, "error", "installation fails"}}},
      {"FileNum below the files", kHead, Count(3), {{4, "error", "never be installed"}}},
      {"FileNum missing with files", "[Install]\nDefDir=T\nAppName=T\n", Count(2), {{1, "error", "\"FileNum\" is 0 but 2"}}},
      {"FileNum missing, files unknown", "[Install]\nDefDir=T\nAppName=T\n", {}, {{1, "warning", "no application file"}}},
      {"more files than the log has letters", "[Install]\nDefDir=T\nAppName=T\nFileNum=158\n", Count(158),
       {{4, "error", "would log 160 files"}}},
      {"FileNum with trailing text", "[Install]\nDefDir=T\nAppName=T\nFileNum=2 files\n", Count(2),
       {{4, "warning", "read as 2"}}},
      {"AppName and DefDir missing", "[Install]\nFileNum=0\n", Count(0),
       {{1, "error", "no \"AppName\""}, {1, "error", "no \"DefDir\""}}},
      {"AppName empty", "[Install]\nDefDir=T\nAppName=\nFileNum=0\n", Count(0), {{3, "error", "no \"AppName\""}}},
      {"AppName over 135", "[Install]\nDefDir=T\nAppName=" + longName + "\nFileNum=0\n", Count(0),
       {{3, "error", "at most 135"}}},
      {"a key typo", kHead + "AppNmae=Tool\r\n", Count(1), {{5, "warning", "did you mean \"AppName\""}}},
      {"an unknown section", kHead + "[Instal]\r\nVerNum=1\r\n", Count(1), {{5, "warning", "did you mean \"Install\""}}},
      {"a key outside any section", "Stray=1\n" + kHead, Count(1), {{1, "warning", "outside any section"}}},
      {"a duplicate key, first wins", kHead + "AppName=Other\r\n", Count(1), {{5, "warning", "first, at line 3"}}},
      {"a duplicate section", kHead + "[install]\r\nAppBy=X\r\n", Count(1), {{5, "warning", "second [install]"}}},
      {"an Uninstall section", kHead + "[Uninstall]\r\nfilea=C:\\x\r\n", Count(1), {{5, "error", "[Uninstall]"}}},
      {"a dll after a gap", kHead + "dlla=a.dll\r\ndllc=c.dll\r\n", Count(1), {{6, "error", "stop at \"dllb\""}}},
      {"an empty dll ends the family", kHead + "dlla=\r\ndllb=b.dll\r\n", Count(1), {{6, "error", "\"dllb\" is never read"}}},
      {"a link after a gap, with its file and description", kHead + kLinks + "linkc=x.exe\r\nlinkfilec=X.LNK\r\nDescc=x\r\n",
       Count(1),
       {{8, "error", "\"linkc\" is never read"}, {9, "error", "\"linkfilec\""}, {10, "error", "\"Descc\""}}},
      {"a link without linkfile", kHead + "[Links]\r\nlinka=tool.exe\r\n", Count(1), {{6, "error", "no \"linkfilea\""}}},
      {"link target and DLL not among the files", kHead + "dlla=gone.dll\r\n" + kLinks + "linkb=doc\\gone.txt\r\nlinkfileb=G.LNK\r\n",
       Files({"tool.exe"}),
       {{5, "error", "DLL \"gone.dll\""}, {9, "error", "\"doc\\gone.txt\""}}},
      {"names match without case and with / as separator",
       "[Install]\nDefDir=T\nAppName=T\nFileNum=2\ndlla=SUB/X.DLL\n[Links]\nlinka=Tool.EXE\nlinkfilea=T.LNK\nlinkb=License.txt\n"
       "linkfileb=L.LNK\n",
       Files({"tool.exe", "sub\\x.dll"}), {}},
      {"a link target sent to the Windows directory", kHead + kLinks + "[Copymode]\r\nfilea=8\r\n", Files({"tool.exe"}),
       {{6, "error", "Windows directory"}}},
      {"Copymode values and letters", kHead + "[Copymode]\r\nfilea=4\r\nfileb=2\r\n", Count(1),
       {{6, "warning", "overwrites like 1"}, {7, "warning", "no application file takes letter \"b\""}}},
      {"Copymode read by letter, not walked: a gap is fine", kHead + "[Copymode]\r\nfilec=3\r\n", Count(3),
       {{4, "error", "\"FileNum\" is 1 but 3"}}},
      {"offers without a link", kHead + "Desk=1\r\nQLaunch=1\r\n", Count(1),
       {{5, "warning", "\"Desk\" offers"}, {6, "warning", "\"QLaunch\" offers"}}},
      {"default directory over 255", "[Install]\nDefDir=" + longDir + "\nAppName=T\nFileNum=0\n", Count(0),
       {{2, "error", "paths allow 255"}}},
      {"a file path over 255", "[Install]\nDefDir=" + std::string(200, 'd') + "\nAppName=T\nFileNum=1\n",
       Files({std::string(60, 'f')}), {{2, "error", "shorten DefDir or the name"}}},
      {"a value cut at 254", kHead + "AppBy=" + std::string(300, 'b') + "\r\n", Count(1), {{5, "warning", "first 254"}}},
  };
}

TEST(ScriptLint, TableOfScripts) {
  for (const LintCase& c : Cases()) {
    SCOPED_TRACE(c.title);
    auto diagnostics = LintScript(c.script, c.context);
    std::string all;
    for (const auto& d : diagnostics) all += authoring::FormatDiagnostic("s.inf", d) + "\n";
    ASSERT_EQ(diagnostics.size(), c.expected.size()) << all;
    for (size_t i = 0; i < c.expected.size(); ++i) {
      std::string line = authoring::FormatDiagnostic("s.inf", diagnostics[i]);
      std::string prefix = "s.inf:" + std::to_string(c.expected[i].line) + ": " + c.expected[i].severity + ": ";
      EXPECT_EQ(line.rfind(prefix, 0), 0u) << line;
      EXPECT_NE(line.find(c.expected[i].fragment), std::string::npos) << line;
    }
  }
}

}  // namespace
