// qxpack's verbs: each file adds one subcommand with its options and a
// small handler. Exit codes are shared by all verbs.
#pragma once

#include <CLI/CLI.hpp>

namespace qxpack {

enum ExitCode {
  EXIT_OK = 0,        // done; the input is sound
  EXIT_PROBLEMS = 1,  // the input could not be used or has problems (lint: warnings under --strict)
  EXIT_ERRORS = 2,    // bad usage (lint: errors)
};

// Thrown by handlers for a failure that ends the verb with a message.
struct Failure : std::runtime_error {
  explicit Failure(const std::string& message, int code = EXIT_PROBLEMS)
      : std::runtime_error(message), exitCode(code) {}
  int exitCode;
};

// Each verb registers itself and sets *result when it runs.
using AddVerb = void (*)(CLI::App& app, int* result);

void AddLzhufVerb(CLI::App& app, int* result);
void AddBuildVerb(CLI::App& app, int* result);
void AddLintVerb(CLI::App& app, int* result);
void AddListVerb(CLI::App& app, int* result);
void AddExtractVerb(CLI::App& app, int* result);
void AddVerifyVerb(CLI::App& app, int* result);
void AddSimulateVerb(CLI::App& app, int* result);

}  // namespace qxpack
