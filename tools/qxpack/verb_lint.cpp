// qxpack lint: the setup script's problems, one per line, as compilers write them.
#include <iostream>

#include "authoring/script_lint.h"
#include "files.h"
#include "verbs.h"

namespace qxpack {
namespace {

struct Options {
  std::string script;
  std::optional<size_t> files;
  bool strict = false;
};

int Lint(const Options& options) {
  std::vector<uint8_t> bytes = ReadWholeFile(options.script);
  std::string text(bytes.begin(), bytes.end());
  auto diagnostics = authoring::LintScript(text, authoring::LintContext{options.files, std::nullopt});
  for (const auto& diagnostic : diagnostics) std::cerr << authoring::FormatDiagnostic(options.script, diagnostic) << "\n";
  size_t errors = authoring::CountOf(diagnostics, authoring::Severity::Error);
  size_t warnings = authoring::CountOf(diagnostics, authoring::Severity::Warning);
  if (errors != 0) return EXIT_ERRORS;
  return warnings != 0 && options.strict ? EXIT_PROBLEMS : EXIT_OK;
}

}  // namespace

void AddLintVerb(CLI::App& app, int* result) {
  auto options = std::make_shared<Options>();
  auto* lint = app.add_subcommand("lint", "Check a setup script for what the installer would do differently than meant");
  lint->add_option("SCRIPT", options->script, "setup script (setup.inf)")->required();
  lint->add_option("--files", options->files, "number of application files packed after the licence");
  lint->add_flag("--strict", options->strict, "exit 1 on warnings too");
  lint->footer(
      "Each problem is written to stderr as FILE:LINE: error|warning: MESSAGE.\n"
      "Errors (the installation breaks or drops what the script asks for): FileNum not\n"
      "matching --files; a lettered key after a gap (dll, link, linkfile, Desc are read\n"
      "from \"a\" and stop at the first missing or empty one); a link without linkfile;\n"
      "AppName or DefDir missing; AppName over 135 characters; a path over 255 characters;\n"
      "an [Uninstall] section. Link targets and DLL names are checked against the files\n"
      "by build and verify, where the names are known.\n"
      "Warnings (works, but likely a slip): keys or sections no step reads (typos),\n"
      "duplicates (the first wins), Copymode values other than 1, 2, 3, 8, Copymode\n"
      "entries no file takes, numbers with trailing text, values over 254 characters\n"
      "(cut), Desk or QLaunch without a link, FileNum missing without --files.\n"
      "Exit: 0 clean (warnings allowed), 1 warnings under --strict, 2 errors.");
  lint->callback([options, result] { *result = Lint(*options); });
}

}  // namespace qxpack
