// qxpack: builds, inspects, verifies and simulates qxsetup setup files.
#include <iostream>

#include "verbs.h"

namespace {

constexpr qxpack::AddVerb kVerbs[] = {
    qxpack::AddBuildVerb,
    qxpack::AddLintVerb,
    qxpack::AddListVerb,
    qxpack::AddExtractVerb,
    qxpack::AddVerifyVerb,
    qxpack::AddLzhufVerb,
    qxpack::AddSimulateVerb,
};

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"qxpack: build, inspect, verify and simulate qxsetup setup files"};
  app.require_subcommand(1);
  app.footer(
      "Exit codes: 0 done and sound; 1 the input could not be used or has problems;\n"
      "2 bad usage (lint: errors found).");
  int result = qxpack::EXIT_OK;
  for (qxpack::AddVerb add : kVerbs) add(app, &result);
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return qxpack::EXIT_ERRORS;
  } catch (const qxpack::Failure& e) {
    std::cerr << "qxpack: " << e.what() << "\n";
    return e.exitCode;
  } catch (const std::exception& e) {
    // Anything a verb did not turn into a Failure (out of memory, a file
    // system error) still ends with a message and exit 1, not an abort.
    std::cerr << "qxpack: " << e.what() << "\n";
    return qxpack::EXIT_PROBLEMS;
  }
  return result;
}
