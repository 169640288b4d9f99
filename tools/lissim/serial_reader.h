#pragma once
// The LIS end of the serial link on a pseudo-terminal: the program opens the slave side as its
// LIS port (QUORVEX_COM1); a thread collects what arrives on the master side, and the stream is
// cut into the text records by their kinds' field counts (the records carry no delimiter).
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial/pty.h"

namespace lissim {

struct TextRecord {
  std::string prefix;               // "R", "W", "M", "LJR", ..., or "TRANSFER FINISH"
  std::vector<std::string> fields;  // the fields after the prefix (the checksum last when the kind has one)
  std::string bytes;                // the record as received
};

// Cuts a stream of records: "TRANSFER FINISH" stands alone; "R" has 76 fields, "W" 3 + lines
// (4 for kind 1, else 2) + 256 + 1, "M" 1, "LJR"/"XRR" 44, "XBR" 43; an unknown prefix takes the
// rest of the stream.
std::vector<TextRecord> SplitRecords(const std::string& stream);
// The checksum of a record as the receiver checks it: the bytes before the checksum field.
unsigned SumBeforeChecksum(const TextRecord& r);

class SerialReader {
 public:
  SerialReader() = default;
  ~SerialReader();
  bool Start(const std::string& linkPath = std::string());
  void Stop();
  const std::string& SlavePath() const { return pty_.SlavePath(); }
  std::string Bytes() const;
  std::vector<TextRecord> Records() const { return SplitRecords(Bytes()); }
  // While paused nothing is read: the line fills up and the sender's writes stall, as with a
  // LIS that stopped reading.
  void SetPaused(bool paused) { paused_ = paused; }
  // Waits (real time) until n records arrived.
  bool WaitForRecords(size_t n, int timeoutMs) const;

 private:
  serial::PtyPair pty_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> paused_{false};
  mutable std::mutex mutex_;
  std::string bytes_;
};

}  // namespace lissim
