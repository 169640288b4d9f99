#include "lis/auto_send.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/lis_link_state.h"
#include "core/sys_log.h"
#include "lis/lis_link.h"
#include "lis/send_texts.h"
#include "lis/stored_send.h"
#include "lis/stored_items.h"
#include "lis/text_cut.h"
#include "lis/text_records.h"
#include "measurement/patient/patient_input.h"
#include "measurement/screen/sample_globals.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"

namespace lis {

void NoteAutomaticSend(const SendResult& r);

namespace {
constexpr int kAutomaticPatienceMs = 5000;
// The sends' threads are detached: what they touch at their end is never destroyed, so that an
// `exit` while one runs leaves it nothing freed to use.
std::mutex& g_mutex = *new std::mutex;
std::condition_variable& g_cv = *new std::condition_variable;
int g_running = 0;

void SplitAge(const std::string& age, std::string* number, std::string* unit) {
  size_t blank = age.find(' ');
  if (blank == std::string::npos) {
    number->clear();
    unit->clear();
    return;
  }
  *number = age.substr(0, blank);
  *unit = age.substr(blank + 1);
}

std::string Trimmed(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// The unit code of a unit as the screen shows it (" years", " 个月" ...) or as it is stored.
std::string UnitCodeOfShown(const std::string& shown) {
  const std::string u = Trimmed(shown);
  if (u.empty()) return {};
  if (measurement::AgeFieldOfUnit(u) >= 0) return LisAgeUnit(u);
  for (int field = 0; field < 3; ++field)
    for (int language = 0; language < 5; ++language)
      for (bool header : {true, false})
        if (u == Trimmed(measurement::AgeSuffix(field, language, header)))
          return LisAgeUnit(measurement::AgeUnitWord(field, language));
  return u;
}

// The age number and unit code the LIS gets for a snapshot: the sample's stored row says
// (the screen's age text is in the words of the screen's language); a sample without a row
// goes with the shown text's number and the code of its unit word.
void AgeOfSnapshot(const measurement::HandOffSnapshot& s, std::string* number, std::string* unit) {
  int age = 0;
  std::string stored;
  CADOConn conn;
  const bool found = StoredAge(conn, s.sampleNo, s.testDate, &age, &stored);
  conn.Disconnect();
  if (found) {
    *number = std::to_string(age);
    *unit = stored;
    return;
  }
  SplitAge(s.age, number, unit);
  *unit = UnitCodeOfShown(*unit);
}
}  // namespace

void SnapshotToMessage(const measurement::HandOffSnapshot& s, SampleProfileRecord* p, SampleResultTexts* t) {
  *p = SampleProfileRecord{};
  p->sampleNo = CutChars(s.sampleNo, 50);
  p->testDateTime = CutChars(s.testDate + " " + s.testTime, 20);
  p->name = CutChars(s.name, 50);
  p->sex = CutChars(s.sex, 20);
  std::string number, unit;
  SplitAge(s.age, &number, &unit);
  unit = UnitCodeOfShown(unit);
  p->age = number.empty() ? 0 : std::atoi(number.c_str());
  p->ageUnit = CutChars(unit, 20);
  p->sampleType = CutChars(s.sampleType, 20);
  p->group = CutChars(s.referGroup, 50);
  p->medicalNo = CutChars(s.medicalNo, 20);
  p->bedNo = CutChars(s.bedNo, 20);
  p->dept = CutChars(s.dept, 20);
  p->applicant = CutChars(s.sender, 20);
  p->inspector = CutChars(s.scrutator, 20);
  p->verifier = CutChars(s.checker, 20);
  for (int i = 0; i < 20; ++i) {
    std::string v = s.values[i];
    if (!v.empty() && (v[0] == '*' || v[0] == 'e' || v[0] == 'E' || v[0] == '!')) v.erase(0, 1);
    std::string u = s.units[i];
    for (char& c : u)
      if (c == '^') c = 'x';
    t->values[i] = CutChars(v, 15);
    t->units[i] = CutChars(u, 15);
    t->ranges[i] = CutChars(s.ranges[i], 15);
    t->flags[i] = CutChars(s.flags[i], 15);
  }
}

void LogUnsentSample(const measurement::HandOffSnapshot& s, const std::string& reason, int language) {
  const std::string event = LisText(SendText::LogEvent, language);
  const std::string what = PickText(language, "样本 %s (%s) 未发送：", "Sample %s (%s) not sent: ",
                                    "Muestra %s (%s) no enviada: ", "Échantillon %s (%s) non envoyé : ",
                                    "Проба %s (%s) не надіслана: ");
  std::string result = what;
  for (const std::string& part : {s.sampleNo, s.testDate}) {
    const size_t at = result.find("%s");
    if (at != std::string::npos) result.replace(at, 2, part);
  }
  result += reason;
  sys::DebugOutput("LIS: " + result);
  CADOConn conn;
  WriteSysLog(conn, event, result);
  conn.Disconnect();
}

SendResult SendResultNetwork(const measurement::HandOffSnapshot& s) {
  SendResult r;
  if (LisLinkState.LisConnected.load() != 1) {
    r.outcome = SendOutcome::NotConnected;
  } else {
    SampleProfileRecord p;
    SampleResultTexts t;
    SnapshotToMessage(s, &p, &t);
    std::string number, unit;
    AgeOfSnapshot(s, &number, &unit);
    p.age = number.empty() ? 0 : std::atoi(number.c_str());
    p.ageUnit = CutChars(unit, 20);
    r = SendLisMessage(BuildSampleResult(p, t), ReplyWaitMs());
  }
  NoteAutomaticSend(r);
  const int language = AppSettings.LanguageIndex;
  if (!r.delivered()) LogUnsentSample(s, SendOutcomeText(r, language), language);
  return r;
}

bool SendResultSerial(const measurement::HandOffSnapshot& s, analyzer::CSerialPort& port, int language) {
  SampleRecordFields f;
  f.sampleNo = s.sampleNo;
  f.testDate = s.testDate;
  f.testTime = s.testTime;
  f.name = s.name;
  f.sex = s.sex;
  AgeOfSnapshot(s, &f.age, &f.ageUnit);
  f.ageUnit = SerialAgeUnit(f.ageUnit, language);
  f.sampleType = s.sampleType;
  f.group = s.referGroup;
  f.medicalNo = s.medicalNo;
  f.bedNo = s.bedNo;
  f.dept = s.dept;
  f.sender = s.sender;
  f.scrutator = s.scrutator;
  f.checker = s.checker;
  for (int i = 0; i < 20; ++i) {
    f.values[i] = s.values[i];
    f.units[i] = s.units[i];
  }
  // The port is shared with the test screen under its lock: a LIS that stopped reading holds
  // a record here for a few seconds at most (the sample is then in the system log).
  const int patience = std::min(SerialPatienceMs(), kAutomaticPatienceMs);
  auto put = [&](const std::string& record) { return QueueRecord(port, record, patience); };
  bool ok = put(SampleRecord(f).WithChecksum(language));
  sys::Clock::SleepMs(100);
  ok = ok && put(kTransferFinish);
  sys::Clock::SleepMs(200);
  ok = ok && put(HistogramRecord(s.sampleNo, s.testDate, 1, {s.lines[0], s.lines[1], s.lines[2], s.lines[3]},
                                               s.curves[0], 256).WithChecksum(language));
  ok = ok && put(HistogramRecord(s.sampleNo, s.testDate, 2, {s.lines[4], s.lines[5]}, s.curves[1], 256)
                                   .WithChecksum(language));
  sys::Clock::SleepMs(200);
  ok = ok && put(HistogramRecord(s.sampleNo, s.testDate, 3, {s.lines[6], s.lines[7]}, s.curves[2], 128)
                                   .WithChecksum(language));
  sys::Clock::SleepMs(100);
  ok = ok && put(WarningRecord(s.warning).Plain(language));
  sys::Clock::SleepMs(100);
  ok = ok && put(kTransferFinish);
  return ok;
}

bool StartAutomaticSend(const measurement::HandOffSnapshot& s) {
  const int kind = LisLinkState.LinkKind;
  if (kind != 0 && kind != 1) return false;
  {
    std::lock_guard<std::mutex> g(g_mutex);
    ++g_running;
  }
  const int language = AppSettings.LanguageIndex;
  std::thread([s, kind, language] {
    if (kind == 1) {
      SendResultNetwork(s);
    } else {
      std::lock_guard<std::mutex> port(measurement::LisSerialPortMutex);
      if (!measurement::LisSerialPort || !measurement::LisSerialPort->IsOpen())
        LogUnsentSample(s, LisText(SendText::PortNotOpen, language), language);
      else if (!SendResultSerial(s, *measurement::LisSerialPort, language))
        LogUnsentSample(s, LisText(SendText::SendFailed, language), language);
    }
    std::lock_guard<std::mutex> g(g_mutex);
    --g_running;
    g_cv.notify_all();
  }).detach();
  return true;
}

void WaitAutomaticSends() {
  std::unique_lock<std::mutex> l(g_mutex);
  g_cv.wait(l, [] { return g_running == 0; });
}

}  // namespace lis
