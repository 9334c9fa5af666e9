// Building a setup file: the stub, then the script, the licence and the
// application files as records, in that order. The same plan gives the same
// bytes on every run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "authoring/script_lint.h"
#include "payload/lzhuf_encode.h"

namespace authoring {

struct PackInput {
  std::string source;      // where it came from, for messages
  std::string storedName;  // "\" between directories
  std::vector<uint8_t> data;
  uint16_t fatDate = 0;
  uint16_t fatTime = 0;
  uint8_t attributes = 0x20;
};

struct BuildPlan {
  std::vector<uint8_t> stub;  // the program alone, without payload
  PackInput script;
  PackInput license;
  std::vector<PackInput> files;
  lzhuf::Level level = lzhuf::Level::Fast;
};

struct PackedSummary {
  std::string name;
  uint64_t size;
  uint64_t packed;  // bytes of the code stream
};

// Called before each record is encoded, with its index and the count.
using BuildProgress = std::function<void(size_t index, size_t count, const PackInput& input)>;

// Throws AuthoringError, naming the source file, for a stored name that
// cannot be stored or installed, or names that repeat.
void CheckPlanNames(const BuildPlan& plan);

// The script linted against the plan's files (their count and names).
std::vector<Diagnostic> LintPlan(const BuildPlan& plan);

// The whole setup file. Throws AuthoringError, naming the source file, for
// the names CheckPlanNames refuses, a file over 4 GB, or a result over 4 GB. Fills summary with one row per record.
std::vector<uint8_t> BuildSetup(const BuildPlan& plan, std::vector<PackedSummary>* summary,
                                const BuildProgress& progress = {});

// ---- Inputs from disk ----

// The name a file is stored under: its path relative to root with "\"
// between directories, or its base name without a root.
std::string StoredNameFor(const std::filesystem::path& file, const std::optional<std::filesystem::path>& root);

// A file's bytes with its modification time (UTC) as the stamp; attributes
// are archive, plus read-only when the owner may not write it, unless
// plainArchive asks for archive alone.
PackInput ReadPackInput(const std::filesystem::path& file, std::string storedName, bool plainArchive);

// The program of a stub file, cut to the size its PE headers give. A file
// longer than that already carries a payload: refused unless replacePayload.
std::vector<uint8_t> ReadStub(const std::filesystem::path& stub, bool replacePayload);

// Where a stub is looked for next to the tool in toolDirectory, in order:
// the same directory, ../share/qxsetup/, the build tree's ../../win32/bin/.
std::vector<std::filesystem::path> StubCandidates(const std::filesystem::path& toolDirectory);

}  // namespace authoring
