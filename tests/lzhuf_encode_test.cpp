#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "payload/format.h"
#include "payload/lzhuf_decode.h"
#include "payload/lzhuf_encode.h"
#include "payload/lzhuf_match.h"
#include "support/reference_lzhuf.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::Bytes;
namespace fs = std::filesystem;
using lzhuf::Level;

constexpr Level kLevels[] = {Level::Fast, Level::Best};

const char* Name(Level level) { return level == Level::Best ? "best" : "fast"; }

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Append(void* context, const uint8_t* data, uint32_t count) {
  auto* out = static_cast<Bytes*>(context);
  out->insert(out->end(), data, data + count);
}

// Everything a stream from the encoder must satisfy: both decoders give back
// exactly the input, the stream holds every bit it needs and no whole byte it
// does not, and no match copies from a ring slot before it is written.
void ExpectSoundStream(const Bytes& input, const Bytes& stream) {
  auto state = std::make_unique<lzhuf::DecoderState>();
  Bytes decoded;
  auto size = static_cast<uint32_t>(input.size());
  lzhuf::DecodeResult result =
      lzhuf::Decode(*state, stream.data(), static_cast<uint32_t>(stream.size()), size, Append, &decoded);
  EXPECT_TRUE(decoded == input) << "decoded " << decoded.size() << " bytes of " << input.size();
  EXPECT_EQ(result.produced, input.size()) << "a match runs past the end";
  EXPECT_LE(result.bitsUsed, stream.size() * 8) << "stream needs bits past its end";
  if (input.empty()) {
    EXPECT_TRUE(stream.empty());
  } else {
    EXPECT_GT(result.bitsUsed + 8, stream.size() * 8) << "stream has a byte no symbol uses";
  }

  reference::TracedDecode traced = reference::DecodeLzhufTraced(stream, size);
  EXPECT_TRUE(traced.bytes == input) << "the reference decoder disagrees";
  EXPECT_FALSE(traced.readUnwritten) << "a match reads ring slots 4036..4095 before they are written";
}

Bytes Random(size_t size, unsigned seed, unsigned alphabet = 256) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& b : bytes) b = static_cast<uint8_t>(random() % alphabet);
  return bytes;
}

Bytes Counting(size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 % 251);
  return bytes;
}

// Text from a small vocabulary: many matches of every length and distance,
// and enough symbols that the tree is rebuilt several times.
Bytes Words(size_t size, unsigned seed) {
  static const char* const words[] = {"the ", "install", "er ", "file ", "of ", "setup", "\r\n", "ing ",
                                      "windows ", "a ", "program ", "to ", "directory ", ", ", ". "};
  std::mt19937 random(seed);
  Bytes bytes;
  while (bytes.size() < size) {
    const char* word = words[random() % std::size(words)];
    bytes.insert(bytes.end(), word, word + std::char_traits<char>::length(word));
  }
  bytes.resize(size);
  return bytes;
}

// A program-like binary: a block repeated with a few bytes changed each time.
Bytes RepetitiveBinary(size_t size) {
  Bytes block = Random(700, 99);
  Bytes bytes;
  for (unsigned copy = 0; bytes.size() < size; ++copy) {
    block[copy * 37 % block.size()] = static_cast<uint8_t>(copy);
    bytes.insert(bytes.end(), block.begin(), block.end());
  }
  bytes.resize(size);
  return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Bytes Periodic(std::string_view period, size_t size) {
  Bytes bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(period[i % period.size()]);
  return bytes;
}

struct EdgeCase {
  const char* name;
  Bytes input;
};

std::vector<EdgeCase> EdgeCases() {
  return {
      {"empty", {}},
      {"one byte", {'A'}},
      {"one space", {' '}},
      {"two bytes", {0, 0}},
      {"4095 bytes", Counting(4095)},
      {"4096 bytes", Counting(4096)},
      {"4097 bytes", Counting(4097)},
      {"zeros 100000", Bytes(100000, 0)},
      {"run then other byte", Concat({Bytes(5000, 'a'), Bytes{'b'}})},
      // The first bytes can copy the ring's initial spaces, but not the 60
      // unwritten slots after them.
      {"spaces 10000", Bytes(10000, ' ')},
      {"spaces then text", Concat({Bytes(70, ' '), testing_support::ToBytes("x"), Bytes(4100, ' ')})},
      {"text then spaces", Concat({testing_support::ToBytes("abc"), Bytes(200, ' '), Bytes{0, 0, 0}})},
      // A period that does not divide the length: the last match must stop at the end.
      {"period 3 of 1000", Periodic("abc", 1000)},
      {"period 7 of 4097", Periodic("qxsetup", 4097)},
      {"random 70000", Random(70000, 1234)},
      {"random 4-letter 20000", Random(20000, 55, 4)},
      {"words 300000", Words(300000, 8)},
      {"repetitive binary 200000", RepetitiveBinary(200000)},
  };
}

TEST(LzhufEncode, EdgeInputsRoundTripAtBothLevels) {
  for (const EdgeCase& c : EdgeCases()) {
    for (Level level : kLevels) {
      SCOPED_TRACE(std::string(c.name) + " at " + Name(level));
      ExpectSoundStream(c.input, lzhuf::EncodeStream(c.input, level));
    }
  }
}

// Short inputs from narrow and wide alphabets hit the end-of-input and
// block-boundary paths at every offset.
TEST(LzhufEncode, RandomShortInputsRoundTrip) {
  const unsigned seed = 20261211;
  std::mt19937 random(seed);
  for (int round = 0; round < 300; ++round) {
    const unsigned alphabet = round % 3 == 0 ? 2 : round % 3 == 1 ? 16 : 256;
    Bytes input = Random(random() % 9000, static_cast<unsigned>(random()), alphabet);
    for (Level level : kLevels) {
      SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round) + " at " + Name(level));
      ExpectSoundStream(input, lzhuf::EncodeStream(input, level));
      if (HasFailure()) return;
    }
  }
}

std::vector<fs::path> CorpusFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(testing_support::SharedDir() / "corpus")) {
    if (entry.path().extension() != ".md") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(LzhufEncode, CorpusRoundTripsAtBothLevels) {
  auto files = CorpusFiles();
  ASSERT_EQ(files.size(), 6u) << "corpus missing under " << testing_support::SharedDir();
  for (const fs::path& file : files) {
    Bytes input = ReadFile(file);
    for (Level level : kLevels) {
      SCOPED_TRACE(file.filename().string() + " at " + Name(level));
      ExpectSoundStream(input, lzhuf::EncodeStream(input, level));
    }
  }
}

// Same input and level, same bytes, whatever was encoded before.
TEST(LzhufEncode, IsDeterministic) {
  const Bytes inputs[] = {Words(100000, 3), RepetitiveBinary(50000), Random(30000, 77)};
  for (Level level : kLevels) {
    for (const Bytes& input : inputs) {
      SCOPED_TRACE(Name(level));
      Bytes first = lzhuf::EncodeStream(input, level);
      lzhuf::EncodeStream(inputs[2], level);
      EXPECT_TRUE(lzhuf::EncodeStream(input, level) == first);
    }
  }
}

TEST(LzhufEncode, FileFormatIsLengthThenStream) {
  Bytes input = Words(5000, 4);
  for (Level level : kLevels) {
    Bytes file = lzhuf::EncodeFile(input, level);
    ASSERT_GE(file.size(), 4u);
    EXPECT_EQ(payload::ReadLe32(file.data()), input.size());
    EXPECT_TRUE(Bytes(file.begin() + 4, file.end()) == lzhuf::EncodeStream(input, level));
  }
  EXPECT_TRUE(lzhuf::EncodeFile({}, Level::Best) == Bytes(4, 0));
}

// ---- Match search against an exhaustive one ---------------------------------

// What every finder must report at i, by trying every distance: for each
// length from 3 up, the nearest distance that matches at least that far,
// without reading before the buffer (the ring slots not yet written) or past
// the end. Entry k is the nearest distance for length k, 0 when there is none.
std::vector<unsigned> NearestByLength(const lzhuf::RingInput& ring, size_t i) {
  const size_t limit = std::min<size_t>(lzhuf::F, ring.End() - i);
  std::vector<unsigned> nearest(lzhuf::F + 1, 0);
  for (size_t distance = 1; distance <= lzhuf::N && distance <= i; ++distance) {
    size_t length = 0;
    while (length < limit && ring.At(i - distance + length) == ring.At(i + length)) ++length;
    for (size_t k = lzhuf::THRESHOLD + 1; k <= length; ++k) {
      if (nearest[k] == 0) nearest[k] = static_cast<unsigned>(distance);
    }
  }
  return nearest;
}

// Checks one position's matches: each is real and within reach, each is
// longer than the one before, and (when the search is exhaustive) together
// they name the nearest match of every length.
void ExpectMatchesAt(const lzhuf::RingInput& ring, size_t i, const std::vector<unsigned>& nearest,
                     const lzhuf::Match* found, int count, bool exhaustive) {
  unsigned previous = lzhuf::THRESHOLD;
  std::vector<unsigned> reported(lzhuf::F + 1, 0);
  for (int k = 0; k < count; ++k) {
    const lzhuf::Match m = found[k];
    ASSERT_GT(m.length, previous) << "at " << i;
    ASSERT_GE(m.distance, 1u);
    ASSERT_LE(m.distance, std::min<size_t>(lzhuf::N, i)) << "at " << i;
    ASSERT_LE(i + m.length, ring.End()) << "at " << i;
    for (unsigned b = 0; b < m.length; ++b) {
      ASSERT_EQ(ring.At(i - m.distance + b), ring.At(i + b)) << "at " << i;
    }
    for (unsigned length = previous + 1; length <= m.length; ++length) reported[length] = m.distance;
    previous = m.length;
  }
  if (exhaustive) {
    EXPECT_TRUE(reported == nearest) << "at " << i;
  }
}

// The cheapest path takes, for each length, the match the finder names; the
// position code grows with distance, so only the nearest is worth naming.
// An exhaustive search must name it for every length, and a bounded one must
// still report only real matches. The trees hold no position with fewer than
// F bytes after it, so in the last F - 1 positions they may name a farther
// match.
TEST(LzhufMatch, FindersNameTheNearestMatchOfEveryLength) {
  const std::pair<const char*, Bytes> inputs[] = {
      {"words", Words(12000, 5)},
      {"repetitive binary", RepetitiveBinary(9000)},
      {"two letters", Random(6000, 17, 2)},
      {"spaces then text", Concat({Bytes(70, ' '), testing_support::ToBytes("x y  z"), Bytes(300, ' '), Words(500, 2)})},
      {"period 7", Periodic("qxsetup", 5000)},
      // Each string's only earlier copy is exactly the ring's reach back.
      {"noise at the ring's period", Concat({Random(4096, 3), Random(4096, 3), Random(100, 3)})},
  };
  constexpr unsigned kBounded = 4, kUnbounded = 100000;
  for (const auto& [name, input] : inputs) {
    SCOPED_TRACE(name);
    lzhuf::TreeFinder trees[] = {{input, kBounded}, {input, kUnbounded}};
    lzhuf::ChainFinder chains[] = {{input, kBounded}, {input, kUnbounded}};
    lzhuf::Match found[lzhuf::MAX_MATCHES];
    for (size_t i = trees[0].Start(); i < trees[0].End() && !HasFatalFailure(); ++i) {
      const std::vector<unsigned> nearest = NearestByLength(trees[0], i);
      for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k == 0 ? "bounded" : "unbounded");
        ExpectMatchesAt(trees[k], i, nearest, found, trees[k].Find(i, found),
                        k == 1 && i + lzhuf::F <= trees[k].End());
        ExpectMatchesAt(chains[k], i, nearest, found, chains[k].Find(i, found), k == 1);
      }
    }
    if (HasFailure()) return;
  }
}

// ---- A second, independent decoder: lhasa, reading -lh1- archive entries ----

uint16_t Crc16(const Bytes& data) {
  uint16_t crc = 0;
  for (uint8_t byte : data) {
    crc = static_cast<uint16_t>(crc ^ byte);
    for (int k = 0; k < 8; ++k) crc = static_cast<uint16_t>((crc & 1) ? (crc >> 1) ^ 0xA001 : crc >> 1);
  }
  return crc;
}

void PutLe(Bytes& out, uint32_t value, int bytes) {
  for (int k = 0; k < bytes; ++k) out.push_back(static_cast<uint8_t>(value >> (8 * k)));
}

// A one-entry archive with a level-0 header: size and checksum of the header,
// method, compressed and original sizes, DOS time stamp, attribute, level,
// name, CRC-16 of the original; then the stream and the closing zero byte.
Bytes LzhArchive(const Bytes& stream, const Bytes& original, const std::string& name) {
  Bytes header;
  for (char c : std::string("-lh1-")) header.push_back(static_cast<uint8_t>(c));
  PutLe(header, static_cast<uint32_t>(stream.size()), 4);
  PutLe(header, static_cast<uint32_t>(original.size()), 4);
  PutLe(header, 0x5B8B6000u, 4);  // 2025-12-11 12:00:00
  header.push_back(0x20);         // archive attribute
  header.push_back(0);            // header level
  header.push_back(static_cast<uint8_t>(name.size()));
  header.insert(header.end(), name.begin(), name.end());
  PutLe(header, Crc16(original), 2);
  uint8_t sum = 0;
  for (uint8_t b : header) sum = static_cast<uint8_t>(sum + b);
  Bytes archive{static_cast<uint8_t>(header.size()), sum};
  archive.insert(archive.end(), header.begin(), header.end());
  archive.insert(archive.end(), stream.begin(), stream.end());
  archive.push_back(0);
  return archive;
}

class Lhasa : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v lhasa >/dev/null 2>&1") != 0) GTEST_SKIP() << "lhasa is not installed";
    dir_ = fs::temp_directory_path() / ("qx-lhasa-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // What lhasa extracts from an archive holding the stream; empty on failure.
  Bytes Extract(const Bytes& stream, const Bytes& original) {
    fs::remove_all(dir_ / "out");
    fs::create_directories(dir_ / "out");
    WriteFile(dir_ / "entry.lzh", LzhArchive(stream, original, "entry.bin"));
    std::string command = "lhasa -xqfw=" + (dir_ / "out").string() + " " + (dir_ / "entry.lzh").string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return ReadFile(dir_ / "out" / "entry.bin");
  }

  fs::path dir_;
};

TEST_F(Lhasa, ExtractsWhatTheEncoderWrites) {
  std::vector<EdgeCase> cases = EdgeCases();
  for (const char* name : {"gpl3.txt", "stl_algo.h", "notepad.exe"}) {
    cases.push_back({name, ReadFile(testing_support::SharedDir() / "corpus" / name)});
  }
  for (const EdgeCase& c : cases) {
    if (c.input.empty()) continue;  // an empty entry has no stream to decode
    for (Level level : kLevels) {
      SCOPED_TRACE(std::string(c.name) + " at " + Name(level));
      EXPECT_TRUE(Extract(lzhuf::EncodeStream(c.input, level), c.input) == c.input);
    }
  }
}

// A second opinion on the decoder: on the well-formed vectors lhasa must give
// what ours gives.
TEST_F(Lhasa, AgreesWithOurDecoderOnWellFormedVectors) {
  const char* const wellFormed[] = {"one-byte", "size-4095", "size-4096", "size-4097", "run-of-one-byte",
                                    "leading-spaces", "text-300k-rebuilds", "binary-random", "file-gpl3.txt",
                                    "file-notepad.exe"};
  for (const char* name : wellFormed) {
    SCOPED_TRACE(name);
    Bytes file = ReadFile(testing_support::SharedDir() / "vectors" / "lzhuf" / (std::string(name) + ".lzh"));
    ASSERT_GE(file.size(), 4u);
    Bytes stream(file.begin() + 4, file.end());
    auto state = std::make_unique<lzhuf::DecoderState>();
    Bytes ours;
    lzhuf::Decode(*state, stream.data(), static_cast<uint32_t>(stream.size()), payload::ReadLe32(file.data()),
                  Append, &ours);
    EXPECT_TRUE(Extract(stream, ours) == ours);
  }
}

TEST(QxpackLzhuf, EncodeVerbRoundTripsAtBothLevels) {
  fs::path dir = fs::temp_directory_path() / ("qxpack-encode-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  Bytes input = Words(50000, 21);
  WriteFile(dir / "in.txt", input);
  for (const char* flag : {"", " --best"}) {
    SCOPED_TRACE(flag);
    std::string in = "'" + (dir / "in.txt").string() + "'", lzh = "'" + (dir / "in.lzh").string() + "'",
                out = "'" + (dir / "out.txt").string() + "'";
    std::string qxpack = QX_QXPACK;
    ASSERT_EQ(std::system((qxpack + " lzhuf encode " + in + " " + lzh + flag).c_str()), 0);
    ASSERT_EQ(std::system((qxpack + " lzhuf decode " + lzh + " " + out).c_str()), 0);
    EXPECT_TRUE(ReadFile(dir / "out.txt") == input);
    EXPECT_TRUE(ReadFile(dir / "in.lzh") == lzhuf::EncodeFile(input, *flag ? Level::Best : Level::Fast));
  }
  fs::remove_all(dir);
}

}  // namespace
