// qxpack verify: the chain, every stream and the script against the records.
#include <iostream>

#include "authoring/setup_file.h"
#include "files.h"
#include "verbs.h"

namespace qxpack {
namespace {

struct Options {
  std::string setup;
  bool strict = false;
};

int Verify(const Options& options) {
  std::vector<uint8_t> bytes = ReadWholeFile(options.setup);
  authoring::VerifyReport report;
  try {
    report = authoring::VerifySetup(bytes, options.setup);
  } catch (const authoring::AuthoringError& e) {
    throw Failure(options.setup + ": " + e.what());
  }
  for (const std::string& problem : report.problems) std::cerr << options.setup << ": " << problem << "\n";
  for (const std::string& warning : report.warnings) std::cerr << warning << "\n";
  bool sound = report.problems.empty() && (!options.strict || report.warnings.empty());
  std::cout << options.setup << ": " << (sound ? "sound" : "NOT sound") << " (" << report.problems.size()
            << " problems, " << report.warnings.size() << " script warnings)\n";
  return sound ? EXIT_OK : EXIT_PROBLEMS;
}

}  // namespace

void AddVerifyVerb(CLI::App& app, int* result) {
  auto options = std::make_shared<Options>();
  auto* verify = app.add_subcommand("verify", "Check that a setup file is sound");
  verify->add_option("SETUP", options->setup, "setup file (Setup.exe)")->required();
  verify->add_flag("--strict", options->strict, "count the script's lint warnings as problems too");
  verify->footer(
      "Checks that the record chain ends exactly at the end of the file; that every record\n"
      "decodes to exactly its declared length from the bits it holds; that the files' names\n"
      "stay below the installation directory and do not repeat; and that the script lints\n"
      "without errors against the records (FileNum against their count, link targets and\n"
      "DLLs against their names). Each problem names the record by index and name.\n"
      "Exit 0 only when all is sound; 1 otherwise.");
  verify->callback([options, result] { *result = Verify(*options); });
}

}  // namespace qxpack
