// Fuzz target of the HL7 reply side: any bytes are parsed, classified, checked as an
// acknowledgement and read as patient data without reading outside the text; the reply
// joiner gives the same frames however the bytes are cut into reads, and every frame it hands
// out runs from 0x0B to its first 0x0D; escaping any text and unescaping it gives it back.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "lis/hl7_messages.h"
#include "lis/hl7_model.h"
#include "lis/reply_assembler.h"

namespace H = HEALTH_LEVEL_7;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t steer = data[0];
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  H::Hl7Message m(text);
  m.ParseMessage();
  (void)m.GetMessageType();
  (void)m.GetControlId();
  for (int i = 0; i < m.SegmentCount(); ++i) {
    const H::BaseSegment* s = m.GetSegmentAt(i);
    if (!s) abort();
    for (int f = 0; f < s->FieldCount(); ++f) (void)H::UnescapeText(s->FieldText(f), m.MessageSeparators());
  }
  (void)lis::ClassifyReply(text);
  (void)lis::HandleAckReply(text, "202603071");
  lis::SampleProfileRecord r;
  (void)lis::ReadPatientReply(text, m.GetControlId(), &r, steer % 5);

  // The joiner: all at once and in reads of 1 + (steer % 7) bytes give the same frames.
  lis::ReplyAssembler whole, pieces;
  std::vector<std::string> a = whole.Feed(text), b;
  const size_t step = 1 + steer % 7;
  for (size_t i = 0; i < text.size(); i += step) {
    auto got = pieces.Feed(std::string_view(text).substr(i, step));
    b.insert(b.end(), got.begin(), got.end());
  }
  if (a != b) abort();
  for (const std::string& f : a) {
    if (f.size() < 2 || f.front() != '\x0B' || f.back() != '\x0D') abort();
    if (f.find('\x0D') != f.size() - 1 || f.find('\x0B', 1) != std::string::npos) abort();
  }

  // Escaping.
  const std::string escaped = H::EscapeText(text);
  if (escaped.find_first_of(std::string("|^&~\x0B\x0D\x0A\x1C", 8)) != std::string::npos) abort();
  if (H::UnescapeText(escaped) != text) abort();
  return 0;
}
