#include "measurement/trace_records.h"

#include <cstdio>
#include <mutex>

#include "analyzer/serial_trace.h"
#include "platform/sys/clock.h"
#include "platform/sys/file_io.h"
#include "platform/sys/program_dir.h"

namespace measurement {
namespace {

std::mutex g_lock;

bool AppendRecord(const std::string& body, const std::string& fileName, int received) {
  const sys::LocalTime t = sys::Clock::Now();
  char head[64];
  std::snprintf(head, sizeof head, "\r\n%s%d-%.2d-%.2d %.2d:%.2d:%.2d ", received ? "R " : "S ", t.year, t.month, t.day,
                t.hour, t.minute, t.second);
  const std::string record = head + body;
  std::lock_guard<std::mutex> g(g_lock);
  return sys::AppendToFile(sys::ProgramFile(fileName), record);
}

}  // namespace

bool TraceText(const std::string& text, const std::string& fileName, int received) {
  return AppendRecord(text, fileName, received);
}

bool TraceBytes(const uint8_t* bytes, size_t count, const std::string& fileName, int received) {
  return AppendRecord(analyzer::HexText({bytes, count}), fileName, received);
}

}  // namespace measurement
