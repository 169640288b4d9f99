#include "lis/hl7_model.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/sys/clock.h"

namespace HEALTH_LEVEL_7 {
namespace {

std::mutex g_mutex;  // separators, counters, last control id, application and facility
Separators g_separators;
int32_t g_controlCounter = 0;
std::string g_lastControlId;
std::string g_sendingApplication;
std::string g_sendingFacility = "Zyfer";

// Sets one separator unless another already uses the character.
bool SetSeparator(char Separators::*which, char c) {
  std::lock_guard<std::mutex> g(g_mutex);
  Separators s = g_separators;
  char Separators::*all[] = {&Separators::field, &Separators::component, &Separators::subcomponent,
                             &Separators::repetition, &Separators::escape};
  for (auto m : all)
    if (m != which && s.*m == c) return false;
  g_separators.*which = c;
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Splits the text from `start` into fields at the field separator: each stretch after a
// separator is the next field, the last one also when no separator closes it.
void SplitFields(BaseSegment& seg, std::string_view text, size_t start, char sep, int firstIndex) {
  size_t pos = text.find(sep, start);
  int index = firstIndex;
  while (pos != std::string_view::npos) {
    size_t next = text.find(sep, pos + 1);
    std::string_view piece = text.substr(pos + 1, next == std::string_view::npos ? std::string_view::npos : next - pos - 1);
    seg.SetField(index++, piece, false);
    pos = next;
  }
}

}  // namespace

Separators GetSeparators() {
  std::lock_guard<std::mutex> g(g_mutex);
  return g_separators;
}
bool SetFieldSeparator(char c) { return SetSeparator(&Separators::field, c); }
bool SetComponentSeparator(char c) { return SetSeparator(&Separators::component, c); }
bool SetSubcomponentSeparator(char c) { return SetSeparator(&Separators::subcomponent, c); }
bool SetRepetitionSeparator(char c) { return SetSeparator(&Separators::repetition, c); }
bool SetEscapeCharacter(char c) { return SetSeparator(&Separators::escape, c); }

std::string EscapeText(std::string_view text, const Separators& s) {
  std::string out;
  out.reserve(text.size() + 8);
  const char e = s.escape;
  auto seq = [&](const char* body) {
    out += e;
    out += body;
    out += e;
  };
  for (char c : text) {
    if (c == e) seq("E");
    else if (c == s.field) seq("F");
    else if (c == s.component) seq("S");
    else if (c == s.subcomponent) seq("T");
    else if (c == s.repetition) seq("R");
    else if (c == kSegmentEnd) seq("X1C");
    else if (c == '\r') seq("X0D");
    else if (c == '\n') seq("X0A");
    else if (c == kStartByte) seq("X0B");
    else out += c;
  }
  return out;
}

std::string UnescapeText(std::string_view text, const Separators& s) {
  std::string out;
  out.reserve(text.size());
  const char e = s.escape;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] != e) {
      out += text[i++];
      continue;
    }
    size_t close = text.find(e, i + 1);
    if (close == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    std::string_view body = text.substr(i + 1, close - i - 1);
    bool known = true;
    if (body == "F") out += s.field;
    else if (body == "S") out += s.component;
    else if (body == "T") out += s.subcomponent;
    else if (body == "R") out += s.repetition;
    else if (body == "E") out += e;
    else if (body == ".br") out += '\n';
    else if (body.size() >= 3 && (body[0] == 'X' || body[0] == 'x') && (body.size() - 1) % 2 == 0) {
      std::string bytes;
      for (size_t k = 1; k < body.size() && known; k += 2) {
        int hi = HexValue(body[k]), lo = HexValue(body[k + 1]);
        if (hi < 0 || lo < 0) known = false;
        else bytes += static_cast<char>(hi * 16 + lo);
      }
      if (known) out += bytes;
    } else {
      known = false;
    }
    if (!known) {
      out += e;  // not a sequence of ours: the escape character stands for itself
      i += 1;
      continue;
    }
    i = close + 1;
  }
  return out;
}

// ---- Nodes --------------------------------------------------------------------------------

bool BaseNode::SetValue(const char* text, bool escape) {
  if (text == nullptr) return false;
  return SetValue(std::string_view(text), escape);
}

bool BaseNode::SetValue(std::string_view text, bool escape) {
  value_ = escape ? EscapeText(text) : std::string(text);
  return true;
}

std::string BaseNode::GetText() const {
  if (repetition_ <= 0) return value_;
  return std::string(static_cast<size_t>(repetition_), GetSeparators().repetition) + value_;
}

int Component::AddSubComponent(const SubComponent& s) {
  subs_.push_back(s);
  return static_cast<int>(subs_.size()) - 1;
}
bool Component::GetSubComponent(int index, SubComponent* out) const {
  if (index < 0 || index >= static_cast<int>(subs_.size()) || out == nullptr) return false;
  *out = subs_[static_cast<size_t>(index)];
  return true;
}
bool Component::RemoveSubComponent(int index) {
  if (index < 0 || index >= static_cast<int>(subs_.size())) return false;
  subs_.erase(subs_.begin() + index);
  return true;
}
std::string Component::GetText() const {
  std::string t = value_;
  const char sep = GetSeparators().subcomponent;
  for (const SubComponent& s : subs_) {
    t += sep;
    std::string st = s.GetText();
    t += st.empty() ? std::string("\"\"") : st;  // HL7's explicit null
  }
  return t;
}

int Field::AddComponent(const Component& c) {
  components_.push_back(c);
  return static_cast<int>(components_.size()) - 1;
}
bool Field::GetComponent(int index, Component* out) const {
  if (index < 0 || index >= static_cast<int>(components_.size()) || out == nullptr) return false;
  *out = components_[static_cast<size_t>(index)];
  return true;
}
bool Field::RemoveComponent(int index) {
  if (index < 0 || index >= static_cast<int>(components_.size())) return false;
  components_.erase(components_.begin() + index);
  return true;
}
std::string Field::GetText() const {
  std::string t = value_;
  const char sep = GetSeparators().component;
  for (const Component& c : components_) {
    t += sep;
    std::string ct = c.GetText();
    t += ct.empty() ? std::string("\"\"") : ct;
  }
  return t;
}

// ---- Segments -------------------------------------------------------------------------------

BaseSegment::BaseSegment(int fieldCount, const char* name)
    : fieldCount_(fieldCount < 0 ? 0 : fieldCount), name_(name ? name : ""), fields_(static_cast<size_t>(fieldCount_)) {}

bool BaseSegment::SetName(const char* name) {
  if (name == nullptr) return false;
  name_ = name;
  return true;
}

bool BaseSegment::SetField(int index, const char* text, bool escape) {
  if (text == nullptr) return false;
  return SetField(index, std::string_view(text), escape);
}

bool BaseSegment::SetField(int index, std::string_view text, bool escape) {
  if (index < 0) return false;
  Field f;
  f.SetValue(text, escape);
  return SetField(index, f);
}

bool BaseSegment::SetField(int index, const Field& field) {
  if (index < 0) return false;
  if (static_cast<size_t>(index) >= fields_.size()) fields_.resize(static_cast<size_t>(index) + 1);
  if (index + 1 > fieldCount_) fieldCount_ = index + 1;
  fields_[static_cast<size_t>(index)] = field;
  return true;
}

bool BaseSegment::GetField(int index, Field* out) const {
  if (index < 0 || index >= fieldCount_ || static_cast<size_t>(index) >= fields_.size() || out == nullptr) return false;
  *out = fields_[static_cast<size_t>(index)];
  return true;
}

std::string BaseSegment::FieldText(int index) const {
  Field f;
  return GetField(index, &f) ? f.GetText() : std::string();
}

int BaseSegment::WriteSegment(std::string* out) const {
  std::string t = name_;
  const char sep = GetSeparators().field;
  for (int i = 0; i < fieldCount_; ++i) {
    t += sep;
    t += fields_[static_cast<size_t>(i)].GetText();
  }
  *out = std::move(t);
  return static_cast<int>(out->size());
}

MSH_2_3_1::MSH_2_3_1() : BaseSegment(20, "MSH") {
  const Separators s = GetSeparators();
  SetField(0, std::string_view(&s.field, 1), false);
  const char enc[4] = {s.component, s.repetition, s.escape, s.subcomponent};
  SetField(1, std::string_view(enc, 4), false);
  SetField(8, "ORU^R01", false);
  SetField(10, "P", false);
  SetField(11, "2.3.1", false);
  SetField(15, "0", false);
  SetField(17, "Unicode", false);
}

int MSH_2_3_1::WriteHeader(std::string* out) const {
  std::string t = name_;
  t += FieldText(0);
  t += FieldText(1);
  const char sep = GetSeparators().field;
  for (int i = 2; i < fieldCount_; ++i) {
    t += sep;
    t += FieldText(i);
  }
  *out = std::move(t);
  return static_cast<int>(out->size());
}

bool AddSegment(SegmentList& list, std::unique_ptr<BaseSegment> segment) {
  list.push_back(std::move(segment));
  return true;
}

// ---- Serialising ------------------------------------------------------------------------------

namespace {
std::string MakeControlIdLocked() {
  ++g_controlCounter;
  sys::LocalTime t = sys::Clock::Now();
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.4d%.2d%.2d%d", t.year, t.month, t.day, g_controlCounter);
  return buf;
}
}  // namespace

std::string MakeControlId() {
  std::lock_guard<std::mutex> g(g_mutex);
  return MakeControlIdLocked();
}

std::string GetLastControlId() {
  std::lock_guard<std::mutex> g(g_mutex);
  return g_lastControlId;
}

int SerializeMessage(SegmentList& list, std::string* text, std::string* controlId) {
  text->clear();
  if (list.empty() || !list.front() || list.front()->GetName() != "MSH") return 0;
  std::string id, app, facility;
  {
    std::lock_guard<std::mutex> g(g_mutex);
    id = MakeControlIdLocked();
    g_lastControlId = id;
    app = g_sendingApplication;
    facility = g_sendingFacility;
  }
  if (controlId) *controlId = id;
  BaseSegment& header = *list.front();
  header.SetField(9, id, false);
  header.SetField(2, app, false);
  header.SetField(3, facility, false);

  std::string out(1, kStartByte);
  std::string run = header.GetName();
  int setId = 0;  // per call, so two threads never share a run of set ids
  for (auto& seg : list) {
    if (!seg) continue;
    if (seg->GetName() != run) {
      run = seg->GetName();
      setId = 0;
    }
    ++setId;
    if (run == "PID" || run == "OBR" || run == "OBX") seg->SetField(0, IntToText(setId), false);
    std::string segText;
    if (auto* msh = dynamic_cast<MSH_2_3_1*>(seg.get())) msh->WriteHeader(&segText);
    else seg->WriteSegment(&segText);
    out += segText;
    out += kSegmentEnd;
  }
  out += kFrameEnd;
  *text = std::move(out);
  return static_cast<int>(text->size());
}

std::vector<uint8_t> ToUtf8Buffer(SegmentList& list, std::string* controlId) {
  std::string text;
  SerializeMessage(list, &text, controlId);
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::string FormatNow() {
  sys::LocalTime t = sys::Clock::Now();
  char buf[128];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return buf;
}

std::string IntToText(int value) { return std::to_string(value); }

bool SetSendingApplication(const char* text) {
  if (text == nullptr) return false;
  std::lock_guard<std::mutex> g(g_mutex);
  g_sendingApplication = text;
  return true;
}

bool SetSendingFacility(const char* text) {
  if (text == nullptr) return false;
  std::lock_guard<std::mutex> g(g_mutex);
  g_sendingFacility = text;
  return true;
}

// ---- Parsing ----------------------------------------------------------------------------------

Hl7Message::Hl7Message() : separators_(GetSeparators()) {}
Hl7Message::Hl7Message(std::string_view bytes) : text_(bytes), separators_(GetSeparators()) {}

bool Hl7Message::SetText(const char* bytes) {
  if (bytes == nullptr) return false;
  text_ = bytes;
  return true;
}
bool Hl7Message::SetText(std::string_view bytes) {
  text_ = std::string(bytes);
  return true;
}

int Hl7Message::ParseFrame(std::string_view body) {
  size_t end = body.find(kSegmentEnd);
  if (end == std::string_view::npos) return -1;
  std::string_view head = body.substr(0, end);
  // The header must hold "MSH", the field separator and the four encoding characters.
  if (head.size() < 8 || head.substr(0, 3) != "MSH") return -1;
  Separators s;
  s.field = head[3];
  s.component = head[4];
  s.repetition = head[5];
  s.escape = head[6];
  s.subcomponent = head[7];
  separators_ = s;
  auto header = std::make_unique<MSH_2_3_1>();
  header->SetField(0, head.substr(3, 1), false);
  header->SetField(1, head.substr(4, 4), false);
  SplitFields(*header, head, 8, s.field, 2);
  segments_.push_back(std::move(header));

  size_t pos = end + 1;
  while (pos < body.size()) {
    size_t next = body.find(kSegmentEnd, pos);
    if (next == std::string_view::npos) break;  // text after the last terminator is not a segment
    std::string_view seg = body.substr(pos, next - pos);
    pos = next + 1;
    if (seg.size() < 3) return 0;
    std::string name(seg.substr(0, 3));
    std::unique_ptr<BaseSegment> segment =
        name == "MSA" ? std::unique_ptr<BaseSegment>(new MSA_2_3_1()) : std::make_unique<BaseSegment>(0, name.c_str());
    SplitFields(*segment, seg, 3, s.field, 0);
    segments_.push_back(std::move(segment));
  }
  return 1;
}

bool Hl7Message::ParseMessage() {
  bool result = false;
  std::string_view text(text_);
  size_t start = text.find(kStartByte);
  while (start != std::string_view::npos) {
    size_t end = text.find(kFrameEnd, start + 1);
    if (end != std::string_view::npos) {
      int r = ParseFrame(text.substr(start + 1, end - start - 1));
      if (r >= 0) result = r == 1;  // a frame without a good header leaves the result as it was
    }
    start = text.find(kStartByte, start + 1);
  }
  return result;
}

const BaseSegment* Hl7Message::FindSegment(std::string_view name) const {
  for (const auto& s : segments_)
    if (s && s->GetName() == name) return s.get();
  return nullptr;
}

int Hl7Message::IndexOfSegment(std::string_view name) const {
  for (size_t i = 0; i < segments_.size(); ++i)
    if (segments_[i] && segments_[i]->GetName() == name) return static_cast<int>(i);
  return -1;
}

const BaseSegment* Hl7Message::GetSegmentAt(int index) const {
  if (index < 0 || index >= static_cast<int>(segments_.size())) return nullptr;
  return segments_[static_cast<size_t>(index)].get();
}

std::string Hl7Message::GetMessageType() const {
  const BaseSegment* h = FindSegment("MSH");
  return h ? h->FieldText(8) : std::string();
}

std::string Hl7Message::GetControlId() const {
  const BaseSegment* h = FindSegment("MSH");
  return h ? h->FieldText(9) : std::string();
}

}  // namespace HEALTH_LEVEL_7
