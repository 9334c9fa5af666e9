// qxpack as a process: build, list, extract, verify and lint on a small
// fixture, with their exit codes and what they write.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <fstream>

#include "support/qxpack_run.h"
#include "support/setup_builder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::Bytes;
using testing_support::RunQxpack;
using testing_support::RunResult;
using testing_support::TempDir;

std::time_t Utc(int year, int month, int day, int hour, int minute, int second) {
  std::tm parts{};
  parts.tm_year = year - 1900, parts.tm_mon = month - 1, parts.tm_mday = day;
  parts.tm_hour = hour, parts.tm_min = minute, parts.tm_sec = second;
  return timegm(&parts);
}

void Put(const fs::path& path, const Bytes& bytes, std::time_t when) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  timespec times[2] = {{when, 0}, {when, 0}};
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

Bytes Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::time_t MTime(const fs::path& path) {
  struct stat status {};
  ::stat(path.c_str(), &status);
  return status.st_mtime;
}

bool Writable(const fs::path& path) {
  return (fs::status(path).permissions() & fs::perms::owner_write) != fs::perms::none;
}

Bytes Program() {
  Bytes bytes(3000);
  uint32_t x = 12345;  // fixed seed
  for (size_t i = 0; i < bytes.size(); ++i) {
    x = x * 1103515245 + 12345;
    bytes[i] = i % 4 == 0 ? static_cast<uint8_t>(x >> 24) : static_cast<uint8_t>("MZ program "[i % 11]);
  }
  return bytes;
}

const char kScript[] =
    "[Install]\r\nDefDir=Tool\r\nAppName=Tool\r\nFileNum=2\r\n[Links]\r\nlinka=tool.exe\r\nlinkfilea=Tool.LNK\r\n"
    "linkb=doc\\readme.txt\r\nlinkfileb=Readme.LNK\r\n";

// A stub, a read-only script, a licence, and an application of two files:
// tool.exe and the read-only doc/readme.txt stamped at an odd second.
class QxpackCli : public testing::Test {
 protected:
  void SetUp() override {
    Put(dir / "stub.exe", testing_support::MinimalStub(4096), 0);
    Put(dir / "setup.inf", testing_support::ToBytes(kScript), kWhen);
    fs::permissions(dir / "setup.inf", fs::perms::owner_write, fs::perm_options::remove);
    Put(dir / "License.txt", testing_support::ToBytes("Free to use.\r\n"), kWhen);
    Put(dir / "app/tool.exe", Program(), kWhen);
    Put(dir / "app/doc/readme.txt", testing_support::ToBytes("Read me.\r\n"), kWhen + 61);
    fs::permissions(dir / "app/doc/readme.txt", fs::perms::owner_write | fs::perms::group_write |
                    fs::perms::others_write, fs::perm_options::remove);
  }

  std::vector<std::string> BuildArguments(const std::string& out) {
    return {"build",    "--stub", (dir / "stub.exe").string(),     "--script", (dir / "setup.inf").string(),
            "--license", (dir / "License.txt").string(), "--root", (dir / "app").string(), "-o", out,
            (dir / "app/tool.exe").string(), (dir / "app/doc/readme.txt").string()};
  }

  fs::path Build(const std::string& name = "Setup.exe") {
    fs::path out = dir / name;
    RunResult run = RunQxpack(BuildArguments(out.string()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    return out;
  }

  const std::time_t kWhen = Utc(2024, 3, 5, 13, 14, 20);
  TempDir dir;
};

TEST_F(QxpackCli, BuildListExtractGiveBackNamesBytesTimesAndAttributes) {
  fs::path setup = Build();
  RunResult run = RunQxpack(BuildArguments((dir / "Again.exe").string()));
  EXPECT_NE(run.out.find("doc\\readme.txt"), std::string::npos) << "summary names each record";
  EXPECT_NE(run.out.find("stub 4096 bytes"), std::string::npos) << run.out;

  RunResult list = RunQxpack({"list", setup.string()});
  ASSERT_EQ(list.exitCode, 0) << list.err;
  EXPECT_NE(list.out.find("stub: 4096 bytes"), std::string::npos) << list.out;
  EXPECT_NE(list.out.find("2024-03-05 13:14:20  ---A"), std::string::npos) << "the read-only script is stored plain\n"
                                                                          << list.out;
  EXPECT_NE(list.out.find("2024-03-05 13:15:20  R--A"), std::string::npos) << list.out;
  RunResult json = RunQxpack({"list", "--json", setup.string()});
  EXPECT_NE(json.out.find("\"index\": 3, \"name\": \"doc\\\\readme.txt\""), std::string::npos) << json.out;

  RunResult extract = RunQxpack({"extract", setup.string(), (dir / "out").string()});
  ASSERT_EQ(extract.exitCode, 0) << extract.err;
  EXPECT_EQ(Read(dir / "out/setup.inf"), testing_support::ToBytes(kScript));
  EXPECT_EQ(Read(dir / "out/License.txt"), Read(dir / "License.txt"));
  EXPECT_EQ(Read(dir / "out/tool.exe"), Program());
  EXPECT_EQ(Read(dir / "out/doc/readme.txt"), Read(dir / "app/doc/readme.txt"));
  EXPECT_EQ(MTime(dir / "out/tool.exe"), kWhen);
  EXPECT_EQ(MTime(dir / "out/doc/readme.txt"), kWhen + 60) << "stamps keep even seconds";
  EXPECT_TRUE(Writable(dir / "out/setup.inf"));
  EXPECT_TRUE(Writable(dir / "out/tool.exe"));
  EXPECT_FALSE(Writable(dir / "out/doc/readme.txt"));

  RunResult again = RunQxpack({"extract", setup.string(), (dir / "out").string()});
  EXPECT_EQ(again.exitCode, 0) << "a read-only file from an earlier extraction is replaced\n" << again.err;
}

TEST_F(QxpackCli, TheSameInputsGiveTheSameBytes) {
  Bytes first = Read(Build("One.exe"));
  Bytes second = Read(Build("Two.exe"));
  EXPECT_EQ(first, second);
  EXPECT_EQ(Bytes(first.begin(), first.begin() + 4096), testing_support::MinimalStub(4096));
}

TEST_F(QxpackCli, BuildRefusals) {
  Put(dir / "withpayload.exe", Read(Build()), 0);
  Put(dir / "other/tool.exe", {1, 2, 3}, kWhen);
  Put(dir / "bad.inf", testing_support::ToBytes("[Install]\r\nDefDir=T\r\nAppName=T\r\nFileNum=5\r\n"), kWhen);
  const std::string script = (dir / "setup.inf").string(), license = (dir / "License.txt").string();
  const std::string tool = (dir / "app/tool.exe").string(), readme = (dir / "app/doc/readme.txt").string();
  struct Case {
    const char* title;
    std::vector<std::string> arguments;
    int exitCode;
    const char* fragment;
  };
  const Case cases[] = {
      {"a stub with a payload", {"--stub", (dir / "withpayload.exe").string(), "--script", script, "--license", license,
        "--root", (dir / "app").string(), tool, readme}, 1, "--replace-payload"},
      {"a lint error", {"--stub", (dir / "stub.exe").string(), "--script", (dir / "bad.inf").string(), "--license",
        license, tool, readme}, 2, "bad.inf:4: error: \"FileNum\" is 5 but 2"},
      {"two files under one name", {"--stub", (dir / "stub.exe").string(), "--script", script, "--license", license,
        tool, (dir / "other/tool.exe").string()}, 1, "other/tool.exe: stored as \"tool.exe\": the same name"},
      {"a file outside the root", {"--stub", (dir / "stub.exe").string(), "--script", script, "--license", license,
        "--root", (dir / "app").string(), tool, (dir / "other/tool.exe").string()}, 1, "not below --root"},
      {"a missing file", {"--stub", (dir / "stub.exe").string(), "--script", script, "--license", license,
        tool, (dir / "app/gone.txt").string()}, 1, "app/gone.txt: cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    fs::path out = dir / "Refused.exe";
    std::vector<std::string> arguments = {"build", "-o", out.string()};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    RunResult run = RunQxpack(arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE(run.err.find(c.fragment), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out));
  }

  std::vector<std::string> replaced = BuildArguments((dir / "Replaced.exe").string());
  replaced[2] = (dir / "withpayload.exe").string();
  replaced.push_back("--replace-payload");
  ASSERT_EQ(RunQxpack(replaced).exitCode, 0);
  EXPECT_EQ(Read(dir / "Replaced.exe"), Read(dir / "Setup.exe"));
}

TEST_F(QxpackCli, VerifyExitsOneOnDamageAndNamesTheRecord) {
  fs::path setup = Build();
  EXPECT_EQ(RunQxpack({"verify", setup.string()}).exitCode, 0);
  Bytes bytes = Read(setup);
  bytes.push_back(0);
  Put(dir / "Longer.exe", bytes, 0);
  RunResult longer = RunQxpack({"verify", (dir / "Longer.exe").string()});
  EXPECT_EQ(longer.exitCode, 1);
  EXPECT_NE(longer.err.find("1 bytes after the last record"), std::string::npos) << longer.err;
}

TEST_F(QxpackCli, ExtractRefusesANameLeavingTheDirectory) {
  using testing_support::RecordFor;
  Bytes setup = testing_support::Concat(testing_support::MinimalStub(4096),
                                        {RecordFor({"setup.inf", testing_support::ToBytes(kScript)}),
                                         RecordFor({"License.txt", {}}), RecordFor({"..\\evil.txt", {'x'}}),
                                         RecordFor({"red\x1b[31m.txt", {'y'}})});
  Put(dir / "Evil.exe", setup, 0);
  // list shows the names without handing their control bytes to the terminal.
  RunResult listed = RunQxpack({"list", (dir / "Evil.exe").string()});
  EXPECT_NE(listed.out.find("red\\x1b[31m.txt"), std::string::npos) << listed.out;
  EXPECT_EQ(listed.out.find('\x1b'), std::string::npos);
  RunResult run = RunQxpack({"extract", (dir / "Evil.exe").string(), (dir / "out").string()});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("record 2 (..\\evil.txt)"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(dir / "evil.txt"));
  EXPECT_FALSE(fs::exists(dir / "out"));
}

TEST_F(QxpackCli, LintExitCodes) {
  Put(dir / "warn.inf", testing_support::ToBytes("[Install]\r\nDefDir=T\r\nAppName=T\r\nFileNum=1\r\nAppNmae=T\r\n"), 0);
  RunResult clean = RunQxpack({"lint", (dir / "setup.inf").string(), "--files", "2"});
  EXPECT_EQ(clean.exitCode, 0) << clean.err;
  EXPECT_EQ(clean.err, "");
  RunResult warned = RunQxpack({"lint", (dir / "warn.inf").string()});
  EXPECT_EQ(warned.exitCode, 0);
  EXPECT_NE(warned.err.find("warn.inf:5: warning: \"AppNmae\""), std::string::npos) << warned.err;
  EXPECT_EQ(RunQxpack({"lint", (dir / "warn.inf").string(), "--strict"}).exitCode, 1);
  EXPECT_EQ(RunQxpack({"lint", (dir / "setup.inf").string(), "--files", "3"}).exitCode, 2);
  EXPECT_EQ(RunQxpack({"lint", (dir / "nothing.inf").string()}).exitCode, 1);
}

}  // namespace
