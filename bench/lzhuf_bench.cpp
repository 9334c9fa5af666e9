// Encode and decode speed of LZHUF on the benchmark corpus, and encode speed
// on inputs that make match search do the most work. Sizes are reported as
// counters; bench/corpus_report.sh prints the figures against the published
// encoder's.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "payload/lzhuf_decode.h"
#include "payload/lzhuf_encode.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const char* Name(lzhuf::Level level) { return level == lzhuf::Level::Best ? "best" : "fast"; }

void Encode(benchmark::State& state, const Bytes& input, lzhuf::Level level) {
  size_t size = 0;
  for (auto _ : state) {
    Bytes stream = lzhuf::EncodeStream(input, level);
    size = stream.size();
    benchmark::DoNotOptimize(stream.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
  state.counters["file_bytes"] = static_cast<double>(size + 4);
}

void Discard(void*, const uint8_t*, uint32_t) {}

void Decode(benchmark::State& state, const Bytes& input) {
  Bytes stream = lzhuf::EncodeStream(input, lzhuf::Level::Fast);
  auto decoder = std::make_unique<lzhuf::DecoderState>();
  for (auto _ : state) {
    auto result = lzhuf::Decode(*decoder, stream.data(), static_cast<uint32_t>(stream.size()),
                                static_cast<uint32_t>(input.size()), Discard, nullptr);
    benchmark::DoNotOptimize(result);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * input.size()));
}

// Inputs of 4 MB where a careless search would stall: one byte repeated,
// short periods, incompressible noise, a block repeated with small changes
// (many long candidates of equal length), two-letter noise (every
// position's chain is full of short matches), and lines that differ only
// near their ends (long common prefixes everywhere).
std::vector<std::pair<std::string, Bytes>> HardInputs() {
  constexpr size_t kSize = 4'000'000;
  std::mt19937 random(42);
  std::vector<std::pair<std::string, Bytes>> inputs;
  inputs.emplace_back("zeros", Bytes(kSize, 0));
  Bytes period(kSize);
  for (size_t i = 0; i < kSize; ++i) period[i] = static_cast<uint8_t>("ab\x01\xff"[i % 4]);
  inputs.emplace_back("period4", std::move(period));
  Bytes noise(kSize);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  inputs.emplace_back("random", std::move(noise));
  Bytes block(3000);
  for (auto& b : block) b = static_cast<uint8_t>(random());
  Bytes repeated;
  for (unsigned copy = 0; repeated.size() < kSize; ++copy) {
    block[copy * 131 % block.size()] = static_cast<uint8_t>(copy);
    repeated.insert(repeated.end(), block.begin(), block.end());
  }
  repeated.resize(kSize);
  inputs.emplace_back("repeated-block", std::move(repeated));
  Bytes binary(kSize);
  for (auto& b : binary) b = static_cast<uint8_t>('a' + random() % 2);
  inputs.emplace_back("two-letters", std::move(binary));
  std::string lines;
  for (unsigned k = 0; lines.size() < kSize; ++k) {
    std::string number = std::to_string(k * 7919u);
    lines += std::string(58 - number.size(), '0') + number + "\n";
  }
  inputs.emplace_back("numbered-lines", Bytes(lines.begin(), lines.begin() + kSize));
  return inputs;
}

void RegisterAll() {
  static std::vector<std::pair<std::string, Bytes>> inputs;
  const fs::path corpus = fs::path(QX_SHARED_DIR) / "corpus";
  for (const char* file : {"docs-4m.txt", "wordpad.exe", "notepad.exe", "xslt.html", "stl_algo.h", "gpl3.txt"}) {
    inputs.emplace_back(file, ReadFile(corpus / file));
  }
  const size_t corpusCount = inputs.size();
  for (auto& hard : HardInputs()) inputs.push_back(std::move(hard));

  for (size_t k = 0; k < inputs.size(); ++k) {
    const std::string& name = inputs[k].first;
    const Bytes& bytes = inputs[k].second;
    const std::string group = k < corpusCount ? "Corpus" : "Hard";
    for (lzhuf::Level level : {lzhuf::Level::Fast, lzhuf::Level::Best}) {
      benchmark::RegisterBenchmark(("Encode" + group + "/" + Name(level) + "/" + name).c_str(),
                                   [&bytes, level](benchmark::State& s) { Encode(s, bytes, level); })
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
    if (k < corpusCount) {
      benchmark::RegisterBenchmark(("DecodeCorpus/" + name).c_str(),
                                   [&bytes](benchmark::State& s) { Decode(s, bytes); })
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
