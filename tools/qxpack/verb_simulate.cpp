// qxpack simulate install|uninstall: runs the whole program in a host
// sandbox laid out like a Wine prefix, printing every message box and every
// started command.
#include <fstream>
#include <iostream>
#include <memory>

#include "files.h"
#include "payload/pe_image.h"
#include "platform/host/sandbox.h"
#include "verbs.h"

namespace qxpack {
namespace {

namespace fs = std::filesystem;

constexpr char kUninstallRoot[] = "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

struct Options {
  std::string setup;
  std::string root;
  std::string dir;
  std::vector<std::string> answers;
  bool cancel = false;
  std::string product;
};

std::string AnswerName(int answer) {
  switch (answer) {
    case 1: return "OK";
    case 6: return "Yes";
    case 7: return "No";
    default: return std::to_string(answer);
  }
}

std::string ShowName(unsigned show) { return show == 0 ? "hidden" : show == 1 ? "normal" : std::to_string(show); }

// "\n" and "\r" in an answer's key stand for the line breaks of a question.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 'r')) {
      out += text[++i] == 'n' ? '\n' : '\r';
    } else {
      out += text[i];
    }
  }
  return out;
}

void AddAnswers(host::Sandbox& box, const std::vector<std::string>& answers) {
  for (const std::string& answer : answers) {
    size_t equals = answer.rfind('=');
    std::string value = equals == std::string::npos ? "" : answer.substr(equals + 1);
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (equals == 0 || (value != "yes" && value != "no")) {
      throw Failure("--answer " + answer + ": expected KEY=yes or KEY=no, KEY being a question's text or caption",
                    EXIT_ERRORS);
    }
    std::string key = answer.substr(0, equals);
    box.answers[key] = value == "yes";
    box.answers.emplace(Unescape(key), value == "yes");
  }
}

std::unique_ptr<host::Sandbox> OpenSandbox(const Options& options, bool mustExist) {
  fs::path root(options.root);
  std::error_code error;
  if (mustExist && !fs::exists(root / "registry.reg", error)) {
    throw Failure(options.root + ": no sandbox here; run 'qxpack simulate install' with this --root first");
  }
  if (fs::exists(root, error) && !fs::is_directory(root, error)) throw Failure(options.root + ": not a directory");
  fs::create_directories(root, error);
  if (error) throw Failure(options.root + ": cannot create the sandbox: " + error.message());
  auto box = std::make_unique<host::Sandbox>(root);
  AddAnswers(*box, options.answers);
  box->onMessage = [](const host::MessageRecord& m) {
    std::cout << "box: [" << m.caption << "] " << host::Quote(m.text) << " -> " << AnswerName(m.answer) << "\n";
  };
  box->onCommand = [](const host::CommandRecord& c) {
    std::cout << "run: " << c.commandLine << " (" << ShowName(c.show) << ")\n";
  };
  return box;
}

// Runs the program and keeps its journal beside the sandbox's registry.
void Run(host::Sandbox& box, const std::string& modulePath, const std::string& commandLine) {
  std::cout << "start: " << commandLine << "\n";
  int exitCode = 0;
  try {
    exitCode = host::RunProgram(box, modulePath, commandLine);
  } catch (const host::UnansweredQuestion& question) {
    std::ofstream(box.Root() / "journal.log", std::ios::app) << "\n";
    throw Failure("simulation stopped: the question " + host::Quote(question.text) + " (caption " +
                  host::Quote(question.caption) + ") has no answer; give --answer \"" + question.caption +
                  "=yes\" or \"=no\"");
  }
  std::ofstream journal(box.Root() / "journal.log", std::ios::app);
  for (const std::string& line : box.journal) journal << line << "\n";
  std::cout << "end: exit code " << exitCode << "\n";
}

void CheckSetupFile(const fs::path& path) {
  std::vector<uint8_t> bytes = ReadWholeFile(path);
  struct View {
    const std::vector<uint8_t>* bytes;
  } view{&bytes};
  auto read = [](void* context, uint32_t offset, void* buffer, uint32_t count) -> uint32_t {
    const auto& data = *static_cast<View*>(context)->bytes;
    if (offset >= data.size()) return 0;
    uint32_t n = static_cast<uint32_t>(std::min<size_t>(count, data.size() - offset));
    std::copy_n(data.begin() + offset, n, static_cast<uint8_t*>(buffer));
    return n;
  };
  uint32_t stub = payload::StubSizeFromHeaders(read, &view);
  if (stub == 0) throw Failure(path.string() + ": not a setup file (no Windows program headers)");
  if (bytes.size() <= stub) throw Failure(path.string() + ": not a setup file (no payload behind the program)");
}

void SimulateInstall(const Options& options) {
  CheckSetupFile(options.setup);
  auto box = OpenSandbox(options, false);
  box->wizard.cancel = options.cancel;
  if (!options.dir.empty()) box->wizard.directory = options.dir;
  std::string modulePath = host::ZDrivePath(options.setup);
  Run(*box, modulePath, "\"" + modulePath + "\"");
}

// The program and the command line of an uninstall command, as the system
// splits them: a quoted program name, or the text up to the first blank.
std::pair<std::string, std::string> SplitCommand(const std::string& command) {
  if (!command.empty() && command[0] == '"') {
    size_t close = command.find('"', 1);
    return {command.substr(1, close == std::string::npos ? std::string::npos : close - 1), command};
  }
  return {command.substr(0, command.find(' ')), command};
}

void SimulateUninstall(const Options& options) {
  auto box = OpenSandbox(options, true);
  std::vector<std::pair<std::string, std::string>> products;  // name, command
  const std::string root = kUninstallRoot;
  for (const std::string& key : box->registry.KeyPaths()) {
    if (key.size() <= root.size() || key.find('\\', root.size()) != std::string::npos) continue;
    auto command = box->registry.GetText(key, "UninstallString");
    if (command) products.emplace_back(key.substr(root.size()), *command);
  }
  if (!options.product.empty()) {
    std::erase_if(products, [&](const auto& p) { return p.first != options.product; });
  }
  if (products.empty()) throw Failure(options.root + ": no installed product with an UninstallString");
  if (products.size() > 1) {
    std::string names;
    for (const auto& p : products) names += "\n  " + p.first;
    throw Failure("several products are installed; choose one with --product:" + names, EXIT_ERRORS);
  }
  auto [program, commandLine] = SplitCommand(products.front().second);
  auto hostPath = box->HostPath(program);
  std::error_code error;
  if (!hostPath || !fs::is_regular_file(*hostPath, error)) throw Failure("the uninstaller " + program + " is missing");
  Run(*box, program, commandLine);
}

void AddCommonOptions(CLI::App* verb, Options& options) {
  verb->add_option("--root", options.root, "sandbox directory (laid out like a Wine prefix)")->required();
  verb->add_option("--answer", options.answers,
                   "answer to a Yes/No question: KEY=yes|no, KEY being its text or its caption (repeatable)");
}

}  // namespace

void AddSimulateVerb(CLI::App& app, int* result) {
  auto* simulate = app.add_subcommand("simulate", "Run a setup file or its uninstaller in a sandbox on Linux");
  simulate->require_subcommand(1);
  auto options = std::make_shared<Options>();

  auto* install = simulate->add_subcommand(
      "install", "Run SETUP.exe as on Windows: the wizard answers Next, Accept, the directory, Finish");
  install->add_option("SETUP", options->setup, "setup file")->required()->check(CLI::ExistingFile);
  AddCommonOptions(install, *options);
  install->add_option("--dir", options->dir, "installation directory to choose in the wizard, e.g. \"C:\\Tools\\App\"");
  install->add_flag("--cancel", options->cancel, "press Cancel in the wizard");
  install->callback([options, result] {
    SimulateInstall(*options);
    *result = EXIT_OK;
  });

  auto* uninstall = simulate->add_subcommand(
      "uninstall", "Run the installed product's UninstallString from the sandbox registry");
  AddCommonOptions(uninstall, *options);
  uninstall->add_option("--product", options->product, "the product's key name when several are installed");
  uninstall->callback([options, result] {
    SimulateUninstall(*options);
    *result = EXIT_OK;
  });
}

}  // namespace qxpack
