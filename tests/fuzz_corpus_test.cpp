// Replays the fuzz targets' seed folders (and any findings added to them)
// through the same property checks, without libFuzzer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lzhuf_properties.h"
#include "program_properties.h"

namespace {

namespace fs = std::filesystem;

using Property = std::string (*)(const uint8_t*, size_t);

void Replay(const char* folder, Property property) {
  fs::path dir = fs::path(QX_FUZZ_CORPUS) / folder;
  size_t replayed = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(property(data.data(), data.size()), "") << entry.path().filename();
    ++replayed;
  }
  EXPECT_GT(replayed, 0u) << "no seeds under " << dir;
}

TEST(FuzzCorpus, DecoderSeeds) { Replay("lzhuf_decode", fuzzing::CheckDecoder); }

TEST(FuzzCorpus, RoundTripSeeds) { Replay("lzhuf_roundtrip", fuzzing::CheckRoundTrip); }

TEST(FuzzCorpus, ScriptSeeds) { Replay("script", fuzzing::CheckScript); }

TEST(FuzzCorpus, CommandLineSeeds) { Replay("command_line", fuzzing::CheckCommandLine); }

TEST(FuzzCorpus, RecordSeeds) { Replay("records", fuzzing::CheckRecords); }

}  // namespace
