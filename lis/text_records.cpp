#include "lis/text_records.h"

#include <atomic>
#include <cstdio>

#include "analyzer/serial_port.h"
#include "lis/hl7_messages.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/encoding.h"

namespace lis {
namespace {

std::string Ansi(const std::string& utf8, int language) {
  sys::Conversion c = sys::Utf8ToAnsi(utf8, language);
  return c.ok ? c.text : utf8;
}

}  // namespace

uint16_t RecordChecksum(std::string_view bytes) {
  uint16_t sum = 0;
  for (char c : bytes) sum = static_cast<uint16_t>(sum + static_cast<unsigned char>(c));
  return sum;
}

TextRecord::TextRecord(std::string_view prefix) { Add(prefix); }

TextRecord& TextRecord::Add(std::string_view field) {
  for (char c : field) text_ += c == ',' ? ';' : c;
  text_ += ',';
  return *this;
}

TextRecord& TextRecord::Add(int value) { return Add(std::to_string(value)); }

TextRecord& TextRecord::AddTenth(float value) {
  char b[48];
  std::snprintf(b, sizeof b, "%.1f", static_cast<double>(value));
  return Add(b);
}

std::string TextRecord::WithChecksum(int language) const {
  std::string bytes = Ansi(text_, language);
  return bytes + std::to_string(RecordChecksum(bytes)) + ",";
}

std::string TextRecord::WithChecksumAndFinish(int language) const {
  std::string bytes = Ansi(text_, language);
  return bytes + std::to_string(RecordChecksum(bytes)) + "," + kTransferFinish;
}

std::string TextRecord::Plain(int language) const { return Ansi(text_, language); }

TextRecord SampleRecord(const SampleRecordFields& f) {
  TextRecord r("R");
  r.Add(f.sampleNo).Add(f.testDate).Add(f.testTime).Add(f.name).Add(f.sex).Add(f.age).Add(f.ageUnit);
  r.Add(f.sampleType).Add(f.group).Add(f.medicalNo).Add(f.bedNo).Add(f.dept).Add(f.sender).Add(f.scrutator);
  r.Add(f.checker);
  for (int i = 0; i < 20; ++i) r.Add(kMessageParamNames[i]).Add(f.values[i]).Add(f.units[i]);
  return r;
}

TextRecord HistogramRecord(const std::string& sampleNo, const std::string& testDate, int kind,
                           const std::vector<float>& lines, const uint8_t* bins, int binCount) {
  TextRecord r("W");
  r.Add(sampleNo).Add(testDate).Add(kind);
  for (float l : lines) r.AddTenth(l);
  for (int i = 0; i < binCount; ++i) r.Add(bins[i]);
  for (int i = binCount; i < 256; ++i) r.Add("");
  return r;
}

TextRecord WarningRecord(const std::string& warning) {
  TextRecord r("M");
  r.Add(warning);
  return r;
}

TextRecord QcRunRecord(std::string_view prefix, const std::string* fileNo, const std::string& date,
                       const std::string& time, const std::string values[20]) {
  TextRecord r(prefix);
  if (fileNo) r.Add(*fileNo);
  r.Add(date).Add(time);
  for (int i = 0; i < 20; ++i) r.Add(kMessageParamNames[i]).Add(values[i]);
  return r;
}

std::string CleanResultText(const std::string& text) {
  std::string t = text;
  size_t blank = t.find(' ', 1);
  if (blank != std::string::npos) t = t.substr(0, blank);
  if (!t.empty() && (t[0] == '*' || t[0] == 'e' || t[0] == 'E' || t[0] == '!')) t.erase(0, 1);
  if (t == "-") t.clear();
  return t;
}

namespace {
std::atomic<int> g_patienceMs{30000};
}  // namespace

void SetSerialPatienceMs(int ms) { g_patienceMs = ms > 0 ? ms : 30000; }
int SerialPatienceMs() { return g_patienceMs.load(); }

bool QueueRecord(analyzer::CSerialPort& port, const std::string& bytes, int patienceMs) {
  const int patience = patienceMs < 0 ? SerialPatienceMs() : patienceMs;
  size_t sent = 0;
  int64_t deadline = sys::Clock::TickMs() + patience;
  while (sent < bytes.size() && port.IsOpen()) {
    const size_t n = port.QueueWriteAndWait(reinterpret_cast<const uint8_t*>(bytes.data()) + sent, bytes.size() - sent);
    if (n > 0) {
      sent += n;
      deadline = sys::Clock::TickMs() + patience;  // the LIS reads again
      continue;
    }
    if (sys::Clock::TickMs() >= deadline) break;
    sys::Clock::SleepMs(20);  // the queue was full, or the LIS took nothing in the write time-out
  }
  if (sent == bytes.size()) return true;
  sys::DebugOutput("LIS serial record not sent whole (" + std::to_string(sent) + " of " +
                   std::to_string(bytes.size()) + " bytes): " + bytes.substr(0, 40));
  return false;
}

}  // namespace lis
