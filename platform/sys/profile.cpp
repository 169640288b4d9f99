#include "platform/sys/profile.h"

#include <sys/stat.h>

#include <cctype>
#include <cstring>
#include <mutex>

#include "platform/sys/atomic_file.h"
#include "platform/sys/path_map.h"

namespace sys {
namespace {

// One lock for every settings file: a read-modify-write must not interleave with another.
std::recursive_mutex g_profileMu;

enum class Kind { Other, Section, Key };

struct Line {
  std::string text;  // as in the file, without the line end
  Kind kind = Kind::Other;
  std::string name;   // section or key name, trimmed
  std::string value;  // key value, trimmed and unquoted
};

struct Document {
  std::vector<Line> lines;
  bool crlf = false;
  bool existed = false;
};

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

Line ParseLine(const std::string& text) {
  Line l;
  l.text = text;
  std::string t = Trim(text);
  if (t.empty() || t[0] == ';' || t[0] == '#') return l;
  if (t[0] == '[') {
    size_t close = t.find(']');
    if (close != std::string::npos) {
      l.kind = Kind::Section;
      l.name = Trim(t.substr(1, close - 1));
    }
    return l;
  }
  size_t eq = t.find('=');
  if (eq == std::string::npos) return l;
  std::string key = Trim(t.substr(0, eq));
  if (key.empty()) return l;
  l.kind = Kind::Key;
  l.name = key;
  l.value = Unquote(Trim(t.substr(eq + 1)));
  return l;
}

Document Load(const std::string& path) {
  Document d;
  std::string content;
  if (!ReadWholeFile(path, &content)) return d;
  d.existed = true;
  // A UTF-8 byte order mark written by some editors is not part of the first line.
  size_t pos = 0;
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
  d.crlf = content.find("\r\n") != std::string::npos;
  while (pos < content.size()) {
    size_t nl = content.find('\n', pos);
    size_t end = nl == std::string::npos ? content.size() : nl;
    std::string text = content.substr(pos, end - pos);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    d.lines.push_back(ParseLine(text));
    pos = nl == std::string::npos ? content.size() : nl + 1;
  }
  return d;
}

std::string Serialize(const Document& d) {
  const char* eol = d.crlf ? "\r\n" : "\n";
  std::string out;
  for (const Line& l : d.lines) {
    out += l.text;
    out += eol;
  }
  return out;
}

// Index of the first key line `key` in any block of `section`, or -1.
long FindKey(const Document& d, const std::string& section, const std::string& key) {
  bool in = false;
  for (size_t i = 0; i < d.lines.size(); ++i) {
    const Line& l = d.lines[i];
    if (l.kind == Kind::Section) in = EqualsNoCase(l.name, section);
    else if (in && l.kind == Kind::Key && EqualsNoCase(l.name, key)) return static_cast<long>(i);
  }
  return -1;
}

std::vector<std::string> SectionNames(const Document& d) {
  std::vector<std::string> out;
  for (const Line& l : d.lines) {
    if (l.kind != Kind::Section) continue;
    bool seen = false;
    for (const auto& n : out) seen = seen || EqualsNoCase(n, l.name);
    if (!seen) out.push_back(l.name);
  }
  return out;
}

std::vector<std::string> KeyNames(const Document& d, const std::string& section) {
  std::vector<std::string> out;
  bool in = false;
  for (const Line& l : d.lines) {
    if (l.kind == Kind::Section) in = EqualsNoCase(l.name, section);
    else if (in && l.kind == Kind::Key) {
      bool seen = false;
      for (const auto& n : out) seen = seen || EqualsNoCase(n, l.name);
      if (!seen) out.push_back(l.name);
    }
  }
  return out;
}

// Windows drops trailing blanks of a default value.
std::string DefaultText(const char* def) {
  if (!def) return {};
  std::string s = def;
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

// Copies a NUL-separated list with a final extra NUL into the buffer. A name that does not fit
// whole, with its NUL and the final one, is dropped with the names after it, whatever the size.
// Returns the bytes copied, not counting the final NUL.
uint32_t CopyList(const std::vector<std::string>& names, char* buffer, uint32_t size) {
  if (!buffer || size == 0) return 0;
  if (size == 1) {
    buffer[0] = 0;
    return 0;
  }
  size_t pos = 0;
  for (const auto& n : names) {
    if (n.size() + 2 > size - pos) break;  // pos <= size - 2 holds here, so no underflow
    std::memcpy(buffer + pos, n.data(), n.size());
    pos += n.size();
    buffer[pos++] = 0;
  }
  buffer[pos] = 0;
  if (pos == 0) buffer[1] = 0;
  return static_cast<uint32_t>(pos);
}

bool HasLineBreak(const char* s) { return s && (std::strchr(s, '\n') || std::strchr(s, '\r')); }

}  // namespace

uint32_t CopyTruncated(const std::string& text, char* buffer, uint32_t size) {
  if (!buffer || size == 0) return 0;
  size_t n = text.size();
  if (n > size - 1) {
    n = size - 1;
    // Step back over UTF-8 continuation bytes so no character is cut in two.
    size_t start = n;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    n = start;
  }
  std::memcpy(buffer, text.data(), n);
  buffer[n] = 0;
  return static_cast<uint32_t>(n);
}

uint32_t ProfileGetString(const char* section, const char* key, const char* defaultValue,
                          char* buffer, uint32_t size, const std::string& file) {
  std::lock_guard<std::recursive_mutex> g(g_profileMu);
  Document d = Load(MapPath(file));
  if (!section) return CopyList(SectionNames(d), buffer, size);
  if (!key) return CopyList(KeyNames(d, section), buffer, size);
  long i = FindKey(d, section, key);
  return CopyTruncated(i >= 0 ? d.lines[static_cast<size_t>(i)].value : DefaultText(defaultValue), buffer, size);
}

std::string ProfileReadString(const std::string& file, const std::string& section,
                              const std::string& key, const std::string& defaultValue,
                              size_t bufferSize) {
  std::string v;
  {
    std::lock_guard<std::recursive_mutex> g(g_profileMu);
    Document d = Load(MapPath(file));
    long i = FindKey(d, section, key);
    v = i >= 0 ? d.lines[static_cast<size_t>(i)].value : DefaultText(defaultValue.c_str());
  }
  if (bufferSize == 0) return v;
  std::string buf(bufferSize, '\0');
  uint32_t n = CopyTruncated(v, buf.data(), static_cast<uint32_t>(bufferSize));
  buf.resize(n);
  return buf;
}

int ProfileGetInt(const char* section, const char* key, int defaultValue, const std::string& file) {
  if (!section || !key) return defaultValue;
  std::string v;
  {
    std::lock_guard<std::recursive_mutex> g(g_profileMu);
    Document d = Load(MapPath(file));
    long i = FindKey(d, section, key);
    if (i < 0) return defaultValue;
    v = d.lines[static_cast<size_t>(i)].value;
  }
  if (v.empty()) return defaultValue;
  size_t p = 0;
  bool negative = false;
  if (v[p] == '-' || v[p] == '+') negative = v[p++] == '-';
  // Accumulate in 64 bits and wrap to 32 as the system's 32-bit arithmetic does, without
  // overflowing here.
  uint64_t acc = 0;
  while (p < v.size() && std::isdigit(static_cast<unsigned char>(v[p]))) {
    acc = (acc * 10 + static_cast<uint64_t>(v[p] - '0')) & 0xFFFFFFFFull;
    ++p;
  }
  uint32_t u = static_cast<uint32_t>(acc);
  if (negative) u = 0u - u;
  return static_cast<int>(u);
}

bool ProfileHasKey(const std::string& file, const std::string& section, const std::string& key) {
  std::lock_guard<std::recursive_mutex> g(g_profileMu);
  return FindKey(Load(MapPath(file)), section, key) >= 0;
}

std::vector<std::string> ProfileSectionNames(const std::string& file) {
  std::lock_guard<std::recursive_mutex> g(g_profileMu);
  return SectionNames(Load(MapPath(file)));
}

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section) {
  std::lock_guard<std::recursive_mutex> g(g_profileMu);
  return KeyNames(Load(MapPath(file)), section);
}

namespace {

bool BadName(const char* section, const char* key, const char* value, std::string* error) {
  if (!section || !*section) {
    if (error) *error = "no section name";
    return true;
  }
  if (key && !*key) {
    if (error) *error = "empty key name";
    return true;
  }
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value) || std::strchr(section, ']') ||
      (key && std::strchr(key, '='))) {
    if (error) *error = "a name or value holds a line break or a separator";
    return true;
  }
  return false;
}

// The settings file as it stands, or false when it is there but could not be read: what could
// not be seen is never overwritten.
bool LoadForWrite(const std::string& path, Document* d, std::string* error) {
  *d = Load(path);
  if (d->existed) return true;
  struct stat st;
  if (stat(path.c_str(), &st) == 0) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  return true;
}

// Gives `key` of `section` the value (a null value deletes the key). Whether the text changed.
bool SetKey(Document& d, const char* section, const char* key, const char* value) {
  long i = FindKey(d, section, key);
  if (!value) {  // delete the key
    if (i < 0) return false;
    d.lines.erase(d.lines.begin() + i);
    return true;
  }
  if (i >= 0) {
    Line& l = d.lines[static_cast<size_t>(i)];
    std::string newText = l.name + "=" + value;
    if (l.text == newText) return false;  // nothing to change; spare the disk
    l = ParseLine(newText);
    return true;
  }
  Line nl = ParseLine(std::string(key) + "=" + value);
  // After the last key of the first block of the section; else a new section at the end.
  long sec = -1, last = -1;
  for (size_t j = 0; j < d.lines.size(); ++j) {
    const Line& l = d.lines[j];
    if (l.kind == Kind::Section) {
      if (sec >= 0) break;
      if (EqualsNoCase(l.name, section)) sec = last = static_cast<long>(j);
    } else if (sec >= 0 && l.kind != Kind::Other) {
      last = static_cast<long>(j);
    } else if (sec >= 0 && !Trim(l.text).empty()) {
      last = static_cast<long>(j);  // a comment or odd line inside the section
    }
  }
  if (sec >= 0) {
    d.lines.insert(d.lines.begin() + last + 1, nl);
  } else {
    d.lines.push_back(ParseLine("[" + std::string(section) + "]"));
    d.lines.push_back(nl);
  }
  return true;
}

}  // namespace

bool ProfileWriteString(const char* section, const char* key, const char* value,
                        const std::string& file, std::string* error) {
  if (BadName(section, key, value, error)) return false;
  std::lock_guard<std::recursive_mutex> g(g_profileMu);
  const std::string path = MapPath(file);
  Document d;
  if (!LoadForWrite(path, &d, error)) return false;

  if (!key) {  // delete the section, every block of it
    std::vector<Line> kept;
    bool in = false;
    bool changed = false;
    for (Line& l : d.lines) {
      if (l.kind == Kind::Section) in = EqualsNoCase(l.name, section);
      if (in) {
        changed = true;
        continue;
      }
      kept.push_back(std::move(l));
    }
    if (!changed) return true;
    d.lines = std::move(kept);
    return WriteFileAtomic(path, Serialize(d), error);
  }
  if (!SetKey(d, section, key, value)) return true;
  return WriteFileAtomic(path, Serialize(d), error);
}

bool ProfileWriteStrings(const char* section, const std::vector<std::pair<std::string, std::string>>& values,
                         const std::string& file, std::string* error) {
  for (const auto& [key, value] : values)
    if (BadName(section, key.c_str(), value.c_str(), error)) return false;
  std::lock_guard<std::recursive_mutex> g(g_profileMu);
  const std::string path = MapPath(file);
  Document d;
  if (!LoadForWrite(path, &d, error)) return false;
  bool changed = false;
  for (const auto& [key, value] : values) changed = SetKey(d, section, key.c_str(), value.c_str()) || changed;
  return !changed || WriteFileAtomic(path, Serialize(d), error);
}

}  // namespace sys
