#include "authoring/builder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "authoring/dos_stamp.h"
#include "authoring/setup_file.h"
#include "authoring/stored_names.h"
#include "payload/format.h"
#include "payload/record_writer.h"

namespace authoring {
namespace fs = std::filesystem;
namespace {

constexpr uint64_t kLargest = 0xFFFFFFFFu;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
  std::error_code error;
  if (fs::is_directory(path, error)) throw AuthoringError(path.string() + ": is a directory; give the files in it");
  uint64_t size = fs::file_size(path, error);
  if (error) throw AuthoringError(path.string() + ": cannot be read: " + error.message() + "; check the path");
  if (size > kLargest) throw AuthoringError(path.string() + ": larger than 4 GB, which a record cannot hold");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw AuthoringError(path.string() + ": cannot open for reading: " + std::strerror(errno));
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
  if (static_cast<uint64_t>(in.gcount()) != size) throw AuthoringError(path.string() + ": read error (did it change?)");
  return bytes;
}

}  // namespace

void CheckPlanNames(const BuildPlan& plan) {
  for (const PackInput* input : {&plan.script, &plan.license}) {
    if (input->storedName.size() > payload::MAX_NAME_LENGTH) {
      throw AuthoringError(input->source + ": its name is longer than 255 bytes; rename it");
    }
  }
  std::vector<std::string> names;
  for (const PackInput& file : plan.files) {
    if (file.storedName.size() > payload::MAX_NAME_LENGTH) {
      throw AuthoringError(file.source + ": stored as \"" + file.storedName + "\", " +
                           std::to_string(file.storedName.size()) +
                           " bytes; records hold names of 255 bytes at most: shorten the path below --root");
    }
    names.push_back(file.storedName);
  }
  std::vector<NameSetProblem> problems = StoredNameSetProblems(names);
  if (!problems.empty()) {
    const PackInput& file = plan.files[problems.front().index];
    throw AuthoringError(file.source + ": stored as \"" + file.storedName + "\": " + problems.front().message);
  }
}

std::vector<Diagnostic> LintPlan(const BuildPlan& plan) {
  std::vector<std::string> names;
  for (const PackInput& file : plan.files) names.push_back(file.storedName);
  std::string text(plan.script.data.begin(), plan.script.data.end());
  return LintScript(text, LintContext{names.size(), names});
}

std::vector<uint8_t> BuildSetup(const BuildPlan& plan, std::vector<PackedSummary>* summary,
                                const BuildProgress& progress) {
  CheckPlanNames(plan);
  std::vector<const PackInput*> inputs = {&plan.script, &plan.license};
  for (const PackInput& file : plan.files) inputs.push_back(&file);

  std::vector<uint8_t> out = plan.stub;
  for (size_t i = 0; i < inputs.size(); ++i) {
    const PackInput& input = *inputs[i];
    if (progress) progress(i, inputs.size(), input);
    if (input.data.size() > kLargest) throw AuthoringError(input.source + ": larger than 4 GB, which a record cannot hold");
    std::vector<uint8_t> stream = lzhuf::EncodeStream(input.data, plan.level);
    payload::RecordHeader header{input.storedName, input.fatDate, input.fatTime, input.attributes,
                                 static_cast<uint32_t>(input.data.size())};
    if (out.size() + payload::StreamOffset(static_cast<uint32_t>(input.storedName.size())) + stream.size() > kLargest) {
      throw AuthoringError(input.source + ": with it the setup file grows past 4 GB, which the stub cannot read");
    }
    std::vector<uint8_t> record = payload::ComposeRecord(header, stream);
    out.insert(out.end(), record.begin(), record.end());
    if (summary != nullptr) summary->push_back({input.storedName, input.data.size(), stream.size()});
  }
  return out;
}

std::string StoredNameFor(const fs::path& file, const std::optional<fs::path>& root) {
  fs::path absolute = fs::absolute(file).lexically_normal();
  fs::path relative = absolute.filename();
  if (root) {
    fs::path base = fs::absolute(*root).lexically_normal();
    if (!base.has_filename()) base = base.parent_path();
    relative = absolute.lexically_relative(base);
    if (relative.empty() || *relative.begin() == ".." || relative == ".") {
      throw AuthoringError(file.string() + ": not below --root " + root->string() +
                           "; give files inside the root, or a root that holds them");
    }
  }
  std::string name;
  for (const fs::path& part : relative) {
    if (!name.empty()) name += '\\';
    name += part.string();
  }
  return name;
}

PackInput ReadPackInput(const fs::path& file, std::string storedName, bool plainArchive) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) {
    throw AuthoringError(file.string() + ": cannot be read: " + std::strerror(errno) + "; check the path");
  }
  PackInput input;
  input.source = file.string();
  input.storedName = std::move(storedName);
  input.data = ReadBytes(file);
  DosStamp stamp = DosStampFromUtc(status.st_mtime);
  input.fatDate = stamp.fatDate;
  input.fatTime = stamp.fatTime;
  input.attributes = payload::DOS_ARCHIVE;
  if (!plainArchive && (status.st_mode & S_IWUSR) == 0) input.attributes |= payload::DOS_READONLY;
  return input;
}

std::vector<uint8_t> ReadStub(const fs::path& stub, bool replacePayload) {
  std::vector<uint8_t> bytes = ReadBytes(stub);
  uint32_t size = StubSizeOf(bytes);
  if (size == 0) throw AuthoringError(stub.string() + ": not a PE program; give --stub the built qxsetup.exe");
  if (size > bytes.size()) {
    throw AuthoringError(stub.string() + ": cut short: its headers say " + std::to_string(size) + " bytes, it has " +
                         std::to_string(bytes.size()) + "; rebuild it");
  }
  if (size < bytes.size() && !replacePayload) {
    throw AuthoringError(stub.string() + ": " + std::to_string(bytes.size() - size) +
                         " bytes follow its program (a payload already appended?); give the plain qxsetup.exe, or "
                         "--replace-payload to use only its first " + std::to_string(size) + " bytes");
  }
  bytes.resize(size);
  return bytes;
}

std::vector<fs::path> StubCandidates(const fs::path& toolDirectory) {
  return {toolDirectory / "qxsetup.exe", toolDirectory / ".." / "share" / "qxsetup" / "qxsetup.exe",
          toolDirectory / ".." / ".." / "win32" / "bin" / "qxsetup.exe"};
}

}  // namespace authoring
