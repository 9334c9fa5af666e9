// The authoring library over bytes: reading and verifying setup files,
// unpacking them safely, stored names, stamps and stubs.
#include <gtest/gtest.h>

#include <fstream>

#include "authoring/builder.h"
#include "authoring/dos_stamp.h"
#include "authoring/setup_file.h"
#include "authoring/stored_names.h"
#include "authoring/unpack.h"
#include "support/qxpack_run.h"
#include "support/setup_builder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;
using testing_support::Concat;
using testing_support::FileSpec;
using testing_support::MinimalStub;
using testing_support::RecordFor;
using testing_support::TempDir;
using testing_support::ToBytes;

constexpr uint32_t kStub = 4096;

// Text long enough that a changed byte leaves many symbols to decode.
Bytes SampleText() {
  std::string text;
  for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i * 7919 % 1000) + " of the sample program\r\n";
  return ToBytes(text);
}

const char kScript[] =
    "[Install]\r\nDefDir=Tool\r\nAppName=Tool\r\nFileNum=2\r\n[Links]\r\nlinka=tool.exe\r\nlinkfilea=Tool.LNK\r\n";

Bytes SetupWith(const std::string& script, std::vector<FileSpec> files) {
  std::vector<Bytes> records = {RecordFor({"setup.inf", ToBytes(script)}), RecordFor({"License.txt", ToBytes("Free.\r\n")})};
  for (const FileSpec& file : files) records.push_back(RecordFor(file));
  return Concat(MinimalStub(kStub), records);
}

Bytes SoundSetup() { return SetupWith(kScript, {{"tool.exe", SampleText()}, {"doc\\readme.txt", ToBytes("Read me.\r\n")}}); }

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

TEST(SetupFile, ReadsTheChainThroughTheStubsChecks) {
  Bytes bytes = SoundSetup();
  authoring::SetupFile setup = authoring::ReadSetupFile(bytes);
  EXPECT_EQ(setup.stubSize, kStub);
  ASSERT_EQ(setup.records.size(), 4u);
  EXPECT_EQ(setup.records[3].name, "doc\\readme.txt");
  EXPECT_EQ(setup.records[2].uncompressedSize, SampleText().size());
  EXPECT_EQ(setup.chainEnd, bytes.size());
  EXPECT_FALSE(setup.chainBreak);
  EXPECT_EQ(authoring::DecodeRecord(setup.records[2]).data, SampleText());

  Bytes notPe = bytes;
  notPe[0] = 'X';
  EXPECT_THROW(authoring::ReadSetupFile(notPe), authoring::AuthoringError);
  Bytes shorterThanStub(bytes.begin(), bytes.begin() + kStub - 1);
  EXPECT_THROW(authoring::ReadSetupFile(shorterThanStub), authoring::AuthoringError);
}

TEST(SetupFile, VerifyAcceptsASoundFile) {
  authoring::VerifyReport report = authoring::VerifySetup(SoundSetup(), "Setup.exe");
  EXPECT_TRUE(report.problems.empty()) << Joined(report.problems);
  EXPECT_TRUE(report.warnings.empty()) << Joined(report.warnings);
}

TEST(SetupFile, VerifyFindsEachDamage) {
  const Bytes sound = SoundSetup();
  const authoring::SetupFile layout = authoring::ReadSetupFile(sound);
  const authoring::SetupRecord& tool = layout.records[2];
  const size_t middle = tool.offset + tool.recordSize - tool.stream.size() / 2;
  struct Case {
    const char* title;
    Bytes bytes;
    const char* fragment;
  };
  auto flipped = sound;
  flipped[middle] ^= 0x5A;
  auto cut = Bytes(sound.begin(), sound.end() - 10);
  auto appended = sound;
  appended.insert(appended.end(), {1, 2, 3});
  auto appendedZeros = sound;
  appendedZeros.insert(appendedZeros.end(), 64, 0);
  auto overrun = Concat(MinimalStub(kStub), {RecordFor({"setup.inf", ToBytes(kScript)})});
  payload::WriteLe32(overrun.data() + kStub + payload::SizeOffset(9), 5000);  // declares more than it holds
  auto huge = SoundSetup();  // the licence claims 4 GB from its few bytes
  payload::WriteLe32(huge.data() + layout.records[1].offset + payload::SizeOffset(11), 0xFFFFFFF0u);
  const Case cases[] = {
      {"a length no stream of its size can give", huge, "record 1 (License.txt): decodes to"},
      {"a flipped byte in a stream", flipped, "record 2 (tool.exe)"},
      {"a cut file", cut, "the record chain"},
      {"three bytes appended", appended, "3 bytes after the last record"},
      {"zeros appended", appendedZeros, "the record chain"},
      {"a wrong FileNum", SetupWith(kScript, {{"tool.exe", SampleText()}}), "\"FileNum\" is 2 but 1"},
      {"a stream shorter than its declared length", overrun, "record 0 (setup.inf)"},
      {"a name that leaves the directory", SetupWith(kScript, {{"tool.exe", SampleText()}, {"..\\x.txt", {}}}),
       "record 3 (..\\x.txt): the name has a \"..\" component"},
      {"a duplicate name", SetupWith(kScript, {{"tool.exe", SampleText()}, {"TOOL.EXE", {}}}), "record 3 (TOOL.EXE)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    authoring::VerifyReport report = authoring::VerifySetup(c.bytes, "Setup.exe");
    EXPECT_NE(Joined(report.problems).find(c.fragment), std::string::npos) << Joined(report.problems);
  }
}

TEST(StoredNames, NamesThatCannotBeWrittenBelowTheDirectory) {
  for (const char* bad : {"", "..\\x", "a\\..\\..\\x", "a/../x", "\\x", "/etc/x", "C:x", "C:\\x", "a\\...\\x",
                          "a\\\\x", "a\\.\\x", "a\\", "a:b", "x?", "a\x01"}) {
    EXPECT_TRUE(authoring::NameProblem(bad)) << bad;
  }
  for (const char* good : {"tool.exe", "doc\\readme.txt", "a/b/c.txt", "..x", "x..", "a b\\c d.txt"}) {
    EXPECT_FALSE(authoring::NameProblem(good)) << good;
  }
  auto problems = authoring::StoredNameSetProblems({"a.exe", "Doc\\R.txt", "doc/r.TXT", "license.TXT"});
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_EQ(problems[0].index, 2u);
  EXPECT_EQ(problems[1].index, 3u);
}

TEST(StoredNames, RelativeToTheRootOrTheBaseName) {
  TempDir dir;
  fs::path file = dir / "app/doc/readme.txt";
  EXPECT_EQ(authoring::StoredNameFor(file, std::nullopt), "readme.txt");
  EXPECT_EQ(authoring::StoredNameFor(file, dir / "app"), "doc\\readme.txt");
  EXPECT_EQ(authoring::StoredNameFor(file, fs::path((dir / "app").string() + "/")), "doc\\readme.txt");
  EXPECT_EQ(authoring::StoredNameFor(dir / "app/./doc/../doc/readme.txt", dir / "app"), "doc\\readme.txt");
  EXPECT_THROW(authoring::StoredNameFor(dir / "other/x.txt", dir / "app"), authoring::AuthoringError);
  EXPECT_THROW(authoring::StoredNameFor(dir / "app", dir / "app"), authoring::AuthoringError);
}

TEST(DosStamp, UtcStampsAndTheirBounds) {
  std::tm parts{};
  parts.tm_year = 124, parts.tm_mon = 2, parts.tm_mday = 5, parts.tm_hour = 13, parts.tm_min = 14, parts.tm_sec = 21;
  authoring::DosStamp stamp = authoring::DosStampFromUtc(timegm(&parts));
  EXPECT_EQ(stamp.fatDate, testing_support::kDate);
  EXPECT_EQ(stamp.fatTime, testing_support::kTime);  // 21 s rounds down to 20
  EXPECT_EQ(authoring::UtcFromDosStamp(stamp), timegm(&parts) - 1);
  EXPECT_EQ(authoring::FormatDosDate(stamp.fatDate) + " " + authoring::FormatDosTime(stamp.fatTime), "2024-03-05 13:14:20");
  authoring::DosStamp early = authoring::DosStampFromUtc(0);
  EXPECT_EQ(authoring::FormatDosDate(early.fatDate) + " " + authoring::FormatDosTime(early.fatTime), "1980-01-01 00:00:00");
  EXPECT_EQ(authoring::AttributeLetters(0x21), "R--A");
  EXPECT_EQ(authoring::AttributeLetters(0x06), "-HS-");
}

TEST(Stub, APayloadAlreadyAppendedIsRefusedUnlessReplaced) {
  TempDir dir;
  Bytes withPayload = SoundSetup();
  {
    std::ofstream(dir / "stub.exe", std::ios::binary)
        .write(reinterpret_cast<const char*>(withPayload.data()), static_cast<std::streamsize>(withPayload.size()));
  }
  EXPECT_THROW(authoring::ReadStub(dir / "stub.exe", false), authoring::AuthoringError);
  EXPECT_EQ(authoring::ReadStub(dir / "stub.exe", true), MinimalStub(kStub));
  { std::ofstream(dir / "text.exe") << "not a program"; }
  EXPECT_THROW(authoring::ReadStub(dir / "text.exe", true), authoring::AuthoringError);
}

TEST(Unpack, RefusesNamesLeavingTheDirectoryBeforeWritingAnything) {
  for (const char* bad : {"..\\evil.txt", "sub\\..\\..\\evil.txt", "\\evil.txt", "/tmp/evil.txt", "C:evil.txt",
                          "sub/../../evil.txt"}) {
    SCOPED_TRACE(bad);
    TempDir dir;
    Bytes setup = SetupWith(kScript, {{"tool.exe", SampleText()}, {bad, ToBytes("x")}});
    authoring::SetupFile file = authoring::ReadSetupFile(setup);
    EXPECT_THROW(authoring::UnpackSetup(file, dir / "out"), authoring::AuthoringError);
    EXPECT_FALSE(fs::exists(dir / "out"));
    EXPECT_FALSE(fs::exists(dir / "evil.txt"));
  }
}

TEST(Unpack, ALinkInsideTheDirectoryDoesNotCarryARecordOut) {
  TempDir dir;
  fs::create_directories(dir / "out");
  fs::create_directories(dir / "elsewhere");
  fs::create_directory_symlink(dir / "elsewhere", dir / "out" / "doc");
  Bytes setup = SoundSetup();
  authoring::SetupFile file = authoring::ReadSetupFile(setup);
  EXPECT_THROW(authoring::UnpackSetup(file, dir / "out"), authoring::AuthoringError);
  EXPECT_FALSE(fs::exists(dir / "elsewhere" / "readme.txt"));
}

}  // namespace
