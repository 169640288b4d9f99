#pragma once
// A LIS host on loopback for trying Quorvex and for the tests: it accepts the instrument's TCP
// connection, reads its framed HL7 messages (0x0B, segments each ended by 0x1C, 0x0D), logs
// every message and answers as told: an acknowledgement AA, AE or AR, one naming another
// control id, none at all, late, split over several writes, or a connection reset. An order
// query (ORM^O01) is answered with the patient profile kept for its sample number (ORR^O02).
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/net/tcp_client.h"
#include "platform/net/tcp_listener.h"

namespace lissim {

// Cut: the first part of the reply, then a connection reset; Close: the first part, then an
// orderly close.
enum class AckMode { Accept, Error, Reject, WrongId, None, Reset, Cut, Close };

struct Behaviour {
  AckMode mode = AckMode::Accept;
  std::string condition;  // MSA-6 of AE / AR ("100", "200" ...)
  int delayMs = 0;        // wait before answering
  bool split = false;     // answer in three writes with pauses between them
  int repeatAfterMs = -1; // >= 0: the same answer once more, that long after the first
};

// A patient profile for order queries (texts as the LIS stores them).
struct Profile {
  std::string name, sex, age;  // age as PID-15, e.g. "35Y"
  std::string testDateTime, sender, dept, medicalNo, bedNo, scrutator, checker, sampleType, group;
  // PID-2 of the answer: the sample number queried unless set.
  std::optional<std::string> replySampleNo;
  // The texts go as they stand, not escaped (to send bytes an LIS should not).
  bool raw = false;
};

// One message received.
struct Received {
  std::string type;       // MSH-9
  std::string controlId;  // MSH-10
  std::string bytes;      // the whole frame as received
  std::vector<std::vector<std::string>> segments;  // fields by position, [0] the name (MSH: [1] "|")
  // Field n of the first segment of that name, "" when absent.
  std::string Field(const std::string& segment, size_t n) const;
};

// Splits a frame into segments and fields as any HL7 reader does.
std::vector<std::vector<std::string>> SplitFrame(const std::string& frame);

class Server {
 public:
  Server();
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Listens on 127.0.0.1 (port 0 picks a free one) and starts serving.
  bool Start(uint16_t port = 0);
  void Stop();
  uint16_t Port() const { return listener_.Port(); }

  // How the next messages are answered: queued behaviours first, one per message, then the
  // default.
  void SetDefault(const Behaviour& b);
  void Queue(const Behaviour& b);
  void AddProfile(const std::string& sampleNo, const Profile& p);
  // Appends every received message to this file (and writes a line per message to stdout when
  // echo is on).
  void SetLog(const std::string& path, bool echo);

  std::vector<Received> Messages() const;
  size_t MessageCount() const;
  // Waits (real time) until at least n messages arrived.
  bool WaitForMessages(size_t n, int timeoutMs) const;
  // While not reading, nothing is read from the connection: the instrument's writes fill the
  // line and stall, as with a LIS that hangs.
  void SetReading(bool reading) { reading_ = reading; }
  // Connections accepted so far.
  int Connections() const { return connections_.load(); }
  void ClearMessages();

 private:
  void Run();
  void Serve(net::TcpClient& c);
  void Answer(net::TcpClient& c, const Received& m);

  net::TcpListener listener_;
  net::TcpClient* current_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::atomic<bool> reading_{true};
  mutable std::mutex mutex_;
  mutable std::condition_variable cv_;
  std::vector<Received> messages_;
  std::deque<Behaviour> queue_;
  Behaviour default_;
  std::map<std::string, Profile> profiles_;
  std::string logPath_;
  bool echo_ = false;
  int replyCounter_ = 0;
};

}  // namespace lissim
