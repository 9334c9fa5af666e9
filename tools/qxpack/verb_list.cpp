// qxpack list: the stub size and one row per record.
#include <cstdio>
#include <iostream>

#include "authoring/dos_stamp.h"
#include "authoring/setup_file.h"
#include "files.h"
#include "verbs.h"

namespace qxpack {
namespace {

struct Options {
  std::string setup;
  bool json = false;
};

// A JSON string; bytes from 0x80 on are taken as Latin-1.
std::string JsonText(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte >= 0x80) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// A name for the terminal: control bytes shown as \xHH, so a crafted name
// cannot send escape sequences to the terminal.
std::string PrintableName(std::string_view text) {
  std::string out;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out;
}

void PrintTable(const authoring::SetupFile& setup) {
  std::printf("stub: %u bytes\n", setup.stubSize);
  std::printf("%5s  %-10s %-8s  %-4s %10s %10s  %s\n", "index", "date", "time", "attr", "packed", "size", "name");
  for (const auto& r : setup.records) {
    std::printf("%5u  %-10s %-8s  %-4s %10zu %10u  %s\n", r.index, authoring::FormatDosDate(r.fatDate).c_str(),
                authoring::FormatDosTime(r.fatTime).c_str(), authoring::AttributeLetters(r.attributes).c_str(),
                r.stream.size(), r.uncompressedSize, PrintableName(r.name).c_str());
  }
}

void PrintJson(const authoring::SetupFile& setup) {
  std::cout << "{\"stub_size\": " << setup.stubSize << ", \"records\": [";
  for (const auto& r : setup.records) {
    std::cout << (r.index == 0 ? "" : ",") << "\n  {\"index\": " << r.index << ", \"name\": " << JsonText(r.name)
              << ", \"date\": \"" << authoring::FormatDosDate(r.fatDate) << "\", \"time\": \""
              << authoring::FormatDosTime(r.fatTime) << "\", \"attributes\": \""
              << authoring::AttributeLetters(r.attributes) << "\", \"attribute_bits\": " << unsigned{r.attributes}
              << ", \"offset\": " << r.offset << ", \"packed\": " << r.stream.size()
              << ", \"size\": " << r.uncompressedSize << "}";
  }
  std::cout << "\n], \"chain_break\": " << (setup.chainBreak ? JsonText(*setup.chainBreak) : "null") << "}\n";
}

int List(const Options& options) {
  std::vector<uint8_t> bytes;
  authoring::SetupFile setup = LoadSetup(options.setup, bytes);
  if (options.json) {
    PrintJson(setup);
  } else {
    PrintTable(setup);
  }
  if (!setup.chainBreak) return EXIT_OK;
  std::fflush(stdout);
  std::cerr << "qxpack: " << options.setup << ": the record chain: " << *setup.chainBreak << "\n";
  return EXIT_PROBLEMS;
}

}  // namespace

void AddListVerb(CLI::App& app, int* result) {
  auto options = std::make_shared<Options>();
  auto* list = app.add_subcommand("list", "Show a setup file's stub size and records");
  list->add_option("SETUP", options->setup, "setup file (Setup.exe)")->required();
  list->add_flag("--json", options->json, "write JSON instead of a table");
  list->footer(
      "One row per record: index (0 the script, 1 the licence, then the files), MS-DOS date and\n"
      "time as stored (UTC when built by qxpack), attributes as R read-only, H hidden, S system,\n"
      "A archive (- when not set), the packed (code stream) and unpacked size, the name.\n"
      "Exit 1 when the record chain does not end exactly at the end of the file.");
  list->callback([options, result] { *result = List(*options); });
}

}  // namespace qxpack
