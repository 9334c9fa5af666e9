#include "platform/host/sandbox.h"

#include <algorithm>

#include "platform/host/host_process.h"
#include "platform/platform.h"
#include "startup/entry.h"

namespace host {
namespace {

Sandbox* g_current = nullptr;

constexpr char kUserHome[] = "C:\\users\\user";
constexpr char kLocalMachine[] = "HKEY_LOCAL_MACHINE\\";
constexpr const char* kFreshKeys[] = {
    "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
};

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool EqualFolded(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Fold(x) == Fold(y); });
}

// The system drops trailing dots and blanks from a path component.
std::string TrimComponent(std::string_view component) {
  if (component == "." || component == "..") return std::string(component);
  size_t end = component.size();
  while (end > 0 && (component[end - 1] == '.' || component[end - 1] == ' ')) --end;
  return std::string(component.substr(0, end));
}

// The entry of dir whose name equals name without regard to case, if any.
std::optional<std::string> MatchEntry(const fs::path& dir, const std::string& name) {
  std::error_code error;
  if (fs::exists(dir / name, error)) return name;
  std::vector<std::string> found;
  for (fs::directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
    std::string entry = it->path().filename().string();
    if (EqualFolded(entry, name)) found.push_back(entry);
  }
  if (found.empty()) return std::nullopt;
  std::sort(found.begin(), found.end());
  return found.front();
}

}  // namespace

UnansweredQuestion::UnansweredQuestion(const std::string& caption_, const std::string& text_)
    : std::runtime_error("no answer for the question \"" + text_ + "\" (caption \"" + caption_ + "\")"),
      caption(caption_),
      text(text_) {}

Sandbox::Sandbox(fs::path root) : root_(std::move(root)) {
  shellFolders = DefaultShellFolders();
  if (fs::exists(RegistryPath())) {
    registry.Load(RegistryPath());
  } else {
    LayOut();
  }
}

std::map<int, std::string> Sandbox::DefaultShellFolders() {
  const std::string home = kUserHome;
  const std::string programs = home + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs";
  return {
      {sys::FOLDER_PROGRAMS, programs},
      {sys::FOLDER_STARTUP, programs + "\\StartUp"},
      {sys::FOLDER_DESKTOP_DIRECTORY, home + "\\Desktop"},
      {sys::FOLDER_APPDATA, home + "\\AppData\\Roaming"},
  };
}

void Sandbox::LayOut() {
  const fs::path drive = root_ / "drive_c";
  for (const char* dir : {"windows/temp", "windows/system32", "Program Files", "users/user/Temp"}) {
    fs::create_directories(drive / dir);
  }
  for (const auto& [folder, path] : shellFolders) {
    if (auto mapped = HostPath(path)) fs::create_directories(*mapped);
  }
  for (const char* key : kFreshKeys) registry.CreateKey(std::string(kLocalMachine) + key);
  SaveRegistry();
}

std::optional<fs::path> Sandbox::HostPath(std::string_view windowsPath) const {
  std::string path(windowsPath);
  std::replace(path.begin(), path.end(), '/', '\\');
  if (path.rfind("\\\\", 0) == 0) return std::nullopt;  // network paths lead nowhere here

  fs::path base;
  std::string rest;
  if (path.size() >= 2 && path[1] == ':') {
    char drive = Fold(path[0]);
    if (drive < 'a' || drive > 'z') return std::nullopt;
    base = drive == 'z' ? fs::path("/") : root_ / (std::string("drive_") + drive);
    rest = path.substr(2);
  } else if (!path.empty() && path[0] == '\\') {
    base = root_ / "drive_c";
    rest = path;
  } else {
    // A relative path starts in the Windows directory, the program's current directory here.
    return HostPath(windowsDir + "\\" + path);
  }

  std::vector<std::string> parts;
  size_t pos = 0;
  while (pos <= rest.size()) {
    size_t next = rest.find('\\', pos);
    if (next == std::string::npos) next = rest.size();
    std::string part = TrimComponent(std::string_view(rest).substr(pos, next - pos));
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }

  fs::path result = base;
  for (const std::string& part : parts) {
    auto match = MatchEntry(result, part);
    result /= match ? *match : part;
  }
  return result;
}

bool Sandbox::Writable(std::string_view windowsPath) const {
  auto mapped = HostPath(windowsPath);
  if (!mapped) return false;
  auto relative = mapped->lexically_relative(root_);
  return !relative.empty() && *relative.begin() != "..";
}

void Sandbox::Note(std::string line) { journal.push_back(std::move(line)); }

std::vector<std::string> Sandbox::JournalWith(std::string_view prefix) const {
  std::vector<std::string> lines;
  for (const std::string& line : journal) {
    if (line.rfind(prefix, 0) == 0) lines.push_back(line);
  }
  return lines;
}

void Sandbox::SaveRegistry() const { registry.Save(RegistryPath()); }

Sandbox& Current() {
  if (g_current == nullptr) throw std::logic_error("the host system layer was used outside a sandbox");
  return *g_current;
}

Sandbox* CurrentOrNull() { return g_current; }

void SetCurrent(Sandbox* sandbox) { g_current = sandbox; }

int RunProgram(Sandbox& sandbox, const std::string& modulePath, const std::string& commandLine) {
  Sandbox* previous = g_current;
  SetCurrent(&sandbox);
  sandbox.modulePath = modulePath;
  struct EndOfProcess {
    Sandbox* previous;
    ~EndOfProcess() {
      EndProcess();
      SetCurrent(previous);
    }
  } end{previous};
  return ProgramMain(nullptr, commandLine.c_str(), sys::SHOW_DEFAULT);
}

std::string ZDrivePath(const fs::path& linuxPath) {
  std::string path = fs::absolute(linuxPath).lexically_normal().string();
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      default: out += c;
    }
  }
  return out + "\"";
}

}  // namespace host
