// Fuzz target of the settings-file reader and writer (Setting.ini, its LIS sections, the product
// information file): any file content is read, listed and written without reading or writing
// outside the caller's buffer, and
//  * a list read into a buffer of n bytes ends with its empty name inside the buffer and holds
//    only (leading parts of) the file's names;
//  * a value read into a buffer of n bytes is the leading part of the whole value, NUL-ended,
//    and the whole value when it fits;
//  * a write that succeeds reads back as written and leaves every other key's value as it was.
//
// The first input byte steers the buffer sizes and what is written; the rest is the file.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sys/profile.h"

namespace {

const std::string& Folder() {
  static const std::string folder = [] {
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/fuzz_profile_XXXXXX";
    if (!mkdtemp(path.data())) std::abort();
    return path;
  }();
  return folder;
}

void WriteRaw(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

bool HasNul(const std::string& s) { return s.find('\0') != std::string::npos; }

bool IsPrefixOfAny(const std::string& piece, const std::vector<std::string>& names) {
  for (const std::string& n : names)
    if (n.compare(0, piece.size(), piece) == 0) return true;
  return false;
}

// Reads a list (section == nullptr: the sections, else the keys of `section`) into a buffer of
// exactly `size` bytes, so AddressSanitizer sees any byte written past it.
void CheckList(const char* section, const std::vector<std::string>& names, uint32_t size,
               const std::string& file) {
  std::vector<char> buffer(size ? size : 1, '\x55');
  const uint32_t n = sys::ProfileGetString(section, nullptr, "", buffer.data(), size, file);
  if (size == 0) {
    if (n != 0) std::abort();
    return;
  }
  if (size == 1) {
    if (n != 0 || buffer[0] != 0) std::abort();
    return;
  }
  if (n > size - 1 || buffer[n] != 0) std::abort();
  // A caller walks the names up to the empty one: every name and the empty one lie inside the
  // buffer.
  const bool plain = [&] {
    for (const std::string& s : names)
      if (HasNul(s)) return false;  // a name holding a NUL cannot be told apart in the list
    return true;
  }();
  size_t start = 0;
  for (;;) {
    const void* nul = std::memchr(buffer.data() + start, 0, size - start);
    if (nul == nullptr) std::abort();
    const size_t end = static_cast<size_t>(static_cast<const char*>(nul) - buffer.data());
    if (end == start) break;
    if (plain && !IsPrefixOfAny(std::string(buffer.data() + start, end - start), names)) std::abort();
    start = end + 1;
    if (start >= size) std::abort();
  }
}

void CheckValue(const std::string& section, const std::string& key, uint32_t size, const std::string& file) {
  const std::string whole = sys::ProfileReadString(file, section, key, "");
  std::vector<char> buffer(size ? size : 1, '\x55');
  const uint32_t n = sys::ProfileGetString(section.c_str(), key.c_str(), "", buffer.data(), size, file);
  if (size == 0) {
    if (n != 0) std::abort();
    return;
  }
  if (n > size - 1 || buffer[n] != 0 || n > whole.size()) std::abort();
  if (std::memcmp(buffer.data(), whole.data(), n) != 0) std::abort();
  if (whole.size() <= size - 1 && n != whole.size()) std::abort();
  (void)sys::ProfileGetInt(section.c_str(), key.c_str(), 7, file);
}

bool SameNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

struct Entry {
  std::string section, key, value;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t steer = data[0];
  const std::string file = Folder() + "/Setting.ini";
  WriteRaw(file, data + 1, size - 1);

  // Lists and values, each into a buffer whose size the steering byte picks (small sizes
  // reach the edges of the copy).
  const uint32_t listSize = steer % 24;
  const std::vector<std::string> sections = sys::ProfileSectionNames(file);
  CheckList(nullptr, sections, listSize, file);
  std::vector<Entry> before;
  for (size_t i = 0; i < sections.size() && i < 16; ++i) {
    const std::string& s = sections[i];
    const std::vector<std::string> keys = sys::ProfileKeyNames(file, s);
    if (!HasNul(s)) CheckList(s.c_str(), keys, (listSize + 3 * i) % 24, file);
    for (size_t j = 0; j < keys.size() && j < 16; ++j) {
      before.push_back({s, keys[j], sys::ProfileReadString(file, s, keys[j], "")});
      if (!HasNul(s) && !HasNul(keys[j])) CheckValue(s, keys[j], (steer + j) % 40, file);
    }
  }
  (void)sys::ProfileHasKey(file, "Module", "Name");

  // A write: into the file's first section or a new one, replacing its first key or adding one.
  std::string section = "Fuzz", key = "FuzzKey";
  if ((steer & 0x40) && !sections.empty() && !HasNul(sections[0])) section = sections[0];
  if ((steer & 0x80) && !before.empty() && SameNoCase(before[0].section, section) && !HasNul(before[0].key))
    key = before[0].key;
  const std::string value = "v" + std::to_string(steer) + " x";
  if (sys::ProfileWriteString(section.c_str(), key.c_str(), value.c_str(), file)) {
    if (sys::ProfileReadString(file, section, key, "<none>") != value) std::abort();
    for (const Entry& e : before) {
      if (SameNoCase(e.section, section) && SameNoCase(e.key, key)) continue;
      if (sys::ProfileReadString(file, e.section, e.key, "<none>") != e.value) std::abort();
    }
    // Deleting the key, then the section, runs over the rewritten file.
    (void)sys::ProfileWriteString(section.c_str(), key.c_str(), nullptr, file);
    if (steer & 0x20) (void)sys::ProfileWriteString(section.c_str(), nullptr, nullptr, file);
  }
  return 0;
}
