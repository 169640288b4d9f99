#include "tools/lissim/server.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>

namespace lissim {
namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::string Stamp() {
  std::time_t t = std::time(nullptr);
  char b[32];
  std::strftime(b, sizeof b, "%Y%m%d%H%M%S", std::localtime(&t));
  return b;
}

// The frame with its control bytes shown, one segment a line.
std::string Readable(const std::string& frame) {
  std::string out;
  for (char c : frame) {
    if (c == '\x0B') out += "<VT>";
    else if (c == '\x1C') out += "<FS>\n  ";
    else if (c == '\x0D') out += "<CR>";
    else out += c;
  }
  return out;
}

std::string Escape(const std::string& t) {
  std::string o;
  for (char c : t) {
    if (c == '|') o += "\\F\\";
    else if (c == '^') o += "\\S\\";
    else if (c == '\\') o += "\\E\\";
    else o += c;
  }
  return o;
}

}  // namespace

std::vector<std::vector<std::string>> SplitFrame(const std::string& frame) {
  std::vector<std::vector<std::string>> out;
  std::string body = frame;
  if (!body.empty() && body.front() == '\x0B') body.erase(0, 1);
  if (!body.empty() && body.back() == '\x0D') body.pop_back();
  size_t pos = 0;
  while (pos < body.size()) {
    size_t end = body.find('\x1C', pos);
    if (end == std::string::npos) end = body.size();
    std::string seg = body.substr(pos, end - pos);
    pos = end + 1;
    if (seg.size() < 3) continue;
    std::vector<std::string> f;
    const char sep = seg.size() > 3 ? seg[3] : '|';
    size_t a = 0;
    while (true) {
      size_t b = seg.find(sep, a);
      f.push_back(seg.substr(a, b == std::string::npos ? std::string::npos : b - a));
      if (b == std::string::npos) break;
      a = b + 1;
    }
    if (f[0] == "MSH") f.insert(f.begin() + 1, std::string(1, sep));
    out.push_back(f);
  }
  return out;
}

std::string Received::Field(const std::string& segment, size_t n) const {
  for (const auto& s : segments)
    if (!s.empty() && s[0] == segment) return n < s.size() ? s[n] : std::string();
  return std::string();
}

Server::Server() = default;
Server::~Server() { Stop(); }

bool Server::Start(uint16_t port) {
  if (!listener_.Listen("127.0.0.1", port).ok()) return false;
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void Server::Stop() {
  stop_ = true;
  listener_.Shutdown();
  {
    std::lock_guard<std::mutex> g(mutex_);
    if (current_) current_->Shutdown();
  }
  if (thread_.joinable()) thread_.join();
  listener_.Close();
}

void Server::SetDefault(const Behaviour& b) {
  std::lock_guard<std::mutex> g(mutex_);
  default_ = b;
}
void Server::Queue(const Behaviour& b) {
  std::lock_guard<std::mutex> g(mutex_);
  queue_.push_back(b);
}
void Server::AddProfile(const std::string& sampleNo, const Profile& p) {
  std::lock_guard<std::mutex> g(mutex_);
  profiles_[sampleNo] = p;
}
void Server::SetLog(const std::string& path, bool echo) {
  std::lock_guard<std::mutex> g(mutex_);
  logPath_ = path;
  echo_ = echo;
}
std::vector<Received> Server::Messages() const {
  std::lock_guard<std::mutex> g(mutex_);
  return messages_;
}
size_t Server::MessageCount() const {
  std::lock_guard<std::mutex> g(mutex_);
  return messages_.size();
}
void Server::ClearMessages() {
  std::lock_guard<std::mutex> g(mutex_);
  messages_.clear();
}
bool Server::WaitForMessages(size_t n, int timeoutMs) const {
  std::unique_lock<std::mutex> l(mutex_);
  return cv_.wait_for(l, std::chrono::milliseconds(timeoutMs), [&] { return messages_.size() >= n; });
}

void Server::Run() {
  while (!stop_) {
    net::TcpClient c;
    net::Status st = listener_.Accept(&c, 200);
    if (!st.ok()) continue;
    ++connections_;
    {
      std::lock_guard<std::mutex> g(mutex_);
      current_ = &c;
    }
    Serve(c);
    {
      std::lock_guard<std::mutex> g(mutex_);
      current_ = nullptr;
    }
  }
}

void Server::Serve(net::TcpClient& c) {
  std::string buffer;
  char buf[4096];
  while (!stop_ && c.IsConnected()) {
    if (!reading_) {
      Pause(20);
      continue;
    }
    net::IoResult r = c.Receive(buf, sizeof buf, 200);
    if (r.count > 0) buffer.append(buf, r.count);
    if (!r.ok() && !r.timedOut()) break;
    while (true) {
      size_t s = buffer.find('\x0B');
      if (s == std::string::npos) {
        buffer.clear();
        break;
      }
      size_t e = buffer.find('\x0D', s);
      if (e == std::string::npos) {
        buffer.erase(0, s);
        break;
      }
      Received m;
      m.bytes = buffer.substr(s, e - s + 1);
      buffer.erase(0, e + 1);
      m.segments = SplitFrame(m.bytes);
      m.type = m.Field("MSH", 9);
      m.controlId = m.Field("MSH", 10);
      std::string logPath;
      bool echo;
      {
        std::lock_guard<std::mutex> g(mutex_);
        messages_.push_back(m);
        logPath = logPath_;
        echo = echo_;
      }
      cv_.notify_all();
      if (!logPath.empty()) {
        std::ofstream log(logPath, std::ios::app);
        log << Stamp() << " " << m.type << " " << m.controlId << "\n  " << Readable(m.bytes) << "\n";
      }
      if (echo) std::cout << "lissim: " << m.type << " " << m.controlId << " (" << m.bytes.size() << " bytes)" << std::endl;
      Answer(c, m);
      if (!c.IsConnected()) return;
    }
  }
}

void Server::Answer(net::TcpClient& c, const Received& m) {
  Behaviour b;
  Profile profile;
  bool haveProfile = false;
  int n;
  {
    std::lock_guard<std::mutex> g(mutex_);
    if (!queue_.empty()) {
      b = queue_.front();
      queue_.pop_front();
    } else {
      b = default_;
    }
    if (m.type == "ORM^O01") {
      auto it = profiles_.find(m.Field("ORC", 3));
      if (it != profiles_.end()) {
        profile = it->second;
        haveProfile = true;
      }
    }
    n = ++replyCounter_;
  }
  if (b.mode == AckMode::Reset) {
    c.Abort();
    return;
  }
  if (b.mode == AckMode::None) return;
  const bool cut = b.mode == AckMode::Cut || b.mode == AckMode::Close;
  if (b.delayMs > 0) Pause(b.delayMs);
  const bool query = m.type == "ORM^O01";
  std::string msa;
  switch (b.mode) {
    case AckMode::Cut:
    case AckMode::Close:
    case AckMode::Accept: msa = "MSA|AA|" + m.controlId; break;
    case AckMode::Error: msa = "MSA|AE|" + m.controlId + "||||" + b.condition; break;
    case AckMode::Reject: msa = "MSA|AR|" + m.controlId + "||||" + b.condition; break;
    case AckMode::WrongId: msa = "MSA|AA|" + m.controlId + "9"; break;
    default: break;
  }
  if (query && !haveProfile && (b.mode == AckMode::Accept || cut)) msa = "MSA|AE|" + m.controlId + "||||100";
  std::string reply = "\x0BMSH|^~\\&|LISSIM|LAB|||" + Stamp() + "||" + (query ? "ORR^O02" : "ACK^R01") + "|" +
                      std::to_string(n) + "|P|2.3.1\x1C" + msa + "\x1C";
  if (query && haveProfile) {
    const Profile& p = profile;
    auto Text = [&p](const std::string& t) { return p.raw ? t : Escape(t); };
    reply += "PID|1|" + Text(p.replySampleNo ? *p.replySampleNo : m.Field("ORC", 3)) + "|||" + Text(p.name) + "|||" +
             Text(p.sex) + "|||||||" + Text(p.age) + "\x1C";
    reply += "OBR|1||||||" + Text(p.testDateTime) + "||||||||" + Text(p.sender) + "|" + Text(p.dept) + "||" +
             Text(p.medicalNo) + "|" + Text(p.bedNo) + "|" + Text(p.scrutator) + "|" + Text(p.checker) +
             "|||||" + Text(p.sampleType) + "||" + Text(p.group) + "\x1C";
  }
  reply += "\x0D";
  if (cut) {
    c.Send(reply.substr(0, reply.size() / 2), 2000);
    Pause(30);
    if (b.mode == AckMode::Cut) c.Abort();
    else c.Close();
    return;
  }
  if (b.split) {
    const size_t a = reply.size() / 3, d = 2 * reply.size() / 3;
    c.Send(reply.substr(0, a), 2000);
    Pause(30);
    c.Send(reply.substr(a, d - a), 2000);
    Pause(30);
    c.Send(reply.substr(d), 2000);
  } else {
    c.Send(reply, 2000);
  }
  if (b.repeatAfterMs >= 0) {
    Pause(b.repeatAfterMs);
    c.Send(reply, 2000);
  }
}

}  // namespace lissim
