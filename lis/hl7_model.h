#pragma once
// The HL7 v2.3.1 message model: nodes, fields and segments, the escaping of field text, the
// writer that turns a segment list into one framed UTF-8 block and the parser that reads framed
// replies back into segments.
//
// Framing (both directions): 0x0B, every segment's text followed by 0x1C, then one 0x0D. Inside
// the frame the segments are standard HL7: "MSH|^~\&|<MSH-3>|<MSH-4>|...", other segments
// "<name>|<field 1>|...|<field n>". Text is UTF-8 throughout.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace HEALTH_LEVEL_7 {

inline constexpr char kStartByte = 0x0B;
inline constexpr char kSegmentEnd = 0x1C;
inline constexpr char kFrameEnd = 0x0D;

// The five separators of a message.
struct Separators {
  char field = '|';
  char component = '^';
  char subcomponent = '&';
  char repetition = '~';
  char escape = '\\';
};
// The process-wide set the writers use.
Separators GetSeparators();
// Each setter refuses a character already used by one of the other four (false, unchanged).
bool SetFieldSeparator(char c);
bool SetComponentSeparator(char c);
bool SetSubcomponentSeparator(char c);
bool SetRepetitionSeparator(char c);
bool SetEscapeCharacter(char c);

// Escapes field text: the escape character first ("\E\"), then "|" "\F\", "^" "\S\", "&" "\T\",
// "~" "\R\", and the framing bytes 0x1C, CR, LF and 0x0B as "\X1C\", "\X0D\", "\X0A\", "\X0B\", so
// that no value can end a segment or a frame.
std::string EscapeText(std::string_view text, const Separators& s = GetSeparators());
// Undoes EscapeText for received text: \F\ \S\ \T\ \R\ \E\, \Xhh..\ (hex bytes) and \.br\ (a line
// break, "\n"). Unknown or unterminated sequences stay as they are.
std::string UnescapeText(std::string_view text, const Separators& s = GetSeparators());

class BaseNode {
 public:
  BaseNode() = default;
  virtual ~BaseNode() = default;
  // Stores the text (escaped first when asked); false only for a null pointer.
  bool SetValue(const char* text, bool escape);
  bool SetValue(std::string_view text, bool escape);
  const std::string& GetValue() const { return value_; }
  bool SetRepetition(int index) { repetition_ = index; return true; }
  int GetRepetition() const { return repetition_; }
  // The node's encoded text.
  virtual std::string GetText() const;
  bool operator==(const BaseNode& o) const { return repetition_ == o.repetition_ && value_ == o.value_; }
  bool operator!=(const BaseNode& o) const { return !(*this == o); }

 protected:
  std::string value_;
  int repetition_ = 0;
};

class SubComponent : public BaseNode {};

class Component : public BaseNode {
 public:
  int AddSubComponent(const SubComponent& s);
  bool GetSubComponent(int index, SubComponent* out) const;
  bool RemoveSubComponent(int index);
  std::string GetText() const override;

 private:
  std::vector<SubComponent> subs_;
};

class Field : public BaseNode {
 public:
  int AddComponent(const Component& c);
  bool GetComponent(int index, Component* out) const;
  bool RemoveComponent(int index);
  std::string GetText() const override;

 private:
  std::vector<Component> components_;
};

class BaseSegment {
 public:
  BaseSegment() = default;
  BaseSegment(int fieldCount, const char* name);
  virtual ~BaseSegment() = default;
  BaseSegment(const BaseSegment&) = default;
  BaseSegment& operator=(const BaseSegment&) = default;

  bool SetName(const char* name);
  const std::string& GetName() const { return name_; }
  int FieldCount() const { return fieldCount_; }
  // Field index 0 is field 1 of the segment (for MSH: MSH-1, the field separator itself).
  // Grows the array and the field count as needed; false for a negative index or a null text.
  bool SetField(int index, const char* text, bool escape);
  bool SetField(int index, std::string_view text, bool escape);
  bool SetField(int index, const Field& field);
  // False when the index lies outside 0 .. field count - 1 (the out field is left as it was).
  bool GetField(int index, Field* out) const;
  // The stored text of a field ("" outside the range): as received, not unescaped.
  std::string FieldText(int index) const;
  // Generic segment text: the name, then "|" and the text of each field.
  virtual int WriteSegment(std::string* out) const;

 protected:
  int fieldCount_ = 0;
  std::string name_;
  std::vector<Field> fields_;
};

class MSH_2_3_1 : public BaseSegment {
 public:
  MSH_2_3_1();
  // "MSH", MSH-1, MSH-2, then "|" and the text of MSH-3 onward: "MSH|^~\&|app|facility|...".
  int WriteHeader(std::string* out) const;
};
class PID_2_3_1 : public BaseSegment { public: PID_2_3_1() : BaseSegment(30, "PID") {} };
class OBR_2_3_1 : public BaseSegment { public: OBR_2_3_1() : BaseSegment(47, "OBR") {} };
class OBX_2_3_1 : public BaseSegment { public: OBX_2_3_1() : BaseSegment(17, "OBX") {} };
class MSA_2_3_1 : public BaseSegment { public: MSA_2_3_1() : BaseSegment(6, "MSA") {} };
class ORC_2_3_1 : public BaseSegment { public: ORC_2_3_1() : BaseSegment(20, "ORC") {} };

using SegmentList = std::vector<std::unique_ptr<BaseSegment>>;
bool AddSegment(SegmentList& list, std::unique_ptr<BaseSegment> segment);

// Serialises the list (its first segment must be "MSH") into framed text: takes the next
// control id into MSH-10 and hands it out, sets MSH-3 and MSH-4, numbers PID, OBR and OBX runs
// (field 1). Returns the length, 0 (and empty text) when nothing was written. Safe to call
// from several threads at once: control ids never repeat within a run of the program.
int SerializeMessage(SegmentList& list, std::string* text, std::string* controlId);
// SerializeMessage as bytes ready for the link.
std::vector<uint8_t> ToUtf8Buffer(SegmentList& list, std::string* controlId);

// The next control id: the local date "YYYYMMDD" followed by the counter (from 1 at start).
std::string MakeControlId();
// The control id of the last serialised message.
std::string GetLastControlId();
// The local time "YYYYMMDDHHMMSS".
std::string FormatNow();
std::string IntToText(int value);
bool SetSendingApplication(const char* text);
bool SetSendingFacility(const char* text);

// A received message.
class Hl7Message {
 public:
  Hl7Message();
  explicit Hl7Message(std::string_view bytes);
  bool SetText(const char* bytes);
  bool SetText(std::string_view bytes);
  const std::string& Text() const { return text_; }
  // Reads every frame of the text into segments; true when the last frame's header was good
  // and all its segments were read.
  bool ParseMessage();
  std::string GetMessageType() const;  // MSH-9 of the first MSH ("" without one)
  std::string GetControlId() const;    // MSH-10 of the first MSH
  const BaseSegment* FindSegment(std::string_view name) const;
  int IndexOfSegment(std::string_view name) const;
  const BaseSegment* GetSegmentAt(int index) const;
  int SegmentCount() const { return static_cast<int>(segments_.size()); }
  const Separators& MessageSeparators() const { return separators_; }

 private:
  // 1 read, 0 a segment failed, -1 no good header.
  int ParseFrame(std::string_view body);
  SegmentList segments_;
  std::string text_;
  Separators separators_;
};

}  // namespace HEALTH_LEVEL_7
