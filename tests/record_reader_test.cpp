#include <gtest/gtest.h>
#include <sys/stat.h>

#include "payload/extract.h"
#include "payload/record.h"
#include "platform/host/host_process.h"
#include "platform/platform.h"
#include "startup/state.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::Bytes;
using testing_support::FileSpec;
using testing_support::MinimalStub;
using testing_support::RecordFor;
using testing_support::ToBytes;

constexpr uint32_t kStub = 4096;

class RecordReaderTest : public testing_support::SandboxTest {
 protected:
  // Places the setup file and enters the sandbox as that program.
  void Load(const Bytes& setup) {
    PutFile(kSetupPath, setup);
    Enter(kSetupPath);
  }
  int Extract(const std::string& target, int mode) {
    char path[TEXT_SIZE];
    CopyText(path, target.c_str());
    return ExtractEntry(nullptr, path, mode, "C:\\windows\\temp\\Uninstal.inf");
  }
  std::vector<std::string> Boxes() {
    std::vector<std::string> texts;
    for (const auto& m : Box().messages) texts.push_back(m.caption + ": " + m.text);
    return texts;
  }
};

TEST_F(RecordReaderTest, BareProgramEndsSilently) {
  Load(MinimalStub(kStub));
  EXPECT_EQ(Extract("C:\\a.txt", EXTRACT_FIRST), 0);
  EXPECT_EQ(Extract("C:\\a.txt", EXTRACT_NEXT), 0);
  EXPECT_TRUE(Box().messages.empty());
  EXPECT_FALSE(Exists("C:\\a.txt"));
}

TEST_F(RecordReaderTest, CursorWalksTheChainAndRewinds) {
  Bytes r0 = RecordFor({"script.inf", ToBytes("[Install]\r\n")});
  Bytes r1 = RecordFor({"", ToBytes("licence text")});  // NameLength 0
  Bytes r2 = RecordFor({"a.txt", ToBytes("first file")});
  Load(testing_support::Concat(MinimalStub(kStub), {r0, r1, r2}));

  EXPECT_EQ(Extract("C:\\t\\0.txt", EXTRACT_FIRST), 1);
  EXPECT_EQ(::Setup.PayloadCursor, kStub + r0.size());
  EXPECT_EQ(Extract("C:\\t\\1.txt", EXTRACT_NEXT), 1);
  EXPECT_EQ(Extract("C:\\t\\2.txt", EXTRACT_NEXT), 1);
  EXPECT_EQ(::Setup.PayloadCursor, kStub + r0.size() + r1.size() + r2.size());
  // The last record ends at the end of the file: every further call is 0.
  EXPECT_EQ(Extract("C:\\t\\3.txt", EXTRACT_NEXT), 0);
  EXPECT_EQ(Extract("C:\\t\\3.txt", EXTRACT_NEXT), 0);
  EXPECT_EQ(ReadText("C:\\t\\0.txt"), "[Install]\r\n");
  EXPECT_EQ(ReadText("C:\\t\\1.txt"), "licence text");
  EXPECT_EQ(ReadText("C:\\t\\2.txt"), "first file");

  EXPECT_EQ(Extract("C:\\t\\again.txt", EXTRACT_FIRST), 1);
  EXPECT_EQ(ReadText("C:\\t\\again.txt"), "[Install]\r\n");
  EXPECT_EQ(::Setup.PayloadCursor, kStub + r0.size());
  EXPECT_TRUE(Box().messages.empty());
}

// Damaged chains: each case is the payload after the stub and what the user
// is told on the first call.
TEST_F(RecordReaderTest, DamagedRecordsAreReportedNeverRead) {
  Bytes good = RecordFor({"a.txt", ToBytes("contents")});
  Bytes zeroSize = good;
  payload::WriteLe32(&zeroSize[4], 0);
  Bytes tooSmallForName = good;
  payload::WriteLe32(&tooSmallForName[4], 18 + 4);  // name "a.txt" needs 23
  Bytes pastEnd = good;
  payload::WriteLe32(&pastEnd[4], static_cast<uint32_t>(good.size() + 1));
  Bytes cutShort(good.begin(), good.end() - 3);
  Bytes huge = good;
  payload::WriteLe32(&huge[4], 0xFFFFFFF0u);
  // 1 MB claimed from a stream of a few bytes: more than it could ever give.
  Bytes impossible = good;
  payload::WriteLe32(&impossible[payload::SizeOffset(5)], 1000000);
  struct Case {
    const char* name;
    Bytes payload;
    const char* message;
  };
  const Case cases[] = {
      {"RecordSize 0", zeroSize, "Setup: File Error!"},
      {"too small for its name", tooSmallForName, "Setup: File Error!"},
      {"RecordSize past the end", pastEnd, "Setup: File Error!"},
      {"record cut short", cutShort, "Setup: File Error!"},
      {"RecordSize near 4 GB", huge, "Setup: File Error!"},
      {"length beyond what the stream can give", impossible, "Setup: File Error!"},
      {"7 bytes of tail", Bytes(7, 0xAB), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Box().messages.clear();
    Load(testing_support::Concat(MinimalStub(kStub), {c.payload}));
    EXPECT_EQ(Extract("C:\\out.txt", EXTRACT_FIRST), 0);
    EXPECT_EQ(::Setup.PayloadCursor, kStub);
    if (c.message != nullptr) {
      ASSERT_EQ(Boxes(), std::vector<std::string>{c.message});
      EXPECT_EQ(Box().messages[0].style, sys::BOX_ICON_ERROR);
      EXPECT_FALSE(Box().messages[0].owned);
    } else {
      EXPECT_TRUE(Box().messages.empty());
    }
    EXPECT_FALSE(Exists("C:\\out.txt"));
    host::EndProcess();
  }
}

TEST_F(RecordReaderTest, MemoryRefusedIsReported) {
  Load(testing_support::Concat(MinimalStub(kStub), {RecordFor({"a.txt", ToBytes("contents")})}));
  for (uint32_t refusedAbove : {0u, 1000u}) {  // the record block, then only the decoder's memory
    SCOPED_TRACE(refusedAbove);
    Box().messages.clear();
    Box().refuseBlock = [refusedAbove](uint32_t size) { return size > refusedAbove && size != TEXT_SIZE; };
    EXPECT_EQ(Extract("C:\\out.txt", EXTRACT_FIRST), 0);
    EXPECT_EQ(Boxes(), std::vector<std::string>{"Setup: Can't get memory!"});
    EXPECT_FALSE(Exists("C:\\out.txt"));
  }
}

TEST_F(RecordReaderTest, EmptyFileGetsTimeAndAttributes) {
  Load(testing_support::Concat(MinimalStub(kStub), {RecordFor({"e.txt", {}, testing_support::kDate,
                                                               testing_support::kTime, 0x21})}));
  EXPECT_EQ(Extract("C:\\dir\\e.txt", EXTRACT_FIRST), 1);
  EXPECT_EQ(ReadText("C:\\dir\\e.txt"), "");
  EXPECT_EQ(sys::GetAttributes("C:\\dir\\e.txt"), sys::ATTR_ARCHIVE | sys::ATTR_READONLY);
  struct stat info {};
  ASSERT_EQ(::stat(HostPath("C:\\dir\\e.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, 1709666060);  // 2024-03-05 19:14:20 UTC: six hours after the record's stamp
}

TEST_F(RecordReaderTest, CreatesEveryDirectoryAlongTheTarget) {
  Load(testing_support::Concat(MinimalStub(kStub), {RecordFor({"a.txt", ToBytes("x")})}));
  EXPECT_EQ(Extract("C:\\Program Files\\App\\a.txt", EXTRACT_FIRST), 1);
  EXPECT_EQ(Box().JournalWith("CreateDirectoryA"),
            (std::vector<std::string>{"CreateDirectoryA \"C:\" -> 0", "CreateDirectoryA \"C:\\Program Files\" -> 0",
                                      "CreateDirectoryA \"C:\\Program Files\\App\" -> 1"}));
  EXPECT_EQ(ReadText("C:\\Program Files\\App\\a.txt"), "x");
}

TEST_F(RecordReaderTest, WritesOverReadOnlyFilesAndReportsUnwritableTargets) {
  Load(testing_support::Concat(MinimalStub(kStub), {RecordFor({"a.txt", ToBytes("new")})}));
  PutFile("C:\\t\\old.txt", ToBytes("old"));
  sys::SetAttributes("C:\\t\\old.txt", sys::ATTR_READONLY);
  EXPECT_EQ(Extract("C:\\t\\old.txt", EXTRACT_FIRST), 1);
  EXPECT_EQ(ReadText("C:\\t\\old.txt"), "new");

  std::filesystem::create_directories(HostPath("C:\\t\\taken"));
  EXPECT_EQ(Extract("C:\\t\\taken", EXTRACT_FIRST), 0);
  EXPECT_EQ(Boxes(), std::vector<std::string>{"File Error: Unable to write the file\nC:\\t\\taken"});
}

TEST(RecordFields, AttributeMapping) {
  const std::pair<uint8_t, uint32_t> cases[] = {
      {0x20, sys::ATTR_ARCHIVE},
      {0x21, sys::ATTR_ARCHIVE | sys::ATTR_READONLY},
      {0x00, sys::ATTR_NORMAL},
      {0x08, sys::ATTR_NORMAL},
      {0x10, sys::ATTR_NORMAL},
      {0x27, sys::ATTR_ARCHIVE | sys::ATTR_SYSTEM | sys::ATTR_HIDDEN | sys::ATTR_READONLY},
      {0x03, sys::ATTR_HIDDEN | sys::ATTR_READONLY},
      {0x3F, sys::ATTR_ARCHIVE | sys::ATTR_SYSTEM | sys::ATTR_HIDDEN | sys::ATTR_READONLY},
  };
  for (auto [dos, expected] : cases) EXPECT_EQ(payload::MapAttributes(dos), expected) << int(dos);
}

TEST(RecordFields, StampSixHoursLaterCarriesIntoTheNextDay) {
  auto time = [](unsigned h, unsigned m, unsigned s) { return static_cast<uint16_t>(h << 11 | m << 5 | s / 2); };
  struct Case {
    uint16_t in, out;
    uint32_t carry;
  };
  const Case cases[] = {
      {time(13, 14, 20), time(19, 14, 20), 0},
      {time(17, 59, 58), time(23, 59, 58), 0},
      {time(18, 0, 0), time(0, 0, 0), 1},
      {time(23, 30, 0), time(5, 30, 0), 1},
  };
  for (const Case& c : cases) {
    payload::WriteStamp stamp = payload::SixHoursLater(0x5865, c.in);
    EXPECT_EQ(stamp.fatDate, 0x5865);
    EXPECT_EQ(stamp.fatTime, c.out);
    EXPECT_EQ(stamp.dayCarry, c.carry);
  }
}

TEST_F(RecordReaderTest, LateStampLandsOnTheNextDay) {
  // 2024-02-28 20:00:00 becomes 2024-02-29 02:00:00 (a leap day).
  const uint16_t date = ((2024 - 1980) << 9) | (2 << 5) | 28, time = 20 << 11;
  Load(testing_support::Concat(MinimalStub(kStub), {RecordFor({"a.txt", ToBytes("x"), date, time})}));
  EXPECT_EQ(Extract("C:\\a.txt", EXTRACT_FIRST), 1);
  struct stat info {};
  ASSERT_EQ(::stat(HostPath("C:\\a.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, 1709172000);
}

}  // namespace
