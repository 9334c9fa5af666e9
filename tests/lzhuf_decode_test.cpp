#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>

#include "payload/format.h"
#include "payload/lzhuf_decode.h"
#include "payload/lzhuf_encode.h"
#include "support/reference_lzhuf.h"
#include "support/sandbox_test.h"

namespace {

using testing_support::Bytes;
namespace fs = std::filesystem;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct Collected {
  Bytes bytes;
  std::vector<uint32_t> pieces;
};

void Collect(void* context, const uint8_t* data, uint32_t count) {
  auto* out = static_cast<Collected*>(context);
  out->bytes.insert(out->bytes.end(), data, data + count);
  out->pieces.push_back(count);
}

Collected Decode(const Bytes& stream, uint32_t declared, lzhuf::DecodeResult* result = nullptr) {
  auto state = std::make_unique<lzhuf::DecoderState>();
  Collected out;
  auto r = lzhuf::Decode(*state, stream.data(), static_cast<uint32_t>(stream.size()), declared, Collect, &out);
  if (result != nullptr) *result = r;
  return out;
}

std::vector<fs::path> VectorFiles() {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(testing_support::SharedDir() / "vectors" / "lzhuf")) {
    if (entry.path().extension() == ".lzh") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(LzhufDecode, ReproducesEveryVectorByteForByte) {
  auto files = VectorFiles();
  ASSERT_GE(files.size(), 20u) << "vectors missing under " << testing_support::SharedDir();
  for (const fs::path& lzh : files) {
    SCOPED_TRACE(lzh.filename().string());
    Bytes file = ReadFile(lzh);
    ASSERT_GE(file.size(), 4u);
    Bytes stream(file.begin() + 4, file.end());
    uint32_t declared = payload::ReadLe32(file.data());
    Bytes expected = ReadFile(fs::path(lzh).replace_extension(".out"));
    EXPECT_EQ(Decode(stream, declared).bytes, expected);
    EXPECT_EQ(reference::DecodeLzhuf(stream, declared), expected);
  }
}

// Output reaches the file in pieces of 4095 bytes and one closing piece,
// which also comes when nothing is left.
TEST(LzhufDecode, WritesInPiecesOf4095) {
  struct Case {
    size_t size;
    std::vector<uint32_t> pieces;
  };
  const Case cases[] = {{0, {0}}, {1, {1}}, {4095, {4095, 0}}, {4096, {4095, 1}}, {8191, {4095, 4095, 1}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    Bytes input(c.size, 'x');
    for (size_t i = 0; i < input.size(); ++i) input[i] = static_cast<uint8_t>(i * 7 % 251);
    Collected out = Decode(lzhuf::EncodeStream(input, lzhuf::Level::Fast), static_cast<uint32_t>(c.size));
    EXPECT_EQ(out.bytes, input);
    EXPECT_EQ(out.pieces, c.pieces);
  }
}

// Any bytes are a stream the decoder accepts; the fast decoder must agree
// with the literal one on all of them, rebuilds included.
TEST(LzhufDecode, AgreesWithReferenceOnArbitraryStreams) {
  const unsigned seed = 20261211;
  std::mt19937 random(seed);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE("seed " + std::to_string(seed) + " round " + std::to_string(round));
    Bytes stream(random() % 3000);
    for (auto& b : stream) b = static_cast<uint8_t>(random());
    uint32_t declared = round == 0 ? 70000 : static_cast<uint32_t>(random() % 20000);
    lzhuf::DecodeResult result{};
    Collected fast = Decode(stream, declared, &result);
    EXPECT_EQ(fast.bytes, reference::DecodeLzhuf(stream, declared));
    EXPECT_EQ(result.produced, fast.bytes.size());
    EXPECT_GE(result.produced, declared);
    EXPECT_LT(result.produced, uint64_t{declared} + 60);
  }
}

// A record's stream decodes from the bits it holds: the encoder's streams
// never need zero bits from past their end.
TEST(LzhufDecode, EncodedStreamsUseOnlyTheirOwnBits) {
  std::mt19937 random(7);
  Bytes noise(5000);
  for (auto& b : noise) b = static_cast<uint8_t>(random());
  const Bytes inputs[] = {Bytes{}, Bytes{'A'}, Bytes(4097, 0), noise, testing_support::ToBytes("abcabcabcabcabc")};
  for (const Bytes& input : inputs) {
    Bytes stream = lzhuf::EncodeStream(input, lzhuf::Level::Fast);
    lzhuf::DecodeResult result{};
    EXPECT_EQ(Decode(stream, static_cast<uint32_t>(input.size()), &result).bytes, input);
    EXPECT_LE(result.bitsUsed, stream.size() * 8);
    EXPECT_GT(result.bitsUsed + 8, stream.size() * 8) << "stream has a byte no symbol uses";
  }
}

TEST(QxpackLzhuf, DecodeVerbReproducesVectorsAndRejectsBadInput) {
  fs::path dir = fs::temp_directory_path() / ("qxpack-lzhuf-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  for (const fs::path& lzh : VectorFiles()) {
    SCOPED_TRACE(lzh.filename().string());
    fs::path out = dir / "out.bin";
    std::string command = std::string(QX_QXPACK) + " lzhuf decode '" + lzh.string() + "' '" + out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(out), ReadFile(fs::path(lzh).replace_extension(".out")));
  }
  std::ofstream(dir / "short.lzh") << "ab";
  const std::string bad[] = {"'" + (dir / "missing.lzh").string() + "'", "'" + (dir / "short.lzh").string() + "'",
                             "'" + dir.string() + "'"};
  for (const std::string& in : bad) {
    std::string command = std::string(QX_QXPACK) + " lzhuf decode " + in + " '" + (dir / "x").string() + "' 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0) << in;
  }
  fs::remove_all(dir);
}

}  // namespace
