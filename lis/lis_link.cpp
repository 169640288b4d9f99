#include "lis/lis_link.h"

#include "core/person_row.h"
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
#include "platform/db/sql_text.h"
#include "platform/net/tcp_client.h"
#include "platform/sys/clock.h"
#include "platform/sys/debug_output.h"
#include "platform/sys/host.h"

namespace lis {
namespace {

net::TcpClient g_client;
std::mutex g_sendMutex;  // one message's pieces at a time on the socket

// Replies awaited by senders, by control id.
struct Pending {
  bool done = false;
  int code = 0;
};
std::mutex g_replyMutex;
std::condition_variable g_replyCv;
std::map<std::string, Pending> g_pending;
std::deque<std::string> g_order;   // waiting ids, oldest first
std::deque<std::string> g_recent;  // ids sent without a wait or given up on
uint64_t g_dropCount = 0;          // bumps whenever the connection goes down
std::string g_lastQueryId;
SendResult g_lastAuto;
LinkCounters g_counters;

std::mutex g_assemblerMutex;
ReplyAssembler g_assembler;

// Threads.
std::mutex g_threadMutex;
std::condition_variable g_threadCv;
bool g_stop = false;
bool g_running = false;
std::thread g_threads[3];
int g_pollMs = 1000;

void Remember(const std::string& id) {
  g_recent.push_back(id);
  while (g_recent.size() > 256) g_recent.pop_front();
}

bool IsRecent(const std::string& id) {
  for (const auto& r : g_recent)
    if (r == id) return true;
  return false;
}

// Sleeps up to ms; false when the threads are to stop.
bool Nap(int ms) {
  std::unique_lock<std::mutex> l(g_threadMutex);
  g_threadCv.wait_for(l, std::chrono::milliseconds(ms), [] { return g_stop; });
  return !g_stop;
}

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
  std::lock_guard<std::mutex> g(g_assemblerMutex);
  g_assembler.Clear();
}

void NetworkConfigThread() {
  while (!Stopping()) {
    if (LisLinkState.ApplyPending.load() == 1) {
      std::vector<std::string> adapters = sys::NetworkAdapterNames();
      if (adapters.empty()) adapters.push_back(std::string());
      for (const std::string& a : adapters) {
        if (ApplyNetworkSettings(a, LisLinkState.OwnAddress, LisLinkState.SubnetMask, LisLinkState.Gateway,
                                 LisLinkState.AddressMode)) {
          LisLinkState.NetworkReady = 1;
          LisLinkState.ApplyPending = 0;
          break;
        }
      }
    }
    if (!Nap(g_pollMs)) break;
  }
}

void LisConnectThread() {
  while (!Stopping()) {
    const std::string server = LisLinkState.ServerAddress;
    const int port = LisLinkState.ServerPort;
    if (LisLinkState.LisConnected.load() == 1 || LisLinkState.NetworkReady.load() == 0 || server.empty() ||
        server == "0.0.0.0" || port < 1 || port > 65535) {
      if (!Nap(g_pollMs)) break;
      continue;
    }
    // Every attempt makes a new socket (Connect drops the old one first).
    net::Status st = g_client.Connect(server, static_cast<uint16_t>(port), 2000);
    if (st.ok()) {
      LisLinkState.LisSocket = g_client.Fd();
      LisLinkState.LisConnected = 1;
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
      if (!Nap(50)) break;
      continue;
    }
    net::IoResult r = g_client.Receive(buf, sizeof buf, -1);
    if (r.count > 0) OnLisData(std::string_view(buf, r.count));
    if (r.error != net::Error::None && r.error != net::Error::TimedOut) MarkDown();
  }
}

void HandleAck(const std::string& frame) {
  HEALTH_LEVEL_7::Hl7Message m(frame);
  m.ParseMessage();
  const HEALTH_LEVEL_7::BaseSegment* msa = m.FindSegment("MSA");
  const std::string id = msa ? HEALTH_LEVEL_7::UnescapeText(msa->FieldText(1)) : std::string();
  {
    std::lock_guard<std::mutex> g(g_replyMutex);
    ++g_counters.acks;
    auto it = g_pending.find(id);
    if (it != g_pending.end() && !it->second.done) {
      it->second.done = true;
      it->second.code = HandleAckReply(frame, id);
    } else if (!IsRecent(id)) {
      // An acknowledgement naming no message we sent: the oldest waiting sender hears of it.
      for (const std::string& w : g_order) {
        Pending& p = g_pending[w];
        if (p.done) continue;
        p.done = true;
        p.code = msa ? 2 : 1;
        break;
      }
    }
  }
  g_replyCv.notify_all();
  LisLinkState.LisReplyEvent.Set();
}

void HandlePatient(const std::string& frame) {
  std::string queryId;
  {
    std::lock_guard<std::mutex> g(g_replyMutex);
    ++g_counters.patientReplies;
    queryId = g_lastQueryId;
  }
  if (HandleAckReply(frame, queryId) != kAckAccepted) return;
  measurement::SampleProfileRecord r;
  if (!ReadPatientReply(frame, queryId, &r, AppSettings.LanguageIndex)) return;
  if (r.age == -1) r.age = 0;
  const int mode = LisLinkState.LisQueryMode.load();
  if (mode == 1) ShowLisProfileFromLis(r);
  else if (mode == 2) StoreLisProfile(r);
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
    if (waitMs > 0) {
      g_pending[id] = Pending{};
      g_order.push_back(id);
    } else {
      Remember(id);
    }
  }
  auto forget = [&](bool remember) {
    g_pending.erase(id);
    for (auto it = g_order.begin(); it != g_order.end(); ++it)
      if (*it == id) {
        g_order.erase(it);
        break;
      }
    if (remember) Remember(id);
  };
  if (!SendToLis(message)) {
    std::lock_guard<std::mutex> g(g_replyMutex);
    forget(true);
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
  forget(!p.done);
  if (!p.done) {
    res.outcome = SendOutcome::NoReply;
    return res;
  }
  res.ackCode = p.code;
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

void ShowLisProfileFromLis(const measurement::SampleProfileRecord& r) { measurement::ShowLisProfile(r); }

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
  std::lock_guard<std::mutex> g(g_replyMutex);
  ++g_dropCount;
  g_replyCv.notify_all();
}

void NoteOrderQuery(const std::string& controlId) {
  std::lock_guard<std::mutex> g(g_replyMutex);
  g_lastQueryId = controlId;
  Remember(controlId);
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

void InstallLinkHooks();
void RemoveLinkHooks();

void StartLisThreads() {
  {
    std::lock_guard<std::mutex> l(g_threadMutex);
    if (g_running) return;
    g_stop = false;
    g_running = true;
  }
  InstallLinkHooks();
  g_threads[0] = std::thread(NetworkConfigThread);
  g_threads[1] = std::thread(LisConnectThread);
  g_threads[2] = std::thread(LisReceiveThread);
}

void StopLisThreads() {
  {
    std::lock_guard<std::mutex> l(g_threadMutex);
    if (!g_running) return;
    g_stop = true;
  }
  g_threadCv.notify_all();
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
