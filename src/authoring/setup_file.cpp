#include "authoring/setup_file.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "authoring/script_lint.h"
#include "authoring/stored_names.h"
#include "payload/lzhuf_decode.h"
#include "payload/pe_image.h"
#include "payload/record.h"

namespace authoring {
namespace {

uint32_t ReadFromSpan(void* context, uint32_t offset, void* buffer, uint32_t count) {
  auto bytes = *static_cast<std::span<const uint8_t>*>(context);
  if (offset >= bytes.size()) return 0;
  uint32_t available = static_cast<uint32_t>(std::min<uint64_t>(count, bytes.size() - offset));
  std::memcpy(buffer, bytes.data() + offset, available);
  return available;
}

void AppendToVector(void* context, const uint8_t* data, uint32_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  out->insert(out->end(), data, data + count);
}

}  // namespace

uint32_t StubSizeOf(std::span<const uint8_t> bytes) {
  return payload::StubSizeFromHeaders(ReadFromSpan, &bytes);
}

SetupFile ReadSetupFile(std::span<const uint8_t> bytes) {
  if (bytes.size() > 0xFFFFFFFFu) throw AuthoringError("larger than 4 GB: no setup file can be");
  const auto fileSize = static_cast<uint32_t>(bytes.size());
  uint32_t stubSize = StubSizeOf(bytes);
  if (stubSize == 0) throw AuthoringError("not a setup file: no PE headers at its start");
  if (stubSize > fileSize) {
    throw AuthoringError("cut short: the program's headers say " + std::to_string(stubSize) + " bytes, the file has " +
                         std::to_string(fileSize));
  }
  SetupFile setup{stubSize, {}, stubSize, std::nullopt};
  uint32_t cursor = stubSize;
  for (;;) {
    uint32_t recordSize = fileSize - cursor >= payload::RECORD_HEADER_SIZE
                              ? payload::ReadLe32(bytes.data() + cursor + payload::OFFSET_RECORD_SIZE)
                              : 0;
    payload::ChainAt at = payload::CheckRecordHeader(fileSize, cursor, recordSize);
    if (at == payload::ChainAt::End) break;
    payload::RecordView view{};
    if (at == payload::ChainAt::Damaged ||
        !payload::ParseRecordBlock(bytes.data() + cursor + payload::BLOCK_BIAS, recordSize - payload::BLOCK_BIAS,
                                   &view)) {
      setup.chainBreak = "the record at offset " + std::to_string(cursor) + " (index " +
                         std::to_string(setup.records.size()) + ") declares " + std::to_string(recordSize) +
                         " bytes, which do not fit its fields or the " + std::to_string(fileSize - cursor) +
                         " bytes left in the file";
      break;
    }
    setup.records.push_back({static_cast<unsigned>(setup.records.size()), cursor, recordSize, view.fatDate,
                             view.fatTime, view.attributes, std::string(view.name, view.nameLength),
                             view.uncompressedSize, std::span<const uint8_t>(view.stream, view.streamSize)});
    cursor += recordSize;
  }
  setup.chainEnd = cursor;
  if (!setup.chainBreak && cursor != fileSize) {
    setup.chainBreak = std::to_string(fileSize - cursor) + " bytes after the last record at offset " +
                       std::to_string(cursor) + " are no record";
  }
  return setup;
}

DecodedRecord DecodeRecord(const SetupRecord& record) {
  // A declared length no stream of this size can reach is decoded only as
  // far as it could: a few bytes must not make the tools fill memory or disk
  // with gigabytes decoded from zero bits. The shortfall shows as unsound.
  auto length = static_cast<uint32_t>(std::min<uint64_t>(record.uncompressedSize, payload::MaxDecodedSize(static_cast<uint32_t>(record.stream.size()))));
  auto state = std::make_unique<lzhuf::DecoderState>();
  DecodedRecord decoded{{}, 0, 0};
  decoded.data.reserve(length);
  lzhuf::DecodeResult result = lzhuf::Decode(*state, record.stream.data(), static_cast<uint32_t>(record.stream.size()),
                                             length, AppendToVector, &decoded.data);
  decoded.produced = result.produced;
  decoded.bitsUsed = result.bitsUsed;
  return decoded;
}

std::string Describe(const SetupRecord& record) {
  return "record " + std::to_string(record.index) + " (" + (record.name.empty() ? "no name" : record.name) + ")";
}

namespace {

void CheckStream(const SetupRecord& record, std::vector<std::string>& problems) {
  DecodedRecord decoded = DecodeRecord(record);
  if (decoded.produced != record.uncompressedSize) {
    problems.push_back(Describe(record) + ": decodes to " + std::to_string(decoded.produced) + " bytes, not the " +
                       std::to_string(record.uncompressedSize) + " it declares");
  }
  if (decoded.bitsUsed > 8 * uint64_t{record.stream.size()}) {
    problems.push_back(Describe(record) + ": its stream of " + std::to_string(record.stream.size()) +
                       " bytes ends before the data does (the decoder ran on " +
                       std::to_string(decoded.bitsUsed - 8 * uint64_t{record.stream.size()}) + " bits past it)");
  } else if (8 * uint64_t{record.stream.size()} - decoded.bitsUsed >= 8) {
    // An encoder writes the bits its symbols need, padded to a whole byte:
    // a whole byte left over means the stream was changed or cut wrongly.
    problems.push_back(Describe(record) + ": the data ends " +
                       std::to_string((8 * uint64_t{record.stream.size()} - decoded.bitsUsed) / 8) +
                       " whole bytes before its stream does; the stream is damaged");
  }
}

}  // namespace

VerifyReport VerifySetup(std::span<const uint8_t> bytes, const std::string& fileName) {
  VerifyReport report;
  SetupFile setup = ReadSetupFile(bytes);
  if (setup.chainBreak) report.problems.push_back("the record chain: " + *setup.chainBreak);
  if (setup.records.size() < payload::FIRST_FILE_RECORD) {
    report.problems.push_back("the payload holds " + std::to_string(setup.records.size()) +
                              " records; it needs at least the script and the licence");
  }
  for (const SetupRecord& record : setup.records) CheckStream(record, report.problems);

  std::vector<std::string> names;
  for (size_t i = payload::FIRST_FILE_RECORD; i < setup.records.size(); ++i) names.push_back(setup.records[i].name);
  for (const NameSetProblem& problem : StoredNameSetProblems(names)) {
    report.problems.push_back(Describe(setup.records[payload::FIRST_FILE_RECORD + problem.index]) + ": " +
                              problem.message);
  }

  if (setup.records.empty()) return report;
  const SetupRecord& scriptRecord = setup.records[payload::RECORD_SCRIPT];
  DecodedRecord script = DecodeRecord(scriptRecord);
  std::string text(script.data.begin(), script.data.end());
  std::string where = fileName + "[" + Describe(scriptRecord) + "]";
  for (const Diagnostic& diagnostic : LintScript(text, LintContext{names.size(), names})) {
    auto& into = diagnostic.severity == Severity::Error ? report.problems : report.warnings;
    into.push_back(FormatDiagnostic(where, diagnostic));
  }
  return report;
}

}  // namespace authoring
