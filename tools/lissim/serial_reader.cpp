#include "tools/lissim/serial_reader.h"

#include <chrono>

namespace lissim {
namespace {

// Takes `count` comma-ended fields from pos; false when the stream ends first.
bool TakeFields(const std::string& s, size_t& pos, size_t count, std::vector<std::string>& out) {
  for (size_t i = 0; i < count; ++i) {
    size_t c = s.find(',', pos);
    if (c == std::string::npos) return false;
    out.push_back(s.substr(pos, c - pos));
    pos = c + 1;
  }
  return true;
}

}  // namespace

std::vector<TextRecord> SplitRecords(const std::string& s) {
  std::vector<TextRecord> out;
  size_t pos = 0;
  static const std::string kFinish = "TRANSFER FINISH";
  while (pos < s.size()) {
    TextRecord r;
    const size_t start = pos;
    if (s.compare(pos, kFinish.size(), kFinish) == 0) {
      r.prefix = kFinish;
      pos += kFinish.size();
    } else {
      size_t c = s.find(',', pos);
      if (c == std::string::npos) break;
      r.prefix = s.substr(pos, c - pos);
      pos = c + 1;
      bool ok = true;
      if (r.prefix == "R") ok = TakeFields(s, pos, 76, r.fields);
      else if (r.prefix == "M") ok = TakeFields(s, pos, 1, r.fields);
      else if (r.prefix == "LJR" || r.prefix == "XRR") ok = TakeFields(s, pos, 44, r.fields);
      else if (r.prefix == "XBR") ok = TakeFields(s, pos, 43, r.fields);
      else if (r.prefix == "W") {
        ok = TakeFields(s, pos, 3, r.fields);
        if (ok) ok = TakeFields(s, pos, (r.fields[2] == "1" ? 4 : 2) + 256 + 1, r.fields);
      } else {
        ok = TakeFields(s, pos, static_cast<size_t>(-1) >> 1, r.fields) || true;
        pos = s.size();
      }
      if (!ok) break;
    }
    r.bytes = s.substr(start, pos - start);
    out.push_back(r);
  }
  return out;
}

unsigned SumBeforeChecksum(const TextRecord& r) {
  if (r.fields.empty()) return 0;
  const size_t len = r.bytes.size() - r.fields.back().size() - 1;
  unsigned sum = 0;
  for (size_t i = 0; i < len; ++i) sum = (sum + static_cast<unsigned char>(r.bytes[i])) & 0xFFFF;
  return sum;
}

SerialReader::~SerialReader() { Stop(); }

bool SerialReader::Start(const std::string& linkPath) {
  if (!pty_.Create().ok()) return false;
  if (!linkPath.empty()) pty_.LinkSlave(linkPath);
  stop_ = false;
  thread_ = std::thread([this] {
    char buf[4096];
    while (!stop_) {
      if (paused_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      serial::IoResult r = pty_.Master().Read(buf, sizeof buf, 100);
      if (r.count > 0) {
        std::lock_guard<std::mutex> g(mutex_);
        bytes_.append(buf, r.count);
      }
    }
  });
  return true;
}

void SerialReader::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  pty_.Close();
}

std::string SerialReader::Bytes() const {
  std::lock_guard<std::mutex> g(mutex_);
  return bytes_;
}

bool SerialReader::WaitForRecords(size_t n, int timeoutMs) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (Records().size() >= n) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return Records().size() >= n;
}

}  // namespace lissim
