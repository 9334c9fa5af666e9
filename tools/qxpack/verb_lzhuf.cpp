// qxpack lzhuf decode|encode: files in the published LZHUF file format.
#include <cstdio>
#include <memory>

#include "files.h"
#include "payload/format.h"
#include "payload/lzhuf_decode.h"
#include "payload/lzhuf_encode.h"
#include "verbs.h"

namespace qxpack {
namespace {

struct Options {
  std::string in;
  std::string out;
  bool best = false;
};

struct FileSink {
  std::FILE* file;
  bool failed;
};

void WriteToFile(void* context, const uint8_t* data, uint32_t count) {
  auto* sink = static_cast<FileSink*>(context);
  if (count != 0 && std::fwrite(data, 1, count, sink->file) != count) sink->failed = true;
}

void Decode(const Options& options) {
  std::vector<uint8_t> input = ReadWholeFile(options.in);
  if (input.size() < 4) {
    throw Failure(options.in + ": not an LZHUF file: " + std::to_string(input.size()) +
                  " bytes, shorter than its 4-byte length");
  }
  uint32_t declared = payload::ReadLe32(input.data());
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(options.out.c_str(), "wb"), std::fclose);
  if (!out) throw Failure(options.out + ": cannot open for writing");
  auto state = std::make_unique<lzhuf::DecoderState>();
  FileSink sink{out.get(), false};
  lzhuf::Decode(*state, input.data() + 4, static_cast<uint32_t>(input.size() - 4), declared, WriteToFile, &sink);
  if (sink.failed || std::fflush(out.get()) != 0) throw Failure(options.out + ": write error (disk full?)");
}

void Encode(const Options& options) {
  std::vector<uint8_t> input = ReadWholeFile(options.in);
  if (input.size() > 0xFFFFFFFFu) throw Failure(options.in + ": larger than 4 GB, which the format cannot declare");
  WriteWholeFile(options.out, lzhuf::EncodeFile(input, options.best ? lzhuf::Level::Best : lzhuf::Level::Fast));
}

}  // namespace

void AddLzhufVerb(CLI::App& app, int* result) {
  auto* lzhuf = app.add_subcommand("lzhuf", "Encode or decode files in the published LZHUF file format");
  lzhuf->require_subcommand(1);
  auto options = std::make_shared<Options>();

  auto* decode = lzhuf->add_subcommand("decode", "Decode IN (4-byte length, then the code stream) into OUT");
  decode->add_option("IN", options->in, "LZHUF file to decode")->required();
  decode->add_option("OUT", options->out, "file to write")->required();
  decode->callback([options, result] {
    Decode(*options);
    *result = EXIT_OK;
  });

  auto* encode = lzhuf->add_subcommand("encode", "Encode IN into OUT in the published LZHUF file format");
  encode->add_option("IN", options->in, "file to encode")->required();
  encode->add_option("OUT", options->out, "LZHUF file to write")->required();
  encode->add_flag("--best", options->best, "spend more time for fewer bytes");
  encode->callback([options, result] {
    Encode(*options);
    *result = EXIT_OK;
  });
}

}  // namespace qxpack
