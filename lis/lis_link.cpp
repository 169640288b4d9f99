#include "lis/lis_link.h"

#include "core/person_row.h"
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "core/ado_conn.h"
#include "core/app_settings.h"
#include "core/lis_link_state.h"
#include "lis/hl7_messages.h"
#include "lis/reply_assembler.h"
#include "lis/text_cut.h"
#include "platform/db/sql_text.h"
#include "platform/net/tcp_client.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/host.h"
#include "platform/ui/app.h"

namespace lis {
namespace {

// What the link's threads use lives as long as the process. `exit` while they run (called by a
// library, as Xlib does when the display goes away) runs the static destructors: a condition
// variable destroyed under a waiting thread would keep exit from ever ending, a socket or a
// queue destroyed under a working one is freed memory, a joinable thread destroyed aborts.
template <class T>
T& Lasting() {
  return *new T();
}

net::TcpClient& g_client = Lasting<net::TcpClient>();
std::mutex& g_sendMutex = Lasting<std::mutex>();  // one message's pieces at a time on the socket

// Replies awaited by senders, by control id.
struct Pending {
  bool done = false;
  int code = 0;
  std::string condition;  // MSA-6 of an AE or AR
};
std::mutex& g_replyMutex = Lasting<std::mutex>();
std::condition_variable& g_replyCv = Lasting<std::condition_variable>();
std::map<std::string, Pending>& g_pending = Lasting<std::map<std::string, Pending>>();
uint64_t g_dropCount = 0;          // bumps whenever the connection goes down
std::string& g_lastQueryId = Lasting<std::string>();
std::string& g_lastQuerySampleNo = Lasting<std::string>();  // the sample number of that query, as the query carried it
SendResult& g_lastAuto = Lasting<SendResult>();
LinkCounters g_counters;

std::mutex& g_assemblerMutex = Lasting<std::mutex>();
ReplyAssembler& g_assembler = Lasting<ReplyAssembler>();

// Threads.
std::mutex& g_threadMutex = Lasting<std::mutex>();
std::condition_variable& g_threadCv = Lasting<std::condition_variable>();
bool g_stop = false;
bool g_running = false;
std::array<std::thread, 4>& g_threads = Lasting<std::array<std::thread, 4>>();

// Alarm messages and order queries wait here for the link's sender, so that the thread writing
// a log line or asking for a patient (often the UI thread) never waits on the socket.
constexpr size_t kMaxQueuedAlarms = 256;
struct Outgoing {
  LisMessage message;
  bool alarm = true;
};
std::mutex& g_alarmMutex = Lasting<std::mutex>();
std::condition_variable& g_alarmCv = Lasting<std::condition_variable>();
std::deque<Outgoing>& g_alarms = Lasting<std::deque<Outgoing>>();
bool g_alarmStop = false;
int g_pollMs = 1000;

// An id as received, for the log: bytes outside printable ASCII as \xNN, at most 40 of them.
std::string ReadableId(const std::string& id) {
  std::string out;
  for (size_t i = 0; i < id.size() && i < 40; ++i) {
    const unsigned char c = static_cast<unsigned char>(id[i]);
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char b[8];
      std::snprintf(b, sizeof b, "\\x%.2X", c);
      out += b;
    }
  }
  if (id.size() > 40) out += "...";
  return out;
}

// Sleeps up to ms; false when the threads are to stop.
bool Nap(int ms) {
  std::unique_lock<std::mutex> l(g_threadMutex);
  g_threadCv.wait_for(l, std::chrono::milliseconds(ms), [] { return g_stop; });
  return !g_stop;
}

// Sleeps until `ready` holds (or the threads are to stop), with no time limit: an idle link
// does not wake its threads for nothing. Whatever changes what the threads wait for tells them
// through WakeLinkThreads. False when the threads are to stop.
template <class Ready>
bool AwaitChange(Ready ready) {
  std::unique_lock<std::mutex> l(g_threadMutex);
  g_threadCv.wait(l, [&] { return g_stop || ready(); });
  return !g_stop;
}

// Tells the waiting threads that the link's state changed. The lock is taken first, so that a
// thread between its look at the state and its wait cannot miss the change.
void WakeLinkThreads() {
  { std::lock_guard<std::mutex> l(g_threadMutex); }
  g_threadCv.notify_all();
}

bool Connected() { return LisLinkState.LisConnected.load() == 1; }

bool Stopping() {
  std::lock_guard<std::mutex> l(g_threadMutex);
  return g_stop;
}

void MarkDown() {
  LisLinkState.LisConnected = 0;
  g_client.Close();
  LisLinkState.LisSocket = -1;
  {
    std::lock_guard<std::mutex> g(g_replyMutex);
    ++g_dropCount;
  }
  g_replyCv.notify_all();
  WakeLinkThreads();  // the connect thread waits for the link to go down
  std::lock_guard<std::mutex> g(g_assemblerMutex);
  g_assembler.Clear();
}

void NetworkConfigThread() {
  while (!Stopping()) {
    if (LisLinkState.ApplyPending.load() == 1) {
      const LisLinkStateValues::AddressSettings s = LisLinkState.Addresses();
      std::vector<std::string> adapters = sys::NetworkAdapterNames();
      if (adapters.empty()) adapters.push_back(std::string());
      for (const std::string& a : adapters) {
        if (ApplyNetworkSettings(a, s.own, s.mask, s.gateway, s.mode)) {
          LisLinkState.NetworkReady = 1;
          LisLinkState.ApplyPending = 0;
          WakeLinkThreads();  // the connect thread waits for the network
          break;
        }
      }
    }
    // Settings that could not be applied are tried again after the poll interval; otherwise
    // nothing is to be done until new settings are pending.
    if (LisLinkState.ApplyPending.load() == 1) {
      if (!Nap(g_pollMs)) break;
    } else if (!AwaitChange([] { return LisLinkState.ApplyPending.load() == 1; })) {
      break;
    }
  }
}

void LisConnectThread() {
  while (!Stopping()) {
    const LisLinkStateValues::AddressSettings s = LisLinkState.Addresses();
    const std::string& server = s.server;
    const int port = s.port;
    // Connected, or the network not ready: nothing to do until that changes (MarkDown,
    // DropLisConnection and the network thread tell). No server: the settings screen names one
    // through DropLisConnection.
    if (Connected()) {
      if (!AwaitChange([] { return !Connected(); })) break;
      continue;
    }
    if (LisLinkState.NetworkReady.load() == 0) {
      if (!AwaitChange([] { return LisLinkState.NetworkReady.load() != 0; })) break;
      continue;
    }
    if (server.empty() || server == "0.0.0.0" || port < 1 || port > 65535) {
      if (!AwaitChange([s] {
            const LisLinkStateValues::AddressSettings now = LisLinkState.Addresses();
            return now.server != s.server || now.port != s.port || LisLinkState.NetworkReady.load() == 0;
          }))
        break;
      continue;
    }
    // Every attempt makes a new socket (Connect drops the old one first).
    net::Status st = g_client.Connect(server, static_cast<uint16_t>(port), 2000);
    if (st.ok()) {
      LisLinkState.LisSocket = g_client.Fd();
      {
        std::lock_guard<std::mutex> l(g_threadMutex);
        LisLinkState.LisConnected = 1;
      }
      g_threadCv.notify_all();  // the receive thread waits for it
      std::lock_guard<std::mutex> g(g_replyMutex);
      ++g_counters.connects;
    } else {
      LisLinkState.LisConnected = 0;
    }
    if (!Nap(st.ok() ? 10 : g_pollMs)) break;
  }
}

void LisReceiveThread() {
  char buf[1024];
  while (!Stopping()) {
    if (LisLinkState.LisConnected.load() == 0) {
      if (!AwaitChange(Connected)) break;
      continue;
    }
    net::IoResult r = g_client.Receive(buf, sizeof buf, -1);
    if (r.count > 0) OnLisData(std::string_view(buf, r.count));
    if (r.error != net::Error::None && r.error != net::Error::TimedOut) MarkDown();
  }
}

void AlarmSenderThread() {
  for (;;) {
    LisMessage m;
    {
      std::unique_lock<std::mutex> l(g_alarmMutex);
      g_alarmCv.wait(l, [] { return g_alarmStop || !g_alarms.empty(); });
      if (g_alarmStop) return;
      m = std::move(g_alarms.front().message);
      g_alarms.pop_front();
    }
    SendLisMessage(m, 0);  // a link that is down sends nothing, as for every alarm and query
  }
}

void HandleAck(const std::string& frame) {
  HEALTH_LEVEL_7::Hl7Message m(frame);
  m.ParseMessage();
  const HEALTH_LEVEL_7::BaseSegment* msa = m.FindSegment("MSA");
  const std::string id = msa ? HEALTH_LEVEL_7::UnescapeText(msa->FieldText(1)) : std::string();
  bool unknown = false;
  {
    std::lock_guard<std::mutex> g(g_replyMutex);
    ++g_counters.acks;
    auto it = g_pending.find(id);
    if (it != g_pending.end()) {
      // The first answer counts; a repeat for a message that has its answer is ignored.
      if (!it->second.done) {
        it->second.done = true;
        it->second.code = HandleAckReply(frame, id);
        if (it->second.code != kAckAccepted) it->second.condition = AckCondition(frame);
      }
    } else {
      unknown = true;
    }
  }
  if (unknown) {
    // An id no sender waits for (never sent, an alarm, one given up, or one with bytes no id of
    // ours has) proves nothing about any other message: it is only logged.
    sys::DebugOutput("LIS: acknowledgement for message '" + ReadableId(id) + "'" +
                     (msa ? std::string() : std::string(" (no MSA segment)")) + ", which no sender waits for: ignored");
  }
  g_replyCv.notify_all();
  LisLinkState.LisReplyEvent.Set();
}

void HandlePatient(const std::string& frame) {
  std::string queryId, queriedNo;
  {
    std::lock_guard<std::mutex> g(g_replyMutex);
    ++g_counters.patientReplies;
    queryId = g_lastQueryId;
    queriedNo = g_lastQuerySampleNo;
  }
  if (HandleAckReply(frame, queryId) != kAckAccepted) return;
  measurement::SampleProfileRecord r;
  if (!ReadPatientReply(frame, queryId, &r, AppSettings.LanguageIndex)) return;
  // No age, or a negative one a LIS sent by mistake, is kept as an unknown age (0).
  if (r.age < 0) r.age = 0;
  const int mode = LisLinkState.LisQueryMode.load();
  if (mode == 1) {
    ShowLisProfileFromLis(r);  // the patient screen takes it only for the number it shows
  } else if (mode == 2) {
    // Stored only under the number that was asked for: the data of another sample (or of no
    // sample) must never land in a row.
    if (r.sampleNo != queriedNo) {
      sys::DebugOutput("LIS: patient data for sample '" + r.sampleNo + "' answered the query for sample '" +
                       queriedNo + "': not stored");
      return;
    }
    StoreLisProfile(r);
  }
}

std::string Today() {
  sys::LocalTime t = sys::Clock::Now();
  char b[32];
  std::snprintf(b, sizeof b, "%d-%.2d-%.2d", t.year, t.month, t.day);
  return b;
}

}  // namespace

void SetLisLinkPollMs(int ms) { g_pollMs = ms > 0 ? ms : 1000; }

bool ApplyNetworkSettings(const std::string& adapter, const std::string& ip, const std::string& mask,
                          const std::string& gateway, int addressMode) {
  sys::NetworkAddress a;
  a.dhcp = addressMode != 0;
  a.ip = ip;
  a.mask = mask;
  a.gateway = gateway;
  a.adapter = adapter;
  std::string error;
  sys::HostResult r = sys::ApplyPcNetworkAddress(a, &error);
  if (r == sys::HostResult::kFailed) sys::DebugOutput("LIS address settings not applied: " + error);
  // Off the instrument's PC the PC's settings are not ours to change: they are as they are.
  return r != sys::HostResult::kFailed;
}

bool SendToLis(const LisMessage& message) {
  if (LisLinkState.LisConnected.load() != 1 || message.bytes.empty()) return false;
  std::lock_guard<std::mutex> send(g_sendMutex);
  if (LisLinkState.LisConnected.load() != 1) return false;
  LisLinkState.SetLastControlId(message.controlId);
  LisLinkState.LisReplyEvent.Reset();
  size_t off = 0;
  while (off < message.bytes.size()) {
    const size_t n = std::min<size_t>(1024, message.bytes.size() - off);
    net::IoResult r = g_client.Send(message.bytes.data() + off, n, 2000);
    if (!r.ok()) {
      // The stream is broken mid-message: drop the connection so the peer never reads the
      // start of this message glued to the next one; the threads reconnect.
      g_client.Shutdown();
      return false;
    }
    off += n;
  }
  return true;
}

SendResult SendLisMessage(const LisMessage& message, int waitMs) {
  SendResult res;
  if (LisLinkState.LisConnected.load() != 1) {
    res.outcome = SendOutcome::NotConnected;
    return res;
  }
  if (message.bytes.empty()) {
    res.outcome = SendOutcome::SendFailed;
    return res;
  }
  const std::string& id = message.controlId;
  uint64_t drops;
  {
    std::lock_guard<std::mutex> g(g_replyMutex);
    drops = g_dropCount;
    if (waitMs > 0) g_pending[id] = Pending{};
  }
  // Once forgotten, a late or repeated acknowledgement of this message is only logged.
  auto forget = [&] { g_pending.erase(id); };
  if (!SendToLis(message)) {
    std::lock_guard<std::mutex> g(g_replyMutex);
    forget();
    res.outcome = LisLinkState.LisConnected.load() == 1 ? SendOutcome::SendFailed : SendOutcome::NotConnected;
    return res;
  }
  if (waitMs <= 0) {
    res.outcome = SendOutcome::Sent;
    return res;
  }
  std::unique_lock<std::mutex> l(g_replyMutex);
  g_replyCv.wait_for(l, std::chrono::milliseconds(waitMs), [&] { return g_pending[id].done || g_dropCount != drops; });
  const Pending p = g_pending[id];
  const bool lost = g_dropCount != drops;
  forget();
  if (!p.done) {
    res.outcome = lost ? SendOutcome::LinkLost : SendOutcome::NoReply;
    return res;
  }
  res.ackCode = p.code;
  res.condition = p.condition;
  res.outcome = p.code == kAckAccepted ? SendOutcome::Delivered : SendOutcome::Rejected;
  return res;
}

void OnLisData(std::string_view bytes) {
  std::vector<std::string> frames;
  {
    std::lock_guard<std::mutex> g(g_assemblerMutex);
    frames = g_assembler.Feed(bytes);
  }
  for (const std::string& f : frames) {
    switch (ClassifyReply(f)) {
      case kReplyAck: HandleAck(f); break;
      case kReplyPatient: HandlePatient(f); break;
      default: {
        std::lock_guard<std::mutex> g(g_replyMutex);
        ++g_counters.dropped;
      }
    }
  }
}

void ShowLisProfileFromLis(const measurement::SampleProfileRecord& r) {
  // The profile is kept at once; finding the patient screen is the UI thread's own business.
  // The receive thread only posts it and never waits: the UI thread may itself be waiting for
  // an acknowledgement that this thread has yet to read.
  measurement::SetSharedSampleProfile(r);
  ui::PostToUiThread([r] { measurement::ShowLisProfile(r); });
}

bool StoreLisProfile(const measurement::SampleProfileRecord& r) {
  const std::string date = Today();
  sys::LocalTime t = sys::Clock::Now();
  char timeText[32];
  std::snprintf(timeText, sizeof timeText, "%.2d:%.2d:%.2d", t.hour, t.minute, t.second);
  // Stored as the screens store what is typed: every apostrophe as U+2018.
  auto q = [](const std::string& s) { return db::QuoteText(SqlSafeText(s)); };
  CADOConn conn;
  conn.Connect();
  RecordsetPtr& rs = conn.OpenRecordset(SelectPersonSql(r.sampleNo, date));
  const bool exists = conn.RecordsetOpen() && rs && !rs->IsEOF();
  conn.CloseRecordset();
  std::string sql;
  const std::string age = std::to_string(r.age);
  if (!exists) {
    sql = "insert into Person (SampleNo,TestDate,TestTime,Name,Sex,Age,AgeUnit,ReferValue,MedicalNo,BedNo,Dept,"
          "Sender,Scrutator,Checker) values (" +
          q(r.sampleNo) + "," + q(date) + "," + q(timeText) + "," + q(r.name) + "," + q(r.sex) + "," + age + "," +
          q(r.ageUnit) + "," + q(r.group) + "," + q(r.medicalNo) + "," + q(r.bedNo) + "," + q(r.dept) + "," +
          q(r.applicant) + "," + q(r.inspector) + "," + q(r.verifier) + ")";
  } else {
    sql = "update Person set Name=" + q(r.name) + ",Sex=" + q(r.sex) + ",Age=" + age + ",AgeUnit=" + q(r.ageUnit) +
          ",ReferValue=" + q(r.group) + ",MedicalNo=" + q(r.medicalNo) + ",BedNo=" + q(r.bedNo) +
          ",Dept=" + q(r.dept) + ",Sender=" + q(r.applicant) + ",Scrutator=" + q(r.inspector) +
          ",Checker=" + q(r.verifier) + " where SampleNo=" + q(r.sampleNo) + " and TestDate=" + q(date);
  }
  sys::DebugOutput(sql);
  const bool ok = conn.Execute(sql) == 1;
  conn.Disconnect();
  return ok;
}

void DropLisConnection(bool reapplyAddress) {
  LisLinkState.LisConnected = 0;
  if (reapplyAddress) {
    LisLinkState.NetworkReady = 0;
    LisLinkState.ApplyPending = 1;
  }
  g_client.Shutdown();  // wakes the receive thread, which closes the socket
  LisLinkState.LisSocket = -1;
  {
    std::lock_guard<std::mutex> g(g_replyMutex);
    ++g_dropCount;
  }
  g_replyCv.notify_all();
  WakeLinkThreads();  // new settings to apply, a (new) server to connect to
}

void NoteOrderQuery(const std::string& controlId, const std::string& sampleNo) {
  std::lock_guard<std::mutex> g(g_replyMutex);
  g_lastQueryId = controlId;
  g_lastQuerySampleNo = CutChars(sampleNo, 50);
}

void NoteAutomaticSend(const SendResult& r) {
  std::lock_guard<std::mutex> g(g_replyMutex);
  g_lastAuto = r;
}

SendResult LastAutomaticSend() {
  std::lock_guard<std::mutex> g(g_replyMutex);
  return g_lastAuto;
}

LinkCounters GetLinkCounters() {
  std::lock_guard<std::mutex> g(g_replyMutex);
  return g_counters;
}

void QueueAlarm(const AlarmRecord& record) {
  LisMessage m = BuildAlarmMessage(record);  // stamped now, sent in the order written
  std::lock_guard<std::mutex> l(g_alarmMutex);
  if (g_alarmStop) return;
  if (g_alarms.size() >= kMaxQueuedAlarms) {
    for (auto it = g_alarms.begin(); it != g_alarms.end(); ++it)
      if (it->alarm) {
        g_alarms.erase(it);
        sys::DebugOutput("LIS: alarm queue full, the oldest alarm is not sent");
        break;
      }
  }
  g_alarms.push_back({std::move(m), true});
  g_alarmCv.notify_one();
}

bool QueueOrderQuery(const std::string& sampleNo) {
  if (LisLinkState.LisConnected.load() != 1) return false;
  LisMessage m = BuildOrderQuery(sampleNo);
  {
    std::lock_guard<std::mutex> l(g_alarmMutex);
    if (g_alarmStop) return false;
    NoteOrderQuery(m.controlId, sampleNo);
    g_alarms.push_back({std::move(m), false});
  }
  g_alarmCv.notify_one();
  return true;
}

void InstallLinkHooks();
void RemoveLinkHooks();

void StartLisThreads() {
  {
    std::lock_guard<std::mutex> l(g_threadMutex);
    if (g_running) return;
    g_stop = false;
    g_running = true;
  }
  {
    std::lock_guard<std::mutex> l(g_alarmMutex);
    g_alarmStop = false;
    g_alarms.clear();
  }
  InstallLinkHooks();
  g_threads[0] = std::thread(NetworkConfigThread);
  g_threads[1] = std::thread(LisConnectThread);
  g_threads[2] = std::thread(LisReceiveThread);
  g_threads[3] = std::thread(AlarmSenderThread);
}

void StopLisThreads() {
  {
    std::lock_guard<std::mutex> l(g_threadMutex);
    if (!g_running) return;
    g_stop = true;
  }
  g_threadCv.notify_all();
  {
    std::lock_guard<std::mutex> l(g_alarmMutex);
    g_alarmStop = true;
    g_alarms.clear();
  }
  g_alarmCv.notify_all();
  g_client.Shutdown();
  for (auto& t : g_threads)
    if (t.joinable()) t.join();
  RemoveLinkHooks();
  MarkDown();
  std::lock_guard<std::mutex> l(g_threadMutex);
  g_running = false;
}

bool LisThreadsRunning() {
  std::lock_guard<std::mutex> l(g_threadMutex);
  return g_running;
}

}  // namespace lis
