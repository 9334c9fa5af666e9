// A setup file read from its bytes: the stub's size from its PE headers and
// the chain of records after it, read through the same checks the stub uses.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace authoring {

// A failure of the authoring library that ends the operation; the message
// names the file and says what to do.
struct AuthoringError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct SetupRecord {
  unsigned index;
  uint32_t offset;  // of its tag in the file
  uint32_t recordSize;
  uint16_t fatDate;
  uint16_t fatTime;
  uint8_t attributes;
  std::string name;
  uint32_t uncompressedSize;
  std::span<const uint8_t> stream;  // a view into the bytes the file was read from
};

struct SetupFile {
  uint32_t stubSize;
  std::vector<SetupRecord> records;
  uint32_t chainEnd;  // where the chain stopped: the file's size when it is sound
  // Set when the chain stopped before the end of the file, saying why.
  std::optional<std::string> chainBreak;
};

// Reads the stub size and the record chain; the records view into bytes,
// which must outlive the result. Throws AuthoringError when the bytes are no
// PE file or are shorter than the stub.
SetupFile ReadSetupFile(std::span<const uint8_t> bytes);

// The stub size from a program's PE headers; 0 when they are not a PE file's.
uint32_t StubSizeOf(std::span<const uint8_t> bytes);

struct DecodedRecord {
  std::vector<uint8_t> data;  // every byte the decoder produced
  uint64_t produced;
  uint64_t bitsUsed;
  // The stream decodes to exactly its declared length from the bits it holds.
  bool Sound(const SetupRecord& record) const {
    return produced == record.uncompressedSize && bitsUsed <= 8 * uint64_t{record.stream.size()};
  }
};

// Decodes the record; a declared length beyond what its stream could ever
// give (payload::MaxDecodedSize) is decoded only that far.
DecodedRecord DecodeRecord(const SetupRecord& record);

// The record's name as text for messages: "record 3 (doc\readme.txt)".
std::string Describe(const SetupRecord& record);

// Every problem of a setup file: the chain, each record's stream and name,
// and the script linted against the records. Empty when all is sound.
// Lint warnings count only under strict.
struct VerifyReport {
  std::vector<std::string> problems;
  std::vector<std::string> warnings;
};
VerifyReport VerifySetup(std::span<const uint8_t> bytes, const std::string& fileName);

}  // namespace authoring
