#include "payload/extract.h"

#include "common/text.h"
#include "payload/lzhuf_decode.h"
#include "payload/pe_image.h"
#include "startup/state.h"

namespace {

constexpr char kSetupCaption[] = "Setup";
constexpr char kFileError[] = "File Error!";
constexpr char kNoMemory[] = "Can't get memory!";
constexpr uint64_t kFileTimeDay = 864000000000ull;  // 100-ns units in 24 hours

// Holds what one call takes and gives it back on every path.
struct Held {
  sys::File own = nullptr;
  void* block = nullptr;
  void* decoder = nullptr;
  ~Held() {
    sys::ReleaseBlock(decoder);
    sys::ReleaseBlock(block);
    sys::Close(own);
  }
};

int Fail(const char* text) {
  sys::ShowMessage(nullptr, text, kSetupCaption, sys::BOX_ICON_ERROR);
  return 0;
}

int FailWrite(const char* path) {
  char text[LINE_SIZE];
  CopyText(text, "Unable to write the file\n");
  AppendText(text, path);
  sys::ShowMessage(nullptr, text, "File Error", sys::BOX_ICON_ERROR);
  return 0;
}

uint32_t ReadOwnFile(void* context, uint32_t offset, void* buffer, uint32_t count) {
  auto file = static_cast<sys::File>(context);
  return sys::SeekTo(file, offset) ? sys::Read(file, buffer, count) : 0;
}

struct WriteSink {
  sys::File file;
  bool complete;
};

void WriteDecoded(void* context, const uint8_t* data, uint32_t count) {
  auto* sink = static_cast<WriteSink*>(context);
  if (sys::Write(sink->file, data, count) != count) sink->complete = false;
}

void SetRecordStamp(sys::File file, uint16_t fatDate, uint16_t fatTime) {
  payload::WriteStamp stamp = payload::SixHoursLater(fatDate, fatTime);
  uint64_t fileTime = 0;
  // A stamp the conversion refuses leaves the file with the time of writing.
  if (!sys::DosStampToFileTime(stamp.fatDate, stamp.fatTime, &fileTime)) return;
  sys::SetLastWriteTime(file, fileTime + stamp.dayCarry * kFileTimeDay);
}

// Writes one record to its target with the finishing steps every writing
// mode shares: directories, the file, the decoded bytes, time, attributes.
bool WriteRecordFile(const payload::RecordView& record, const char* target, lzhuf::DecoderState& decoder) {
  CreateDirectoriesAlong(target);
  MakeWritable(target);
  WriteSink sink{sys::CreateWrite(target), true};
  if (sink.file == nullptr) return false;
  lzhuf::Decode(decoder, record.stream, record.streamSize, record.uncompressedSize, WriteDecoded, &sink);
  SetRecordStamp(sink.file, record.fatDate, record.fatTime);
  sys::Close(sink.file);
  sys::SetAttributes(target, payload::MapAttributes(record.attributes));
  return sink.complete;
}

int ExtractRecord(Held& held, char* targetPath, int mode, const char* scriptPath) {
  uint32_t fileSize = sys::SeekEnd(held.own);
  uint32_t cursor = Setup.PayloadCursor;
  uint8_t header[payload::RECORD_HEADER_SIZE] = {};
  uint32_t recordSize = 0;
  if (fileSize > cursor && fileSize - cursor >= sizeof header) {
    if (ReadOwnFile(held.own, cursor, header, sizeof header) != sizeof header) return Fail(kFileError);
    recordSize = payload::ReadLe32(header + payload::OFFSET_RECORD_SIZE);
  }
  switch (payload::CheckRecordHeader(fileSize, cursor, recordSize)) {
    case payload::ChainAt::End: return 0;
    case payload::ChainAt::Damaged: return Fail(kFileError);
    case payload::ChainAt::Record: break;
  }

  uint32_t blockSize = recordSize - payload::BLOCK_BIAS;
  held.block = sys::TakeBlock(blockSize + 1);
  if (held.block == nullptr) return Fail(kNoMemory);
  auto* block = static_cast<uint8_t*>(held.block);
  payload::RecordView record{};
  if (ReadOwnFile(held.own, cursor + payload::BLOCK_BIAS, block, blockSize) != blockSize ||
      !payload::ParseRecordBlock(block, blockSize, &record)) {
    return Fail(kFileError);
  }
  // A length no stream of this size can reach marks a damaged record; it
  // would fill the disk with bytes decoded from the zero bits past its end.
  if (record.uncompressedSize > payload::MaxDecodedSize(record.streamSize)) return Fail(kFileError);

  if (mode == EXTRACT_INSTALL) {
    switch (SettleInstallTarget(record, targetPath, scriptPath)) {
      case InstallTarget::Refuse: return Fail(kFileError);
      case InstallTarget::Skip: Setup.PayloadCursor = cursor + recordSize; return 1;
      case InstallTarget::Write: break;
    }
  }

  held.decoder = sys::TakeBlock(sizeof(lzhuf::DecoderState));
  if (held.decoder == nullptr) return Fail(kNoMemory);
  if (!WriteRecordFile(record, targetPath, *static_cast<lzhuf::DecoderState*>(held.decoder))) {
    return FailWrite(targetPath);
  }
  Setup.PayloadCursor = cursor + recordSize;
  return 1;
}

}  // namespace

uint32_t StubSize(sys::File ownFile) {
  return payload::StubSizeFromHeaders(ReadOwnFile, ownFile);
}

void CreateDirectoriesAlong(const char* path) {
  char prefix[TEXT_SIZE];
  for (unsigned i = 0; path[i] != 0 && i + 1 < TEXT_SIZE; ++i) {
    if (path[i + 1] != '\\') continue;
    prefix[0] = 0;
    AppendChars(prefix, TEXT_SIZE, path, i + 1);
    sys::CreateDir(prefix);
  }
}

void MakeWritable(const char* path) {
  uint32_t attributes = sys::GetAttributes(path);
  if (attributes == sys::INVALID_ATTRIBUTES || (attributes & sys::ATTR_DIRECTORY) != 0 ||
      (attributes & sys::ATTR_READONLY) == 0) {
    return;
  }
  attributes &= ~sys::ATTR_READONLY;
  sys::SetAttributes(path, attributes != 0 ? attributes : sys::ATTR_NORMAL);
}

int ExtractEntry(sys::Instance instance, char* targetPath, int mode, const char* scriptPath) {
  char ownPath[TEXT_SIZE];
  unsigned length = sys::ModulePath(instance, ownPath, TEXT_SIZE);
  ownPath[length < TEXT_SIZE ? length : TEXT_SIZE - 1] = 0;
  Held held;
  held.own = sys::OpenRead(ownPath);
  if (held.own == nullptr) return 0;

  if (mode == EXTRACT_UNINSTALLER) {
    uint32_t stubSize = StubSize(held.own);
    return stubSize == 0 ? 1 : CopyUninstaller(held.own, stubSize, targetPath);
  }
  if (mode == EXTRACT_FIRST) {
    Setup.PayloadCursor = StubSize(held.own);
    if (Setup.PayloadCursor == 0) return 0;
  }
  return ExtractRecord(held, targetPath, mode, scriptPath);
}
