#include "lis/hl7_messages.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>

#include "lis/text_cut.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"

namespace lis {

using namespace HEALTH_LEVEL_7;

const char* const kMessageParamNames[20] = {"WBC", "LYM#", "MID#", "GRA#", "LYM%", "MID%", "GRA%",
                                            "RBC", "HGB",  "MCHC", "MCH", "MCV", "RDW-CV", "RDW-SD",
                                            "HCT", "PLT",  "MPV",  "PDW", "PCT", "P-LCR"};

namespace {

std::string Utf16ToUtf8(const char16_t* s, size_t max) {
  std::string out;
  for (size_t i = 0; i < max && s[i] != 0; ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < max && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) out += static_cast<char>(cp);
    else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

std::unique_ptr<MSH_2_3_1> Header(const char* ackKind, const char* type = nullptr) {
  auto h = std::make_unique<MSH_2_3_1>();
  h->SetField(6, FormatNow(), false);
  h->SetField(15, ackKind, false);
  if (type) h->SetField(8, type, false);
  return h;
}

LisMessage Finish(SegmentList& list) {
  LisMessage m;
  m.bytes = ToUtf8Buffer(list, &m.controlId);
  return m;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// Result rows of a QC message.
void AddQcResultRows(SegmentList& list, const QcMessageRecord& r) {
  for (int i = 0; i < 20; ++i) {
    auto obx = std::make_unique<OBX_2_3_1>();
    obx->SetField(1, "NM", false);
    obx->SetField(2, kMessageParamNames[i], true);
    obx->SetField(3, "", true);
    obx->SetField(4, CutChars(r.results[i], 15), true);
    AddSegment(list, std::move(obx));
  }
}

// Two rows per parameter: the low ("L") and the high ("R") limit with the unit.
void AddLimitRows(SegmentList& list, const QcMessageRecord& r) {
  for (int k = 0; k < 40; ++k) {
    auto obx = std::make_unique<OBX_2_3_1>();
    obx->SetField(1, "NM", false);
    obx->SetField(2, kMessageParamNames[k / 2], true);
    obx->SetField(3, (k % 2) == 0 ? "L" : "R", true);
    obx->SetField(4, CutChars(r.limits[k], 15), true);
    obx->SetField(5, CutChars(r.units[k / 2], 15), true);
    AddSegment(list, std::move(obx));
  }
}

enum class QcShape { ResultRows, LimitRows, NoRows };

LisMessage BuildQcMessage(const QcMessageRecord& r, const char* name, bool withPid, bool result, QcShape shape) {
  SegmentList list;
  AddSegment(list, Header("Q"));
  if (withPid) {
    auto pid = std::make_unique<PID_2_3_1>();
    pid->SetField(1, CutChars(r.identity2, 20), true);
    pid->SetField(4, CutChars(r.identity1, 20), true);
    pid->SetField(6, CutChars(r.identity3, 20), true);
    AddSegment(list, std::move(pid));
  }
  auto obr = std::make_unique<OBR_2_3_1>();
  obr->SetField(3, name, true);
  obr->SetField(6, result ? CutChars(r.runTime, 20) : std::string(), true);
  AddSegment(list, std::move(obr));
  if (shape == QcShape::ResultRows) AddQcResultRows(list, r);
  if (shape == QcShape::LimitRows) AddLimitRows(list, r);
  return Finish(list);
}

LisMessage BuildLimitTable(const QcMessageRecord& r, const char* name) {
  SegmentList list;
  AddSegment(list, Header("Q"));
  auto pid = std::make_unique<PID_2_3_1>();
  pid->SetField(4, CutChars(r.identity1, 20), true);
  AddSegment(list, std::move(pid));
  auto obr = std::make_unique<OBR_2_3_1>();
  obr->SetField(3, name, true);
  AddSegment(list, std::move(obr));
  AddLimitRows(list, r);
  return Finish(list);
}

}  // namespace

LisMessage BuildSampleResult(const SampleProfileRecord& p, const SampleResultTexts& t) {
  SegmentList list;
  AddSegment(list, Header("S"));
  auto pid = std::make_unique<PID_2_3_1>();
  pid->SetField(1, CutChars(p.sampleNo, 50), true);
  pid->SetField(4, CutChars(p.name, 50), true);
  pid->SetField(7, CutChars(p.sex, 20), true);
  pid->SetField(14, IntToText(p.age) + CutChars(p.ageUnit, 20), true);
  auto obr = std::make_unique<OBR_2_3_1>();
  obr->SetField(6, CutChars(p.testDateTime, 20), true);
  obr->SetField(14, CutChars(p.applicant, 20), true);
  obr->SetField(15, CutChars(p.dept, 20), true);
  obr->SetField(17, CutChars(p.medicalNo, 20), true);
  obr->SetField(18, CutChars(p.bedNo, 20), true);
  obr->SetField(19, CutChars(p.inspector, 20), true);
  obr->SetField(20, CutChars(p.verifier, 20), true);
  obr->SetField(25, CutChars(p.sampleType, 20), true);
  obr->SetField(27, CutChars(p.group, 50), true);
  AddSegment(list, std::move(pid));
  AddSegment(list, std::move(obr));
  for (int i = 0; i < 20; ++i) {
    auto obx = std::make_unique<OBX_2_3_1>();
    obx->SetField(1, "NM", false);
    obx->SetField(2, kMessageParamNames[i], true);
    obx->SetField(4, CutChars(t.values[i], 15), true);
    obx->SetField(5, CutChars(t.units[i], 15), true);
    obx->SetField(6, CutChars(t.ranges[i], 15), true);
    obx->SetField(7, CutChars(t.flags[i], 15), true);
    obx->SetField(10, "F", false);
    AddSegment(list, std::move(obx));
  }
  return Finish(list);
}

LisMessage BuildOrderQuery(const std::string& sampleNo) {
  SegmentList list;
  AddSegment(list, Header("S", "ORM^O01"));
  auto orc = std::make_unique<ORC_2_3_1>();
  orc->SetField(0, "RF", false);
  orc->SetField(2, CutChars(sampleNo, 50), true);
  orc->SetField(4, "IP", false);
  sys::LocalTime t = sys::Clock::Now();
  char date[32];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", t.year, t.month, t.day);
  orc->SetField(8, date, false);
  AddSegment(list, std::move(orc));
  return Finish(list);
}

LisMessage BuildAlarmMessage(const AlarmRecord& record) {
  SegmentList list;
  AddSegment(list, Header("W"));
  auto obr = std::make_unique<OBR_2_3_1>();
  obr->SetField(6, Utf16ToUtf8(record.time, 32), true);
  AddSegment(list, std::move(obr));
  auto obx = std::make_unique<OBX_2_3_1>();
  obx->SetField(1, "NM", false);
  obx->SetField(2, "报警", true);
  obx->SetField(3, "", true);
  obx->SetField(4, Utf16ToUtf8(record.message, 256), true);
  AddSegment(list, std::move(obx));
  return Finish(list);
}

LisMessage BuildLjQcResultMessage(const QcMessageRecord& r) { return BuildQcMessage(r, "LJ QCR", true, true, QcShape::ResultRows); }
LisMessage BuildXbQcResultMessage(const QcMessageRecord& r) { return BuildQcMessage(r, "XB QCR", false, true, QcShape::ResultRows); }
LisMessage BuildXrQcResultMessage(const QcMessageRecord& r) { return BuildQcMessage(r, "XR QCR", true, true, QcShape::ResultRows); }
LisMessage BuildLjQcSettingsMessage(const QcMessageRecord& r) { return BuildQcMessage(r, "LJ QCS", true, false, QcShape::LimitRows); }
LisMessage BuildXbQcSettingsMessage(const QcMessageRecord& r) { return BuildQcMessage(r, "XB QCS", false, false, QcShape::LimitRows); }
LisMessage BuildXrQcSettingsMessage(const QcMessageRecord& r) { return BuildQcMessage(r, "XR QCS", true, false, QcShape::NoRows); }
LisMessage BuildNormalLimitsMessage(const QcMessageRecord& r) { return BuildLimitTable(r, "Normal Limits"); }
LisMessage BuildPathologyLimitsMessage(const QcMessageRecord& r) { return BuildLimitTable(r, "Pathology Limits"); }

// ---- Replies ----------------------------------------------------------------------------------

int ClassifyReply(const char* bytes) {
  if (bytes == nullptr) return kReplyNull;
  return ClassifyReply(std::string_view(bytes));
}

int ClassifyReply(std::string_view text) {
  size_t start = text.find(kStartByte);
  if (start == std::string_view::npos) return kReplyIncomplete;
  size_t lastCr = text.rfind(kFrameEnd);
  if (lastCr == std::string_view::npos || lastCr == 0 || text[lastCr - 1] != kSegmentEnd) return kReplyIncomplete;
  std::string_view body = text.substr(start + 1);
  if (body.find("ACK^R01") != std::string_view::npos) return kReplyAck;
  if (body.find("ORR^O02") != std::string_view::npos) return kReplyPatient;
  return kReplyOther;
}

int MapAckCode(const BaseSegment* msa, const std::string& lastControlId) {
  if (msa == nullptr) return 1;
  Field f;
  if (!msa->GetField(1, &f)) return -1;
  if (f.GetText() != lastControlId) return 2;
  if (!msa->GetField(0, &f)) return -1;
  const std::string code = f.GetText();
  if (code.empty()) return 3;
  if (code == "AA") return 4;
  if (code == "AR" || code == "AE") {
    Field cond;
    if (!msa->GetField(5, &cond)) return -1;
    const std::string c = cond.GetText();
    if (code == "AR") {
      static const char* const ar[] = {"200", "201", "202", "203", "204", "205", "206", "207"};
      for (int i = 0; i < 8; ++i)
        if (c == ar[i]) return 6 + i;
      return 5;
    }
    static const char* const ae[] = {"100", "101", "102", "103"};
    for (int i = 0; i < 4; ++i)
      if (c == ae[i]) return 15 + i;
    return 14;
  }
  return -1;
}

int HandleAckReply(std::string_view bytes, const std::string& lastControlId) {
  Hl7Message m(bytes);
  if (!m.ParseMessage()) return 0;
  const std::string type = m.GetMessageType();
  if (!EqualsNoCase(type, "ACK^R01") && !EqualsNoCase(type, "ORR^O02")) return 14;
  return MapAckCode(m.FindSegment("MSA"), lastControlId);
}

std::string AckCondition(std::string_view bytes) {
  Hl7Message m(bytes);
  if (!m.ParseMessage()) return {};
  const BaseSegment* msa = m.FindSegment("MSA");
  Field f;
  if (msa == nullptr || !msa->GetField(5, &f)) return {};
  std::string t = f.GetText();
  for (char& c : t)
    if (c == '^') c = ' ';
  t = CleanReceivedText(UnescapeText(t));
  while (!t.empty() && t.back() == ' ') t.pop_back();
  return CutChars(t, 60);
}

void ParseAgeText(std::string_view text, int language, int* age, std::string* unit) {
  struct UnitChars {
    const char* chars[4];
    const char* word[5];  // zh, en, es, fr, ua
  };
  static const UnitChars units[] = {
      {{"Y", "y", "岁", "Р"}, {"岁", "Y", "Y", "Y", "Р"}},
      {{"M", "m", "月", "М"}, {"月", "M", "M", "M", "М"}},
      {{"D", "d", "天", "Д"}, {"天", "D", "D", "D", "Д"}},
      {{"H", "h", nullptr, nullptr}, {"H", "H", "H", "H", "H"}},
  };
  const int lang = language >= 0 && language <= 4 ? language : 1;
  unit->clear();
  for (const UnitChars& u : units) {
    bool found = false;
    for (const char* c : u.chars)
      if (c && text.find(c) != std::string_view::npos) found = true;
    if (found) {
      *unit = u.word[lang];
      break;
    }
  }
  if (unit->empty()) {
    *age = -1;
    return;
  }
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  long v = 0;
  bool neg = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) neg = text[i++] == '-';
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && v < 100000000) v = v * 10 + (text[i++] - '0');
  *age = static_cast<int>(neg ? -v : v);
}

bool ReadPatientFromReply(const BaseSegment* pid, const BaseSegment* obr, SampleProfileRecord* out, int language) {
  if (pid == nullptr || obr == nullptr || out == nullptr) return false;
  if (!EqualsNoCase(pid->GetName(), "PID") || !EqualsNoCase(obr->GetName(), "OBR")) return false;
  // Received texts go to the store and back to the LIS in our messages: only valid UTF-8
  // without control characters is kept (an escaped NUL would cut the SQL text).
  auto clean = [](const BaseSegment* s, int index, std::string_view what) {
    bool changed = false;
    Field f;
    std::string t = s->GetField(index, &f) ? CleanReceivedText(UnescapeText(f.GetText()), &changed) : std::string();
    if (changed) sys::DebugOutput("LIS: invalid or control characters replaced in the received " + std::string(what));
    return t;
  };
  auto copy = [&clean](const BaseSegment* s, int index, size_t max, std::string& to) {
    Field f;
    if (s->GetField(index, &f)) to = CutChars(clean(s, index, s->GetName() + "-" + std::to_string(index + 1)), max);
  };
  copy(pid, 1, 50, out->sampleNo);
  copy(pid, 4, 50, out->name);
  copy(pid, 7, 20, out->sex);
  copy(obr, 6, 20, out->testDateTime);
  copy(obr, 14, 20, out->applicant);
  copy(obr, 15, 20, out->dept);
  copy(obr, 17, 20, out->medicalNo);
  copy(obr, 18, 20, out->bedNo);
  copy(obr, 19, 20, out->inspector);
  copy(obr, 20, 20, out->verifier);
  copy(obr, 25, 20, out->sampleType);
  copy(obr, 27, 50, out->group);
  Field ageField;
  if (pid->GetField(14, &ageField)) ParseAgeText(clean(pid, 14, "PID-15"), language, &out->age, &out->ageUnit);
  sys::DebugOutput(out->ageUnit + ", " + std::to_string(out->age));
  return true;
}

bool ReadPatientReply(std::string_view bytes, const std::string& lastControlId, SampleProfileRecord* out,
                      int language) {
  Hl7Message m(bytes);
  if (!m.ParseMessage()) return false;
  if (!EqualsNoCase(m.GetMessageType(), "ORR^O02")) return false;
  if (MapAckCode(m.FindSegment("MSA"), lastControlId) != kAckAccepted) return false;
  const BaseSegment* pid = m.FindSegment("PID");
  const BaseSegment* obr = m.FindSegment("OBR");
  if (pid == nullptr || obr == nullptr) return false;
  SampleProfileRecord r;
  if (!ReadPatientFromReply(pid, obr, &r, language)) return false;
  if (out == nullptr) return false;
  *out = r;
  return true;
}

}  // namespace lis
