#pragma once
// A small HL7 v2 reader written for the tests, apart from the production parser: it takes one
// frame (0x0B, segments each ended by 0x1C, 0x0D) and splits segments into fields the way any
// HL7 reader does, so MSH-1 is the field separator and MSH-2 the encoding characters.
#include <string>
#include <vector>

namespace test_hl7 {

struct Segment {
  std::string name;
  std::vector<std::string> fields;  // fields[n] is field n (fields[0] is the name)
  // Field n, "" past the end.
  std::string F(size_t n) const { return n < fields.size() ? fields[n] : std::string(); }
};

struct Message {
  bool framed = false;  // began with 0x0B and ended with 0x1C 0x0D
  std::vector<Segment> segments;
  std::vector<const Segment*> All(const std::string& name) const {
    std::vector<const Segment*> out;
    for (const auto& s : segments)
      if (s.name == name) out.push_back(&s);
    return out;
  }
};

inline Message Read(const std::string& bytes) {
  Message m;
  if (bytes.size() < 3 || bytes.front() != '\x0B' || bytes.back() != '\x0D' || bytes[bytes.size() - 2] != '\x1C') return m;
  m.framed = true;
  std::string body = bytes.substr(1, bytes.size() - 2);
  size_t pos = 0;
  while (pos < body.size()) {
    size_t end = body.find('\x1C', pos);
    if (end == std::string::npos) end = body.size();
    std::string seg = body.substr(pos, end - pos);
    pos = end + 1;
    if (seg.empty()) continue;
    Segment s;
    s.name = seg.substr(0, 3);
    const char sep = seg.size() > 3 ? seg[3] : '|';
    std::vector<std::string> parts;
    size_t a = 0;
    while (true) {
      size_t b = seg.find(sep, a);
      parts.push_back(seg.substr(a, b == std::string::npos ? std::string::npos : b - a));
      if (b == std::string::npos) break;
      a = b + 1;
    }
    if (s.name == "MSH") {
      // MSH-1 is the separator itself; the first split piece after the name is MSH-2.
      s.fields.push_back("MSH");
      s.fields.push_back(std::string(1, sep));
      for (size_t i = 1; i < parts.size(); ++i) s.fields.push_back(parts[i]);
    } else {
      s.fields = parts;
    }
    m.segments.push_back(s);
  }
  return m;
}

// Undoes the standard escapes \F\ \S\ \T\ \R\ \E\ \Xhh\ (written apart from the production code).
inline std::string Unescape(const std::string& t) {
  std::string out;
  for (size_t i = 0; i < t.size();) {
    if (t[i] == '\\') {
      size_t c = t.find('\\', i + 1);
      std::string body = t.substr(i + 1, c - i - 1);
      if (body == "F") out += '|';
      else if (body == "S") out += '^';
      else if (body == "T") out += '&';
      else if (body == "R") out += '~';
      else if (body == "E") out += '\\';
      else if (body == ".br") out += '\n';
      else if (body.size() == 3 && body[0] == 'X') out += static_cast<char>(std::stoi(body.substr(1), nullptr, 16));
      else out += "?";
      i = c + 1;
    } else {
      out += t[i++];
    }
  }
  return out;
}

}  // namespace test_hl7
