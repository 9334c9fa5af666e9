#include "script/profile.h"

#include "common/text.h"
#include "platform/platform.h"

namespace {

constexpr unsigned kGrowth = 1024;
constexpr unsigned kLargestFile = 16u << 20;

// The text of the one file the service holds.
struct Held {
  char path[TEXT_SIZE];
  bool active;
  bool dirty;
  char* text;
  unsigned length;
  unsigned capacity;
};

Held g_held;

struct Range {
  unsigned begin;
  unsigned end;
  unsigned Length() const { return end - begin; }
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

Range Trim(Range r) {
  while (r.begin < r.end && IsBlank(g_held.text[r.begin])) ++r.begin;
  while (r.end > r.begin && IsBlank(g_held.text[r.end - 1])) --r.end;
  return r;
}

bool RangeEquals(Range r, const char* name) {
  unsigned n = TextLength(name);
  return r.Length() == n && EqualNoCaseN(g_held.text + r.begin, name, n);
}

// One line: its text without the line end, and where the next line starts.
struct Line {
  Range text;
  unsigned next;
};

Line LineAt(unsigned pos) {
  unsigned end = pos;
  while (end < g_held.length && g_held.text[end] != '\n') ++end;
  unsigned next = end < g_held.length ? end + 1 : end;
  if (end > pos && g_held.text[end - 1] == '\r') --end;
  return Line{{pos, end}, next};
}

// The name of a section header line; false when the line is no header.
bool SectionName(const Line& line, Range* name) {
  Range t = Trim(line.text);
  if (t.Length() == 0 || g_held.text[t.begin] != '[') return false;
  unsigned close = t.begin + 1;
  while (close < t.end && g_held.text[close] != ']') ++close;
  *name = Trim(Range{t.begin + 1, close});
  return true;
}

// A key line: the trimmed name before the first '=', and the value after it.
bool KeyLine(const Line& line, Range* name, Range* value) {
  Range t = Trim(line.text);
  if (t.Length() == 0 || g_held.text[t.begin] == ';' || g_held.text[t.begin] == '[') return false;
  unsigned equals = t.begin;
  while (equals < t.end && g_held.text[equals] != '=') ++equals;
  *name = Trim(Range{t.begin, equals});
  *value = equals < t.end ? Trim(Range{equals + 1, t.end}) : Range{t.end, t.end};
  return true;
}

// The first section called section: the start of its header line, and the
// end of its last non-blank line. False when there is none.
bool FindSection(const char* section, unsigned* headerNext, unsigned* contentEnd) {
  bool inside = false;
  for (unsigned pos = 0; pos < g_held.length;) {
    Line line = LineAt(pos);
    Range name;
    if (SectionName(line, &name)) {
      if (inside) return true;
      if (RangeEquals(name, section)) {
        inside = true;
        *headerNext = line.next;
        *contentEnd = line.next;
      }
    } else if (inside && Trim(line.text).Length() != 0) {
      *contentEnd = line.next;
    }
    pos = line.next;
  }
  return inside;
}

// The first line of the section that sets key.
bool FindKey(const char* section, const char* key, Line* found, Range* value) {
  unsigned begin = 0, end = 0;
  if (!FindSection(section, &begin, &end)) return false;
  for (unsigned pos = begin; pos < end;) {
    Line line = LineAt(pos);
    Range name;
    if (KeyLine(line, &name, value) && RangeEquals(name, key)) {
      *found = line;
      return true;
    }
    pos = line.next;
  }
  return false;
}

// True when the text's last line, before its final line end, is blank.
bool EndsWithBlankLine() {
  unsigned end = g_held.length - 1;  // the final '\n'
  if (end > 0 && g_held.text[end - 1] == '\r') --end;
  unsigned begin = end;
  while (begin > 0 && g_held.text[begin - 1] != '\n') --begin;
  return Trim(Range{begin, end}).Length() == 0;
}

bool Reserve(unsigned extra) {
  if (g_held.length + extra <= g_held.capacity) return true;
  unsigned capacity = g_held.length + extra + kGrowth;
  auto* text = static_cast<char*>(sys::TakeBlock(capacity));
  if (text == nullptr) return false;
  CopyBytes(text, g_held.text, g_held.length);
  sys::ReleaseBlock(g_held.text);
  g_held.text = text;
  g_held.capacity = capacity;
  return true;
}

// Replaces the bytes [at, at + removed) by the pieces, in order.
bool Splice(unsigned at, unsigned removed, const char* const* pieces, unsigned count) {
  unsigned inserted = 0;
  for (unsigned i = 0; i < count; ++i) inserted += TextLength(pieces[i]);
  if (inserted > removed && !Reserve(inserted - removed)) return false;
  char* text = g_held.text;
  unsigned tail = g_held.length - (at + removed);
  if (inserted > removed) {
    for (unsigned i = tail; i-- > 0;) text[at + inserted + i] = text[at + removed + i];
  } else {
    for (unsigned i = 0; i < tail; ++i) text[at + inserted + i] = text[at + removed + i];
  }
  unsigned pos = at;
  for (unsigned i = 0; i < count; ++i) {
    for (const char* p = pieces[i]; *p != 0; ++p) text[pos++] = *p;
  }
  g_held.length = g_held.length - removed + inserted;
  g_held.dirty = true;
  return true;
}

void Load(const char* path) {
  CopyText(g_held.path, TEXT_SIZE, path);
  g_held.active = true;
  g_held.dirty = false;
  g_held.length = 0;
  sys::File file = sys::OpenRead(path);
  if (file == nullptr) return;
  uint32_t size = sys::Size(file);
  if (size != sys::INVALID_SIZE && size <= kLargestFile && Reserve(size)) {
    g_held.length = sys::Read(file, g_held.text, size);
  }
  sys::Close(file);
}

// Makes path the held file, writing out the previous one first.
void Hold(const char* path) {
  if (g_held.active && EqualNoCase(g_held.path, path)) return;
  ProfileClose();
  Load(path);
}

}  // namespace

unsigned ProfileGetString(const char* section, const char* key, char* buffer, unsigned size, const char* path) {
  if (size == 0) return 0;
  buffer[0] = 0;
  Hold(path);
  Line line;
  Range value;
  if (!FindKey(section, key, &line, &value)) return 0;
  if (value.Length() >= 2) {
    char first = g_held.text[value.begin];
    if ((first == '"' || first == '\'') && g_held.text[value.end - 1] == first) {
      ++value.begin;
      --value.end;
    }
  }
  unsigned count = value.Length() < size - 1 ? value.Length() : size - 1;
  CopyBytes(buffer, g_held.text + value.begin, count);
  buffer[count] = 0;
  return count;
}

int ProfileGetInt(const char* section, const char* key, int defaultValue, const char* path) {
  char value[TEXT_SIZE];
  if (ProfileGetString(section, key, value, VALUE_READ_SIZE, path) == 0) return defaultValue;
  const char* p = value;
  bool negative = false;
  if (*p == '-' || *p == '+') negative = *p++ == '-';
  unsigned result = 0;
  for (; *p >= '0' && *p <= '9'; ++p) result = result * 10 + static_cast<unsigned>(*p - '0');
  return negative ? -static_cast<int>(result) : static_cast<int>(result);
}

void ProfileWriteString(const char* section, const char* key, const char* value, const char* path) {
  Hold(path);
  Line line;
  Range old;
  if (FindKey(section, key, &line, &old)) {
    // Keep the line's own name; replace what follows its '='.
    unsigned equals = line.text.begin;
    while (equals < line.text.end && g_held.text[equals] != '=') ++equals;
    if (equals < line.text.end) {
      const char* pieces[] = {value};
      Splice(equals + 1, line.text.end - (equals + 1), pieces, 1);
    } else {
      const char* pieces[] = {"=", value};
      Splice(line.text.end, 0, pieces, 2);
    }
    return;
  }
  unsigned begin = 0, end = 0;
  if (FindSection(section, &begin, &end)) {
    bool ended = end > 0 && g_held.text[end - 1] == '\n';
    const char* pieces[] = {ended ? "" : "\r\n", key, "=", value, "\r\n"};
    Splice(end, 0, pieces, 5);
    return;
  }
  // A new section goes at the end, after a blank line.
  const char* separator = "";
  if (g_held.length > 0 && g_held.text[g_held.length - 1] != '\n') {
    separator = "\r\n\r\n";
  } else if (g_held.length > 0 && !EndsWithBlankLine()) {
    separator = "\r\n";
  }
  const char* pieces[] = {separator, "[", section, "]\r\n", key, "=", value, "\r\n"};
  Splice(g_held.length, 0, pieces, 8);
}

void ProfileFlush(const char* path) {
  if (!g_held.active || !g_held.dirty || !EqualNoCase(g_held.path, path)) return;
  g_held.dirty = false;
  sys::File file = sys::CreateWrite(path);
  if (file == nullptr) return;
  sys::Write(file, g_held.text, g_held.length);
  sys::Close(file);
}

void ProfileClose() {
  if (g_held.active) ProfileFlush(g_held.path);
  ProfileDiscard();
}

void ProfileDiscard() {
  sys::ReleaseBlock(g_held.text);
  g_held = Held{};
}
