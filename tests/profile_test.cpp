#include <gtest/gtest.h>

#include "script/families.h"
#include "script/profile.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::ToBytes;

constexpr char kPath[] = "C:\\t\\s.inf";

class ProfileTest : public testing_support::SandboxTest {
 protected:
  void SetUp() override {
    SandboxTest::SetUp();
    Enter("C:\\x.exe");
  }
  std::string Get(const char* section, const char* key) {
    char value[TEXT_SIZE];
    unsigned n = ProfileGetString(section, key, value, VALUE_READ_SIZE, kPath);
    EXPECT_EQ(n, TextLength(value));
    return value;
  }
};

TEST_F(ProfileTest, ReadsLikeTheSystemService) {
  PutFile(kPath, ToBytes("; comment\r\n[Install]\r\n  AppName  =  Tool Kit  \r\nEmpty=\r\nQuoted=\"  q  \"\r\n"
                         "appname=second\r\nNum= 42x\r\nNeg=-3\r\n[install]\r\nLate=ignored\r\n"
                         "[Links]\nlinka=Tool.exe\n"));
  EXPECT_EQ(Get("install", "APPNAME"), "Tool Kit");
  EXPECT_EQ(Get("Install", "Empty"), "");
  EXPECT_EQ(Get("Install", "Quoted"), "  q  ");
  EXPECT_EQ(Get("Install", "Missing"), "");
  EXPECT_EQ(Get("Install", "Late"), "") << "the first of duplicate sections wins";
  EXPECT_EQ(Get("Links", "linka"), "Tool.exe") << "bare LF line ends";
  EXPECT_EQ(Get("Nowhere", "x"), "");
  EXPECT_EQ(ProfileGetInt("Install", "Num", 7, kPath), 42) << "the number before the text";
  EXPECT_EQ(ProfileGetInt("Install", "Neg", 7, kPath), -3);
  EXPECT_EQ(ProfileGetInt("Install", "Empty", 7, kPath), 7);
  EXPECT_EQ(ProfileGetInt("Install", "Missing", 7, kPath), 7);
  EXPECT_EQ(ProfileGetInt("Install", "AppName", 7, kPath), 0);

  char small[8];
  EXPECT_EQ(ProfileGetString("Install", "AppName", small, 5, kPath), 4u);
  EXPECT_STREQ(small, "Tool");
}

TEST_F(ProfileTest, WritesAreReadBackBeforeTheFlushAndKeepTheFile) {
  PutFile(kPath, ToBytes("[Install]\r\n; keep me\r\nAppName=Tool\r\n\r\n[Links]\r\nlinka=a\r\n"));
  ProfileWriteString("install", "APPNAME", "New", kPath);
  ProfileWriteString("Links", "linkb", "b", kPath);
  ProfileWriteString("Uninstall", "filea", "C:\\App\\a b.txt", kPath);
  ProfileWriteString("Uninstall", "fileb", "x", kPath);
  EXPECT_EQ(Get("Install", "AppName"), "New");
  EXPECT_EQ(Get("Uninstall", "filea"), "C:\\App\\a b.txt");
  EXPECT_EQ(ReadText(kPath), "[Install]\r\n; keep me\r\nAppName=Tool\r\n\r\n[Links]\r\nlinka=a\r\n")
      << "nothing reaches the file before the flush";

  ProfileFlush(kPath);
  EXPECT_EQ(ReadText(kPath),
            "[Install]\r\n; keep me\r\nAppName=New\r\n\r\n[Links]\r\nlinka=a\r\nlinkb=b\r\n\r\n"
            "[Uninstall]\r\nfilea=C:\\App\\a b.txt\r\nfileb=x\r\n");
}

TEST_F(ProfileTest, WriteCreatesTheFileAndServesItAfterDeletion) {
  std::filesystem::create_directories(HostPath("C:\\t"));
  WriteScriptValue("Uninstall", "dir", "C:\\App", kPath);
  EXPECT_EQ(ReadText(kPath), "[Uninstall]\r\ndir=C:\\App\r\n");
  std::filesystem::remove(HostPath(kPath));
  EXPECT_EQ(Get("Uninstall", "dir"), "C:\\App") << "the loaded text stays served";
}

TEST_F(ProfileTest, FamilyProbeAndWalkPastTheAlphabet) {
  std::string text = "[Uninstall]\r\n";
  for (int letter = 'a'; letter <= '~'; ++letter) text += "file" + std::string(1, char(letter)) + "=v\r\n";
  PutFile(kPath, ToBytes(text));
  FamilyKey key;
  key.Start("file");
  ProbeFamily(key, "Uninstall", kPath, PROBE_READ_SIZE);
  EXPECT_EQ(key.Letter(), 0x7F);
  EXPECT_STREQ(key.text, "file\x7f");

  key.Start("dire");
  ProbeFamily(key, "Uninstall", kPath, PROBE_READ_SIZE);
  EXPECT_STREQ(key.text, "direa");

  // The letter byte stops at 0xFF instead of wrapping to a key without a letter.
  key.Start("x");
  key.text[1] = static_cast<char>(0xFE);
  EXPECT_TRUE(key.Advance());
  EXPECT_FALSE(key.Advance());
  EXPECT_EQ(key.Letter(), 0xFF);
}

}  // namespace
