// qxpack build: the stub, the script, the licence and the files as one setup file.
#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "authoring/builder.h"
#include "authoring/setup_file.h"
#include "files.h"
#include "verbs.h"

namespace qxpack {
namespace {
namespace fs = std::filesystem;

// Inputs above this size get a progress line on a terminal.
constexpr uint64_t kProgressFrom = 8u << 20;

struct Options {
  std::string script;
  std::string license;
  std::optional<std::string> root;
  std::optional<std::string> stub;
  bool best = false;
  bool replacePayload = false;
  std::string out;
  std::vector<std::string> files;
};

fs::path FindStub(const Options& options) {
  if (options.stub) return *options.stub;
  std::error_code error;
  fs::path tool = fs::read_symlink("/proc/self/exe", error).parent_path();
  std::string looked;
  for (const fs::path& candidate : authoring::StubCandidates(tool)) {
    if (fs::is_regular_file(candidate, error)) return candidate;
    looked += "\n  " + candidate.lexically_normal().string();
  }
  throw Failure("no stub found; looked for qxsetup.exe in:" + looked + "\ngive one with --stub PATH");
}

authoring::BuildPlan Plan(const Options& options) {
  authoring::BuildPlan plan;
  plan.stub = authoring::ReadStub(FindStub(options), options.replacePayload);
  plan.script = authoring::ReadPackInput(options.script, fs::path(options.script).filename().string(), true);
  plan.license = authoring::ReadPackInput(options.license, fs::path(options.license).filename().string(), true);
  std::optional<fs::path> root;
  if (options.root) root = *options.root;
  for (const std::string& file : options.files) {
    plan.files.push_back(authoring::ReadPackInput(file, authoring::StoredNameFor(file, root), false));
  }
  plan.level = options.best ? lzhuf::Level::Best : lzhuf::Level::Fast;
  return plan;
}

void LintOrRefuse(const Options& options, const authoring::BuildPlan& plan) {
  auto diagnostics = authoring::LintPlan(plan);
  for (const auto& diagnostic : diagnostics) std::cerr << authoring::FormatDiagnostic(options.script, diagnostic) << "\n";
  size_t errors = authoring::CountOf(diagnostics, authoring::Severity::Error);
  if (errors != 0) {
    throw Failure("not built: " + std::to_string(errors) + " error(s) in " + options.script + "; mend them and build again",
                  EXIT_ERRORS);
  }
}

authoring::BuildProgress ProgressLine(const authoring::BuildPlan& plan) {
  uint64_t total = plan.script.data.size() + plan.license.data.size();
  for (const auto& file : plan.files) total += file.data.size();
  if (total < kProgressFrom || !::isatty(STDERR_FILENO)) return {};
  return [](size_t index, size_t count, const authoring::PackInput& input) {
    std::fprintf(stderr, "\r\033[Kpacking %zu/%zu %s", index + 1, count, input.storedName.c_str());
    if (index + 1 == count) std::fprintf(stderr, "\n");
    std::fflush(stderr);
  };
}

void PrintSummary(const std::vector<authoring::PackedSummary>& rows, size_t stubSize, size_t setupSize) {
  auto ratio = [](uint64_t packed, uint64_t size) { return size == 0 ? 100.0 : 100.0 * double(packed) / double(size); };
  std::printf("%5s %10s %10s %6s  %s\n", "index", "size", "packed", "ratio", "name");
  uint64_t size = 0, packed = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    std::printf("%5zu %10llu %10llu %5.1f%%  %s\n", i, static_cast<unsigned long long>(rows[i].size),
                static_cast<unsigned long long>(rows[i].packed), ratio(rows[i].packed, rows[i].size),
                rows[i].name.c_str());
    size += rows[i].size;
    packed += rows[i].packed;
  }
  std::printf("%5s %10llu %10llu %5.1f%%  %zu records\n", "total", static_cast<unsigned long long>(size),
              static_cast<unsigned long long>(packed), ratio(packed, size), rows.size());
  std::printf("stub %zu bytes; setup file %zu bytes\n", stubSize, setupSize);
}

void Build(const Options& options) {
  authoring::BuildPlan plan;
  std::vector<uint8_t> setup;
  std::vector<authoring::PackedSummary> summary;
  try {
    plan = Plan(options);
    authoring::CheckPlanNames(plan);
    LintOrRefuse(options, plan);
    setup = authoring::BuildSetup(plan, &summary, ProgressLine(plan));
  } catch (const authoring::AuthoringError& e) {
    throw Failure(e.what());
  }
  WriteWholeFile(options.out, setup);
  PrintSummary(summary, plan.stub.size(), setup.size());
}

}  // namespace

void AddBuildVerb(CLI::App& app, int* result) {
  auto options = std::make_shared<Options>();
  auto* build = app.add_subcommand("build", "Pack a script, a licence and files behind the stub into a setup file");
  build->add_option("--script", options->script, "setup script (record 0)")->required();
  build->add_option("--license", options->license, "licence text (record 1)")->required();
  build->add_option("--root", options->root, "store FILEs under their paths relative to DIR (default: base names)");
  build->add_option("--stub", options->stub, "the stub program (default: qxsetup.exe next to qxpack)");
  build->add_flag("--best", options->best, "spend more time for fewer bytes");
  build->add_flag("--replace-payload", options->replacePayload,
                  "accept a stub that already carries a payload and drop it");
  build->add_option("-o,--output", options->out, "setup file to write")->required();
  build->add_option("FILE", options->files, "application files, in installation order");
  build->footer(
      "Records: 0 the script, 1 the licence (both under their base names, attributes plain\n"
      "archive so the installer can write its log), then each FILE in the order given, with\n"
      "\"\\\" between directories. Each record's date and time are the file's modification\n"
      "time in UTC, so builds do not depend on the time zone; attributes are archive, plus\n"
      "read-only when the owner may not write the file. Same inputs, same bytes.\n"
      "The stub is looked for next to qxpack, then in ../share/qxsetup/, then in the build\n"
      "tree's ../../win32/bin/. A stub longer than its PE headers say is refused unless\n"
      "--replace-payload is given. The script is linted against the files first (see\n"
      "qxpack lint --help); an error stops the build with exit 2.");
  build->callback([options, result] {
    Build(*options);
    *result = EXIT_OK;
  });
}

}  // namespace qxpack
