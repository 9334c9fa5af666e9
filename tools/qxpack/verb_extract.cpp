// qxpack extract: every record as a file below a directory.
#include <iostream>

#include "authoring/unpack.h"
#include "files.h"
#include "verbs.h"

namespace qxpack {
namespace {

struct Options {
  std::string setup;
  std::string dir;
};

int Extract(const Options& options) {
  std::vector<uint8_t> bytes;
  authoring::SetupFile setup = LoadSetup(options.setup, bytes);
  std::vector<authoring::UnpackedFile> files;
  try {
    files = authoring::UnpackSetup(setup, options.dir);
  } catch (const authoring::AuthoringError& e) {
    throw Failure(options.setup + ": " + e.what());
  }
  int code = EXIT_OK;
  for (const auto& file : files) {
    std::cout << file.path.string() << "\n";
    if (!file.sound) {
      std::cerr << "qxpack: " << options.setup << ": " << authoring::Describe(*file.record)
                << ": the stream does not decode to exactly its declared length; run qxpack verify\n";
      code = EXIT_PROBLEMS;
    }
  }
  if (setup.chainBreak) {
    std::cerr << "qxpack: " << options.setup << ": the record chain: " << *setup.chainBreak << "\n";
    code = EXIT_PROBLEMS;
  }
  return code;
}

}  // namespace

void AddExtractVerb(CLI::App& app, int* result) {
  auto options = std::make_shared<Options>();
  auto* extract = app.add_subcommand("extract", "Write a setup file's script, licence and files below a directory");
  extract->add_option("SETUP", options->setup, "setup file (Setup.exe)")->required();
  extract->add_option("DIR", options->dir, "directory to write into (created when missing)")->required();
  extract->footer(
      "Each record goes under its stored name (\"\\\" makes subdirectories); the script and the\n"
      "licence under theirs, or setup.inf and License.txt when stored without one. Times are\n"
      "the stored stamps read as UTC; read-only records lose write permission. Existing files\n"
      "are replaced. A name that would leave DIR (absolute, a drive, \"..\") stops the\n"
      "extraction before anything is written.");
  extract->callback([options, result] { *result = Extract(*options); });
}

}  // namespace qxpack
